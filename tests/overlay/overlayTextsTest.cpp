// Behaviour every overlay source must share: the same lines give the same
// answers from an LF file, a CR LF file and an array in memory.
#include "overlayFixture.h"

#include <gtest/gtest.h>

using namespace marlo;

namespace {

const std::vector<std::string> kSample = {
    "#First", "one", "two",         "three",    "#Dup",       "first copy", "#Second",
    "A",      "B",   "#Blank",      "A",        "",           "#Empty",     "#Lone",
    "before", "#",   "after",       "# spaced", "with space", "#Dup",       "second copy",
    "#Last",  "x",   "#End_Of_Ovl", "#After",   "hidden",
};

// Entries E0..E<count-1>, one content line each, then the end marker.
std::vector<std::string> numberedEntries(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        lines.push_back("#E" + std::to_string(i));
        lines.push_back("line of E" + std::to_string(i));
    }
    lines.push_back("#End_Of_Ovl");
    return lines;
}

class GTexSource : public ::testing::TestWithParam<OverlayKind> {
protected:
    TestOverlay sample{GetParam(), kSample};
    OverlayTexts& store = sample.store();
};

TEST_P(GTexSource, ReadsContentLinesWithoutTheirLineEnds) {
    EXPECT_EQ(store.GetLine("First"), "one");
    EXPECT_EQ(store.GetLine("First", 1), "two");
    EXPECT_EQ(store.GetLine("First", 2), "three");
    EXPECT_EQ(store.GetLine(" spaced", 0), "with space");
}

TEST_P(GTexSource, LinesBeyondTheEntryAreTheLinesThatFollowInTheSource) {
    EXPECT_EQ(store.GetLine("Second", 2), "#Blank");
    EXPECT_EQ(store.GetLine("Second", 3), "A");
    // Three content lines, then "#Dup", "first copy", "#Second".
    EXPECT_EQ(store.GetLine("First", 5), "#Second");
    EXPECT_EQ(store.GetLine("Empty"), "#Lone");
}

TEST_P(GTexSource, TextRunsUpToTheFirstLineBeginningWithHash) {
    const struct {
        const char* key;
        const char* text;
    } cases[] = {
        {"First", "one\ntwo\nthree"},
        {"Blank", "A\n"},   // the empty line belongs to the text
        {"Empty", ""},      // line 0 is already a header
        {"Lone", "before"}, // a lone "#" is no header but still ends the text
        {"Last", "x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(store.GetText(c.key), c.text) << c.key;
}

TEST_P(GTexSource, LoneHashIsNoHeaderAndLineAfterItIsStillReachable) {
    EXPECT_EQ(store.GetLine("Lone", 1), "#");
    EXPECT_EQ(store.GetLine("Lone", 2), "after");
    store.GetLine("End_Of_Ovl");
    const std::vector<std::string> keys = store.IndexKeys();
    EXPECT_EQ(std::count(keys.begin(), keys.end(), ""), 0);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), " spaced"), 1);
}

TEST_P(GTexSource, FirstOfTwoEntriesWithTheSameKeyWins) {
    EXPECT_EQ(store.GetText("Dup"), "first copy");
    store.GetLine("Last"); // the second "Dup" is now indexed too
    EXPECT_EQ(store.GetText("Dup"), "first copy");
}

TEST_P(GTexSource, IndexingStopsAtTheEndMarker) {
    // The end entry's own lines are still readable; the entries there are not indexed.
    EXPECT_EQ(store.GetLine("End_Of_Ovl"), "#After");
    const std::vector<std::string> keys = store.IndexKeys();
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys.back(), "End_Of_Ovl");
}

TEST_P(GTexSource, IndexesOnlyAsFarAsTheKeyAskedFor) {
    EXPECT_EQ(store.GetLine("Second"), "A");
    EXPECT_EQ(store.IndexKeys(), (std::vector<std::string>{"First", "Dup", "Second"}));
    // Seven lines up to the header, then line 0.
    EXPECT_EQ(store.SourceLineReads(), 8u);

    // An earlier entry comes from the index: only its own line is read.
    EXPECT_EQ(store.GetLine("Dup"), "first copy");
    EXPECT_EQ(store.SourceLineReads(), 9u);
    EXPECT_EQ(store.IndexKeys().size(), 3u);
}

TEST_P(GTexSource, ReadingTheNextLineOfAnEntryReadsOneLine) {
    // Far longer than the line cache, so re-reading from the entry's start would show.
    std::vector<std::string> lines = {"#Long"};
    for (int i = 0; i < 200; ++i)
        lines.push_back("row " + std::to_string(i));
    lines.push_back("#End_Of_Ovl");
    TestOverlay overlay(GetParam(), lines);
    OverlayTexts& longStore = overlay.store();

    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(longStore.GetLine("Long", i), "row " + std::to_string(i));
    EXPECT_EQ(longStore.SourceLineReads(), 1u + 200u);
}

TEST_P(GTexSource, EntriesFoundDeeperThanTenMoveToTheHeadOfTheIndex) {
    TestOverlay overlay(GetParam(), numberedEntries(17));
    OverlayTexts& entries = overlay.store();
    entries.GetLine("E15");
    auto order = [&] { return entries.IndexKeys(); };
    ASSERT_EQ(order().size(), 16u);

    entries.GetLine("E10"); // ten entries before it: stays
    EXPECT_EQ(order()[10], "E10");
    entries.GetLine("E11"); // eleven before it: moves
    EXPECT_EQ(order()[0], "E11");
    EXPECT_EQ(order()[1], "E0");
    EXPECT_EQ(order()[11], "E10");
    EXPECT_EQ(order()[12], "E12");

    // The tail moves to the head; entries indexed later follow its predecessor.
    entries.GetLine("E15");
    EXPECT_EQ(order()[0], "E15");
    EXPECT_EQ(entries.GetLine("E16"), "line of E16");
    const std::vector<std::string> keys = order();
    ASSERT_EQ(keys.size(), 17u);
    EXPECT_EQ(keys[15], "E14");
    EXPECT_EQ(keys[16], "E16");
    // Moves never lose or duplicate an entry.
    for (int i = 0; i < 17; ++i)
        EXPECT_EQ(entries.GetLine("E" + std::to_string(i)), "line of E" + std::to_string(i));
}

TEST_P(GTexSource, SourceIsSetOnlyOnce) {
    const char* const other[] = {"#First", "other", "#End_Of_Ovl"};
    EXPECT_FALSE(store.SetLines(other));
    EXPECT_FALSE(store.SetFile("/nonexistent/Marlo.OVL"));
    EXPECT_EQ(store.GetLine("First"), "one");
}

INSTANTIATE_TEST_SUITE_P(AllSources, GTexSource,
                         ::testing::Values(OverlayKind::LfFile, OverlayKind::CrLfFile,
                                           OverlayKind::Memory),
                         overlayKindName);

} // namespace
