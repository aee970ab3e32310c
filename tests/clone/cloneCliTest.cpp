#include "clone/cloneCliOptions.h"
#include "clone/cloneFileSave.h"
#include "cloneChainFixture.h"
#include "core/cloneFileCheck.h"
#include "core/cmcVcfFile.h"
#include "core/modelIdentity.h"
#include "overlay/cmcGTex.h"
#include "platform/programPath.h"
#include "support/eventLoop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

using Fault = cmcRadioSim::Fault;

std::string readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// The built marlo-clone, run as a user would, beside a simulated radio served by
// this process. Its settings and runtime folders are private to the test.
class CloneCli : public ::testing::Test {
protected:
    struct Run {
        int status = -1;
        std::string out;
        std::string err;
    };

    void SetUp() override {
        ASSERT_TRUE(home.isValid() && runtime.isValid() && files.isValid());
        cmcEeprom radio;
        makeRadioImage(radio, 0, "CLI RADIO");
        sim.SetImage(radio);
        ASSERT_TRUE(sim.Start()) << sim.ErrorText();
    }

    // `whileRunning` is polled while the tool runs.
    Run run(QStringList args, const std::function<void()>& whileRunning = {}) {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", home.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        tool.setProcessEnvironment(env);
        tool.start(QString::fromStdString(programDir() + "marlo-clone"), args);
        tool.closeWriteChannel();
        // The radio answers from this process's event loop: never block it.
        const bool ended = runEventLoopUntil(
            [&] {
                if (whileRunning)
                    whileRunning();
                return tool.state() == QProcess::NotRunning;
            },
            60000);
        if (!ended || tool.exitStatus() != QProcess::NormalExit)
            return {};
        return {tool.exitCode(), tool.readAllStandardOutput().toStdString(),
                tool.readAllStandardError().toStdString()};
    }
    QString device() const { return QString::fromStdString(sim.DevicePath()); }
    QString file(const char* name) const { return files.filePath(name); }
    // The radio's memory as a document file.
    QString saveRadio(const char* name) {
        cmcEeprom image;
        image.Assign(sim.Image());
        EXPECT_EQ(cmcSaveDocumentFile(image, file(name).toStdString()), cmcVcfFile::Ok);
        return file(name);
    }

    QTemporaryDir home;
    QTemporaryDir runtime;
    QTemporaryDir files;
    cmcRadioSim sim;
};

TEST_F(CloneCli, InfoPrintsTheRadio) {
    const Run r = run({"info", "--device", device()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("model code: 2620 0001\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("firmware: 3400\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(CloneCli, FailuresExitWithTheirCodeAndMessage) {
    const std::string title = cmcGTex::App().GetLine("GI_Sys_AppTitle", 0);
    const Run variant = run({"info", "--device", device(), "--variant", "1"});
    EXPECT_EQ(variant.status, 13);
    EXPECT_EQ(variant.err, title + ": " + cmcGTex::App().GetText("GI_Mess_ModelError") + "\n");

    const Run port = run({"info", "--device", "/dev/marlo-no-such-port"});
    EXPECT_EQ(port.status, 2);
    EXPECT_NE(port.err.find("/dev/marlo-no-such-port"), std::string::npos);
    EXPECT_NE(port.err.find("does not exist"), std::string::npos) << port.err;
}

TEST_F(CloneCli, ReadSavesTheRadioAsALoadableFile) {
    const QString out = file("backup.vcf");
    const Run r = run({"read", "--device", device(), "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, ""); // not a terminal: no progress either

    ScriptedPrompter quiet;
    cmcEeprom saved;
    ASSERT_EQ(cmcCheckCloneFile(out.toStdString(), saved), cmcVcfFile::Ok);
    for (std::int32_t a = 0x02B0; a <= 0x6C3F; ++a)
        ASSERT_EQ(saved.GetByte(a), sim.Image().GetByte(a)) << "at " << a;
    EXPECT_NE(readAll(out).find("#Comment=CLI RADIO\r\n#MapRev=6\r\n"), std::string::npos);
}

TEST_F(CloneCli, PulledCableWritesNoFile) {
    const QString fresh = file("fresh.vcf");
    const QString existing = file("existing.vcf");
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("an earlier backup\n");
    }
    for (const QString& out : {fresh, existing}) {
        SCOPED_TRACE(out.toStdString());
        cmcRadioSim radio;
        ASSERT_TRUE(radio.Start());
        // Identified first; the line drops once the read has begun.
        const Run r =
            run({"read", "--device", QString::fromStdString(radio.DevicePath()), "-o", out}, [&] {
                if (radio.Stats().informationRequests > 0)
                    radio.SetFault(Fault::HangUp);
            });
        EXPECT_EQ(r.status, 17) << r.err;
        EXPECT_EQ(radio.Stats().hangUps, 1);
        EXPECT_NE(r.err.find(cmcGTex::App().GetLine("GI_Mess_CloneErr_Head", 17)),
                  std::string::npos);
    }
    EXPECT_FALSE(QFile::exists(fresh));
    EXPECT_EQ(readAll(existing), "an earlier backup\n");
    EXPECT_EQ(QDir(files.path()).entryList(QDir::Files).size(), 1); // no temporary left over
}

TEST_F(CloneCli, WriteSendsTheFile) {
    const QString backup = saveRadio("backup.vcf");
    cmcEeprom changed;
    makeRadioImage(changed, 0, "CHANGED");
    sim.SetImage(changed);

    const Run r = run({"write", "--device", device(), backup});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(sim.Stats().lastWriteResult, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(sim.Image().Data()) + 0x02BB, 9),
              "CLI RADIO");
}

TEST_F(CloneCli, WriteOfAFileThatDoesNotLoadExits32PlusItsCode) {
    const QString good = saveRadio("good.vcf");
    const std::string text = readAll(good);
    const auto write = [&](const char* name, const std::string& content) {
        QFile f(file(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content.data(), static_cast<qint64>(content.size()));
        return file(name);
    };
    // Variant byte 7 (at 0x02B1, the second byte of the first record).
    std::string variant7 = text;
    const auto first = variant7.find("\r\n02B010") + 2 + 6;
    variant7.replace(first + 2, 2, "07");
    const struct {
        QString path;
        int status;
    } rows[] = {
        {file("missing.vcf"), 32 + cmcVcfFile::FileOpen},
        {write("model.vcf", "26210001\r\n"), 32 + cmcVcfFile::Model},
        {write("gap.vcf", text.substr(0, text.size() - 40)), 32 + cmcVcfFile::Coverage},
        {write("cut.vcf", text.substr(0, text.size() - 20)), 32 + cmcVcfFile::Format},
        {write("variant7.vcf", variant7), 32 + cmcVcfFile::Data},
    };
    for (const auto& row : rows) {
        const Run r = run({"write", "--device", device(), row.path});
        EXPECT_EQ(r.status, row.status) << row.path.toStdString() << "\n" << r.err;
        EXPECT_NE(r.err.find(cmcGTex::App().GetLine("GI_Mess_FileErr_Headline", 0)),
                  std::string::npos);
    }
    EXPECT_EQ(sim.Stats().writeRequests, 0);
    EXPECT_EQ(sim.Stats().informationRequests, 0);
}

TEST_F(CloneCli, StoredPortAndVariantAreReadButNeverWritten) {
    QDir(home.path()).mkpath("Vexa");
    const QString settings = home.filePath("Vexa/Marlo.conf");
    const std::string text = "[Global]\nBBT=753951\nComPort=9\n"
                             "[View%20Option]\nFontSize%20Percentage=100\nToolbar%20Visible=1\n"
                             "[Window%20Position]\nLeft=1\nTop=2\nWidth=640\nHeight=480\n"
                             "SplitterV=200\n[Setup]\nModelType=1\n[Ports]\nPort9=" +
                             sim.DevicePath() + "\n";
    {
        QFile f(settings);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
    }
    sim.SetVariant(1);
    const Run r = run({"info"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(sim.Stats().informationRequests, 1);
    EXPECT_EQ(readAll(settings), text);
    EXPECT_EQ(QDir(runtime.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0)
        << "no single-instance lock is taken";

    // The stored variant 1 against a radio of variant 0.
    sim.SetVariant(0);
    EXPECT_EQ(run({"info"}).status, 13);
}

TEST_F(CloneCli, UsageErrorsExit64) {
    for (const QStringList& args :
         {QStringList{"info", "--port", "1", "--device", "/dev/null"}, QStringList{"write"}}) {
        const Run r = run(args);
        EXPECT_EQ(r.status, 64) << args.join(' ').toStdString();
        EXPECT_NE(r.err.find("marlo-clone read [--port N | --device PATH] [--variant V] -o FILE"),
                  std::string::npos);
    }
}

TEST(CloneCliOptions, ParsesEachCommandsArguments) {
    using K = cmcCloneCliCommand;
    const struct {
        K command;
        std::vector<std::string> args;
        bool ok;
        int port = 0;
        std::string device = {};
        int variant = -1; // none
        std::string file = {};
    } rows[] = {
        {K::Info, {}, true, 0, "", -1, ""},
        {K::Info, {"--port", "256", "--variant", "1"}, true, 256, "", 1, ""},
        {K::Read, {"-o", "x.vcf", "--device", "/dev/pts/3"}, true, 0, "/dev/pts/3", -1, "x.vcf"},
        {K::Write, {"--variant", "0", "x.vcf"}, true, 0, "", 0, "x.vcf"},
        {K::Info, {"--port", "0"}, false},
        {K::Info, {"--port", "5x"}, false},
        {K::Info, {"--port", "1", "--port", "2"}, false},
        {K::Info, {"-o", "x.vcf"}, false},
        {K::Read, {}, false},
        {K::Write, {"a.vcf", "b.vcf"}, false},
        {K::Write, {"--verbose", "a.vcf"}, false},
    };
    for (const auto& row : rows) {
        std::string problem;
        const auto parsed = cmcParseCloneCliOptions(row.command, row.args, problem);
        std::string joined;
        for (const auto& a : row.args)
            joined += a + " ";
        SCOPED_TRACE(joined);
        ASSERT_EQ(parsed.has_value(), row.ok) << problem;
        if (!row.ok) {
            EXPECT_FALSE(problem.empty());
            continue;
        }
        EXPECT_EQ(parsed->port.number, row.port);
        EXPECT_EQ(parsed->port.device, row.device);
        EXPECT_EQ(parsed->variant.value_or(-1), row.variant);
        EXPECT_EQ(parsed->file, row.file);
    }
}

} // namespace
