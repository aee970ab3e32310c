#pragma once

#include "core/byteQueue.h"
#include "core/rangeList.h"

#include <cstdint>

namespace marlo {

struct CloneResult;

// Checks of the frames the radio sends. A frame here runs from its single leading
// FE up to, not including, its FD: index 0 is FE, 1 the destination, 2 the
// source, 3 the command. Each check answers with a result code of
// CloneResult (0 when the frame is good) unless it says otherwise.
namespace cloneFrame {

// The value of one upper-case hex digit, or -1: the radio never sends lower
// case, so a lower-case digit is a broken frame.
int HexDigitValue(std::uint8_t c);

// Information reply: FE EF EE E1, then four identification bytes that must each be
// two decimal digits, then the information block. A good reply puts the radio's
// identification values and the block into `result`. 0 or 6.
int CheckInformationReply(const ByteQueue& frame, CloneResult& result);

// Write result: 0 for exactly FE EF EE E6 00, else 10.
int CheckWriteResult(const ByteQueue& frame);

// A frame received during a read. Returns 1 when a data frame was stored into
// `result` (adding its byte count to `dataBytes`), 0 for a good end frame that
// counts `frameCount` data frames, else 6, 7 or 9. Nothing outside the first
// `imageSize` bytes of the result's image is ever stored.
int CheckReadFrame(const ByteQueue& frame, std::int32_t imageSize, std::uint32_t frameCount,
                   CloneResult& result, std::int32_t& dataBytes);

// The data frame payload of `count` characters; 1, 6 or 9 as above.
int CheckDataPayload(const std::uint8_t* payload, std::int32_t count, std::int32_t imageSize,
                     CloneResult& result, std::int32_t& dataBytes);

// The end frame payload of `count` bytes; 0, 6 or 7.
int CheckEndPayload(const std::uint8_t* payload, std::int32_t count, std::uint32_t frameCount);

// After a good end frame: did exactly the listed addresses arrive? The bitmap is
// lengthened to cover the whole image. 0; 9 when anything outside the list (or the
// image) arrived; 8 when something listed is missing.
int CheckCoverage(ByteQueue& coverage, std::int32_t imageSize, RangeList ranges);

} // namespace cloneFrame

} // namespace marlo
