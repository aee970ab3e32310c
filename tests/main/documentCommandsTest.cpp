#include "controllerFixture.h"

#include "core/cloneFile.h"
#include "core/settingsStore.h"
#include "main/mainWindow.h"
#include "platform/programPath.h"
#include "support/eventLoop.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace marlo;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The document commands of a controller with variant 0's initial file as its
// untitled document, in a folder of the test's own.
class DocumentTest : public ControllerTest {
protected:
    DocumentTest() : c(makeControllerWithReference()) {
        c.CurrentImage().Assign(c.ReferenceImage());
        c.TakeSaved();
        c.SetDocumentName({});
    }

    std::string path(const std::string& name) const {
        return QDir(files_.path()).filePath(QString::fromStdString(name)).toStdString();
    }
    // A saved document `name` whose byte 0x2C0 (in the memory name) holds `mark`.
    std::string savedFile(const std::string& name, std::uint8_t mark) {
        c.CurrentImage().SetByte(0x2C0, mark);
        EXPECT_EQ(c.SaveFile(path(name)), 0);
        return path(name);
    }
    void edit() {
        c.CurrentImage().SetByte(0x2C1, c.CurrentImage().GetByte(0x2C1) ^ 0x55);
        c.UpdateModified();
    }

    // The document as a failed command must leave it.
    struct Snapshot {
        std::string name;
        bool modified;
        std::uint8_t mark;
        std::uint8_t edited;
    };
    Snapshot snapshot() const {
        return {c.DocumentName(), c.IsModified(), c.CurrentImage().GetByte(0x2C0),
                c.CurrentImage().GetByte(0x2C1)};
    }
    void expectUnchanged(const Snapshot& s) const {
        EXPECT_EQ(c.DocumentName(), s.name);
        EXPECT_EQ(c.IsModified(), s.modified);
        EXPECT_EQ(c.CurrentImage().GetByte(0x2C0), s.mark);
        EXPECT_EQ(c.CurrentImage().GetByte(0x2C1), s.edited);
    }

    QTemporaryDir files_;
    RadioAppController& c;
};

TEST_F(DocumentTest, NoQuestionWithoutChanges) {
    savedFile("a.vcf", 1);
    EXPECT_EQ(c.AskSave(false), AppController::kAskSaved);
    EXPECT_EQ(c.NewDocument(), 0);
    EXPECT_TRUE(prompter_.shown().empty());
    EXPECT_EQ(c.DocumentName(), "");
}

TEST_F(DocumentTest, OpeningAnotherFileOffersToSaveTheDocumentUnderItsOwnName) {
    const std::string b = savedFile("b.vcf", 2);
    const std::string a = savedFile("a.vcf", 1);
    edit();
    prompter_.answerNext(PromptAnswer::Yes);
    EXPECT_EQ(c.OpenFile(b), 0);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.lastText(), "Do you want to save the changes to a.vcf?");
    EXPECT_EQ(c.DocumentName(), b);
    EXPECT_FALSE(c.IsModified());
    EXPECT_EQ(c.CurrentImage().GetByte(0x2C0), 2);
    // The edit reached a.vcf.
    EXPECT_NE(readAll(a).find(readAll(b).substr(0, 9)), std::string::npos);
    EXPECT_EQ(SettingsStore::App().Recent.Item(0), b);
    EXPECT_EQ(SettingsStore::App().Recent.Item(1), a);
}

TEST_F(DocumentTest, ReopeningTheOwnFileSavesElsewhereAndCancellingThatCancelsAll) {
    const std::string a = savedFile("a.vcf", 1);
    edit();
    const Snapshot before = snapshot();
    prompter_.answerNext(PromptAnswer::Yes);
    prompter_.chooseNextFile(std::nullopt);
    EXPECT_NE(c.OpenFile(a), 0);
    EXPECT_EQ(prompter_.lastText(), overlayLine("GI_Mess_Confirm_WriteAnother"));
    expectUnchanged(before);
    EXPECT_TRUE(prompter_.scriptUsed());

    // A name typed without an extension gets ".vcf".
    prompter_.answerNext(PromptAnswer::Yes);
    prompter_.chooseNextFile(path("copy"));
    EXPECT_EQ(c.OpenFile(a), 0);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path("copy.vcf"))));
    EXPECT_EQ(c.DocumentName(), a);
    EXPECT_EQ(c.CurrentImage().GetByte(0x2C1), 0);
}

TEST_F(DocumentTest, PathsDifferingInCaseAreDifferentFiles) {
    const std::string lower = savedFile("x.vcf", 1);
    const std::string upper = savedFile("X.VCF", 2);
    ASSERT_EQ(c.OpenFile(lower), 0);
    ASSERT_EQ(c.OpenFile(upper), 0);
    EXPECT_EQ(SettingsStore::App().Recent.Item(0), upper);
    EXPECT_EQ(SettingsStore::App().Recent.Item(1), lower);
    EXPECT_EQ(c.OpenRecent(1), 0);
    EXPECT_EQ(c.CurrentImage().GetByte(0x2C0), 1);
    EXPECT_NE(c.OpenRecent(9), 0);
}

TEST_F(DocumentTest, SavedCommentIsTheMemoryNameWithoutTrailingBlanks) {
    const std::uint8_t name[16] = {'B',  'a',  's',  'e',  ' ',  '1',  0xFF, 0xFF,
                                   0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    c.CurrentImage().Write(0x2BB, name, 16);
    ASSERT_EQ(c.SaveFile(path("n.vcf")), 0);
    EXPECT_NE(readAll(path("n.vcf")).find("#Comment=Base 1\r\n"), std::string::npos);
}

TEST_F(DocumentTest, OpenOfWhatIsNoCloneFileKeepsTheDocument) {
    savedFile("a.vcf", 1);
    edit();
    const std::string fifo = path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string unreadable = savedFile("locked.vcf", 3);
    ::chmod(unreadable.c_str(), 0);
    c.CurrentImage().SetByte(0x2C0, 1);
    c.UpdateModified();
    const Snapshot before = snapshot();
    std::vector<std::string> bad = {files_.path().toStdString(), fifo, "/dev/zero",
                                    path("vanished.vcf")};
    if (::geteuid() != 0)
        bad.push_back(unreadable); // root reads it all the same
    for (const std::string& p : bad) {
        SCOPED_TRACE(p);
        prompter_.clear();
        prompter_.answerNext(PromptAnswer::No); // the save question
        EXPECT_NE(c.OpenFile(p), 0);
        ASSERT_EQ(prompter_.shown().size(), 2u);
        EXPECT_EQ(prompter_.shown()[1].icon, PromptIcon::Warning);
        expectUnchanged(before);
    }
}

TEST_F(DocumentTest, FailedSaveKeepsNameModifiedFlagAndOldFile) {
    const std::string a = savedFile("a.vcf", 1);
    edit();
    const Snapshot before = snapshot();
    const std::string old = readAll(a);

    // A full disk, simulated with a file size limit.
    struct rlimit limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    struct rlimit small = limit;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const int full = c.SaveFile(a);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(full, 0);
    expectUnchanged(before);
    EXPECT_EQ(readAll(a), old);

    const std::string readOnly = path("ro");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(readOnly)));
    ::chmod(readOnly.c_str(), 0500);
    std::vector<std::string> targets = {path("missing/b.vcf")};
    if (::geteuid() != 0)
        targets.push_back(readOnly + "/b.vcf");
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        prompter_.clear();
        EXPECT_NE(c.SaveFile(target), 0);
        ASSERT_EQ(prompter_.shown().size(), 1u);
        EXPECT_EQ(prompter_.shown()[0].icon, PromptIcon::Warning);
        expectUnchanged(before);
    }
    ::chmod(readOnly.c_str(), 0700);
}

TEST_F(DocumentTest, ErasedListsAreErrorsOfTheirSheets) {
    int errors = -1;
    int warnings = -1;
    MemoryImage shipped;
    shipped.Resize(c.ImageSize());
    CloneFile file;
    file.BindImage(shipped);
    file.SetModelCode(c.ModelCodeFirst(), c.ModelCodeSecond());
    file.SetMapRevisionCheck([&](int revision) { return c.MapRevisionAccepted(revision); });
    ASSERT_EQ(int(file.Load(programDir() + "Marlo_Variant0.vcf")), 0);
    c.CurrentImage().Assign(shipped);
    c.CheckWarnings(errors, warnings);
    EXPECT_EQ(errors, 0);

    for (std::int32_t a = 0x02C0; a <= 0x6C1F; ++a)
        c.CurrentImage().SetByte(a, 0xFF);
    c.CheckWarnings(errors, warnings);
    EXPECT_GT(errors, 0);
    // Per tree node: the band edges are erased, the empty channels are no fault.
    const WarningCheck& check = c.LastWarningCheck();
    EXPECT_EQ(check.MarkOf("GI_Sheet_BandEdge"), CheckMark::Error);
    EXPECT_EQ(check.MarkOf("GI_Sheet_UserCh"), CheckMark::None);
}

TEST_F(ControllerTest, TheNextStartNamesTheRecoveryFileInTheStatusLine) {
    QTemporaryDir folder;
    const std::string recovered = folder.filePath("Recovered.vcf").toStdString();
    std::ofstream(recovered) << "x";
    settings_->RecoveryFile = recovered;
    auto form = std::make_unique<MainWindow>(makeController());
    EXPECT_TRUE(runEventLoopUntil(
        [&] { return controller_->MessageText().find(recovered) != std::string::npos; }));
    EXPECT_EQ(settings_->RecoveryFile, "");
    form.reset();
    controller_.reset();
}

} // namespace
