#include "radio/overlayLists.h"

#include "radio/cellCommands.h"
#include "radio/cellContext.h"

namespace marlo {

OverlayLists::OverlayLists(OverlayTexts& overlay, CellContext& context)
    : cache_(overlay, overlay), context_(context) {}

std::string OverlayLists::TextOf(std::string_view listKey, int kind, std::int32_t value) {
    return cache_.TextOf(listKey, kind, value);
}

std::optional<std::int32_t> OverlayLists::Step(std::string_view listKey, int kind,
                                               std::int32_t value, int direction) {
    return cache_.Step(listKey, kind, value, direction);
}

void OverlayLists::OpenList(CellRequest& request, std::string_view listKey, int kind,
                            std::int32_t value) {
    if (CellCommands* commands = context_.Commands())
        commands->OpenSelectionList(request, listKey, kind, value);
}

} // namespace marlo
