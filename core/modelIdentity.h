#pragma once

#include "core/rangeList.h"

#include <array>
#include <cstdint>

namespace marlo {

// What identifies this radio model: the image size, the model code of clone
// files and of the radio's identification, the memory map revision and the
// address block that clone files and clone reads cover.
namespace marloModel {

// The overlay file beside the program is this name followed by ".OVL".
inline constexpr char overlayBaseName[] = "Marlo";

inline constexpr std::int32_t imageSize = 33268; // 0x81F4

inline constexpr int modelCodeFirst = 0x2620;
inline constexpr int modelCodeSecond = 0x0001;

inline constexpr int mapRevision = 6;
// The image carries its own map revision in this byte.
inline constexpr std::int32_t mapRevisionAddress = 0x02B0;

inline constexpr int variantFirst = 0;
inline constexpr int variantLast = 1;
inline constexpr int variantCount = variantLast - variantFirst + 1;

inline constexpr std::array<AddressRange, 2> cloneRange{{{0x02B0, 0x6C3F}, kRangeEnd}};

} // namespace marloModel

} // namespace marlo
