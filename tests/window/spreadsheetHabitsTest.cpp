// Spreadsheet habits on the User Channels sheet as a person uses them: a value
// into many rows, fill, paste from a spreadsheet, find and go to, each checked
// by the cells shown, the bytes saved, and Undo giving back the exact bytes.
#include "windowFixture.h"

#include "radio/bandEdges.h"

#include "core/memoryImage.h"
#include "radio/listRecord.h"
#include "views/sheet.h"
#include "views/sheetFinder.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

using namespace marlo;

namespace {

// Columns of the sheet.
constexpr int kChannel = 1;
constexpr int kReceive = 2;
constexpr int kTransmit = 3;
constexpr int kMode = 4;
constexpr int kFilter = 5;
constexpr int kComment = 9;

class SpreadsheetHabits : public WindowTest {
protected:
    // The full document with band edges that its frequencies lie within.
    void start() {
        const std::string path = writeFullDocument("plan.vcf");
        std::unique_ptr<MemoryImage> image = loadCloneFile(path);
        setBandEdges(*image, 1'000'000, 29'999'999, 1'600'000, 29'999'999);
        writeCloneFile(path, *image);
        openFile(path);
        showSheet("User Channels");
        before_.Assign(controller_->CurrentImage());
    }
    // A click on the row's channel number, then Right to the column: the
    // columns on the right may be out of view.
    void cursorTo(int col, int row) {
        clickCell(kChannel, row);
        for (int c = kChannel; c < col; ++c)
            key(Qt::Key_Right);
    }
    // The cursor to the first row, then Shift+Down to the last.
    void selectRows(int col, int first, int last) {
        cursorTo(col, first);
        for (int row = first; row < last; ++row)
            key(Qt::Key_Down, Qt::ShiftModifier);
    }
    std::vector<std::string> column(int col, int first, int last) const {
        std::vector<std::string> shown;
        for (int row = first; row <= last; ++row)
            shown.push_back(cellText(col, row));
        return shown;
    }
    bool unchanged() const {
        return controller_->CurrentImage().Equals(before_) && !controller_->IsModified();
    }
    // Saves under a new name and reads the file back.
    std::unique_ptr<MemoryImage> saved() {
        const std::string path = files_->filePath("saved.vcf").toStdString();
        prompter_.chooseNextFile(path);
        key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(waitFor([&] { return controller_->DocumentName() == path; }));
        return loadCloneFile(path);
    }
    // Ctrl+Z takes the whole command back to the exact bytes before it.
    void expectOneUndoStep() {
        key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(waitFor([&] { return controller_->CurrentImage().Equals(before_); }))
            << "one Undo gives back the bytes before the command";
    }
    std::string lastBox() const { return prompter_.lastText(); }
    // A refusal names what was refused, and the document is as before.
    void expectRefused(const char* refusal) {
        EXPECT_TRUE(waitFor([&] { return lastBox().find(refusal) != std::string::npos; }))
            << lastBox();
        EXPECT_TRUE(unchanged());
    }

    MemoryImage before_;
};

template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& param) {
    return param.param.name;
}

struct EntryCase;
struct FillCase;
struct PasteCase;

ListRecord channelOf(MemoryImage& image, std::int32_t slot) {
    ListRecord channel(&image);
    channel.Load(listUserChannel, slot);
    return channel;
}

// Rows 2..5 selected; a value typed in the cursor's column and entered with
// Alt+Enter. The full document's channel in row r is number r with receive
// and transmit at 2000 + 10 (r - 1) kHz.
struct EntryCase {
    const char* name;
    int col;
    const char* typed;
    const char* shown;   // in rows 2..5 afterwards; null: refused
    const char* refusal; // part of the box when refused
};

const EntryCase kEntryCases[] = {
    {"Receive", kReceive, "7100", "7100.0", nullptr},
    {"Comment", kComment, "HARBOUR", "HARBOUR", nullptr},
    {"RepeatedNumber", kChannel, "77", nullptr, "row 3, column Channel: "},
    {"OutsideTheBand", kReceive, "900", nullptr,
     "row 2, column Receive kHz: Receive frequency 900.0 kHz lies outside the receive band edge"},
    {"TooLong", kComment, "ABCDEFGHIJKLMNOPQRS", nullptr,
     "column Comment: not taken as \"ABCDEFGHIJKLMNOPQRS\" (it shows \"ABCDEFGHIJKLMNO\")"},
};

void PrintTo(const EntryCase& c, std::ostream* out) {
    *out << c.name;
}

class EntryIntoRows : public SpreadsheetHabits, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(EntryIntoRows, AltEnterStoresIntoEverySelectedRowOrNothing) {
    const EntryCase& c = GetParam();
    start();
    selectRows(c.col, 2, 5);
    type(c.typed);
    ASSERT_TRUE(waitFor([&] { return sheet()->EditorVisible(); }));
    key(Qt::Key_Return, Qt::AltModifier);
    if (c.shown == nullptr) {
        expectRefused(c.refusal);
        EXPECT_TRUE(lastBox().starts_with("Nothing was changed")) << lastBox();
        return;
    }
    const std::vector<std::string> expected(4, c.shown);
    ASSERT_TRUE(waitFor([&] { return column(c.col, 2, 5) == expected; }))
        << lastBox() << "|" << column(c.col, 2, 5)[0] << "|" << controller_->IsModified();
    EXPECT_NE(cellText(c.col, 6), c.shown) << "the row below the selection";
    const std::unique_ptr<MemoryImage> file = saved();
    for (std::int32_t slot = 1; slot <= 4 && c.col == kReceive; ++slot)
        EXPECT_EQ(channelOf(*file, slot).rxFrequency, 7'100'000) << slot;
    EXPECT_EQ(channelOf(*file, 5).rxFrequency, 2'050'000);
    expectOneUndoStep();
}

INSTANTIATE_TEST_SUITE_P(Cases, EntryIntoRows, ::testing::ValuesIn(kEntryCases),
                         caseName<EntryCase>);

// A pick list offers the same: Alt+Enter on a pick takes it to every row.
TEST_F(SpreadsheetHabits, AltEnterOnAPickTakesItToEverySelectedRow) {
    start();
    const std::string mode = cellText(kFilter, 2);
    selectRows(kFilter, 2, 4);
    key(Qt::Key_Return);
    ASSERT_TRUE(waitFor([] {
        return QApplication::activeWindow() != nullptr &&
               !QApplication::activeWindow()->inherits("QMainWindow");
    }));
    key(Qt::Key_Down);
    key(Qt::Key_Return, Qt::AltModifier);
    ASSERT_TRUE(waitFor([&] { return cellText(kFilter, 2) != mode; }))
        << mode << "|" << lastBox() << "|" << cellText(kFilter, 3);
    const std::string picked = cellText(kFilter, 2);
    EXPECT_EQ(column(kFilter, 2, 4), std::vector<std::string>(3, picked));
    EXPECT_EQ(cellText(kFilter, 5), mode);
    expectOneUndoStep();
}

// Fill Down by its key, Fill Series from the Edit menu's form, over rows 2..5.
struct FillCase {
    const char* name;
    int col;
    std::vector<std::string> series; // start and step; empty: Fill Down
    std::vector<std::string> shown;  // rows 2..5; empty: refused
    const char* refusal;
};

const FillCase kFillCases[] = {
    {"DownReceive", kReceive, {}, {"2010.0", "2010.0", "2010.0", "2010.0"}, nullptr},
    {"DownChannel", kChannel, {}, {}, "row 3, column Channel: "},
    {"SeriesChannel", kChannel, {"601", "1"}, {"601", "602", "603", "604"}, nullptr},
    {"SeriesReceive", kReceive, {"7000", "5"}, {"7000.0", "7005.0", "7010.0", "7015.0"}, nullptr},
    {"SeriesIntoUsedNumbers", kChannel, {"5", "1"}, {}, "column Channel: "},
    {"SeriesPastTheBand", kReceive, {"29990", "10"}, {}, "column Receive kHz: "},
};

void PrintTo(const FillCase& c, std::ostream* out) {
    *out << c.name;
}

class Fill : public SpreadsheetHabits, public ::testing::WithParamInterface<FillCase> {};

TEST_P(Fill, FillsTheSelectedRowsOrNothing) {
    const FillCase& c = GetParam();
    start();
    selectRows(c.col, 2, 5);
    if (c.series.empty()) {
        key(Qt::Key_D, Qt::ControlModifier);
    } else {
        prompter_.enterNextValues(c.series);
        menuPath({"&Edit", "Fill &Series..."});
    }
    if (c.shown.empty()) {
        expectRefused(c.refusal);
        return;
    }
    ASSERT_TRUE(waitFor([&] { return column(c.col, 2, 5) == c.shown; }))
        << column(c.col, 2, 5)[1] << "|" << lastBox();
    EXPECT_TRUE(prompter_.scriptUsed());
    const std::unique_ptr<MemoryImage> file = saved();
    if (c.col == kChannel)
        EXPECT_EQ(channelOf(*file, 2).channelNumber, 602U);
    else
        EXPECT_EQ(channelOf(*file, 2).rxFrequency, c.series.empty() ? 2'010'000 : 7'005'000);
    expectOneUndoStep();
}

INSTANTIATE_TEST_SUITE_P(Cases, Fill, ::testing::ValuesIn(kFillCases), caseName<FillCase>);

// Ctrl+V of text a spreadsheet put on the clipboard, with the cursor on row 2.
struct PasteCase {
    const char* name;
    int col;
    const char* text;
    std::vector<std::pair<int, std::string>> shown; // row 2, 3, ... by column; empty: refused
    const char* refusal;
};

const PasteCase kPasteCases[] = {
    {"ByPosition",
     kReceive,
     "7100\t7200\r\n7300\t7400\r\n",
     {{kReceive, "7100.0"}, {kTransmit, "7200.0"}, {kReceive, "7300.0"}, {kTransmit, "7400.0"}},
     nullptr},
    {"ByTitle",
     kMode,
     "Comment\tChannel\nALPHA\t701\nBETA\t702\n",
     {{kComment, "ALPHA"}, {kChannel, "701"}, {kComment, "BETA"}, {kChannel, "702"}},
     nullptr},
    {"SingleValueIsTyped", kReceive, "7123.4\n", {{kReceive, "7123.4"}}, nullptr},
    {"NotAMode", kReceive, "7100\t7200\tWHISTLE\n", {}, "row 2, column Mode: not one of"},
    {"PastTheLastColumn", kComment, "A\tB\tC\n", {}, "row 2, column 12: outside the sheet"},
};

void PrintTo(const PasteCase& c, std::ostream* out) {
    *out << c.name;
}

class PasteText : public SpreadsheetHabits, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(PasteText, FillsFromTheCursorEveryValueThroughItsCell) {
    const PasteCase& c = GetParam();
    start();
    QGuiApplication::clipboard()->setText(QString::fromUtf8(c.text));
    cursorTo(c.col, 2);
    key(Qt::Key_V, Qt::ControlModifier);
    if (c.shown.empty()) {
        expectRefused(c.refusal);
        return;
    }
    const auto matches = [&] {
        const std::size_t perRow = c.shown.size() == 1 ? 1 : 2;
        for (std::size_t i = 0; i < c.shown.size(); ++i)
            if (cellText(c.shown[i].first, 2 + static_cast<int>(i / perRow)) != c.shown[i].second)
                return false;
        return true;
    };
    ASSERT_TRUE(waitFor(matches)) << lastBox() << "|" << cellText(c.shown[0].first, 2);
    expectOneUndoStep();
}

INSTANTIATE_TEST_SUITE_P(Cases, PasteText, ::testing::ValuesIn(kPasteCases), caseName<PasteCase>);

// Copy puts the rows on the clipboard as a spreadsheet reads them, and the
// entries stay the paste of this program's own copy.
TEST_F(SpreadsheetHabits, CopyGivesTabSeparatedRowsUnderTheTitlesAndKeepsTheEntries) {
    start();
    selectRows(kReceive, 2, 3);
    key(Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([] { return QGuiApplication::clipboard()->text().size() > 0; }));
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << QGuiApplication::clipboard()->text().toStdString();
    EXPECT_TRUE(lines[0].startsWith("Slot\tChannel\tReceive kHz\tTransmit kHz\tMode\t"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("2\t2\t2010.0\t")) << lines[1].toStdString();
    EXPECT_EQ(lines[2].split('\t').size(), lines[0].split('\t').size());

    clickCell(kChannel, 8);
    prompter_.answerNext(PromptAnswer::Ok); // pasting over used rows asks
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(waitFor([&] { return column(kChannel, 8, 9) == column(kChannel, 2, 3); }));
    EXPECT_TRUE(prompter_.scriptUsed()) << "the entries went back whole, not value by value";
}

// Find as the user types; Enter and F3 go on, Shift+F3 back, both wrapping.
TEST_F(SpreadsheetHabits, FindMovesTheCursorThroughTheMatchesAndEscapeLeavesItThere) {
    start();
    clickCell(kChannel, 2);
    key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return sheet()->FinderIfOpen() && sheet()->Finder().IsOpen(); }));
    type("100");
    SheetFinder& finder = sheet()->Finder();
    const auto at = [&](int col, int row, const std::string& count) {
        return sheet()->Grid()->Col() == col && sheet()->Grid()->Row() == row &&
               finder.CountLabel()->text().toStdString() == count;
    };
    // "100" is channel 100 and the receive frequencies 2100.0 (row 11), 3100.0,
    // 4100.0, 5100.0 and 6100.0 (rows 111 to 411); a transmit cell equal to its
    // receive shows "<-".
    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers;
        int col;
        int row;
        const char* count;
    };
    EXPECT_TRUE(waitFor([&] { return at(kReceive, 11, "1 of 6"); }));
    for (const Step& s : {Step{Qt::Key_Return, {}, kChannel, 100, "2 of 6"},
                          Step{Qt::Key_F3, {}, kReceive, 111, "3 of 6"},
                          Step{Qt::Key_F3, Qt::ShiftModifier, kChannel, 100, "2 of 6"},
                          Step{Qt::Key_F3, Qt::ShiftModifier, kReceive, 11, "1 of 6"},
                          Step{Qt::Key_F3, Qt::ShiftModifier, kReceive, 411, "6 of 6"},
                          Step{Qt::Key_Return, {}, kReceive, 11, "1 of 6"}}) {
        key(s.key, s.modifiers);
        EXPECT_TRUE(waitFor([&] { return at(s.col, s.row, s.count); }))
            << s.count << " " << finder.CountLabel()->text().toStdString();
    }
    finder.Edit()->selectAll();
    type("5100,0"); // the decimal comma many operators write
    EXPECT_TRUE(waitFor([&] { return at(kReceive, 311, "1 of 1"); }));
    type("9");
    EXPECT_TRUE(waitFor([&] { return finder.CountLabel()->text() == "no match"; }));
    key(Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return !finder.IsOpen() && sheet()->Grid()->hasFocus(); }));
    EXPECT_EQ(sheet()->Grid()->Row(), 311);
    EXPECT_TRUE(unchanged());
}

// Go to Channel by Ctrl+G, and Find Duplicates from the Edit menu.
TEST_F(SpreadsheetHabits, GoToChannelAndFindDuplicates) {
    start();
    menuPath({"&Edit", "Find Duplic&ates"});
    EXPECT_TRUE(waitFor([&] { return lastBox().starts_with("No two channels"); })) << lastBox();

    // Channel 4 takes channel 3's frequencies: the two share them and the mode.
    clickCell(kReceive, 4);
    type("2020");
    key(Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return cellText(kReceive, 4) == "2020.0"; }));
    menuPath({"&Edit", "Find Duplic&ates"});
    EXPECT_TRUE(waitFor([&] { return lastBox().starts_with("2 channels share"); })) << lastBox();
    EXPECT_EQ(sheet()->SelectedRows(), (std::vector<int>{3, 4}));

    struct GoTo {
        const char* number;
        int row;             // where the cursor goes; -1 stays
        const char* message; // the box, or null
    };
    for (const GoTo& g : {GoTo{"42", 42, nullptr}, GoTo{"4711", -1, "no channel 4711"}}) {
        const int row = sheet()->Grid()->Row();
        prompter_.clear();
        prompter_.enterNextValues(std::vector<std::string>{g.number});
        key(Qt::Key_G, Qt::ControlModifier);
        ASSERT_TRUE(waitFor([&] { return prompter_.scriptUsed(); }));
        EXPECT_EQ(sheet()->Grid()->Row(), g.row < 0 ? row : g.row) << g.number;
        EXPECT_EQ(lastBox(), g.message != nullptr ? g.message : "Channel number") << g.number;
    }
}

// Paste Rows from the Edit menu (Alt+E, P) and from the context menu, offered
// as Ctrl+V takes the clipboard: this program's own rows go back whole, text
// from elsewhere value by value; with neither, Paste is greyed and picking it
// changes nothing. The clipboard changes after the cursor is placed, and the
// menus last saw the opposite, so they must follow it both ways.
enum class Clip { OwnRows, Text, Empty, Image };

struct MenuPasteCase {
    const char* name;
    Clip clip;
    const char* text;
    int col;
    int row;
    std::int32_t slot; // saved with this receive frequency
    std::int32_t receive;
    std::vector<std::tuple<int, int, std::string>> shown; // col, row, text; empty: greyed
};

const MenuPasteCase kMenuPasteCases[] = {
    {"OwnRows",
     Clip::OwnRows,
     "",
     kChannel,
     8,
     8,
     2'020'000,
     {{kChannel, 8, "2"}, {kChannel, 9, "3"}}},
    {"ForeignTable",
     Clip::Text,
     "7100\t7200\r\n7300\t7400\r\n",
     kReceive,
     2,
     2,
     7'300'000,
     {{kReceive, 2, "7100.0"}, {kTransmit, 2, "7200.0"}, {kTransmit, 3, "7400.0"}}},
    {"SingleValue", Clip::Text, "7123.4", kReceive, 2, 1, 7'123'400, {{kReceive, 2, "7123.4"}}},
    {"Empty", Clip::Empty, "", kReceive, 2, 0, 0, {}},
    {"ImageOnly", Clip::Image, "", kReceive, 2, 0, 0, {}},
};

using MenuPasteParam = std::tuple<bool, std::size_t>; // by the Edit menu, case

class MenuPaste : public SpreadsheetHabits, public ::testing::WithParamInterface<MenuPasteParam> {
protected:
    // Opens the menu and picks Paste Rows, enabled or not; returns whether it was.
    bool pickPaste() {
        const bool editMenu = std::get<0>(GetParam());
        if (editMenu)
            menuPath({"&Edit"});
        else
            clickCell(sheet()->Grid()->Col(), sheet()->Grid()->Row(), Qt::RightButton);
        QMenu* menu = waitForPopup();
        const auto actions = menu != nullptr ? menu->actions() : QList<QAction*>();
        const auto item = std::find_if(actions.begin(), actions.end(), [](QAction* a) {
            return a->isVisible() && plain(a->text()) == "Paste Rows";
        });
        if (item == actions.end()) {
            ADD_FAILURE() << "no Paste Rows";
            return false;
        }
        const bool enabled = (*item)->isEnabled();
        if (editMenu)
            key(Qt::Key_P);
        else
            click(menu, Qt::LeftButton, {}, menu->actionGeometry(*item).center());
        if (!enabled && QApplication::activePopupWidget() != nullptr)
            key(Qt::Key_Escape);
        EXPECT_TRUE(waitForNoPopup());
        return enabled;
    }
};

TEST_P(MenuPaste, IsOfferedAsCtrlVTakesTheClipboardAndPastesAlike) {
    const MenuPasteCase& c = kMenuPasteCases[std::get<1>(GetParam())];
    start();
    QClipboard& clipboard = *QGuiApplication::clipboard();
    if (c.clip == Clip::OwnRows) {
        selectRows(kChannel, 2, 3);
        key(Qt::Key_C, Qt::ControlModifier);
        prompter_.answerNext(PromptAnswer::Ok); // pasting over used rows asks
    } else if (c.shown.empty()) {
        clipboard.setText("7000");
    } else {
        clipboard.clear();
    }
    cursorTo(c.col, c.row);
    if (c.clip == Clip::Text) {
        clipboard.setText(QString::fromUtf8(c.text));
    } else if (c.clip == Clip::Empty) {
        clipboard.clear();
    } else if (c.clip == Clip::Image) {
        auto* data = new QMimeData;
        data->setImageData(QImage(4, 4, QImage::Format_RGB32));
        clipboard.setMimeData(data);
    }
    QCoreApplication::processEvents();

    const bool offered = pickPaste();
    if (c.shown.empty()) {
        EXPECT_FALSE(offered);
        QCoreApplication::processEvents();
        EXPECT_TRUE(unchanged());
        return;
    }
    ASSERT_TRUE(offered);
    const auto matches = [&] {
        return std::all_of(c.shown.begin(), c.shown.end(), [&](const auto& cell) {
            return cellText(std::get<0>(cell), std::get<1>(cell)) == std::get<2>(cell);
        });
    };
    ASSERT_TRUE(waitFor(matches)) << lastBox() << "|" << cellText(c.col, c.row);
    EXPECT_TRUE(prompter_.scriptUsed()) << "own rows go back whole, after the question";
    const std::unique_ptr<MemoryImage> file = saved();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(channelOf(*file, c.slot).rxFrequency, c.receive);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MenuPaste,
    ::testing::Combine(::testing::Bool(),
                       ::testing::Range<std::size_t>(0, std::size(kMenuPasteCases))),
    [](const ::testing::TestParamInfo<MenuPasteParam>& test) {
        return std::string(std::get<0>(test.param) ? "EditMenu_" : "ContextMenu_") +
               kMenuPasteCases[std::get<1>(test.param)].name;
    });

} // namespace
