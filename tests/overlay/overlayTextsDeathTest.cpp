// Every way a lookup can fail ends the program with the lookup error, status 3.
#include "overlayFixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

using namespace marlo;

namespace {

using ::testing::ExitedWithCode;

const std::vector<std::string> kNoEndMarker = {"#First", "one", "#Last", "x", "y"};
const std::vector<std::string> kWithEntryAfterEnd = {"#First", "one", "#End_Of_Ovl", "#After",
                                                     "hidden"};

class GTexSourceDeathTest : public ::testing::TestWithParam<OverlayKind> {};

TEST_P(GTexSourceDeathTest, UnknownKeyIsTheLookupError) {
    TestOverlay overlay(GetParam(), kWithEntryAfterEnd);
    EXPECT_EXIT(overlay.store().GetLine("Nowhere"), ExitedWithCode(3),
                lookupErrorPattern("Nowhere"));
    EXPECT_EXIT(overlay.store().GetText("first"), ExitedWithCode(3), lookupErrorPattern("first"));
}

TEST_P(GTexSourceDeathTest, EntryAfterTheEndMarkerIsNeverFound) {
    TestOverlay overlay(GetParam(), kWithEntryAfterEnd);
    EXPECT_EQ(overlay.store().GetLine("First", 2), "#After"); // the line itself is there
    EXPECT_EXIT(overlay.store().GetLine("After"), ExitedWithCode(3), lookupErrorPattern("After"));
}

TEST_P(GTexSourceDeathTest, ReadingPastTheEndOfTheSourceIsTheLookupError) {
    TestOverlay overlay(GetParam(), kNoEndMarker);
    OverlayTexts& store = overlay.store();
    EXPECT_EQ(store.GetLine("Last", 1), "y");
    EXPECT_EQ(store.GetText("First"), "one");
    // Without "#End_Of_Ovl" nothing ends the last entry's text.
    EXPECT_EXIT(store.GetText("Last"), ExitedWithCode(3), lookupErrorPattern("Last"));
    EXPECT_EXIT(store.GetLine("First", 99), ExitedWithCode(3), lookupErrorPattern("First"));
}

TEST_P(GTexSourceDeathTest, NegativeLineNumberIsTheLookupError) {
    TestOverlay overlay(GetParam(), kWithEntryAfterEnd);
    EXPECT_EXIT(overlay.store().GetLine("First", -1), ExitedWithCode(3),
                lookupErrorPattern("First"));
}

TEST_P(GTexSourceDeathTest, RequiringTheEndMarkerIndexesUpToIt) {
    TestOverlay complete(GetParam(), kWithEntryAfterEnd);
    complete.store().RequireEndMarker();
    EXPECT_EQ(complete.store().IndexKeys(), (std::vector<std::string>{"First", "End_Of_Ovl"}));

    TestOverlay cut(GetParam(), kNoEndMarker);
    EXPECT_EXIT(cut.store().RequireEndMarker(), ExitedWithCode(3),
                lookupErrorPattern("End_Of_Ovl"));
}

INSTANTIATE_TEST_SUITE_P(AllSources, GTexSourceDeathTest,
                         ::testing::Values(OverlayKind::LfFile, OverlayKind::CrLfFile,
                                           OverlayKind::Memory),
                         overlayKindName);

// A file that cannot be read is named with the system's reason, not taken for a
// missing key.
TEST(GTexDeathTest, UnreadableFileIsNamedWithTheSystemsReason) {
    const std::string missing =
        (std::filesystem::temp_directory_path() / "marlo-no-such-dir" / "Marlo.OVL").string();
    const std::string folder = std::filesystem::temp_directory_path().string();
    for (const auto& [path, reason] :
         {std::pair{missing, std::strerror(ENOENT)}, std::pair{folder, std::strerror(EISDIR)}}) {
        const std::string pattern = "The overlay file '" + path + "' cannot be read: " + reason;
        OverlayTexts store;
        store.SetFile(path);
        EXPECT_EXIT(store.GetLine("GI_Sys_AppTitle"), ExitedWithCode(3), pattern) << path;
        EXPECT_EXIT(store.RequireEndMarker(), ExitedWithCode(3), pattern) << path;
    }
}

TEST(GTexDeathTest, UnnamedOrEmptyFileMakesEveryLookupTheLookupError) {
    TempFile empty("");
    for (const std::string& path : {std::string(), empty.path()}) {
        OverlayTexts store;
        store.SetFile(path);
        EXPECT_EXIT(store.GetLine("GI_Sys_AppTitle"), ExitedWithCode(3),
                    lookupErrorPattern("GI_Sys_AppTitle"))
            << "path '" << path << "'";
        EXPECT_EXIT(store.RequireEndMarker(), ExitedWithCode(3), lookupErrorPattern("End_Of_Ovl"))
            << "path '" << path << "'";
    }
}

TEST(GTexDeathTest, StoreWithoutSourceFindsNothing) {
    OverlayTexts store;
    EXPECT_EXIT(store.GetText("GI_Sys_AppTitle"), ExitedWithCode(3),
                lookupErrorPattern("GI_Sys_AppTitle"));
}

TEST(GTexDeathTest, NullElementEndsAMemorySource) {
    const char* const lines[] = {"#First", "one", nullptr, "#Later", "x", "#End_Of_Ovl"};
    OverlayTexts store;
    store.SetLines(lines);
    EXPECT_EQ(store.GetLine("First"), "one");
    EXPECT_EXIT(store.GetLine("First", 1), ExitedWithCode(3), lookupErrorPattern("First"));
    EXPECT_EXIT(store.GetLine("Later"), ExitedWithCode(3), lookupErrorPattern("Later"));
}

TEST(GTexDeathTest, AppStoreMissingEndsTheProgram) {
    EXPECT_EXIT(
        {
            OverlayTexts::SetApp(nullptr);
            OverlayTexts::App();
        },
        ExitedWithCode(3), "No overlay store is installed");
}

} // namespace
