// marlo-mkinitial FOLDER
//
// Writes the initial clone file of each model variant into FOLDER, under the
// names the overlay beside this program gives them (GI_App_InitialFile, line =
// variant). Exit status: 0, 64 for a usage error, else the clone file code of
// the first file that could not be written (its message has gone to stderr).

#include "core/cmcEeprom.h"
#include "core/cmcVcfFile.h"
#include "core/modelIdentity.h"
#include "initialImage.h"
#include "overlay/cmcGTex.h"
#include "platform/cmcPrompter.h"
#include "platform/programPath.h"

#include <cstdio>
#include <string>

namespace {

constexpr int usageError = 64; // EX_USAGE

cmcVcfFile::Code writeInitialFile(const std::string& path, int variant) {
    cmcEeprom image;
    buildInitialImage(image, variant);
    cmcVcfFile file;
    file.BindImage(image);
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    file.SetComment(initialFileComment(variant));
    file.SetMapRevision(marloModel::mapRevision);
    return file.Save(path, marloModel::cloneRange);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: marlo-mkinitial FOLDER\n", stderr);
        return usageError;
    }
    cmcStderrPrompter prompter;
    cmcPrompter::install(&prompter);
    cmcGTex overlay;
    overlay.SetFile(programDir() + "Marlo.OVL");
    cmcGTex::SetApp(&overlay);

    std::string folder = argv[1];
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    for (int variant = marloModel::variantFirst; variant <= marloModel::variantLast; ++variant) {
        const std::string path = folder + overlay.GetLine("GI_App_InitialFile", variant);
        const cmcVcfFile::Code code = writeInitialFile(path, variant);
        if (code != cmcVcfFile::Ok)
            return code;
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
