// The Clone menu of the real main window, item by item as a user chooses them,
// against the simulated radio: the port comes from the settings (the number and
// its device override, as the port dialog stores them), and the commands reach
// the clone operations through the window's own command interface.
#include "cloneChainFixture.h"
#include "core/portMap.h"
#include "main/cloneProgressWindow.h"
#include "main/mainWindow.h"
#include "main/radioInfoDialog.h"
#include "overlay/overlayTexts.h"
#include "radio/cellLabels.h"
#include "support/eventLoop.h"
#include "views/grid.h"
#include "views/menu.h"
#include "views/sheet.h"
#include "windowInput.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QWindow>

using namespace marlo;

namespace {

using Fault = RadioSim::Fault;
using namespace CellLabel;

std::string comment(const MemoryImage& image) {
    return std::string(reinterpret_cast<const char*>(image.Data()) + 0x02BB, 8);
}

class CloneMenuTest : public CloneChainTest {
protected:
    CloneMenuTest() {
        commands_.reset(); // the window's own commands take the manager
        manager().SetProgress(nullptr);
        manager().SetPort({}); // the settings' port, read at every start
        SettingsStore::App().ComPort = 7;
        SettingsStore::App().PortDevices = {{7, sim_.DevicePath()}};
        PortMap::SetOverrides(SettingsStore::App().PortDevices);
        form_ = std::make_unique<MainWindow>(*controller_);
    }
    ~CloneMenuTest() override {
        form_.reset();
        PortMap::SetOverrides({});
    }

    // Chooses the item and runs the event loop until the main window has been
    // given back and nothing is left running, noting what the user saw on the way.
    void choose(int label, const std::function<void()>& whileRunning = {}) {
        QAction* item = controller_->MainMenu()->FindByLabel(label);
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->isEnabled());
        item->trigger();
        ASSERT_TRUE(runEventLoopUntil(
            [&] {
                sawDisabled_ = sawDisabled_ || !form_->isEnabled();
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (w->isVisible() && w->windowTitle() == "Cloning") {
                        sawCloning_ = true;
                        cloningSize_ = w->size();
                    }
                if (whileRunning)
                    whileRunning();
                return !manager().IsBusy() && (form_->isEnabled() || information() != nullptr);
            },
            60000));
    }

    static RadioInfoDialog* information() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* info = dynamic_cast<RadioInfoDialog*>(w); info && info->isVisible())
                return info;
        return nullptr;
    }
    static CloningWindow* cloningWindow() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* window = dynamic_cast<CloningWindow*>(w); window && window->isVisible())
                return window;
        return nullptr;
    }
    bool cloningWindowUp() const {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->windowTitle() == "Cloning")
                return true;
        return false;
    }

    std::unique_ptr<MainWindow> form_;
    bool sawDisabled_ = false;
    bool sawCloning_ = false;
    QSize cloningSize_;
};

// Read asks the save question first: Cancel sends nothing; No reads, and the
// radio's memory becomes an untitled, modified document.
TEST_F(CloneMenuTest, ReadAsksToSaveThenLeavesAnUntitledModifiedDocument) {
    controller_->SetModified();
    prompter_.answerNext(PromptAnswer::Cancel);
    choose(CL_Menu_Clone_Read);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.shown()[0].buttons, PromptButtons::YesNoCancel);
    EXPECT_EQ(sim_.Stats().informationRequests, 0);
    EXPECT_NE(comment(controller_->CurrentImage()), "MY RADIO");

    prompter_.answerNext(PromptAnswer::No);
    choose(CL_Menu_Clone_Read);
    EXPECT_TRUE(prompter_.scriptUsed());
    EXPECT_EQ(prompter_.shown().size(), 2u) << prompter_.lastText(); // no failure box
    EXPECT_EQ(sim_.Stats().readRequests, 1);
    EXPECT_EQ(comment(controller_->CurrentImage()), "MY RADIO");
    EXPECT_EQ(controller_->DocumentName(), "");
    EXPECT_TRUE(controller_->IsModified());
    EXPECT_TRUE(sawDisabled_);
    EXPECT_TRUE(sawCloning_);
    // The bar's 256 x 16 inside a one-pixel bevel, 16 pixels around, and the
    // Cancel button below it.
    QPushButton cancel(QStringLiteral("Cancel"));
    cancel.adjustSize();
    EXPECT_EQ(cloningSize_, QSize(256 + 2 + 32, 16 + 2 + 32 + cancel.height()));
    EXPECT_FALSE(cloningWindowUp());
    EXPECT_TRUE(form_->isEnabled());
}

// Write is refused with only the data-error box while the check finds errors;
// a cancelled confirmation sends nothing; OK writes the document and says so.
TEST_F(CloneMenuTest, WriteIsRefusedWithErrorsThenConfirmedAndWritten) {
    MemoryImage good;
    good.Assign(controller_->CurrentImage());
    for (std::int32_t a = 0x02C0; a <= 0x6C1F; ++a)
        controller_->CurrentImage().SetByte(a, 0xFF);
    choose(CL_Menu_Clone_Write);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.lastText(), OverlayTexts::App().GetText("GI_Mess_DataError"));
    EXPECT_EQ(prompter_.shown()[0].icon, PromptIcon::Error);

    controller_->CurrentImage().Assign(good);
    prompter_.answerNext(PromptAnswer::Cancel);
    choose(CL_Menu_Clone_Write);
    EXPECT_EQ(prompter_.lastText(), OverlayTexts::App().GetText("GI_Mess_Confirm_CloneWrite"));
    EXPECT_EQ(sim_.Stats().informationRequests, 0);
    EXPECT_FALSE(sawDisabled_);

    prompter_.answerNext(PromptAnswer::Ok);
    choose(CL_Menu_Clone_Write);
    EXPECT_EQ(prompter_.lastText(), OverlayTexts::App().GetText("GI_Mess_CloneWrite_Succeeded"));
    EXPECT_EQ(sim_.Stats().lastWriteResult, 0);
    EXPECT_EQ(comment(sim_.Image()), comment(controller_->CurrentImage()));
    EXPECT_TRUE(sawCloning_);
    EXPECT_TRUE(form_->isEnabled());
}

// Info shows the radio's sheet over a disabled main window until OK; a radio
// of the other variant gives its message and no sheet.
TEST_F(CloneMenuTest, InfoShowsTheRadiosSheetUntilOk) {
    choose(CL_Menu_Clone_Info);
    QPointer<RadioInfoDialog> info = information();
    ASSERT_NE(info, nullptr) << prompter_.lastText();
    EXPECT_FALSE(sawCloning_);
    EXPECT_FALSE(form_->isEnabled());
    EXPECT_EQ(info->Sheet().Key(), "GI_Sheet_CloneInfo");
    EXPECT_EQ(info->windowHandle()->transientParent(), form_->windowHandle());
    // As a screen reader reads it: the variant without its leading blank, the
    // radio's whole comment.
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(info->Sheet().Grid());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->tableInterface()->cellAt(0, 1)->text(QAccessible::Name), "(Australia)");
    EXPECT_EQ(table->tableInterface()->cellAt(2, 1)->text(QAccessible::Name),
              "MARLO SIMULATOR 0001");
    // Every row and column in sight: the window fits the sheet, no scrolling.
    const Grid* grid = info->Sheet().Grid();
    ASSERT_NE(grid, nullptr);
    EXPECT_GE(grid->ClientSize().height(), grid->Layout().TotalHeight());
    EXPECT_GE(grid->ClientSize().width(), grid->Layout().TotalWidth());
    QTest::keyClick(info->OkButton(), Qt::Key_Escape);
    EXPECT_TRUE(runEventLoopUntil([&] { return info == nullptr; }));
    EXPECT_TRUE(form_->isEnabled());
    EXPECT_TRUE(prompter_.shown().empty());

    sim_.SetVariant(1);
    choose(CL_Menu_Clone_Info);
    EXPECT_EQ(information(), nullptr);
    EXPECT_EQ(prompter_.lastText(), OverlayTexts::App().GetText("GI_Mess_ModelError"));
    EXPECT_TRUE(form_->isEnabled());
}

// A cable pulled while data move: the failure's box, the "Cloning" window gone,
// the main window back, and the document exactly as it was.
TEST_F(CloneMenuTest, PulledCableEndsWithItsMessageAndTheDocumentUntouched) {
    MemoryImage before;
    before.Assign(controller_->CurrentImage());
    const QString caption = form_->windowTitle();
    choose(CL_Menu_Clone_Read, [&] {
        if (cloningWindowUp() && sim_.Stats().framesSent > 10)
            sim_.SetFault(Fault::HangUp);
    });
    EXPECT_EQ(sim_.Stats().hangUps, 1);
    ASSERT_FALSE(prompter_.shown().empty());
    EXPECT_EQ(prompter_.shown().back().icon, PromptIcon::Error);
    EXPECT_EQ(
        prompter_.lastText().rfind(OverlayTexts::App().GetLine("GI_Mess_CloneErr_Head", 17), 0), 0u)
        << prompter_.lastText();
    EXPECT_FALSE(controller_->CurrentImage().Differs(before));
    EXPECT_FALSE(controller_->IsModified());
    EXPECT_EQ(form_->windowTitle(), caption);
    EXPECT_FALSE(cloningWindowUp());
    EXPECT_TRUE(form_->isEnabled());
}

// The "Cloning" window has no close box. Its Cancel button stops a read under
// way: no message, the document as it was, the main window back and the line
// free for the next command. During a write it is greyed and closing the
// window does nothing: a radio's memory is never left half written.
TEST_F(CloneMenuTest, CancelStopsAReadButNeverAWrite) {
    MemoryImage before;
    before.Assign(controller_->CurrentImage());
    ASSERT_TRUE(runEventLoopUntil([&] { return form_->isVisible(); }));
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    const auto frames = sim_.Stats().framesSent;
    menuBar(*form_, Qt::Key_C, {"Read from Radio"});
    CloningWindow* window = nullptr;
    ASSERT_TRUE(runEventLoopUntil([&] {
        window = cloningWindow();
        return window != nullptr && sim_.Stats().framesSent > frames + 10;
    }));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowCloseButtonHint);
    ASSERT_TRUE(window->CancelButton()->isEnabled());
    QTest::mouseClick(window->CancelButton(), Qt::LeftButton);
    ASSERT_TRUE(runEventLoopUntil([&] { return !manager().IsBusy() && form_->isEnabled(); }));
    EXPECT_FALSE(cloningWindowUp());
    EXPECT_TRUE(prompter_.shown().empty()) << prompter_.lastText();
    EXPECT_FALSE(controller_->CurrentImage().Differs(before));
    EXPECT_FALSE(controller_->IsModified());

    prompter_.answerNext(PromptAnswer::Ok); // the write's confirmation
    menuBar(*form_, Qt::Key_C, {"Write to Radio"});
    ASSERT_TRUE(runEventLoopUntil([&] { return (window = cloningWindow()) != nullptr; }));
    const QPointer<CloningWindow> writing = window;
    EXPECT_FALSE(writing->CancelButton()->isEnabled());
    writing->close();
    EXPECT_TRUE(writing->isVisible());
    QTest::keyClick(writing, Qt::Key_Escape);
    ASSERT_TRUE(
        runEventLoopUntil([&] { return !manager().IsBusy() && form_->isEnabled(); }, 60000));
    EXPECT_EQ(sim_.Stats().lastWriteResult, 0);
    EXPECT_EQ(prompter_.lastText(), OverlayTexts::App().GetText("GI_Mess_CloneWrite_Succeeded"));
}

// After a full write, an edit reaches the radio through Clone > Write Changes,
// chosen with Alt+C and the mouse, as the one block it touches.
TEST_F(CloneMenuTest, WriteChangesSendsOnlyTheEditedBlock) {
    ASSERT_TRUE(runEventLoopUntil([&] { return form_->isVisible(); }));
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    const auto ended = [&] {
        return runEventLoopUntil(
            [&] {
                return prompter_.shown().size() == 2 && !manager().IsBusy() && form_->isEnabled();
            },
            60000);
    };
    prompter_.answerNext(PromptAnswer::Ok);
    menuBar(*form_, Qt::Key_C, {"Write to Radio"});
    ASSERT_TRUE(ended());

    controller_->CurrentImage().SetByte(0x02BD, 'Z'); // in the memory comment
    prompter_.clear();
    const int frames = sim_.Stats().framesAccepted;
    prompter_.answerNext(PromptAnswer::Ok);
    menuBar(*form_, Qt::Key_C, {"Write Changes to Radio"});
    ASSERT_TRUE(ended());
    EXPECT_NE(prompter_.shown()[0].text.find("1 blocks (16 bytes)"), std::string::npos)
        << prompter_.shown()[0].text;
    EXPECT_EQ(prompter_.lastText(), OverlayTexts::App().GetText("GI_Mess_CloneWrite_Succeeded"));
    EXPECT_EQ(sim_.Stats().framesAccepted - frames, 1);
    EXPECT_EQ(comment(sim_.Image()), comment(controller_->CurrentImage()));
}

} // namespace
