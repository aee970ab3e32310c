// What the status line tells the user after real typing and cursor moves.
#include "sheetWindowTest.h"

#include <QApplication>
#include <QTest>

using namespace marlo;

namespace {

constexpr int kNumber = 1;  // User Channels: the channel number column
constexpr int kReceive = 2; // and the receive frequency
constexpr int kMode = 4;

using StatusWindowTest = SheetWindowTest;

// "7,055" may mean 7055 kHz or 7.055 kHz: refused, with how to write either;
// "7053,4" can only be a decimal comma.
TEST_F(StatusWindowTest, AThousandsCommaInAFrequencyIsRefusedWithAHint) {
    open(Document::Full);
    showSheet("User Channels");
    typeIntoCell(kReceive, 1, "7,055");
    EXPECT_EQ(cellText(kReceive, 1), "2000.0");
    EXPECT_NE(statusWith("7055").find("type 7055 (or 7055.0), or 7.055"), std::string::npos)
        << controller_->MessageText();
    EXPECT_FALSE(controller_->IsModified());
    typeIntoCell(kReceive, 1, "7053,4");
    EXPECT_EQ(cellText(kReceive, 1), "7053.4");
}

// Standing on a marked cell, the user reads which duplicate or which limit
// marks it, in a pick list as well; an unmarked cell says nothing.
TEST_F(StatusWindowTest, TheCursorOnAMarkedCellSaysWhy) {
    open(Document::Full);
    showSheet("User Channels");
    typeIntoCell(kNumber, 2, "1"); // the number of the channel above
    clickCell(kNumber, 3);
    EXPECT_EQ(statusWith("#nothing#"), "");
    clickCell(kNumber, 2);
    EXPECT_EQ(statusWith("Channel number"), "Channel number 1 is given to another channel as well");
    // The test document sets no band edges: every frequency lies outside them.
    clickCell(kReceive, 2);
    EXPECT_EQ(statusWith("Receive"),
              "Receive frequency 2010.0 kHz lies outside the receive band edge, 0.0 to 0.0 kHz");
    // The test document switches no mode on; its image leaves the names blank.
    clickCell(kMode, 2);
    EXPECT_EQ(statusWith("Mode"), "Mode USB is not in use: switch it on under Mode Registration");
    QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, cellCentre(kMode, 2));
    ASSERT_TRUE(waitFor([] {
        return QApplication::activeWindow() != nullptr &&
               QApplication::activeWindow()->inherits("marlo::PickerPopup");
    }));
    key(Qt::Key_Down);
    EXPECT_EQ(statusWith("AM"), "Mode AM is not in use: switch it on under Mode Registration");
    key(Qt::Key_Escape);
}

} // namespace
