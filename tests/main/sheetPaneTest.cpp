// The main window as a user meets it: the tree, the sheets it opens, the
// commands of the window, the command line and the way out.
#include "controllerFixture.h"

#include "document/commandLine.h"
#include "main/aboutBox.h"
#include "main/mainWindow.h"
#include "platform/programPath.h"
#include "radio/cellLabels.h"
#include "support/eventLoop.h"
#include "views/grid.h"
#include "views/menu.h"
#include "views/sheet.h"
#include "views/tree.h"

#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>

#include <algorithm>

using namespace marlo;

namespace {

class SheetPaneTest : public ControllerTest {
protected:
    ~SheetPaneTest() override {
        form_.reset();
        controller_.reset();
    }

    // The window up and the first node's sheet shown.
    MainWindow& open(std::vector<std::string> args = {"marlo"}) {
        form_ = std::make_unique<MainWindow>(makeController(std::move(args)));
        EXPECT_TRUE(runEventLoopUntil([&] { return form_->isVisible(); }));
        form_->activateWindow();
        EXPECT_TRUE(runEventLoopUntil([&] { return controller_->ShownSheet() != nullptr; }));
        return *form_;
    }

    // Replaces the lines of one overlay entry before the controller is made.
    void replaceEntry(const std::string& key, const std::vector<std::string>& lines) {
        auto at = std::find(overlayLines_.begin(), overlayLines_.end(), "#" + key);
        ASSERT_NE(at, overlayLines_.end()) << key;
        auto end = std::find_if(at + 1, overlayLines_.end(),
                                [](const std::string& l) { return !l.empty() && l[0] == '#'; });
        at = overlayLines_.erase(at + 1, end);
        overlayLines_.insert(at, lines.begin(), lines.end());
        overlayPointers_.clear();
        for (const auto& line : overlayLines_)
            overlayPointers_.push_back(line.c_str());
        overlay_.SetLines(overlayPointers_);
    }

    // Selects a tree node and waits for its sheet.
    void select(QTreeWidgetItem* node) {
        const CellModel* model = controller_->Tree()->ModelOf(node);
        ASSERT_TRUE(model != nullptr && model->parameter);
        controller_->Tree()->View()->setCurrentItem(node);
        ASSERT_TRUE(runEventLoopUntil([&] {
            return controller_->ShownDescriptor() == *model->parameter;
        })) << *model->parameter;
    }

    QTreeWidgetItem* nodeNamed(const QString& text) {
        const auto found =
            controller_->Tree()->View()->findItems(text, Qt::MatchStartsWith | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }

    Grid& grid() { return *controller_->ShownSheet()->Grid(); }

    std::unique_ptr<MainWindow> form_;
};

TEST_F(SheetPaneTest, ComingBackToASheetFindsItsCursorAndScrollAgain) {
    MainWindow& form = open();
    form.resize(700, 400);
    select(nodeNamed("User Channels"));
    Sheet& channels = *controller_->ShownSheet();
    channels.SetCursor(3, 40);
    const Sheet::Position before = channels.CurrentPosition();
    ASSERT_GT(before.topRow, 1) << "the grid scrolled to the cursor";

    select(nodeNamed("Scanning"));
    EXPECT_NE(controller_->ShownSheet()->CurrentPosition().row, before.row);
    select(nodeNamed("User Channels"));
    const Sheet::Position after = controller_->ShownSheet()->CurrentPosition();
    EXPECT_EQ(after.col, before.col);
    EXPECT_EQ(after.row, before.row);
    EXPECT_EQ(after.leftCol, before.leftCol);
    EXPECT_EQ(after.topRow, before.topRow);
    // One remembered position per sheet, the newest first.
    const auto& positions = controller_->RememberedPositions();
    ASSERT_EQ(positions.size(), 3U); // the first node's sheet, shown at start, too
    EXPECT_EQ(positions.front().key, "GI_Sheet_Common_Scan");
    EXPECT_EQ(std::count_if(positions.begin(), positions.end(),
                            [](const auto& p) { return p.key == "GI_Sheet_UserCh"; }),
              1);
}

TEST_F(SheetPaneTest, FocusStaysWithTheGridOrTheTreeAcrossSheets) {
    open();
    QTreeWidget* tree = controller_->Tree()->View();
    tree->setFocus();
    ASSERT_TRUE(runEventLoopUntil([&] { return tree->hasFocus(); }));
    select(nodeNamed("User Channels"));
    EXPECT_TRUE(tree->hasFocus());

    grid().setFocus();
    ASSERT_TRUE(runEventLoopUntil([&] { return grid().hasFocus(); }));
    controller_->OpenSheet("GI_Sheet_AleId");
    EXPECT_TRUE(grid().hasFocus());
    EXPECT_EQ(controller_->ShownSheet()->Key(), "GI_Sheet_AleId");
}

TEST_F(SheetPaneTest, ReselectingTheShownNodeKeepsItsSheet) {
    open();
    QTreeWidget* tree = controller_->Tree()->View();
    QTreeWidgetItem* first = controller_->Tree()->FirstNode();
    ASSERT_EQ(tree->currentItem(), first);
    QPointer<Grid> shown = &grid();
    tree->clearSelection();
    tree->setCurrentItem(nullptr);
    tree->setCurrentItem(first);
    runEventLoopFor(400); // past the tree's selection delay
    EXPECT_EQ(shown.data(), &grid());
}

// The first node's sheet is there as soon as the window is, not a tick later.
TEST_F(SheetPaneTest, TheFirstNodesSheetComesWithTheWindow) {
    form_ = std::make_unique<MainWindow>(makeController());
    ASSERT_NE(controller_->ShownSheet(), nullptr);
    const CellModel* first = controller_->Tree()->ModelOf(controller_->Tree()->FirstNode());
    ASSERT_TRUE(first != nullptr && first->parameter);
    EXPECT_EQ(controller_->ShownDescriptor(), *first->parameter);
}

TEST_F(SheetPaneTest, TheFirstNodeNamesTheVariant) {
    settings_->ModelType = 1;
    open();
    EXPECT_EQ(controller_->Tree()->FirstNode()->text(0).toStdString(),
              "Radio" + overlayLine("GI_AppInd_Model", 1));
}

// Every sheet the tree leads to builds and shows cells, in both variants and
// in every mode, in the real window.
TEST_F(SheetPaneTest, EveryNodeOpensASheetWithCellsInEveryVariantAndMode) {
    const std::vector<std::vector<std::string>> modes = {
        {"marlo"}, {"marlo", "/expert"}, {"marlo", "/factory"}};
    for (int variant = 0; variant < 2; ++variant) {
        for (const auto& args : modes) {
            settings_->ModelType = static_cast<std::uint8_t>(variant);
            open(args);
            const std::string where = "variant " + std::to_string(variant) + " " + args.back();
            int nodes = 0;
            for (QTreeWidgetItemIterator it(controller_->Tree()->View()); *it; ++it) {
                select(*it);
                Sheet& sheet = *controller_->ShownSheet();
                ASSERT_TRUE(sheet.Grid()->isVisible()) << where << " " << sheet.Key();
                int shown = 0;
                for (int r = 0; r < sheet.Def().RowCount() && shown == 0; ++r)
                    for (int c = 0; c < sheet.Def().ColCount(); ++c)
                        shown += sheet.ShownText(c, r).empty() ? 0 : 1;
                EXPECT_GT(shown, 0) << where << " " << sheet.Key();
                ++nodes;
            }
            EXPECT_GE(nodes, 13) << where;
            form_.reset();
            controller_.reset();
        }
    }
}

TEST_F(SheetPaneTest, TheTreeMarksTheSheetsTheWarningsCheckFindsFaultyAndClearsThemAgain) {
    open();
    // The shipped initial file: nothing in it to warn about.
    ASSERT_EQ(controller_->OpenFile(programDir() + "Marlo_Variant0.vcf"), 0);
    int errors = 0;
    int warnings = 0;
    controller_->CheckWarnings(errors, warnings);
    EXPECT_EQ(errors, 0);
    QTreeWidgetItem* edges = nodeNamed("Band Edges");
    ASSERT_NE(edges, nullptr);
    EXPECT_EQ(Tree::MarkOf(edges), -1);
    MemoryImage& image = controller_->CurrentImage();
    MemoryImage good;
    good.Assign(image);
    for (std::int32_t a = 0x02C0; a <= 0x6C1F; ++a)
        image.SetByte(a, 0xFF); // an erased memory: no usable edges
    controller_->CheckWarnings(errors, warnings);
    EXPECT_GT(errors, 0);
    EXPECT_EQ(Tree::MarkOf(edges), Tree::kErrorOverlay);
    image.Assign(good);
    controller_->CheckWarnings(errors, warnings);
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(Tree::MarkOf(edges), -1);
}

// The main menu's Edit item shows the focused sheet's context menu and nothing
// else; with no sheet focused, the single "No item" entry. Refreshes, quick
// focus changes and late hub messages leave no stray entries behind.
TEST_F(SheetPaneTest, TheEditMenuShowsTheSheetsItemsOrNoItemNeverBoth) {
    open();
    QAction* edit = controller_->MainMenu()->FindByLabel(CellLabel::CL_Menu_Edit_Top);
    ASSERT_TRUE(edit != nullptr && edit->menu() != nullptr);
    const auto shown = [](QMenu* menu) {
        std::vector<std::string> out;
        for (QAction* a : menu->actions())
            if (a->isVisible() && !a->isSeparator())
                out.push_back(a->text().toStdString());
        return out;
    };
    const auto settle = [&] {
        for (int i = 0; i < 3; ++i)
            hub_.Send(evRefreshMenus);
        runEventLoopFor(100); // past the hub's queue
    };
    // Undo and Redo stand above whatever the sheet offers, the sheet commands
    // below it.
    const std::vector<std::string> undoRedo{"U&ndo", "Red&o"};
    const std::vector<std::string> sheetCommands{"Fill Do&wn", "Fill &Series...", "&Find...",
                                                 "&Go to Channel...", "Find Duplic&ates"};
    std::vector<std::string> noItem{"U&ndo", "Red&o", "No item"};
    noItem.insert(noItem.end(), sheetCommands.begin(), sheetCommands.end());
    QTreeWidget* tree = controller_->Tree()->View();
    for (const char* node : {"User Channels", "Scanning", "User Channels"}) {
        SCOPED_TRACE(node);
        tree->setFocus();
        select(nodeNamed(node));
        grid().setFocus();
        ASSERT_TRUE(runEventLoopUntil([&] { return grid().hasFocus(); }));
        settle();
        const std::vector<std::string> sheetItems = shown(controller_->ShownSheet()->ContextMenu());
        ASSERT_FALSE(sheetItems.empty());
        std::vector<std::string> expected = undoRedo;
        expected.insert(expected.end(), sheetItems.begin(), sheetItems.end());
        expected.insert(expected.end(), sheetCommands.begin(), sheetCommands.end());
        EXPECT_EQ(shown(edit->menu()), expected);
        const auto entries = edit->menu()->actions().size();
        settle();
        EXPECT_EQ(edit->menu()->actions().size(), entries) << "refreshes add nothing";

        tree->setFocus();
        ASSERT_TRUE(runEventLoopUntil([&] { return tree->hasFocus(); }));
        settle();
        EXPECT_EQ(shown(edit->menu()), noItem);
        // With the separators under Redo and above the sheet commands.
        EXPECT_EQ(edit->menu()->actions().size(), 10);
    }
}

TEST_F(SheetPaneTest, TheToolbarToggleFlipsTheSettingAndTheBar) {
    settings_->ToolbarVisible = 1;
    open();
    controller_->ToggleToolbar();
    EXPECT_EQ(settings_->ToolbarVisible, 0);
    EXPECT_FALSE(form_->findChild<QToolBar*>()->isVisible());
    controller_->ToggleToolbar();
    EXPECT_TRUE(form_->findChild<QToolBar*>()->isVisible());
}

TEST_F(SheetPaneTest, TheAboutBoxOpensOnItsNotificationAndItsButtonClosesIt) {
    open();
    hub_.Post(evShowAbout);
    AboutBox* box = nullptr;
    ASSERT_TRUE(runEventLoopUntil([&] {
        box = form_->findChild<AboutBox*>();
        return box != nullptr && box->isVisible();
    }));
    EXPECT_EQ(box->windowTitle().toStdString(), overlayLine("GI_App_About_Caption"));
    EXPECT_TRUE(box->Text().contains(QString::fromStdString(overlayLine("GI_Sys_AppTitleRev"))));
    box->Button()->click();
    EXPECT_TRUE(runEventLoopUntil([&] { return form_->findChild<AboutBox*>() == nullptr; }));
}

TEST(CommandLineFile, TheFirstWordThatIsNoSwitchIsTheFile) {
    struct Case {
        std::vector<std::string> args;
        std::string file;
    };
    const Case cases[] = {
        {{"marlo"}, ""},
        {{"/usr/bin/marlo", "/EXPERT", "/Factory", "/gene"}, ""},
        {{"marlo", "/expert", "plan.vcf"}, "plan.vcf"},
        {{"marlo", "/home/op/plan.vcf", "/gene"}, "/home/op/plan.vcf"},
        {{"marlo", "/expert=1"}, "/expert=1"},
        {{"marlo", "a.vcf", "b.vcf"}, "a.vcf"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(commandLineFile(c.args), c.file) << c.args.back();
}

TEST_F(SheetPaneTest, AFileOnTheCommandLineOpensAfterStartUp) {
    MemoryImage image;
    makeInitialImage(image, 1);
    image.SetByte(0x2BB, 'Z');
    const std::string path = install_->filePath("Plan.vcf").toStdString();
    writeCloneFile(path, image);
    open({"marlo", "/Expert", path});
    ASSERT_TRUE(runEventLoopUntil([&] { return controller_->DocumentName() == path; }));
    EXPECT_EQ(controller_->CurrentImage().GetByte(0x2BB), 'Z');
    EXPECT_EQ(controller_->ModelVariant(), 1);
    EXPECT_TRUE(controller_->ExpertMode());
    EXPECT_EQ(form_->windowHandle()->title().toStdString(),
              "Plan.vcf - " + overlayLine("GI_Sys_AppTitle"));
}

TEST_F(SheetPaneTest, AFileDroppedOnTheWindowOpensAsOpenDoes) {
    MemoryImage image;
    makeInitialImage(image, 0);
    const std::string path = install_->filePath("Dropped.vcf").toStdString();
    writeCloneFile(path, image);
    MainWindow& form = open();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    EXPECT_TRUE(runEventLoopUntil([&] { return controller_->DocumentName() == path; }));

    QMimeData text;
    text.setText("not a file");
    QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(&form, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST(WindowSize, StoredSizesBecomeUsableOnTheWorkArea) {
    const WindowBounds area{0, 0, 800, 600};
    struct Case {
        int width, height, expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {640, 480, 640, 480},               // fits: kept
        {0, 0, 600, 450},                   // never stored: three quarters
        {-5000, 300, 600, 450},             // nonsense: as never stored
        {2147483647, 2147483647, 800, 600}, // larger than the screen
        {100, 50, 400, 200},                // below the smallest window
    };
    for (const Case& c : cases) {
        const WindowBounds got = saneWindowSize({10, 20, c.width, c.height}, area);
        EXPECT_EQ(got.width, c.expectedWidth) << c.width;
        EXPECT_EQ(got.height, c.expectedHeight) << c.height;
        EXPECT_EQ(got.left, 10);
    }
}

TEST_F(SheetPaneTest, NonsenseGeometryGivesAWindowWithBothPanesAndSavesSaneValues) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    settings_->Width = 2147483647;
    settings_->Height = -5000;
    settings_->SplitterV = 5000;
    MainWindow& form = open();
    EXPECT_LE(form.width(), screen.width());
    EXPECT_LE(form.height(), screen.height());
    ASSERT_TRUE(runEventLoopUntil([&] { return controller_->RightPane()->width() >= 100; }))
        << controller_->RightPane()->width();
    EXPECT_GE(controller_->LeftPane()->width(), 8);

    form.close();
    EXPECT_LE(settings_->Width, screen.width());
    EXPECT_GT(settings_->Height, 0);
    EXPECT_LT(settings_->SplitterV, settings_->Width);
}

TEST_F(SheetPaneTest, ClosingWithChangesAsksAndCancelKeepsTheWindow) {
    MainWindow& form = open();
    controller_->CurrentImage().SetByte(0x2BB, 'Q');
    prompter_.answerNext(PromptAnswer::Cancel);
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(prompter_.shown().size(), 1U);
    EXPECT_TRUE(controller_->TickRunning());

    prompter_.answerNext(PromptAnswer::No);
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(prompter_.scriptUsed());
}

using SheetPaneDeathTest = SheetPaneTest;

TEST_F(SheetPaneDeathTest, ATreeNodeNamingNoSheetEndsWithTheLookupError) {
    replaceEntry("GI_Tree_Main_Body", {"+{(%CT_Null.CallSheet:GI_Sheet_Nowhere)}Lost"});
    EXPECT_EXIT(open(), testing::ExitedWithCode(3), "'GI_Sheet_Nowhere_.*' was not found");
}

TEST_F(SheetPaneDeathTest, ADamagedTreeEntryEndsWithItsMessage) {
    replaceEntry("GI_Tree_Main_Body", {"+{(%CT_Null.CL_NoSuchCell:GI_Sheet_UserCh)}Lost"});
    EXPECT_EXIT(open(), testing::ExitedWithCode(3),
                "Cannot use the specified cell.\n'CL_NoSuchCell'");
}

TEST_F(SheetPaneDeathTest, ADamagedMenuEntryEndsWithItsMessage) {
    replaceEntry("GI_Menu_Main_Body", {"+&File", " +&New\t{(%CT_NoSuchKind.CL_Menu_File_New)}"});
    EXPECT_EXIT(open(), testing::ExitedWithCode(3),
                "Cannot use the specified category.\n'CT_NoSuchKind'");
}

} // namespace
