#include "clone/cloneMessages.h"
#include "cli/stderrProgress.h"
#include "clone/cloneProgress.h"
#include "cloneChainFixture.h"
#include "core/modelIdentity.h"
#include "overlay/overlayTexts.h"
#include "radio/cloneWriteImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace marlo;

namespace {

const char* const head = "GI_Mess_CloneErr_Head";
const char* const check = "GI_Mess_CloneErr_Check";

TEST(CloneMessages, EachCodeHasItsHeadAndItsCheckLines) {
    const struct {
        std::uint8_t code;
        std::initializer_list<int> checks;
    } rows[] = {
        {4, {0, 1, 2, 3}},        {5, {0, 1, 2, 3}}, {6, {0, 1, 2, 3}},  {7, {0, 1, 2, 3}},
        {8, {0, 1, 2, 3}},        {9, {0, 1, 2, 3}}, {10, {0, 2, 3}},    {11, {0, 1, 2, 3, 4, 5}},
        {12, {0, 1, 2, 3, 4, 5}}, {14, {0, 4, 5}},   {15, {0, 1, 2, 3}}, {16, {}},
        {17, {0, 1, 2, 3}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.code));
        const std::string expected =
            OverlayTexts::App().GetLine(head, row.code) + "\n\n" + overlayLines(check, row.checks);
        EXPECT_EQ(cloneMessage(row.code, "3"), expected);
    }
}

TEST(CloneMessages, SuccessModelErrorAndUnknownCodes) {
    EXPECT_EQ(cloneMessage(0, "1"), "");
    EXPECT_EQ(cloneMessage(13, "1"), OverlayTexts::App().GetText("GI_Mess_ModelError"));
    // Past the last code there is no line of its own: never the next entry's text.
    EXPECT_EQ(cloneMessage(200, "1"),
              OverlayTexts::App().GetLine(head, 1) + "\n\n" + overlayLines(check, {0, 1, 2, 3}));
}

TEST(CloneMessages, PortErrorNamesThePortAndTheReason) {
    const std::string line = OverlayTexts::App().GetLine(head, 2);
    ASSERT_NE(line.find("%d"), std::string::npos) << "head line 2 names the port";
    const std::string checks = overlayLines(check, {0, 1, 2, 3});
    EXPECT_EQ(cloneMessage(2, "5"), formatPortLine(line, "5") + "\n\n" + checks);
    const PortFailure missing{PortFailure::Missing, "/dev/ttyUSB0", "No such device", {}};
    EXPECT_EQ(cloneMessage(2, "/dev/ttyUSB0", missing), formatPortLine(line, "/dev/ttyUSB0") +
                                                            "\n" + portFailureText(missing) +
                                                            "\n\n" + checks);
}

TEST(CloneMessages, PortLineFormatIsNeverTakenForMoreThanOneValue) {
    const struct {
        const char* format;
        const char* expected;
    } rows[] = {
        {"Cannot open serial port %d.", "Cannot open serial port 7."},
        {"Port %s", "Port 7"},
        {"100%% sure: %d", "100% sure: 7"},
        {"%d and %d", "7 and %d"},
        {"%n%x %", "%n%x %"},
        {"no conversion", "no conversion"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(formatPortLine(row.format, "7"), row.expected) << row.format;
}

TEST(CloneProgress, SegmentsAndPercentage) {
    EXPECT_EQ(rangeBytes(marloModel::cloneRange), 27024);
    EXPECT_EQ(rangeBytes(marloModel::writeRangeNormal), 27024 - 11);
    EXPECT_EQ(rangeBytes(marloModel::writeRangeFactory), 27024);

    const struct {
        std::int32_t bytes;
        std::int32_t expected;
        int segments;
        int percent;
    } rows[] = {
        {13512, 27024, 16, 50},  {818, 27024, 0, 3}, {819, 27024, 1, 3},
        {27024, 27024, 33, 100}, {5, 0, 0, 0},       {INT32_MAX, INT32_MAX, 33, 100},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(progressSegments(row.bytes, row.expected), row.segments);
        EXPECT_EQ(progressPercent(row.bytes, row.expected), row.percent);
    }
}

// marlo-clone's progress on stderr: one line rewritten in place, ended before a
// message; nothing at all when stderr is no terminal.
TEST(CloneProgress, StderrLineOnATerminalOnly) {
    for (const bool terminal : {true, false}) {
        SCOPED_TRACE(terminal);
        char* text = nullptr;
        std::size_t size = 0;
        std::FILE* out = ::open_memstream(&text, &size);
        ASSERT_NE(out, nullptr);
        {
            StderrProgress progress(out, terminal, "reading");
            progress.OperationStarted(false, 0); // identifying: no line
            progress.OperationEnded();
            progress.OperationStarted(true, 200);
            progress.Progress(1, 200);
            progress.Progress(2, 200); // still 1 %: not repeated
            progress.Progress(100, 200);
            progress.EndLine(); // a message comes
            progress.Progress(200, 200);
            progress.OperationEnded();
        }
        std::fclose(out);
        const std::string written(text, size);
        std::free(text);
        EXPECT_EQ(written, terminal ? "\rreading   0%\rreading   1%\rreading  50%\n"
                                      "\rreading 100%\n"
                                    : "");
    }
}

} // namespace
