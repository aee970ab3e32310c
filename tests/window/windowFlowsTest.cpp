// Whole flows through the real window, each ending with what a person checks.
#include "windowFixture.h"

#include "core/cmcVcfFile.h"
#include "core/modelIdentity.h"
#include "radio/ListEntry.h"
#include "views/cuiSheet.h"

namespace {

std::unique_ptr<cmcEeprom> loadFile(const std::string& path) {
    auto image = std::make_unique<cmcEeprom>();
    image->Resize(marloModel::imageSize);
    cmcVcfFile file;
    file.BindImage(*image);
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    file.SetMapRevisionCheck([](int) { return true; });
    EXPECT_EQ(int(file.Load(path)), int(cmcVcfFile::Ok)) << path;
    return image;
}

class WindowFlows : public WindowTest {};

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
    const auto saved = loadFile(path);
    ListEntry entry(saved.get());
    entry.load(listUserChannel, 2);
    EXPECT_EQ(entry.channelNumber, 777u);
    entry.load(listUserChannel, 3);
    EXPECT_EQ(entry.channelNumber, 4u);
}

} // namespace
