// The Clone menu's operations with the main window up, against the simulated
// radio: the save question, the "Cloning" window, the disabled main window,
// the information window, and the port dialog.
#include "cloneChainFixture.h"
#include "core/cmcPortMap.h"
#include "main/cuiCloneWindow.h"
#include "main/cuiInformation.h"
#include "main/cuiPortDialog.h"
#include "main/frmMain.h"
#include "main/indMainCellContext.h"
#include "overlay/cmcGTex.h"
#include "support/eventLoop.h"
#include "views/cuiSheet.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstring>

namespace {

using Fault = cmcRadioSim::Fault;

std::string comment(const cmcEeprom& image) {
    return std::string(reinterpret_cast<const char*>(image.Data()) + 0x02BB, 8);
}

class CloneWindowTest : public CloneChainTest {
protected:
    CloneWindowTest() {
        commands_.reset(); // the window's own chains take the manager
        form_ = std::make_unique<TForm1>(*controller_);
        window_ = std::make_unique<cuiCloneWindow>(*controller_, controller_->CellContext());
    }
    ~CloneWindowTest() override {
        window_.reset();
        form_.reset();
    }

    // Runs an operation to its end, noting what the user saw meanwhile.
    int run(bool (cuiCloneWindow::*start)(indCloneCommands::Done),
            const std::function<void()>& whileRunning = {}) {
        int code = -2;
        bool ended = false;
        if (!(window_.get()->*start)([&](int result) {
                code = result;
                ended = true;
            }))
            return -2;
        EXPECT_TRUE(runEventLoopUntil(
            [&] {
                sawDisabled_ = sawDisabled_ || !form_->isEnabled();
                if (QWidget* w = window_->Progress().Window(); w != nullptr) {
                    sawWindow_ = true;
                    windowSize_ = w->size();
                }
                if (whileRunning)
                    whileRunning();
                return ended;
            },
            60000));
        return code;
    }

    std::unique_ptr<TForm1> form_;
    std::unique_ptr<cuiCloneWindow> window_;
    bool sawDisabled_ = false;
    bool sawWindow_ = false;
    QSize windowSize_;
};

// Read: the save question first; Cancel leaves everything; after a read the
// document is the radio's, untitled and modified, and the window is back.
TEST_F(CloneWindowTest, ReadAsksTheSaveQuestionAndLeavesAnUntitledModifiedDocument) {
    controller_->SetModified();
    prompter_.answerNext(PromptAnswer::Cancel);
    EXPECT_FALSE(window_->CloneRead());
    EXPECT_EQ(sim_.Stats().informationRequests, 0);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.shown()[0].buttons, PromptButtons::YesNoCancel);

    prompter_.answerNext(PromptAnswer::No); // go on without saving
    EXPECT_EQ(run(&cuiCloneWindow::CloneRead), 0) << prompter_.lastText();
    EXPECT_TRUE(prompter_.scriptUsed());
    EXPECT_EQ(comment(controller_->CurrentImage()), "MY RADIO");
    EXPECT_TRUE(controller_->IsModified());
    EXPECT_EQ(controller_->DocumentName(), "");
    EXPECT_TRUE(sawDisabled_);
    EXPECT_TRUE(sawWindow_);
    // The bar's 256 x 16 inside a one-pixel bevel, 16 pixels around.
    EXPECT_EQ(windowSize_, QSize(256 + 2 + 32, 16 + 2 + 32));
    EXPECT_TRUE(form_->isEnabled());
    EXPECT_EQ(window_->Progress().Window(), nullptr);
}

// A cable pulled while the "Cloning" window is up: its message, the window gone,
// the main window enabled, the document as it was.
TEST_F(CloneWindowTest, APulledCableLeavesTheDocumentAndEnablesTheWindow) {
    const std::string before = comment(controller_->CurrentImage());
    const bool modifiedBefore = controller_->IsModified();
    const int code = run(&cuiCloneWindow::CloneRead, [&] {
        if (window_->Progress().Window() != nullptr && sim_.Stats().framesSent > 10)
            sim_.SetFault(Fault::HangUp);
    });
    EXPECT_EQ(code, 17);
    EXPECT_TRUE(sawWindow_);
    EXPECT_EQ(prompter_.shown().back().icon, PromptIcon::Error);
    EXPECT_EQ(comment(controller_->CurrentImage()), before);
    EXPECT_EQ(controller_->IsModified(), modifiedBefore);
    EXPECT_TRUE(form_->isEnabled());
    EXPECT_EQ(window_->Progress().Window(), nullptr);
}

// Write: errors refuse it with only the data-error box; a cancelled confirmation
// sends nothing; OK sends and reports success.
TEST_F(CloneWindowTest, WriteIsRefusedWithErrorsThenConfirmedAndReported) {
    cmcEeprom saved;
    saved.Assign(controller_->CurrentImage());
    for (std::int32_t a = 0x02C0; a <= 0x6C1F; ++a)
        controller_->CurrentImage().SetByte(a, 0xFF);
    EXPECT_FALSE(window_->CloneWrite());
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.lastText(), cmcGTex::App().GetText("GI_Mess_DataError"));

    controller_->CurrentImage().Assign(saved);
    prompter_.answerNext(PromptAnswer::Cancel);
    EXPECT_FALSE(window_->CloneWrite());
    EXPECT_EQ(prompter_.lastText(), cmcGTex::App().GetText("GI_Mess_Confirm_CloneWrite"));
    EXPECT_EQ(sim_.Stats().informationRequests, 0);

    prompter_.answerNext(PromptAnswer::Ok);
    EXPECT_EQ(run(&cuiCloneWindow::CloneWrite), 0) << prompter_.lastText();
    EXPECT_EQ(sim_.Stats().lastWriteResult, 0);
    EXPECT_EQ(prompter_.lastText(), cmcGTex::App().GetText("GI_Mess_CloneWrite_Succeeded"));
    EXPECT_TRUE(sawWindow_);
    EXPECT_TRUE(form_->isEnabled());
}

// Info opens the radio's sheet; its OK closes it and gives the window back. A
// radio of the other variant shows its message and no sheet.
TEST_F(CloneWindowTest, InfoShowsTheSheetUntilOk) {
    EXPECT_EQ(run(&cuiCloneWindow::CloneInfo), 0) << prompter_.lastText();
    EXPECT_FALSE(sawWindow_); // no transfer, no "Cloning" window
    QPointer<cuiInformation> info = window_->Information();
    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->isVisible());
    EXPECT_FALSE(info->isModal());
    EXPECT_FALSE(form_->isEnabled());
    EXPECT_EQ(info->Sheet().Key(), "GI_Sheet_CloneInfo");
    info->OkButton()->click();
    EXPECT_TRUE(runEventLoopUntil([&] { return info == nullptr; }));
    EXPECT_TRUE(form_->isEnabled());

    sim_.SetVariant(1);
    EXPECT_EQ(run(&cuiCloneWindow::CloneInfo), 13);
    EXPECT_EQ(window_->Information(), nullptr);
    EXPECT_TRUE(form_->isEnabled());
}

// The bar lights 33 x moved / expected segments, a one-pixel gap after each.
TEST(CloneProgressBar, LightsSegmentsInProportion) {
    cuiCloneProgressBar bar(nullptr);
    bar.resize(256, 16);
    bar.SetProgress(13512, 27024);
    EXPECT_EQ(bar.LitSegments(), 16);
    QImage shot(bar.size(), QImage::Format_RGB32);
    bar.render(&shot);
    const QColor lit = bar.palette().color(QPalette::Highlight);
    const QColor unlit = bar.palette().color(QPalette::Base);
    // Every column, '#' lit: a lit segment ends in a gap in the window colour.
    std::string seen;
    std::string expected;
    for (int x = 0; x < 256; ++x) {
        const QColor c = shot.pixelColor(x, 8);
        seen += c == lit ? '#' : c == unlit ? '.' : '?';
        expected += x < 16 * 8 && x % 8 != 7 ? '#' : '.';
    }
    EXPECT_EQ(seen, expected);
}

// The port dialog: what OK does with each text; Cancel changes nothing.
TEST_F(CloneWindowTest, PortDialogTakesOnlyPortsOneTo256) {
    const struct {
        const char* typed;
        int port; // 0: refused, the dialog stays open
    } rows[] = {
        {" 12 ", 12}, {"0", 0},    {"257", 0},  {"-1", 0},
        {"", 0},      {"12a", 12}, {"1000", 0}, {"256", 256},
    };
    const std::string outOfRange = cmcGTex::App().GetText("GI_AppInd_Opt_ComSel_OutofRange");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        cmcEnviron::App().ComPort = 3;
        prompter_.clear();
        cuiPortDialog dialog(form_.get(), cmcEnviron::App(), {});
        EXPECT_EQ(dialog.Field()->text(), "3");
        dialog.show();
        dialog.Field()->setText(row.typed);
        dialog.OkButton()->click();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, row.port != 0);
        EXPECT_EQ(dialog.isVisible(), row.port == 0);
        EXPECT_EQ(cmcEnviron::App().ComPort, row.port != 0 ? row.port : 3);
        EXPECT_EQ(prompter_.lastText(), row.port != 0 ? "" : outOfRange);
    }
    cmcEnviron::App().ComPort = 3;
    cuiPortDialog dialog(form_.get(), cmcEnviron::App(), {});
    dialog.show();
    dialog.Field()->setText("44");
    dialog.CancelButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(cmcEnviron::App().ComPort, 3);
}

// The devices present in a /dev of our own: by-id names with their adapter's
// name first, then by kind and number; placeholders and dead names left out.
// Choosing one makes it the chosen number's device.
TEST_F(CloneWindowTest, PortDialogListsTheDevicesAndStoresTheOneChosen) {
    QTemporaryDir dev;
    ASSERT_TRUE(QDir(dev.path()).mkpath("serial/by-id"));
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "ttyUSBx", "null"}) {
        QFile f(dev.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::link("../../ttyUSB2",
                            dev.filePath("serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2-if00-port0")));
    ASSERT_TRUE(QFile::link("../../ttyUSB9", dev.filePath("serial/by-id/usb-Gone_Adapter-if00")));

    const std::vector<dstSerialDevice> devices = cmcListSerialDevices(dev.path().toStdString());
    std::vector<std::string> paths;
    for (const dstSerialDevice& d : devices)
        paths.push_back(d.path.substr(dev.path().size()));
    EXPECT_EQ(paths,
              (std::vector<std::string>{"/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2-if00-port0",
                                        "/ttyUSB2", "/ttyUSB10", "/ttyACM0"}));
    ASSERT_FALSE(devices.empty());
    EXPECT_EQ(devices[0].name, "FTDI FT232R USB UART A1B2");
    EXPECT_EQ(devices[0].target, dev.filePath("ttyUSB2").toStdString());

    dstSerialDevice closed{"/dev/ttyUSB0", "/dev/ttyUSB0", "", false, "dialout"};
    EXPECT_NE(cmcDescribeSerialDevice(closed).find("join the group \"dialout\""),
              std::string::npos);

    cuiPortDialog dialog(form_.get(), cmcEnviron::App(), devices);
    ASSERT_EQ(dialog.Devices()->count(), 4);
    dialog.show();
    dialog.Field()->setText("9");
    dialog.Devices()->setCurrentRow(0);
    dialog.OkButton()->click();
    EXPECT_EQ(cmcEnviron::App().ComPort, 9);
    EXPECT_EQ(cmcEnviron::App().PortDevices.at(9), devices[0].path);
    EXPECT_EQ(cmcPortMap::DevicePath(9), devices[0].path);
    cmcPortMap::SetOverrides({});
}

} // namespace
