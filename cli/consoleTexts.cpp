#include "cli/consoleTexts.h"

#include "core/modelIdentity.h"
#include "platform/programPath.h"

namespace marlo {

ConsoleTexts::ConsoleTexts() : previousPrompter_(Prompter::Install(&prompter_)) {
    overlay_.SetFile(programFilesDir() + marloModel::overlayBaseName + ".OVL");
    OverlayTexts::SetApp(&overlay_);
}

ConsoleTexts::~ConsoleTexts() {
    OverlayTexts::SetApp(nullptr);
    Prompter::Install(previousPrompter_);
}

} // namespace marlo
