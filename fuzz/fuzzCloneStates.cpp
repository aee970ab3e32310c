// The clone engine itself, state machine, time-outs and port, against a radio
// whose answers and timing the input chooses, over a pseudo-terminal on a clock
// only this target moves.
//
// First byte: bits 0..1 the operation (information, read, write), bits 2..3 the
// address list (the whole clone range, one block, two short ranges, the start
// of the clone range). The rest is a script of 4-byte steps [kind a b c] taken
// one per request the radio hears (information, read, the start and the end of
// a write); when it runs out the radio answers correctly.
//   kind 0: the correct answer, a*8 ms late
//   kind 1: the correct answer with byte (a*256+b) mod length xor c (c != 0)
//   kind 2: the correct answer cut after (a*256+b) mod length bytes
//   kind 3: c bytes of the script's own as the answer
//   kind 4: no answer at all
//   kind 5: c bytes of the script's own, then the correct answer
//   kind 6: the cable's echo of the program's byte a*256+b comes back as c (if it
//           differs) from then on, with the correct answer
//   kind 7: the echo stops at the program's byte a*256+b (a pulled cable)
//
// The engine must end every operation, in bounded time once the radio falls
// silent, and report success only when it holds what the radio really sent (a
// read: every listed byte, as the radio's memory has it; information: the
// radio's block) or the radio really took what it sent (a write: every listed
// byte arrived, and the radio said so). A wrong echo is never a success.
#include "fuzzSupport.h"

#include "clone/cloneFrameCheck.h"
#include "clone/cloneFrames.h"
#include "clone/cloneProtocol.h"
#include "clone/cloneResult.h"
#include "core/byteQueue.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace marlo;

namespace {

using fuzzSupport::Check;
using R = CloneResult;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t identification1 = 0x2620;
constexpr std::uint32_t identification2 = 0x0001;
// The engine's time moves by this much at every look, so that its own waits
// (the pause after opening the port) end without the wall clock.
constexpr std::uint32_t msPerLook = 20;
// After the script's last step the engine has this long to end.
constexpr std::uint32_t endWithinMs = 30000;
constexpr std::uint32_t kLatestAnswerMs = 255 * 8;

std::uint32_t engineMs = 0;
std::uint32_t engineClock() {
    engineMs += msPerLook;
    return engineMs;
}

const std::vector<AddressRange>& rangesFor(int choice) {
    static const std::array<std::vector<AddressRange>, 4> lists{{
        {marloModel::cloneRange.begin(), marloModel::cloneRange.end()},
        {{0x02B0, 0x02BF}, kRangeEnd},
        {{0x0300, 0x0323}, {0x6C30, 0x6C3F}, kRangeEnd},
        {{0x02B0, 0x03FF}, kRangeEnd},
    }};
    return lists[static_cast<std::size_t>(choice) % lists.size()];
}

const MemoryImage& patterned(std::uint8_t salt) {
    static std::array<MemoryImage, 2> images;
    MemoryImage& image = images[salt & 1];
    if (image.Size() == 0) {
        image.Resize(marloModel::imageSize);
        for (std::int32_t a = 0; a < image.Size(); ++a)
            image.SetByte(a, static_cast<std::uint8_t>((a * 7) ^ (a >> 8) ^ salt));
    }
    return image;
}
const MemoryImage& radioMemory() {
    return patterned(0x5A);
}
const MemoryImage& sentImage() {
    return patterned(0xA5);
}

Bytes informationBlock() {
    Bytes block(32, 0);
    block[0] = 32;
    block[1] = 0x10;
    block[2] = 6;
    const std::string comment = "MARLO FUZZ RADIO 01";
    std::copy(comment.begin(), comment.end(), block.begin() + 3);
    std::copy_n("3400", 4, block.begin() + 24);
    return block;
}

// A frame from the radio: the program's frame layout with the addresses turned.
void turn(ByteQueue& frames, std::int32_t from) {
    for (std::int32_t at = from; at + 3 < frames.Count(); ++at) {
        if (frames.Data()[at] == 0xFE && frames.Data()[at + 1] == 0xFE &&
            frames.Data()[at + 2] == cloneFrame::radioAddress) {
            frames.Data()[at + 2] = cloneFrame::computerAddress;
            frames.Data()[at + 3] = cloneFrame::radioAddress;
        }
    }
}

// The radio's correct answer to a request (E0, E2), the start of a write (none)
// or its end.
Bytes correctAnswer(std::uint8_t command, const std::vector<AddressRange>& ranges) {
    ByteQueue out;
    if (command == cloneFrame::informationRequest) {
        cloneFrame::AppendHexTemplate(out, "FEFE EF EE E1 2620 0001");
        const Bytes block = informationBlock();
        out.AppendBytes(block.data(), static_cast<std::int32_t>(block.size()));
        out.AppendByte(cloneFrame::endByte);
    } else if (command == cloneFrame::readRequest) {
        std::uint32_t frames = 0;
        for (const AddressRange& r : ranges) {
            if (r.last < r.first)
                break;
            for (std::int32_t a = r.first; a <= r.last; a += cloneFrame::blockSize, ++frames)
                cloneFrame::AppendDataFrame(out, radioMemory(), a,
                                            std::min(cloneFrame::blockSize, r.last - a + 1), 0);
        }
        cloneFrame::AppendEndFrame(out, frames);
        turn(out, 0);
    } else if (command == cloneFrame::endFrame) {
        cloneFrame::AppendHexTemplate(out, "FEFE EF EE E6 00 FD");
    }
    return Bytes(out.Data(), out.Data() + out.Count());
}

// The far end of the line: the cable's echo and the radio behind it.
class Radio {
public:
    Radio() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        Check(master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0,
              "no pseudo-terminal");
        path_ = ::ptsname(master_);
        // Held open so that the line never reads as hung up between the engine's opens.
        slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        Check(slave_ >= 0, "the pseudo-terminal's far side did not open");
    }
    const std::string& DevicePath() const { return path_; }

    void Reset(const std::uint8_t* script, std::size_t size, std::uint8_t operation,
               const std::vector<AddressRange>* ranges) {
        std::uint8_t junk[512];
        while (::read(master_, junk, sizeof junk) > 0) {
        }
        script_ = script;
        left_ = size;
        operation_ = operation;
        ranges_ = ranges;
        heard_ = 0;
        frame_.clear();
        outbox_.clear();
        due_.clear();
        alteredAt_.reset();
        cutAt_.reset();
        memory_.assign(marloModel::imageSize, -1);
        acknowledged_ = false;
        endHeard_ = false;
        echoBroken_ = false;
        lastActivity_ = engineMs;
    }

    // Everything due by now: the echo of what the program sent, answers whose time has come.
    void Serve() {
        std::uint8_t in[512];
        for (ssize_t n; (n = ::read(master_, in, sizeof in)) > 0;) {
            for (ssize_t i = 0; i < n; ++i)
                hear(in[i]);
        }
        for (auto it = due_.begin(); it != due_.end();) {
            if (static_cast<std::int32_t>(engineMs - it->first) >= 0) {
                lastActivity_ = engineMs;
                outbox_.insert(outbox_.end(), it->second.begin(), it->second.end());
                it = due_.erase(it);
            } else {
                ++it;
            }
        }
        while (!outbox_.empty()) {
            const ssize_t n = ::write(master_, outbox_.data(), outbox_.size());
            if (n <= 0)
                break;
            outbox_.erase(outbox_.begin(), outbox_.begin() + n);
        }
    }
    // The engine time of the last byte on the line either way.
    std::uint32_t LastActivity() const { return lastActivity_; }

    bool Acknowledged() const { return acknowledged_ && endHeard_; }
    // Whether every listed byte arrived in a frame the radio could read, as sent.
    bool HoldsSentImage() const {
        for (const AddressRange& r : *ranges_) {
            if (r.last < r.first)
                break;
            for (std::int32_t a = r.first; a <= r.last; ++a) {
                if (memory_[static_cast<std::size_t>(a)] != sentImage().GetByte(a))
                    return false;
            }
        }
        return true;
    }
    bool EchoBroken() const { return echoBroken_; }

private:
    void hear(std::uint8_t b) {
        const std::size_t index = heard_++;
        lastActivity_ = engineMs;
        if (cutAt_ && index >= *cutAt_) {
            echoBroken_ = true;
            return;
        }
        const bool altered = alteredAt_ && index == *alteredAt_ && alteredValue_ != b;
        echoBroken_ = echoBroken_ || altered;
        outbox_.push_back(altered ? alteredValue_ : b);
        frame_.push_back(b);
        if (b == cloneFrame::endByte) {
            takeFrame();
            frame_.clear();
        }
    }

    void takeFrame() {
        const auto at = std::search(frame_.begin(), frame_.end(), kHeader.begin(), kHeader.end());
        if (at == frame_.end() || frame_.end() - at < 6)
            return;
        const std::uint8_t command = at[4];
        if (command == cloneFrame::dataFrame)
            store(Bytes(at + 5, frame_.end() - 1));
        if (command == cloneFrame::endFrame)
            endHeard_ = true;
        if (command == cloneFrame::informationRequest || command == cloneFrame::readRequest ||
            command == cloneFrame::writeRequest || command == cloneFrame::endFrame)
            answer(command);
    }

    // A write's data frame as the radio reads it: hex "AAAANN<data>SS".
    void store(const Bytes& text) {
        std::vector<int> bytes;
        for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
            const int high = cloneFrame::HexDigitValue(text[i]);
            const int low = cloneFrame::HexDigitValue(text[i + 1]);
            if (high < 0 || low < 0 || text.size() % 2 != 0)
                return;
            bytes.push_back(high * 16 + low);
        }
        if (bytes.size() < 4)
            return;
        const int address = bytes[0] * 256 + bytes[1];
        const int count = bytes[2];
        if (static_cast<int>(bytes.size()) != 4 + count || address + count > marloModel::imageSize)
            return;
        int sum = 0;
        for (int v : bytes)
            sum += v;
        if (sum % 256 != 0)
            return;
        for (int i = 0; i < count; ++i)
            memory_[static_cast<std::size_t>(address + i)] = bytes[static_cast<std::size_t>(3 + i)];
    }

    Bytes own(std::size_t n) {
        n = std::min(n, left_);
        Bytes taken(script_, script_ + n);
        script_ += n;
        left_ -= n;
        return taken;
    }

    void answer(std::uint8_t command) {
        Bytes reply = correctAnswer(command, *ranges_);
        std::uint32_t delay = 0;
        if (left_ >= 4) {
            const std::uint8_t kind = script_[0] % 8;
            const std::size_t position = static_cast<std::size_t>(script_[1] * 256 + script_[2]);
            const std::uint8_t c = script_[3];
            script_ += 4;
            left_ -= 4;
            switch (kind) {
            case 0:
                delay = position >> 8 << 3;
                break;
            case 1:
                if (!reply.empty())
                    reply[position % reply.size()] ^= c == 0 ? 1 : c;
                break;
            case 2:
                reply.resize(reply.empty() ? 0 : position % reply.size());
                break;
            case 3:
                reply = own(c);
                break;
            case 4:
                reply.clear();
                break;
            case 5: {
                Bytes noise = own(c);
                reply.insert(reply.begin(), noise.begin(), noise.end());
                break;
            }
            case 6:
                if (position > heard_) {
                    alteredAt_ = position;
                    alteredValue_ = c;
                }
                break;
            default:
                cutAt_ = std::max(position, heard_);
                break;
            }
        }
        if (command == cloneFrame::endFrame)
            acknowledged_ =
                acknowledged_ || std::search(reply.begin(), reply.end(), kAccepted.begin(),
                                             kAccepted.end()) != reply.end();
        due_.push_back({engineMs + delay, std::move(reply)});
    }

    static constexpr std::array<std::uint8_t, 4> kHeader{0xFE, 0xFE, cloneFrame::radioAddress,
                                                         cloneFrame::computerAddress};
    static constexpr std::array<std::uint8_t, 3> kAccepted{cloneFrame::writeResult, 0x00,
                                                           cloneFrame::endByte};

    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    const std::uint8_t* script_ = nullptr;
    std::size_t left_ = 0;
    std::uint8_t operation_ = 0;
    const std::vector<AddressRange>* ranges_ = nullptr;
    std::size_t heard_ = 0;
    Bytes frame_;
    Bytes outbox_;
    std::vector<std::pair<std::uint32_t, Bytes>> due_;
    std::optional<std::size_t> alteredAt_;
    std::uint8_t alteredValue_ = 0;
    std::optional<std::size_t> cutAt_;
    std::vector<int> memory_;
    bool acknowledged_ = false;
    bool endHeard_ = false;
    bool echoBroken_ = false;
    std::uint32_t lastActivity_ = 0;
};

struct Outcome {
    bool ended = false;
    std::uint8_t code = 0xFF;
    std::uint32_t id1 = 0; // as the reply gave them
    std::uint32_t id2 = 0;
    MemoryImage image;
    Bytes coverage;
};

void whenDone(void* context, R& result) {
    auto* outcome = static_cast<Outcome*>(context);
    outcome->ended = true;
    outcome->code = result.code;
    outcome->id1 = result.identification1;
    outcome->id2 = result.identification2;
    outcome->image.Resize(result.image.Size());
    outcome->image.Assign(result.image);
    outcome->coverage.assign(result.coverage.Data(),
                             result.coverage.Data() + result.coverage.Count());
}

Radio* radio = nullptr;
CloneProtocol* engine = nullptr;

void checkRead(const Outcome& outcome, const std::vector<AddressRange>& ranges) {
    for (const AddressRange& r : ranges) {
        if (r.last < r.first)
            break;
        for (std::int32_t a = r.first; a <= r.last; ++a) {
            Check((outcome.coverage[static_cast<std::size_t>(a / 8)] >> (a % 8) & 1) != 0,
                  "a read succeeded without a listed byte");
            Check(outcome.image.GetByte(a) == radioMemory().GetByte(a),
                  "a read succeeded with a byte the radio does not hold");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzSupport::StartQt();
    radio = new Radio;
    engine = new CloneProtocol;
    // Ten engine steps to the wall clock's millisecond: the task ticks every 1 ms.
    engine->SetClock(&engineClock, 10);
    engine->SetIdentification(identification1, identification2);
    engine->SetImageSize(marloModel::imageSize);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::uint8_t operation = static_cast<std::uint8_t>(1 + (data[0] & 3) % 3);
    const std::vector<AddressRange>& ranges = rangesFor(data[0] >> 2 & 3);
    radio->Reset(data + 1, size - 1, operation, &ranges);

    Outcome outcome;
    engine->PrepareDevice(radio->DevicePath());
    bool started = false;
    switch (operation) {
    case R::opInformation:
        started = engine->StartInformation(&whenDone, &outcome);
        break;
    case R::opRead:
        started = engine->StartRead(ranges, &whenDone, &outcome);
        break;
    default:
        started = engine->StartWrite(sentImage(), ranges, &whenDone, &outcome);
        break;
    }
    Check(started, "the engine refused to start");

    while (!outcome.ended) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        radio->Serve();
        // A late answer is still due: the line is not silent.
        if (engineMs - radio->LastActivity() > endWithinMs + kLatestAnswerMs)
            fuzzSupport::Broken("the engine did not end after the line fell silent");
    }
    engine->ReleasePort();

    if (outcome.code != R::codeSuccess)
        return 0;
    Check(!radio->EchoBroken(), "an operation with a wrong or missing echo succeeded");
    switch (operation) {
    case R::opInformation:
        for (std::uint32_t id : {outcome.id1, outcome.id2}) {
            for (int shift = 0; shift < 16; shift += 4)
                Check((id >> shift & 0xF) <= 9, "information succeeded with no decimal model code");
        }
        break;
    case R::opRead:
        checkRead(outcome, ranges);
        break;
    default:
        Check(radio->HoldsSentImage(), "a write succeeded though the radio lacks a byte");
        Check(radio->Acknowledged(), "a write succeeded though the radio never accepted it");
        break;
    }
    return 0;
}
