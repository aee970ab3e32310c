#include "tools/radiosim/radioSim.h"
#include "clone/serialLink.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "support/eventLoop.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace marlo;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Fault = RadioSim::Fault;

Bytes request(std::uint8_t command) {
    Bytes bytes(14, 0xFE);
    for (std::uint8_t b :
         {std::uint8_t{0xEE}, std::uint8_t{0xEF}, command, std::uint8_t{0x26}, std::uint8_t{0x20},
          std::uint8_t{0x00}, std::uint8_t{0x00}, std::uint8_t{0xFD}})
        bytes.push_back(b);
    return bytes;
}

std::string hex2(unsigned v) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", v & 0xFF);
    return text;
}

// A data frame as the program writes it.
Bytes dataFrame(int address, const Bytes& data, int checksumError = 0) {
    unsigned sum = (address >> 8) + (address & 0xFF) + data.size();
    std::string text = hex2(address >> 8) + hex2(address) + hex2(data.size());
    for (std::uint8_t b : data) {
        text += hex2(b);
        sum += b;
    }
    text += hex2(0x100 - (sum & 0xFF) + checksumError);
    Bytes bytes{0xFE, 0xFE, 0xEE, 0xEF, 0xE4};
    for (char c : text)
        bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0xFD);
    return bytes;
}

Bytes endFrame(int count) {
    const std::string text = "Vexa Inc." + hex2(count);
    Bytes bytes{0xFE, 0xFE, 0xEE, 0xEF, 0xE5};
    for (char c : text)
        bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(0xFD);
    return bytes;
}

// A frame from the radio, from its first byte after the FE run, without the FD.
using Frame = Bytes;

std::vector<Frame> splitFrames(const Bytes& bytes) {
    std::vector<Frame> frames;
    Frame current;
    bool inFrame = false;
    for (std::uint8_t b : bytes) {
        if (b == 0xFE) {
            current.clear();
            inFrame = true;
        } else if (b == 0xFD && inFrame) {
            frames.push_back(current);
            inFrame = false;
        } else if (inFrame) {
            current.push_back(b);
        }
    }
    return frames;
}

struct DataFrame {
    int address;
    Bytes data;
};

// Decodes and checks a radio data frame: EF EE E4 "AAAANN<data>SS".
DataFrame decodeDataFrame(const Frame& f) {
    EXPECT_GE(f.size(), 3u + 10u);
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 3), (Bytes{0xEF, 0xEE, 0xE4}));
    const std::string text(f.begin() + 3, f.end());
    Bytes decoded;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        decoded.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    unsigned sum = 0;
    for (std::uint8_t b : decoded)
        sum += b;
    EXPECT_EQ(sum & 0xFF, 0u) << text;
    EXPECT_EQ(decoded[2] + 4u, decoded.size()) << text;
    return {decoded[0] << 8 | decoded[1], Bytes(decoded.begin() + 3, decoded.end() - 1)};
}

class RadioSimTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim.Start()) << sim.ErrorText(); }

    void Open() {
        ASSERT_TRUE(port.OpenDevice(sim.DevicePath(), "9600,N,8,1")) << port.OpenFailure().reason;
    }
    // Sends `bytes` and collects what comes back until `done` holds or `limitMs`.
    Bytes Exchange(const Bytes& bytes, const std::function<bool(const Bytes&)>& done,
                   int limitMs = 5000) {
        if (!port.IsOpen())
            Open();
        port.Write(bytes.data(), static_cast<int>(bytes.size()));
        Bytes got;
        runEventLoopUntil(
            [&] {
                std::uint8_t in[4096];
                const int n = port.Read(in, sizeof in);
                got.insert(got.end(), in, in + n);
                return done(got);
            },
            limitMs);
        return got;
    }
    // The radio's part of an exchange: what follows the echo, which must be exact.
    Bytes Answer(const Bytes& sent, const Bytes& got) {
        EXPECT_GE(got.size(), sent.size());
        EXPECT_EQ(Bytes(got.begin(), got.begin() + std::min(got.size(), sent.size())), sent)
            << "the echo comes first and unchanged";
        return Bytes(got.begin() + std::min(got.size(), sent.size()), got.end());
    }
    static std::function<bool(const Bytes&)> endsWithFrame(std::uint8_t command, std::size_t skip) {
        return [=](const Bytes& got) {
            if (got.size() <= skip)
                return false;
            for (const Frame& f : splitFrames(Bytes(got.begin() + skip, got.end())))
                if (f.size() >= 3 && f[2] == command)
                    return true;
            return false;
        };
    }

    RadioSim sim;
    SerialLink port;
};

TEST_F(RadioSimTest, AnswersAnInformationRequestByteForByte) {
    sim.SetVariant(1);
    sim.SetFirmware("3399");
    const Bytes sent = request(0xE0);
    const Bytes got = Exchange(sent, [&](const Bytes& b) { return b.size() >= sent.size() + 42; });
    const Bytes answer = Answer(sent, got);
    const Bytes expected{0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x26, 0x20, 0x00, 0x01, // header, model code
                         0x20, 0x10, 0x06,                                     // length, rev, map
                         'M',  'A',  'R',  'L',  'O',  ' ',  'S',  'I',  'M',  'U', 'L', // comment,
                         'A',  'T',  'O',  'R',  ' ',  '0',  '0',  '0',  '1',            // 20 bytes
                         0x01, '3',  '3',  '9',  '9', // variant, firmware
                         0x00, 0x00, 0x00, 0x00, 0xFD};
    EXPECT_EQ(answer, expected);
    EXPECT_EQ(sim.InformationReply(), expected);
    EXPECT_EQ(sim.Stats().informationRequests, 1);
}

TEST_F(RadioSimTest, TheVariantComesFromTheImageUnlessGiven) {
    MemoryImage image;
    image.Resize(marloModel::imageSize);
    image.SetByte(0x02B1, 1);
    sim.SetImage(image);
    EXPECT_EQ(sim.InformationReply()[9 + 23], 1);
    sim.SetVariant(0);
    EXPECT_EQ(sim.InformationReply()[9 + 23], 0);
}

TEST_F(RadioSimTest, StaysSilentForAnotherModelAndIgnoresNoise) {
    Bytes sent{0x00, 0x41, 0xFD};
    Bytes other = request(0xE0);
    other[18] = 0x21; // model code 2621
    sent.insert(sent.end(), other.begin(), other.end());
    const Bytes got = Exchange(
        sent, [](const Bytes&) { return false; }, 300);
    EXPECT_EQ(got, sent) << "only the echo";
    EXPECT_EQ(sim.Stats().informationRequests, 0);
}

TEST_F(RadioSimTest, ReadSendsEveryBlockOfTheRangeFromItsMemory) {
    MemoryImage image;
    image.Resize(marloModel::imageSize);
    for (int a = 0; a < image.Size(); ++a)
        image.SetByte(a, static_cast<std::uint8_t>(a * 7));
    sim.SetImage(image);

    const Bytes sent = request(0xE2);
    const Bytes got = Exchange(sent, endsWithFrame(0xE5, sent.size()), 20000);
    const std::vector<Frame> frames = splitFrames(Answer(sent, got));
    ASSERT_EQ(frames.size(), 1689u + 1u);

    int next = 0x02B0;
    for (std::size_t i = 0; i + 1 < frames.size(); ++i) {
        const DataFrame d = decodeDataFrame(frames[i]);
        ASSERT_EQ(d.address, next);
        ASSERT_EQ(d.data.size(), 16u);
        for (std::size_t k = 0; k < d.data.size(); ++k)
            ASSERT_EQ(d.data[k], image.GetByte(d.address + static_cast<int>(k)));
        next += 16;
    }
    EXPECT_EQ(next, 0x6C40);
    const std::string end(frames.back().begin() + 3, frames.back().end());
    EXPECT_EQ(end, "Vexa Inc.99") << "1689 frames, modulo 256";
    EXPECT_EQ(sim.Stats().framesSent, 1689);
}

TEST_F(RadioSimTest, ReadFramesAreAlignedToBlocks) {
    sim.SetReadRange({0x02B8, 0x02D3});
    const Bytes sent = request(0xE2);
    const std::vector<Frame> frames =
        splitFrames(Answer(sent, Exchange(sent, endsWithFrame(0xE5, sent.size()))));
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(decodeDataFrame(frames[0]).address, 0x02B8);
    EXPECT_EQ(decodeDataFrame(frames[0]).data.size(), 8u);
    EXPECT_EQ(decodeDataFrame(frames[1]).address, 0x02C0);
    EXPECT_EQ(decodeDataFrame(frames[1]).data.size(), 16u);
    EXPECT_EQ(decodeDataFrame(frames[2]).address, 0x02D0);
    EXPECT_EQ(decodeDataFrame(frames[2]).data.size(), 4u);
}

TEST_F(RadioSimTest, WriteStoresFramesAndAnswersWithItsResult) {
    const std::string dump =
        ::testing::TempDir() + "marlo-sim-dump-" + std::to_string(::getpid()) + ".vcf";
    std::filesystem::remove(dump);
    sim.SetDumpPath(dump);
    Bytes sent = request(0xE3);
    for (const Bytes& part :
         {dataFrame(0x0300, {0x12, 0x34, 0x56}), dataFrame(0x0310, {0xAB}), endFrame(2)})
        sent.insert(sent.end(), part.begin(), part.end());
    const Bytes answer = Answer(sent, Exchange(sent, endsWithFrame(0xE6, sent.size())));
    EXPECT_EQ(answer, (Bytes{0xFE, 0xFE, 0xEF, 0xEE, 0xE6, 0x00, 0xFD}));
    EXPECT_EQ(sim.Image().GetByte(0x0301), 0x34);
    EXPECT_EQ(sim.Image().GetByte(0x0310), 0xAB);
    EXPECT_EQ(sim.Stats().framesAccepted, 2);

    std::ifstream file(dump);
    std::string firstLine;
    std::getline(file, firstLine);
    EXPECT_EQ(firstLine, "26200001\r");
    std::filesystem::remove(dump);
}

struct RefusedWrite {
    const char* name;
    Bytes frame;
    int endCount;
    Fault fault;
};

TEST_F(RadioSimTest, WriteIsRefusedForABadFrameACountOrOnRequest) {
    const Bytes lowerCase = [] {
        Bytes f = dataFrame(0x03A0, {0x10});
        for (std::uint8_t& b : f)
            if (b >= 'A' && b <= 'F')
                b = static_cast<std::uint8_t>(b - 'A' + 'a');
        return f;
    }();
    for (const RefusedWrite& row : {
             RefusedWrite{"checksum", dataFrame(0x0300, {1, 2}, 1), 1, Fault::None},
             RefusedWrite{"lower case", lowerCase, 1, Fault::None},
             RefusedWrite{"past the image", dataFrame(marloModel::imageSize - 1, {1, 2}), 1,
                          Fault::None},
             RefusedWrite{"across two blocks", dataFrame(0x0308, Bytes(16, 0x11)), 1, Fault::None},
             RefusedWrite{"before the clone memory", dataFrame(0x02A0, {1}), 1, Fault::None},
             RefusedWrite{"end count", dataFrame(0x0300, {1}), 2, Fault::None},
             RefusedWrite{"refused", dataFrame(0x0300, {1}), 1, Fault::RefusedWrite},
         }) {
        sim.SetFault(row.fault);
        Bytes sent = request(0xE3);
        sent.insert(sent.end(), row.frame.begin(), row.frame.end());
        const Bytes end = endFrame(row.endCount);
        sent.insert(sent.end(), end.begin(), end.end());
        port.Close();
        const Bytes answer = Answer(sent, Exchange(sent, endsWithFrame(0xE6, sent.size())));
        EXPECT_EQ(answer, (Bytes{0xFE, 0xFE, 0xEF, 0xEE, 0xE6, 0x01, 0xFD})) << row.name;
    }
    EXPECT_EQ(sim.Image().GetByte(marloModel::imageSize - 1), 0xFF) << "nothing stored";
}

// What a fault does to the information exchange, seen from the program's side.
struct InfoFaultRow {
    Fault fault;
    std::function<void(const Bytes& sent, const Bytes& got)> check;
};

TEST_F(RadioSimTest, InformationFaults) {
    const Bytes good = sim.InformationReply();
    const std::size_t block = 9;
    const auto replyWith = [&](std::size_t at, std::uint8_t value) {
        Bytes r = good;
        r[at] = value;
        return r;
    };
    const auto answerIs = [&](Bytes expected) {
        return [this, expected](const Bytes& sent, const Bytes& got) {
            EXPECT_EQ(Answer(sent, got), expected);
        };
    };
    Bytes shortInfo = good;
    shortInfo.erase(shortInfo.end() - 2);
    shortInfo[block] = 31;
    Bytes twoFrames{0xFE, 0xFE, 0xEF, 0xEE, 0xE6, 0x00, 0xFD};
    twoFrames.insert(twoFrames.end(), good.begin(), good.end());

    const std::vector<InfoFaultRow> rows{
        {Fault::NoEcho, [](const Bytes&, const Bytes& got) { EXPECT_TRUE(got.empty()); }},
        {Fault::EchoOnly, answerIs({})},
        {Fault::ChangedEcho,
         [](const Bytes& sent, const Bytes& got) {
             ASSERT_EQ(got.size(), sent.size() + 42);
             Bytes echo(got.begin(), got.begin() + sent.size());
             EXPECT_EQ(echo[14], 0xEF) << "EE comes back as EF";
             echo[14] = 0xEE;
             EXPECT_EQ(echo, sent);
         }},
        {Fault::ShortReply, answerIs({0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x26, 0x20, 0x00, 0xFD})},
        {Fault::MalformedReply, answerIs(replyWith(6, 0x2A))},
        {Fault::WrongModel, answerIs(replyWith(6, 0x21))},
        {Fault::WrongSecond, answerIs(replyWith(8, 0x02))},
        {Fault::WrongVariant, answerIs(replyWith(block + 23, 0x01))},
        {Fault::ShortInfo, answerIs(shortInfo)},
        {Fault::TwoFrames, answerIs(twoFrames)},
        {Fault::Flood,
         [this](const Bytes& sent, const Bytes& got) {
             const std::vector<Frame> frames = splitFrames(Answer(sent, got));
             ASSERT_EQ(frames.size(), 1u);
             EXPECT_GT(frames[0].size(), 521u);
         }},
    };
    for (const InfoFaultRow& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.fault));
        sim.SetFault(row.fault);
        port.Close();
        const Bytes sent = request(0xE0);
        const Bytes got = Exchange(sent, endsWithFrame(0xE1, sent.size()), 400);
        row.check(sent, got);
    }
}

struct ReadFaultRow {
    Fault fault;
    const char* what;
    std::function<void(const std::vector<Frame>&)> check;
};

std::vector<int> addresses(const std::vector<Frame>& frames) {
    std::vector<int> list;
    for (const Frame& f : frames)
        if (f.size() > 3 && f[2] == 0xE4)
            list.push_back(std::stoi(std::string(f.begin() + 3, f.begin() + 7), nullptr, 16));
    return list;
}

std::string endText(const std::vector<Frame>& frames) {
    return frames.empty() ? "" : std::string(frames.back().begin() + 3, frames.back().end());
}

TEST_F(RadioSimTest, ReadFaultsHitTheChosenFrame) {
    sim.SetReadRange({0x0300, 0x035F}); // six blocks
    sim.SetFaultFrame(2);
    const std::vector<int> all{0x300, 0x310, 0x320, 0x330, 0x340, 0x350};
    const std::vector<ReadFaultRow> rows{
        {Fault::MissingFrame, "one block left out, counted right",
         [](const std::vector<Frame>& f) {
             EXPECT_EQ(addresses(f), (std::vector<int>{0x300, 0x310, 0x330, 0x340, 0x350}));
             EXPECT_EQ(endText(f), "Vexa Inc.05");
         }},
        {Fault::WrongEndCount, "one frame short in the end count",
         [&](const std::vector<Frame>& f) {
             EXPECT_EQ(addresses(f), all);
             EXPECT_EQ(endText(f), "Vexa Inc.05");
         }},
        {Fault::FrameOutsideRange, "an extra valid block before the range",
         [](const std::vector<Frame>& f) {
             EXPECT_EQ(addresses(f),
                       (std::vector<int>{0x300, 0x310, 0x2F0, 0x320, 0x330, 0x340, 0x350}));
             EXPECT_EQ(decodeDataFrame(f[2]).data.size(), 16u);
             EXPECT_EQ(endText(f), "Vexa Inc.07");
         }},
        {Fault::FramePastImage, "a valid block past the image",
         [](const std::vector<Frame>& f) {
             EXPECT_EQ(decodeDataFrame(f[2]).address, marloModel::imageSize);
         }},
        {Fault::BadChecksum, "a checksum one off",
         [](const std::vector<Frame>& f) {
             const std::string text(f[2].begin() + 3, f[2].end());
             EXPECT_EQ(text.substr(0, 6), "032010");
             unsigned sum = 0;
             for (std::size_t i = 0; i < text.size(); i += 2)
                 sum += std::stoi(text.substr(i, 2), nullptr, 16);
             EXPECT_EQ(sum & 0xFF, 1u);
         }},
        {Fault::CountMismatch, "count 17 over 16 bytes",
         [](const std::vector<Frame>& f) {
             EXPECT_EQ(std::string(f[2].begin() + 3, f[2].begin() + 9), "032011");
             EXPECT_EQ(f[2].size(), 3u + 4 + 2 + 32 + 2);
         }},
        {Fault::LowerCaseHex, "lower-case digits",
         [](const std::vector<Frame>& f) {
             // 0x03 + 0x20 + 0x10 + 16 * 0xFF = 0x1023: checksum 0xDD.
             EXPECT_EQ(std::string(f[2].begin() + 3, f[2].end()),
                       "032010" + std::string(32, 'f') + "dd");
         }},
    };
    for (const ReadFaultRow& row : rows) {
        SCOPED_TRACE(row.what);
        sim.SetFault(row.fault);
        port.Close();
        const Bytes sent = request(0xE2);
        const Bytes got = Exchange(sent, endsWithFrame(0xE5, sent.size()));
        row.check(splitFrames(Answer(sent, got)));
    }
}

TEST_F(RadioSimTest, AHangUpDropsTheLineAndComesBackUnderANewName) {
    std::string reopened;
    sim.SetReopenedCallback([&](const std::string& path) { reopened = path; });
    sim.SetFault(Fault::HangUp);
    sim.SetReadRange({0x0300, 0x03FF});
    const std::string first = sim.DevicePath();
    const Bytes sent = request(0xE2);
    const Bytes got = Exchange(sent, [&](const Bytes&) { return port.WriteFailed(); });
    EXPECT_TRUE(port.WriteFailed());
    EXPECT_EQ(addresses(splitFrames(Answer(sent, got))), (std::vector<int>{0x300, 0x310}));
    EXPECT_EQ(port.LineFailure().kind, PortFailure::Vanished);

    ASSERT_TRUE(runEventLoopUntil([&] { return !reopened.empty(); }));
    EXPECT_EQ(sim.Stats().hangUps, 1);
    EXPECT_EQ(sim.DevicePath(), reopened);
    EXPECT_NE(reopened, first);
    sim.SetFault(Fault::None);
    port.Close();
    const Bytes info = request(0xE0);
    EXPECT_EQ(Answer(info, Exchange(info, endsWithFrame(0xE1, info.size()))),
              sim.InformationReply());
}

TEST_F(RadioSimTest, SlowRepliesStartLateAndPacingTakesLineTime) {
    sim.SetFault(Fault::SlowReply);
    const Bytes sent = request(0xE0);
    QElapsedTimer clock;
    clock.start();
    const Bytes got = Exchange(sent, endsWithFrame(0xE1, sent.size()));
    EXPECT_GE(clock.elapsed(), RadioSim::slowReplyMs);
    EXPECT_EQ(Answer(sent, got), sim.InformationReply());

    // 22 bytes out and 42 back, each 10 / 9600 s on the one line.
    sim.SetFault(Fault::None);
    sim.SetBaud(9600);
    port.Close();
    clock.restart();
    const Bytes paced = Exchange(sent, endsWithFrame(0xE1, sent.size()));
    EXPECT_GE(clock.elapsed(), 64 * 10000 / 9600 - 2);
    EXPECT_EQ(Answer(sent, paced), sim.InformationReply());
}

} // namespace
