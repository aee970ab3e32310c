// marlo-mkinitial FOLDER
//
// Writes the initial clone file of each model variant into FOLDER, under the
// names the overlay beside this program gives them (GI_App_InitialFile, line =
// variant). Exit status: 0, 64 for a usage error, else the clone file code of
// the first file that could not be written (its message has gone to stderr).

#include "cli/consoleTexts.h"
#include "clone/cloneFileSave.h"
#include "core/cloneFile.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "initialImage.h"

#include <cstdio>
#include <string>

namespace marlo {

namespace {

constexpr int usageError = 64; // EX_USAGE

CloneFile::Code writeInitialFile(const std::string& path, int variant) {
    MemoryImage image;
    buildInitialImage(image, variant);
    return saveImageFile(image, path, initialFileComment(variant));
}

} // namespace

} // namespace marlo

using namespace marlo;

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: marlo-mkinitial FOLDER\n", stderr);
        return usageError;
    }
    ConsoleTexts texts;

    std::string folder = argv[1];
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    for (int variant = marloModel::variantFirst; variant <= marloModel::variantLast; ++variant) {
        const std::string path = folder + texts.Overlay().GetLine("GI_App_InitialFile", variant);
        const CloneFile::Code code = writeInitialFile(path, variant);
        if (code != CloneFile::Ok)
            return code;
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
