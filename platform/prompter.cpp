#include "platform/prompter.h"

#include <cstdio>

namespace marlo {

namespace {
StderrPrompter fallbackPrompter;
Prompter* installedPrompter = nullptr;
} // namespace

Prompter& Prompter::Current() {
    return installedPrompter ? *installedPrompter : fallbackPrompter;
}

Prompter* Prompter::Install(Prompter* prompter) {
    Prompter* previous = installedPrompter;
    installedPrompter = prompter;
    return previous;
}

PromptAnswer StderrPrompter::Message(const std::string& caption, const std::string& text,
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

} // namespace marlo
