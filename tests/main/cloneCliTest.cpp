#include "clone/cloneCliOptions.h"
#include "clone/cloneFileSave.h"
#include "clone/cloneMessages.h"
#include "clone/cmcComm.h"
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

#include <csignal>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <unistd.h>

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
    // Writes the user's settings file, as marlo leaves it, with the stored port
    // `comPort`, the stored variant and a [Ports] group; returns its text.
    std::string writeSettings(int comPort, int modelType, const std::string& ports) {
        QDir(home.path()).mkpath("Vexa");
        const std::string text = "[Global]\nBBT=753951\nComPort=" + std::to_string(comPort) +
                                 "\n[View%20Option]\nFontSize%20Percentage=100\n"
                                 "Toolbar%20Visible=1\n[Window%20Position]\nLeft=1\nTop=2\n"
                                 "Width=640\nHeight=480\nSplitterV=200\n[Setup]\nModelType=" +
                                 std::to_string(modelType) + "\n[Ports]\n" + ports;
        QFile f(settingsPath());
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
        return text;
    }
    QString settingsPath() const { return home.filePath("Vexa/Marlo.conf"); }
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

// Each failure exits with its clone result code and its message, the whole of
// stderr; a failed read leaves no file.
TEST_F(CloneCli, FailuresExitWithTheirCodeAndMessage) {
    const QString backup = saveRadio("backup.vcf");
    const QString out = file("out.vcf");
    const auto fault = [](Fault f) { return [f](cmcRadioSim& s) { s.SetFault(f); }; };
    const struct {
        const char* command;
        std::function<void(cmcRadioSim&)> setUp;
        int status;
        QStringList options = {};
    } rows[] = {
        {"info", fault(Fault::NoEcho), 4},
        {"info", fault(Fault::EchoOnly), 5},
        {"info", fault(Fault::MalformedReply), 6},
        {"read", fault(Fault::WrongEndCount), 7},
        {"read", fault(Fault::MissingFrame), 8},
        {"read", fault(Fault::FrameOutsideRange), 9},
        {"write", fault(Fault::RefusedWrite), 10},
        {"info", fault(Fault::WrongSecond), 11},
        {"info", [](cmcRadioSim&) {}, 13, {"--variant", "1"}},
        {"info", [](cmcRadioSim& s) { s.SetMapRevision(5); }, 14},
    };
    const std::string title = cmcGTex::App().GetLine("GI_Sys_AppTitle", 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.status);
        cmcRadioSim radio;
        radio.SetImage(sim.Image());
        row.setUp(radio);
        ASSERT_TRUE(radio.Start());
        QStringList args{row.command, "--device", QString::fromStdString(radio.DevicePath())};
        args << row.options;
        if (std::string_view(row.command) == "read")
            args << "-o" << out;
        if (std::string_view(row.command) == "write")
            args << backup;
        const Run r = run(args);
        EXPECT_EQ(r.status, row.status);
        const auto code = static_cast<std::uint8_t>(row.status);
        EXPECT_EQ(r.err, title + ": " + cmcCloneMessage(code, "") + "\n");
        // A radio that told who it is before the check refused it is described.
        if (row.status == 13 || row.status == 14)
            EXPECT_NE(r.out.find("model variant: 0"), std::string::npos) << r.out;
        else
            EXPECT_EQ(r.out, "");
        EXPECT_FALSE(QFile::exists(out));
    }
}

TEST_F(CloneCli, APortThatCannotBeOpenedExits2NamingTheDeviceAndWhy) {
    cmcComm holder; // this test process keeps the radio's line busy
    ASSERT_TRUE(holder.OpenDevice(sim.DevicePath(), "9600,N,8,1"));
    const struct {
        std::string device;
        std::string why;
    } rows[] = {
        {"/dev/marlo-no-such-port", "\"/dev/marlo-no-such-port\" does not exist"},
        {sim.DevicePath(), "It is held by process " + std::to_string(::getpid())},
        {"/dev/null", "\"/dev/null\" is not a serial port"},
    };
    const std::string portLine = cmcGTex::App().GetLine("GI_Mess_CloneErr_Head", 2);
    for (const auto& row : rows) {
        const Run r = run({"info", "--device", QString::fromStdString(row.device)});
        EXPECT_EQ(r.status, 2) << row.device;
        EXPECT_NE(r.err.find(cmcFormatPortLine(portLine, row.device)), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(row.why), std::string::npos) << r.err;
    }
    EXPECT_EQ(sim.Stats().informationRequests, 0);
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

// Gives `radio` the memory `image` with a byte changed at each of `addresses`.
void setChangedImage(cmcRadioSim& radio, const cmcEeprom& image,
                     std::initializer_list<std::int32_t> addresses) {
    cmcEeprom changed;
    changed.Assign(image);
    for (const std::int32_t a : addresses)
        changed.SetByte(a, static_cast<std::uint8_t>(changed.GetByte(a) ^ 0x5A));
    radio.SetImage(changed);
}

TEST_F(CloneCli, WriteRefusesADocumentWithErrorsBeforeThePortOpens) {
    cmcEeprom broken;
    broken.Assign(sim.Image());
    for (std::int32_t a = 0x02C0; a <= 0x6C1F; ++a)
        broken.SetByte(a, 0xFF); // erased lists: the band edges are errors
    ASSERT_EQ(cmcSaveDocumentFile(broken, file("broken.vcf").toStdString()), cmcVcfFile::Ok);

    const Run r = run({"write", "--device", device(), file("broken.vcf")});
    EXPECT_EQ(r.status, 65) << r.err;
    EXPECT_NE(r.err.find("errors on the sheet: Band Edges"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("User Channels"), std::string::npos) << r.err;
    EXPECT_EQ(sim.Stats().informationRequests, 0);
    EXPECT_EQ(sim.Stats().writeRequests, 0);
}

// --backup reads the radio into FILE first; the write waits for a saved backup.
TEST_F(CloneCli, WriteWithBackupSavesTheRadioFirst) {
    const QString toSend = saveRadio("send.vcf");
    cmcEeprom before;
    makeRadioImage(before, 0, "OLD RADIO");
    sim.SetImage(before);
    const auto comment = [](const cmcEeprom& image) {
        return std::string(reinterpret_cast<const char*>(image.Data()) + 0x02BB, 9);
    };

    const Run r = run({"write", "--device", device(), "--backup", file("backup.vcf"), toSend});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(sim.Stats().readRequests, 1);
    EXPECT_EQ(sim.Stats().lastWriteResult, 0);
    cmcEeprom backup;
    ScriptedPrompter quiet;
    ASSERT_EQ(cmcCheckCloneFile(file("backup.vcf").toStdString(), backup), cmcVcfFile::Ok);
    EXPECT_EQ(comment(backup), "OLD RADIO");
    EXPECT_EQ(comment(sim.Image()), "CLI RADIO"); // then the write

    // No backup, no write: a backup that cannot be saved, a read that fails.
    const struct {
        QString backup;
        Fault fault;
        int status;
        int informationRequests;
    } rows[] = {
        {"/dev/null", Fault::None, 33, 0},
        {files.path(), Fault::None, 33, 0},
        {file("backup2.vcf"), Fault::MissingFrame, 8, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.backup.toStdString());
        cmcRadioSim radio;
        radio.SetImage(before);
        radio.SetFault(row.fault);
        ASSERT_TRUE(radio.Start());
        const Run failed = run({"write", "--device", QString::fromStdString(radio.DevicePath()),
                                "--backup", row.backup, toSend});
        EXPECT_EQ(failed.status, row.status) << failed.err;
        EXPECT_EQ(radio.Stats().informationRequests, row.informationRequests);
        EXPECT_EQ(radio.Stats().writeRequests, 0);
        EXPECT_FALSE(QFile::exists(file("backup2.vcf")));
    }
}

// --verify reads the radio back; a radio that kept other bytes exits 66 and
// names the first addresses that differ.
TEST_F(CloneCli, WriteWithVerifyComparesEveryByteWritten) {
    const QString toSend = saveRadio("send.vcf");
    const Run good = run({"write", "--device", device(), "--verify", toSend});
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_EQ(sim.Stats().readRequests, 1);

    cmcRadioSim radio;
    radio.SetImage(sim.Image());
    ASSERT_TRUE(radio.Start());
    bool spoiled = false;
    const Run bad = run(
        {"write", "--device", QString::fromStdString(radio.DevicePath()), "--verify", toSend}, [&] {
            // Between the write and the read back: the radio loses two bytes
            // and changes one it was never sent (the identity).
            if (!spoiled && radio.Stats().lastWriteResult == 0 &&
                radio.Stats().informationRequests == 2) {
                setChangedImage(radio, radio.Image(), {0x02C4, 0x6C3F, 0x6C1A});
                spoiled = true;
            }
        });
    ASSERT_TRUE(spoiled);
    EXPECT_EQ(bad.status, 66) << bad.err;
    EXPECT_NE(bad.err.find("at 2 bytes: 02C4 6C3F\n"), std::string::npos) << bad.err;
}

// A target that could never take the file is refused before the radio is asked.
TEST_F(CloneCli, ReadRefusesATargetThatCannotTakeTheFile) {
    for (const QString& target :
         {QString("/dev/null"), files.path(), file("no-such-folder/backup.vcf")}) {
        const Run r = run({"read", "--device", device(), "-o", target});
        EXPECT_EQ(r.status, 32 + cmcVcfFile::FileOpen) << target.toStdString();
    }
    EXPECT_EQ(sim.Stats().informationRequests, 0);
}

// Ctrl+C or a kill mid-read: the port is closed, no file, 128 + the signal.
TEST_F(CloneCli, SignalsEndARadioCommandWithoutAFile) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        cmcRadioSim radio;
        radio.SetImage(sim.Image());
        ASSERT_TRUE(radio.Start());
        const QString out = file("interrupted.vcf");
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", home.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        tool.setProcessEnvironment(env);
        tool.start(QString::fromStdString(programDir() + "marlo-clone"),
                   {"read", "--device", QString::fromStdString(radio.DevicePath()), "-o", out});
        bool sent = false;
        ASSERT_TRUE(runEventLoopUntil(
            [&] {
                if (!sent && radio.Stats().framesSent > 20) {
                    ::kill(static_cast<pid_t>(tool.processId()), signal);
                    sent = true;
                }
                return tool.state() == QProcess::NotRunning;
            },
            60000));
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool.exitCode(), 128 + signal);
        EXPECT_FALSE(QFile::exists(out));
        EXPECT_EQ(QDir(files.path()).entryList(QDir::Files).size(), 0); // no temporary either
        // The line is free at once.
        cmcComm next;
        EXPECT_TRUE(next.OpenDevice(radio.DevicePath(), "9600,N,8,1"));
    }
}

// A late answer to a failed command is not taken for the next command's answer.
TEST_F(CloneCli, TheNextCommandIsNotMisledByALateAnswer) {
    sim.SetFault(Fault::SlowReply);
    const Run late = run({"info", "--device", device()});
    EXPECT_EQ(late.status, 5) << late.err;
    sim.SetFault(Fault::None);
    const Run next = run({"read", "--device", device(), "-o", file("next.vcf")});
    EXPECT_EQ(next.status, 0) << next.err;
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
    const std::string text = writeSettings(9, 1, "Port9=" + sim.DevicePath() + "\n");
    sim.SetVariant(1);
    const Run r = run({"info"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(sim.Stats().informationRequests, 1);
    EXPECT_EQ(readAll(settingsPath()), text);
    EXPECT_EQ(QDir(runtime.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0)
        << "no single-instance lock is taken";

    // The stored variant 1 against a radio of variant 0.
    sim.SetVariant(0);
    EXPECT_EQ(run({"info"}).status, 13);
}

// --port N goes through the port map: N's own [Ports] entry, else the default
// device of N; the stored port is only the fallback.
TEST_F(CloneCli, PortNumbersFollowTheSettingsOverrides) {
    writeSettings(3, 0,
                  "Port7=" + sim.DevicePath() + "\nPort3=/dev/serial/by-id/marlo-unplugged\n");
    const Run overridden = run({"info", "--port", "7"});
    EXPECT_EQ(overridden.status, 0) << overridden.err;
    EXPECT_EQ(sim.Stats().informationRequests, 1);

    const std::string portLine = cmcGTex::App().GetLine("GI_Mess_CloneErr_Head", 2);
    const Run stored = run({"info"});
    EXPECT_EQ(stored.status, 2);
    EXPECT_NE(stored.err.find(cmcFormatPortLine(portLine, "3")), std::string::npos) << stored.err;
    EXPECT_NE(stored.err.find("\"/dev/serial/by-id/marlo-unplugged\" does not exist"),
              std::string::npos)
        << stored.err;

    const Run unmapped = run({"info", "--port", "200"});
    EXPECT_EQ(unmapped.status, 2);
    EXPECT_NE(unmapped.err.find(cmcFormatPortLine(portLine, "200")), std::string::npos);
    EXPECT_NE(unmapped.err.find("\"/dev/ttyUSB195\""), std::string::npos) << unmapped.err;
    EXPECT_EQ(sim.Stats().informationRequests, 1);
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
        {K::Write, {"--verify", "--backup", "b.vcf", "a.vcf"}, true, 0, "", -1, "a.vcf"},
        {K::Write, {"--backup", "a.vcf", "a.vcf"}, false},
        {K::Write, {"--backup"}, false},
        {K::Read, {"--verify", "-o", "a.vcf"}, false},
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
