// The parts of the clone windows on their own: the progress bar's segments and
// the port dialog. (The Clone menu's commands, through the main window's real
// menu, are in cloneMenuTest.cpp.)
#include "cloneChainFixture.h"
#include "core/portMap.h"
#include "main/cloneProgressWindow.h"
#include "main/mainWindow.h"
#include "main/portDialog.h"
#include "overlay/overlayTexts.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace marlo;

namespace {

class CloneWindowTest : public CloneChainTest {
protected:
    CloneWindowTest() {
        commands_.reset(); // the window's own chains take the manager
        form_ = std::make_unique<MainWindow>(*controller_);
    }
    ~CloneWindowTest() override { form_.reset(); }

    std::unique_ptr<MainWindow> form_;
};

// The bar lights 33 x moved / expected segments, a one-pixel gap after each.
TEST(CloneProgressBar, LightsSegmentsInProportion) {
    CloneProgressBar bar(nullptr);
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
    const std::string outOfRange = OverlayTexts::App().GetText("GI_AppInd_Opt_ComSel_OutofRange");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        SettingsStore::App().ComPort = 3;
        prompter_.clear();
        PortDialog dialog(form_.get(), SettingsStore::App(), {});
        EXPECT_EQ(dialog.Field()->text(), "3");
        dialog.show();
        dialog.Field()->setText(row.typed);
        dialog.OkButton()->click();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, row.port != 0);
        EXPECT_EQ(dialog.isVisible(), row.port == 0);
        EXPECT_EQ(SettingsStore::App().ComPort, row.port != 0 ? row.port : 3);
        EXPECT_EQ(prompter_.lastText(), row.port != 0 ? "" : outOfRange);
    }
    SettingsStore::App().ComPort = 3;
    PortDialog dialog(form_.get(), SettingsStore::App(), {});
    dialog.show();
    dialog.Field()->setText("44");
    dialog.CancelButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(SettingsStore::App().ComPort, 3);
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

    const std::vector<SerialDeviceEntry> devices = listSerialDevices(dev.path().toStdString());
    std::vector<std::string> paths;
    for (const SerialDeviceEntry& d : devices)
        paths.push_back(d.path.substr(dev.path().size()));
    EXPECT_EQ(paths,
              (std::vector<std::string>{"/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2-if00-port0",
                                        "/ttyUSB2", "/ttyUSB10", "/ttyACM0"}));
    ASSERT_FALSE(devices.empty());
    EXPECT_EQ(devices[0].name, "FTDI FT232R USB UART A1B2");
    EXPECT_EQ(devices[0].target, dev.filePath("ttyUSB2").toStdString());

    SerialDeviceEntry closed{"/dev/ttyUSB0", "/dev/ttyUSB0", "", false, "dialout"};
    EXPECT_NE(describeSerialDevice(closed).find("join the group \"dialout\""), std::string::npos);

    PortDialog dialog(form_.get(), SettingsStore::App(), devices);
    ASSERT_EQ(dialog.Devices()->count(), 4);
    dialog.show();
    dialog.Field()->setText("9");
    dialog.Devices()->setCurrentRow(0);
    dialog.OkButton()->click();
    EXPECT_EQ(SettingsStore::App().ComPort, 9);
    EXPECT_EQ(SettingsStore::App().PortDevices.at(9), devices[0].path);
    EXPECT_EQ(PortMap::DevicePath(9), devices[0].path);
    PortMap::SetOverrides({});
}

// "Check port", clicked: the serial doctor on the port number's device, in a message.
TEST_F(CloneWindowTest, PortDialogChecksThePortOfTheNumber) {
    PortDialog dialog(form_.get(), SettingsStore::App(), {});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.Field()->setText("250"); // /dev/ttyUSB245, on no machine
    prompter_.clear();
    QTest::mouseClick(dialog.DoctorButton(), Qt::LeftButton);
    EXPECT_NE(prompter_.lastText().find("/dev/ttyUSB245 does not exist."), std::string::npos)
        << prompter_.lastText();
    EXPECT_TRUE(dialog.isVisible()); // nothing chosen yet
}

} // namespace
