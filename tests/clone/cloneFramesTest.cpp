#include "clone/cloneFrames.h"
#include "core/memoryImage.h"
#include "wireSpelling.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace marlo;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const ByteQueue& b) {
    return Bytes(b.Data(), b.Data() + b.Count());
}

TEST(CloneFrames, HexTemplateTakesDigitPairsAndIgnoresTheRest) {
    struct Row {
        const char* text;
        Bytes expected;
    } rows[] = {
        {"FEFE EE EF E0", {0xFE, 0xFE, 0xEE, 0xEF, 0xE0}},
        {"fe:Fe-0a", {0xFE, 0xFE, 0x0A}},
        {"G1 2x3", {0x12, 0x30}}, // non-digits skipped; a lone last digit is a high half
        {"", {}},
        {"zz", {}},
    };
    for (const Row& r : rows) {
        ByteQueue out;
        cloneFrame::AppendHexTemplate(out, r.text);
        EXPECT_EQ(bytesOf(out), r.expected) << '"' << r.text << '"';
    }
}

TEST(CloneFrames, RequestsCarryTwelveExtraPreamblesAndBothValues) {
    struct Row {
        std::uint8_t command;
        std::uint32_t value1, value2;
        const char* frame;
    } rows[] = {
        {cloneFrame::informationRequest, 0x2620, 0, "FEFE EE EF E0 2620 0000 FD"},
        {cloneFrame::readRequest, 0x2620, 0x0001, "FEFE EE EF E2 2620 0001 FD"},
        {cloneFrame::writeRequest, 0xABCD, 0x1234, "FEFE EE EF E3 ABCD 1234 FD"},
        // Only 16 bits of each value travel.
        {cloneFrame::informationRequest, 0x12620, 0xF0001, "FEFE EE EF E0 2620 0001 FD"},
    };
    for (const Row& r : rows) {
        ByteQueue out;
        cloneFrame::AppendRequest(out, r.command, r.value1, r.value2, 12);
        Bytes expected(12, 0xFE);
        const Bytes tail = spellBytes(r.frame);
        expected.insert(expected.end(), tail.begin(), tail.end());
        EXPECT_EQ(bytesOf(out), expected) << r.frame;
    }
}

TEST(CloneFrames, DataFrameOfTheWorkedExample) {
    MemoryImage image;
    image.Resize(0x400);
    image.SetByte(0x02B0, 0x12);
    image.SetByte(0x02B1, 0x34);
    ByteQueue out;
    cloneFrame::AppendDataFrame(out, image, 0x02B0, 2, 0);
    EXPECT_EQ(bytesOf(out), spellBytes("FE FE EE EF E4 \"02B002123406\" FD"));
    EXPECT_EQ(cloneFrame::Checksum(0x02B0, image.Data() + 0x02B0, 2), 0x06);
}

TEST(CloneFrames, DataFrameOfAFullBlockWithPreamble) {
    MemoryImage image;
    image.Resize(0x10000);
    for (int i = 0; i < 16; ++i)
        image.SetByte(0xFFF0 + i, static_cast<std::uint8_t>(0xF0 + i));
    ByteQueue out;
    cloneFrame::AppendDataFrame(out, image, 0xFFF0, 16, 2);
    // FF + F0 + 10 + (F0 + ... + FF) = 0x1177, so the checksum is 0x100 - 0x77 = 0x89.
    EXPECT_EQ(bytesOf(out),
              spellBytes("FE FE FE FE EE EF E4 \"FFF010F0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF89\" FD"));
}

TEST(CloneFrames, EndFrameCarriesTheCountModulo256) {
    struct Row {
        std::uint32_t count;
        const char* frame;
    } rows[] = {
        {0, "FE FE EE EF E5 \"Vexa Inc.00\" FD"},
        {2, "FE FE EE EF E5 \"Vexa Inc.02\" FD"},
        {1689, "FE FE EE EF E5 \"Vexa Inc.99\" FD"},
        {0x1AB, "FE FE EE EF E5 \"Vexa Inc.AB\" FD"},
    };
    for (const Row& r : rows) {
        ByteQueue out;
        cloneFrame::AppendEndFrame(out, r.count);
        EXPECT_EQ(bytesOf(out), spellBytes(r.frame)) << r.count;
    }
}

TEST(CloneFrames, BlocksAlignToSixteenBytesWithinTheirRange) {
    struct Row {
        std::int32_t address, last, length;
    } rows[] = {
        {0x02B0, 0x02C7, 16}, {0x02C0, 0x02C7, 8}, // {02B0, 02C7}: two frames
        {0x02B8, 0x02BF, 8},                       // {02B8, 02BF}: one frame
        {0x02B3, 0x6C3F, 13}, {0x6C25, 0x6C3F, 11}, {0x6C30, 0x6C3F, 16}, {0x0005, 0x0005, 1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(cloneFrame::BlockLength(r.address, r.last), r.length) << std::hex << r.address;
}

// Feeds `input` and reports, per byte, what the assembler made of it.
std::string feedAll(ByteQueue& frame, const Bytes& input) {
    std::string events;
    for (const std::uint8_t b : input) {
        switch (cloneFrame::FeedByte(frame, b)) {
        case cloneFrame::Feed::pending:
            events += '.';
            break;
        case cloneFrame::Feed::complete:
            events += 'C';
            break;
        case cloneFrame::Feed::overflow:
            events += 'X';
            break;
        }
    }
    return events;
}

TEST(CloneFrames, AssemblyStartsAtTheLastPreambleAndDropsStrayBytes) {
    ByteQueue frame;
    // A stray byte and an FD before any FE are dropped; FE FE FE starts one frame.
    EXPECT_EQ(feedAll(frame, spellBytes("11 FD FE FE FE EF EE E6 00 FD")), ".........C");
    EXPECT_EQ(bytesOf(frame), spellBytes("FE EF EE E6 00"));
}

TEST(CloneFrames, AssemblyRefusesTheByteBeyondTheLimit) {
    ByteQueue frame;
    Bytes input{0xFE};
    input.insert(input.end(), cloneFrame::frameLimit - 1, 0x41);
    EXPECT_EQ(feedAll(frame, input), std::string(cloneFrame::frameLimit, '.'));
    EXPECT_EQ(frame.Count(), cloneFrame::frameLimit);
    EXPECT_EQ(feedAll(frame, {0x41}), "X");
    EXPECT_EQ(frame.Count(), cloneFrame::frameLimit);
    // A frame of exactly the limit still completes.
    EXPECT_EQ(feedAll(frame, {0xFD}), "C");
}

} // namespace
