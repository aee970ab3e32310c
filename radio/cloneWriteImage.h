#pragma once

#include "core/rangeList.h"

#include <array>
#include <cstdint>
#include <memory>

namespace marlo {

class MemoryImage;

// The radio's answer to the last identification: its two identification values,
// then the first 32 bytes of its information block (bytes 24..27 hold its
// firmware version as four characters, such as "3400").
struct RadioInfo {
    std::uint16_t value1 = 0;
    std::uint16_t value2 = 0;
    std::array<std::uint8_t, 32> block{};
};

// Where the information block keeps what we read of it.
namespace marloInfoBlock {
inline constexpr int revision = 1; // high nibble major, low nibble minor
inline constexpr int mapRevision = 2;
// The radio's comment fills every byte between the map revision and the variant.
inline constexpr int comment = 3;
inline constexpr int commentLength = 20;
inline constexpr int variant = 23;
inline constexpr int firmware = 24;
inline constexpr int firmwareLength = 4;
} // namespace marloInfoBlock

namespace marloModel {
// A normal write leaves out the eleven bytes 0x6C1A..0x6C24, which hold the
// radio's identity; only factory mode writes them.
inline constexpr std::array<AddressRange, 3> writeRangeNormal{
    {{0x02B0, 0x6C19}, {0x6C25, 0x6C3F}, kRangeEnd}};
inline constexpr std::array<AddressRange, 2> writeRangeFactory{{{0x02B0, 0x6C3F}, kRangeEnd}};
} // namespace marloModel

// Whether the radio's firmware is older than "3400": the four version characters
// compared as one big-endian number, as the radio's own versions sort.
bool firmwareBeforeScanGroupFix(const RadioInfo& info);

// The image a clone write sends and the blocks it writes.
struct CloneWriteImage {
    std::unique_ptr<MemoryImage> image;
    RangeList ranges;
};

// Makes what a clone write sends from a document image already prepared for
// sending. The document itself is left alone: firmware older than "3400" does
// not scan channels of scan group 0, so the copy gives those channels group 1.
// Factory mode writes the whole clone range, the identity bytes included.
CloneWriteImage makeCloneWriteImage(const MemoryImage& prepared, const RadioInfo& info,
                                    bool factory);

} // namespace marlo
