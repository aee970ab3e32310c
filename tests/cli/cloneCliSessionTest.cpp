#include "cli/cloneCliSession.h"
#include "../clone/cloneOutcome.h"
#include "../main/cloneChainFixture.h"
#include "clone/cloneFileSave.h"
#include "clone/cloneMessages.h"
#include "core/cloneFile.h"
#include "core/cloneFileCheck.h"
#include "overlay/overlayTexts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <memory>

using namespace marlo;

namespace {

using Fault = RadioSim::Fault;
using Command = CloneCliCommand;

std::string readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

std::string commentOf(const MemoryImage& image) {
    return std::string(reinterpret_cast<const char*>(image.Data()) + 0x02BB, 9);
}

// A file that collects what a session writes to a stream.
class Captured {
public:
    Captured() : file_(::open_memstream(&text_, &size_)) {}
    ~Captured() {
        if (file_ != nullptr)
            std::fclose(file_);
        std::free(text_);
    }
    Captured(const Captured&) = delete;
    Captured& operator=(const Captured&) = delete;

    std::FILE* File() const { return file_; }
    std::string Text() {
        std::fflush(file_);
        return std::string(text_, size_);
    }

private:
    char* text_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_;
};

// marlo-clone's radio commands run in this process, as its main runs them, with
// the engine and the simulated radio on a clock four times the wall clock's.
// The settings folder is private to the test.
class CloneCliSessionTest : public ::testing::Test {
protected:
    struct Outcome {
        int status = -1;
        std::string out;         // info's description
        std::string diagnostics; // the command line's own lines
        std::vector<ScriptedPrompter::Shown> boxes;
    };

    void SetUp() override {
        ASSERT_TRUE(config.isValid() && files.isValid());
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        makeRadioImage(radioImage, 0, "CLI RADIO");
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", savedConfig); }

    // A simulated radio holding `image`, on engine time.
    std::unique_ptr<RadioSim> startRadio(const MemoryImage& image, Fault fault = Fault::None) {
        auto radio = std::make_unique<RadioSim>();
        radio->SetImage(image);
        radio->SetFault(fault);
        radio->SetClock(&fastClock, kFastTimeScale);
        EXPECT_TRUE(radio->Start()) << radio->ErrorText();
        return radio;
    }

    // Runs `command` against `radio`, variant 0 unless the options say otherwise;
    // `whileRunning` is called every millisecond or so meanwhile.
    Outcome run(Command command, const RadioSim& radio, CloneCliOptions options,
                const std::function<void()>& whileRunning = {}) {
        options.port = {0, radio.DevicePath()};
        if (!options.variant)
            options.variant = 0;
        ScriptedPrompter prompter;
        Captured out;
        Captured diagnostics;
        QTimer poll;
        if (whileRunning) {
            QObject::connect(&poll, &QTimer::timeout, whileRunning);
            poll.start(1);
        }
        Outcome outcome;
        {
            CloneCliSession session(options, nullptr, diagnostics.File());
            session.Controller().CloneManager().SetClock(&fastClock, kFastTimeScale);
            switch (command) {
            case Command::Info:
                outcome.status = session.Info(out.File());
                break;
            case Command::Read:
                outcome.status = session.Read();
                break;
            case Command::Write:
                outcome.status = session.Write();
                break;
            case Command::Diff:
                outcome.status = session.Diff(out.File());
                break;
            }
        }
        outcome.out = out.Text();
        outcome.diagnostics = diagnostics.Text();
        outcome.boxes = prompter.shown();
        return outcome;
    }

    QString file(const char* name) const { return files.filePath(name); }
    std::string path(const char* name) const { return file(name).toStdString(); }
    std::size_t filesLeft() const { return QDir(files.path()).entryList(QDir::Files).size(); }
    // `image` as a document file.
    std::string save(MemoryImage& image, const char* name) {
        EXPECT_EQ(saveDocumentFile(image, path(name)), CloneFile::Ok);
        return path(name);
    }

    QTemporaryDir config;
    QTemporaryDir files;
    QByteArray savedConfig;
    MemoryImage radioImage;
};

// Each failure ends the command with its clone result code and one box with its
// message; a failed read leaves no file.
TEST_F(CloneCliSessionTest, FailuresEndWithTheirCodeAndOneMessage) {
    const std::string toSend = save(radioImage, "send.vcf");
    const std::string out = path("out.vcf");
    const struct {
        Command command;
        Fault fault;
        int status;
        std::optional<int> variant = 0;
        int mapRevision = 6;
    } rows[] = {
        {Command::Info, Fault::NoEcho, 4},         {Command::Info, Fault::EchoOnly, 5},
        {Command::Info, Fault::MalformedReply, 6}, {Command::Read, Fault::WrongEndCount, 7},
        {Command::Read, Fault::MissingFrame, 8},   {Command::Read, Fault::FrameOutsideRange, 9},
        {Command::Write, Fault::RefusedWrite, 10}, {Command::Info, Fault::WrongSecond, 11},
        {Command::Info, Fault::None, 13, 1},       {Command::Info, Fault::None, 14, 0, 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.status);
        const auto radio = startRadio(radioImage, row.fault);
        radio->SetMapRevision(row.mapRevision);
        CloneCliOptions options;
        options.variant = row.variant;
        options.file = row.command == Command::Write ? toSend : out;
        const Outcome r = run(row.command, *radio, options);
        EXPECT_EQ(r.status, row.status);
        ASSERT_EQ(r.boxes.size(), 1u);
        EXPECT_EQ(r.boxes[0].text, cloneMessage(static_cast<std::uint8_t>(row.status), ""));
        // A radio that told who it is before the check refused it is described.
        if (row.status == 13 || row.status == 14)
            EXPECT_NE(r.out.find("model variant: 0"), std::string::npos) << r.out;
        else
            EXPECT_EQ(r.out, "");
        EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
    }
}

TEST_F(CloneCliSessionTest, PulledCableWritesNoFile) {
    const std::string fresh = path("fresh.vcf");
    const std::string existing = path("existing.vcf");
    {
        QFile f(QString::fromStdString(existing));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("an earlier backup\n");
    }
    for (const std::string& target : {fresh, existing}) {
        SCOPED_TRACE(target);
        const auto radio = startRadio(radioImage);
        CloneCliOptions options;
        options.file = target;
        // Identified first; the line drops once the read has begun.
        const Outcome r = run(Command::Read, *radio, options, [&] {
            if (radio->Stats().informationRequests > 0)
                radio->SetFault(Fault::HangUp);
        });
        EXPECT_EQ(r.status, 17);
        EXPECT_EQ(radio->Stats().hangUps, 1);
        ASSERT_EQ(r.boxes.size(), 1u);
        EXPECT_NE(r.boxes[0].text.find(OverlayTexts::App().GetLine("GI_Mess_CloneErr_Head", 17)),
                  std::string::npos);
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(fresh)));
    EXPECT_EQ(readAll(QString::fromStdString(existing)), "an earlier backup\n");
    EXPECT_EQ(filesLeft(), 1u); // no temporary left over
}

// --backup reads the radio into FILE first; the write waits for a saved backup.
TEST_F(CloneCliSessionTest, WriteWithBackupSavesTheRadioFirst) {
    MemoryImage before;
    makeRadioImage(before, 0, "OLD RADIO");
    CloneCliOptions options;
    options.file = save(radioImage, "send.vcf");
    options.backup = path("backup.vcf");
    const auto radio = startRadio(before);
    const Outcome r = run(Command::Write, *radio, options);
    ASSERT_EQ(r.status, 0) << r.diagnostics;
    EXPECT_EQ(radio->Stats().readRequests, 1);
    EXPECT_EQ(radio->Stats().lastWriteResult, 0);
    EXPECT_EQ(r.diagnostics,
              "marlo-clone: the radio's memory was saved as " + options.backup + "\n");
    MemoryImage backup;
    ScriptedPrompter quiet;
    ASSERT_EQ(checkCloneFile(options.backup, backup), CloneFile::Ok);
    EXPECT_EQ(commentOf(backup), "OLD RADIO");
    EXPECT_EQ(commentOf(radio->Image()), "CLI RADIO"); // then the write

    // No backup, no write: a backup that cannot be saved, a read that fails.
    const struct {
        std::string backup;
        Fault fault;
        int status;
        int informationRequests;
    } rows[] = {
        {"/dev/null", Fault::None, 32 + CloneFile::FileOpen, 0},
        {files.path().toStdString(), Fault::None, 32 + CloneFile::FileOpen, 0},
        {path("backup2.vcf"), Fault::FrameOutsideRange, 9, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.backup);
        const auto other = startRadio(before, row.fault);
        options.backup = row.backup;
        const Outcome failed = run(Command::Write, *other, options);
        EXPECT_EQ(failed.status, row.status) << failed.diagnostics;
        EXPECT_EQ(other->Stats().informationRequests, row.informationRequests);
        EXPECT_EQ(other->Stats().writeRequests, 0);
        EXPECT_FALSE(QFile::exists(file("backup2.vcf")));
    }
}

// --verify reads the radio back and compares the bytes as they arrive with those
// sent: a radio that kept other bytes ends with 66 and names the blocks that
// differ, also where the preparation of a read image would rewrite them
// (unused entries, reference blocks), but not the identity it was never sent.
TEST_F(CloneCliSessionTest, WriteWithVerifyComparesEveryByteWritten) {
    CloneCliOptions options;
    options.file = save(radioImage, "send.vcf");
    options.verify = true;
    const auto good = startRadio(radioImage);
    const Outcome same = run(Command::Write, *good, options);
    EXPECT_EQ(same.status, 0) << same.diagnostics;
    EXPECT_EQ(good->Stats().readRequests, 1);

    const auto radio = startRadio(radioImage);
    bool spoiled = false;
    const Outcome bad = run(Command::Write, *radio, options, [&] {
        if (spoiled || radio->Stats().lastWriteResult != 0 ||
            radio->Stats().informationRequests != 2)
            return;
        MemoryImage changed;
        changed.Assign(radio->Image());
        const auto spoil = [&](std::int32_t a) {
            changed.SetByte(a, static_cast<std::uint8_t>(changed.GetByte(a) ^ 0x5A));
        };
        for (std::int32_t a = 0x300; a <= 0x6C19; a += 0x40)
            spoil(a);
        for (const std::int32_t a : {0x1001, 0x2345, 0x6C1A, 0x6C3F})
            spoil(a);
        radio->SetImage(changed);
        spoiled = true;
    });
    ASSERT_TRUE(spoiled);
    EXPECT_EQ(bad.status, 66) << bad.diagnostics;
    // 0x1000 is one of the 0x40 steps, 0x1000-0x1001 one block; 0x2345 is no step.
    EXPECT_EQ(bad.diagnostics,
              "marlo-clone: verify: the radio differs from what was sent at 424 bytes in 423 "
              "blocks: 0300 0340 0380 03C0 0400 0440 0480 04C0 ...\n");
}

// A late answer to a failed command is not taken for the next command's answer.
TEST_F(CloneCliSessionTest, TheNextCommandIsNotMisledByALateAnswer) {
    const auto radio = startRadio(radioImage, Fault::SlowReply);
    CloneCliOptions options;
    options.file = path("next.vcf");
    EXPECT_EQ(run(Command::Info, *radio, options).status, 5);
    radio->SetFault(Fault::None);
    const Outcome next = run(Command::Read, *radio, options);
    EXPECT_EQ(next.status, 0);
    EXPECT_EQ(radio->Stats().readRequests, 1);
}

} // namespace
