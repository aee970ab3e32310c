// What only a file source does: the line cache, long lines and line ends.
#include "overlayFixture.h"

#include <gtest/gtest.h>

using namespace marlo;

namespace {

class GTexFile : public ::testing::TestWithParam<OverlayKind> {};

TEST_P(GTexFile, CacheServesALineByItsPositionWhicheverEntryAsks) {
    TestOverlay overlay(GetParam(), {"#A", "a0", "a1", "#B", "b0", "#End_Of_Ovl"});
    OverlayTexts& store = overlay.store();
    EXPECT_EQ(store.GetLine("B"), "b0"); // indexes "#A" .. "#B", reads b0
    EXPECT_EQ(store.SourceLineReads(), 5u);
    EXPECT_EQ(store.GetLine("A", 3), "b0"); // a0, a1 and "#B" are new; b0 is cached
    EXPECT_EQ(store.SourceLineReads(), 8u);
    EXPECT_EQ(store.GetLine("A", 0), "a0"); // back to the start, from the cache
    EXPECT_EQ(store.GetLine("A", 1), "a1");
    EXPECT_EQ(store.SourceLineReads(), 8u);
}

TEST_P(GTexFile, CacheKeepsTheSixtyFourMostRecentlyUsedLines) {
    std::vector<std::string> lines = {"#K"};
    for (int i = 0; i < 63; ++i)
        lines.push_back("k" + std::to_string(i));
    lines.insert(lines.end(), {"#L", "l0", "#End_Of_Ovl"});
    TestOverlay overlay(GetParam(), lines);
    OverlayTexts& store = overlay.store();

    store.GetLine("L");
    for (int i = 0; i <= 63; ++i) // k0..k62 and "#L": l0 drops out
        store.GetLine("K", i);
    EXPECT_EQ(store.CachedLines(), 64u);
    const std::uint64_t filled = store.SourceLineReads();

    EXPECT_EQ(store.GetLine("K", 0), "k0"); // a hit makes k0 the most recent
    EXPECT_EQ(store.SourceLineReads(), filled);
    EXPECT_EQ(store.GetLine("L"), "l0"); // a miss; drops k1, not k0
    EXPECT_EQ(store.SourceLineReads(), filled + 1);
    EXPECT_EQ(store.CachedLines(), 64u);
    EXPECT_EQ(store.GetLine("K", 0), "k0");
    EXPECT_EQ(store.SourceLineReads(), filled + 1);
    EXPECT_EQ(store.GetLine("K", 1), "k1");
    EXPECT_EQ(store.SourceLineReads(), filled + 2);
}

// A cut line's rest never becomes a line of its own: a "#" in it would start a key.
TEST_P(GTexFile, LongLinesAreCutAtTheLimitAndTheRestDropped) {
    const std::string lineEnd = GetParam() == OverlayKind::CrLfFile ? "\r\n" : "\n";
    const struct {
        std::size_t length;
        std::size_t kept;
    } cases[] = {{8190, 8190}, {8191, 8191}, {8192, 8191}, {16383, 8191}, {100000, 8191}};
    for (const auto& c : cases) {
        std::string longLine(c.length, 'x');
        if (c.length > 8192)
            longLine[8191] = '#'; // byte 8,192 of the line
        TempFile file("#K" + lineEnd + longLine + lineEnd + "tail" + lineEnd + "#End_Of_Ovl" +
                      lineEnd);
        OverlayTexts store;
        store.SetFile(file.path());
        EXPECT_EQ(store.GetLine("K", 0), std::string(c.kept, 'x')) << c.length;
        EXPECT_EQ(store.GetLine("K", 1), "tail") << c.length;
        store.RequireEndMarker();
        EXPECT_EQ(store.IndexKeys(), (std::vector<std::string>{"K", "End_Of_Ovl"})) << c.length;
    }
}

// Bytes no editor shows never hide a key.
TEST_P(GTexFile, AByteOrderMarkAndBlanksAfterAKeyAreNoPartOfIt) {
    TestOverlay overlay(GetParam(), {"\xEF\xBB\xBF#GI_Sys_AppTitle ", "Marlo", "#Next\t \t", "x",
                                     "# Lead", "y", "#End_Of_Ovl"});
    OverlayTexts& store = overlay.store();
    EXPECT_EQ(store.GetLine("GI_Sys_AppTitle"), "Marlo");
    EXPECT_EQ(store.GetLine("Next"), "x");
    EXPECT_EQ(store.GetLine(" Lead"), "y") << "blanks before a key are part of it";
}

INSTANTIATE_TEST_SUITE_P(FileSources, GTexFile,
                         ::testing::Values(OverlayKind::LfFile, OverlayKind::CrLfFile),
                         overlayKindName);

TEST(GTexFileLines, MixedLineEndsAndLoneCarriageReturns) {
    // Only the CR of a CR LF pair is a line end; the last line needs no line end.
    TempFile file("#K\r\na\rb\r\nplain\n\r\n#End_Of_Ovl");
    OverlayTexts store;
    store.SetFile(file.path());
    EXPECT_EQ(store.GetText("K"), "a\rb\nplain\n");
    EXPECT_EQ(store.GetLine("K", 3), "#End_Of_Ovl");
}

TEST(GTexFileLines, LastLineWithoutLineEndIsALine) {
    TempFile file("#K\nlast");
    OverlayTexts store;
    store.SetFile(file.path());
    EXPECT_EQ(store.GetLine("K"), "last");
}

TEST(GTexMemory, ElementLongerThanTheLimitIsCut) {
    const std::string longLine(9000, 'y');
    const char* const lines[] = {"#K", longLine.c_str(), "next", "#End_Of_Ovl"};
    OverlayTexts store;
    store.SetLines(lines);
    EXPECT_EQ(store.GetLine("K", 0), std::string(8191, 'y'));
    EXPECT_EQ(store.GetLine("K", 1), "next");
}

TEST(GTexApp, TheInstalledStoreReadsTheOverlayBesideTheProgram) {
    EXPECT_FALSE(OverlayTexts::App().GetLine("GI_Sys_AppTitle").empty());
}

} // namespace
