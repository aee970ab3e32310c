#include "openedDocument.h"

#include "core/cloneFileCheck.h"
#include "fullDocument.h"
#include "fuzzSupport.h"
#include "overlay/cmcGTex.h"
#include "platform/programPath.h"
#include "sheets/cmcEvMan.h"

#include <string>

OpenedDocument::OpenedDocument() : DocumentContext(cmcGTex::App()) {
    for (int v = 0; v < 2; ++v) {
        const std::string file = cmcGTex::App().GetLine("GI_App_InitialFile", v);
        fuzzSupport::Check(cmcCheckCloneFile(programDir() + file, initial[v]) == cmcVcfFile::Ok,
                           "an initial file did not open");
        full[v].Assign(initial[v]);
        fillEveryListOf(full[v]);
    }
}

OpenedDocument& OpenedDocument::Shared() {
    fuzzSupport::StartQt();
    fuzzSupport::InstallOverlay();
    static fuzzSupport::CountingPrompter boxes;
    // Never destroyed: the hub's timer may go only with the event loop.
    static cmcEvMan* hub = [] {
        auto* made = new cmcEvMan;
        cmcEvMan::SetApp(made);
        return made;
    }();
    (void)hub;
    static OpenedDocument* document = new OpenedDocument;
    return *document;
}

void OpenedDocument::Reset(int v, bool expertMode, const cmcEeprom& image) {
    variant = v;
    expert = expertMode;
    current.Assign(image);
    saved.Assign(image);
    comparison.Assign(initial[v]);
}
