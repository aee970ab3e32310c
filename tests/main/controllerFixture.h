#pragma once

#include "core/marloSettings.h"
#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "main/radioAppController.h"
#include "overlay/overlayTexts.h"
#include "support/scriptedPrompter.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace marlo;

// What a controller needs around it: its own settings store (never the user's),
// a hub, and the program's overlay with the initial files of both variants
// named in a folder of their own beside the test program.
//
// The initial file of variant v is an image of blank lists, map revision 6, the
// maker signature, variant byte v and the text "INIT v" at 0x2BB.
class ControllerTest : public ::testing::Test {
protected:
    ControllerTest();
    ~ControllerTest() override;

    RadioAppController& makeController(std::vector<std::string> args = {"marlo"});
    // A controller of variant 0 with that variant's initial file as its reference
    // image (which otherwise only building the window loads).
    RadioAppController& makeControllerWithReference(std::vector<std::string> args = {"marlo"});

    // The initial file of a variant as the program reads it.
    std::string initialFile(int variant) const;
    static void makeInitialImage(MemoryImage& image, int variant);
    static void writeCloneFile(const std::string& path, MemoryImage& image);

    // Messages the hub delivered since the test began, in order.
    const std::vector<std::uint8_t>& delivered() const { return delivered_; }
    bool waitForMessage(std::uint8_t type);

    std::unique_ptr<QTemporaryDir> install_;
    std::unique_ptr<QTemporaryDir> config_;
    std::unique_ptr<MarloSettings> settings_;
    std::vector<std::string> overlayLines_;
    std::vector<const char*> overlayPointers_;
    OverlayTexts overlay_;
    OverlayTexts* previousOverlay_;
    NotificationHub hub_;
    ScriptedPrompter prompter_;
    std::unique_ptr<RadioAppController> controller_;

private:
    static void record(void* context, const HubMessage& message);
    std::vector<std::uint8_t> delivered_;
};

// The overlay's text for a key, as the program shows it.
std::string overlayText(const std::string& key);
std::string overlayLine(const std::string& key, int n = 0);
