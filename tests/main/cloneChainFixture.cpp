#include "cloneChainFixture.h"

#include "../clone/cloneOutcome.h"
#include "cli/headlessDocument.h"
#include "core/cloneFileCheck.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"
#include "support/eventLoop.h"

#include <cstring>

using namespace marlo;

void RecordingProgress::OperationStarted(bool transfer, std::int32_t expectedBytes) {
    events.push_back(transfer ? "transfer " + std::to_string(expectedBytes) : "start");
    if (onStart)
        onStart(transfer);
}

void RecordingProgress::Progress(std::int32_t dataBytes, std::int32_t) {
    if (dataBytes != lastBytes)
        events.push_back("progress " + std::to_string(dataBytes));
    lastBytes = dataBytes;
}

void RecordingProgress::OperationEnded() {
    events.push_back("end");
    lastBytes = -1;
}

void makeRadioImage(MemoryImage& image, int variant, const std::string& name) {
    const std::string file =
        programDir() + OverlayTexts::App().GetLine("GI_App_InitialFile", variant);
    ASSERT_EQ(checkCloneFile(file, image), CloneFile::Ok) << file;
    std::vector<std::uint8_t> comment(16, ' ');
    std::memcpy(comment.data(), name.data(), std::min<std::size_t>(name.size(), 16));
    image.Write(0x02BB, comment.data(), 16);
}

CloneChainTest::CloneChainTest() : config_(std::make_unique<QTemporaryDir>()) {
    EXPECT_TRUE(config_->isValid());
    SettingsPlaces places;
    places.settingsFile = config_->filePath("Marlo.conf").toStdString();
    places.lockFolder = config_->path().toStdString();
    places.screen = ScreenSize{1024, 768};
    settings_ = std::make_unique<MarloSettings>(places);
    SettingsStore::SetApp(settings_.get());
    NotificationHub::SetApp(&hub_);

    MemoryImage radio;
    makeRadioImage(radio, 0);
    sim_.SetImage(radio);
    EXPECT_TRUE(sim_.Start()) << sim_.ErrorText();
    useController(std::make_unique<RadioAppController>(std::vector<std::string>{"marlo"}));
}

CloneChainTest::~CloneChainTest() {
    commands_.reset();
    controller_.reset();
    hub_.Shutdown();
    NotificationHub::SetApp(nullptr);
    SettingsStore::SetApp(nullptr);
}

void CloneChainTest::useController(std::unique_ptr<RadioAppController> controller) {
    commands_.reset();
    controller_ = std::move(controller);
    startHeadlessDocument(*controller_, 0);
    manager().SetPort({0, sim_.DevicePath()});
    manager().SetClock(&fastClock, kFastTimeScale); // the fault rows end in time-outs
    sim_.SetClock(&fastClock, kFastTimeScale);
    manager().SetProgress(&progress_);
    commands_ = std::make_unique<CloneCommands>(*controller_);
}

int CloneChainTest::run(bool (CloneCommands::*start)(CloneCommands::Done)) {
    int code = -2;
    int calls = 0;
    if (!(commands_.get()->*start)([&](int result) {
            code = result;
            ++calls;
        }))
        return -2;
    if (!runEventLoopUntil([&] { return calls > 0; }, 60000))
        return -2;
    runEventLoopFor(50); // a second call would show here
    EXPECT_EQ(calls, 1);
    return code;
}

std::string overlayLines(const std::string& key, std::initializer_list<int> lines) {
    std::string text;
    for (const int n : lines)
        text += (text.empty() ? "" : "\n") + OverlayTexts::App().GetLine(key, n);
    return text;
}
