#pragma once

#include <cstdint>
#include <string>

namespace marlo {

// The line settings of a serial port, as the text "9600,N,8,1" describes them:
// baud rate, parity letter, data bits, stop bits.
struct LineSettings {
    enum class Parity : std::uint8_t { None, Even, Odd, Mark };
    enum StopBits : std::uint8_t { One = 0, OneAndHalf = 1, Two = 2 };

    std::uint32_t baudRate = 9600;
    Parity parity = Parity::None;
    std::uint8_t dataBits = 8;   // 4..8
    std::uint8_t stopBits = One; // a StopBits code
    bool valid = true;           // false: the last text could not be used
    std::string fault;           // why not, in user words

    // Parses `text` into this record. The fields are read as far as they go, so the
    // settings stay stored even when the text is refused:
    //  - baud rate: leading decimal digits (none gives 0, which is refused);
    //  - parity: first letter of the field, N, E, O or M in either case;
    //  - data bits: decimal, clamped to 4..8;
    //  - stop bits: exactly "1.5" or "2"; anything else means one.
    // Fewer than four fields, a baud rate of 0 or an unknown parity letter make the
    // text invalid (valid = false, fault says why). Returns valid.
    bool Parse(const std::string& text);
};

} // namespace marlo
