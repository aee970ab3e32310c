#include "core/cloneFileCheck.h"

#include "core/memoryImage.h"
#include "core/modelIdentity.h"

namespace marlo {

namespace {

bool mapRevisionAccepted(int revision) {
    return revision == marloModel::mapRevision;
}

} // namespace

CloneFile::Code checkCloneFile(const std::string& path, MemoryImage& image) {
    MemoryImage work;
    work.Resize(marloModel::imageSize);
    CloneFile file;
    file.BindImage(work);
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    file.SetMapRevisionCheck(mapRevisionAccepted);

    CloneFile::Code code = file.Load(path);
    if (code != CloneFile::Ok)
        return code; // Load has shown its box
    // The header may claim a revision the bytes themselves do not carry.
    if (!mapRevisionAccepted(work.GetByte(marloModel::mapRevisionAddress)))
        code = CloneFile::Data;
    else
        code = file.CheckCoverage(marloModel::cloneRange);
    CloneFile::ShowMessage(code, path);
    if (code == CloneFile::Ok)
        image.Assign(work);
    return code;
}

} // namespace marlo
