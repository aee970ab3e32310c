#pragma once

#include "radio/codecChoice.h"
#include "sheets/selectionListCache.h"

namespace marlo {

class CellContext;
class OverlayTexts;

// The selection lists of an overlay store as the codecs ask for them: item texts
// and steps come from the store's list cache, and a list opens in the picker of
// the context's commands (nothing opens while there are none).
class OverlayLists : public codec::SelectionLists {
public:
    // Both borrowed; they must outlive this object.
    OverlayLists(OverlayTexts& overlay, CellContext& context);

    std::string TextOf(std::string_view listKey, int kind, std::int32_t value) override;
    std::optional<std::int32_t> Step(std::string_view listKey, int kind, std::int32_t value,
                                     int direction) override;
    void OpenList(CellRequest& request, std::string_view listKey, int kind,
                  std::int32_t value) override;

private:
    SelectionListCache cache_;
    CellContext& context_;
};

} // namespace marlo
