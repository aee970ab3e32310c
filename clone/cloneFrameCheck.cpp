#include "clone/cloneFrameCheck.h"

#include "clone/cloneFrames.h"
#include "clone/cloneResult.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

namespace marlo {

namespace cloneFrame {
namespace {

using Code = CloneResult;

bool isDecimalPair(std::uint8_t b) {
    return (b >> 4) <= 9 && (b & 0x0F) <= 9;
}

bool fromRadio(const ByteQueue& frame, std::uint8_t command) {
    const std::uint8_t* f = frame.Data();
    return f[0] == preamble && f[1] == computerAddress && f[2] == radioAddress && f[3] == command;
}

void setBit(ByteQueue& bitmap, std::int32_t address) {
    bitmap.Data()[address / 8] |= static_cast<std::uint8_t>(1u << (address % 8));
}

// Lengthens a bitmap to n bytes; new bytes are zero whatever the buffer kept
// beyond its count.
void lengthen(ByteQueue& bitmap, std::int32_t n) {
    const std::int32_t old = bitmap.Count();
    if (n <= old)
        return;
    bitmap.Resize(n);
    std::memset(bitmap.Data() + old, 0, static_cast<std::size_t>(n - old));
}

} // namespace

int HexDigitValue(std::uint8_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int CheckInformationReply(const ByteQueue& frame, CloneResult& result) {
    if (frame.Count() < 8 || !fromRadio(frame, informationReply))
        return Code::codeBadFrame;
    const std::uint8_t* f = frame.Data();
    for (int i = 4; i < 8; ++i) {
        if (!isDecimalPair(f[i]))
            return Code::codeBadFrame;
    }
    result.identification1 = static_cast<std::uint32_t>(f[4] << 8 | f[5]);
    result.identification2 = static_cast<std::uint32_t>(f[6] << 8 | f[7]);
    result.information.AssignBytes(f + 8, frame.Count() - 8);
    return Code::codeSuccess;
}

int CheckWriteResult(const ByteQueue& frame) {
    if (frame.Count() == 5 && fromRadio(frame, writeResult) && frame.Data()[4] == 0)
        return Code::codeSuccess;
    return Code::codeWriteRefused;
}

int CheckReadFrame(const ByteQueue& frame, std::int32_t imageSize, std::uint32_t frameCount,
                   CloneResult& result, std::int32_t& dataBytes) {
    const std::int32_t length = frame.Count();
    if (length <= 11 || length >= 523)
        return Code::codeBadFrame;
    const std::uint8_t* f = frame.Data();
    if (f[0] != preamble || f[1] != computerAddress || f[2] != radioAddress)
        return Code::codeBadFrame;
    if (f[3] == dataFrame)
        return CheckDataPayload(f + 4, length - 4, imageSize, result, dataBytes);
    if (f[3] == endFrame)
        return CheckEndPayload(f + 4, length - 4, frameCount);
    return Code::codeBadFrame;
}

int CheckDataPayload(const std::uint8_t* payload, std::int32_t count, std::int32_t imageSize,
                     CloneResult& result, std::int32_t& dataBytes) {
    // Whole byte pairs plus a checksum pair come in multiples of four characters
    // give or take one; an odd last character is ignored.
    if ((count & 2) != 0)
        return Code::codeBadFrame;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(count / 2));
    for (std::int32_t i = 0; i + 1 < count; i += 2) {
        const int high = HexDigitValue(payload[i]);
        const int low = HexDigitValue(payload[i + 1]);
        if (high < 0 || low < 0)
            return Code::codeBadFrame;
        bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    if (bytes.size() < 4)
        return Code::codeBadFrame;
    const std::int32_t n = bytes[2];
    if (static_cast<std::int32_t>(bytes.size()) != n + 4)
        return Code::codeBadFrame;
    std::uint8_t sum = 0;
    for (const std::uint8_t b : bytes)
        sum = static_cast<std::uint8_t>(sum + b);
    if (sum != 0)
        return Code::codeBadFrame;

    const std::int32_t address = bytes[0] << 8 | bytes[1];
    if (address + n > imageSize || address + n > result.image.Size())
        return Code::codeAddressError;
    result.image.Write(address, bytes.data() + 3, n);
    lengthen(result.coverage, (address + n + 7) / 8);
    for (std::int32_t a = address; a < address + n; ++a)
        setBit(result.coverage, a);
    dataBytes += n;
    return 1;
}

int CheckEndPayload(const std::uint8_t* payload, std::int32_t count, std::uint32_t frameCount) {
    const auto signature = static_cast<std::int32_t>(endSignature.size());
    if (count != signature + 2)
        return Code::codeBadFrame;
    if (std::memcmp(payload, endSignature.data(), endSignature.size()) != 0)
        return Code::codeBadFrame;
    std::array<char, 4> expected{};
    std::snprintf(expected.data(), expected.size(), "%02X", frameCount & 0xFFu);
    if (payload[signature] != expected[0] || payload[signature + 1] != expected[1])
        return Code::codeFrameCount;
    return Code::codeSuccess;
}

int CheckCoverage(ByteQueue& coverage, std::int32_t imageSize, RangeList ranges) {
    const std::int32_t length = imageSize > 0 ? (imageSize + 7) / 8 : 0;
    if (coverage.Count() > length)
        return Code::codeAddressError;
    ByteQueue expected;
    lengthen(expected, length);
    forEachRange(ranges, imageSize, [&](std::int32_t first, std::int32_t last) {
        for (std::int32_t a = first; a <= last; ++a)
            setBit(expected, a);
    });
    lengthen(coverage, length);
    bool missing = false;
    for (std::int32_t i = 0; i < length; ++i) {
        const std::uint8_t got = coverage.Data()[i];
        const std::uint8_t want = expected.Data()[i];
        if ((got & ~want) != 0)
            return Code::codeAddressError;
        missing = missing || got != want;
    }
    return missing ? Code::codeIncomplete : Code::codeSuccess;
}

} // namespace cloneFrame

} // namespace marlo
