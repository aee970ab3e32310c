#include "clone/cloneFileSave.h"

#include "core/memoryImage.h"
#include "core/modelIdentity.h"

namespace marlo {

namespace {

constexpr std::int32_t commentAddress = 0x02BB;
constexpr std::int32_t commentLength = 16;

} // namespace

std::string documentComment(const MemoryImage& image) {
    std::string comment;
    for (std::int32_t a = commentAddress; a < commentAddress + commentLength; ++a) {
        const std::uint8_t b = image.IsValidAddress(a) ? image.GetByte(a) : ' ';
        comment += b >= 0x20 && b <= 0x7E ? static_cast<char>(b) : ' ';
    }
    comment.erase(comment.find_last_not_of(' ') + 1);
    return comment;
}

CloneFile::Code saveImageFile(MemoryImage& image, const std::string& path,
                              const std::string& comment) {
    CloneFile file;
    file.BindImage(image);
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    file.SetComment(comment);
    file.SetMapRevision(marloModel::mapRevision);
    return file.Save(path, marloModel::cloneRange);
}

CloneFile::Code saveDocumentFile(MemoryImage& image, const std::string& path) {
    return saveImageFile(image, path, documentComment(image));
}

} // namespace marlo
