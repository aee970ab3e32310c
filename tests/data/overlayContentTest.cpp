#include "overlay/cmcGTex.h"
#include "platform/programPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The installed overlay file, read as the program reads it. A lookup of a
// missing key ends the program, so existence is checked on the file's own
// headers before anything is looked up.
namespace {

struct OverlayHeaders {
    std::vector<std::string> keys; // in file order, up to the end marker
    bool ended = false;            // "#End_Of_Ovl" was found
};

const OverlayHeaders& headers() {
    static const OverlayHeaders scanned = [] {
        OverlayHeaders h;
        std::ifstream in(programDir() + "Marlo.OVL", std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            // A line holding only "#" belongs to its entry (the end of a cell table).
            if (line.size() < 2 || line[0] != '#')
                continue;
            if (line == "#End_Of_Ovl") {
                h.ended = true;
                break;
            }
            h.keys.push_back(line.substr(1));
        }
        return h;
    }();
    return scanned;
}

bool hasKey(const std::string& key) {
    const auto& keys = headers().keys;
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

std::vector<std::string> linesOf(const std::string& key) {
    std::vector<std::string> lines;
    std::istringstream text(cmcGTex::App().GetText(key));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

TEST(OverlayFile, EndsWithItsMarkerAndDefinesEachKeyOnce) {
    ASSERT_TRUE(headers().ended) << "no #End_Of_Ovl line";
    std::set<std::string> seen;
    for (const std::string& key : headers().keys)
        EXPECT_TRUE(seen.insert(key).second) << "#" << key << " is defined twice";
}

// Texts the cell engine and the editing operations show.
TEST(OverlayTexts, EveryTextTheCellsShowIsPresent) {
    for (const char* key : {"GI_AppInd_Mode", "GI_AppInd_DscRxTxNoUse", "GI_AppInd_TimerAuto",
                            "GI_AppInd_TimerOff", "GI_AppInd_Dsc_SelfIdOff", "GI_AppInd_Model",
                            "GI_Botttom_EditRestrected", "GI_Botttom_AleFull"}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(hasKey(key));
        const std::vector<std::string> lines = linesOf(key);
        ASSERT_FALSE(lines.empty());
        EXPECT_FALSE(lines[0].empty());
    }
}

// Line n names mode n, in the order of the radio's mode registrations.
TEST(OverlayTexts, ModeNamesFollowTheModeIndex) {
    ASSERT_TRUE(hasKey("GI_AppInd_Mode"));
    EXPECT_EQ(linesOf("GI_AppInd_Mode"),
              (std::vector<std::string>{"LSB", "USB", "AM", "AFSK", "FSK", "CW", "ALE-U", "ALE-L",
                                        "AME"}));
}

} // namespace
