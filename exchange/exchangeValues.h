#pragma once

#include "exchange/exchangeLists.h"

#include <optional>
#include <string>
#include <string_view>

namespace marlo {

// Values of exchanged lists: what a cell would make of a value from a table,
// said before it is typed, and whether what a cell shows is that value.
namespace exchangeValue {

// The value as the cell's editor takes it. A ';' table comes from a locale that
// writes a decimal comma; a number with a thousands separator is refused, as is
// a comma in a number of a ',' table (which would otherwise lose its meaning).
// Empty `problem` when the value can be typed.
std::string typedForm(ValueForm form, std::string_view value, bool decimalComma,
                      std::string& problem);

// Why the radio cannot hold the value at all, whatever the cell does with it:
// too long, or a character it has no place for. Empty when it may.
std::string unstorable(ValueForm form, int length, std::string_view value);

// True when a cell showing `shown` holds `value`. `receive` is what the row's
// receive frequency shows, for a transmit frequency's "<-".
bool holds(ValueForm form, std::string_view value, std::string_view shown,
           std::string_view receive = {});

// True when the two texts are the same choice: alike but for case.
bool sameChoice(std::string_view a, std::string_view b);

} // namespace exchangeValue

} // namespace marlo
