#include "clone/cloneFileSave.h"

#include "core/cmcEeprom.h"
#include "core/modelIdentity.h"

namespace {

constexpr std::int32_t commentAddress = 0x02BB;
constexpr std::int32_t commentLength = 16;

} // namespace

std::string cmcDocumentComment(const cmcEeprom& image) {
    std::string comment;
    for (std::int32_t a = commentAddress; a < commentAddress + commentLength; ++a) {
        const std::uint8_t b = image.IsValidAddress(a) ? image.GetByte(a) : ' ';
        comment += b >= 0x20 && b <= 0x7E ? static_cast<char>(b) : ' ';
    }
    comment.erase(comment.find_last_not_of(' ') + 1);
    return comment;
}

cmcVcfFile::Code cmcSaveImageFile(cmcEeprom& image, const std::string& path,
                                  const std::string& comment) {
    cmcVcfFile file;
    file.BindImage(image);
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    file.SetComment(comment);
    file.SetMapRevision(marloModel::mapRevision);
    return file.Save(path, marloModel::cloneRange);
}

cmcVcfFile::Code cmcSaveDocumentFile(cmcEeprom& image, const std::string& path) {
    return cmcSaveImageFile(image, path, cmcDocumentComment(image));
}
