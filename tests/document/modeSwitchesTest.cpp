#include "document/commandLine.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace marlo;

namespace {

const std::string kExpert = "<expert>";

ModeSwitches read(const std::vector<std::string>& args, int* expertAsked = nullptr) {
    return readModeSwitches(
        args,
        [&] {
            if (expertAsked != nullptr)
                ++*expertAsked;
            return kExpert;
        },
        1234);
}

bool allDigits(const IdentityDigits& d) {
    for (std::uint8_t b : d) {
        if ((b >> 4) > 9 || (b & 0x0F) > 9)
            return false;
    }
    return true;
}

struct SwitchCase {
    std::vector<std::string> args;
    int expert, factory, gene;
    std::string modeText;
};

TEST(ModeSwitches, ArgumentsTable) {
    const std::vector<SwitchCase> cases = {
        {{"marlo"}, 0, 0, 0, ""},
        {{"marlo", "/expert"}, 1, 0, 0, kExpert},
        {{"marlo", "/EXPERT"}, 1, 0, 0, kExpert},
        {{"marlo", "/Expert"}, 1, 0, 0, kExpert},
        {{"marlo", "/expert=1"}, 0, 0, 0, ""},
        {{"marlo", " /expert"}, 0, 0, 0, ""},
        {{"marlo", "expert"}, 0, 0, 0, ""},
        {{"marlo", "-expert"}, 0, 0, 0, ""},
        {{"marlo", "/expert", "/gene"}, 1, 0, 1, kExpert + "[ GENE ]"},
        {{"marlo", "/gene", "/expert"}, 1, 0, 1, "[ GENE ]" + kExpert},
        {{"marlo", "/GeNe", "/gene"}, 0, 0, 1, "[ GENE ][ GENE ]"},
        {{"marlo", "/factory", "/gene"}, 0, 1, 1, "[ FACTORY ][ GENE ]"},
        // The program's own name is an argument like any other.
        {{"/gene"}, 0, 0, 1, "[ GENE ]"},
    };
    for (const SwitchCase& c : cases) {
        std::string line;
        for (const auto& a : c.args)
            line += "'" + a + "' ";
        SCOPED_TRACE(line);
        const ModeSwitches m = read(c.args);
        EXPECT_EQ(m.expert, c.expert);
        EXPECT_EQ(m.factory, c.factory);
        EXPECT_EQ(m.gene, c.gene);
        EXPECT_EQ(m.modeText, c.modeText);
    }
}

// A missing overlay entry would end the program even without the switch.
TEST(ModeSwitches, ExpertTextIsLookedUpOnlyForTheSwitch) {
    int asked = 0;
    read({"marlo", "/gene", "/factory"}, &asked);
    EXPECT_EQ(asked, 0);
}

TEST(IdentityDigits, EveryNibbleIsADecimalDigitAndSeedsDiffer) {
    std::set<IdentityDigits> seen;
    std::set<int> digitsSeen;
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        IdentityDigits d = kNoIdentityDigits;
        drawIdentityDigits(d, seed);
        ASSERT_TRUE(allDigits(d)) << "seed " << seed;
        seen.insert(d);
        for (std::uint8_t b : d) {
            digitsSeen.insert(b >> 4);
            digitsSeen.insert(b & 0x0F);
        }
    }
    EXPECT_GT(seen.size(), 190u);
    EXPECT_EQ(digitsSeen.size(), 10u); // every digit turns up, in both nibbles' places
}

} // namespace
