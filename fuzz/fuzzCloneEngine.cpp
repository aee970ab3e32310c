// The clone engine's receive side: any bytes as what comes back through the cable
// during an information request, a read or a write, taken in pieces as the port
// hands them out and put through the engine's own echo, frame and coverage checks.
//
// First byte: bits 0..1 the operation (information, read, write), bit 2 whether
// the stream starts with the correct echo of what we sent, bits 3..7 how the
// stream is cut into pieces. Second byte: which address list a read or write
// covers. The rest is the stream.
#include "fuzzSupport.h"

#include "clone/cloneFrameCheck.h"
#include "clone/cloneFrames.h"
#include "clone/cloneReceive.h"
#include "clone/cloneResult.h"
#include "core/memoryImage.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

using namespace marlo;

namespace {

using fuzzSupport::Check;
using R = CloneResult;

constexpr std::int32_t imageSize = 0x0400;
constexpr std::uint32_t identification1 = 0x2620;
constexpr std::uint32_t identification2 = 0x0000;
constexpr std::int32_t requestPreamble = 12;

const std::vector<AddressRange>& rangesFor(std::uint8_t choice) {
    static const std::array<std::vector<AddressRange>, 5> lists{{
        {{0x02B0, 0x02C7}, kRangeEnd},
        {{0x0000, 0x0003}, {0x0015, 0x0022}, kRangeEnd},
        {{0x0000, imageSize - 1}, kRangeEnd},
        {{0x03F8, 0x03FF}, {0x0100, 0x0100}, kRangeEnd},
        {kRangeEnd},
    }};
    return lists[choice % lists.size()];
}

// The sizes in which the port hands out what arrived: 1..256 bytes, as the engine's
// reads take at most 256 at a time.
class Pieces {
public:
    explicit Pieces(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
    std::size_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return 1 + (state_ >> 3) % ((state_ & 7) == 0 ? 256 : 16);
    }

private:
    std::uint32_t state_;
};

MemoryImage& writeImage() {
    static MemoryImage image;
    if (image.Size() == 0) {
        image.Resize(imageSize);
        for (std::int32_t a = 0; a < imageSize; ++a)
            image.SetByte(a, static_cast<std::uint8_t>(a ^ 0xA5));
    }
    return image;
}

// What we send for an operation, as the engine sends it; its echo comes back first.
ByteQueue sentFor(std::uint8_t operation, RangeList ranges) {
    ByteQueue sent;
    const std::uint8_t request = operation == R::opInformation ? cloneFrame::informationRequest
                                 : operation == R::opRead      ? cloneFrame::readRequest
                                                               : cloneFrame::writeRequest;
    cloneFrame::AppendRequest(sent, request, identification1, identification2, requestPreamble);
    if (operation != R::opWrite)
        return sent;
    std::uint32_t frames = 0;
    forEachRange(ranges, imageSize, [&](std::int32_t first, std::int32_t last) {
        for (std::int32_t a = first; a <= last;) {
            const std::int32_t n = cloneFrame::BlockLength(a, last);
            cloneFrame::AppendDataFrame(sent, writeImage(), a, n, 0);
            ++frames;
            a += n;
        }
    });
    cloneFrame::AppendEndFrame(sent, frames);
    return sent;
}

// Did exactly the listed addresses arrive, and nothing beyond the image?
void checkGoodRead(const R& result, RangeList ranges) {
    std::vector<bool> listed(imageSize, false);
    forEachRange(ranges, imageSize, [&](std::int32_t first, std::int32_t last) {
        for (std::int32_t a = first; a <= last; ++a)
            listed[static_cast<std::size_t>(a)] = true;
    });
    Check(result.coverage.Count() == (imageSize + 7) / 8, "coverage of the wrong length");
    for (std::int32_t a = 0; a < imageSize; ++a) {
        const bool got = (result.coverage.Data()[a / 8] >> (a % 8) & 1) != 0;
        Check(got == listed[static_cast<std::size_t>(a)], "a good read covers other addresses");
        if (!listed[static_cast<std::size_t>(a)])
            Check(result.image.GetByte(a) == 0, "a good read stored a byte it was not sent");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const std::uint8_t operation = static_cast<std::uint8_t>(1 + (data[0] & 3) % 3);
    const bool withEcho = (data[0] & 0x04) != 0;
    const std::vector<AddressRange>& ranges = rangesFor(data[1]);
    Pieces pieces(data[0] >> 3);

    ByteQueue echo = sentFor(operation, ranges);
    ByteQueue stream;
    if (withEcho)
        stream.Append(echo);
    stream.AppendBytes(data + 2, static_cast<std::int32_t>(size - 2));

    R result(operation, identification1, identification2, imageSize);
    if (operation == R::opWrite)
        result.image.Assign(writeImage());
    ByteQueue received;
    ByteQueue frame;
    std::uint32_t frameCount = 0;
    std::int32_t dataBytes = 0;
    int code = -1;
    for (std::int32_t at = 0; code < 0 && at < stream.Count();) {
        const auto n = static_cast<std::int32_t>(
            std::min<std::size_t>(pieces.Next(), static_cast<std::size_t>(stream.Count() - at)));
        received.AppendBytes(stream.Data() + at, n);
        at += n;
        bool progress = false;
        if (echo.Count() > 0 && cloneFrame::TakeEcho(received, echo, progress))
            code = R::codeEchoError;
        else if (echo.Count() > 0)
            continue;
        else if (operation == R::opRead)
            code = cloneFrame::TakeReadFrames(received, frame, imageSize, ranges, frameCount,
                                              result, dataBytes, progress);
        else if (const ByteQueue reply = cloneFrame::TakeLastFrame(received, frame);
                 reply.Count() > 0)
            code = operation == R::opInformation ? cloneFrame::CheckInformationReply(reply, result)
                                                 : cloneFrame::CheckWriteResult(reply);
        Check(frame.Count() <= cloneFrame::frameLimit, "a frame under assembly passed its limit");
    }

    Check(result.image.Size() == imageSize, "the result's image changed its size");
    Check(dataBytes >= 0 && dataBytes <= static_cast<std::int32_t>(size) / 2,
          "more data bytes counted than the stream can carry");
    switch (operation) {
    case R::opInformation:
        if (code == R::codeSuccess)
            Check(result.identification1 <= 0x9999 && result.identification2 <= 0x9999,
                  "an identification that is no pair of decimal digits passed");
        break;
    case R::opRead:
        if (code == R::codeSuccess)
            checkGoodRead(result, ranges);
        break;
    default:
        Check(result.image.Equals(writeImage()), "a write changed the image it sends");
        Check(code < 0 || code == R::codeSuccess || code == R::codeEchoError ||
                  code == R::codeWriteRefused,
              "a write ended with a code of another operation");
        break;
    }
    return 0;
}
