#pragma once

#include "clone/cloneCliOptions.h"
#include "clone/cmcSettingsSnapshot.h"
#include "main/indCloneCommands.h"
#include "sheets/cmcEvMan.h"

#include <cstdio>
#include <memory>
#include <string>

class cmcCloneProgress;
class indMain;
struct dstRadioInfo;

// Exit statuses of marlo-clone's radio commands besides the clone result codes
// (0 success; 2, 4..11, 13..17).
namespace marloCloneExit {
inline constexpr int fileBase = 32;   // plus the clone file code of FILE
inline constexpr int usage = 64;      // bad arguments
inline constexpr int notStarted = 70; // the operation could not start at all
} // namespace marloCloneExit

// One radio command of marlo-clone: the settings (read only), a hub, the model's
// controller with an untitled document of the chosen variant, its clone manager
// set to the chosen port, and the clone chains over them. Needs a Qt application
// and the overlay store; runs a local event loop until the chain has ended.
// Failures have gone to the prompter by the time a command returns.
class cmcCloneCliSession {
public:
    // `progress` is borrowed and may be null.
    cmcCloneCliSession(const dstCloneCliOptions& options, cmcCloneProgress* progress);
    ~cmcCloneCliSession();
    cmcCloneCliSession(const cmcCloneCliSession&) = delete;
    cmcCloneCliSession& operator=(const cmcCloneCliSession&) = delete;

    // Opens the options' file as the desktop program opens a document, and no
    // more: the clone file code.
    int Check();
    // Identifies the radio; on success describes it on `out`.
    int Info(std::FILE* out);
    // Reads the radio into the document and saves it as the options' file; the
    // file is written only when the whole read succeeded.
    int Read();
    // Opens the options' file as the document and sends it to the radio.
    int Write();

    indMain& Controller() { return *controller_; }

private:
    int Run(bool (indCloneCommands::*start)(indCloneCommands::Done));

    dstCloneCliOptions options_;
    cmcSettingsSnapshot settings_;
    cmcEvMan hub_;
    std::unique_ptr<indMain> controller_;
    std::unique_ptr<indCloneCommands> commands_;
};

// The radio's identification as marlo-clone prints it, one "name: value" a line.
std::string cmcDescribeRadio(const dstRadioInfo& info);
