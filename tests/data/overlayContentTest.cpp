#include "core/cloneFileCheck.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"
#include "radio/cellEngine.h"
#include "radio/listRecord.h"
#include "sheets/commonSettingsSheetDef.h"
#include "sheets/selectionListCache.h"
#include "support/scriptedPrompter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <numeric>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace marlo;

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
    std::istringstream text(OverlayTexts::App().GetText(key));
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

// The texts the cell engine reads and the one the editing operations show.
TEST(OverlayTexts, EveryTextTheCellsShowIsPresent) {
    std::vector<std::string> keys = {"GI_Botttom_AleFull"};
    for (const OverlayUse& use : cellOverlayUses()) {
        if (use.kind == 0)
            keys.push_back(use.key);
    }
    ASSERT_GT(keys.size(), 1u);
    for (const std::string& key : keys) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(hasKey(key));
        const std::vector<std::string> lines = linesOf(key);
        ASSERT_FALSE(lines.empty());
        EXPECT_FALSE(lines[0].empty());
    }
}

// Help Contents opens the file the overlay names, beside the program.
TEST(OverlayTexts, HelpFileLiesBesideTheProgram) {
    ASSERT_TRUE(hasKey("GI_Sys_MyHelpFile"));
    const std::string path = programDir() + OverlayTexts::App().GetLine("GI_Sys_MyHelpFile");
    std::ifstream help(path, std::ios::binary);
    ASSERT_TRUE(help) << path;
    const std::string text((std::istreambuf_iterator<char>(help)), {});
    EXPECT_NE(text.find("</html>"), std::string::npos) << path;
}

// Line n names mode n, in the order of the radio's mode registrations.
TEST(OverlayTexts, ModeNamesFollowTheModeIndex) {
    ASSERT_TRUE(hasKey("GI_AppInd_Mode"));
    EXPECT_EQ(linesOf("GI_AppInd_Mode"),
              (std::vector<std::string>{"LSB", "USB", "AM", "AFSK", "FSK", "CW", "ALE-U", "ALE-L",
                                        "AME"}));
}

// ---- Selection lists ---------------------------------------------------------

// The label number the items of a list carry, which the cell expects back from a pick.
constexpr int kOrdinary = 1;
constexpr int kModeKind = 2;
constexpr int kCallKind = 5;

std::vector<std::int32_t> positions(int count) {
    std::vector<std::int32_t> v(static_cast<std::size_t>(count));
    std::iota(v.begin(), v.end(), 0);
    return v;
}

std::vector<std::int32_t> aleChoices() {
    std::vector<std::int32_t> v{ListRecord::noAle};
    for (std::int32_t i = 0; i <= ListRecord::LastIndex(listAleId); ++i)
        v.push_back(i);
    return v;
}

struct ListCase {
    const char* key;
    int kind;
    std::vector<std::int32_t> values; // in the order the picker and the steps offer them
};

std::ostream& operator<<(std::ostream& os, const ListCase& c) {
    return os << c.key;
}

const std::vector<ListCase>& listCases() {
    static const std::vector<ListCase> cases = {
        {"GI_Sheet_Sel_Misc_OnOff", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_Misc_Enable_I", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_Comm_PwrSel", kOrdinary, positions(3)},
        {"GI_Sheet_Sel_Comm_Tuner", kOrdinary, positions(3)},
        {"GI_Sheet_Sel_Comm_FskTone", kOrdinary, positions(3)},
        {"GI_Sheet_Sel_Comm_FskShift", kOrdinary, positions(4)},
        {"GI_Sheet_Sel_Comm_FskPolar", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_Comm_BkIn", kOrdinary, positions(3)},
        {"GI_Sheet_Sel_Comm_RemoteMod", kOrdinary, positions(3)},
        {"GI_Sheet_Sel_Comm_NmeaIf", kOrdinary, positions(3)},
        {"GI_Sheet_Sel_Comm_TunerJudg", kOrdinary, positions(3)},
        {"GI_Sheet_Sel_Comm_AtTunType", kOrdinary, positions(3)},
        {"GI_Sheet_Sel_Comm_NITuner", kOrdinary, positions(3)},
        {"GI_Sheet_Sel_Comm_ModSel", kOrdinary, positions(3)},
        {"GI_Sheet_Sel_Comm_UchScanG", kOrdinary, positions(5)},
        {"GI_Sheet_Sel_Comm_AutoScan", kOrdinary, positions(4)},
        {"GI_Sheet_Sel_Comm_IdLength", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_Comm_SyncTime", kOrdinary, positions(6)},
        {"GI_Sheet_Sel_Comm_TimeOut", kOrdinary, positions(5)},
        {"GI_Sheet_Sel_Comm_RxTx", kOrdinary, positions(4)},
        {"GI_Sheet_Sel_Comm_SInterval", kOrdinary, positions(5)},
        {"GI_Sheet_Sel_Comm_DispType", kOrdinary, positions(3)},
        {"GI_Sheet_Sel_UchScanG", kOrdinary, positions(ListRecord::maxScanGroup + 1)},
        {"GI_Sheet_Sel_UchFilt", kOrdinary, positions(4)},
        {"GI_Sheet_Sel_UchEdit", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_ModeOk", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_ModeIn_J3E", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_ModeIn_A3E", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_ModeIn_J2B", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_ModeIn_F1B", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_ModeIn_A1A", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_ModeIn_J3EALE", kOrdinary, positions(2)},
        {"GI_Sheet_Sel_Mode1_R", kModeKind, positions(ListRecord::LastIndex(listModeReg) + 1)},
        {"GI_Sheet_Sel_Ale1_R", kOrdinary, aleChoices()},
        {"GI_Sheet_Sel_UchCallO", kCallKind, {0, 1, 2, 3}},
        {"GI_Sheet_Sel_UchCallO_full", kCallKind, {0, 1, 2}},
        {"GI_Sheet_Sel_UchCallA", kCallKind, {0, 1, 2, 3}},
        {"GI_Sheet_Sel_UchCallA_full", kCallKind, {0, 1, 2}},
    };
    return cases;
}

// Every sheet the file defines (its "_Style", "_BasicCell" and "_Cells" entries)
// builds: a broken cell reference, counter or model would end the program here
// instead of when the user first opens the sheet.
TEST(OverlayFile, EverySheetItDefinesBuilds) {
    const std::string cells = "_Cells";
    int built = 0;
    for (const std::string& key : headers().keys) {
        if (!key.ends_with(cells))
            continue;
        const std::string sheet = key.substr(0, key.size() - cells.size());
        if (!hasKey(sheet + "_Style") || !hasKey(sheet + "_BasicCell"))
            continue;
        SCOPED_TRACE(sheet);
        auto def = createSheetDef("", OverlayTexts::App(), sheet, OverlayTexts::App());
        def->Build();
        ++built;
    }
    // The pickers of the radio value cells are among them.
    EXPECT_GE(built, static_cast<int>(listCases().size()));
}

// Each test reads the lists afresh, as the program does on its first use.
class SelectionListContent : public ::testing::TestWithParam<ListCase> {
protected:
    void SetUp() override {
        for (const char* suffix : {"_Style", "_BasicCell", "_Cells"})
            ASSERT_TRUE(hasKey(GetParam().key + std::string(suffix)))
                << GetParam().key << suffix << " is missing";
    }
    // Asking for a text builds the list.
    const SelectionList& list() {
        cache.TextOf(GetParam().key, GetParam().kind, 0);
        return *cache.Find(GetParam().key, GetParam().kind);
    }

    SelectionListCache cache{OverlayTexts::App(), OverlayTexts::App()};
};

TEST_P(SelectionListContent, HoldsOneNamedItemPerValue) {
    const ListCase& c = GetParam();
    const SelectionList& l = list();
    ASSERT_EQ(l.entries.size(), c.values.size());
    std::set<std::string> texts;
    for (const std::int32_t v : c.values) {
        const std::string text = cache.TextOf(c.key, c.kind, v);
        EXPECT_NE(text, "error") << "no item for " << v;
        EXPECT_FALSE(text.empty()) << "item " << v << " has no text";
        EXPECT_TRUE(texts.insert(text).second) << "two items read " << text;
    }
}

// Space walks the items in the picker's order and wraps at both ends.
TEST_P(SelectionListContent, StepsThroughEveryItemAndWraps) {
    const ListCase& c = GetParam();
    list();
    const std::size_t n = c.values.size();
    for (std::size_t i = 0; i < n; ++i) {
        EXPECT_EQ(cache.Step(c.key, c.kind, c.values[i], +1), c.values[(i + 1) % n])
            << "forward from " << c.values[i];
        EXPECT_EQ(cache.Step(c.key, c.kind, c.values[i], -1), c.values[(i + n - 1) % n])
            << "back from " << c.values[i];
    }
}

// The picker sheet builds, and each cell the cursor can take delivers an item
// of the list's kind, so every pick is accepted and every item can be picked.
TEST_P(SelectionListContent, PickerOffersExactlyTheListItems) {
    const ListCase& c = GetParam();
    auto sheet = createSheetDef("", OverlayTexts::App(), c.key, OverlayTexts::App());
    sheet->Build();
    std::multiset<std::int32_t> picked;
    for (int row = 0; row < sheet->RowCount(); ++row) {
        for (int col = 0; col < sheet->ColCount(); ++col) {
            const CellModel& cell = sheet->Cell(col, row).model;
            if (!cell.IsSelectable())
                continue;
            EXPECT_EQ(cell.label, c.kind) << "cell " << col << "," << row;
            EXPECT_GT(sheet->ColWidth(col), 1) << "column " << col << " is collapsed";
            EXPECT_GT(sheet->RowHeight(row), 1) << "row " << row << " is collapsed";
            picked.insert(cell.index);
        }
    }
    EXPECT_EQ(picked, std::multiset<std::int32_t>(c.values.begin(), c.values.end()));
}

INSTANTIATE_TEST_SUITE_P(RadioValueCells, SelectionListContent, ::testing::ValuesIn(listCases()),
                         [](const auto& param) {
                             return std::string(param.param.key).substr(sizeof "GI_Sheet_Sel_" - 1);
                         });

// Every list a cell shows is among the cases above, with the kind the cell
// expects back from a pick, and every case is a list some cell shows.
TEST(OverlayFile, SelectionListsAreThoseTheCellsShow) {
    std::set<std::pair<std::string, int>> shown;
    for (const OverlayUse& use : cellOverlayUses()) {
        if (use.kind != 0)
            shown.insert({use.key, use.kind});
    }
    std::set<std::pair<std::string, int>> checked;
    for (const ListCase& c : listCases())
        checked.insert({c.key, c.kind});
    EXPECT_EQ(shown, checked);
}

class ListCache : public ::testing::Test {
protected:
    std::string text(const char* key, int kind, std::int32_t value) {
        return hasKey(key + std::string("_Cells")) ? cache.TextOf(key, kind, value)
                                                   : std::string("no list");
    }
    SelectionListCache cache{OverlayTexts::App(), OverlayTexts::App()};
};

// Meanings that the codecs and the engine build in.
TEST_F(ListCache, ItemsMeanWhatTheCellsAssume) {
    EXPECT_EQ(text("GI_Sheet_Sel_Misc_OnOff", kOrdinary, 0), "Off");
    EXPECT_EQ(text("GI_Sheet_Sel_Misc_OnOff", kOrdinary, 1), "On");
    // A zero ID length byte means four-digit selective-call IDs.
    EXPECT_EQ(text("GI_Sheet_Sel_Comm_IdLength", kOrdinary, 0), "4 digits");
    EXPECT_EQ(text("GI_Sheet_Sel_Comm_IdLength", kOrdinary, 1), "6 digits");
}

// The indication of a mode registration is stored as the item's exact
// five-character spelling, so the item texts keep their trailing blanks.
TEST_F(ListCache, ModeIndicationListsCarryBothSpellings) {
    struct Spellings {
        const char* key;
        const char* first;
        const char* second;
    };
    for (const Spellings& s : {Spellings{"GI_Sheet_Sel_ModeIn_J3E", "USB  ", "J3E  "},
                               Spellings{"GI_Sheet_Sel_ModeIn_A3E", "AM   ", "A3E  "},
                               Spellings{"GI_Sheet_Sel_ModeIn_J2B", "AFSK ", "J2B  "},
                               Spellings{"GI_Sheet_Sel_ModeIn_F1B", "FSK  ", "F1B  "},
                               Spellings{"GI_Sheet_Sel_ModeIn_A1A", "CW   ", "A1A  "},
                               Spellings{"GI_Sheet_Sel_ModeIn_J3EALE", "ALE-U", "J3E-A"}}) {
        EXPECT_EQ(text(s.key, kOrdinary, 0), s.first) << s.key;
        EXPECT_EQ(text(s.key, kOrdinary, 1), s.second) << s.key;
    }
}

TEST_F(ListCache, ModeListNamesTheModesAsTheModeSheetDoes) {
    for (int mode = 0; mode <= ListRecord::LastIndex(listModeReg); ++mode)
        EXPECT_EQ(text("GI_Sheet_Sel_Mode1_R", kModeKind, mode),
                  OverlayTexts::App().GetLine("GI_AppInd_Mode", mode));
}

// Call kind 3 is ALE; the "_full" forms offer the same items without it.
TEST_F(ListCache, FullCallListsOfferEverythingButAle) {
    for (const std::string key : {"GI_Sheet_Sel_UchCallO", "GI_Sheet_Sel_UchCallA"}) {
        SCOPED_TRACE(key);
        const std::string full = key + "_full";
        EXPECT_EQ(text(key.c_str(), kCallKind, ListRecord::aleCallKind), "ALE");
        EXPECT_EQ(text(full.c_str(), kCallKind, ListRecord::aleCallKind), "error");
        for (std::int32_t kind = 0; kind < 8; ++kind) {
            if (kind != ListRecord::aleCallKind) {
                EXPECT_EQ(text(full.c_str(), kCallKind, kind), text(key.c_str(), kCallKind, kind));
            }
        }
    }
    EXPECT_EQ(text("GI_Sheet_Sel_Ale1_R", kOrdinary, ListRecord::noAle), "-----");
}

// The factory files set each list setting to a position; every one of them
// must show an item rather than "error".
TEST_F(ListCache, FactorySettingsShowAnItemInEveryList) {
    struct Setting {
        std::int32_t offset;
        const char* key;
    };
    const char* const onOff = "GI_Sheet_Sel_Misc_OnOff";
    const char* const rxTx = "GI_Sheet_Sel_Comm_RxTx";
    const Setting settings[] = {
        {15228, "GI_Sheet_Sel_Comm_Tuner"},
        {15229, onOff},
        {15230, "GI_Sheet_Sel_Comm_FskTone"},
        {15231, "GI_Sheet_Sel_Comm_FskShift"},
        {15232, "GI_Sheet_Sel_Comm_FskPolar"},
        {15233, "GI_Sheet_Sel_Comm_BkIn"},
        {15235, onOff},
        {15236, onOff},
        {15237, "GI_Sheet_Sel_Comm_RemoteMod"},
        {15238, "GI_Sheet_Sel_Comm_NmeaIf"},
        {15239, "GI_Sheet_Sel_Comm_TunerJudg"},
        {15240, "GI_Sheet_Sel_Comm_AtTunType"},
        {15241, "GI_Sheet_Sel_Comm_NITuner"},
        {15242, "GI_Sheet_Sel_Comm_ModSel"},
        {15243, "GI_Sheet_Sel_Comm_ModSel"},
        {15244, onOff},
        {15246, "GI_Sheet_Sel_Comm_UchScanG"},
        {15247, onOff},
        {15248, "GI_Sheet_Sel_Comm_AutoScan"},
        {15249, "GI_Sheet_Sel_Comm_IdLength"},
        {15250, onOff},
        {15251, "GI_Sheet_Sel_Comm_SyncTime"},
        {15252, "GI_Sheet_Sel_Comm_TimeOut"},
        {15253, rxTx},
        {15254, rxTx},
        {15255, rxTx},
        {15256, rxTx},
        {15257, rxTx},
        {15258, rxTx},
        {15259, rxTx},
        {15260, rxTx},
        {15261, rxTx},
        {15262, onOff},
        {15268, onOff},
        {15271, "GI_Sheet_Sel_Comm_SInterval"},
        {15272, onOff},
        {15277, "GI_Sheet_Sel_Comm_DispType"},
        {15278, onOff},
        {15279, onOff},
        {15280, onOff},
        {15285, "GI_Sheet_Sel_Comm_PwrSel"},
        {15287, onOff},
        {15288, onOff},
        {15299, onOff},
    };
    for (int variant = 0; variant < marloModel::variantCount; ++variant) {
        SCOPED_TRACE("variant " + std::to_string(variant));
        ScriptedPrompter prompter;
        MemoryImage image;
        const std::string file = OverlayTexts::App().GetLine("GI_App_InitialFile", variant);
        ASSERT_EQ(checkCloneFile(programDir() + file, image), CloneFile::Ok);
        for (const Setting& s : settings) {
            const std::string shown = text(s.key, kOrdinary, image.GetByte(s.offset));
            EXPECT_NE(shown, "error") << s.key << " at " << s.offset;
            EXPECT_NE(shown, "no list") << s.key;
        }
        // The mode registrations ship with the first spelling of each indication.
        ListRecord mode(&image);
        const char* const indications[] = {"GI_Sheet_Sel_ModeIn_J3E", "GI_Sheet_Sel_ModeIn_A3E",
                                           "GI_Sheet_Sel_ModeIn_J2B", "GI_Sheet_Sel_ModeIn_F1B",
                                           "GI_Sheet_Sel_ModeIn_A1A", "GI_Sheet_Sel_ModeIn_J3EALE"};
        for (int row = 0; row <= ListRecord::LastIndex(listModeReg); ++row) {
            mode.Load(listModeReg, row);
            if (row >= 1 && row <= 6) {
                EXPECT_EQ(text(indications[row - 1], kOrdinary, 0),
                          std::string(mode.modeName.begin(), mode.modeName.end()))
                    << "row " << row;
            }
            EXPECT_NE(text("GI_Sheet_Sel_ModeOk", kOrdinary, mode.modeUse), "error");
        }
    }
}

// A channel typed into an empty slot starts from the blank entry's fields.
TEST_F(ListCache, BlankChannelShowsAnItemInEveryList) {
    ListRecord blank;
    blank.MakeBlank(listUserChannel, 0);
    EXPECT_NE(text("GI_Sheet_Sel_Mode1_R", kModeKind, blank.mode), "error");
    EXPECT_NE(text("GI_Sheet_Sel_Ale1_R", kOrdinary, blank.aleIndex), "error");
    EXPECT_NE(text("GI_Sheet_Sel_UchCallO", kCallKind, blank.callKind), "error");
    EXPECT_NE(text("GI_Sheet_Sel_UchCallA", kCallKind, blank.callKind), "error");
    EXPECT_NE(text("GI_Sheet_Sel_UchScanG", kOrdinary, blank.scanGroup), "error");
    EXPECT_NE(text("GI_Sheet_Sel_UchFilt", kOrdinary, blank.filter), "error");
    EXPECT_NE(text("GI_Sheet_Sel_UchEdit", kOrdinary, blank.editFlag), "error");
}

} // namespace
