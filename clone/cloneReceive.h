#pragma once

#include "core/byteQueue.h"
#include "core/rangeList.h"

#include <cstdint>

namespace marlo {

struct CloneResult;

// The receive side of the clone engine: what it does with the bytes that came in
// from the cable, kept apart from the port so that it can be fed any byte stream.
// `received` holds the bytes not yet used (they are taken from its front), `frame`
// the frame under assembly, which survives from one call to the next.
namespace cloneFrame {

// Takes the echo of our own bytes from the front of `received`, as far as both go.
// True on the first byte that differs (the byte is left in place); `progress` tells
// whether any byte matched. An echo used up is cleared.
bool TakeEcho(ByteQueue& received, ByteQueue& echo, bool& progress);

// The last frame completed by the bytes received, or an empty buffer. An
// over-long frame gives the single byte 00, which fails every check.
ByteQueue TakeLastFrame(ByteQueue& received, ByteQueue& frame);

// Result code of a read that is still going on.
inline constexpr int readGoesOn = -1;

// Takes the data frames of a read into `result`, counting them in `frameCount`,
// until the end frame or the first fault: then the read's code (0 when the end
// frame counted every data frame and exactly the `ranges` arrived). readGoesOn
// while the bytes ran out first; `progress` is set when a data frame was taken.
int TakeReadFrames(ByteQueue& received, ByteQueue& frame, std::int32_t imageSize, RangeList ranges,
                   std::uint32_t& frameCount, CloneResult& result, std::int32_t& dataBytes,
                   bool& progress);

} // namespace cloneFrame

} // namespace marlo
