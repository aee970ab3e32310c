#include "core/recentFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace marlo;

namespace {

std::vector<std::string> items(const RecentFiles& recent) {
    std::vector<std::string> out;
    for (int i = 0; i < recent.Count(); ++i)
        out.push_back(recent.Item(i));
    return out;
}

using Names = std::vector<std::string>;

} // namespace

TEST(Recent, AddFirstPutsTheNewestInFrontAndAddLastAtTheEnd) {
    RecentFiles recent(10);
    recent.AddFirst("/d/a.vcf");
    recent.AddFirst("/d/b.vcf");
    recent.AddLast("/d/c.vcf");
    EXPECT_EQ(items(recent), (Names{"/d/b.vcf", "/d/a.vcf", "/d/c.vcf"}));
}

TEST(Recent, PathsAreComparedAsTheFileSystemDoesAndBlanksAreNoEntries) {
    RecentFiles recent(10);
    recent.AddFirst("/a/x.vcf");
    recent.AddFirst("/d/b.vcf");
    recent.AddFirst("/A/X.VCF");
    recent.AddFirst("/a/x.vcf");
    EXPECT_EQ(items(recent), (Names{"/a/x.vcf", "/A/X.VCF", "/d/b.vcf"}));
    recent.AddLast("");
    recent.AddFirst("");
    EXPECT_EQ(recent.Count(), 3);
}

TEST(Recent, AnEleventhDistinctFileDropsTheOldest) {
    RecentFiles recent(10);
    for (int i = 0; i < 11; ++i)
        recent.AddFirst("/d/" + std::to_string(i) + ".vcf");
    ASSERT_EQ(recent.Count(), 10);
    EXPECT_EQ(recent.Item(0), "/d/10.vcf");
    EXPECT_EQ(recent.Item(9), "/d/1.vcf");
}

TEST(Recent, RemoveDeletesTheEqualEntry) {
    RecentFiles recent(10);
    recent.AddLast("/d/x.vcf");
    recent.AddLast("/d/y.vcf");
    recent.Remove("/D/X.vcf");
    EXPECT_EQ(recent.Count(), 2);
    recent.Remove("/d/x.vcf");
    EXPECT_EQ(items(recent), (Names{"/d/y.vcf"}));
    recent.Remove("/d/nothing");
    EXPECT_EQ(recent.Count(), 1);
    recent.Clear();
    EXPECT_EQ(recent.Count(), 0);
}

TEST(Recent, ItemAndDisplayNamePastEitherEndAreEmpty) {
    RecentFiles recent(10);
    recent.AddFirst("/d/a.vcf");
    EXPECT_EQ(recent.Item(1), "");
    EXPECT_EQ(recent.Item(-1), "");
    EXPECT_EQ(recent.DisplayName(1, "/d"), "");
    EXPECT_EQ(recent.DisplayName(-1, "/d"), "");
}

struct DisplayCase {
    const char* label;
    const char* entry;
    const char* directory;
    const char* shown;
};

class RecentDisplayName : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(RecentDisplayName, ShowsTheFileNameOnlyInTheGivenDirectory) {
    const DisplayCase& c = GetParam();
    RecentFiles recent(10);
    recent.AddFirst(c.entry);
    EXPECT_EQ(recent.DisplayName(0, c.directory), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecentDisplayName,
    ::testing::Values(
        DisplayCase{"SameDirectory", "/home/u/radio/a.vcf", "/home/u/radio", "a.vcf"},
        DisplayCase{"TrailingSlash", "/home/u/radio/a.vcf", "/home/u/radio/", "a.vcf"},
        DisplayCase{"OtherCase", "/home/u/Radio/a.vcf", "/home/u/radio", "/home/u/Radio/a.vcf"},
        DisplayCase{"OtherDirectory", "/home/u/radio/a.vcf", "/home/u", "/home/u/radio/a.vcf"},
        DisplayCase{"Subdirectory", "/home/u/a.vcf", "/home/u/radio", "/home/u/a.vcf"},
        DisplayCase{"PrefixOnly", "/home/u/radio2/a.vcf", "/home/u/radio", "/home/u/radio2/a.vcf"},
        DisplayCase{"Root", "/a.vcf", "/", "a.vcf"},
        DisplayCase{"NoDirectoryGiven", "/home/u/a.vcf", "", "/home/u/a.vcf"},
        DisplayCase{"EmptyEntry", "", "/home/u", ""}),
    [](const auto& row) { return std::string(row.param.label); });
