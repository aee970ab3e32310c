#include "radio/settingFields.h"

#include "sheets/cellNames.h"

#include <string_view>

namespace marlo {

const std::vector<SettingField>& settingFields() {
    static const std::vector<SettingField> fields = [] {
        std::vector<SettingField> all;
        addCommonSettingFields(all);
        addExpertSettingFields(all);
        return all;
    }();
    return fields;
}

std::string settingName(std::int32_t label) {
    const auto names = labelNames();
    if (label < 0 || static_cast<std::size_t>(label) >= names.size())
        return {};
    std::string_view name = names[static_cast<std::size_t>(label)];
    for (const std::string_view prefix : {"CL_Comm_", "CL_Exp_"}) {
        if (name.starts_with(prefix))
            name.remove_prefix(prefix.size());
    }
    return std::string(name);
}

} // namespace marlo
