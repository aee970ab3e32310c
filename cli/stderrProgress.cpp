#include "cli/stderrProgress.h"

namespace marlo {

StderrProgress::StderrProgress(std::FILE* out, bool enabled, std::string label)
    : out_(out), enabled_(enabled), label_(std::move(label)) {}

void StderrProgress::OperationStarted(bool transfer, std::int32_t expectedBytes) {
    shown_ = -1;
    if (transfer)
        Progress(0, expectedBytes);
}

void StderrProgress::Progress(std::int32_t dataBytes, std::int32_t expectedBytes) {
    const int percent = progressPercent(dataBytes, expectedBytes);
    if (!enabled_ || percent == shown_)
        return;
    shown_ = percent;
    std::fprintf(out_, "\r%s %3d%%", label_.c_str(), percent);
    std::fflush(out_);
    lineOpen_ = true;
}

void StderrProgress::OperationEnded() {
    EndLine();
}

void StderrProgress::EndLine() {
    if (!lineOpen_)
        return;
    std::fputc('\n', out_);
    std::fflush(out_);
    lineOpen_ = false;
}

PromptAnswer ProgressPrompter::Message(const std::string& caption, const std::string& text,
                                       PromptIcon icon, PromptButtons buttons) {
    progress_.EndLine();
    return StderrPrompter::Message(caption, text, icon, buttons);
}

} // namespace marlo
