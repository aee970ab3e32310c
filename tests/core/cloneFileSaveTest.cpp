#include "cloneFileSupport.h"
#include "core/modelIdentity.h"

#include <QDir>
#include <QTemporaryDir>
#include <array>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace marlo;

using namespace cloneFileSupport;

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

// The number in the `digits` hex digits at `at`.
int hexAt(const std::string& line, std::size_t at, std::size_t digits) {
    return std::stoi(line.substr(at, digits), nullptr, 16);
}

class VcfSave : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        fillPattern(image);
        file.BindImage(image);
        file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
        file.SetMapRevision(marloModel::mapRevision);
    }
    std::string path(const char* name) const { return folder.filePath(name).toStdString(); }
    // Only the named files: a failed save must leave no temporary file behind.
    std::set<std::string> entries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path().toStdString()))
            names.insert(entry.path().filename().string());
        return names;
    }

    QTemporaryDir folder;
    MemoryImage image;
    CloneFile file;
    ScriptedPrompter prompter;
};

TEST_F(VcfSave, CloneRangeGivesHeaderAnd1689RecordsOf16BytesInCrLfLines) {
    file.SetComment("Test");
    ASSERT_EQ(file.Save(path("a.vcf"), marloModel::cloneRange), CloneFile::Ok);
    EXPECT_TRUE(prompter.shown().empty());

    const std::string text = readFile(path("a.vcf"));
    const std::vector<std::string> lines = linesOf(text);
    ASSERT_EQ(lines.size(), 3u + 1689u);
    // Every line, the last one too, ends in CR LF; no other CR or LF is written.
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(replacedAll(text, "\r\n", "").find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(lines[0], "26200001");
    EXPECT_EQ(lines[1], "#Comment=Test");
    EXPECT_EQ(lines[2], "#MapRev=6");
    // The records follow on from each other over the range: address, count, then
    // the image's bytes, all in upper-case hex digits.
    std::int32_t next = 0x2B0;
    for (std::size_t i = 3; i < lines.size(); ++i, next += 16) {
        const std::string& line = lines[i];
        ASSERT_EQ(line.size(), 38u) << "line " << i;
        ASSERT_EQ(line.find_first_not_of("0123456789ABCDEF"), std::string::npos) << line;
        ASSERT_EQ(hexAt(line, 0, 4), next) << line;
        ASSERT_EQ(hexAt(line, 4, 2), 16) << line;
        for (int b = 0; b < 16; ++b)
            ASSERT_EQ(hexAt(line, 6 + 2 * b, 2), image.GetByte(next + b)) << line << " " << b;
    }
    EXPECT_EQ(next, 0x6C40);
}

TEST_F(VcfSave, RecordsStopAtSixteenByteBoundariesAndRangeEnds) {
    const std::array<AddressRange, 3> ranges{{{0x02B5, 0x02D1}, kRangeEnd, {0, 15}}};
    ASSERT_EQ(file.Save(path("b.vcf"), ranges), CloneFile::Ok);
    const std::vector<std::string> lines = linesOf(readFile(path("b.vcf")));
    ASSERT_EQ(lines.size(), 3u + 3u); // nothing after the terminator
    EXPECT_EQ(lines[3].substr(0, 6), "02B50B");
    EXPECT_EQ(lines[3].size(), 6u + 22u);
    EXPECT_EQ(lines[4].substr(0, 6), "02C010");
    EXPECT_EQ(lines[5].substr(0, 6), "02D002");
}

TEST_F(VcfSave, RangeWalkEndsAtTheSpanEndAndAtABlockOutsideTheImage) {
    const std::array<AddressRange, 3> ranges{{{0, 0}, {0x81F0, 0x81F4}, {16, 16}}};
    ASSERT_EQ(file.Save(path("c.vcf"), ranges), CloneFile::Ok);
    EXPECT_EQ(linesOf(readFile(path("c.vcf"))).size(), 3u + 1u);
}

TEST_F(VcfSave, CommentStaysOneReadableLine) {
    file.SetComment("two\nlines\r" + std::string(2000, 'x'));
    ASSERT_EQ(file.Save(path("d.vcf"), marloModel::cloneRange), CloneFile::Ok);
    const std::vector<std::string> lines = linesOf(readFile(path("d.vcf")));
    EXPECT_EQ(lines[1].substr(0, 19), "#Comment=two lines ");
    EXPECT_EQ(lines[1].size(), 9u + CloneFile::maxCommentLength);
    EXPECT_EQ(lines[2], "#MapRev=6");

    MemoryImage back;
    back.Resize(marloModel::imageSize);
    CloneFile reader;
    reader.BindImage(back);
    reader.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    reader.SetMapRevisionCheck([](int revision) { return revision == 6; });
    EXPECT_EQ(reader.Load(path("d.vcf"), marloModel::cloneRange), CloneFile::Ok);
}

TEST_F(VcfSave, ReplacingKeepsTheOldFilesPermissions) {
    writeFile(path("e.vcf"), "old");
    ASSERT_EQ(::chmod(path("e.vcf").c_str(), 0640), 0);
    ASSERT_EQ(file.Save(path("e.vcf"), marloModel::cloneRange), CloneFile::Ok);
    struct stat st {};
    ASSERT_EQ(::stat(path("e.vcf").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(), std::set<std::string>{"e.vcf"});
}

TEST_F(VcfSave, SavingThroughASymbolicLinkReplacesItsTarget) {
    writeFile(path("f.vcf"), "old");
    ASSERT_EQ(::symlink(path("f.vcf").c_str(), path("link.vcf").c_str()), 0);
    ASSERT_EQ(file.Save(path("link.vcf"), marloModel::cloneRange), CloneFile::Ok);
    struct stat st {};
    ASSERT_EQ(::lstat(path("link.vcf").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(path("f.vcf")).substr(0, 8), "26200001");
}

TEST_F(VcfSave, UnusableTargetsGiveCode1AndLeaveNothingBehind) {
    ASSERT_TRUE(QDir(folder.path()).mkdir("dir"));
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    for (const std::string& target :
         {path("missing/a.vcf"), path("dir"), path("fifo"), path("dir") + "/", std::string()}) {
        prompter.clear();
        EXPECT_EQ(file.Save(target, marloModel::cloneRange), CloneFile::FileOpen) << target;
        expectFileError(prompter, CloneFile::FileOpen);
    }
    EXPECT_EQ(entries(), (std::set<std::string>{"dir", "fifo"}));
}

TEST_F(VcfSave, ReadOnlyFileIsRefused) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: file permissions do not stop root";
    writeFile(path("ro.vcf"), "old");
    ASSERT_EQ(::chmod(path("ro.vcf").c_str(), 0444), 0);
    EXPECT_EQ(file.Save(path("ro.vcf"), marloModel::cloneRange), CloneFile::FileOpen);
    EXPECT_EQ(readFile(path("ro.vcf")), "old");
}

// The old file is still writable, but its folder no longer takes a new one: the
// save cannot be made safely, so it is refused and the old file stays.
TEST_F(VcfSave, FolderThatBecameUnwritableKeepsTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "running as root: folder permissions do not stop root";
    writeFile(path("h.vcf"), "the previous document");
    const std::string dir = folder.path().toStdString();
    ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
    const CloneFile::Code code = file.Save(path("h.vcf"), marloModel::cloneRange);
    ::chmod(dir.c_str(), 0700);

    EXPECT_EQ(code, CloneFile::FileOpen);
    expectFileError(prompter, CloneFile::FileOpen);
    EXPECT_EQ(readFile(path("h.vcf")), "the previous document");
    EXPECT_EQ(entries(), std::set<std::string>{"h.vcf"});
}

// A full disk, simulated with a file size limit: the write fails part-way.
TEST_F(VcfSave, FailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    writeFile(path("g.vcf"), "the previous document");
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit small = before;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const CloneFile::Code code = file.Save(path("g.vcf"), marloModel::cloneRange);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(code, CloneFile::FileAccess);
    expectFileError(prompter, CloneFile::FileAccess);
    EXPECT_EQ(readFile(path("g.vcf")), "the previous document");
    EXPECT_EQ(entries(), std::set<std::string>{"g.vcf"});
}

} // namespace
