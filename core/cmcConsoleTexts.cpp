#include "core/cmcConsoleTexts.h"

#include "core/modelIdentity.h"
#include "platform/programPath.h"

cmcConsoleTexts::cmcConsoleTexts() : previousPrompter_(cmcPrompter::install(&prompter_)) {
    overlay_.SetFile(programFilesDir() + marloModel::overlayBaseName + ".OVL");
    cmcGTex::SetApp(&overlay_);
}

cmcConsoleTexts::~cmcConsoleTexts() {
    cmcGTex::SetApp(nullptr);
    cmcPrompter::install(previousPrompter_);
}
