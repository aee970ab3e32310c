// Tab-separated text as spreadsheets and text editors put it on the clipboard.
#include "core/tabText.h"

#include <gtest/gtest.h>

using namespace marlo;

namespace {

using Table = std::vector<std::vector<std::string>>;

struct TabCase {
    const char* text;
    Table rows;
};

const TabCase kCases[] = {
    {"", {}},
    {"7053.4", {{"7053.4"}}},
    {"7053.4\n", {{"7053.4"}}},
    {"a\tb\r\nc\td\r\n", {{"a", "b"}, {"c", "d"}}},
    {"a\t\tc\n\tx\n", {{"a", "", "c"}, {"", "x"}}},
    {"\"two\nlines\"\t\"tab\there\"\n", {{"two\nlines", "tab\there"}}},
    {"\"say \"\"hi\"\"\"\tx", {{"say \"hi\"", "x"}}},
    {"a\n\nb", {{"a"}, {""}, {"b"}}},
    {"\"\"\n", {{""}}},
};

TEST(TabText, ReadsWhatSpreadsheetsWriteAndWritesItBack) {
    for (const TabCase& c : kCases) {
        EXPECT_EQ(readTabText(c.text), c.rows) << c.text;
        EXPECT_EQ(readTabText(tabText(c.rows)), c.rows) << c.text;
    }
}

} // namespace
