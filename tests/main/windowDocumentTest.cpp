// The document commands reached as a person reaches them: shortcuts, the menu
// bar by Alt+letter, typed cells; checked on the screen, in the caption and in
// the saved bytes.
#include "windowFixture.h"

#include "core/cmcEnviron.h"
#include "support/eventLoop.h"

#include <QFile>
#include <QMenu>
#include <QWindow>

namespace {

constexpr int kReceive = 2; // User Channels: the receive frequency column

QByteArray bytesOf(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

using DocumentWindowTest = WindowTest;

// After New and after Open the sheet shows the new document and nothing of the
// old one: the screen matches a fresh painting of what the document holds.
TEST_F(DocumentWindowTest, NewAndOpenShowOnlyWhatTheDocumentHolds) {
    open();
    clickNode("User Channels");
    typeIntoCell(kReceive, 1, "7053.4");
    ASSERT_EQ(sheet().ShownText(kReceive, 1), "7053.4");
    const std::string plan = install_->filePath("plan.vcf").toStdString();
    prompter_.chooseNextFile(plan);
    key(Qt::Key_S, Qt::ControlModifier); // untitled: Save asks for a name
    ASSERT_EQ(controller_->DocumentName(), plan);

    key(Qt::Key_N, Qt::ControlModifier);
    waitForSheet();
    EXPECT_EQ(sheet().ShownText(kReceive, 1), "");
    EXPECT_EQ(onScreen(*grid().viewport()), painted(*grid().viewport())) << "New";

    typeIntoCell(kReceive, 2, "14230"); // a change of its own, then Open
    prompter_.answerNext(PromptAnswer::No);
    prompter_.chooseNextFile(plan);
    menuBar(Qt::Key_F, {"Open"});
    waitForSheet();
    EXPECT_EQ(controller_->DocumentName(), plan);
    EXPECT_EQ(sheet().ShownText(kReceive, 1), "7053.4");
    EXPECT_EQ(sheet().ShownText(kReceive, 2), "");
    EXPECT_EQ(onScreen(*grid().viewport()), painted(*grid().viewport())) << "Open";
    EXPECT_TRUE(prompter_.scriptUsed());
}

// Typed without ".vcf", the name of an existing file: the dialog completes the
// name before it checks it, asks, and No leaves the file as it was.
TEST_F(DocumentWindowTest, SaveAsOntoAnExistingNameTypedWithoutItsExtensionAsks) {
    open();
    const std::string plan = install_->filePath("plan.vcf").toStdString();
    prompter_.chooseNextFile(plan);
    menuBar(Qt::Key_F, {"Save As"});
    const QByteArray before = bytesOf(plan);
    ASSERT_FALSE(before.isEmpty());

    clickNode("User Channels");
    typeIntoCell(kReceive, 1, "7053.4");
    prompter_.chooseNextFile(install_->filePath("plan").toStdString());
    prompter_.answerNext(PromptAnswer::No);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(prompter_.dialogs().size(), 2U);
    EXPECT_EQ(prompter_.dialogs().back().caption, "Save As");
    EXPECT_EQ(prompter_.dialogs().back().suffix, "vcf");
    ASSERT_FALSE(prompter_.shown().empty());
    EXPECT_NE(prompter_.lastText().find("plan.vcf already exists"), std::string::npos);
    EXPECT_EQ(bytesOf(plan), before);
    EXPECT_TRUE(controller_->IsModified());
}

// The recent files are listed by name under File > Open Recent, and a click
// on one opens it.
TEST_F(DocumentWindowTest, OpenRecentNamesTheFilesAndOpensThePickedOne) {
    open();
    const std::string first = install_->filePath("first.vcf").toStdString();
    const std::string second = install_->filePath("second.vcf").toStdString();
    prompter_.chooseNextFile(first);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    prompter_.chooseNextFile(second);
    key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(controller_->DocumentName(), second);

    menuBar(Qt::Key_F, {"Open Recent"});
    QMenu* recent = waitForPopup();
    ASSERT_NE(recent, nullptr);
    ASSERT_TRUE(runEventLoopUntil(
        [&] { return recent->title().contains("Recent") || recent->actions().size() >= 2; }));
    QStringList shown;
    for (QAction* action : recent->actions())
        if (action->isVisible())
            shown << plainItemText(action->text());
    ASSERT_GE(shown.size(), 2) << shown.join('|').toStdString();
    EXPECT_TRUE(shown[0].endsWith("second.vcf")) << shown.join('|').toStdString();
    EXPECT_TRUE(shown[1].endsWith("first.vcf")) << shown.join('|').toStdString();
    clickItem(recent, shown[1]);
    EXPECT_TRUE(runEventLoopUntil([&] { return controller_->DocumentName() == first; }));
    EXPECT_EQ(form_->windowHandle()->title().toStdString(),
              "first.vcf - " + overlayLine("GI_Sys_AppTitle"));
}

// An edit marks the caption the desktop's way; a save clears the mark.
TEST_F(DocumentWindowTest, TheCaptionShowsUnsavedChanges) {
    open();
    clickNode("User Channels");
    EXPECT_FALSE(form_->isWindowModified());
    typeIntoCell(kReceive, 1, "7053.4");
    EXPECT_TRUE(form_->isWindowModified());
    EXPECT_EQ(form_->windowHandle()->title().toStdString(),
              "Untitled* - " + overlayLine("GI_Sys_AppTitle"));
    prompter_.chooseNextFile(install_->filePath("plan.vcf").toStdString());
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(form_->isWindowModified());
    EXPECT_EQ(form_->windowHandle()->title().toStdString(),
              "plan.vcf - " + overlayLine("GI_Sys_AppTitle"));
}

} // namespace
