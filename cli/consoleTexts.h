#pragma once

#include "overlay/overlayTexts.h"
#include "platform/prompter.h"

namespace marlo {

// What a command-line tool of the program needs before it may say anything: its
// boxes go to stderr and its texts come from the overlay file beside the
// executable. Both are installed for the object's lifetime.
class ConsoleTexts {
public:
    ConsoleTexts();
    ~ConsoleTexts();
    ConsoleTexts(const ConsoleTexts&) = delete;
    ConsoleTexts& operator=(const ConsoleTexts&) = delete;

    OverlayTexts& Overlay() { return overlay_; }

private:
    StderrPrompter prompter_;
    OverlayTexts overlay_;
    Prompter* previousPrompter_;
};

} // namespace marlo
