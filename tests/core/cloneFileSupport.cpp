#include "cloneFileSupport.h"

#include "core/modelIdentity.h"
#include "overlay/overlayTexts.h"

#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

using namespace marlo;

namespace cloneFileSupport {

namespace {
std::string hex(int value, int digits) {
    char buf[12];
    std::snprintf(buf, sizeof buf, "%0*X", digits, value);
    return buf;
}
} // namespace

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

void fillPattern(MemoryImage& image) {
    image.Resize(marloModel::imageSize);
    for (int a = 0; a < image.Size(); ++a)
        image.SetByte(a, static_cast<std::uint8_t>(a * 31 + a / 256 + 7));
    image.SetByte(marloModel::mapRevisionAddress, 6);
}

std::string savedCloneFile(const MemoryImage& image) {
    QTemporaryDir folder;
    MemoryImage copy;
    copy.Assign(image);
    CloneFile file;
    file.BindImage(copy);
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    file.SetMapRevision(marloModel::mapRevision);
    const std::string path = folder.filePath("saved.vcf").toStdString();
    EXPECT_EQ(file.Save(path, marloModel::cloneRange), CloneFile::Ok);
    return readFile(path);
}

std::string record(int address, int count, int value) {
    std::string line = hex(address, 4) + hex(count, 2);
    for (int i = 0; i < count; ++i)
        line += hex(value, 2);
    return line;
}

std::string withoutLine(std::string text, const std::string& start) {
    const std::size_t at = text.find("\n" + start);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no line begins with " << start;
        return text;
    }
    return text.erase(at + 1, text.find('\n', at + 1) - at);
}

std::string replacedAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

void expectFileError(const ScriptedPrompter& prompter, CloneFile::Code code) {
    static const char* const entries[] = {
        "",
        "GI_Mess_FileErr_FileOpen",
        "GI_Mess_FileErr_FileAccess",
        "GI_Mess_FileErr_Model",
        "GI_Mess_FileErr_Extra",
        "GI_Mess_FileErr_MapRev",
        "GI_Mess_FileErr_Format",
        "GI_Mess_FileErr_Coverage",
        "GI_Mess_FileErr_Data",
        "GI_Mess_FileErr_Newer",
    };
    ASSERT_EQ(prompter.shown().size(), 1u);
    const ScriptedPrompter::Shown& box = prompter.shown()[0];
    OverlayTexts& texts = OverlayTexts::App();
    EXPECT_EQ(box.caption, texts.GetLine("GI_Sys_AppTitle", 0));
    // The headline, the file's path on a line of its own, then why.
    const std::string headline = texts.GetLine("GI_Mess_FileErr_Headline", 0) + "\n";
    const std::string why = "\n\n" + texts.GetLine(entries[code], 0);
    EXPECT_EQ(box.text.substr(0, headline.size()), headline);
    EXPECT_GE(box.text.size(), headline.size() + why.size());
    EXPECT_EQ(box.text.substr(box.text.size() - std::min(box.text.size(), why.size())), why);
    EXPECT_EQ(box.icon, PromptIcon::Warning);
    EXPECT_EQ(box.buttons, PromptButtons::Ok);
}

} // namespace cloneFileSupport
