// What the find bar takes as a match for what the user typed.
#include "views/sheetFinder.h"

#include <gtest/gtest.h>

using namespace marlo;

namespace {

struct FindCase {
    const char* query;
    const char* shown;
    bool matches;
};

const FindCase kCases[] = {
    {"harb", "HARBOUR NORTH", true}, // any case, any part
    {"  7053 ", "7053.4", true},     // blanks around the query do not count
    {"7000", "7000.0", true},        {"7000,0", "7000.0", true}, // the decimal comma
    {"7000.00", "7000.0", true},     {"07000", "7000.0", true},  {"7000.1", "7000.0", false},
    {"700", "17000.0", true}, // a part of the number as typed so far
    {"7000", "<-", false},           {"", "7000.0", false},      {"   ", "  ", false},
    {"usb", "LSB", false},
};

TEST(FindMatch, APartInAnyCaseOrTheSameNumberWrittenAnotherWay) {
    for (const FindCase& c : kCases)
        EXPECT_EQ(findMatches(c.query, c.shown), c.matches) << c.query << " / " << c.shown;
}

} // namespace
