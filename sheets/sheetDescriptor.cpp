#include "sheets/sheetDescriptor.h"

namespace marlo {

SheetDescriptor parseSheetDescriptor(std::string_view text) {
    SheetDescriptor descriptor;
    const auto comma = text.find(',');
    std::string_view head = text.substr(0, comma);
    if (comma != std::string_view::npos)
        descriptor.options = std::string(text.substr(comma + 1));
    if (head.starts_with('[')) {
        if (const auto close = head.find(']'); close != std::string_view::npos) {
            descriptor.className = std::string(head.substr(1, close - 1));
            head.remove_prefix(close + 1);
        }
    }
    descriptor.key = std::string(head);
    return descriptor;
}

} // namespace marlo
