#include "core/cloneFileCheck.h"

#include "core/cmcEeprom.h"
#include "core/modelIdentity.h"

namespace {

bool mapRevisionAccepted(int revision) {
    return revision == marloModel::mapRevision;
}

} // namespace

cmcVcfFile::Code cmcCheckCloneFile(const std::string& path, cmcEeprom& image) {
    cmcEeprom work;
    work.Resize(marloModel::imageSize);
    cmcVcfFile file;
    file.BindImage(work);
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    file.SetMapRevisionCheck(mapRevisionAccepted);

    cmcVcfFile::Code code = file.Load(path);
    if (code != cmcVcfFile::Ok)
        return code; // Load has shown its box
    // The header may claim a revision the bytes themselves do not carry.
    if (!mapRevisionAccepted(work.GetByte(marloModel::mapRevisionAddress)))
        code = cmcVcfFile::Data;
    else
        code = file.CheckCoverage(marloModel::cloneRange);
    cmcVcfFile::ShowMessage(code, path);
    if (code == cmcVcfFile::Ok)
        image.Assign(work);
    return code;
}
