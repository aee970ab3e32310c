#pragma once

#include "clone/cloneFrames.h"
#include "core/cmcRangeList.h"
#include "core/modelIdentity.h"

#include <cstdint>

// Bytes a clone operation puts on the line, for comparing a paced run with the
// time its bytes need at the line's baud rate.
inline constexpr std::int64_t cloneRequestBytes =
    12 + 10; // extra preamble, then FE FE EE EF Ex v1 v2 FD
inline constexpr std::int64_t cloneEndFrameBytes = 17;   // FE FE xx xx E5 "Vexa Inc." nn FD
inline constexpr std::int64_t cloneWriteResultBytes = 7; // FE FE EF EE E6 00 FD

// Data frames over the ranges: 14 bytes of frame and two hex digits a data byte.
inline std::int64_t cloneDataFrameBytes(cmcRangeList ranges) {
    std::int64_t bytes = 0;
    cmcForEachRange(ranges, marloModel::imageSize, [&](std::int32_t first, std::int32_t last) {
        for (std::int32_t a = first; a <= last;) {
            const std::int32_t n = cmcFrame::BlockLength(a, last);
            bytes += 14 + 2 * n;
            a += n;
        }
    });
    return bytes;
}
