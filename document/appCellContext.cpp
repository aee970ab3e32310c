#include "document/appCellContext.h"

#include "core/settingsStore.h"
#include "document/radioDocument.h"
#include "overlay/overlayTexts.h"

namespace marlo {

AppCellContext::AppCellContext(RadioDocument& controller)
    : controller_(controller), lists_(OverlayTexts::App(), *this) {}

AppCellContext::~AppCellContext() = default;

MemoryImage& AppCellContext::CurrentImage() {
    return controller_.CurrentImage();
}

const MemoryImage& AppCellContext::SavedImage() {
    return controller_.SavedImage();
}

const MemoryImage& AppCellContext::ComparisonImage() {
    return controller_.ComparisonImage();
}

RowClipboard& AppCellContext::Clipboard() {
    return controller_.Clipboard();
}

bool AppCellContext::IsModified() const {
    return controller_.IsModified();
}

void AppCellContext::SetModified() {
    controller_.SetModified();
}

bool AppCellContext::HasDocumentName() const {
    return !controller_.DocumentName().empty();
}

void AppCellContext::StartWarningsDelay() {
    controller_.StartWarningsDelay();
}

void AppCellContext::CommandBegins(const CellRequest& request) {
    controller_.CommandBegins(request);
}

void AppCellContext::CommandEnds() {
    controller_.CommandEnds();
}

bool AppCellContext::ExpertMode() const {
    return controller_.ExpertMode();
}

bool AppCellContext::FactoryMode() const {
    return controller_.FactoryMode();
}

bool AppCellContext::GeneMode() const {
    return controller_.GeneMode();
}

IdentityDigits AppCellContext::Identity() const {
    return controller_.Identity();
}

const RadioInfo& AppCellContext::LastRadioInfo() const {
    return controller_.LastRadioInfo;
}

int AppCellContext::ModelVariant() const {
    return controller_.ModelVariant();
}

void AppCellContext::ChangeModel(int variant) {
    controller_.ChangeModel(variant, true);
}

int AppCellContext::FontSize() const {
    return SettingsStore::App().FontSizePercentage;
}

void AppCellContext::SetFontSize(int size) {
    SettingsStore::App().FontSizePercentage = size;
}

bool AppCellContext::ToolBarVisible() const {
    return SettingsStore::App().ToolbarVisible != 0;
}

int AppCellContext::ComPort() const {
    return SettingsStore::App().ComPort;
}

void AppCellContext::SetComPort(int port) {
    SettingsStore::App().ComPort = port;
}

std::string AppCellContext::RecentFile(int index) const {
    return SettingsStore::App().Recent.DisplayName(index, controller_.CurrentDirectory);
}

} // namespace marlo
