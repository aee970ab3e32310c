#pragma once

#include "clone/portFailure.h"
#include "core/byteQueue.h"
#include "core/memoryImage.h"

#include <cstdint>
#include <string>

namespace marlo {

// What one clone operation (information, read or write) ended with. The engine
// creates it when the operation starts and hands it to the completion callback,
// which copies whatever it keeps: the record dies when the callback returns.
struct CloneResult {
    // Operations.
    static constexpr std::uint8_t opInformation = 1;
    static constexpr std::uint8_t opRead = 2;
    static constexpr std::uint8_t opWrite = 3;

    // Result codes. 0..10 and 17 come from the engine; 11..16 are set by the clone
    // manager's checks of an otherwise successful result.
    static constexpr std::uint8_t codeSuccess = 0;
    static constexpr std::uint8_t codePortError = 2;      // port could not be opened
    static constexpr std::uint8_t codeEchoError = 4;      // echo differed or never came back
    static constexpr std::uint8_t codeNoAnswer = 5;       // time-out with nothing outstanding
    static constexpr std::uint8_t codeBadFrame = 6;       // a reply or data frame broke the format
    static constexpr std::uint8_t codeFrameCount = 7;     // end frame count differs
    static constexpr std::uint8_t codeIncomplete = 8;     // a listed address never arrived
    static constexpr std::uint8_t codeAddressError = 9;   // outside the image or the list
    static constexpr std::uint8_t codeWriteRefused = 10;  // radio refused the write
    static constexpr std::uint8_t codeInfoMismatch = 11;  // manager: information mismatch
    static constexpr std::uint8_t codeModelMismatch = 13; // manager: variant differs
    static constexpr std::uint8_t codeModelUnknown = 14;  // manager: model not supported
    static constexpr std::uint8_t codeImageRejected = 15; // manager: image failed checks
    static constexpr std::uint8_t codeImageNewer = 16;    // manager: image from a newer map
    static constexpr std::uint8_t codeWriteFailed = 17;   // driver did not take the bytes
    static constexpr std::uint8_t codeCancelled = 18;     // the user stopped it; no message

    // A fresh result: code 2 until something better is known, the engine's
    // identification values, and a zero-filled image of `imageSize` bytes.
    CloneResult(std::uint8_t operation, std::uint32_t identification1,
                std::uint32_t identification2, std::int32_t imageSize);
    CloneResult(const CloneResult&) = delete;
    CloneResult& operator=(const CloneResult&) = delete;

    std::uint8_t operation;
    std::uint8_t code = codePortError;
    // The engine's values at the start; the radio's once an information reply arrived.
    std::uint32_t identification1;
    std::uint32_t identification2;
    // The information reply's bytes after the identification values.
    ByteQueue information;
    // Read: what arrived. Write: the copy that was sent.
    MemoryImage image;
    // Read: bit (address % 8) of byte (address / 8) is set for every address received.
    ByteQueue coverage;
    // What failed when the port could not be opened (code 2) or failed on the way
    // (code 17), so that a message can say why; none otherwise.
    PortFailure portFailure;
};

} // namespace marlo
