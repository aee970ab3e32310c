#include "core/cloneFile.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace marlo;

namespace {

// marlo-clone's export, import and diff, run as a user runs them, on copies of
// the installed initial files in a folder of the test's own.
class ExchangeCli : public ::testing::Test {
protected:
    struct Run {
        int status = -1;
        std::string out;
        std::string err;
    };

    void SetUp() override {
        ASSERT_TRUE(home.isValid() && files.isValid());
        for (int v = 0; v < 2; ++v)
            ASSERT_TRUE(QFile::copy(
                QString::fromStdString(programDir() +
                                       OverlayTexts::App().GetLine("GI_App_InitialFile", v)),
                path("v" + std::to_string(v) + ".vcf")));
    }

    QString path(const std::string& name) const {
        return files.filePath(QString::fromStdString(name));
    }
    std::string read(const std::string& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
    void write(const std::string& name, const std::string& text) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
    }

    Run run(const QStringList& args) {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", home.path());
        tool.setProcessEnvironment(env);
        tool.setWorkingDirectory(files.path());
        tool.start(QString::fromStdString(programDir() + "marlo-clone"), args);
        tool.closeWriteChannel();
        if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit)
            return {};
        return {tool.exitCode(), tool.readAllStandardOutput().toStdString(),
                tool.readAllStandardError().toStdString()};
    }

    QTemporaryDir home;
    QTemporaryDir files;
};

TEST_F(ExchangeCli, SpreadsheetRoundTripThroughFiles) {
    // Export to a file and to stdout alike.
    const Run exported = run({"export", "v0.vcf", "--list", "channels", "-o", "ch.csv"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(run({"export", "v0.vcf", "--list", "channels"}).out, read("ch.csv"));
    EXPECT_EQ(read("ch.csv").substr(0, 13), "slot,number,r");

    // The file's own export back changes no byte of it.
    const std::string before = read("v0.vcf");
    const Run back = run({"import", "v0.vcf", "--list", "channels", "ch.csv"});
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(read("v0.vcf"), before);

    // An edit in the spreadsheet arrives in OUT; FILE stays; diff names it.
    std::string edited = read("ch.csv");
    // A new channel: the columns left blank keep a new entry's values.
    edited.replace(edited.find("\r\n12,,,,"), 14, "\r\n12,7,7055,<-,,,,,,,");
    write("edited.csv", edited);
    const Run imported =
        run({"import", "v0.vcf", "--list", "channels", "edited.csv", "-o", "new.vcf"});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(read("v0.vcf"), before);
    const Run differs = run({"diff", "v0.vcf", "new.vcf"});
    EXPECT_EQ(differs.status, 1);
    EXPECT_NE(differs.out.find("channels slot 12: rx_khz (empty) -> 7055.0\n"), std::string::npos)
        << differs.out;
    // The same edit from a tab-separated file saved under a .csv name.
    std::string tabbed = edited;
    std::replace(tabbed.begin(), tabbed.end(), ',', '\t');
    write("tabbed.csv", tabbed);
    const Run fromTabs =
        run({"import", "v0.vcf", "--list", "channels", "tabbed.csv", "-o", "tabbed.vcf"});
    ASSERT_EQ(fromTabs.status, 0) << fromTabs.err;
    EXPECT_EQ(read("tabbed.vcf"), read("new.vcf"));
    const Run same = run({"diff", "v0.vcf", "v0.vcf"});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "");
}

TEST_F(ExchangeCli, RefusedTableWritesNothing) {
    write("bad.csv", "slot,number,rx_khz\r\n1,5,7053.45\r\n2,5,7000\r\n");
    const std::string before = read("v1.vcf");
    const Run refused = run({"import", "v1.vcf", "--list", "channels", "bad.csv"});
    EXPECT_EQ(refused.status, 65);
    EXPECT_EQ(refused.err, "marlo-clone: bad.csv: nothing was imported:\n"
                           "line 2, column rx_khz: would be stored as \"7053.4\"\n"
                           "line 3, column number: \"5\" repeats slot 1\n");
    EXPECT_EQ(read("v1.vcf"), before);

    write("ragged.csv", "slot,number\r\n1,5,6\r\n");
    const Run ragged = run({"import", "v1.vcf", "--list", "channels", "ragged.csv"});
    EXPECT_EQ(ragged.status, 65);
    EXPECT_NE(ragged.err.find("line 2: 3 values, but the header has 2 columns"), std::string::npos);
    EXPECT_EQ(run({"import", "v1.vcf", "--list", "channels", "missing.csv"}).status, 66);
    EXPECT_EQ(read("v1.vcf"), before);
}

TEST_F(ExchangeCli, UnusableFilesAndUsage) {
    write("junk.vcf", "not a clone file\r\n");
    const Run junk = run({"diff", "v0.vcf", "junk.vcf"});
    EXPECT_EQ(junk.status, 32 + CloneFile::Format);
    EXPECT_NE(junk.err.find("\njunk.vcf\n"), std::string::npos) << junk.err;
    EXPECT_EQ(run({"diff", "nowhere.vcf", "v0.vcf"}).status, 32 + CloneFile::FileOpen);
    EXPECT_EQ(run({"export", "junk.vcf", "--list", "ale"}).status, 32 + CloneFile::Format);
    EXPECT_EQ(run({"export", "v0.vcf", "--list", "colours"}).status, 64);
    EXPECT_EQ(run({"export", "v0.vcf"}).status, 64);
    const std::string file = read("v0.vcf");
    EXPECT_EQ(run({"export", "v0.vcf", "--list", "ale", "-o", "./v0.vcf"}).status, 64);
    EXPECT_EQ(read("v0.vcf"), file);
    EXPECT_EQ(run({"diff", "v0.vcf"}).status, 64);
    // -o "" would save into FILE; -o naming the table would overwrite it.
    ASSERT_EQ(run({"export", "v0.vcf", "--list", "settings", "-o", "s.csv"}).status, 0);
    const std::string table = read("s.csv");
    write("edited.csv", table.substr(0, table.find("\r\n") + 2) + "TxPwrSel,Low\r\n");
    for (const char* out : {"", "edited.csv", "./edited.csv"}) {
        EXPECT_EQ(run({"import", "v0.vcf", "--list", "settings", "edited.csv", "-o", out}).status,
                  64)
            << out;
        EXPECT_TRUE(read("v0.vcf") == file) << out;
    }
    EXPECT_EQ(read("edited.csv").substr(0, 13), "setting,value");
    EXPECT_EQ(run({"export", "v0.vcf", "--list", "phone", "-o", "no/such/folder.csv"}).status, 73);
}

} // namespace
