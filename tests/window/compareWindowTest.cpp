// Compare With Radio and Compare With File, through the menu bar, and the
// comparison window driven by keys and the mouse.
#include "windowFixture.h"

#include "core/modelIdentity.h"
#include "core/portMap.h"
#include "core/undoHistory.h"
#include "document/appCellContext.h"
#include "document/radioBase.h"
#include "exchange/documentDiff.h"
#include "exchange/exchangeLists.h"
#include "main/compareCommands.h"
#include "main/compareWindow.h"
#include "radio/cellLabels.h"
#include "tools/radiosim/radioSim.h"
#include "views/textSheet.h"
#include "views/tree.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>

using namespace marlo;

namespace {

using Lines = std::vector<std::string>;
using namespace CellLabel;

class CompareWindowTest : public WindowTest {
protected:
    ~CompareWindowTest() override {
        form_.reset();
        PortMap::SetOverrides({});
    }

    // The open document with a channel's comment, a telephone
    // name, the memory comment and one byte no cell shows (not of the maker's signature, which a
    // radio keeps) made different.
    void makeOther(MemoryImage& other) {
        other.Assign(controller_->CurrentImage());
        ExchangeCells cells(controller_->CellContext(), other, 0);
        const auto type = [&](const char* list, std::size_t row, std::size_t column,
                              const char* text) {
            const ExchangeList& l = *findExchangeList(list);
            cells.Type(l.rows[row], l.columns[column], text);
        };
        type("channels", 11, 4, "Harbour");
        type("phone", 1, 1, "Office");
        const ExchangeList& settings = *findExchangeList("settings");
        for (const ExchangeRow& row : settings.rows)
            if (row.key == "CloneComm")
                cells.Type(row, settings.columns[0], "RADIO TWO");
        other.SetByte(0x6C3A, static_cast<std::uint8_t>(other.GetByte(0x6C3A) ^ 1));
    }

    Lines differences(MemoryImage& other) {
        Lines lines;
        for (const DiffRow& d :
             compareDocuments(controller_->CellContext(), {controller_->CurrentImage(), 0},
                              {other, 0}, marloModel::cloneRange))
            lines.push_back(describeDiffRow(d));
        return lines;
    }

    // The full document against makeOther's, saved as other.vcf, through the
    // File menu.
    void compareWithFile() {
        open(Document::Full);
        MemoryImage other;
        makeOther(other);
        const std::string path = files_->filePath("other.vcf").toStdString();
        writeCloneFile(path, other);
        prompter_.chooseNextFile(path);
        menuPath({"&File", "Compare With &File..."});
    }

    CompareWindow* window() const {
        CompareCommands* commands = controller_->CompareCommands();
        return commands != nullptr ? commands->Window() : nullptr;
    }
    // Waits for the comparison window to be up and to have the keyboard.
    CompareWindow* activeWindow() {
        waitFor([&] { return window() != nullptr && window()->isVisible(); }, 60000);
        CompareWindow* w = window();
        if (w == nullptr)
            return nullptr;
        // The window manager may still hand the keyboard back to the window
        // whose menu opened this one: it must hold the keyboard for a moment.
        const auto hasKeyboard = [w] {
            return QGuiApplication::focusWindow() == w->window()->windowHandle();
        };
        for (int attempt = 0; attempt < 5; ++attempt) {
            w->activateWindow();
            if (waitFor(hasKeyboard, 5000) && !waitFor([&] { return !hasKeyboard(); }, 300))
                break;
        }
        EXPECT_TRUE(hasKeyboard());
        return w;
    }
    static QPoint rowCentre(TextSheet& sheet, int row) {
        const GridRect r = sheet.Grid()->CellRect(1, row + 1);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
};

// The radio's memory differs from the document in three values and a byte:
// the window lists exactly those, says where each is shown and what each side
// holds, and leaves the document alone; taking every row's value makes a
// document the radio no longer differs from, undone again in one step.
TEST_F(CompareWindowTest, CompareWithRadioListsTheDifferencesAndTakesThemInOneStep) {
    RadioSim sim;
    settings_->ComPort = 7;
    open(Document::Full);
    MemoryImage before;
    before.Assign(controller_->CurrentImage());
    MemoryImage radio;
    makeOther(radio);
    const Lines expected = differences(radio);
    ASSERT_EQ(expected.size(), 4U) << ::testing::PrintToString(expected);
    sim.SetImage(radio);
    ASSERT_TRUE(sim.Start()) << sim.ErrorText();
    settings_->PortDevices = {{7, sim.DevicePath()}};
    PortMap::SetOverrides(settings_->PortDevices);

    menuPath({"&Clone", "Com&pare With Radio..."});
    CompareWindow* compare = activeWindow();
    ASSERT_NE(compare, nullptr) << prompter_.lastText();
    EXPECT_EQ(sim.Stats().readRequests, 1);
    EXPECT_EQ(sim.Stats().writeRequests, 0);
    Lines listed;
    for (const DiffRow& d : compare->Differences())
        listed.push_back(describeDiffRow(d));
    EXPECT_EQ(listed, expected);
    TextSheet& sheet = *compare->Sheet();
    const std::vector<std::string> channelRow{"User Channels", "12", "Comment",
                                              compare->Differences()[0].mine, "Harbour"};
    for (int col = 0; col < 5; ++col)
        EXPECT_EQ(sheet.ShownText(col, 1), channelRow[static_cast<std::size_t>(col)]) << col;
    EXPECT_EQ(sheet.ShownText(4, 0), "Radio");
    EXPECT_TRUE(controller_->CurrentImage().Equals(before));
    EXPECT_FALSE(controller_->IsModified());
    // What the radio holds is known now, for Write Changes.
    ASSERT_NE(controller_->RadioBase(), nullptr);
    EXPECT_TRUE(controller_->RadioBase()->image.Equals(radio));

    // Every row: the first clicked, the last with Shift; then the button's key.
    click(sheet.Grid()->viewport(), Qt::LeftButton, {}, rowCentre(sheet, 0));
    click(sheet.Grid()->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowCentre(sheet, 3));
    key(Qt::Key_T, Qt::AltModifier);
    ASSERT_TRUE(waitFor([&] { return compare->Differences().empty(); })) << prompter_.lastText();
    EXPECT_EQ(differences(radio), Lines{});
    EXPECT_TRUE(controller_->IsModified());
    EXPECT_EQ(controller_->History().UndoName(), "Take Other's Value");

    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return controller_->CurrentImage().Equals(before); }));
    EXPECT_FALSE(controller_->History().CanUndo());
}

// Enter on a row, or a double-click on it, shows its cell in the main window:
// the sheet opened, the tree on its node, the cursor on the cell.
TEST_F(CompareWindowTest, EnterOrADoubleClickShowsTheCell) {
    compareWithFile();
    CompareWindow* compare = activeWindow();
    ASSERT_NE(compare, nullptr) << prompter_.lastText();
    ASSERT_EQ(compare->Differences().size(), 4U);
    EXPECT_EQ(compare->Sheet()->ShownText(4, 0), "other.vcf");

    const struct {
        int row;
        bool doubleClick;
        const char* descriptor;
        std::int32_t label;
        std::int32_t index;
    } rows[] = {
        {0, false, "GI_Sheet_UserCh", CL_UCh_Comment, 11},
        {1, true, "GI_Sheet_TelNumber", CL_TelNumber_Name, 1},
        {3, false, "GI_Sheet_RawBytes", CL_EeDebugWin_A, 0x6C3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.descriptor);
        compare = activeWindow();
        ASSERT_NE(compare, nullptr);
        TextSheet& list = *compare->Sheet();
        if (row.doubleClick) {
            QTest::mouseDClick(list.Grid()->viewport(), Qt::LeftButton, {},
                               rowCentre(list, row.row));
        } else {
            click(list.Grid()->viewport(), Qt::LeftButton, {}, rowCentre(list, row.row));
            key(Qt::Key_Return);
        }
        ASSERT_TRUE(waitFor([&] { return controller_->ShownDescriptor() == row.descriptor; }));
        Sheet* shown = sheet();
        ASSERT_NE(shown, nullptr);
        const CellModel& cell = shown->Cell(shown->Grid()->Col(), shown->Grid()->Row()).model;
        EXPECT_EQ(cell.label, row.label);
        EXPECT_EQ(cell.index, row.index);
        const CellModel* node = controller_->Tree()->SelectedModel();
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->parameter.value_or(""), row.descriptor);
        // The main window comes to the front before the list takes the keyboard
        // back for the next row.
        EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get(), 20000));
    }
}

// Print: the list on paper as a sheet is printed, every row with its values.
TEST_F(CompareWindowTest, PrintPutsTheListOnPaper) {
    compareWithFile();
    ASSERT_NE(activeWindow(), nullptr);
    const QString pdf = files_->filePath("compare.pdf");
    prompter_.printNextToFile(pdf.toStdString());
    key(Qt::Key_P, Qt::AltModifier);
    ASSERT_TRUE(waitFor([&] { return QFileInfo(pdf).size() > 1000; }));
    waitFor([] { return false; }, 300);
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const std::string printed = text.readAllStandardOutput().toStdString();
    for (const char* shown : {"other.vcf", "Harbour", "Telephone Numbers", "RADIO TWO", "0x6C3A"})
        EXPECT_NE(printed.find(shown), std::string::npos) << shown << "\n" << printed;
}

} // namespace
