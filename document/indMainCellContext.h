#pragma once

#include "radio/cmcCellContext.h"
#include "radio/cmcOverlayLists.h"

class indDocument;

// The cell context of the running program: the controller's document, images
// and modes, the settings store, the selection lists of the overlay and the
// commands the windows take on.
class indMainCellContext : public cmcCellContext {
public:
    // Reads the selection lists from the installed overlay store.
    explicit indMainCellContext(indDocument& controller);
    ~indMainCellContext() override;
    indMainCellContext(const indMainCellContext&) = delete;
    indMainCellContext& operator=(const indMainCellContext&) = delete;

    // Borrowed; null while no window takes the commands.
    void SetCommands(cmcCellCommands* commands) { commands_ = commands; }

    cmcEeprom& CurrentImage() override;
    const cmcEeprom& SavedImage() override;
    const cmcEeprom& ComparisonImage() override;
    EntryClipboard& Clipboard() override;
    bool IsModified() const override;
    void SetModified() override;
    bool HasDocumentName() const override;
    void StartWarningsDelay() override;
    bool ExpertMode() const override;
    bool FactoryMode() const override;
    bool GeneMode() const override;
    cmcIdentityDigits IdentityDigits() const override;
    const dstRadioInfo& RadioInfo() const override;
    int ModelVariant() const override;
    void ChangeModel(int variant) override;
    int FontSize() const override;
    void SetFontSize(int size) override;
    bool ToolBarVisible() const override;
    int ComPort() const override;
    void SetComPort(int port) override;
    std::string RecentFile(int index) const override;
    cmcCodec::cmcSelectionLists& SelectionLists() override { return lists_; }
    cmcCellCommands* Commands() override { return commands_; }

private:
    indDocument& controller_;
    cmcOverlayLists lists_;
    cmcCellCommands* commands_ = nullptr;
};
