#pragma once

#include "core/cmcBuff.h"
#include "core/cmcRangeList.h"

#include <cstdint>

struct dst_CDrv_Result;

// The receive side of the clone engine: what it does with the bytes that came in
// from the cable, kept apart from the port so that it can be fed any byte stream.
// `received` holds the bytes not yet used (they are taken from its front), `frame`
// the frame under assembly, which survives from one call to the next.
namespace cmcFrame {

// Takes the echo of our own bytes from the front of `received`, as far as both go.
// True on the first byte that differs (the byte is left in place); `progress` tells
// whether any byte matched. An echo used up is cleared.
bool TakeEcho(cmcBuff& received, cmcBuff& echo, bool& progress);

// The last frame completed by the bytes received, or an empty buffer. An
// over-long frame gives the single byte 00, which fails every check.
cmcBuff TakeLastFrame(cmcBuff& received, cmcBuff& frame);

// Result code of a read that is still going on.
inline constexpr int readGoesOn = -1;

// Takes the data frames of a read into `result`, counting them in `frameCount`,
// until the end frame or the first fault: then the read's code (0 when the end
// frame counted every data frame and exactly the `ranges` arrived). readGoesOn
// while the bytes ran out first; `progress` is set when a data frame was taken.
int TakeReadFrames(cmcBuff& received, cmcBuff& frame, std::int32_t imageSize, cmcRangeList ranges,
                   std::uint32_t& frameCount, dst_CDrv_Result& result, std::int32_t& dataBytes,
                   bool& progress);

} // namespace cmcFrame
