#pragma once

#include <string>
#include <string_view>

namespace marlo {

// What opens a sheet: "[" class "]" key "," options, as tree nodes and menu
// items name their sheets.
//
//   "[St_Common]GI_Sheet_Common_General"  class St_Common, key GI_Sheet_Common_General
//   "GI_Sheet_UserCh,Top"                 no class, key GI_Sheet_UserCh, options "Top"
struct SheetDescriptor {
    std::string className; // empty: the generic sheet
    std::string key;       // names the sheet's overlay entries
    std::string options;   // the text after the first ","; empty when there is none
};

SheetDescriptor parseSheetDescriptor(std::string_view text);

} // namespace marlo
