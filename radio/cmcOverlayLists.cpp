#include "radio/cmcOverlayLists.h"

#include "radio/cmcCellCommands.h"
#include "radio/cmcCellContext.h"

cmcOverlayLists::cmcOverlayLists(cmcGTex& overlay, cmcCellContext& context)
    : cache_(overlay, overlay), context_(context) {}

std::string cmcOverlayLists::TextOf(std::string_view listKey, int kind, std::int32_t value) {
    return cache_.TextOf(listKey, kind, value);
}

std::optional<std::int32_t> cmcOverlayLists::Step(std::string_view listKey, int kind,
                                                  std::int32_t value, int direction) {
    return cache_.Step(listKey, kind, value, direction);
}

void cmcOverlayLists::OpenList(cmcCellCapsule& request, std::string_view listKey, int kind,
                               std::int32_t value) {
    if (cmcCellCommands* commands = context_.Commands())
        commands->OpenSelectionList(request, listKey, kind, value);
}
