#pragma once

#include <cstdint>
#include <span>

namespace marlo {

// The number encodings of the radio's lists. Digit positions that fall outside
// the given bytes are never touched: a getter answers -1, a setter does nothing
// (as it does for a digit that the encoding cannot hold).
namespace encoding {

// Base-100 number: each byte holds 0..99 in binary, most significant first.
std::uint64_t readBase100(std::span<const std::uint8_t> bytes);
// Zero-fills, then stores the value from the last byte backwards; digits that do
// not fit are dropped.
void writeBase100(std::span<std::uint8_t> bytes, std::uint64_t value);

// Two-digit bytes: decimal digits packed two to a byte as a binary 0..99.
int twoDigitGet(std::span<const std::uint8_t> bytes, int k);
// Keeps the other digit of the byte, so the byte always ends up 0..99.
void twoDigitSet(std::span<std::uint8_t> bytes, int k, int digit);
// A first byte of 100 or more marks the field empty.
bool twoDigitIsEmpty(std::span<const std::uint8_t> bytes);

// Packed nibbles: digit k is the high (k even) or low (k odd) nibble of byte k/2.
int nibbleGet(std::span<const std::uint8_t> bytes, int k);
void nibbleSet(std::span<std::uint8_t> bytes, int k, int digit);

// Little-endian binary integers; the caller guarantees the bytes exist.
std::uint16_t readLe16(const std::uint8_t* p);
void writeLe16(std::uint8_t* p, std::uint16_t v);
std::int32_t readLe32(const std::uint8_t* p);
void writeLe32(std::uint8_t* p, std::int32_t v);

} // namespace encoding

} // namespace marlo
