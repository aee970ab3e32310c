#include "core/cloneFileCheck.h"
#include "cloneFileSupport.h"
#include "core/modelIdentity.h"
#include "overlay/cmcGTex.h"
#include "platform/programPath.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace cloneFileSupport;

namespace {

class CloneFileCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        fillPattern(source);
        source.SetByte(0x2B1, 1); // a model variant the radio has
        writeFile(path("good.vcf"), cloneFileText(source));
        writeFile(path("gap.vcf"), cloneFileText(source, 0x6C30));
        writeFile(path("model.vcf"), "26210001\r\n");
        source.SetByte(marloModel::mapRevisionAddress, 5);
        writeFile(path("rev5.vcf"), cloneFileText(source));
        writeFile(path("extra.vcf"), cloneFileText(source) + record(0x0000, 1, 0) + "\r\n");
        source.SetByte(marloModel::mapRevisionAddress, 6);
        source.SetByte(0x2B1, 5); // a model variant this radio does not have
        writeFile(path("variant5.vcf"), cloneFileText(source));
        source.SetByte(0x2B1, 1);
    }
    std::string path(const char* name) const { return folder.filePath(name).toStdString(); }

    QTemporaryDir folder;
    cmcEeprom source;
};

TEST_F(CloneFileCheck, AcceptedFileIsCopiedIntoTheImage) {
    ScriptedPrompter prompter;
    cmcEeprom image;
    EXPECT_EQ(cmcCheckCloneFile(path("good.vcf"), image), cmcVcfFile::Ok);
    EXPECT_TRUE(prompter.shown().empty());
    ASSERT_EQ(image.Size(), marloModel::imageSize);
    EXPECT_EQ(image.GetByte(0x2B0), 6);
    EXPECT_EQ(image.GetByte(0x6C3F), source.GetByte(0x6C3F));
    EXPECT_EQ(image.GetByte(0x2AF), 0); // outside the clone range
}

TEST_F(CloneFileCheck, RejectedFileShowsOneBoxAndLeavesTheImage) {
    const struct {
        const char* file;
        cmcVcfFile::Code code;
    } cases[] = {
        {"missing.vcf", cmcVcfFile::FileOpen}, {"model.vcf", cmcVcfFile::Model},
        {"rev5.vcf", cmcVcfFile::Data},        {"gap.vcf", cmcVcfFile::Coverage},
        {"extra.vcf", cmcVcfFile::Data},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ScriptedPrompter prompter;
        cmcEeprom image;
        image.Resize(4);
        image.Fill(0xEE);
        EXPECT_EQ(cmcCheckCloneFile(path(c.file), image), c.code);
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
};

ToolRun runTool(const QStringList& args) {
    QProcess tool;
    tool.start(QString::fromStdString(programDir() + "marlo-clone"), args);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit)
        return {-1, "did not finish"};
    return {tool.exitCode(), tool.readAllStandardError().toStdString()};
}

TEST_F(CloneFileCheck, ToolExitsWithTheCodeAndPrintsTheMessage) {
    EXPECT_EQ(runTool({"check", QString::fromStdString(path("good.vcf"))}).status, 0);
    EXPECT_EQ(runTool({"check", QString::fromStdString(path("good.vcf"))}).err, "");

    cmcGTex& texts = cmcGTex::App();
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

TEST_F(CloneFileCheck, ToolRefusesBadUsageWith64) {
    const QString good = QString::fromStdString(path("good.vcf"));
    for (const QStringList& args :
         {QStringList{}, QStringList{"check"}, QStringList{"check", good, good},
          QStringList{"verify", good}}) {
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 64) << args.join(' ').toStdString();
        EXPECT_NE(run.err.find("usage:"), std::string::npos);
        EXPECT_NE(run.err.find("marlo-clone check FILE"), std::string::npos);
    }
}

} // namespace
