#include "clone/lineSettings.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace marlo {

namespace {

// Texts are UTF-8, where a comma byte is never part of another character, so a
// plain byte split keeps multi-byte text intact.
std::vector<std::string> splitFields(const std::string& text) {
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// Leading decimal digits after optional blanks and sign, as the C library reads
// them; no digits give 0. Saturates instead of overflowing.
std::int64_t leadingNumber(const std::string& field) {
    std::size_t i = field.find_first_not_of(" \t");
    if (i == std::string::npos)
        return 0;
    bool negative = false;
    if (field[i] == '+' || field[i] == '-')
        negative = field[i++] == '-';
    std::int64_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
        value = std::min<std::int64_t>(value * 10 + (field[i] - '0'), UINT32_MAX);
    return negative ? -value : value;
}

} // namespace

bool LineSettings::Parse(const std::string& text) {
    const std::vector<std::string> fields = splitFields(text);
    valid = true;
    fault.clear();

    baudRate = static_cast<std::uint32_t>(std::max<std::int64_t>(leadingNumber(fields[0]), 0));
    if (fields.size() > 1) {
        const char letter = fields[1].empty() ? '\0' : fields[1][0];
        switch (letter) {
        case 'N':
        case 'n':
            parity = Parity::None;
            break;
        case 'E':
        case 'e':
            parity = Parity::Even;
            break;
        case 'O':
        case 'o':
            parity = Parity::Odd;
            break;
        case 'M':
        case 'm':
            parity = Parity::Mark;
            break;
        default:
            valid = false;
            fault = "The parity \"" + fields[1] + "\" is not one of N, E, O or M.";
        }
    }
    if (fields.size() > 2)
        dataBits =
            static_cast<std::uint8_t>(std::clamp<std::int64_t>(leadingNumber(fields[2]), 4, 8));
    if (fields.size() > 3) {
        const std::string& stop = fields[3];
        stopBits = stop == "1.5" ? OneAndHalf : stop == "2" ? Two : One;
    }

    if (fields.size() < 4) {
        valid = false;
        fault = "The line settings \"" + text +
                "\" need four fields: baud rate, parity, data bits, stop bits.";
    } else if (baudRate == 0 && valid) {
        // A zero rate would also divide the write time-out by zero.
        valid = false;
        fault = "The line settings \"" + text + "\" give no baud rate.";
    }
    return valid;
}

} // namespace marlo
