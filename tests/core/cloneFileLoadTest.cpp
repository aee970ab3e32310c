#include "cloneFileSupport.h"
#include "core/modelIdentity.h"

#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace marlo;

using namespace cloneFileSupport;

namespace {

class VcfLoad : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        fillPattern(source);
        saved = savedCloneFile(source);
        image.Resize(marloModel::imageSize);
        image.Fill(0xA5);
        file.BindImage(image);
        file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
        file.SetMapRevisionCheck([](int revision) { return revision == 6; });
    }
    std::string path(const char* name) const { return folder.filePath(name).toStdString(); }
    std::string put(const std::string& text) {
        writeFile(path("in.vcf"), text);
        return path("in.vcf");
    }
    // Loads `target` with the clone range as coverage and checks the code, its box
    // and that a failure leaves the image exactly as it was.
    void expectLoad(const std::string& target, CloneFile::Code code) {
        MemoryImage before;
        before.Assign(image);
        prompter.clear();
        EXPECT_EQ(file.Load(target, marloModel::cloneRange), code);
        if (code == CloneFile::Ok) {
            EXPECT_TRUE(prompter.shown().empty());
        } else {
            expectFileError(prompter, code);
            EXPECT_TRUE(image.Equals(before));
        }
    }

    QTemporaryDir folder;
    MemoryImage source;
    std::string saved; // the writer's file of `source`
    MemoryImage image;
    CloneFile file;
    ScriptedPrompter prompter;
};

struct ReaderCase {
    const char* name;
    std::function<std::string(const std::string& saved)> text;
    CloneFile::Code code;
};

void PrintTo(const ReaderCase& c, std::ostream* os) {
    *os << c.name;
}

// `text` with `line` inserted before its line number `atLine`.
std::string withLine(std::string text, const std::string& line, std::size_t atLine) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < atLine; ++i)
        at = text.find('\n', at) + 1;
    return text.insert(at, line);
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

const std::string longComment = "#" + std::string(900, 'x') + "\r\n";

const ReaderCase readerCases[] = {
    {"CrLf", [](auto& t) { return t; }, CloneFile::Ok},
    {"Lf", [](auto& t) { return replacedAll(t, "\r\n", "\n"); }, CloneFile::Ok},
    {"LowerCase",
     [](std::string t) {
         std::transform(t.begin(), t.end(), t.begin(), ::tolower);
         return replaced(t, "#maprev=6", "#MapRev=6");
     },
     CloneFile::Ok},
    {"CommentsBetweenAndAfterData",
     [](auto& t) { return withLine(t, "#note\r\n", 10) + "#end\r\n"; }, CloneFile::Ok},
    {"NulLedLineSkipped", [](auto& t) { return withLine(t, std::string("\0xx\n", 4), 10); },
     CloneFile::Ok},
    {"SignedRevision", [](auto& t) { return replaced(t, "=6", "=+6x"); }, CloneFile::Ok},
    {"RepeatedRecord", [](auto& t) { return t + record(0x300, 1, 0x11) + "\n"; }, CloneFile::Ok},
    {"Empty", [](auto&) { return std::string(); }, CloneFile::Format},
    {"ModelLineWithLetter", [](auto& t) { return replaced(t, "26200001", "2620000A"); },
     CloneFile::Format},
    {"ModelLineTooLong", [](auto& t) { return replaced(t, "26200001", "262000010"); },
     CloneFile::Format},
    {"ModelLineOnlyWithoutEnd", [](auto&) { return std::string("26200001"); }, CloneFile::Format},
    {"OtherModel", [](auto& t) { return replaced(t, "26200001", "26210001"); }, CloneFile::Model},
    {"OtherExtra", [](auto& t) { return replaced(t, "26200001", "26200002"); }, CloneFile::Extra},
    {"NoMapRevision", [](auto& t) { return replaced(t, "#MapRev=6", "#Map"); }, CloneFile::MapRev},
    {"MapRevision7", [](auto& t) { return replaced(t, "=6", "=7"); }, CloneFile::MapRev},
    {"MapRevisionAfterFirstData",
     [](auto& t) { return withLine(replaced(t, "#MapRev=6\r\n", ""), "#MapRev=6\r\n", 3); },
     CloneFile::MapRev},
    {"LongCommentInHeader", [](auto& t) { return withLine(t, longComment, 1); }, CloneFile::MapRev},
    {"LongCommentAmongData", [](auto& t) { return withLine(t, longComment, 8); },
     CloneFile::Format},
    {"CountLongerThanDigits",
     [](auto& t) { return withLine(t, record(0x2B0, 16, 0).substr(0, 36) + "\n", 3); },
     CloneFile::Format},
    {"NotHex", [](auto& t) { return withLine(t, "02B001GG\n", 3); }, CloneFile::Format},
    {"NulInsideDataLine", [](auto& t) { return withLine(t, std::string("02B0010\0\n", 9), 3); },
     CloneFile::Format},
    {"EmptyLineAmongData", [](auto& t) { return withLine(t, "\r\n", 8); }, CloneFile::Format},
    {"LastLineWithoutEnd", [](auto& t) { return t.substr(0, t.size() - 2); }, CloneFile::Format},
    {"PastTheImageEnd", [](auto& t) { return t + record(0x81F0, 16, 0) + "\n"; }, CloneFile::Data},
    {"OutsideTheCoverage", [](auto& t) { return t + record(0, 1, 0) + "\n"; }, CloneFile::Data},
    {"MissingRecord", [](auto& t) { return withoutLine(t, "6C3010"); }, CloneFile::Coverage},
};

class VcfReaderTable : public VcfLoad, public ::testing::WithParamInterface<ReaderCase> {};

TEST_P(VcfReaderTable, GivesItsCode) {
    expectLoad(put(GetParam().text(saved)), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Cases, VcfReaderTable, ::testing::ValuesIn(readerCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(VcfLoad, LoadsEveryByteOfTheCoverageAndLaterRecordsWin) {
    expectLoad(put(saved + record(0x2B0, 2, 0x11) + "\n"), CloneFile::Ok);
    EXPECT_EQ(image.GetByte(0x2B0), 0x11);
    EXPECT_EQ(image.GetByte(0x2B1), 0x11);
    for (int a = 0x2B2; a <= 0x6C3F; ++a)
        ASSERT_EQ(image.GetByte(a), source.GetByte(a)) << a;
    EXPECT_EQ(image.GetByte(0x2AF), 0xA5);
    EXPECT_EQ(image.GetByte(0x6C40), 0xA5);
}

TEST_F(VcfLoad, LongestRecordsAreRead) {
    std::string text = "26200001\n#MapRev=6\n";
    for (int a = 0x2B0; a <= 0x6C3F; a += 255)
        text += record(a, std::min(255, 0x6C3F - a + 1), 0x3C) + "\n";
    expectLoad(put(text), CloneFile::Ok);
    EXPECT_EQ(image.GetByte(0x6C3F), 0x3C);
}

TEST_F(VcfLoad, WithoutCoverageAPartialFileLoads) {
    EXPECT_EQ(file.Load(put("26200001\n#MapRev=6\n" + record(0x400, 3, 0x77) + "\n")),
              CloneFile::Ok);
    EXPECT_EQ(image.GetByte(0x402), 0x77);
    EXPECT_EQ(image.GetByte(0x403), 0xA5);
    EXPECT_EQ(file.CheckCoverage(marloModel::cloneRange), CloneFile::Coverage);
    const std::array<AddressRange, 1> exact{{{0x400, 0x402}}};
    EXPECT_EQ(file.CheckCoverage(exact), CloneFile::Ok);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(VcfLoad, WithoutARevisionCheckNoDataIsAccepted) {
    CloneFile unchecked;
    unchecked.BindImage(image);
    unchecked.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    EXPECT_EQ(unchecked.Load(put(saved)), CloneFile::MapRev);
}

TEST_F(VcfLoad, BadInputNeverCrashesOrHangs) {
    std::mt19937 random(20240611);
    std::string noise(65536, '\0');
    for (char& c : noise)
        c = static_cast<char>(random());
    expectLoad(put(noise), CloneFile::Format);
    expectLoad(put(std::string(10 * 1024 * 1024, '1')), CloneFile::Format);
    expectLoad(put("26200001\n#MapRev=6\n" + std::string(10 * 1024 * 1024, 'A')),
               CloneFile::Format);
    expectLoad(put(std::string(4096, '\0')), CloneFile::Format);

    expectLoad(path("missing.vcf"), CloneFile::FileOpen);
    expectLoad(folder.path().toStdString(), CloneFile::FileOpen);
    expectLoad("/dev/zero", CloneFile::FileOpen);
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0); // no writer: a blocking open would wait
    expectLoad(path("fifo"), CloneFile::FileOpen);
}

TEST_F(VcfLoad, UnreadableFileGivesCode1) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: file permissions do not stop root";
    const std::string target = put(saved);
    ASSERT_EQ(::chmod(target.c_str(), 0), 0);
    expectLoad(target, CloneFile::FileOpen);
}

TEST(VcfMessages, EveryFailureCodeShowsItsOwnMessageAndSuccessNone) {
    std::set<std::string> texts;
    for (int code = CloneFile::FileOpen; code <= CloneFile::Newer; ++code) {
        ScriptedPrompter prompter;
        CloneFile::ShowMessage(static_cast<CloneFile::Code>(code), "a.vcf");
        expectFileError(prompter, static_cast<CloneFile::Code>(code));
        if (!prompter.shown().empty())
            texts.insert(prompter.lastText());
    }
    EXPECT_EQ(texts.size(), 9u) << "two codes share a message";

    ScriptedPrompter prompter;
    CloneFile::ShowMessage(CloneFile::Ok, "a.vcf");
    EXPECT_TRUE(prompter.shown().empty());
}

} // namespace
