#include "sheets/commonSettingsSheetDef.h"

#include "sheets/textUtil.h"

#include <algorithm>

namespace marlo {

namespace {

// "<name> n": the count n when `group` is that directive.
std::optional<int> countOf(std::string_view group, std::string_view name) {
    if (!group.starts_with(name))
        return std::nullopt;
    return std::max(0, readDecimal(group.substr(name.size())));
}

} // namespace

void CommonSettingsSheetDef::ApplyDirective(std::string_view group) {
    const int variant = Setup().modelVariant;
    if (const auto n = countOf(group, "Only_Aus")) {
        if (variant != 0)
            SkipLines(*n);
    } else if (const auto m = countOf(group, "Only_Oth")) {
        if (variant != 1)
            SkipLines(*m);
    } else if (const auto f = countOf(group, "Only_Factory")) {
        if (!Setup().factoryMode)
            SkipLines(*f);
    } else {
        SheetDef::ApplyDirective(group);
    }
}

std::unique_ptr<SheetDef> createSheetDef(std::string_view className, OverlayTexts& store,
                                         std::string key, OverlayTexts& models) {
    if (className == "St_Common")
        return std::make_unique<CommonSettingsSheetDef>(store, std::move(key), models);
    return std::make_unique<SheetDef>(store, std::move(key), models);
}

} // namespace marlo
