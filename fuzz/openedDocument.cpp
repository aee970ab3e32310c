#include "openedDocument.h"

#include "core/cloneFileCheck.h"
#include "fuzzSupport.h"
#include "overlay/cmcGTex.h"
#include "platform/programPath.h"

#include <string>

OpenedDocument::OpenedDocument() : DocumentContext(cmcGTex::App()) {
    for (int v = 0; v < 2; ++v) {
        const std::string file = cmcGTex::App().GetLine("GI_App_InitialFile", v);
        fuzzSupport::Check(cmcCheckCloneFile(programDir() + file, initial[v]) == cmcVcfFile::Ok,
                           "an initial file did not open");
    }
}

void OpenedDocument::Reset(int v, bool expertMode, const cmcEeprom& image) {
    variant = v;
    expert = expertMode;
    current.Assign(image);
    saved.Assign(image);
    comparison.Assign(initial[v]);
}
