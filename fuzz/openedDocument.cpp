#include "openedDocument.h"

#include "core/cloneFileCheck.h"
#include "core/notificationHub.h"
#include "fullDocument.h"
#include "fuzzSupport.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"

#include <string>

using namespace marlo;

OpenedDocument::OpenedDocument() : DocumentContext(OverlayTexts::App()) {
    for (int v = 0; v < 2; ++v) {
        const std::string file = OverlayTexts::App().GetLine("GI_App_InitialFile", v);
        fuzzSupport::Check(checkCloneFile(programDir() + file, initial[v]) == CloneFile::Ok,
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
    static NotificationHub* hub = [] {
        auto* made = new NotificationHub;
        NotificationHub::SetApp(made);
        return made;
    }();
    (void)hub;
    static OpenedDocument* document = new OpenedDocument;
    return *document;
}

void OpenedDocument::Reset(int v, bool expertMode, const MemoryImage& image) {
    variant = v;
    expert = expertMode;
    current.Assign(image);
    saved.Assign(image);
    comparison.Assign(initial[v]);
}
