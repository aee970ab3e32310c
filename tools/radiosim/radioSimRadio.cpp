#include "tools/radiosim/radioSimRadio.h"

#include "tools/radiosim/radioSimLine.h"

#include "core/modelIdentity.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <utility>

namespace marlo {

namespace {

constexpr std::uint8_t preamble = 0xFE;
constexpr std::uint8_t frameEnd = 0xFD;
constexpr std::uint8_t radioAddress = 0xEE;
constexpr std::uint8_t programAddress = 0xEF;
constexpr std::uint8_t cmdInformation = 0xE0;
constexpr std::uint8_t cmdInformationReply = 0xE1;
constexpr std::uint8_t cmdRead = 0xE2;
constexpr std::uint8_t cmdWrite = 0xE3;
constexpr std::uint8_t cmdData = 0xE4;
constexpr std::uint8_t cmdEnd = 0xE5;
constexpr std::uint8_t cmdWriteResult = 0xE6;
constexpr std::size_t longestFrame = 600; // longer input is garbage and dropped
constexpr int blockSize = 16;
constexpr int framesPerRefill = 8;
constexpr std::size_t floodLength = 600;
const std::string signature = "Vexa Inc.";

void appendText(std::vector<std::uint8_t>& to, const std::string& text) {
    to.insert(to.end(), text.begin(), text.end());
}

std::string hexByte(unsigned value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

std::optional<int> hexDigit(std::uint8_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

// Upper-case hex pairs as the radio writes them; lower case is a format fault.
std::optional<std::vector<std::uint8_t>> decodeHex(const std::uint8_t* text, std::size_t length) {
    if (length % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < length; i += 2) {
        const auto high = hexDigit(text[i]);
        const auto low = hexDigit(text[i + 1]);
        if (!high || !low)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(*high * 16 + *low));
    }
    return bytes;
}

// The payload text of a data frame; `statedCount` may differ from data.size()
// and `checksumError` is added to the checksum, to build faulty frames.
std::string dataPayload(std::int32_t address, const std::vector<std::uint8_t>& data,
                        int statedCount, int checksumError) {
    unsigned sum = ((address >> 8) & 0xFF) + (address & 0xFF) + (statedCount & 0xFF);
    std::string text = hexByte(static_cast<unsigned>(address >> 8)) +
                       hexByte(static_cast<unsigned>(address)) +
                       hexByte(static_cast<unsigned>(statedCount));
    for (std::uint8_t b : data) {
        text += hexByte(b);
        sum += b;
    }
    text += hexByte((0x100u - (sum & 0xFFu) + static_cast<unsigned>(checksumError)) & 0xFFu);
    return text;
}

} // namespace

int RadioSim::Radio::EchoFor(std::uint8_t b) {
    if (faultIs(Fault::NoEcho))
        return -1;
    if (b == preamble) {
        echoAfterPreamble_ = true;
        return b;
    }
    const bool first = echoAfterPreamble_;
    echoAfterPreamble_ = false;
    return first && faultIs(Fault::ChangedEcho) ? b ^ 0x01 : b;
}

void RadioSim::Radio::Receive(std::uint8_t b) {
    if (faultIs(Fault::NoEcho))
        return; // nothing is connected
    if (b == preamble) {
        frame_.assign(1, preamble);
    } else if (frame_.empty()) {
        // noise between frames
    } else if (b == frameEnd) {
        HandleFrame();
        frame_.clear();
    } else if (frame_.size() >= longestFrame) {
        frame_.clear();
    } else {
        frame_.push_back(b);
    }
}

void RadioSim::Radio::Reset() {
    frame_.clear();
    echoAfterPreamble_ = false;
    reading_ = writing_ = false;
    hangUpPending_ = false;
    replyDelayMs_ = 0;
}

void RadioSim::Radio::HandleFrame() {
    if (frame_.size() < 4 || frame_[1] != radioAddress || frame_[2] != programAddress)
        return;
    const std::uint8_t command = frame_[3];
    if (command == cmdData || command == cmdEnd) {
        if (writing_)
            command == cmdData ? AcceptDataFrame() : FinishWrite();
        return;
    }
    // Requests carry the model code; a radio of another model keeps quiet.
    if (frame_.size() != 8 || (frame_[4] << 8 | frame_[5]) != sim_.modelFirst_)
        return;
    reading_ = writing_ = false;
    replyDelayMs_ = faultIs(Fault::SlowReply) ? slowReplyMs / sim_.timeScale_ : 0;
    if (faultIs(Fault::EchoOnly))
        return;
    if (command == cmdInformation)
        AnswerInformation();
    else if (command == cmdRead)
        StartRead();
    else if (command == cmdWrite)
        StartWrite();
}

void RadioSim::Radio::SendReply(std::vector<std::uint8_t> bytes) {
    sim_.line_->Send(bytes, replyDelayMs_);
    replyDelayMs_ = 0;
}

void RadioSim::Radio::SendFrame(std::uint8_t command, const std::vector<std::uint8_t>& payload) {
    std::vector<std::uint8_t> bytes{preamble, preamble, programAddress, radioAddress, command};
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    bytes.push_back(frameEnd);
    SendReply(std::move(bytes));
}

namespace {

// One frame far longer than any the protocol allows.
std::vector<std::uint8_t> floodFrame() {
    std::vector<std::uint8_t> bytes{preamble, preamble, programAddress, radioAddress};
    bytes.insert(bytes.end(), floodLength, 'A');
    bytes.push_back(frameEnd);
    return bytes;
}

} // namespace

void RadioSim::Radio::AnswerInformation() {
    ++sim_.counters_.informationRequests;
    if (faultIs(Fault::HangUp)) {
        sim_.line_->HangUpAfterQueued();
        return;
    }
    if (faultIs(Fault::Flood)) {
        SendReply(floodFrame());
        return;
    }
    std::vector<std::uint8_t> reply = sim_.InformationReply();
    const std::size_t codeAt = 5; // FE FE EF EE E1, then the model code
    const std::size_t blockAt = codeAt + 4;
    switch (sim_.fault_) {
    case Fault::ShortReply:
        reply.resize(codeAt + 3);
        reply.push_back(frameEnd);
        break;
    case Fault::MalformedReply:
        reply[codeAt + 1] = 0x2A;
        break;
    case Fault::WrongModel:
        reply[codeAt + 1] += 1;
        break;
    case Fault::WrongSecond:
        reply[codeAt + 3] += 1;
        break;
    case Fault::WrongVariant:
        reply[blockAt + 23] ^= 0x01;
        break;
    case Fault::ShortInfo:
        reply.erase(reply.end() - 2); // the block's last byte
        reply[blockAt] = static_cast<std::uint8_t>(reply[blockAt] - 1);
        break;
    case Fault::TwoFrames: {
        // Only the later of two frames in one batch counts: a wrong one goes first.
        std::vector<std::uint8_t> burst{preamble,       preamble, programAddress, radioAddress,
                                        cmdWriteResult, 0x00,     frameEnd};
        burst.insert(burst.end(), reply.begin(), reply.end());
        sim_.line_->SendBurst(burst);
        return;
    }
    default:
        break;
    }
    SendReply(std::move(reply));
}

void RadioSim::Radio::StartRead() {
    ++sim_.counters_.readRequests;
    reading_ = true;
    readAddress_ = sim_.readRange_.first;
    readFrames_ = framesOnWire_ = 0;
    faultDone_ = false;
}

std::vector<std::uint8_t> RadioSim::Radio::ReadFrame(std::int32_t address, int count) {
    std::vector<std::uint8_t> data(static_cast<std::size_t>(count), 0xFF);
    if (sim_.image_.IsValidAddress(address) && sim_.image_.IsValidAddress(address + count - 1))
        sim_.image_.Read(address, data.data(), count);
    std::vector<std::uint8_t> bytes{preamble, preamble, programAddress, radioAddress, cmdData};
    appendText(bytes, dataPayload(address, data, count, 0));
    bytes.push_back(frameEnd);
    return bytes;
}

// The frame for `address`, or the fault that takes its place. `skipped` tells
// that the real frame was not sent.
std::vector<std::uint8_t> RadioSim::Radio::FaultyReadFrame(std::int32_t address, int count,
                                                           bool& skipped) {
    skipped = false;
    std::vector<std::uint8_t> bytes = ReadFrame(address, count);
    const std::size_t textAt = 5;
    const auto replaceText = [&](const std::string& text) {
        bytes.resize(textAt);
        appendText(bytes, text);
        bytes.push_back(frameEnd);
    };
    std::vector<std::uint8_t> data(bytes.begin() + textAt + 6, bytes.end() - 3);
    const std::optional<std::vector<std::uint8_t>> decoded = decodeHex(data.data(), data.size());
    faultDone_ = true;
    switch (sim_.fault_) {
    case Fault::BadChecksum:
        replaceText(dataPayload(address, *decoded, count, 1));
        break;
    case Fault::LowerCaseHex: {
        std::string text(bytes.begin() + textAt, bytes.end() - 1);
        std::string lower = text;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower == text)
            faultDone_ = false; // no letter here; try the next frame
        replaceText(lower);
        break;
    }
    case Fault::CountMismatch:
        replaceText(dataPayload(address, *decoded, count + 1, 0));
        break;
    case Fault::FramePastImage:
        bytes = ReadFrame(sim_.image_.Size(), blockSize);
        ++sim_.counters_.framesSent;
        ++framesOnWire_;
        {
            const std::vector<std::uint8_t> real = ReadFrame(address, count);
            bytes.insert(bytes.end(), real.begin(), real.end());
        }
        break;
    case Fault::FrameOutsideRange: {
        const std::int32_t outside = sim_.readRange_.first >= blockSize
                                         ? sim_.readRange_.first - blockSize
                                         : sim_.readRange_.last + 1;
        std::vector<std::uint8_t> extra = ReadFrame(outside, blockSize);
        ++sim_.counters_.framesSent;
        ++framesOnWire_;
        bytes.insert(bytes.begin(), extra.begin(), extra.end());
        break;
    }
    case Fault::MissingFrame:
        skipped = true;
        bytes.clear();
        break;
    case Fault::Flood:
        bytes = floodFrame();
        skipped = true;
        break;
    case Fault::HangUp:
        skipped = true;
        bytes.clear();
        hangUpPending_ = true;
        reading_ = false;
        break;
    default:
        faultDone_ = false;
        break;
    }
    return bytes;
}

std::vector<std::uint8_t> RadioSim::Radio::EndFrame(int count) const {
    std::vector<std::uint8_t> bytes{preamble, preamble, programAddress, radioAddress, cmdEnd};
    appendText(bytes, signature + hexByte(static_cast<unsigned>(count)));
    bytes.push_back(frameEnd);
    return bytes;
}

bool RadioSim::Radio::Refill() {
    if (!reading_)
        return false;
    std::vector<std::uint8_t> batch;
    for (int i = 0; i < framesPerRefill && reading_; ++i) {
        const std::int32_t last = sim_.readRange_.last;
        if (readAddress_ > last) {
            const int count = framesOnWire_ - (faultIs(Fault::WrongEndCount) ? 1 : 0);
            const std::vector<std::uint8_t> end = EndFrame(count);
            batch.insert(batch.end(), end.begin(), end.end());
            reading_ = false;
            break;
        }
        int count = blockSize - readAddress_ % blockSize;
        count = std::min(count, last - readAddress_ + 1);
        bool skipped = false;
        std::vector<std::uint8_t> bytes = !faultDone_ && readFrames_ >= sim_.faultFrame_
                                              ? FaultyReadFrame(readAddress_, count, skipped)
                                              : ReadFrame(readAddress_, count);
        ++readFrames_;
        if (!skipped) {
            ++framesOnWire_;
            ++sim_.counters_.framesSent;
        }
        readAddress_ += count;
        const bool burst = faultIs(Fault::TwoFrames) && readFrames_ == sim_.faultFrame_ + 1;
        if (burst && reading_) {
            // This frame and the next reach the program together.
            int nextCount = std::min(blockSize, last - readAddress_ + 1);
            if (nextCount > 0) {
                std::vector<std::uint8_t> next = ReadFrame(readAddress_, nextCount);
                bytes.insert(bytes.end(), next.begin(), next.end());
                readAddress_ += nextCount;
                ++readFrames_;
                ++framesOnWire_;
                ++sim_.counters_.framesSent;
            }
            if (!batch.empty())
                SendReply(std::exchange(batch, {}));
            sim_.line_->SendBurst(bytes);
            continue;
        }
        batch.insert(batch.end(), bytes.begin(), bytes.end());
    }
    const bool queued = !batch.empty();
    if (queued)
        SendReply(std::move(batch));
    if (std::exchange(hangUpPending_, false)) {
        sim_.line_->HangUpAfterQueued();
        return true;
    }
    return queued || reading_;
}

void RadioSim::Radio::StartWrite() {
    ++sim_.counters_.writeRequests;
    writing_ = true;
    writeFrames_ = 0;
    writeBad_ = false;
}

// Stores one data frame of a write; a frame that breaks the format, its checksum
// or the image is counted and spoils the write's result.
void RadioSim::Radio::AcceptDataFrame() {
    const std::size_t textAt = 4; // FE EE EF E4
    const auto bytes = decodeHex(frame_.data() + textAt, frame_.size() - textAt);
    bool good = bytes && bytes->size() >= 4 && (*bytes)[2] + 4u == bytes->size();
    if (good) {
        unsigned sum = 0;
        for (std::uint8_t b : *bytes)
            sum += b;
        const std::int32_t address = (*bytes)[0] << 8 | (*bytes)[1];
        const int count = (*bytes)[2];
        // Any set of frames will do, as long as each stays inside one 16-byte
        // block of the clone memory.
        const std::int32_t end = address + count - 1;
        const AddressRange memory = marloModel::cloneRange[0];
        good = (sum & 0xFFu) == 0 && count > 0 && address >= memory.first && end <= memory.last &&
               address / blockSize == end / blockSize && sim_.image_.IsValidAddress(end);
        if (good)
            sim_.image_.Write(address, bytes->data() + 3, count);
    }
    ++writeFrames_;
    if (!good) {
        writeBad_ = true;
        ++sim_.counters_.framesRejected;
        return;
    }
    ++sim_.counters_.framesAccepted;
    if (faultIs(Fault::HangUp) && writeFrames_ > sim_.faultFrame_) {
        writing_ = false;
        sim_.line_->HangUpAfterQueued();
    }
}

void RadioSim::Radio::FinishWrite() {
    writing_ = false;
    const std::string expected = signature + hexByte(static_cast<unsigned>(writeFrames_));
    const std::string got(frame_.begin() + 4, frame_.end());
    const bool accepted = !writeBad_ && got == expected && !faultIs(Fault::RefusedWrite);
    const std::uint8_t result = accepted ? 0x00 : 0x01;
    sim_.counters_.lastWriteResult = result;
    if (accepted && !sim_.dumpPath_.empty())
        sim_.DumpImage(sim_.dumpPath_);
    if (faultIs(Fault::Flood)) {
        SendReply(floodFrame());
    } else if (faultIs(Fault::TwoFrames)) {
        // A refusal and then the real result, in one batch: only the later counts.
        sim_.line_->SendBurst({preamble, preamble, programAddress, radioAddress, cmdWriteResult,
                               0x01, frameEnd, preamble, preamble, programAddress, radioAddress,
                               cmdWriteResult, result, frameEnd});
    } else {
        SendFrame(cmdWriteResult, {result});
    }
}

} // namespace marlo
