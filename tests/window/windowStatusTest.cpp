// What the status line tells the user after real typing and cursor moves.
#include "sheetWindowTest.h"

namespace {

constexpr int kReceive = 2; // User Channels: the receive frequency column

using StatusWindowTest = SheetWindowTest;

// "7,055" may mean 7055 kHz or 7.055 kHz: refused, with how to write either;
// "7053,4" can only be a decimal comma.
TEST_F(StatusWindowTest, AThousandsCommaInAFrequencyIsRefusedWithAHint) {
    open();
    showSheet("User Channels");
    typeIntoCell(kReceive, 1, "7,055");
    EXPECT_EQ(cellText(kReceive, 1), "");
    EXPECT_NE(statusWith("7055").find("type 7055 (or 7055.0), or 7.055"), std::string::npos)
        << controller_->MessageText();
    EXPECT_FALSE(controller_->IsModified());
    typeIntoCell(kReceive, 1, "7053,4");
    EXPECT_EQ(cellText(kReceive, 1), "7053.4");
}

// Standing on a marked cell, the user reads which limit it breaks.
TEST_F(StatusWindowTest, TheCursorOnAMarkedCellSaysWhy) {
    open();
    showSheet("User Channels");
    typeIntoCell(kReceive, 2, "0.1"); // below every receive band
    clickCell(kReceive, 3);
    clickCell(kReceive, 2);
    EXPECT_NE(statusWith("0.1 kHz").find("Receive frequency 0.1 kHz lies outside the receive band"),
              std::string::npos)
        << controller_->MessageText();
    clickCell(kReceive, 3);
    EXPECT_EQ(statusWith("#never#"), "") << "an unmarked cell says nothing";
}

} // namespace
