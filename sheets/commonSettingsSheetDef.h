#pragma once

#include "sheets/sheetDef.h"

#include <memory>
#include <string>
#include <string_view>

namespace marlo {

// The common-settings sheet: lines that hold only for one model variant or for
// factory mode. ":(Only_Aus 2)" skips the next two lines unless the variant is 0,
// ":(Only_Oth 2)" unless it is 1, ":(Only_Factory 2)" unless in factory mode.
class CommonSettingsSheetDef : public SheetDef {
public:
    using SheetDef::SheetDef;

protected:
    void ApplyDirective(std::string_view group) override;
};

// The definition for a sheet descriptor's class name: "St_Common" gets the
// common-settings sheet, any other name the plain one.
std::unique_ptr<SheetDef> createSheetDef(std::string_view className, OverlayTexts& store,
                                         std::string key, OverlayTexts& models);

} // namespace marlo
