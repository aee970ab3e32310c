#include "clone/cloneProtocol.h"
#include "clone/serialLink.h"
#include "cloneOutcome.h"
#include "core/modelIdentity.h"
#include "support/eventLoop.h"
#include "tools/radiosim/radioSim.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <span>

using namespace marlo;

namespace {

using R = CloneResult;
using Fault = RadioSim::Fault;

constexpr std::array<AddressRange, 3> writeRanges{{{0x02B0, 0x6C19}, {0x6C25, 0x6C3F}, kRangeEnd}};
// A short read, so that failing reads end quickly.
constexpr AddressRange shortRange{0x02B0, 0x03AF};
constexpr std::array<AddressRange, 2> shortRanges{{shortRange, kRangeEnd}};

std::uint8_t pattern(std::int32_t a) {
    return static_cast<std::uint8_t>(a * 7 + (a >> 8));
}

// The engine against the simulated radio on a pseudo-terminal.
class CloneDrvSim : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.Start()) << sim.ErrorText();
        sim.SetClock(&fastClock, kFastTimeScale);
        drv = std::make_unique<CloneProtocol>();
        drv->SetClock(&fastClock, kFastTimeScale);
        drv->PrepareDevice(sim.DevicePath());
        drv->SetIdentification(marloModel::modelCodeFirst, 0);
        drv->SetImageSize(marloModel::imageSize);
        image.Resize(marloModel::imageSize);
        for (std::int32_t a = 0; a < image.Size(); ++a)
            image.SetByte(a, pattern(a));
    }

    // Runs one operation to its end; the code, or 0xEE when it did not start or end.
    std::uint8_t information() {
        return drv->StartInformation(&CloneOutcome::Done, &out) && out.Wait() ? out.code : 0xEE;
    }
    std::uint8_t read(RangeList ranges) {
        return drv->StartRead(ranges, &CloneOutcome::Done, &out) && out.Wait() ? out.code : 0xEE;
    }
    std::uint8_t write(RangeList ranges) {
        return drv->StartWrite(image, ranges, &CloneOutcome::Done, &out) && out.Wait() ? out.code
                                                                                       : 0xEE;
    }
    void expectEndedCleanly(const std::string& path) {
        EXPECT_EQ(out.calls, 1);
        EXPECT_FALSE(drv->IsBusy());
        EXPECT_TRUE(portIsFree(path));
    }

    RadioSim sim;
    std::unique_ptr<CloneProtocol> drv;
    MemoryImage image;
    CloneOutcome out;
};

TEST_F(CloneDrvSim, InformationReportsTheRadio) {
    ASSERT_EQ(information(), R::codeSuccess);
    EXPECT_EQ(out.operation, R::opInformation);
    EXPECT_EQ(out.identification1, 0x2620u);
    EXPECT_EQ(out.identification2, 0x0001u);
    // The reply is FE FE EF EE E1 and four identification bytes, the block, FD.
    const std::vector<std::uint8_t> reply = sim.InformationReply();
    EXPECT_EQ(out.information, std::vector<std::uint8_t>(reply.begin() + 9, reply.end() - 1));
    EXPECT_EQ(sim.Stats().informationRequests, 1);
    expectEndedCleanly(sim.DevicePath());
}

TEST_F(CloneDrvSim, FullReadMatchesTheRadioMemory) {
    sim.SetImage(image);
    ASSERT_EQ(read(marloModel::cloneRange), R::codeSuccess);
    EXPECT_EQ(out.operation, R::opRead);
    ASSERT_EQ(out.image.Size(), marloModel::imageSize);
    const AddressRange range = marloModel::cloneRange[0];
    for (std::int32_t a = 0; a < out.image.Size(); ++a) {
        const std::uint8_t expected = a >= range.first && a <= range.last ? pattern(a) : 0;
        ASSERT_EQ(out.image.GetByte(a), expected) << "at " << a;
    }
    EXPECT_EQ(drv->DataBytes(), 27024);
    EXPECT_EQ(drv->FrameCount(), 1689u);
    expectEndedCleanly(sim.DevicePath());
}

TEST_F(CloneDrvSim, FullWriteLandsInTheRadioMemory) {
    MemoryImage before;
    before.Assign(sim.Image());
    ASSERT_EQ(write(writeRanges), R::codeSuccess);
    EXPECT_EQ(out.operation, R::opWrite);
    for (std::int32_t a = 0; a < image.Size(); ++a) {
        const bool written = (a >= 0x02B0 && a <= 0x6C19) || (a >= 0x6C25 && a <= 0x6C3F);
        ASSERT_EQ(sim.Image().GetByte(a), written ? pattern(a) : before.GetByte(a)) << "at " << a;
    }
    // 0x02B0..0x6C19 is 1687 frames (the last one 10 bytes); 0x6C25..0x6C3F is 2.
    EXPECT_EQ(sim.Stats().framesAccepted, 1689);
    EXPECT_EQ(sim.Stats().framesRejected, 0);
    EXPECT_EQ(sim.Stats().lastWriteResult, 0);
    EXPECT_EQ(drv->DataBytes(), 0x6C19 - 0x02B0 + 1 + 0x6C3F - 0x6C25 + 1);
    expectEndedCleanly(sim.DevicePath());
}

struct FaultRow {
    Fault fault;
    std::uint8_t code;
};

// Runs `operation` once per row, each against a fresh radio with the row's fault,
// so that a late answer from one row cannot spill into the next.
template <typename Operation>
void runFaultRows(std::span<const FaultRow> rows, AddressRange readRange, Operation operation) {
    for (const FaultRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "fault " << static_cast<int>(row.fault));
        RadioSim sim;
        ASSERT_TRUE(sim.Start()) << sim.ErrorText();
        sim.SetFault(row.fault);
        sim.SetReadRange(readRange);
        sim.SetClock(&fastClock, kFastTimeScale);
        const std::string path = sim.DevicePath();
        CloneProtocol drv;
        drv.SetClock(&fastClock, kFastTimeScale); // the rows end in time-outs
        drv.PrepareDevice(path);
        drv.SetIdentification(marloModel::modelCodeFirst, 0);
        drv.SetImageSize(marloModel::imageSize);
        CloneOutcome out;
        ASSERT_TRUE(operation(drv, out));
        ASSERT_TRUE(out.Wait());
        EXPECT_EQ(out.code, row.code);
        EXPECT_EQ(out.calls, 1);
        EXPECT_FALSE(drv.IsBusy());
        // The port's own words say why the line failed.
        EXPECT_EQ(out.portFailure.Failed(), row.code == R::codeWriteFailed);
        // The port is closed, also when a pulled cable took the device with it.
        if (sim.Stats().hangUps == 0)
            EXPECT_TRUE(portIsFree(path));
        else
            EXPECT_FALSE(holdsVanishedDevice(path));
    }
}

TEST(CloneDrvFaults, Information) {
    const FaultRow rows[] = {
        {Fault::NoEcho, R::codeEchoError},        {Fault::EchoOnly, R::codeNoAnswer},
        {Fault::ChangedEcho, R::codeEchoError},   {Fault::ShortReply, R::codeBadFrame},
        {Fault::MalformedReply, R::codeBadFrame}, {Fault::Flood, R::codeBadFrame},
        {Fault::SlowReply, R::codeNoAnswer},      {Fault::TwoFrames, R::codeSuccess},
        {Fault::WrongModel, R::codeSuccess},      {Fault::HangUp, R::codeWriteFailed},
    };
    runFaultRows(rows, shortRange, [](CloneProtocol& drv, CloneOutcome& out) {
        return drv.StartInformation(&CloneOutcome::Done, &out);
    });
}

TEST(CloneDrvFaults, Read) {
    const FaultRow rows[] = {
        {Fault::BadChecksum, R::codeBadFrame},
        {Fault::LowerCaseHex, R::codeBadFrame},
        {Fault::CountMismatch, R::codeBadFrame},
        {Fault::FramePastImage, R::codeAddressError},
        {Fault::FrameOutsideRange, R::codeAddressError},
        {Fault::MissingFrame, R::codeIncomplete},
        {Fault::WrongEndCount, R::codeFrameCount},
        {Fault::Flood, R::codeBadFrame},
        {Fault::TwoFrames, R::codeSuccess},
        {Fault::SlowReply, R::codeNoAnswer},
        {Fault::ChangedEcho, R::codeEchoError},
        {Fault::EchoOnly, R::codeNoAnswer},
        {Fault::HangUp, R::codeWriteFailed},
    };
    runFaultRows(rows, shortRange, [](CloneProtocol& drv, CloneOutcome& out) {
        return drv.StartRead(shortRanges, &CloneOutcome::Done, &out);
    });
}

TEST(CloneDrvFaults, Write) {
    const FaultRow rows[] = {
        {Fault::RefusedWrite, R::codeWriteRefused},
        {Fault::Flood, R::codeWriteRefused}, // an over-long answer is no write result
        {Fault::TwoFrames, R::codeSuccess},  // only the later frame counts
        {Fault::SlowReply, R::codeSuccess},  // 1500 ms is within the write result's 2000 ms
        {Fault::NoEcho, R::codeEchoError},
        {Fault::ChangedEcho, R::codeEchoError},
        {Fault::EchoOnly, R::codeNoAnswer},
        {Fault::HangUp, R::codeWriteFailed},
    };
    MemoryImage image;
    image.Resize(marloModel::imageSize);
    // Inside the radio's clone memory, which refuses frames outside it.
    runFaultRows(rows, shortRange, [&](CloneProtocol& drv, CloneOutcome& out) {
        return drv.StartWrite(image, shortRanges, &CloneOutcome::Done, &out);
    });
}

TEST_F(CloneDrvSim, PortThatCannotBeOpened) {
    struct Row {
        const char* name;
        std::function<void()> prepare;
    } rows[] = {
        {"no such device", [&] { drv->PrepareDevice("/dev/marlo-no-such-port"); }},
        {"no such port number", [&] { drv->Prepare(0); }},
        {"not a terminal", [&] { drv->PrepareDevice("/dev/null"); }},
    };
    for (const Row& row : rows) {
        row.prepare();
        out.Reset();
        EXPECT_EQ(information(), R::codePortError) << row.name;
        EXPECT_TRUE(out.portFailure.Failed()) << row.name;
        EXPECT_EQ(out.calls, 1);
        EXPECT_FALSE(drv->IsBusy());
    }
}

TEST_F(CloneDrvSim, PortHeldByAnotherProgram) {
    SerialLink other;
    ASSERT_TRUE(other.OpenDevice(sim.DevicePath(), "9600,N,8,1"));
    EXPECT_EQ(read(marloModel::cloneRange), R::codePortError);
    EXPECT_TRUE(out.portFailure.Failed());
    EXPECT_TRUE(other.IsOpen());
}

TEST_F(CloneDrvSim, StartsAreRefusedWhileBusy) {
    ASSERT_TRUE(drv->StartInformation(&CloneOutcome::Done, &out));
    CloneOutcome other;
    EXPECT_FALSE(drv->StartInformation(&CloneOutcome::Done, &other));
    EXPECT_FALSE(drv->StartRead(marloModel::cloneRange, &CloneOutcome::Done, &other));
    EXPECT_FALSE(drv->StartWrite(image, writeRanges, &CloneOutcome::Done, &other));
    ASSERT_TRUE(out.Wait());
    EXPECT_EQ(out.code, R::codeSuccess);
    EXPECT_EQ(out.operation, R::opInformation);
    EXPECT_EQ(other.calls, 0);
    expectEndedCleanly(sim.DevicePath());
    EXPECT_EQ(sim.Stats().informationRequests, 1);
    EXPECT_EQ(sim.Stats().readRequests, 0);
}

TEST_F(CloneDrvSim, RangesOutsideTheImageAreRefused) {
    const std::array<AddressRange, 2> pastEnd{{{0x8000, marloModel::imageSize}, kRangeEnd}};
    const std::array<AddressRange, 2> negative{{{-1, 0x10}, kRangeEnd}};
    EXPECT_FALSE(drv->StartRead(pastEnd, &CloneOutcome::Done, &out));
    EXPECT_FALSE(drv->StartRead(negative, &CloneOutcome::Done, &out));
    MemoryImage small;
    small.Resize(0x100);
    const std::array<AddressRange, 2> beyondSmall{{{0x00, 0x100}, kRangeEnd}};
    EXPECT_FALSE(drv->StartWrite(small, beyondSmall, &CloneOutcome::Done, &out));
    EXPECT_FALSE(drv->IsBusy());
    runEventLoopFor(50);
    EXPECT_EQ(out.calls, 0);
}

TEST_F(CloneDrvSim, CompletionMayStartTheNextOperation) {
    sim.SetImage(image);
    sim.SetReadRange(shortRange);
    CloneOutcome second;
    out.then = [&](CloneResult&) {
        EXPECT_FALSE(drv->IsBusy());
        EXPECT_TRUE(drv->StartRead(shortRanges, &CloneOutcome::Done, &second));
    };
    ASSERT_EQ(information(), R::codeSuccess);
    ASSERT_TRUE(second.Wait());
    EXPECT_EQ(second.code, R::codeSuccess);
    EXPECT_EQ(second.image.GetByte(0x0300), pattern(0x0300));
    EXPECT_EQ(out.calls, 1);
    EXPECT_EQ(second.calls, 1);
}

TEST_F(CloneDrvSim, CompletionMayDestroyTheEngine) {
    out.then = [&](CloneResult& result) {
        drv.reset();
        result.code = 0x42; // the result outlives the engine until we return
    };
    ASSERT_EQ(information(), R::codeSuccess);
    runEventLoopFor(100);
    EXPECT_EQ(drv, nullptr);
    EXPECT_EQ(out.calls, 1);
    EXPECT_TRUE(portIsFree(sim.DevicePath()));
}

TEST_F(CloneDrvSim, DestroyingARunningEngineCallsNothing) {
    ASSERT_TRUE(drv->StartRead(marloModel::cloneRange, &CloneOutcome::Done, &out));
    runEventLoopUntil([&] { return drv->DataBytes() > 0; });
    drv.reset();
    runEventLoopFor(200);
    EXPECT_EQ(out.calls, 0);
    EXPECT_TRUE(portIsFree(sim.DevicePath()));
}

} // namespace
