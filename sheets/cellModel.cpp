#include "sheets/cellModel.h"

namespace marlo {

CellModel::CellModel(const CellModel& other) {
    *this = other;
}

CellModel& CellModel::operator=(const CellModel& other) {
    if (this == &other)
        return *this;
    parent = other.parent;
    counters = other.counters;
    category = other.category;
    label = other.label;
    index = other.index;
    parameter = other.parameter;
    imageIndex = other.imageIndex;
    layout = other.layout;
    behaviour = other.behaviour;
    colour = other.colour;
    font = other.font ? std::make_unique<CellFont>(*other.font) : nullptr;
    popupMenu = other.popupMenu;
    text = other.text;
    return *this;
}

void CellModel::Reset() {
    parameter.reset();
    text.reset();
    font.reset();
    popupMenu.reset();
    label = kNoLabel;
    imageIndex = -1;
    behaviour &= static_cast<std::uint8_t>(~0x3F);
    layout = 0;
    colour = kClWindow;
    if (parent == nullptr)
        return;
    category = parent->category;
    label = parent->label;
    index = parent->index;
    parameter = parent->parameter;
    imageIndex = parent->imageIndex;
    layout = parent->layout;
    behaviour = parent->behaviour;
    colour = parent->colour;
    text = parent->text;
}

const std::string* CellModel::FindPopupMenu() const {
    for (const CellModel* model = this; model != nullptr; model = model->parent) {
        if (model->popupMenu && !model->popupMenu->empty())
            return &*model->popupMenu;
    }
    return nullptr;
}

const std::string& CellModel::Text() const {
    static const std::string none;
    return text ? *text : none;
}

} // namespace marlo
