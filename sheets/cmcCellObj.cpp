#include "sheets/cmcCellObj.h"

cmcCellObj::cmcCellObj(const cmcCellObj& other) {
    *this = other;
}

cmcCellObj& cmcCellObj::operator=(const cmcCellObj& other) {
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
    font = other.font ? std::make_unique<cmcFont>(*other.font) : nullptr;
    popupMenu = other.popupMenu;
    text = other.text;
    return *this;
}

void cmcCellObj::Reset() {
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

const std::string* cmcCellObj::FindPopupMenu() const {
    for (const cmcCellObj* model = this; model != nullptr; model = model->parent) {
        if (model->popupMenu && !model->popupMenu->empty())
            return &*model->popupMenu;
    }
    return nullptr;
}

const std::string& cmcCellObj::Text() const {
    static const std::string none;
    return text ? *text : none;
}
