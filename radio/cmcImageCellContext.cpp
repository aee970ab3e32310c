#include "radio/cmcImageCellContext.h"

cmcImageCellContext::cmcImageCellContext(cmcCellContext& base, cmcEeprom& image, int variant)
    : base_(base), image_(image), variant_(variant), lists_(base.SelectionLists()) {}

std::optional<dstOpenedList> cmcImageCellContext::TakeOpenedList() {
    std::optional<dstOpenedList> opened = std::move(lists_.opened);
    lists_.opened.reset();
    return opened;
}
