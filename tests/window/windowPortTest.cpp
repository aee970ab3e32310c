// The port menu and dialog reached through the menu bar.
#include "sheetWindowTest.h"

#include "core/portMap.h"
#include "main/portDialog.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

using namespace marlo;

namespace {

class PortWindowTest : public SheetWindowTest {
protected:
    ~PortWindowTest() override { PortMap::SetOverrides({}); }
};

// Each item names the device its number really opens, an override in full;
// the dialog takes any path typed over what the number opens.
TEST_F(PortWindowTest, ThePortMenuNamesEachDeviceAndTheDialogTakesATypedPath) {
    const std::string byId = "/dev/serial/by-id/usb-FTDI_A1-if00-port0";
    settings_->PortDevices = {{2, byId}};
    PortMap::SetOverrides(settings_->PortDevices);
    open();
    menuPath({"&Port"});
    QMenu* ports = waitForPopup();
    ASSERT_NE(ports, nullptr);
    QStringList items;
    for (QAction* action : ports->actions())
        items << plain(action->text());
    EXPECT_EQ(items.value(0), "Serial Port 1 (ttyS0)");
    EXPECT_EQ(items.value(1), QString::fromStdString("Serial Port 2 (" + byId + ")"));

    QString shownPath;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = dynamic_cast<PortDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        answer.stop();
        shownPath = dialog->PathField()->text();
        QTest::keyClick(dialog->Field(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog->Field(), "7");
        QTest::keyClick(dialog->PathField(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(dialog->PathField(), "/dev/pts/9");
        QTest::keyClick(dialog->PathField(), Qt::Key_Return);
    });
    answer.start(10);
    clickPopupItem("Other Port (USB Cable)...");
    ASSERT_TRUE(waitFor([&] { return !answer.isActive() && settings_->ComPort == 7; }));
    EXPECT_EQ(shownPath, "/dev/ttyS0"); // what port 1, the setting, opened
    EXPECT_EQ(settings_->PortDevices.at(7), "/dev/pts/9");
    EXPECT_EQ(PortMap::DevicePath(7), "/dev/pts/9");
}

} // namespace
