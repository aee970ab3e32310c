#include "platform/cmcFatal.h"

#include "platform/cmcPrompter.h"
#include "platform/programPath.h"

#include <cstdio>
#include <cstdlib>

[[noreturn]] void cmcFatal(const std::string& text) {
    static bool dying = false;
    const std::string caption = programFileName();
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    // A second fatal error raised while the first box is up must not show another.
    if (!dying) {
        dying = true;
        cmcPrompter& prompter = cmcPrompter::current();
        if (prompter.hasWindows())
            prompter.message(caption, text, PromptIcon::Error, PromptButtons::Ok);
    }
    std::_Exit(3);
}
