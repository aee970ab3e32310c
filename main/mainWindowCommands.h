#pragma once

#include "radio/cellCommands.h"

#include <memory>

class QMainWindow;

namespace marlo {

class CloneWindowCommands;
class CompareCommands;
class SystemClipboard;
class RadioAppController;

// The commands of menu items, toolbar buttons and cells that belong to the
// main window: the document commands, printing, cloning and the port, the
// toolbar and font size, help, the sheets, the main menu and the pickers.
class MainWindowCommands : public CellCommands {
public:
    explicit MainWindowCommands(RadioAppController& controller);
    ~MainWindowCommands() override;

    void FileNew() override;
    void FileOpen() override;
    void FileSave() override;
    void FileSaveAs() override;
    void FileOpenRecent(int index) override;
    void FileExit() override;
    bool CanPrintCurrent() override;
    bool CanPasteText() override;
    void PrintCurrent() override;
    void PrintAll() override;
    void CloneRead() override;
    void CloneWrite() override;
    void CloneWriteChanges() override;
    void CloneInfo() override;
    void PortDialog() override;
    void FontSizeChanged() override;
    void ToggleToolBar() override;
    void OpenHelp(const std::string& path) override;
    void CallSheet(const std::string& sheetKey) override;
    void* MainMenu() override;
    int MainMenuSubItems(int label) override;
    void OpenSelectionList(CellRequest& request, std::string_view listKey, int kind,
                           std::int32_t value) override;
    void OpenBitEditor(CellRequest& request, std::uint8_t value, std::string_view listKey) override;

    // The compare commands' menu items, once the menus stand.
    void AddCompareCommands(QMainWindow& form);
    CompareCommands* Compare() const { return compare_.get(); }

private:
    // Made at the first clone or port command, once the window stands.
    CloneWindowCommands& Cloning();

    RadioAppController& controller_;
    std::unique_ptr<CloneWindowCommands> cloning_;
    // After the clone window, which its radio comparison reads through.
    std::unique_ptr<CompareCommands> compare_;
    // Made with the commands, which come with the window.
    std::unique_ptr<SystemClipboard> clipboard_;
};

} // namespace marlo
