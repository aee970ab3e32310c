#pragma once

#include "clone/cloneProgress.h"
#include "platform/prompter.h"

#include <cstdio>
#include <string>

namespace marlo {

// marlo-clone's progress: "<label>  42%" rewritten in place on a terminal, and
// nothing at all when the output is not one (a log file or a pipe gets only the
// messages).
class StderrProgress : public CloneProgress {
public:
    StderrProgress(std::FILE* out, bool enabled, std::string label);

    void OperationStarted(bool transfer, std::int32_t expectedBytes) override;
    void Progress(std::int32_t dataBytes, std::int32_t expectedBytes) override;
    void OperationEnded() override;

    // Ends a progress line still open, so that a message starts on its own line.
    void EndLine();

private:
    std::FILE* out_;
    bool enabled_;
    std::string label_;
    bool lineOpen_ = false;
    int shown_ = -1;
};

// The stderr prompter, keeping clear of a progress line.
class ProgressPrompter : public StderrPrompter {
public:
    explicit ProgressPrompter(StderrProgress& progress) : progress_(progress) {}
    PromptAnswer Message(const std::string& caption, const std::string& text, PromptIcon icon,
                         PromptButtons buttons) override;

private:
    StderrProgress& progress_;
};

} // namespace marlo
