#include "../main/cloneChainFixture.h"
#include "cli/cloneCliOptions.h"
#include "clone/cloneFileSave.h"
#include "clone/cloneMessages.h"
#include "clone/serialLink.h"
#include "core/cloneFile.h"
#include "core/cloneFileCheck.h"
#include "core/modelIdentity.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"
#include "support/eventLoop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

using namespace marlo;

namespace {

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
        MemoryImage radio;
        makeRadioImage(radio, 0, "CLI RADIO");
        sim.SetImage(radio);
        ASSERT_TRUE(sim.Start()) << sim.ErrorText();
    }

    Run run(QStringList args) {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", home.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        tool.setProcessEnvironment(env);
        tool.start(QString::fromStdString(programDir() + "marlo-clone"), args);
        tool.closeWriteChannel();
        // The radio answers from this process's event loop: never block it.
        const bool ended =
            runEventLoopUntil([&] { return tool.state() == QProcess::NotRunning; }, 60000);
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
        MemoryImage image;
        image.Assign(sim.Image());
        EXPECT_EQ(saveDocumentFile(image, file(name).toStdString()), CloneFile::Ok);
        return file(name);
    }

    QTemporaryDir home;
    QTemporaryDir runtime;
    QTemporaryDir files;
    RadioSim sim;
};

TEST_F(CloneCli, InfoPrintsTheRadio) {
    const Run r = run({"info", "--device", device()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("model code: 2620 0001\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("firmware: 3400\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(CloneCli, APortThatCannotBeOpenedExits2NamingTheDeviceAndWhy) {
    SerialLink holder; // this test process keeps the radio's line busy
    ASSERT_TRUE(holder.OpenDevice(sim.DevicePath(), "9600,N,8,1"));
    const struct {
        std::string device;
        std::string why;
    } rows[] = {
        {"/dev/marlo-no-such-port", "\"/dev/marlo-no-such-port\" does not exist"},
        {sim.DevicePath(), "It is held by process " + std::to_string(::getpid())},
        {"/dev/null", "\"/dev/null\" is not a serial port"},
    };
    const std::string portLine = OverlayTexts::App().GetLine("GI_Mess_CloneErr_Head", 2);
    for (const auto& row : rows) {
        const Run r = run({"info", "--device", QString::fromStdString(row.device)});
        EXPECT_EQ(r.status, 2) << row.device;
        EXPECT_NE(r.err.find(formatPortLine(portLine, row.device)), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(row.why), std::string::npos) << r.err;
    }
    EXPECT_EQ(sim.Stats().informationRequests, 0);
}

// The radio read into a file that loads, and the file written back to a radio
// that has changed since.
TEST_F(CloneCli, ReadAndWriteRoundTrip) {
    const QString out = file("backup.vcf");
    const Run read = run({"read", "--device", device(), "-o", out});
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.err, ""); // not a terminal: no progress either
    {
        ScriptedPrompter quiet;
        MemoryImage saved;
        ASSERT_EQ(checkCloneFile(out.toStdString(), saved), CloneFile::Ok);
        for (std::int32_t a = 0x02B0; a <= 0x6C3F; ++a)
            ASSERT_EQ(saved.GetByte(a), sim.Image().GetByte(a)) << "at " << a;
        EXPECT_NE(readAll(out).find("#Comment=CLI RADIO\r\n#MapRev=6\r\n"), std::string::npos);
    }

    MemoryImage changed;
    makeRadioImage(changed, 0, "CHANGED");
    sim.SetImage(changed);
    const Run write = run({"write", "--device", device(), out});
    EXPECT_EQ(write.status, 0) << write.err;
    EXPECT_EQ(sim.Stats().lastWriteResult, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(sim.Image().Data()) + 0x02BB, 9),
              "CLI RADIO");
}

// BASE stands for what the radio holds: only the blocks that differ from it go.
TEST_F(CloneCli, WriteChangesSendsOnlyWhatDiffersFromTheBase) {
    const QString base = saveRadio("base.vcf");
    MemoryImage image;
    image.Assign(sim.Image());
    image.Write(0x02BB, reinterpret_cast<const std::uint8_t*>("CLI RADIX"), 9);
    const QString edited = file("edited.vcf");
    ASSERT_EQ(saveDocumentFile(image, edited.toStdString()), CloneFile::Ok);
    image.SetByte(0x6C1B, image.GetByte(0x6C1B) ^ 0x11);
    const QString otherIdentity = file("other.vcf");
    ASSERT_EQ(saveDocumentFile(image, otherIdentity.toStdString()), CloneFile::Ok);

    const struct {
        QString base;
        int status;
        const char* says;
        int frames;
    } rows[] = {
        {base, 0, "writing 1 blocks (16 bytes) that differ", 1},
        {edited, 0, "the radio already holds", 0},
        {otherIdentity, 11, "is not the one", 0},
    };
    for (const auto& row : rows) {
        const int frames = sim.Stats().framesAccepted;
        const Run r =
            run({"write", "--device", device(), "--changes-from", row.base, "--verify", edited});
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
        EXPECT_EQ(sim.Stats().framesAccepted - frames, row.frames) << r.err;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(sim.Image().Data()) + 0x02BB, 9),
                  "CLI RADIX");
    }
}

TEST_F(CloneCli, WriteRefusesADocumentWithErrorsBeforeThePortOpens) {
    MemoryImage broken;
    broken.Assign(sim.Image());
    for (std::int32_t a = 0x02C0; a <= 0x6C1F; ++a)
        broken.SetByte(a, 0xFF); // erased lists: the band edges are errors
    ASSERT_EQ(saveDocumentFile(broken, file("broken.vcf").toStdString()), CloneFile::Ok);

    const Run r = run({"write", "--device", device(), file("broken.vcf")});
    EXPECT_EQ(r.status, 65) << r.err;
    EXPECT_NE(r.err.find("errors on the sheet: Band Edges"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("User Channels"), std::string::npos) << r.err;
    EXPECT_EQ(sim.Stats().informationRequests, 0);
    EXPECT_EQ(sim.Stats().writeRequests, 0);
}

// A target that could never take the file is refused before the radio is asked.
TEST_F(CloneCli, ReadRefusesATargetThatCannotTakeTheFile) {
    for (const QString& target :
         {QString("/dev/null"), files.path(), file("no-such-folder/backup.vcf")}) {
        const Run r = run({"read", "--device", device(), "-o", target});
        EXPECT_EQ(r.status, 32 + CloneFile::FileOpen) << target.toStdString();
    }
    EXPECT_EQ(sim.Stats().informationRequests, 0);
}

// Ctrl+C or a kill mid-read: the port is closed, no file, 128 + the signal.
TEST_F(CloneCli, SignalsEndARadioCommandWithoutAFile) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        RadioSim radio;
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
        SerialLink next;
        EXPECT_TRUE(next.OpenDevice(radio.DevicePath(), "9600,N,8,1"));
    }
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
        {file("missing.vcf"), 32 + CloneFile::FileOpen},
        {write("model.vcf", "26210001\r\n"), 32 + CloneFile::Model},
        {write("gap.vcf", text.substr(0, text.size() - 40)), 32 + CloneFile::Coverage},
        {write("cut.vcf", text.substr(0, text.size() - 20)), 32 + CloneFile::Format},
        {write("variant7.vcf", variant7), 32 + CloneFile::Data},
    };
    for (const auto& row : rows) {
        const Run r = run({"write", "--device", device(), row.path});
        EXPECT_EQ(r.status, row.status) << row.path.toStdString() << "\n" << r.err;
        EXPECT_NE(r.err.find(OverlayTexts::App().GetLine("GI_Mess_FileErr_Headline", 0)),
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

    const std::string portLine = OverlayTexts::App().GetLine("GI_Mess_CloneErr_Head", 2);
    const Run stored = run({"info"});
    EXPECT_EQ(stored.status, 2);
    EXPECT_NE(stored.err.find(formatPortLine(portLine, "3")), std::string::npos) << stored.err;
    EXPECT_NE(stored.err.find("\"/dev/serial/by-id/marlo-unplugged\" does not exist"),
              std::string::npos)
        << stored.err;

    const Run unmapped = run({"info", "--port", "200"});
    EXPECT_EQ(unmapped.status, 2);
    EXPECT_NE(unmapped.err.find(formatPortLine(portLine, "200")), std::string::npos);
    EXPECT_NE(unmapped.err.find("\"/dev/ttyUSB195\""), std::string::npos) << unmapped.err;
    EXPECT_EQ(sim.Stats().informationRequests, 1);
}

// A usage error names the command's synopsis and where its help is.
// A file against the radio: what differs, as diff prints it for two files,
// with diff's statuses; a radio that fails gives the read's code.
TEST_F(CloneCli, DiffAgainstTheRadio) {
    const QString same = saveRadio("same.vcf");
    MemoryImage changed;
    changed.Assign(sim.Image());
    changed.SetByte(0x02BB, 'X'); // the memory comment's first character
    changed.SetByte(0x6C2D, static_cast<std::uint8_t>(changed.GetByte(0x6C2D) ^ 1));
    ASSERT_EQ(saveDocumentFile(changed, file("changed.vcf").toStdString()), CloneFile::Ok);
    const struct {
        QString file;
        QString device;
        int status;
        std::string out;
    } rows[] = {
        {same, device(), 0, ""},
        {file("changed.vcf"), device(), 1,
         "settings CloneComm: XLI RADIO -> CLI RADIO\nbyte 0x6C2D: 44 -> 45\n"},
        {same, "/dev/marlo-no-such-port", 2, ""},
        {file("nowhere.vcf"), device(), 32 + CloneFile::FileOpen, ""},
    };
    for (const auto& row : rows) {
        const Run r = run({"diff", row.file, "--radio", "--device", row.device});
        EXPECT_EQ(r.status, row.status) << r.err;
        EXPECT_EQ(r.out, row.out);
    }
    // Read, not written.
    EXPECT_EQ(sim.Stats().writeRequests, 0);
}

TEST_F(CloneCli, UsageErrorsExit64) {
    const struct {
        QStringList args;
        const char* synopsis;
    } rows[] = {
        {{"info", "--port", "1", "--device", "/dev/null"},
         "marlo-clone info [--port N | --device PATH] [--variant V]\n"
         "Try 'marlo-clone info --help'"},
        {{"write"},
         "marlo-clone write [--port N | --device PATH] [--variant V] [--backup FILE]\n"
         "        [--changes-from BASE] [--verify] FILE\nTry 'marlo-clone write --help'"},
        // Each radio's base is its own memory just read, never one file for all.
        {{"fleet", "plan.vcf", "--roster", "r.csv", "--changes-from", "base.vcf"},
         "compares each radio with its own memory just read\nUsage:\n  marlo-clone fleet PLAN"},
    };
    for (const auto& row : rows) {
        const Run r = run(row.args);
        EXPECT_EQ(r.status, 64) << row.args.join(' ').toStdString();
        EXPECT_NE(r.err.find(row.synopsis), std::string::npos) << r.err;
    }
}

TEST(CloneCliOptions, ParsesEachCommandsArguments) {
    using K = CloneCliCommand;
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
        {K::Diff,
         {"a.vcf", "--radio", "--device", "/dev/pts/3"},
         true,
         0,
         "/dev/pts/3",
         -1,
         "a.vcf"},
        {K::Diff, {"a.vcf"}, false},
        {K::Diff, {"--radio"}, false},
        {K::Diff, {"a.vcf", "--radio", "--variant", "1"}, false},
        {K::Diff, {"a.vcf", "b.vcf", "--radio"}, false},
    };
    for (const auto& row : rows) {
        std::string problem;
        const auto parsed = parseCloneCliOptions(row.command, row.args, problem);
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
