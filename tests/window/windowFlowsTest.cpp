// Whole flows through the real window, each ending with what a person checks.
#include "windowFixture.h"

#include "core/cloneFile.h"
#include "core/modelIdentity.h"
#include "radio/listRecord.h"
#include "support/eventLoop.h"
#include "views/sheet.h"
#include "views/toolBar.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeySequence>
#include <QToolBar>

using namespace marlo;

namespace {

class WindowFlows : public WindowTest {
public:
    // For the table's steps.
    void clickCellOf(int col, int row) { clickCell(col, row); }
    void typeText(const char* text) { type(text); }
    void pressKey(int k) { key(k); }
    bool modified() const { return controller_->IsModified(); }
    bool waitUntil(const std::function<bool()>& condition) { return waitFor(condition); }
    // Lets late notifications arrive, as a person's next look at the window would.
    void settle() { runEventLoopFor(200); }
    std::string shownText(int col, int row) const { return cellText(col, row); }
    std::string title() const { return caption(); }
    ScriptedPrompter& prompts() { return prompter_; }
    MemoryImage& document() { return controller_->CurrentImage(); }
    MemoryImage& reference() { return controller_->ReferenceImage(); }
    SettingsStore& settings() { return *settings_; }
    QToolBar* toolBar() const { return controller_->ToolBar()->Widget(); }
    bool windowEnabled() const { return form_->isEnabled(); }
    bool windowVisible() const { return form_->isVisible(); }
    int rowHeight() const {
        const GridRect r = sheet()->Grid()->CellRect(1, 1);
        return r.Height();
    }
    QString pathQ(const char* name) const { return files_->filePath(name); }
    // A path in the test's folder; `fullDocument` first writes a full document there.
    std::string path(const char* name, bool fullDocument) {
        return fullDocument ? writeFullDocument(name) : pathQ(name).toStdString();
    }
    int startRowHeight = 0;
};

TEST_F(WindowFlows, AChannelTypedInAndSavedAsThroughTheMenuBarReachesTheFile) {
    open(Document::Full);
    showSheet("User Channels");
    clickCell(1, 3); // the channel number of slot 2 (row 0 is the header)
    type("777");
    key(Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return controller_->IsModified(); }));
    EXPECT_EQ(cellText(1, 3), "777");

    const std::string path = files_->filePath("saved.vcf").toStdString();
    prompter_.chooseNextFile(path);
    menuPath({"&File", "Save &As..."});
    ASSERT_TRUE(waitFor([&] { return !controller_->IsModified(); }));
    EXPECT_TRUE(prompter_.scriptUsed());
    EXPECT_NE(caption().find("saved"), std::string::npos) << caption();
    const auto saved = loadCloneFile(path);
    ListRecord entry(saved.get());
    entry.Load(listUserChannel, 2);
    EXPECT_EQ(entry.channelNumber, 777u);
    entry.Load(listUserChannel, 3);
    EXPECT_EQ(entry.channelNumber, 4u);
}

// Every command of the main window, reached by its shortcut or through the
// menu bar by Alt and letters, each ending with what a person would check.
struct Flow {
    const char* name;
    // A shortcut ("Ctrl+S") or a menu path ("&File>Save &As...").
    const char* input;
    std::function<void(WindowFlows&)> arrange;
    std::function<void(WindowFlows&)> check;
};

// A channel typed into its cell and left there, its editor still open.
void typeChannel(WindowFlows& t) {
    t.clickCellOf(1, 3);
    t.typeText("777");
    ASSERT_FALSE(t.modified());
}

void editChannel(WindowFlows& t) {
    t.clickCellOf(1, 3);
    t.typeText("777");
    t.pressKey(Qt::Key_Return);
    ASSERT_TRUE(t.modified());
}

const Flow kFlows[] = {
    {"NewDiscardsAfterAsking", "Ctrl+N",
     [](WindowFlows& t) {
         editChannel(t);
         t.prompts().answerNext(PromptAnswer::No); // do not save
     },
     [](WindowFlows& t) {
         EXPECT_TRUE(t.waitUntil([&] { return t.title().starts_with("Untitled"); })) << t.title();
         EXPECT_FALSE(t.modified());
         EXPECT_TRUE(t.document().Equals(t.reference()));
     }},
    {"NewCountsTheTypedCellAndDiscardsIt", "Ctrl+N",
     [](WindowFlows& t) {
         typeChannel(t);
         t.prompts().answerNext(PromptAnswer::No);
     },
     [](WindowFlows& t) {
         EXPECT_TRUE(t.waitUntil([&] { return t.title().starts_with("Untitled"); })) << t.title();
         t.settle();
         EXPECT_FALSE(t.modified());
         EXPECT_TRUE(t.document().Equals(t.reference()));
     }},
    {"OpenCancelledAtTheQuestionKeepsTheTypedCell", "Ctrl+O",
     [](WindowFlows& t) {
         typeChannel(t);
         t.prompts().chooseNextFile(t.path("other.vcf", true));
         t.prompts().answerNext(PromptAnswer::Cancel);
     },
     [](WindowFlows& t) {
         t.settle();
         EXPECT_TRUE(t.title().starts_with("full.vcf")) << t.title();
         EXPECT_TRUE(t.modified());
         EXPECT_EQ(t.shownText(1, 3), "777");
     }},
    {"OpenReadsTheChosenFile", "Ctrl+O",
     [](WindowFlows& t) { t.prompts().chooseNextFile(t.path("other.vcf", true)); },
     [](WindowFlows& t) {
         EXPECT_TRUE(t.waitUntil([&] { return t.title().starts_with("other.vcf"); })) << t.title();
         EXPECT_TRUE(t.document().Equals(*loadCloneFile(t.path("other.vcf", false))));
     }},
    {"SaveWritesTheDocumentsOwnFile", "Ctrl+S", editChannel,
     [](WindowFlows& t) {
         EXPECT_TRUE(t.waitUntil([&] { return !t.modified(); }));
         EXPECT_TRUE(t.document().Equals(*loadCloneFile(t.path("full.vcf", false))));
         EXPECT_TRUE(t.title().starts_with("full.vcf")) << t.title();
     }},
    {"SaveAsWritesTheDocument", "&File>Save &As...",
     [](WindowFlows& t) { t.prompts().chooseNextFile(t.path("copy.vcf", false)); },
     [](WindowFlows& t) {
         EXPECT_TRUE(t.waitUntil([&] { return t.title().starts_with("copy.vcf"); })) << t.title();
         EXPECT_TRUE(t.document().Equals(*loadCloneFile(t.path("copy.vcf", false))));
     }},
    {"PrintSheetToPdf", "Ctrl+P",
     [](WindowFlows& t) { t.prompts().printNextToFile(t.path("sheet.pdf", false)); },
     [](WindowFlows& t) {
         EXPECT_TRUE(t.waitUntil([&] { return QFileInfo(t.pathQ("sheet.pdf")).size() > 1000; }));
         EXPECT_EQ(t.prompts().printerSetups(), 1);
     }},
    {"ToolbarHidesFromTheViewMenu", "&View>&Toolbar", [](WindowFlows&) {},
     [](WindowFlows& t) { EXPECT_TRUE(t.waitUntil([&] { return !t.toolBar()->isVisible(); })); }},
    {"FontSizeFromTheViewMenu", "&View>&Font Size>&200 %", [](WindowFlows&) {},
     [](WindowFlows& t) {
         EXPECT_TRUE(t.waitUntil([&] { return t.settings().FontSizePercentage == 200; }));
         // The sheet came back with the bigger font: taller rows.
         EXPECT_TRUE(t.waitUntil([&] { return t.rowHeight() > t.startRowHeight; }));
     }},
    {"SerialPortFromThePortMenu", "&Port>Serial Port &2 (ttyS1)", [](WindowFlows&) {},
     [](WindowFlows& t) { EXPECT_TRUE(t.waitUntil([&] { return t.settings().ComPort == 2; })); }},
    {"VariantChangeStartsItsInitialDocument", "&Clone>Radio &Variant>&General",
     [](WindowFlows& t) { t.prompts().answerNext(PromptAnswer::Ok); },
     [](WindowFlows& t) {
         EXPECT_TRUE(t.waitUntil([&] { return t.settings().ModelType == 1; }));
         EXPECT_TRUE(t.title().starts_with("Untitled")) << t.title();
         EXPECT_EQ(t.document().GetByte(0x2B1), 1);
     }},
    {"CloneReadWithoutARadioSaysSoAndKeepsTheDocument", "&Clone>&Read from Radio...",
     [](WindowFlows& t) { t.settings().PortDevices[1] = t.path("no-such-port", false); },
     [](WindowFlows& t) {
         EXPECT_TRUE(t.waitUntil([&] { return !t.prompts().shown().empty(); }));
         EXPECT_TRUE(t.waitUntil([&] { return t.windowEnabled(); }));
         EXPECT_FALSE(t.modified());
         EXPECT_TRUE(t.title().starts_with("full.vcf")) << t.title();
     }},
    {"AboutBoxOpensAndEscapeClosesIt", "&Help>&About Marlo Memory Editor...", [](WindowFlows&) {},
     [](WindowFlows& t) {
         ASSERT_TRUE(t.waitUntil([] { return QApplication::activeModalWidget() != nullptr; }));
         t.pressKey(Qt::Key_Escape);
         EXPECT_TRUE(t.waitUntil([] { return QApplication::activeModalWidget() == nullptr; }));
     }},
    {"ExitClosesAnUnmodifiedDocument", "Ctrl+Q", [](WindowFlows&) {},
     [](WindowFlows& t) {
         EXPECT_TRUE(t.waitUntil([&] { return !t.windowVisible(); }));
         EXPECT_TRUE(t.prompts().shown().empty());
     }},
};

class MainCommands : public WindowFlows, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(MainCommands, ReachedAsAPersonDoes) {
    const Flow& flow = kFlows[GetParam()];
    open(Document::Full);
    showSheet("User Channels");
    startRowHeight = rowHeight();
    flow.arrange(*this);
    if (HasFatalFailure())
        return;
    const QString input = flow.input;
    if (input.contains('&')) {
        menuPath(input.split('>'));
    } else {
        const QKeyCombination combination = QKeySequence(input)[0];
        key(combination.key(), combination.keyboardModifiers());
    }
    flow.check(*this);
    EXPECT_TRUE(prompts().scriptUsed());
}

std::string flowName(const ::testing::TestParamInfo<std::size_t>& info) {
    return kFlows[info.param].name;
}

INSTANTIATE_TEST_SUITE_P(Flows, MainCommands, ::testing::Range<std::size_t>(0, std::size(kFlows)),
                         flowName);

} // namespace
