// The document commands reached as a person reaches them: shortcuts, the menu
// bar, typed cells; checked on the screen, in the caption and in the saved bytes.
#include "sheetWindowTest.h"

#include <QAction>
#include <QFile>
#include <QMenu>

using namespace marlo;

namespace {

constexpr int kReceive = 2; // User Channels: the receive frequency column

QByteArray bytesOf(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DocumentWindowTest : public SheetWindowTest {
protected:
    std::string path(const char* name) const { return files_->filePath(name).toStdString(); }
    std::string titled(const std::string& name) const {
        return name + " - " + overlayLine("GI_Sys_AppTitle");
    }
};

// After New and after Open the sheet shows the new document and nothing of the
// old one: the screen matches a fresh painting of what the document holds.
TEST_F(DocumentWindowTest, NewAndOpenShowOnlyWhatTheDocumentHolds) {
    open(Document::Full);
    showSheet("User Channels");
    typeIntoCell(kReceive, 1, "7053.4");
    ASSERT_EQ(cellText(kReceive, 1), "7053.4");
    prompter_.chooseNextFile(path("plan.vcf"));
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(waitFor([&] { return controller_->DocumentName() == path("plan.vcf"); }));

    key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(waitFor([&] { return controller_->DocumentName().empty(); }));
    waitForSheet();
    EXPECT_EQ(cellText(kReceive, 1), "");
    EXPECT_EQ(onScreen(*grid().viewport()), painted(*grid().viewport())) << "New";

    // A channel of its own (an unused slot takes its number first), discarded by Open.
    typeIntoCell(kReceive - 1, 2, "12");
    prompter_.answerNext(PromptAnswer::No);
    prompter_.chooseNextFile(path("plan.vcf"));
    menuPath({"&File", "&Open..."});
    ASSERT_TRUE(waitFor([&] { return controller_->DocumentName() == path("plan.vcf"); }));
    waitForSheet();
    EXPECT_EQ(cellText(kReceive, 1), "7053.4");
    EXPECT_EQ(cellText(kReceive, 2), "2010.0");
    EXPECT_EQ(onScreen(*grid().viewport()), painted(*grid().viewport())) << "Open";
    EXPECT_TRUE(prompter_.scriptUsed());
    ASSERT_FALSE(prompter_.dialogs().empty());
    EXPECT_EQ(prompter_.dialogs().back().caption, "Open");
}

// Typed without ".vcf", the name of an existing file: the dialog completes the
// name before it checks it, asks, and No leaves the file as it was.
TEST_F(DocumentWindowTest, SaveAsOntoAnExistingNameTypedWithoutItsExtensionAsks) {
    open(Document::Full);
    prompter_.chooseNextFile(path("plan.vcf"));
    menuPath({"&File", "Save &As..."});
    ASSERT_TRUE(waitFor([&] { return !bytesOf(path("plan.vcf")).isEmpty(); }));
    const QByteArray before = bytesOf(path("plan.vcf"));

    showSheet("User Channels");
    typeIntoCell(kReceive, 1, "7053.4");
    prompter_.chooseNextFile(path("plan"));
    prompter_.answerNext(PromptAnswer::No);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(waitFor([&] { return prompter_.scriptUsed(); }));
    ASSERT_EQ(prompter_.dialogs().size(), 2U);
    EXPECT_EQ(prompter_.dialogs().back().caption, "Save As");
    EXPECT_EQ(prompter_.dialogs().back().suffix, "vcf");
    EXPECT_NE(prompter_.lastText().find("plan.vcf already exists"), std::string::npos)
        << prompter_.lastText();
    EXPECT_EQ(bytesOf(path("plan.vcf")), before);
    EXPECT_TRUE(controller_->IsModified());
}

// The recent files are listed by name under File > Open Recent, newest first,
// and a click on one opens it.
TEST_F(DocumentWindowTest, OpenRecentNamesTheFilesAndOpensThePickedOne) {
    open();
    for (const char* name : {"first.vcf", "second.vcf"}) {
        prompter_.chooseNextFile(path(name));
        key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_TRUE(waitFor([&] { return controller_->DocumentName() == path(name); }));
    }
    menuPath({"&File", "Open &Recent"});
    QMenu* recent = nullptr;
    ASSERT_TRUE(waitFor([&] {
        recent = waitForPopup();
        return recent != nullptr && plain(recent->title()).startsWith("Open Recent");
    }));
    QStringList shown;
    for (QAction* action : recent->actions())
        if (action->isVisible())
            shown << plain(action->text());
    ASSERT_GE(shown.size(), 2) << shown.join('|').toStdString();
    EXPECT_TRUE(shown[0].endsWith("second.vcf")) << shown.join('|').toStdString();
    EXPECT_TRUE(shown[1].endsWith("first.vcf")) << shown.join('|').toStdString();
    ASSERT_TRUE(clickPopupItem(shown[1]));
    EXPECT_TRUE(waitFor([&] { return controller_->DocumentName() == path("first.vcf"); }));
    EXPECT_EQ(caption(), titled("first.vcf"));
}

// An edit marks the caption the desktop's way; a save clears the mark.
TEST_F(DocumentWindowTest, TheCaptionShowsUnsavedChanges) {
    open(Document::Full);
    showSheet("User Channels");
    EXPECT_FALSE(form_->isWindowModified());
    typeIntoCell(kReceive, 1, "7053.4");
    EXPECT_TRUE(waitFor([&] { return form_->isWindowModified(); }));
    EXPECT_EQ(caption(), titled("full.vcf*"));
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(waitFor([&] { return !form_->isWindowModified(); }));
    EXPECT_EQ(caption(), titled("full.vcf"));
}

} // namespace
