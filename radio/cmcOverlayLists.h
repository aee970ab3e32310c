#pragma once

#include "radio/codecChoice.h"
#include "sheets/cmcFCache.h"

class cmcCellContext;
class cmcGTex;

// The selection lists of an overlay store as the codecs ask for them: item texts
// and steps come from the store's list cache, and a list opens in the picker of
// the context's commands (nothing opens while there are none).
class cmcOverlayLists : public cmcCodec::cmcSelectionLists {
public:
    // Both borrowed; they must outlive this object.
    cmcOverlayLists(cmcGTex& overlay, cmcCellContext& context);

    std::string TextOf(std::string_view listKey, int kind, std::int32_t value) override;
    std::optional<std::int32_t> Step(std::string_view listKey, int kind, std::int32_t value,
                                     int direction) override;
    void OpenList(cmcCellCapsule& request, std::string_view listKey, int kind,
                  std::int32_t value) override;

private:
    cmcFCache cache_;
    cmcCellContext& context_;
};
