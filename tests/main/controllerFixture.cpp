#include "controllerFixture.h"

#include "core/cloneFile.h"
#include "core/modelIdentity.h"
#include "platform/programPath.h"
#include "radio/listRecord.h"
#include "support/eventLoop.h"

#include <QDir>

#include <algorithm>
#include <fstream>

using namespace marlo;

namespace {

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

} // namespace

ControllerTest::ControllerTest()
    : install_(std::make_unique<QTemporaryDir>()), config_(std::make_unique<QTemporaryDir>()),
      previousOverlay_(&OverlayTexts::App()) {
    EXPECT_TRUE(install_->isValid() && config_->isValid());
    SettingsPlaces places;
    places.settingsFile = config_->filePath("Marlo.conf").toStdString();
    places.lockFolder = config_->path().toStdString();
    places.screen = ScreenSize{1024, 768};
    settings_ = std::make_unique<MarloSettings>(places);
    SettingsStore::SetApp(settings_.get());

    for (int v = 0; v < 2; ++v) {
        MemoryImage image;
        makeInitialImage(image, v);
        writeCloneFile(initialFile(v), image);
    }
    // Our initial files come first; every other key is the program's own. The
    // program finds them beside itself, so they are named from there: a folder
    // beside the program would outlive every death test that ends inside it.
    const std::string folder =
        QDir(QString::fromStdString(programDir())).relativeFilePath(install_->path()).toStdString();
    overlayLines_ = {"#GI_App_InitialFile", folder + "/Init0.vcf", folder + "/Init1.vcf"};
    const auto program = readLines(programDir() + "Marlo.OVL");
    overlayLines_.insert(overlayLines_.end(), program.begin(), program.end());
    for (const auto& line : overlayLines_)
        overlayPointers_.push_back(line.c_str());
    overlay_.SetLines(overlayPointers_);
    OverlayTexts::SetApp(&overlay_);

    NotificationHub::SetApp(&hub_);
    hub_.Subscribe(record, this);
}

ControllerTest::~ControllerTest() {
    controller_.reset();
    hub_.Unsubscribe(record, this);
    NotificationHub::SetApp(nullptr);
    OverlayTexts::SetApp(previousOverlay_);
    SettingsStore::SetApp(nullptr);
}

RadioAppController& ControllerTest::makeController(std::vector<std::string> args) {
    controller_ = std::make_unique<RadioAppController>(std::move(args));
    return *controller_;
}

RadioAppController& ControllerTest::makeControllerWithReference(std::vector<std::string> args) {
    settings_->ModelType = 1; // so that the change below loads variant 0's file
    RadioAppController& c = makeController(std::move(args));
    c.ChangeModel(0, false);
    return c;
}

std::string ControllerTest::initialFile(int variant) const {
    return install_->filePath(QString("Init%1.vcf").arg(variant)).toStdString();
}

void ControllerTest::makeInitialImage(MemoryImage& image, int variant) {
    image.Resize(marloModel::imageSize);
    for (std::uint8_t type : {listUserChannel, listSelCallId, listAleId, listTelNumber}) {
        ListRecord e(&image);
        for (int i = 0; i <= ListRecord::LastIndex(type); ++i) {
            e.MakeBlank(type, i);
            e.Store(type, i);
        }
    }
    image.SetByte(0x2B0, 6);
    image.SetByte(0x2B1, static_cast<std::uint8_t>(variant));
    const std::string signature = "VEXA Inc";
    image.Write(0x6C2C, reinterpret_cast<const std::uint8_t*>(signature.data()), 8);
    const std::string name = "INIT " + std::to_string(variant);
    image.Write(0x2BB, reinterpret_cast<const std::uint8_t*>(name.data()),
                static_cast<std::int32_t>(name.size()));
}

void ControllerTest::writeCloneFile(const std::string& path, MemoryImage& image) {
    CloneFile file;
    file.BindImage(image);
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    file.SetMapRevision(marloModel::mapRevision);
    ASSERT_EQ(file.Save(path, marloModel::cloneRange), CloneFile::Ok);
}

void ControllerTest::record(void* context, const HubMessage& message) {
    static_cast<ControllerTest*>(context)->delivered_.push_back(message.type);
}

bool ControllerTest::waitForMessage(std::uint8_t type) {
    return runEventLoopUntil(
        [&] { return std::find(delivered_.begin(), delivered_.end(), type) != delivered_.end(); });
}

std::string overlayText(const std::string& key) {
    return OverlayTexts::App().GetText(key);
}

std::string overlayLine(const std::string& key, int n) {
    return OverlayTexts::App().GetLine(key, n);
}
