#pragma once

#include "clone/cloneProgress.h"
#include "clone/indCloneMan.h"
#include "core/cmcEeprom.h"
#include "core/indEnviron.h"
#include "document/indCloneCommands.h"
#include "main/indMain.h"
#include "sheets/cmcEvMan.h"
#include "support/ScriptedPrompter.h"
#include "tools/radiosim/cmcRadioSim.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a progress observer was told, in order: "start", "transfer <expected>",
// "progress <bytes>" (repeats dropped) and "end".
class RecordingProgress : public cmcCloneProgress {
public:
    void OperationStarted(bool transfer, std::int32_t expectedBytes) override;
    void Progress(std::int32_t dataBytes, std::int32_t expectedBytes) override;
    void OperationEnded() override;

    std::vector<std::string> events;
    std::int32_t lastBytes = -1;
    std::function<void(bool transfer)> onStart;
};

// The factory contents of a variant with a name of its own, as a radio holds them.
void makeRadioImage(cmcEeprom& image, int variant, const std::string& name = "MY RADIO");

// A controller with an untitled document of variant 0 (its own settings, never
// the user's), the chains over its clone manager, and a simulated radio holding
// makeRadioImage(0) on a pseudo-terminal that the manager uses.
class CloneChainTest : public ::testing::Test {
protected:
    CloneChainTest();
    ~CloneChainTest() override;

    // Runs a chain to its end; its code, or -2 when it did not start or end.
    int run(bool (indCloneCommands::*start)(indCloneCommands::Done));
    // Replaces the controller (before any chain runs).
    void useController(std::unique_ptr<indMain> controller);
    indCloneMan& manager() { return controller_->CloneManager(); }

    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<indEnviron> settings_;
    cmcEvMan hub_;
    ScriptedPrompter prompter_;
    cmcRadioSim sim_;
    std::unique_ptr<indMain> controller_;
    RecordingProgress progress_;
    std::unique_ptr<indCloneCommands> commands_;
};

// The overlay's lines joined as the clone messages join them.
std::string overlayLines(const std::string& key, std::initializer_list<int> lines);
