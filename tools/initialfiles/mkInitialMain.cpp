// marlo-mkinitial FOLDER
//
// Writes the initial clone file of each model variant into FOLDER, under the
// names the overlay beside this program gives them (GI_App_InitialFile, line =
// variant). Exit status: 0, 64 for a usage error, else the clone file code of
// the first file that could not be written (its message has gone to stderr).

#include "clone/cloneFileSave.h"
#include "core/cmcConsoleTexts.h"
#include "core/cmcEeprom.h"
#include "core/cmcVcfFile.h"
#include "core/modelIdentity.h"
#include "initialImage.h"

#include <cstdio>
#include <string>

namespace {

constexpr int usageError = 64; // EX_USAGE

cmcVcfFile::Code writeInitialFile(const std::string& path, int variant) {
    cmcEeprom image;
    buildInitialImage(image, variant);
    return cmcSaveImageFile(image, path, initialFileComment(variant));
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: marlo-mkinitial FOLDER\n", stderr);
        return usageError;
    }
    cmcConsoleTexts texts;

    std::string folder = argv[1];
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    for (int variant = marloModel::variantFirst; variant <= marloModel::variantLast; ++variant) {
        const std::string path = folder + texts.Overlay().GetLine("GI_App_InitialFile", variant);
        const cmcVcfFile::Code code = writeInitialFile(path, variant);
        if (code != cmcVcfFile::Ok)
            return code;
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
