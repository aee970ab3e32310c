#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace marlo {

// How a setting's cell shows and takes its value.
enum class SettingForm : std::uint8_t {
    Choice, // an item of a selection list
    Number, // a whole number within the cell's range
    Timer,  // a number, or the overlay's word for 0
    Text,   // printable characters
};

// A common or expert setting: its cell's label and the bits of the image it
// keeps its value in.
struct SettingField {
    std::int32_t label;
    std::int32_t address;
    std::int32_t length; // bytes
    std::uint8_t mask;   // the bits of each byte that belong to the setting
    SettingForm form;
};

// Every common setting in the order the cells are listed, then the expert bits.
const std::vector<SettingField>& settingFields();

// The name a setting goes by outside the program: its label without the family
// prefix ("TxPwrSel" for CL_Comm_TxPwrSel).
std::string settingName(std::int32_t label);

// The two families, each from its own cell table.
void addCommonSettingFields(std::vector<SettingField>& fields);
void addExpertSettingFields(std::vector<SettingField>& fields);

} // namespace marlo
