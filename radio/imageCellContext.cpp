#include "radio/imageCellContext.h"

namespace marlo {

ImageCellContext::ImageCellContext(CellContext& base, MemoryImage& image, int variant)
    : base_(base), image_(image), variant_(variant), lists_(base.SelectionLists()) {}

std::optional<OpenedList> ImageCellContext::TakeOpenedList() {
    std::optional<OpenedList> opened = std::move(lists_.opened);
    lists_.opened.reset();
    return opened;
}

} // namespace marlo
