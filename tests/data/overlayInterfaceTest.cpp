// The user interface the installed overlay defines: the main menu, the toolbar,
// the tree and every sheet it opens, the context menus and the fixed texts the
// program asks for, read as the program reads them.
#include "cli/headlessDocument.h"
#include "document/appCellContext.h"
#include "main/radioAppController.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"
#include "programAround.h"
#include "radio/cellEngine.h"
#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/cellRequest.h"
#include "radio/listRecord.h"
#include "sheets/bitPickerSheet.h"
#include "sheets/cellNames.h"
#include "sheets/cellParser.h"
#include "sheets/commonSettingsSheetDef.h"
#include "sheets/textMeasure.h"
#include "sheets/textUtil.h"
#include "views/imageList.h"

#include <QKeySequence>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

using namespace marlo;

namespace {

using namespace CellLabel;

// ---- Reading the entries as the builders do -----------------------------------

// The items of a menu, toolbar or tree entry K: K_BasicCell's line 0 is the
// base cell, each line of K_Body up to the next "#" line one item, whose depth
// is the number of characters before its first "+" (toolbar lines have none).
struct Body {
    std::unique_ptr<CellModel> base = std::make_unique<CellModel>();
    struct Item {
        int depth;
        CellModel model;
    };
    std::vector<Item> items;
};

Body readBody(OverlayTexts& store, const std::string& key, bool withDepth) {
    CellParser parser(store);
    Body body;
    parser.SplitCell(store.GetLine(key + "_BasicCell"), *body.base, nullptr, nullptr);
    for (int n = 0;; ++n) {
        const std::string line = store.GetLine(key + "_Body", n);
        if (line.starts_with('#'))
            break;
        std::string_view text = line;
        int depth = 0;
        if (withDepth) {
            const auto plus = line.find('+');
            depth = static_cast<int>(plus == std::string::npos ? line.size() : plus);
            text = plus == std::string::npos ? std::string_view() : text.substr(plus + 1);
        }
        Body::Item item{depth, {}};
        parser.SplitCell(text, item.model, body.base.get(), nullptr);
        body.items.push_back(std::move(item));
    }
    return body;
}

// "[class]key,options": the class and the sheet key of a tree node's descriptor.
struct Descriptor {
    std::string className;
    std::string key;
};

Descriptor splitDescriptor(const std::string& descriptor) {
    std::string head = descriptor.substr(0, descriptor.find(','));
    Descriptor d;
    if (head.starts_with('[') && head.find(']') != std::string::npos) {
        d.className = head.substr(1, head.find(']') - 1);
        head.erase(0, head.find(']') + 1);
    }
    d.key = head;
    return d;
}

// The descriptors of the tree nodes that open a sheet, in tree order.
std::vector<std::string> treeSheets(OverlayTexts& store) {
    std::vector<std::string> sheets;
    for (const Body::Item& node : readBody(store, "GI_Tree_Main", true).items) {
        if (node.model.label == CallSheet && node.model.parameter)
            sheets.push_back(*node.model.parameter);
    }
    return sheets;
}

std::unique_ptr<SheetDef> buildSheet(OverlayTexts& store, const std::string& descriptor,
                                     int variant, bool factory) {
    const Descriptor d = splitDescriptor(descriptor);
    auto sheet = createSheetDef(d.className, store, d.key, store);
    SheetSetup setup;
    setup.modelVariant = variant;
    setup.factoryMode = factory;
    sheet->SetSetup(setup);
    sheet->Build();
    return sheet;
}

// Everything the main window reads from the overlay when it is built and used:
// menu, toolbar, tree, every sheet a node opens and the context menus of their
// cells. A broken entry ends the program on the way.
void loadUserInterface(OverlayTexts& store, int variant, bool factory) {
    readBody(store, "GI_Menu_Main", true);
    readBody(store, "GI_ToolBar_Main", false);
    std::set<std::string> menus = {"GI_PMenu_NoItem"};
    for (const std::string& descriptor : treeSheets(store)) {
        const auto sheet = buildSheet(store, descriptor, variant, factory);
        for (int row = 0; row < sheet->RowCount(); ++row) {
            for (int col = 0; col < sheet->ColCount(); ++col) {
                if (const std::string* menu = sheet->Cell(col, row).model.FindPopupMenu())
                    menus.insert(*menu);
            }
        }
    }
    for (const std::string& menu : menus)
        readBody(store, menu, true);
}

// ---- The program's modes ------------------------------------------------------

struct Mode {
    const char* name;
    std::vector<std::string> args;
};
const Mode kModes[] = {
    {"Normal", {"marlo"}},
    {"Expert", {"marlo", "/expert"}},
    {"Factory", {"marlo", "/factory"}},
};

struct Config {
    int variant;
    const Mode* mode;
};

void PrintTo(const Config& config, std::ostream* os) {
    *os << config.mode->name << " mode, variant " << config.variant;
}

std::vector<Config> allConfigs() {
    std::vector<Config> configs;
    for (int variant = 0; variant < 2; ++variant) {
        for (const Mode& mode : kModes)
            configs.push_back({variant, &mode});
    }
    return configs;
}

// A cell reference as it sits on a sheet.
struct Reached {
    std::int32_t category;
    std::int32_t label;
    std::int32_t index;
    std::string parameter;
    auto operator<=>(const Reached&) const = default;
};

const char* labelName(std::int32_t label) {
    return labelNames()[static_cast<std::size_t>(label)];
}

// What the tree reaches in one variant and mode: every sheet of a tree node is
// built as the main window builds it, and each bound cell is evaluated by the
// engine on a new document of that variant, as painting it would.
class TreeSheets : public ::testing::TestWithParam<Config> {
protected:
    void SetUp() override {
        program_ = std::make_unique<ProgramAround>("overlay interface test lock");
        controller_ = std::make_unique<RadioAppController>(GetParam().mode->args);
        startHeadlessDocument(*controller_, GetParam().variant);
        context_ = std::make_unique<AppCellContext>(*controller_);
        engine_ = std::make_unique<CellEngine>(*context_);
    }
    void TearDown() override {
        engine_.reset();
        context_.reset();
        controller_.reset();
        program_.reset();
    }

    std::unique_ptr<SheetDef> build(const std::string& descriptor) {
        return buildSheet(OverlayTexts::App(), descriptor, controller_->ModelVariant(),
                          controller_->FactoryMode());
    }
    std::string shown(const CellModel& model) { return shownText(*engine_, model); }

    std::unique_ptr<ProgramAround> program_;
    std::unique_ptr<RadioAppController> controller_;
    std::unique_ptr<AppCellContext> context_;
    std::unique_ptr<CellEngine> engine_;
};

TEST_P(TreeSheets, EveryNodeOpensASheetThatShowsItsValues) {
    const std::vector<std::string> sheets = treeSheets(OverlayTexts::App());
    ASSERT_GE(sheets.size(), 10u);
    for (const std::string& descriptor : sheets) {
        SCOPED_TRACE(descriptor);
        const auto sheet = build(descriptor);
        const SheetStyle& style = sheet->Style();
        if (!style.noPrint) {
            // The printed header names the sheet by its title.
            EXPECT_TRUE(style.titleText && !style.titleText->empty());
        }
        int bound = 0;
        for (int row = 0; row < sheet->RowCount(); ++row) {
            for (int col = 0; col < sheet->ColCount(); ++col) {
                const CellModel& model = sheet->Cell(col, row).model;
                if (model.IsSelectable()) {
                    // The cursor never lands in the headers.
                    EXPECT_GE(col, style.fixedCols) << "cell " << col << "," << row;
                    EXPECT_GE(row, style.fixedRows) << "cell " << col << "," << row;
                    EXPECT_TRUE(model.FindPopupMenu() != nullptr) << "cell " << col << "," << row;
                }
                if (!model.IsBound())
                    continue;
                ++bound;
                const std::string where = std::string(labelName(model.label)) + "[" +
                                          std::to_string(model.index) + "] at " +
                                          std::to_string(col) + "," + std::to_string(row);
                ASSERT_GT(sheet->ColWidth(col), 1) << where << ": collapsed column";
                ASSERT_GT(sheet->RowHeight(row), 1) << where << ": collapsed row";
                const std::string text = shown(model);
                ASSERT_FALSE(text.ends_with(" *Yet*")) << where << ": the engine has no such cell";
                ASSERT_NE(text, "error") << where << ": a list position without an item";
            }
        }
        EXPECT_GT(bound, 0);
        EXPECT_LT(sheet->FirstSelectableRow(), sheet->RowCount()) << "nothing to edit";
    }
}

// Every value a cell can show fits its column. Each value cell of a settings
// sheet, and of the first entry of each list, first gets its own size sample
// typed in (the widest text it is meant to hold); then Space steps lists and
// numbers through all their values, as the user would. Each text is measured
// in the cell's font against the column's text area.
TEST_P(TreeSheets, EveryValueFitsItsColumn) {
    QtTextMeasure measure;
    const auto evaluate = [&](const CellModel& model, std::int32_t action,
                              const std::string* typed) {
        CellModel cell = model;
        CellRequest request;
        request.cell = &cell;
        request.grid = this; // keys count only from a grid
        request.action = action;
        if (typed != nullptr) {
            request.inputMode = CellRequest::kEditedText;
            request.inputText = *typed;
        }
        evaluateCell(*engine_, request, false);
    };
    int measured = 0;
    for (const std::string& descriptor : treeSheets(OverlayTexts::App())) {
        SCOPED_TRACE(descriptor);
        const auto sheet = build(descriptor);
        const int first = sheet->Style().fixedRows;
        const int last = descriptor.starts_with("[St_Common]") ? sheet->RowCount() - 1 : first;
        for (int row = first; row <= last; ++row) {
            std::vector<int> cols;
            for (int col = 0; col < sheet->ColCount(); ++col) {
                const CellModel& model = sheet->Cell(col, row).model;
                if (model.IsBound() && model.IsSelectable())
                    cols.push_back(col);
            }
            // Typing into an unused entry goes to its key cell; the second
            // round reaches the others.
            for (int round = 0; round < 2; ++round) {
                for (const int col : cols)
                    evaluate(sheet->Cell(col, row).model, 0, &sheet->Cell(col, row).model.Text());
            }
            for (const int col : cols) {
                const CellModel& model = sheet->Cell(col, row).model;
                const CellFont& font = model.font ? *model.font : sheet->BaseFont();
                const std::string start = shown(model);
                std::string text = start;
                for (int step = 0; step < 256; ++step) {
                    EXPECT_LE(measure.Extent(font, text).width + 8, sheet->ColWidth(col))
                        << labelName(model.label) << " shows \"" << text << "\"";
                    ++measured;
                    evaluate(model, CellRequest::kSpace, nullptr);
                    text = shown(model);
                    if (text == start)
                        break;
                }
            }
        }
    }
    EXPECT_GT(measured, 500);
}

// The warnings check marks the tree nodes whose parameter its lines name.
TEST_P(TreeSheets, WarningsPointAtTreeNodes) {
    const std::vector<std::string> sheets = treeSheets(OverlayTexts::App());
    CellParser parser(OverlayTexts::App());
    CellModel check;
    int lines = 0;
    for (int n = 0;; ++n) {
        const std::string line = OverlayTexts::App().GetLine("GI_WarningCheckList", n);
        if (line.starts_with('#'))
            break;
        parser.SplitCell(line, check, nullptr, nullptr);
        ASSERT_TRUE(check.parameter) << line;
        EXPECT_NE(std::find(sheets.begin(), sheets.end(), *check.parameter), sheets.end()) << line;
        EXPECT_FALSE(shown(check).ends_with(" *Yet*")) << line;
        ++lines;
    }
    EXPECT_EQ(lines, CL_Check_ModeReg - CL_Check_UserCh + 1);
}

// A channel shows its mode by the mode's name in the radio's memory, five
// characters whatever they are: the column fits the widest five.
TEST_P(TreeSheets, TheChannelModeColumnFitsAnyFiveCharacters) {
    ListRecord entry(&controller_->CurrentImage());
    entry.Load(listModeReg, 0);
    entry.modeName.fill('W');
    entry.Store(listModeReg, 0);
    entry.Load(listUserChannel, 0);
    entry.state |= ListRecord::stateUsed;
    entry.channelNumber = 1;
    entry.mode = 0;
    entry.Store(listUserChannel, 0);

    const auto sheet = build("GI_Sheet_UserCh");
    const int row = sheet->Style().fixedRows;
    int columns = 0;
    for (int col = 0; col < sheet->ColCount(); ++col) {
        const CellModel& model = sheet->Cell(col, row).model;
        if (model.label != CL_UCh_Mode)
            continue;
        ++columns;
        const CellFont& font = model.font ? *model.font : sheet->BaseFont();
        EXPECT_EQ(shown(model), "WWWWW");
        EXPECT_LE(QtTextMeasure().Extent(font, "WWWWW").width + 8, sheet->ColWidth(col));
    }
    EXPECT_EQ(columns, 1);
}

// The channel frequencies carry their error mark at the right edge: beside the
// widest frequency there is room for the mark (16 pixels on screen, one pixel
// from the edge, a pixel from the text) and the usual 4-pixel margin.
TEST_P(TreeSheets, FrequencyColumnsHaveRoomForTheMarkBesideTheWidestFrequency) {
    const auto sheet = build("GI_Sheet_UserCh");
    const int row = sheet->Style().fixedRows;
    int columns = 0;
    for (int col = 0; col < sheet->ColCount(); ++col) {
        const CellModel& model = sheet->Cell(col, row).model;
        if (model.label != CL_UCh_FreqR && model.label != CL_UCh_FreqT)
            continue;
        ++columns;
        const CellFont& font = model.font ? *model.font : sheet->BaseFont();
        const int text = QtTextMeasure().Extent(font, "29999.9").width;
        EXPECT_GE(sheet->ColWidth(col), 4 + text + 1 + 16 + 1);
    }
    EXPECT_EQ(columns, 2);
}

// A node's image says what its sheet holds: raw memory bytes, or else a list
// whose rows are selected as lines.
TEST_P(TreeSheets, NodesShowTheImageOfTheSheetTheyOpen) {
    int bytesNodes = 0;
    for (const Body::Item& node : readBody(OverlayTexts::App(), "GI_Tree_Main", true).items) {
        if (node.model.label != CallSheet || !node.model.parameter)
            continue;
        const std::string& descriptor = *node.model.parameter;
        SCOPED_TRACE(descriptor);
        const auto sheet = build(descriptor);
        bool bytes = false;
        for (int row = 0; row < sheet->RowCount() && !bytes; ++row)
            for (int col = 0; col < sheet->ColCount() && !bytes; ++col) {
                const std::int32_t label = sheet->Cell(col, row).model.label;
                bytes = label >= CL_EeDebugWin_0 && label <= CL_EeDebugWin_F;
            }
        const bool list = sheet->Style().multiSelect == 2 && !bytes;
        bytesNodes += bytes ? 1 : 0;
        EXPECT_EQ(node.model.imageIndex == treeImage::Bytes, bytes);
        EXPECT_EQ(node.model.imageIndex == treeImage::ListSheet, list);
    }
    EXPECT_EQ(bytesNodes, 1);
}

INSTANTIATE_TEST_SUITE_P(VariantsAndModes, TreeSheets, ::testing::ValuesIn(allConfigs()),
                         [](const auto& param) {
                             return std::string(param.param.mode->name) + "Variant" +
                                    std::to_string(param.param.variant);
                         });

// ---- Every radio value has a cell -----------------------------------------------

// The labels that show a value of the radio's memory, by the families of the
// catalogue; a label the engine does not handle yet ("*Yet*") shows none.
std::vector<std::int32_t> radioValueLabels(CellEngine& engine) {
    const char* const families[] = {"CL_Comm_",       "CL_UCh_",  "CL_SelCall_",  "CL_Ale_",
                                    "CL_TelNumber_",  "CL_Exp_",  "CL_EdgeFreq_", "CL_ModeReg_",
                                    "CL_EeDebugWin_", "CL_Free_", "CL_Deb_"};
    std::vector<std::int32_t> labels;
    for (std::int32_t label = 0; label < kLabelCount; ++label) {
        const std::string name = labelName(label);
        const bool radio = std::any_of(std::begin(families), std::end(families),
                                       [&](const char* f) { return name.starts_with(f); });
        // The engine has no cell for a hexadecimal free byte; it shows nothing.
        if (!radio || label == CL_Free_Byte_Hex)
            continue;
        if (!shownText(engine, CT_Null, label).ends_with(" *Yet*"))
            labels.push_back(label);
    }
    return labels;
}

class RadioValues : public ::testing::TestWithParam<int> {};

TEST_P(RadioValues, EveryValueOfTheMemoryIsOnASheetOfTheTree) {
    const int variant = GetParam();
    std::set<Reached> reached;
    std::vector<std::int32_t> labels;
    for (const Mode& mode : kModes) {
        ProgramAround program("overlay interface test lock");
        RadioAppController controller(mode.args);
        startHeadlessDocument(controller, variant);
        AppCellContext context(controller);
        CellEngine engine(context);
        if (labels.empty())
            labels = radioValueLabels(engine);
        for (const std::string& descriptor : treeSheets(OverlayTexts::App())) {
            const auto sheet =
                buildSheet(OverlayTexts::App(), descriptor, variant, controller.FactoryMode());
            for (int row = 0; row < sheet->RowCount(); ++row) {
                for (int col = 0; col < sheet->ColCount(); ++col) {
                    const CellModel& m = sheet->Cell(col, row).model;
                    if (m.IsBound())
                        reached.insert({m.category, m.label, m.index, m.parameter.value_or("")});
                }
            }
        }
    }
    ASSERT_GT(labels.size(), 100u);
    const auto has = [&](std::int32_t category, std::int32_t label, std::int32_t index,
                         const std::string& parameter) {
        return reached.contains({category, label, index, parameter});
    };
    const auto anywhere = [&](std::int32_t label) {
        return std::any_of(reached.begin(), reached.end(),
                           [&](const Reached& r) { return r.label == label; });
    };
    const std::int32_t imageSize = 33268;
    for (const std::int32_t label : labels) {
        SCOPED_TRACE(labelName(label));
        const std::uint8_t lists = cellKinds()[static_cast<std::size_t>(label)].listTypes;
        if (label >= CL_EeDebugWin_0 && label <= CL_EeDebugWin_F) {
            // Every byte of the image has its cell, 16 a row.
            const std::int32_t column = label - CL_EeDebugWin_0;
            for (std::int32_t address = column; address < imageSize; address += 16) {
                ASSERT_TRUE(has(CT_Null, label, address / 16, "")) << "byte " << address;
            }
        } else if (lists == 0) {
            EXPECT_TRUE(anywhere(label));
        }
        // A list cell on every entry of each list it works on; a channel-range
        // cell once for each of the entry's five ranges.
        for (std::int32_t category = 0; category < kCategoryCount; ++category) {
            const int type = listTypeOf(category);
            if (type == 0 || (lists & listBit(static_cast<std::uint8_t>(type))) == 0)
                continue;
            const bool ranges = label == CL_SelCall_CH || label == CL_Ale_CH;
            for (std::int32_t i = 0;
                 i <= ListRecord::LastStoredIndex(static_cast<std::uint8_t>(type)); ++i) {
                for (int r = 0; r < (ranges ? 5 : 1); ++r) {
                    ASSERT_TRUE(has(category, label, i, ranges ? std::to_string(r) : ""))
                        << categoryNames()[static_cast<std::size_t>(category)] << " entry " << i
                        << (ranges ? " range " + std::to_string(r) : "");
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, RadioValues, ::testing::Values(0, 1),
                         [](const auto& param) { return "Variant" + std::to_string(param.param); });

// ---- Keys the program asks for ------------------------------------------------

// The installed file's header lines, so that a missing key fails the test
// instead of ending it.
std::set<std::string> installedKeys() {
    std::set<std::string> keys;
    std::ifstream in(programDir() + "Marlo.OVL", std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "#End_Of_Ovl")
            break;
        if (line.size() >= 2 && line[0] == '#')
            keys.insert(line.substr(1));
    }
    return keys;
}

enum class Form { Text, Menu, Sheet };
struct FixedKey {
    const char* key;
    Form form;
};

// The keys the program looks up by name, by their reader. Menus, the toolbar
// and the tree are read as K_BasicCell and K_Body, sheets as K_Style,
// K_BasicCell and K_Cells.
const FixedKey kFixedKeys[] = {
    // start-up and the controller
    {"GI_Sys_AppTitle", Form::Text},
    {"GI_Form_Main_BasicCell", Form::Text},
    {"GI_StatusPanel_Expert", Form::Text},
    {"GI_AppMess_ChangeModel", Form::Text},
    {"GI_AppInd_Model", Form::Text},
    {"GI_App_InitialFile", Form::Text},
    // clone files
    {"GI_Mess_FileErr_Headline", Form::Text},
    {"GI_Mess_FileErr_FileOpen", Form::Text},
    {"GI_Mess_FileErr_FileAccess", Form::Text},
    {"GI_Mess_FileErr_Model", Form::Text},
    {"GI_Mess_FileErr_Extra", Form::Text},
    {"GI_Mess_FileErr_MapRev", Form::Text},
    {"GI_Mess_FileErr_Format", Form::Text},
    {"GI_Mess_FileErr_Coverage", Form::Text},
    {"GI_Mess_FileErr_Data", Form::Text},
    {"GI_Mess_FileErr_Newer", Form::Text},
    // the main window
    {"GI_Menu_Main", Form::Menu},
    {"GI_ToolBar_Main", Form::Menu},
    {"GI_Tree_Main", Form::Menu},
    {"GI_Sys_TreeChangeDelay", Form::Text},
    // document commands
    {"GI_WarningCheckList", Form::Text},
    {"GI_Mess_Confirm_WriteAnother", Form::Text},
    {"GI_Mess_Confirm_WriteFile", Form::Text},
    {"GI_Sys_Dialog_FOpen", Form::Text},
    // About box, port dialog, cells, row operations, cloning, help, printing
    {"GI_App_About_Caption", Form::Text},
    {"GI_App_About_Button", Form::Text},
    {"GI_AppInd_Button_OkCancel", Form::Text},
    {"GI_AppInd_DscRxTxNoUse", Form::Text},
    {"GI_AppInd_Opt_ComSel_Buttons", Form::Text},
    {"GI_AppInd_Opt_ComSel_Caption", Form::Text},
    {"GI_AppInd_Opt_ComSel_Notice", Form::Text},
    {"GI_AppInd_Opt_ComSel_OutofRange", Form::Text},
    {"GI_AppInd_Opt_ComSel_SizeOfButtons", Form::Text},
    {"GI_AppInd_TimerAuto", Form::Text},
    {"GI_AppInd_TimerOff", Form::Text},
    {"GI_AppMess_Conv_Clear", Form::Text},
    {"GI_AppMess_Conv_Delete", Form::Text},
    {"GI_AppMess_Conv_Overflow", Form::Text},
    {"GI_AppMess_Conv_Overwrite", Form::Text},
    {"GI_AppMess_S_Clear", Form::Text},
    {"GI_AppMess_S_Copy", Form::Text},
    {"GI_AppMess_S_Delete", Form::Text},
    {"GI_AppMess_S_Insert", Form::Text},
    {"GI_AppMess_S_Paste", Form::Text},
    {"GI_Botttom_AleFull", Form::Text},
    {"GI_Mess_CloneErr_Check", Form::Text},
    {"GI_Mess_CloneErr_Head", Form::Text},
    {"GI_Mess_CloneWrite_Succeeded", Form::Text},
    {"GI_Mess_Confirm_CloneWrite", Form::Text},
    {"GI_Mess_DataError", Form::Text},
    {"GI_Sheet_CloneInfo", Form::Sheet},
    {"GI_Sheet_Sel_Bit_EeDebugWin", Form::Text},
    {"GI_Sys_AppTitleRev", Form::Text},
    {"GI_Sys_Maker", Form::Text},
    {"GI_Sys_MyHelpFile", Form::Text},
    {"GI_Sys_Printer_FontPoints", Form::Text},
    {"GI_Sys_Printer_FrameFont", Form::Text},
    {"GI_Sys_Printer_Margins", Form::Text},
    {"GI_Sys_Printer_NoPrinter", Form::Text},
    {"GI_Sys_Printer_PrintingDialog", Form::Text},
    // also read: the clone model error, and the Edit menu's list without a sheet
    {"GI_Mess_ModelError", Form::Text},
    {"GI_PMenu_NoItem", Form::Menu},
};

TEST(OverlayKeys, EveryKeyTheProgramAsksForExists) {
    const std::set<std::string> keys = installedKeys();
    std::vector<std::string> needed;
    for (const FixedKey& k : kFixedKeys) {
        const std::string key = k.key;
        switch (k.form) {
        case Form::Text:
            needed.push_back(key);
            break;
        case Form::Menu:
            needed.insert(needed.end(), {key + "_BasicCell", key + "_Body"});
            break;
        case Form::Sheet:
            needed.insert(needed.end(), {key + "_Style", key + "_BasicCell", key + "_Cells"});
            break;
        }
    }
    for (const OverlayUse& use : cellOverlayUses())
        needed.push_back(use.kind == 0 ? use.key : use.key + "_Cells");
    for (const std::string& key : needed) {
        ASSERT_TRUE(keys.contains(key)) << "#" << key << " is missing";
        if (!key.ends_with("_BasicCell") && !key.ends_with("_Style")) {
            EXPECT_FALSE(OverlayTexts::App().GetLine(key).empty()) << "#" << key << " starts empty";
        }
    }
    auto info = createSheetDef("", OverlayTexts::App(), "GI_Sheet_CloneInfo", OverlayTexts::App());
    info->Build();
    EXPECT_GT(info->ColWidth(1), 1);
}

// Texts that the program fills in or reads as numbers.
TEST(OverlayKeys, TextsTheProgramParsesHaveTheirForm) {
    OverlayTexts& texts = OverlayTexts::App();
    // One "%s" and nothing else a format would take.
    EXPECT_TRUE(
        std::regex_match(texts.GetLine("GI_Mess_Confirm_WriteFile"), std::regex("[^%]*%s[^%]*")));
    EXPECT_TRUE(
        std::regex_match(texts.GetLine("GI_Mess_CloneErr_Head", 2), std::regex("[^%]*%d[^%]*")));
    const auto number = std::regex(" *[0-9]+ *");
    for (const char* key :
         {"GI_Sys_TreeChangeDelay", "GI_Sys_Printer_FontPoints", "GI_Sys_Printer_FrameFont"}) {
        EXPECT_TRUE(std::regex_match(texts.GetLine(key), number)) << key;
        EXPECT_GT(readDecimal(texts.GetLine(key)), 0) << key;
    }
    // Four margins in millimetres that leave most of an A4 and a Letter page.
    const std::string margins = texts.GetLine("GI_Sys_Printer_Margins");
    ASSERT_TRUE(std::regex_match(margins, std::regex("( *[0-9]+ *,){3} *[0-9]+ *"))) << margins;
    int m[4];
    for (int i = 0; i < 4; ++i)
        m[i] = readDecimal(*textField(margins, ',', i));
    for (const double width : {210.0, 215.9}) {
        for (const double height : {297.0, 279.4}) {
            EXPECT_GE(width - m[0] - m[2], 0.75 * width);
            EXPECT_GE(height - m[1] - m[3], 0.75 * height);
        }
    }
    // Caption, label and button of the printing window; OK and Cancel.
    EXPECT_FALSE(texts.GetLine("GI_Sys_Printer_PrintingDialog", 2).empty());
    EXPECT_FALSE(texts.GetLine("GI_AppInd_Opt_ComSel_Buttons", 1).empty());
    EXPECT_EQ(texts.GetLine("GI_Sys_Dialog_FOpen", 0), "vcf");
    EXPECT_NE(texts.GetLine("GI_Sys_Dialog_FOpen", 1).find("(*.vcf)"), std::string::npos);
}

// ---- Menus and the toolbar ------------------------------------------------------

// The main menu shows the cursor cell's context menu under Edit, so their
// shortcuts share one window: every one must be a key and none may repeat.
TEST(OverlayMenus, ShortcutsAreKeysAndNeverRepeat) {
    OverlayTexts& store = OverlayTexts::App();
    std::set<std::string> contextMenus;
    for (const std::string& descriptor : treeSheets(store)) {
        const auto sheet = buildSheet(store, descriptor, 0, true);
        for (int row = 0; row < sheet->RowCount(); ++row)
            for (int col = 0; col < sheet->ColCount(); ++col)
                if (const std::string* menu = sheet->Cell(col, row).model.FindPopupMenu())
                    contextMenus.insert(*menu);
    }
    EXPECT_TRUE(contextMenus.contains("GI_PMenu_UserCh"));
    const Body main = readBody(store, "GI_Menu_Main", true);
    std::map<std::string, std::string> mainKeys;
    for (const Body::Item& item : main.items) {
        if (item.model.parameter)
            mainKeys[*item.model.parameter] = item.model.Text();
    }
    EXPECT_TRUE(mainKeys.contains("Ctrl+N") && mainKeys.contains("Ctrl+O") &&
                mainKeys.contains("Ctrl+S") && mainKeys.contains("Ctrl+P"));
    for (const std::string& menu : contextMenus) {
        SCOPED_TRACE(menu);
        std::map<std::string, std::string> keys = mainKeys;
        const Body context = readBody(store, menu, true);
        for (const Body::Item& item : context.items) {
            EXPECT_EQ(item.model.category, CT_PopupMenu) << item.model.Text();
            if (!item.model.parameter)
                continue;
            EXPECT_TRUE(keys.emplace(*item.model.parameter, item.model.Text()).second)
                << *item.model.parameter << " for " << item.model.Text() << " and "
                << keys[*item.model.parameter];
        }
        for (const auto& [shortcut, caption] : keys) {
            const QKeySequence key = QKeySequence::fromString(QString::fromStdString(shortcut));
            EXPECT_EQ(key.count(), 1) << shortcut << " of " << caption;
            EXPECT_NE(key[0].key(), Qt::Key_unknown) << shortcut << " of " << caption;
        }
    }
}

TEST(OverlayMenus, EveryCommandOfTheCatalogueHasAnItem) {
    std::set<std::int32_t> labels;
    for (const char* key : {"GI_Menu_Main", "GI_PMenu_UserCh"}) {
        for (const Body::Item& item : readBody(OverlayTexts::App(), key, true).items)
            labels.insert(item.model.label);
    }
    for (std::int32_t label = CL_Menu_File_New; label <= CL_Help_Contents; ++label) {
        if (label == CL_Menu_Port_SpeedHigh)
            continue; // not handled by the engine
        EXPECT_TRUE(labels.contains(label)) << labelName(label);
    }
    for (std::int32_t label = CL_PMenu_Edit; label <= CL_PMenu_Sort; ++label)
        EXPECT_TRUE(labels.contains(label)) << labelName(label);
    // Every toolbar button shows one of the 13 images of its list.
    for (const Body::Item& button : readBody(OverlayTexts::App(), "GI_ToolBar_Main", false).items) {
        if (button.model.Text() != "-") {
            EXPECT_TRUE(button.model.imageIndex >= 0 && button.model.imageIndex <= 12)
                << button.model.Text();
        }
    }
}

// The bit editor's built-in sheet takes its cell models and its menu from here.
TEST(OverlayMenus, BitEditorSheetBuildsWithTheseModels) {
    BitPickerSheet bits;
    SheetDef sheet(bits.Store(), BitPickerSheet::kSheetKey, OverlayTexts::App());
    sheet.Build();
    int bitCells = 0;
    for (int col = 0; col < sheet.ColCount(); ++col) {
        if (sheet.Cell(col, 3).model.IsSelectable()) {
            ++bitCells;
            EXPECT_GT(sheet.ColWidth(col), 1);
        }
    }
    EXPECT_EQ(bitCells, 8);
    ASSERT_NE(sheet.BaseCell().FindPopupMenu(), nullptr);
    EXPECT_EQ(readBody(OverlayTexts::App(), *sheet.BaseCell().FindPopupMenu(), true).items.size(),
              1u);
}

// ---- A damaged overlay ends the program with its message -----------------------

std::string installedText() {
    std::ifstream in(programDir() + "Marlo.OVL", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct Damage {
    const char* name;
    const char* from; // first occurrence replaced
    const char* to;
    const char* message; // regular expression
};

const Damage kDamages[] = {
    {"SheetNamedByTheTreeIsMissing", "#GI_Sheet_ModeReg_", "#Gone_Sheet_ModeReg_",
     "GTEX Error !\nThe index 'GI_Sheet_ModeReg_Style' was not found\\."},
    {"UnknownCellOnASheet", "CL_ModeReg_Use[0]", "CL_ModeReg_Usage[0]",
     "Cannot use the specified cell\\.\n'CL_ModeReg_Usage'"},
    {"SheetWithoutRows", "#GI_Sheet_Expert_Cells\n", "#GI_Sheet_Expert_Cells\n#\n#Dropped\n",
     "Illegal Cell assign"},
    {"MissingCellModel", "($Hd)", "($Head)",
     "GTEX Error !\nThe index 'CellModel_Head' was not found"},
    {"BrokenChannelCounter", "(@ch0++)", "(@ch++)", "Ch No\\. Error"},
    {"UnknownMenuCommand", "CL_Menu_File_New:", "CL_Menu_File_Nwe:",
     "Cannot use the specified cell\\.\n'CL_Menu_File_Nwe'"},
    {"UnknownTreeCategory", "(%CT_Null.CallSheet:", "(%CT_Nul.CallSheet:",
     "Cannot use the specified category\\.\n'CT_Nul'"},
    {"MissingContextMenu", "#GI_PMenu_UserCh_Body", "#GI_PMenu_UserChannels_Body",
     "GTEX Error !\nThe index 'GI_PMenu_UserCh_Body' was not found"},
};

class DamagedOverlayDeathTest : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedOverlayDeathTest, EndsTheProgramWithItsMessage) {
    const Damage& damage = GetParam();
    std::string text = installedText();
    const auto at = text.find(damage.from);
    ASSERT_NE(at, std::string::npos) << damage.from;
    text.replace(at, std::string(damage.from).size(), damage.to);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string path = folder.filePath("Marlo.OVL").toStdString();
    std::ofstream(path, std::ios::binary) << text;

    OverlayTexts store;
    store.SetFile(path);
    EXPECT_EXIT(
        {
            for (const int variant : {0, 1})
                loadUserInterface(store, variant, true);
            std::exit(0);
        },
        ::testing::ExitedWithCode(3), damage.message);
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedOverlayDeathTest, ::testing::ValuesIn(kDamages),
                         [](const auto& param) { return std::string(param.param.name); });

// The same reading of the installed file ends normally.
TEST(OverlayInterfaceDeathTest, TheInstalledOverlayLoadsInEveryVariantAndMode) {
    EXPECT_EXIT(
        {
            for (const int variant : {0, 1}) {
                for (const bool factory : {false, true})
                    loadUserInterface(OverlayTexts::App(), variant, factory);
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
