#include "../clone/cloneOutcome.h"
#include "cli/cloneCliSession.h"
#include "cli/fleetRun.h"
#include "clone/cloneFileSave.h"
#include "cloneChainFixture.h"
#include "core/cloneFileCheck.h"
#include "core/modelIdentity.h"
#include "document/indMainCellContext.h"
#include "exchange/documentDiff.h"
#include "radio/cellLabels.h"
#include "radio/settingFields.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <unistd.h>

namespace {

using Fault = cmcRadioSim::Fault;

constexpr int kRadios = 5;

// A setting where each radio's old memory differs from the plan.
const cmcSettingField& oldSetting() {
    for (const cmcSettingField& f : settingFields()) {
        if (f.label == cmcCells::CL_Comm_AtTunUse)
            return f;
    }
    return settingFields().front();
}

std::string label(int k) {
    return "UNIT-" + std::to_string(k + 1);
}

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> found;
    for (std::string line; std::getline(in, line);)
        found.push_back(line);
    return found;
}

// marlo-clone fleet run in this process against one simulated radio whose
// memory is swapped for the next radio's as each is "connected", on the fast
// engine clock. The settings folder is private to the test.
class CloneFleet : public ::testing::Test {
protected:
    struct Outcome {
        int status = -1;
        std::string out;
        std::vector<int> connected; // the radios spoken to, in order
    };

    void SetUp() override {
        ASSERT_TRUE(config.isValid() && files.isValid());
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        makeRadioImage(plan, 0, "FLEET PLAN");
        ASSERT_EQ(cmcSaveDocumentFile(plan, path("plan.vcf")), cmcVcfFile::Ok);
        giveOldMemories();
        sim.SetClock(&fastClock, kFastTimeScale);
        ASSERT_TRUE(sim.Start()) << sim.ErrorText();
        writeFile("roster.csv", roster());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", savedConfig); }

    void giveOldMemories() {
        for (int k = 0; k < kRadios; ++k) {
            makeRadioImage(memories[k], 0, "OLD " + std::to_string(k));
            const cmcSettingField& f = oldSetting();
            memories[k].SetByte(f.address,
                                static_cast<std::uint8_t>(plan.GetByte(f.address) ^ f.mask));
        }
    }

    static std::string roster() {
        std::string text = "label,CloneComm,selcall.1.id,ale.1.address\r\n";
        for (int k = 0; k < kRadios; ++k)
            text += label(k) + ",UNIT " + std::to_string(k + 1) + ",120" + std::to_string(k + 1) +
                    ",UNIT" + std::to_string(k + 1) + "\r\n";
        return text;
    }

    std::string path(const char* name) const { return files.filePath(name).toStdString(); }
    void writeFile(const char* name, const std::string& text) {
        std::ofstream(path(name), std::ios::binary) << text;
    }

    // Runs the fleet with `args` after the plan and roster, the operator giving
    // `answers`; `duringRadio` is called every millisecond or so while radio k is
    // connected, with the frames it has taken so far.
    Outcome run(std::vector<std::string> args, const std::string& answers,
                const std::function<void(int k, int frames, cmcFleetRun&)>& duringRadio = {}) {
        args.insert(args.begin(), {path("plan.vcf"), "--roster", path("roster.csv"), "--device",
                                   sim.DevicePath(), "--variant", "0", "--backups",
                                   files.path().toStdString(), "--log", path("fleet.jsonl")});
        std::string problem;
        const auto options = cmcParseFleetOptions(args, problem);
        EXPECT_TRUE(options) << problem;
        int pipeEnds[2];
        EXPECT_EQ(::pipe(pipeEnds), 0);
        EXPECT_EQ(::write(pipeEnds[1], answers.data(), answers.size()),
                  static_cast<ssize_t>(answers.size()));
        ::close(pipeEnds[1]);

        Outcome outcome;
        char* text = nullptr;
        std::size_t size = 0;
        std::FILE* out = ::open_memstream(&text, &size);
        ScriptedPrompter prompter;
        int current = -1;
        int baseline = 0;
        dstFleetIo io;
        io.input = pipeEnds[0];
        io.out = out;
        // The operator connects the radio of the row the prompt named.
        io.onSession = [&](cmcCloneCliSession& session) {
            session.Controller().CloneManager().SetClock(&fastClock, kFastTimeScale);
            if (current >= 0)
                memories[current].Assign(sim.Image());
            std::fflush(out);
            const std::string said(text, size);
            const std::size_t at = said.rfind("UNIT-");
            current = std::stoi(said.substr(at + 5)) - 1;
            outcome.connected.push_back(current);
            sim.SetFault(Fault::None);
            sim.SetImage(memories[current]);
            baseline = sim.Stats().framesAccepted;
        };
        {
            cmcFleetRun fleet(*options, io);
            QTimer poll;
            if (duringRadio) {
                QObject::connect(&poll, &QTimer::timeout, [&] {
                    if (current >= 0)
                        duringRadio(current, sim.Stats().framesAccepted - baseline, fleet);
                });
                poll.start(1);
            }
            outcome.status = fleet.Run();
        }
        if (current >= 0)
            memories[current].Assign(sim.Image());
        ::close(pipeEnds[0]);
        std::fclose(out);
        outcome.out.assign(text, size);
        std::free(text);
        return outcome;
    }

    // Radio k holds the plan with its row's values and nothing else of its own.
    void expectPlanAndRow(int k) {
        SCOPED_TRACE(label(k));
        dstCloneCliOptions none;
        cmcCloneCliSession session(none, nullptr);
        indMainCellContext cells(session.Controller());
        const std::vector<std::string> differences =
            diffDocuments(cells, {plan, 0}, {memories[k], 0}, marloModel::writeRangeNormal);
        std::string all;
        for (const std::string& line : differences) {
            all += line + "\n";
            EXPECT_TRUE(line.starts_with("selcall slot 1:") || line.starts_with("ale slot 1:") ||
                        line.find("CloneComm") != std::string::npos)
                << line;
        }
        const std::string n = std::to_string(k + 1);
        for (const std::string& value : {"-> 120" + n, "-> UNIT" + n, "UNIT " + n})
            EXPECT_NE(all.find(value), std::string::npos) << all;
    }

    QTemporaryDir config;
    QTemporaryDir files;
    QByteArray savedConfig;
    cmcEeprom plan;
    std::array<cmcEeprom, kRadios> memories;
    cmcRadioSim sim;
};

TEST_F(CloneFleet, WritesEveryRadioThePlanWithItsRowAndLogsEach) {
    writeFile("fleet.jsonl", "{\"earlier\":true}\n");
    const Outcome r = run({"--verify"}, std::string(kRadios, '\n'));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.connected, (std::vector<int>{0, 1, 2, 3, 4}));
    for (int k = 0; k < kRadios; ++k)
        expectPlanAndRow(k);
    EXPECT_NE(r.out.find("5 written, 0 failed, 0 skipped"), std::string::npos) << r.out;

    const std::vector<std::string> log = lines(path("fleet.jsonl"));
    ASSERT_EQ(log.size(), 1u + kRadios);
    EXPECT_EQ(log[0], "{\"earlier\":true}");
    std::set<std::string> imageHashes;
    for (int k = 0; k < kRadios; ++k) {
        const std::string& record = log[1 + k];
        SCOPED_TRACE(record);
        EXPECT_NE(record.find("\"label\":\"" + label(k) + "\""), std::string::npos);
        EXPECT_NE(record.find("\"firmware\":\"3400\""), std::string::npos);
        EXPECT_NE(record.find("\"result\":0,\"message\":\"written and verified\""),
                  std::string::npos);
        const std::size_t hash = record.find("\"image_sha256\":\"");
        ASSERT_NE(hash, std::string::npos);
        imageHashes.insert(record.substr(hash + 16, 64));
        // The backup holds the radio's old memory.
        const std::size_t at = record.find("\"backup\":\"") + 10;
        cmcEeprom backup;
        ASSERT_EQ(cmcCheckCloneFile(record.substr(at, record.find('"', at) - at), backup),
                  cmcVcfFile::Ok);
        EXPECT_NE(backup.GetByte(oldSetting().address), plan.GetByte(oldSetting().address));
    }
    EXPECT_EQ(imageHashes.size(), static_cast<std::size_t>(kRadios)); // each radio its own image
}

// A radio that fails in the middle of its write, by a dead line or by Ctrl+C:
// its record says so, the rows after it are left alone, and --from finishes them.
TEST_F(CloneFleet, RadioFailingMidWriteIsLoggedAndFromResumes) {
    const struct {
        const char* name;
        std::string answers; // the operator gives up after the failure, or is interrupted
        int status;
        bool interrupt;
    } ways[] = {
        {"dead line", "\n\n\n", 0, false},
        {"Ctrl+C", std::string(kRadios, '\n'), 130, true},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        QFile::remove(QString::fromStdString(path("fleet.jsonl")));
        const Outcome failed = run({}, way.answers, [&](int k, int frames, cmcFleetRun& fleet) {
            if (k != 2 || frames < 40)
                return;
            if (way.interrupt)
                fleet.Interrupt(130);
            else
                sim.SetFault(Fault::NoEcho);
        });
        EXPECT_EQ(failed.connected, (std::vector<int>{0, 1, 2}));
        if (way.interrupt)
            EXPECT_EQ(failed.status, way.status);
        else
            EXPECT_NE(failed.status, 0);
        EXPECT_NE(failed.out.find("2 written, 1 failed, 2 skipped"), std::string::npos)
            << failed.out;
        std::vector<std::string> log = lines(path("fleet.jsonl"));
        ASSERT_EQ(log.size(), 3u);
        EXPECT_EQ(log[2].find("\"result\":0"), std::string::npos) << log[2];
        EXPECT_NE(log[2].find("\"image_sha256\":\""), std::string::npos) << log[2];
        EXPECT_NE(memories[3].GetByte(oldSetting().address), plan.GetByte(oldSetting().address));

        const Outcome resumed = run({"--from", label(2)}, "\n\n\n");
        EXPECT_EQ(resumed.status, 0) << resumed.out;
        EXPECT_EQ(resumed.connected, (std::vector<int>{2, 3, 4}));
        for (int k = 0; k < kRadios; ++k)
            expectPlanAndRow(k);
        const std::vector<std::string> after = lines(path("fleet.jsonl"));
        ASSERT_EQ(after.size(), 6u);
        EXPECT_TRUE(std::equal(log.begin(), log.end(), after.begin()));
        giveOldMemories();
    }
}

// Any refused value, anywhere in the roster, and no radio is spoken to.
TEST_F(CloneFleet, BadRosterWritesNothingAnywhere) {
    const struct {
        std::string roster;
        std::vector<std::string> named;
    } cases[] = {
        {"label,selcall.1.id\nA,1201\nB,12345678901234\nC,1203\nD,ABCD\n",
         {"line 3 (B), column selcall.1.id", "line 5 (D), column selcall.1.id"}},
        {"label,CloneComm\nA,ONE\nA,TWO\n", {"line 3 (A), column label"}},
        {"label,selcall.9999.id,NoSuchSetting\nA,1,2\n",
         {"column selcall.9999.id", "column NoSuchSetting"}},
        {"CloneComm\nONE\n", {"no label column"}},
        {"label,ale.1.address,CloneComm\nA,UNIT1,ONE\nC,UNIT3,A COMMENT TOO LONG\n",
         {"line 3 (C), column CloneComm"}},
        // One identity on two radios, however it is written.
        {"label,selcall.2.id,ale.1.address\nA,1201,UNIT1\nB, 1201,UNIT2\nC,1203,unit1\n",
         {"line 3 (B), column selcall.2.id: the same", "line 4 (C), column ale.1.address"}},
        {"label,CloneComm\nA,VAN 1\nB,VAN 2\nC,VAN 1\n", {"line 4 (C), column CloneComm"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.roster);
        writeFile("roster.csv", c.roster);
        const Outcome r = run({}, "\n\n\n");
        EXPECT_EQ(r.status, 65);
        for (const std::string& named : c.named)
            EXPECT_NE(r.out.find(named), std::string::npos) << r.out;
        EXPECT_TRUE(r.connected.empty());
        EXPECT_EQ(sim.Stats().informationRequests, 0);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path("fleet.jsonl"))));
    }
}

} // namespace
