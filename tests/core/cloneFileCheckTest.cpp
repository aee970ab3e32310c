#include "core/cloneFileCheck.h"
#include "cloneFileSupport.h"
#include "core/modelIdentity.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace marlo;

using namespace cloneFileSupport;

namespace {

class CloneFileCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        fillPattern(source);
        source.SetByte(0x2B1, 1); // a model variant the radio has
        writeFile(path("good.vcf"), savedCloneFile(source));
        writeFile(path("gap.vcf"), withoutLine(savedCloneFile(source), "6C3010"));
        writeFile(path("model.vcf"), "26210001\r\n");
        source.SetByte(marloModel::mapRevisionAddress, 5);
        writeFile(path("rev5.vcf"), savedCloneFile(source));
        writeFile(path("extra.vcf"), savedCloneFile(source) + record(0x0000, 1, 0) + "\r\n");
        source.SetByte(marloModel::mapRevisionAddress, 6);
        source.SetByte(0x2B1, 5); // a model variant this radio does not have
        writeFile(path("variant5.vcf"), savedCloneFile(source));
        source.SetByte(0x2B1, 1);
    }
    std::string path(const char* name) const { return folder.filePath(name).toStdString(); }

    QTemporaryDir folder;
    MemoryImage source;
};

TEST_F(CloneFileCheck, AcceptedFileIsCopiedIntoTheImage) {
    ScriptedPrompter prompter;
    MemoryImage image;
    EXPECT_EQ(checkCloneFile(path("good.vcf"), image), CloneFile::Ok);
    EXPECT_TRUE(prompter.shown().empty());
    ASSERT_EQ(image.Size(), marloModel::imageSize);
    EXPECT_EQ(image.GetByte(0x2B0), 6);
    EXPECT_EQ(image.GetByte(0x6C3F), source.GetByte(0x6C3F));
    EXPECT_EQ(image.GetByte(0x2AF), 0); // outside the clone range
}

TEST_F(CloneFileCheck, RejectedFileShowsOneBoxAndLeavesTheImage) {
    const struct {
        const char* file;
        CloneFile::Code code;
    } cases[] = {
        {"missing.vcf", CloneFile::FileOpen}, {"model.vcf", CloneFile::Model},
        {"rev5.vcf", CloneFile::Data},        {"gap.vcf", CloneFile::Coverage},
        {"extra.vcf", CloneFile::Data},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ScriptedPrompter prompter;
        MemoryImage image;
        image.Resize(4);
        image.Fill(0xEE);
        EXPECT_EQ(checkCloneFile(path(c.file), image), c.code);
        expectFileError(prompter, c.code);
        EXPECT_EQ(image.Size(), 4);
        EXPECT_EQ(image.GetByte(0), 0xEE);
    }
}

// The built command-line tool, run as a user would. Its check and its write open
// a file through the desktop program's own steps, so they refuse alike.
struct ToolRun {
    int status;
    std::string err;
    std::string out;
};

ToolRun runTool(const QStringList& args) {
    QProcess tool;
    tool.start(QString::fromStdString(programDir() + "marlo-clone"), args);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit)
        return {-1, "did not finish", ""};
    return {tool.exitCode(), tool.readAllStandardError().toStdString(),
            tool.readAllStandardOutput().toStdString()};
}

TEST_F(CloneFileCheck, ToolExitsWithTheCodeAndPrintsTheMessage) {
    EXPECT_EQ(runTool({"check", QString::fromStdString(path("good.vcf"))}).status, 0);
    EXPECT_EQ(runTool({"check", QString::fromStdString(path("good.vcf"))}).err, "");

    OverlayTexts& texts = OverlayTexts::App();
    const std::string headline = texts.GetLine("GI_Mess_FileErr_Headline", 0);
    const struct {
        const char* file;
        int status;
        const char* entry;
    } cases[] = {
        {"missing.vcf", 1, "GI_Mess_FileErr_FileOpen"}, {"model.vcf", 3, "GI_Mess_FileErr_Model"},
        {"gap.vcf", 7, "GI_Mess_FileErr_Coverage"},     {"rev5.vcf", 8, "GI_Mess_FileErr_Data"},
        {"variant5.vcf", 8, "GI_Mess_FileErr_Data"},
    };
    for (const auto& c : cases) {
        const QString file = QString::fromStdString(path(c.file));
        const ToolRun run = runTool({"check", file});
        EXPECT_EQ(run.status, c.status) << c.file;
        EXPECT_NE(
            run.err.find(headline + "\n" + file.toStdString() + "\n\n" + texts.GetLine(c.entry, 0)),
            std::string::npos)
            << c.file << ": " << run.err;
        // The file is refused before any port is opened.
        EXPECT_EQ(runTool({"write", "--device", "/nonexistent/tty", file}).status, 32 + c.status)
            << c.file;
    }
}

// GNU habits: asked-for help and the version on stdout with 0, starting nothing;
// a usage error on stderr with 64, naming the synopsis and where the help is.
TEST_F(CloneFileCheck, ToolAnswersHelpOnStdoutAndBadUsageWith64) {
    const QString good = QString::fromStdString(path("good.vcf"));
    const struct {
        QStringList args;
        int status;
        const char* out; // expected in stdout (and stderr empty), or null
        const char* err; // expected in stderr (and stdout empty), or null
    } cases[] = {
        {{"--help"}, 0, "Run 'marlo-clone COMMAND --help'", nullptr},
        {{"--version"}, 0, "marlo-clone " MARLO_TEST_VERSION "\n", nullptr},
        // The port is never opened: the device does not exist, yet the status is 0.
        {{"write", "--device", "/nonexistent/tty", good, "--help"}, 0, "--verify ", nullptr},
        {{"import", "-h"}, 0, "LIST: channels", nullptr},
        {{"read", "--help", "--bogus"}, 0, "-o FILE ", nullptr},
        {{}, 64, nullptr, "marlo-clone check FILE"},
        {{"check"}, 64, nullptr, "marlo-clone check FILE\nTry 'marlo-clone check --help'"},
        {{"check", good, good}, 64, nullptr, "marlo-clone check FILE"},
        {{"verify", good}, 64, nullptr, "unknown command 'verify'"},
        {{"--version", "check"}, 64, nullptr, "Try 'marlo-clone --help'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.status, c.status);
        const std::string& shown = c.out != nullptr ? run.out : run.err;
        const std::string& quiet = c.out != nullptr ? run.err : run.out;
        EXPECT_NE(shown.find(c.out != nullptr ? c.out : c.err), std::string::npos) << shown;
        EXPECT_EQ(quiet, "");
    }
}

} // namespace
