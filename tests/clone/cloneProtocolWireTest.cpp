#include "clone/cloneFrames.h"
#include "clone/cloneProtocol.h"
#include "cloneOutcome.h"
#include "ptyPeer.h"
#include "support/eventLoop.h"
#include "wireSpelling.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace marlo;

namespace {

using R = CloneResult;
using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const ByteQueue& b) {
    return Bytes(b.Data(), b.Data() + b.Count());
}

void append(Bytes& to, const Bytes& more) {
    to.insert(to.end(), more.begin(), more.end());
}

Bytes operator+(Bytes a, const Bytes& b) {
    append(a, b);
    return a;
}

Bytes fromRadio(std::uint8_t command, const Bytes& payload) {
    Bytes frame{0xFE, 0xFE, 0xEF, 0xEE, command};
    append(frame, payload);
    frame.push_back(0xFD);
    return frame;
}

// A data frame from the radio, with its checksum.
Bytes radioData(std::int32_t address, const Bytes& data) {
    MemoryImage image;
    image.Resize(0x10000);
    image.Write(address, data.data(), static_cast<std::int32_t>(data.size()));
    ByteQueue frame;
    cloneFrame::AppendDataFrame(frame, image, address, static_cast<std::int32_t>(data.size()), 0);
    Bytes bytes = bytesOf(frame);
    bytes[2] = 0xEF; // from the radio to us
    bytes[3] = 0xEE;
    return bytes;
}

Bytes radioEnd(const char* count) {
    return fromRadio(cloneFrame::endFrame, spellBytes(std::string("\"Vexa Inc.") + count + "\""));
}

// The engine against a scripted far end that answers frame by frame.
class CloneDrvWire : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(peer.IsOpen());
        drv.SetClock(&fastClock, kFastTimeScale); // most scripts end in silence and a time-out
        drv.PrepareDevice(peer.DevicePath());
        drv.SetIdentification(0x2620, 0);
        drv.SetImageSize(0x400);
    }
    // Answers the request with `command` by `answer`, everything else with silence.
    void answerRequest(std::uint8_t command, Bytes answer) {
        peer.SetAnswer([=](const Bytes& frame) {
            return frame.size() > 3 && frame[3] == command ? answer : Bytes{};
        });
    }
    std::uint8_t information() {
        return drv.StartInformation(&CloneOutcome::Done, &out) && out.Wait() ? out.code : 0xEE;
    }
    std::uint8_t read(RangeList ranges) {
        return drv.StartRead(ranges, &CloneOutcome::Done, &out) && out.Wait() ? out.code : 0xEE;
    }

    PtyPeer peer;
    CloneProtocol drv;
    CloneOutcome out;
};

TEST_F(CloneDrvWire, InformationRequestAndReplyOnTheWire) {
    answerRequest(cloneFrame::informationRequest,
                  fromRadio(cloneFrame::informationReply, spellBytes("26 20 00 01 03 41 42")));
    ASSERT_EQ(information(), R::codeSuccess);
    Bytes expected(12, 0xFE);
    append(expected, spellBytes("FE FE EE EF E0 26 20 00 00 FD"));
    EXPECT_EQ(peer.Heard(), expected);
    EXPECT_EQ(out.identification1, 0x2620u);
    EXPECT_EQ(out.identification2, 0x0001u);
    EXPECT_EQ(out.information, spellBytes("03 41 42"));
    EXPECT_EQ(out.calls, 1);
    EXPECT_TRUE(portIsFree(peer.DevicePath()));
}

// A clock the test moves: a millisecond a look until it is held.
std::uint32_t heldNow = 0;
bool held = false;
std::uint32_t heldClock() {
    return held ? heldNow : ++heldNow;
}

// Every wait of a failed operation, the quiet line's too, is told by the
// engine's clock: while that clock stands the operation goes on however long
// the wall clock runs, and it ends once the clock has moved past the wait.
TEST_F(CloneDrvWire, AFailedOperationQuietsTheLineByTheEnginesClock) {
    heldNow = 0;
    held = false;
    drv.SetClock(&heldClock);
    peer.LimitEcho(0); // nothing comes back: the first time-out ends the operation
    ASSERT_TRUE(drv.StartInformation(&CloneOutcome::Done, &out));
    ASSERT_TRUE(runEventLoopUntil([&] { return !peer.Frames().empty(); }));
    held = true;
    heldNow += 1001; // the echo's time-out is over: on to the quiet wait
    runEventLoopFor(1200);
    EXPECT_EQ(out.calls, 0);
    heldNow += 5001;
    ASSERT_TRUE(out.Wait());
    EXPECT_EQ(out.code, R::codeEchoError);
}

TEST_F(CloneDrvWire, AReplyLeftOnTheLineBeforeTheOpenIsNoAnswer) {
    peer.Send(fromRadio(cloneFrame::informationReply, spellBytes("26 20 00 01")));
    runEventLoopFor(50);
    EXPECT_EQ(information(), R::codeNoAnswer);
    EXPECT_EQ(peer.Frames().size(), 1u) << "the request went out";
}

TEST_F(CloneDrvWire, OnlyTheLastOfSeveralRepliesCounts) {
    const Bytes good = fromRadio(cloneFrame::informationReply, spellBytes("26 20 00 01"));
    const Bytes bad = fromRadio(cloneFrame::writeResult, spellBytes("00"));
    struct Row {
        const char* name;
        Bytes answer;
        std::uint8_t code;
    } rows[] = {
        {"noise, then the reply", spellBytes("00 41 FD 13") + good, R::codeSuccess},
        {"wrong, then right", bad + good, R::codeSuccess},
        {"right, then wrong", good + bad, R::codeBadFrame},
    };
    for (const Row& r : rows) {
        answerRequest(cloneFrame::informationRequest, r.answer);
        out.Reset();
        EXPECT_EQ(information(), r.code) << r.name;
        EXPECT_EQ(out.calls, 1) << r.name;
    }
}

// Ranges are sent as 16-byte aligned data frames, then the end frame with the count.
TEST_F(CloneDrvWire, WriteSendsAlignedFramesAndTheEndFrame) {
    struct Row {
        std::vector<AddressRange> ranges;
        std::vector<std::pair<std::int32_t, std::int32_t>> frames; // address, count
        const char* endCount;
    } rows[] = {
        {{{0x02B0, 0x02C7}, kRangeEnd}, {{0x02B0, 16}, {0x02C0, 8}}, "02"},
        {{{0x02B8, 0x02BF}, kRangeEnd}, {{0x02B8, 8}}, "01"},
        {{{0x0000, 0x0003}, {0x0015, 0x0022}, kRangeEnd},
         {{0x0000, 4}, {0x0015, 11}, {0x0020, 3}},
         "03"},
        {{kRangeEnd}, {}, "00"},
    };
    MemoryImage image;
    image.Resize(0x400);
    for (std::int32_t a = 0; a < image.Size(); ++a)
        image.SetByte(a, static_cast<std::uint8_t>(a ^ 0x5A));
    for (const Row& r : rows) {
        PtyPeer wire;
        wire.SetAnswer([](const Bytes& frame) {
            return frame[3] == cloneFrame::endFrame ? fromRadio(cloneFrame::writeResult, {0x00})
                                                    : Bytes{};
        });
        drv.PrepareDevice(wire.DevicePath());
        out.Reset();
        ASSERT_TRUE(drv.StartWrite(image, r.ranges, &CloneOutcome::Done, &out));
        ASSERT_TRUE(out.Wait());
        EXPECT_EQ(out.code, R::codeSuccess) << r.endCount;

        ByteQueue expected;
        cloneFrame::AppendRequest(expected, cloneFrame::writeRequest, 0x2620, 0, 12);
        for (const auto& [address, count] : r.frames)
            cloneFrame::AppendDataFrame(expected, image, address, count, 0);
        Bytes wanted = bytesOf(expected);
        append(wanted,
               spellBytes(std::string("FE FE EE EF E5 \"Vexa Inc.") + r.endCount + "\" FD"));
        EXPECT_EQ(wire.Heard(), wanted) << r.endCount;
    }
}

TEST_F(CloneDrvWire, WriteRefusedOrUnanswered) {
    struct Row {
        Bytes answer;
        std::uint8_t code;
    } rows[] = {
        {fromRadio(cloneFrame::writeResult, {0x01}), R::codeWriteRefused},
        {fromRadio(cloneFrame::writeResult, {0x00, 0x00}), R::codeWriteRefused},
        {fromRadio(cloneFrame::informationReply, {0x00}), R::codeWriteRefused},
        {{}, R::codeNoAnswer},
    };
    MemoryImage image;
    image.Resize(0x400);
    const std::array<AddressRange, 2> ranges{{{0x0100, 0x011F}, kRangeEnd}};
    for (const Row& r : rows) {
        answerRequest(cloneFrame::endFrame, r.answer);
        out.Reset();
        ASSERT_TRUE(drv.StartWrite(image, ranges, &CloneOutcome::Done, &out));
        ASSERT_TRUE(out.Wait());
        EXPECT_EQ(out.code, r.code);
        EXPECT_EQ(out.calls, 1);
    }
}

TEST_F(CloneDrvWire, EchoDifferenceWhileSendingDataEndsTheWrite) {
    MemoryImage image;
    image.Resize(0x400);
    const std::array<AddressRange, 2> ranges{{{0x0000, 0x03FF}, kRangeEnd}};
    // Byte 500 lies in the eleventh data frame (22 request bytes, then 46 per frame).
    peer.AlterEcho(500, 0x00);
    answerRequest(cloneFrame::endFrame, fromRadio(cloneFrame::writeResult, {0x00}));
    ASSERT_TRUE(drv.StartWrite(image, ranges, &CloneOutcome::Done, &out));
    ASSERT_TRUE(out.Wait());
    EXPECT_EQ(out.code, R::codeEchoError);
    for (const Bytes& frame : peer.Frames())
        EXPECT_NE(frame[3], cloneFrame::endFrame);
    // Nothing more leaves after the difference: at most the 128 bytes that may be
    // unechoed and the batch that followed them.
    EXPECT_LE(peer.Heard().size(), 501u + 128 + 8 * 46);
}

// Data go out in batches of up to eight frames a tick, and a batch only while at
// most 128 sent bytes are still on their way back. The first batch follows the
// 22-byte request; with frames of 46 bytes it leaves 22 + 368 bytes to echo.
TEST_F(CloneDrvWire, SendingPausesWhileMoreThan128BytesAreUnechoed) {
    constexpr std::size_t request = 22;
    constexpr std::size_t batch = 8 * 46;
    MemoryImage image;
    image.Resize(0x400);
    const std::array<AddressRange, 2> ranges{{{0x0000, 0x03FF}, kRangeEnd}};
    const struct {
        std::size_t echoed;
        std::size_t sent;
    } rows[] = {
        {0, request + batch},
        {request + batch - 129, request + batch},
        {request + batch - 128, request + 2 * batch},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.echoed);
        PtyPeer wire;
        wire.LimitEcho(row.echoed);
        drv.PrepareDevice(wire.DevicePath());
        out.Reset();
        ASSERT_TRUE(drv.StartWrite(image, ranges, &CloneOutcome::Done, &out));
        ASSERT_TRUE(out.Wait());
        EXPECT_EQ(out.code, R::codeEchoError);
        EXPECT_EQ(wire.Heard().size(), row.sent);
    }
}

// What the simulated radio cannot send: noise, odd counts, unknown commands, silence.
TEST_F(CloneDrvWire, ReadOutcomes) {
    const Bytes block(16, 0x11);
    const std::array<AddressRange, 2> ranges{{{0x0100, 0x011F}, kRangeEnd}};
    struct Row {
        const char* name;
        Bytes answer;
        std::uint8_t code;
    } rows[] = {
        {"complete", radioData(0x100, block) + radioData(0x110, block) + radioEnd("02"),
         R::codeSuccess},
        {"noise between frames",
         radioData(0x100, block) + spellBytes("00 FD 41") + radioData(0x110, block) +
             radioEnd("02"),
         R::codeSuccess},
        {"over-long frame",
         radioData(0x100, block) + spellBytes("FE FE EF EE E4") + Bytes(530, 0x30),
         R::codeBadFrame},
        {"odd count", radioData(0x100, Bytes(15, 0x11)), R::codeBadFrame},
        {"unknown command", fromRadio(0xE7, Bytes(10, 0x30)), R::codeBadFrame},
        {"noise only", Bytes(300, 0x41), R::codeNoAnswer},
        {"silence", {}, R::codeNoAnswer},
    };
    for (const Row& r : rows) {
        answerRequest(cloneFrame::readRequest, r.answer);
        out.Reset();
        EXPECT_EQ(read(ranges), r.code) << r.name;
        EXPECT_EQ(out.calls, 1) << r.name;
        EXPECT_FALSE(drv.IsBusy());
    }
}

TEST_F(CloneDrvWire, ReadStopsBeforeAFrameThatLeavesTheImage) {
    // 0x03F0..0x03FF fits; the next frame would run past 0x400 and is not stored.
    const std::array<AddressRange, 2> ranges{{{0x03F0, 0x03FF}, kRangeEnd}};
    answerRequest(cloneFrame::readRequest,
                  radioData(0x3F0, Bytes(16, 0x22)) + radioData(0x3F8, Bytes(16, 0x33)));
    EXPECT_EQ(read(ranges), R::codeAddressError);
    ASSERT_EQ(out.image.Size(), 0x400);
    for (std::int32_t a = 0x3F0; a < 0x400; ++a)
        EXPECT_EQ(out.image.GetByte(a), 0x22) << a;
    EXPECT_EQ(drv.DataBytes(), 16);
}

} // namespace
