#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

// Small text helpers shared by the overlay readers (attribute text, sheet and menu
// entries). They work on bytes; every separator they take is ASCII, so a byte of
// a multi-byte UTF-8 character never matches one.

// Field n (from 0) of `text` split at `separator`, or nothing when the text has
// fewer than n + 1 fields. No escapes.
std::optional<std::string_view> textField(std::string_view text, char separator, int n);
// The text up to (not including) the first character that is in `stops`.
std::string_view textUpTo(std::string_view text, std::string_view stops);

// Spaces and tabs.
bool isBlank(char c);
std::string_view skipBlanks(std::string_view text);
std::string_view trimBlanks(std::string_view text);
void trimBlanks(std::string& text);
std::string removeBlanks(std::string_view text);

// A decimal number as the overlay writes them: leading blanks, an optional sign,
// digits up to the first non-digit; no digits gives 0. Clamped to 32 bits.
// `used` (optional) receives the number of characters read, 0 without digits.
std::int32_t readDecimal(std::string_view text, std::size_t* used = nullptr);

bool isPrintableAscii(int c);
// A menu caption or heading as a command's name: "De&lete Rows...\tCtrl+-"
// reads "Delete Rows", a heading of two lines reads as one.
std::string commandName(std::string_view caption);
bool isInRange(std::int64_t value, std::int64_t low, std::int64_t high);
// Sets nibble n of `bytes`: byte n / 2, the high nibble for even n. False (and no
// change) when the byte lies outside the buffer.
bool setNibble(std::span<std::uint8_t> bytes, std::size_t n, std::uint8_t value);

} // namespace marlo
