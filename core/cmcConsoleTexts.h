#pragma once

#include "overlay/cmcGTex.h"
#include "platform/cmcPrompter.h"

// What a command-line tool of the program needs before it may say anything: its
// boxes go to stderr and its texts come from the overlay file beside the
// executable. Both are installed for the object's lifetime.
class cmcConsoleTexts {
public:
    cmcConsoleTexts();
    ~cmcConsoleTexts();
    cmcConsoleTexts(const cmcConsoleTexts&) = delete;
    cmcConsoleTexts& operator=(const cmcConsoleTexts&) = delete;

    cmcGTex& Overlay() { return overlay_; }

private:
    cmcStderrPrompter prompter_;
    cmcGTex overlay_;
    cmcPrompter* previousPrompter_;
};
