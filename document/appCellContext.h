#pragma once

#include "radio/cellContext.h"
#include "radio/overlayLists.h"

namespace marlo {

class RadioDocument;

// The cell context of the running program: the controller's document, images
// and modes, the settings store, the selection lists of the overlay and the
// commands the windows take on.
class AppCellContext : public CellContext {
public:
    // Reads the selection lists from the installed overlay store.
    explicit AppCellContext(RadioDocument& controller);
    ~AppCellContext() override;
    AppCellContext(const AppCellContext&) = delete;
    AppCellContext& operator=(const AppCellContext&) = delete;

    // Borrowed; null while no window takes the commands.
    void SetCommands(CellCommands* commands) { commands_ = commands; }

    MemoryImage& CurrentImage() override;
    const MemoryImage& SavedImage() override;
    const MemoryImage& ComparisonImage() override;
    RowClipboard& Clipboard() override;
    bool IsModified() const override;
    void SetModified() override;
    bool HasDocumentName() const override;
    void StartWarningsDelay() override;
    void CommandBegins(const CellRequest& request) override;
    void CommandEnds() override;
    bool ExpertMode() const override;
    bool FactoryMode() const override;
    bool GeneMode() const override;
    IdentityDigits Identity() const override;
    const RadioInfo& LastRadioInfo() const override;
    int ModelVariant() const override;
    void ChangeModel(int variant) override;
    int FontSize() const override;
    void SetFontSize(int size) override;
    bool ToolBarVisible() const override;
    int ComPort() const override;
    void SetComPort(int port) override;
    std::string RecentFile(int index) const override;
    codec::SelectionLists& SelectionLists() override { return lists_; }
    CellCommands* Commands() override { return commands_; }

private:
    RadioDocument& controller_;
    OverlayLists lists_;
    CellCommands* commands_ = nullptr;
};

} // namespace marlo
