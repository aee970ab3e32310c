#include "document/indMainCellContext.h"

#include "core/cmcEnviron.h"
#include "document/indDocument.h"
#include "overlay/cmcGTex.h"

indMainCellContext::indMainCellContext(indDocument& controller)
    : controller_(controller), lists_(cmcGTex::App(), *this) {}

indMainCellContext::~indMainCellContext() = default;

cmcEeprom& indMainCellContext::CurrentImage() {
    return controller_.CurrentImage();
}

const cmcEeprom& indMainCellContext::SavedImage() {
    return controller_.SavedImage();
}

const cmcEeprom& indMainCellContext::ComparisonImage() {
    return controller_.ComparisonImage();
}

EntryClipboard& indMainCellContext::Clipboard() {
    return controller_.Clipboard();
}

bool indMainCellContext::IsModified() const {
    return controller_.IsModified();
}

void indMainCellContext::SetModified() {
    controller_.SetModified();
}

bool indMainCellContext::HasDocumentName() const {
    return !controller_.DocumentName().empty();
}

void indMainCellContext::StartWarningsDelay() {
    controller_.StartWarningsDelay();
}

bool indMainCellContext::ExpertMode() const {
    return controller_.ExpertMode();
}

bool indMainCellContext::FactoryMode() const {
    return controller_.FactoryMode();
}

bool indMainCellContext::GeneMode() const {
    return controller_.GeneMode();
}

cmcIdentityDigits indMainCellContext::IdentityDigits() const {
    return controller_.IdentityDigits();
}

const dstRadioInfo& indMainCellContext::RadioInfo() const {
    return controller_.RadioInfo;
}

int indMainCellContext::ModelVariant() const {
    return controller_.ModelVariant();
}

void indMainCellContext::ChangeModel(int variant) {
    controller_.ChangeModel(variant, true);
}

int indMainCellContext::FontSize() const {
    return cmcEnviron::App().FontSizePercentage;
}

void indMainCellContext::SetFontSize(int size) {
    cmcEnviron::App().FontSizePercentage = size;
}

bool indMainCellContext::ToolBarVisible() const {
    return cmcEnviron::App().ToolbarVisible != 0;
}

int indMainCellContext::ComPort() const {
    return cmcEnviron::App().ComPort;
}

void indMainCellContext::SetComPort(int port) {
    cmcEnviron::App().ComPort = port;
}

std::string indMainCellContext::RecentFile(int index) const {
    return cmcEnviron::App().Recent.DisplayName(index, controller_.CurrentDirectory);
}
