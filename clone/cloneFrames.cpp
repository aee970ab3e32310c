#include "clone/cloneFrames.h"

#include "core/hexText.h"
#include "core/memoryImage.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace marlo {

namespace cloneFrame {
namespace {

void appendHexByte(ByteQueue& out, std::uint8_t b) {
    out.AppendByte(static_cast<std::uint8_t>(upperHexDigit(b >> 4)));
    out.AppendByte(static_cast<std::uint8_t>(upperHexDigit(b)));
}

void appendText(ByteQueue& out, const char* text, int n) {
    out.AppendBytes(text, n);
}

} // namespace

void AppendHexTemplate(ByteQueue& out, std::string_view hexTemplate) {
    const std::vector<std::uint8_t> bytes = hexToBytes(hexTemplate);
    out.AppendBytes(bytes.data(), static_cast<int>(bytes.size()));
}

void AppendRequest(ByteQueue& out, std::uint8_t command, std::uint32_t identification1,
                   std::uint32_t identification2, std::int32_t extraPreamble) {
    out.AppendFill(preamble, extraPreamble);
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "FEFE EE EF %02X %04X %04X FD", command,
                  identification1 & 0xFFFFu, identification2 & 0xFFFFu);
    AppendHexTemplate(out, text.data());
}

std::uint8_t Checksum(std::int32_t address, const std::uint8_t* data, std::int32_t n) {
    unsigned sum = static_cast<unsigned>(address >> 8) + static_cast<unsigned>(address) +
                   static_cast<unsigned>(n);
    for (std::int32_t i = 0; i < n; ++i)
        sum += data[i];
    return static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
}

std::int32_t BlockLength(std::int32_t address, std::int32_t last) {
    const std::int32_t n = blockSize - address % blockSize;
    return address + n - 1 > last ? last - address + 1 : n;
}

void AppendDataFrame(ByteQueue& out, const MemoryImage& image, std::int32_t address, std::int32_t n,
                     std::int32_t extraPreamble) {
    n = std::clamp<std::int32_t>(n, 0, blockSize);
    std::array<std::uint8_t, blockSize> data{};
    image.Read(address, data.data(), n);
    out.AppendFill(preamble, extraPreamble);
    AppendHexTemplate(out, "FEFE EE EF E4");
    std::array<char, 8> head{};
    std::snprintf(head.data(), head.size(), "%04X%02X", static_cast<unsigned>(address) & 0xFFFFu,
                  static_cast<unsigned>(n) & 0xFFu);
    appendText(out, head.data(), 6);
    for (std::int32_t i = 0; i < n; ++i)
        appendHexByte(out, data[static_cast<std::size_t>(i)]);
    appendHexByte(out, Checksum(address, data.data(), n));
    out.AppendByte(endByte);
}

void AppendEndFrame(ByteQueue& out, std::uint32_t frameCount, bool withCount) {
    AppendHexTemplate(out, "FEFE EE EF E5 56 65 78 61 20 49 6E 63 2E");
    if (withCount)
        appendHexByte(out, static_cast<std::uint8_t>(frameCount & 0xFFu));
    out.AppendByte(endByte);
}

Feed FeedByte(ByteQueue& frame, std::uint8_t b) {
    if (b == preamble) {
        frame.AssignBytes(&b, 1);
        return Feed::pending;
    }
    if (frame.Count() == 0)
        return Feed::pending;
    if (b == endByte)
        return Feed::complete;
    if (frame.Count() >= frameLimit)
        return Feed::overflow;
    frame.AppendByte(b);
    return Feed::pending;
}

} // namespace cloneFrame

} // namespace marlo
