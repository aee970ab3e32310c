#include "../clone/cloneOutcome.h"
#include "../main/cloneChainFixture.h"
#include "cli/cloneCliSession.h"
#include "cli/fleetRun.h"
#include "clone/cloneFileSave.h"
#include "core/cloneFileCheck.h"
#include "core/modelIdentity.h"
#include "document/appCellContext.h"
#include "exchange/documentDiff.h"
#include "radio/cellLabels.h"
#include "radio/listRecord.h"
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

using namespace marlo;

namespace {

using Fault = RadioSim::Fault;

constexpr int kRadios = 5;
constexpr std::int32_t kIdentityFirst = 0x6C1A; // the radio's own, never written
constexpr std::int32_t kIdentityLast = 0x6C24;

// A setting where each radio's old memory differs from the plan.
const SettingField& oldSetting() {
    for (const SettingField& f : settingFields()) {
        if (f.label == CellLabel::CL_Comm_AtTunUse)
            return f;
    }
    return settingFields().front();
}

std::string label(int k) {
    return "UNIT-" + std::to_string(k + 1);
}

// The text of a record's field, as far as the next comma or the end.
std::string field(const std::string& record, const std::string& name) {
    const std::size_t at = record.find("\"" + name + "\":");
    if (at == std::string::npos)
        return "";
    const std::size_t from = at + name.size() + 3;
    return record.substr(from, record.find_first_of(",}", from) - from);
}

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> found;
    for (std::string line; std::getline(in, line);)
        found.push_back(line);
    return found;
}

// The blocks (and their bytes) a write may reach in which two memories differ:
// 16-byte blocks, cut where a write range begins or ends.
std::pair<int, int> differingBlocks(const MemoryImage& a, const MemoryImage& b) {
    std::pair<int, int> found{0, 0};
    for (const AddressRange& r : marloModel::writeRangeNormal) {
        for (std::int32_t block = r.first - r.first % 16; block <= r.last; block += 16) {
            const std::int32_t first = std::max(block, r.first);
            const std::int32_t last = std::min(block + 15, r.last);
            for (std::int32_t address = first; address <= last; ++address) {
                if (a.GetByte(address) != b.GetByte(address)) {
                    found.first += 1;
                    found.second += last - first + 1;
                    break;
                }
            }
        }
    }
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
        std::vector<int> frames;    // the data frames each of them took
    };

    void SetUp() override {
        ASSERT_TRUE(config.isValid() && files.isValid());
        savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        makeRadioImage(plan, 0, "FLEET PLAN");
        ASSERT_EQ(saveDocumentFile(plan, path("plan.vcf")), CloneFile::Ok);
        giveOldMemories();
        sim.SetClock(&fastClock, kFastTimeScale);
        ASSERT_TRUE(sim.Start()) << sim.ErrorText();
        writeFile("roster.csv", roster());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", savedConfig); }

    // Each radio has its own identity bytes and an old channel plan of its own.
    void giveOldMemories() {
        for (int k = 0; k < kRadios; ++k) {
            makeRadioImage(memories[k], 0, "OLD " + std::to_string(k));
            const SettingField& f = oldSetting();
            memories[k].SetByte(f.address,
                                static_cast<std::uint8_t>(plan.GetByte(f.address) ^ f.mask));
            for (std::int32_t a = kIdentityFirst; a <= kIdentityLast; ++a)
                memories[k].SetByte(a, static_cast<std::uint8_t>('1' + k));
            editChannels(memories[k], 60, 7000000 + 100 * k);
        }
    }

    static void editChannels(MemoryImage& image, int count, std::uint32_t frequency) {
        for (int slot = 0; slot < count; ++slot) {
            ListRecord entry(&image);
            entry.Load(listUserChannel, slot);
            entry.state = ListRecord::stateUsed;
            entry.channelNumber = static_cast<std::uint32_t>(slot + 1);
            entry.rxFrequency = frequency + static_cast<std::uint32_t>(slot) * 1000;
            entry.Store(listUserChannel, slot);
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
                const std::function<void(int k, int frames, FleetRun&)>& duringRadio = {}) {
        args.insert(args.begin(), {path("plan.vcf"), "--roster", path("roster.csv"), "--device",
                                   sim.DevicePath(), "--variant", "0", "--backups",
                                   files.path().toStdString(), "--log", path("fleet.jsonl")});
        std::string problem;
        const auto options = parseFleetOptions(args, problem);
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
        FleetIo io;
        io.input = pipeEnds[0];
        io.out = out;
        // The operator connects the radio of the row the prompt named.
        io.onSession = [&](CloneCliSession& session) {
            session.Controller().CloneManager().SetClock(&fastClock, kFastTimeScale);
            if (current >= 0) {
                memories[current].Assign(sim.Image());
                outcome.frames.push_back(sim.Stats().framesAccepted - baseline);
            }
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
            FleetRun fleet(*options, io);
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
        if (current >= 0) {
            memories[current].Assign(sim.Image());
            outcome.frames.push_back(sim.Stats().framesAccepted - baseline);
        }
        ::close(pipeEnds[0]);
        std::fclose(out);
        outcome.out.assign(text, size);
        std::free(text);
        return outcome;
    }

    // Radio k holds the plan with its row's values and nothing else of its own.
    void expectPlanAndRow(int k) {
        SCOPED_TRACE(label(k));
        CloneCliOptions none;
        CloneCliSession session(none, nullptr);
        AppCellContext cells(session.Controller());
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
    MemoryImage plan;
    std::array<MemoryImage, kRadios> memories;
    RadioSim sim;
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
        MemoryImage backup;
        ASSERT_EQ(checkCloneFile(record.substr(at, record.find('"', at) - at), backup),
                  CloneFile::Ok);
        EXPECT_NE(backup.GetByte(oldSetting().address), plan.GetByte(oldSetting().address));
    }
    EXPECT_EQ(imageHashes.size(), static_cast<std::size_t>(kRadios)); // each radio its own image
}

// --changes-only sends each radio just the blocks where its image differs from
// its own memory as read for the backup, whatever that held, leaves its identity
// bytes alone, and leaves it as a full write does: the same memory and image hash.
TEST_F(CloneFleet, ChangesOnlySendsEachRadioWhatDiffersFromItsOwnMemory) {
    std::array<MemoryImage, kRadios> old;
    for (int k = 0; k < kRadios; ++k)
        old[k].Assign(memories[k]);
    const std::string enter(kRadios, '\n');
    ASSERT_EQ(run({}, enter).status, 0);
    std::array<MemoryImage, kRadios> written;
    for (int k = 0; k < kRadios; ++k)
        written[k].Assign(memories[k]);
    const struct {
        const char* name;
        std::function<void(MemoryImage&, int k)> arrange;
    } radios[kRadios] = {
        {"its old memory", [&](MemoryImage& m, int k) { m.Assign(old[k]); }},
        {"already its image", [](MemoryImage&, int) {}},
        {"three channels changed since", [](MemoryImage& m, int) { editChannels(m, 3, 14070000); }},
        {"the next radio's image", [&](MemoryImage& m, int k) { m.Assign(written[k + 1]); }},
        {"the plan itself", [&](MemoryImage& m, int) { m.Assign(plan); }},
    };
    std::array<MemoryImage, kRadios> before;
    for (int k = 0; k < kRadios; ++k) {
        radios[k].arrange(memories[k], k);
        for (std::int32_t a = kIdentityFirst; a <= kIdentityLast; ++a)
            memories[k].SetByte(a, static_cast<std::uint8_t>('1' + k));
        before[k].Assign(memories[k]);
    }

    const Outcome r = run({"--changes-only", "--verify"}, enter);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("5 written, 0 failed, 0 skipped"), std::string::npos) << r.out;
    const std::vector<std::string> log = lines(path("fleet.jsonl"));
    ASSERT_EQ(log.size(), 2u * kRadios);
    ASSERT_EQ(r.frames.size(), static_cast<std::size_t>(kRadios));
    for (int k = 0; k < kRadios; ++k) {
        const std::string& record = log[kRadios + k];
        SCOPED_TRACE(std::string(radios[k].name) + "\n" + record);
        expectPlanAndRow(k);
        for (std::int32_t a = kIdentityFirst; a <= kIdentityLast; ++a)
            EXPECT_EQ(memories[k].GetByte(a), '1' + k);
        const auto [blocks, bytes] = differingBlocks(before[k], memories[k]);
        EXPECT_EQ(r.frames[k], blocks);
        EXPECT_EQ(field(record, "blocks"), std::to_string(blocks));
        EXPECT_EQ(field(record, "bytes"), std::to_string(bytes));
        EXPECT_EQ(field(record, "changes_only"), "true");
        EXPECT_EQ(field(record, "result"), "0");
        EXPECT_EQ(field(record, "image_sha256"), field(log[k], "image_sha256"));
        EXPECT_EQ(field(log[k], "changes_only"), "false");
        EXPECT_EQ(field(log[k], "blocks"), "null");
    }
    EXPECT_EQ(r.frames[1], 0);
    EXPECT_NE(log[kRadios + 1].find("nothing differed"), std::string::npos) << log[kRadios + 1];
}

// A radio that fails in the middle of its write, by a dead line or by Ctrl+C:
// its record says so, the rows after it are left alone, and --from finishes them.
TEST_F(CloneFleet, RadioFailingMidWriteIsLoggedAndFromResumes) {
    const struct {
        const char* name;
        std::string answers; // the operator gives up after the failure, or is interrupted
        int status;
        bool interrupt;
        std::vector<std::string> args;
    } ways[] = {
        {"dead line", "\n\n\n", 0, false, {}},
        {"Ctrl+C", std::string(kRadios, '\n'), 130, true, {}},
        {"dead line, changes only", "\n\n\n", 0, false, {"--changes-only"}},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        QFile::remove(QString::fromStdString(path("fleet.jsonl")));
        const Outcome failed = run(way.args, way.answers, [&](int k, int frames, FleetRun& fleet) {
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
        const bool changesOnly = !way.args.empty();
        EXPECT_EQ(field(log[2], "changes_only"), changesOnly ? "true" : "false");
        EXPECT_NE(memories[3].GetByte(oldSetting().address), plan.GetByte(oldSetting().address));

        std::vector<std::string> resume = way.args;
        resume.insert(resume.end(), {"--from", label(2)});
        const Outcome resumed = run(resume, "\n\n\n");
        EXPECT_EQ(resumed.status, 0) << resumed.out;
        EXPECT_EQ(resumed.connected, (std::vector<int>{2, 3, 4}));
        // The half-written radio is sent only what it still lacks.
        if (changesOnly) {
            EXPECT_LT(resumed.frames.at(0), std::atoi(field(log[2], "blocks").c_str()));
        }
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
