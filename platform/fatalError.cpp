#include "platform/fatalError.h"

#include "platform/programPath.h"
#include "platform/prompter.h"

#include <cstdio>
#include <cstdlib>

namespace marlo {

[[noreturn]] void fatalError(const std::string& text) {
    static bool dying = false;
    const std::string caption = programFileName();
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    // A second fatal error raised while the first box is up must not show another.
    if (!dying) {
        dying = true;
        Prompter& prompter = Prompter::Current();
        if (prompter.HasWindows())
            prompter.Message(caption, text, PromptIcon::Error, PromptButtons::Ok);
    }
    std::_Exit(3);
}

} // namespace marlo
