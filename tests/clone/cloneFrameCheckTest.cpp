#include "clone/cloneFrameCheck.h"
#include "clone/cloneFrames.h"
#include "clone/cloneResult.h"
#include "wireSpelling.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace marlo;

namespace {

using R = CloneResult;
constexpr std::int32_t imageSize = 0x400;

// A frame (without its FD) from its spelling.
ByteQueue frameOf(const std::string& s) {
    const std::vector<std::uint8_t> bytes = spellBytes(s);
    ByteQueue out;
    out.AppendBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return out;
}

TEST(CloneFrameCheck, InformationReply) {
    struct Row {
        const char* name;
        const char* frame;
        int code;
    } rows[] = {
        {"good", "FE EF EE E1 26 20 00 01 03 AA BB", R::codeSuccess},
        {"no block", "FE EF EE E1 26 20 00 01", R::codeSuccess},
        {"seven bytes", "FE EF EE E1 26 20 00", R::codeBadFrame},
        {"command E6", "FE EF EE E6 26 20 00 01", R::codeBadFrame},
        {"half above 9", "FE EF EE E1 26 2A 00 01", R::codeBadFrame},
        {"high half above 9", "FE EF EE E1 26 20 A0 01", R::codeBadFrame},
        {"to the radio", "FE EE EF E1 26 20 00 01", R::codeBadFrame},
        {"over-long marker", "00", R::codeBadFrame},
    };
    for (const Row& r : rows) {
        R result(R::opInformation, 0x2620, 0, 1);
        EXPECT_EQ(cloneFrame::CheckInformationReply(frameOf(r.frame), result), r.code) << r.name;
    }
}

TEST(CloneFrameCheck, InformationReplyFillsTheResult) {
    R result(R::opInformation, 0x1111, 0x2222, 1);
    ASSERT_EQ(
        cloneFrame::CheckInformationReply(frameOf("FE EF EE E1 26 20 00 01 03 AA BB"), result), 0);
    EXPECT_EQ(result.identification1, 0x2620u);
    EXPECT_EQ(result.identification2, 0x0001u);
    ASSERT_EQ(result.information.Count(), 3);
    EXPECT_EQ(*result.information.At(0), 0x03);
    EXPECT_EQ(*result.information.At(2), 0xBB);
}

TEST(CloneFrameCheck, WriteResult) {
    struct Row {
        const char* frame;
        int code;
    } rows[] = {
        {"FE EF EE E6 00", R::codeSuccess},      {"FE EF EE E6 01", R::codeWriteRefused},
        {"FE EF EE E6", R::codeWriteRefused},    {"FE EF EE E6 00 00", R::codeWriteRefused},
        {"FE EF EE E1 00", R::codeWriteRefused},
    };
    for (const Row& r : rows)
        EXPECT_EQ(cloneFrame::CheckWriteResult(frameOf(r.frame)), r.code) << r.frame;
}

TEST(CloneFrameCheck, ReadFrames) {
    struct Row {
        const char* name;
        const char* frame;
        std::uint32_t frameCount;
        int outcome;
    } rows[] = {
        {"data", "FE EF EE E4 \"02B002123406\"", 0, 1},
        {"data, 41 characters", "FE EF EE E4 \"0010100102030405060708090A0B0C0D0E0F1058Z\"", 0, 1},
        {"empty data", "FE EF EE E4 \"001000F0\"", 0, 1},
        // Odd counts give payloads of 4k + 2 characters, which the radio never sends.
        {"odd count", "FE EF EE E4 \"02B001123B\"", 0, R::codeBadFrame},
        {"bad checksum", "FE EF EE E4 \"02B002123407\"", 0, R::codeBadFrame},
        {"lower case", "FE EF EE E4 \"02b002123406\"", 0, R::codeBadFrame},
        {"not hex", "FE EF EE E4 \"02G002123406\"", 0, R::codeBadFrame},
        {"count says 3", "FE EF EE E4 \"02B003123405\"", 0, R::codeBadFrame},
        {"22 characters", "FE EF EE E4 \"02B00812345678901234AB\"", 0, R::codeBadFrame},
        {"at the image size", "FE EF EE E4 \"040002AABB95\"", 0, R::codeAddressError},
        {"across the image end", "FE EF EE E4 \"03FF02AABB97\"", 0, R::codeAddressError},
        {"far beyond", "FE EF EE E4 \"FFF001AA\"", 0, R::codeBadFrame},
        {"eleven bytes", "FE EF EE E4 \"0000000\"", 0, R::codeBadFrame},
        {"from the computer", "FE EE EF E4 \"02B002123406\"", 0, R::codeBadFrame},
        {"other command", "FE EF EE E1 \"02B002123406\"", 0, R::codeBadFrame},
        {"end", "FE EF EE E5 \"Vexa Inc.02\"", 2, R::codeSuccess},
        {"end of 256 frames", "FE EF EE E5 \"Vexa Inc.00\"", 256, R::codeSuccess},
        {"end one short", "FE EF EE E5 \"Vexa Inc.01\"", 2, R::codeFrameCount},
        {"end lower case", "FE EF EE E5 \"Vexa Inc.0a\"", 10, R::codeFrameCount},
        {"end signature", "FE EF EE E5 \"Vexa Inc,02\"", 2, R::codeBadFrame},
        {"end too long", "FE EF EE E5 \"Vexa Inc.002\"", 2, R::codeBadFrame},
    };
    for (const Row& r : rows) {
        R result(R::opRead, 0, 0, imageSize);
        std::int32_t dataBytes = 0;
        EXPECT_EQ(cloneFrame::CheckReadFrame(frameOf(r.frame), imageSize, r.frameCount, result,
                                             dataBytes),
                  r.outcome)
            << r.name;
    }
}

TEST(CloneFrameCheck, AcceptedDataIsStoredAndCovered) {
    R result(R::opRead, 0, 0, imageSize);
    std::int32_t dataBytes = 5;
    ASSERT_EQ(cloneFrame::CheckReadFrame(frameOf("FE EF EE E4 \"02B002123406\""), imageSize, 0,
                                         result, dataBytes),
              1);
    EXPECT_EQ(dataBytes, 7);
    EXPECT_EQ(result.image.GetByte(0x02B0), 0x12);
    EXPECT_EQ(result.image.GetByte(0x02B1), 0x34);
    EXPECT_EQ(result.image.GetByte(0x02B2), 0x00);
    ASSERT_EQ(result.coverage.Count(), (0x02B2 + 7) / 8);
    EXPECT_EQ(*result.coverage.At(0x02B0 / 8), 0x03);
}

TEST(CloneFrameCheck, RefusedDataStoresNothing) {
    // A smaller engine limit than the image wins; and a bad frame leaves no trace.
    const char* frames[] = {"FE EF EE E4 \"01FF02AABB99\"", "FE EF EE E4 \"02B002123407\""};
    for (const char* f : frames) {
        R result(R::opRead, 0, 0, imageSize);
        result.image.Fill(0x5A);
        std::int32_t dataBytes = 0;
        EXPECT_NE(cloneFrame::CheckReadFrame(frameOf(f), 0x200, 0, result, dataBytes), 1) << f;
        EXPECT_EQ(dataBytes, 0);
        EXPECT_EQ(result.coverage.Count(), 0);
        for (std::int32_t a = 0; a < imageSize; ++a)
            ASSERT_EQ(result.image.GetByte(a), 0x5A) << f << " at " << a;
    }
}

ByteQueue coverageOf(std::initializer_list<AddressRange> received) {
    ByteQueue bitmap;
    for (const AddressRange& r : received) {
        for (std::int32_t a = r.first; a <= r.last; ++a) {
            if (bitmap.Count() <= a / 8)
                bitmap.AppendFill(0, a / 8 + 1 - bitmap.Count());
            *bitmap.At(a / 8) |= static_cast<std::uint8_t>(1u << (a % 8));
        }
    }
    return bitmap;
}

TEST(CloneFrameCheck, Coverage) {
    const std::array<AddressRange, 3> list{{{0x10, 0x2F}, {0x35, 0x3A}, kRangeEnd}};
    struct Row {
        const char* name;
        ByteQueue received;
        int code;
    } rows[] = {
        {"exactly", coverageOf({{0x10, 0x2F}, {0x35, 0x3A}}), R::codeSuccess},
        {"one missing", coverageOf({{0x10, 0x2E}, {0x35, 0x3A}}), R::codeIncomplete},
        {"nothing", coverageOf({}), R::codeIncomplete},
        {"one extra", coverageOf({{0x10, 0x2F}, {0x34, 0x3A}}), R::codeAddressError},
        {"extra and missing", coverageOf({{0x10, 0x20}, {0x3B, 0x3B}}), R::codeAddressError},
        {"beyond the image", coverageOf({{0x10, 0x2F}, {0x35, 0x3A}, {0x400, 0x400}}),
         R::codeAddressError},
    };
    for (Row& r : rows)
        EXPECT_EQ(cloneFrame::CheckCoverage(r.received, imageSize, list), r.code) << r.name;
}

} // namespace
