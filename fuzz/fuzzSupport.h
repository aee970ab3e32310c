#pragma once

#include "platform/prompter.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace marlo;

// What the fuzz targets share: a quiet prompter, scratch files, the handling of
// fatal program errors and of broken invariants.
namespace fuzzSupport {

// Thrown by fatalError while a FatalIsAnswer lives.
struct FatalEnd {
    std::string text;
};

// The overlay ends the program on a broken entry by design; while one of these
// lives, such an end comes back as a FatalEnd exception instead. Everywhere else a
// fatal end is a fault: the process aborts, and the fuzzer records the input.
class FatalIsAnswer {
public:
    FatalIsAnswer();
    ~FatalIsAnswer();
    FatalIsAnswer(const FatalIsAnswer&) = delete;
    FatalIsAnswer& operator=(const FatalIsAnswer&) = delete;
};
bool FatalIsAnswered();

// A broken invariant: prints what broke and aborts.
[[noreturn]] void Broken(const std::string& what);
inline void Check(bool holds, const char* what) {
    if (!holds)
        Broken(what);
}

// Counts the boxes it is shown; questions get their safe answer, dialogs are
// cancelled (as the command-line prompter's are). Installed for its lifetime.
class CountingPrompter : public StderrPrompter {
public:
    CountingPrompter();
    ~CountingPrompter() override;
    PromptAnswer Message(const std::string& caption, const std::string& text, PromptIcon icon,
                         PromptButtons buttons) override;
    int Shown() const { return shown_; }
    void Reset() { shown_ = 0; }

private:
    Prompter* previous_;
    int shown_ = 0;
};

// A file path of this process's scratch folder (in memory where the system has
// one); the folder is made on first use and removed at exit.
std::string ScratchPath(const std::string& name);
// Replaces the file's contents; a failure is a broken invariant of the harness.
void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// Installs the overlay file beside the program as the application's overlay store
// (the targets' executables lie beside the installation files); once per process.
void InstallOverlay();

// Starts the Qt application the targets need (timers, fonts); once per process.
void StartQt();

} // namespace fuzzSupport
