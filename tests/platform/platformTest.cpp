#include "platform/fatalError.h"
#include "platform/programPath.h"
#include "platform/prompter.h"
#include "support/scriptedPrompter.h"
#include "views/qtPrompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

using namespace marlo;

namespace {

// A prompter that writes each box to stderr, where a death test can see it, and
// raises a second fatal error from inside the box when asked to.
class RecordingPrompter : public StderrPrompter {
public:
    RecordingPrompter(bool windows, bool failInsideBox)
        : windows_(windows), failInsideBox_(failInsideBox) {}
    PromptAnswer Message(const std::string& caption, const std::string& text, PromptIcon icon,
                         PromptButtons) override {
        std::fprintf(stderr, "box(%s|%s|%s)\n", caption.c_str(), text.c_str(),
                     icon == PromptIcon::Error ? "error" : "other");
        if (failInsideBox_)
            fatalError("second fault");
        return PromptAnswer::Ok;
    }
    bool HasWindows() const override { return windows_; }

private:
    bool windows_;
    bool failInsideBox_;
};

void dieWith(bool windows, bool failInsideBox) {
    RecordingPrompter prompter(windows, failInsideBox);
    Prompter::Install(&prompter);
    fatalError("Overlapped Hash table.");
}

} // namespace

TEST(FatalDeathTest, WithoutWindowsOnlyStderrAndStatus3) {
    EXPECT_EXIT(dieWith(false, false), ::testing::ExitedWithCode(3),
                "(^|\n)test_platform: Overlapped Hash table\\.\n$");
}

TEST(FatalDeathTest, WithWindowsAlsoShowsAnErrorBoxCaptionedWithTheProgramName) {
    EXPECT_EXIT(dieWith(true, false), ::testing::ExitedWithCode(3),
                "(^|\n)test_platform: Overlapped Hash table\\.\n"
                "box\\(test_platform\\|Overlapped Hash table\\.\\|error\\)\n$");
}

// Another box would raise the fault again and again; only the exit shows it did not.
TEST(FatalDeathTest, FaultRaisedWhileTheBoxIsUpEndsWithoutASecondBox) {
    EXPECT_EXIT(dieWith(true, true), ::testing::ExitedWithCode(3),
                "(^|\n)test_platform: Overlapped Hash table\\.\n"
                "box\\(test_platform\\|Overlapped Hash table\\.\\|error\\)\n"
                "test_platform: second fault\n$");
}

TEST(Prompter, StderrPrompterTakesTheSafeAnswerToEveryQuestion) {
    StderrPrompter prompter;
    EXPECT_EQ(prompter.Message("c", "t", PromptIcon::Warning, PromptButtons::Ok), PromptAnswer::Ok);
    EXPECT_EQ(prompter.Message("c", "t", PromptIcon::Question, PromptButtons::YesNo),
              PromptAnswer::No);
    EXPECT_EQ(prompter.Message("c", "t", PromptIcon::Question, PromptButtons::YesNoCancel),
              PromptAnswer::Cancel);
    EXPECT_EQ(prompter.Message("c", "t", PromptIcon::Question, PromptButtons::OkCancel),
              PromptAnswer::Cancel);
    EXPECT_FALSE(prompter.OpenFileName("c", "", "").has_value());
    EXPECT_FALSE(prompter.HasWindows());
}

TEST(Prompter, ScriptedPrompterIsInstalledForItsLifetimeAndAnswersInOrder) {
    Prompter* before = &Prompter::Current();
    {
        ScriptedPrompter script;
        EXPECT_EQ(&Prompter::Current(), &script);
        script.answerNext(PromptAnswer::Yes);
        script.answerNext(PromptAnswer::No);
        script.chooseNextFile("/tmp/x.vcf");
        auto& p = Prompter::Current();
        EXPECT_EQ(p.Message("cap", "first?", PromptIcon::Question, PromptButtons::YesNo),
                  PromptAnswer::Yes);
        EXPECT_EQ(p.Message("cap", "second?", PromptIcon::Question, PromptButtons::YesNo),
                  PromptAnswer::No);
        EXPECT_EQ(p.SaveFileName("Save", "", "", "").value_or(""), "/tmp/x.vcf");
        ASSERT_EQ(script.shown().size(), 2u);
        EXPECT_EQ(script.shown()[0].caption, "cap");
        EXPECT_EQ(script.lastText(), "second?");
        EXPECT_TRUE(script.scriptUsed());
    }
    EXPECT_EQ(&Prompter::Current(), before);
}

TEST(Prompter, ScriptedPrompterFailsTheTestOnAnUnscriptedQuestionOrDialog) {
    ScriptedPrompter script;
    PromptAnswer answer = PromptAnswer::Yes;
    EXPECT_NONFATAL_FAILURE(
        answer = script.Message("cap", "Overwrite?", PromptIcon::Question, PromptButtons::YesNo),
        "unexpected question: Overwrite?");
    EXPECT_EQ(answer, PromptAnswer::Cancel);
    EXPECT_NONFATAL_FAILURE(script.OpenFileName("Open", "", ""), "unexpected file dialog: Open");
    // A plain notice needs no script.
    EXPECT_EQ(script.Message("cap", "Done.", PromptIcon::Information, PromptButtons::Ok),
              PromptAnswer::Ok);
    EXPECT_EQ(script.shown().size(), 2u);
}

namespace {

// Runs `act` on the first modal window of type W once it is up (a box or dialog
// runs its own event loop, so the timer fires from inside it).
template <typename W>
void whenShown(std::function<void(W&)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* window = qobject_cast<W*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*window);
        }
    });
    poll->start(5);
}

struct QtBoxRow {
    const char* name;
    PromptIcon icon;
    PromptButtons buttons;
    QMessageBox::Icon qtIcon;
    QMessageBox::StandardButtons qtButtons;
    QMessageBox::StandardButton pressed;
    PromptAnswer answer;
};

class QtPrompterBox : public ::testing::TestWithParam<QtBoxRow> {};

} // namespace

TEST_P(QtPrompterBox, ShowsARealBoxAndReturnsTheButtonPressed) {
    const QtBoxRow& row = GetParam();
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    whenShown<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        icon = box.icon();
        buttons = box.standardButtons();
        box.button(row.pressed)->click();
    });
    QtPrompter prompter;
    EXPECT_EQ(prompter.Message("Marlo", "Save changes?", row.icon, row.buttons), row.answer);
    EXPECT_EQ(title, "Marlo");
    EXPECT_EQ(text, "Save changes?");
    EXPECT_EQ(icon, row.qtIcon);
    EXPECT_EQ(buttons, row.qtButtons);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QtPrompterBox,
    ::testing::Values(
        QtBoxRow{"Ok", PromptIcon::Warning, PromptButtons::Ok, QMessageBox::Warning,
                 QMessageBox::Ok, QMessageBox::Ok, PromptAnswer::Ok},
        QtBoxRow{"OkCancel", PromptIcon::Information, PromptButtons::OkCancel,
                 QMessageBox::Information, QMessageBox::Ok | QMessageBox::Cancel,
                 QMessageBox::Cancel, PromptAnswer::Cancel},
        QtBoxRow{"YesNo", PromptIcon::Question, PromptButtons::YesNo, QMessageBox::Question,
                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, PromptAnswer::Yes},
        QtBoxRow{"YesNoCancel", PromptIcon::Error, PromptButtons::YesNoCancel,
                 QMessageBox::Critical, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                 QMessageBox::No, PromptAnswer::No},
        QtBoxRow{"NoIcon", PromptIcon::None, PromptButtons::YesNoCancel, QMessageBox::NoIcon,
                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel,
                 PromptAnswer::Cancel}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(QtPrompter, FileDialogsGiveTheChosenPathOrNothing) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString chosen = folder.filePath("radio.vcf");
    QtPrompter prompter;

    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        dialog.selectFile(chosen);
        static_cast<QDialog&>(dialog).accept(); // the file dialog's own accept is protected
    });
    EXPECT_EQ(
        prompter.SaveFileName("Save As", folder.path().toStdString(), "Clone files (*.vcf)", "vcf"),
        chosen.toStdString());

    whenShown<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(prompter.OpenFileName("Open", folder.path().toStdString(), "Clone files (*.vcf)"),
              std::nullopt);
}

// A name typed without the suffix names the file with it: the dialog must ask
// before that file is replaced, and No keeps the dialog open.
TEST(QtPrompter, SaveDialogAsksBeforeReplacingAFileTypedWithoutItsSuffix) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile existing(folder.filePath("radio.vcf"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    QtPrompter prompter;
    const auto typeName = [](QFileDialog& dialog, const char* name) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, name);
        QTest::keyClick(edit, Qt::Key_Return);
    };

    QString title;
    QString question;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        whenShown<QMessageBox>([&](QMessageBox& box) {
            question = box.text();
            whenShown<QFileDialog>([](QFileDialog& stillOpen) { stillOpen.reject(); });
            box.button(QMessageBox::No)->click();
        });
        typeName(dialog, "radio");
    });
    EXPECT_EQ(
        prompter.SaveFileName("Save As", folder.path().toStdString(), "Clone files (*.vcf)", "vcf"),
        std::nullopt);
    EXPECT_EQ(title, "Save As");
    EXPECT_TRUE(question.contains("radio.vcf")) << question.toStdString();

    whenShown<QFileDialog>([&](QFileDialog& dialog) { typeName(dialog, "fresh"); });
    EXPECT_EQ(
        prompter.SaveFileName("Save As", folder.path().toStdString(), "Clone files (*.vcf)", "vcf"),
        folder.filePath("fresh.vcf").toStdString());
}

TEST(QtPrompter, OffscreenPlatformHasNoWindowsForAFatalBox) {
    ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
    EXPECT_FALSE(QtPrompter().HasWindows());
}

TEST(ProgramPath, NamesTheRunningExecutable) {
    EXPECT_EQ(programFileName(), "test_platform");
    EXPECT_EQ(programDir() + programFileName(), programPath());
}

TEST(ProgramPath, InstallationFilesLieBesideTheProgramOrInItsShareFolder) {
    EXPECT_EQ(programFilesDir(), programDir()); // a build folder
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const std::string bin = prefix.path().toStdString() + "/bin/";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(bin)));
    EXPECT_EQ(programFilesDir(bin), bin);
    ASSERT_TRUE(QDir().mkpath(prefix.filePath("share/marlo")));
    EXPECT_EQ(programFilesDir(bin), bin + "../share/marlo/");
}
