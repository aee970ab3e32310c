#include "platform/cmcPrompter.h"

#include <cstdio>

namespace {
cmcStderrPrompter fallbackPrompter;
cmcPrompter* installedPrompter = nullptr;
} // namespace

cmcPrompter& cmcPrompter::current() {
    return installedPrompter ? *installedPrompter : fallbackPrompter;
}

cmcPrompter* cmcPrompter::install(cmcPrompter* prompter) {
    cmcPrompter* previous = installedPrompter;
    installedPrompter = prompter;
    return previous;
}

PromptAnswer cmcStderrPrompter::message(const std::string& caption, const std::string& text,
                                        PromptIcon, PromptButtons buttons) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    switch (buttons) {
    case PromptButtons::Ok:
        return PromptAnswer::Ok;
    case PromptButtons::OkCancel:
        return PromptAnswer::Cancel;
    case PromptButtons::YesNo:
        return PromptAnswer::No;
    case PromptButtons::YesNoCancel:
        return PromptAnswer::Cancel;
    }
    return PromptAnswer::Cancel;
}
