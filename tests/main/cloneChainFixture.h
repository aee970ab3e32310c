#pragma once

#include "clone/cloneManager.h"
#include "clone/cloneProgress.h"
#include "core/marloSettings.h"
#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "document/cloneCommands.h"
#include "main/radioAppController.h"
#include "support/scriptedPrompter.h"
#include "tools/radiosim/radioSim.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace marlo;

// What a progress observer was told, in order: "start", "transfer <expected>",
// "progress <bytes>" (repeats dropped) and "end".
class RecordingProgress : public CloneProgress {
public:
    void OperationStarted(bool transfer, std::int32_t expectedBytes) override;
    void Progress(std::int32_t dataBytes, std::int32_t expectedBytes) override;
    void OperationEnded() override;

    std::vector<std::string> events;
    std::int32_t lastBytes = -1;
    std::function<void(bool transfer)> onStart;
};

// The factory contents of a variant with a name of its own, as a radio holds them.
void makeRadioImage(MemoryImage& image, int variant, const std::string& name = "MY RADIO");

// A controller with an untitled document of variant 0 (its own settings, never
// the user's), the chains over its clone manager, and a simulated radio holding
// makeRadioImage(0) on a pseudo-terminal that the manager uses.
class CloneChainTest : public ::testing::Test {
protected:
    CloneChainTest();
    ~CloneChainTest() override;

    // Runs a chain to its end; its code, or -2 when it did not start or end.
    int run(bool (CloneCommands::*start)(CloneCommands::Done));
    // Replaces the controller (before any chain runs).
    void useController(std::unique_ptr<RadioAppController> controller);
    CloneManager& manager() { return controller_->CloneManager(); }

    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<MarloSettings> settings_;
    NotificationHub hub_;
    ScriptedPrompter prompter_;
    RadioSim sim_;
    std::unique_ptr<RadioAppController> controller_;
    RecordingProgress progress_;
    std::unique_ptr<CloneCommands> commands_;
};

// The overlay's lines joined as the clone messages join them.
std::string overlayLines(const std::string& key, std::initializer_list<int> lines);
