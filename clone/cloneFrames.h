#pragma once

#include "core/byteQueue.h"

#include <cstdint>
#include <string_view>

namespace marlo {

class MemoryImage;

// Building and assembling clone frames. Every frame, both ways, is
//   FE FE <to> <from> <command> <payload> FD
// with the radio at EE and the computer at EF. FE and FD never occur inside a
// payload, so memory travels as upper-case ASCII hex. On the wire, a read of
// 0x02B0..0x02C7 looks like this (computer >, radio <, echo not shown):
//
//   > FE x12 FE FE EE EF E2 26 20 00 00 FD          read request, model 2620/0000
//   < FE FE EF EE E4 "02B010" <32 hex digits> "cc" FD  16 bytes from 0x02B0
//   < FE FE EF EE E4 "02C008" <16 hex digits> "cc" FD  8 bytes from 0x02C0
//   < FE FE EF EE E5 "Vexa Inc." "02" FD            end frame, 2 data frames
//
// A write sends the E3 request, the data frames and its own end frame, and the
// radio answers FE FE EF EE E6 00 FD (anything but 00 is a refusal).
namespace cloneFrame {

inline constexpr std::uint8_t preamble = 0xFE;
inline constexpr std::uint8_t endByte = 0xFD;
inline constexpr std::uint8_t radioAddress = 0xEE;
inline constexpr std::uint8_t computerAddress = 0xEF;

inline constexpr std::uint8_t informationRequest = 0xE0;
inline constexpr std::uint8_t informationReply = 0xE1;
inline constexpr std::uint8_t readRequest = 0xE2;
inline constexpr std::uint8_t writeRequest = 0xE3;
inline constexpr std::uint8_t dataFrame = 0xE4;
inline constexpr std::uint8_t endFrame = 0xE5;
inline constexpr std::uint8_t writeResult = 0xE6;

// A frame under assembly (from its single FE up to, not including, FD) never
// grows beyond this; a longer one is garbage.
inline constexpr std::int32_t frameLimit = 521;
// Data frames carry at most this many bytes and are aligned to it.
inline constexpr std::int32_t blockSize = 16;
// What an end frame says after its command byte, before the frame count.
inline constexpr std::string_view endSignature = "Vexa Inc.";

// Appends the bytes of a hex template: its hex digits taken in pairs, high digit
// first, every other character ignored. A lone last digit becomes the high half.
void AppendHexTemplate(ByteQueue& out, std::string_view hexTemplate);

// Appends `extraPreamble` FE bytes and a request (E0, E2 or E3) carrying the two
// identification values, 16 bits each, high byte first.
void AppendRequest(ByteQueue& out, std::uint8_t command, std::uint32_t identification1,
                   std::uint32_t identification2, std::int32_t extraPreamble);

// How many bytes the data frame at `address` carries when its range ends at `last`:
// up to the next block boundary, or to `last` if that comes first.
std::int32_t BlockLength(std::int32_t address, std::int32_t last);

// Appends `extraPreamble` FE bytes and a data frame of the n image bytes from
// `address`. The caller keeps the block inside the image and n within blockSize.
void AppendDataFrame(ByteQueue& out, const MemoryImage& image, std::int32_t address, std::int32_t n,
                     std::int32_t extraPreamble);

// Appends an end frame; with `withCount` it carries the frame count modulo 256
// as two upper-case hex digits.
void AppendEndFrame(ByteQueue& out, std::uint32_t frameCount, bool withCount = true);

// The checksum that makes the 8-bit sum of address, count, data and checksum 0.
std::uint8_t Checksum(std::int32_t address, const std::uint8_t* data, std::int32_t n);

enum class Feed { pending, complete, overflow };

// Takes one received byte into the frame under assembly:
//  - FE starts a frame afresh (so a run of FE still begins one frame);
//  - other bytes before any FE are dropped;
//  - FD completes the frame: `frame` then holds it, FD excluded, and the caller
//    empties it once used;
//  - a byte that would take the frame beyond frameLimit is refused (overflow).
Feed FeedByte(ByteQueue& frame, std::uint8_t b);

} // namespace cloneFrame

} // namespace marlo
