#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace marlo {

class CellRequest;
class ListRecord;

// The commands that menu items, toolbar buttons and context-menu items lead to,
// as far as they belong to windows the cell engine does not know: the document
// and print commands, the clone commands, the pickers and the main menu. The controller and the
// windows implement it; the engine only decides when a command runs and with what.
class CellCommands {
public:
    virtual ~CellCommands() = default;

    // File menu.
    virtual void FileNew() = 0;
    virtual void FileOpen() = 0;
    // Saves under the document's own name; the engine asks for SaveAs instead
    // while the document has none.
    virtual void FileSave() = 0;
    virtual void FileSaveAs() = 0;
    virtual void FileOpenRecent(int index) = 0;
    virtual void FileExit() = 0;

    // Printing. CanPrintCurrent is false when no sheet is shown or the shown one
    // cannot be printed.
    virtual bool CanPrintCurrent() = 0;
    virtual void PrintCurrent() = 0;
    virtual void PrintAll() = 0;

    // Whether the system clipboard holds text that a sheet's Paste takes value
    // by value, whatever the entry clipboard holds; never without a window.
    virtual bool CanPasteText() { return false; }

    // Clone menu and the port selection dialog.
    virtual void CloneRead() = 0;
    virtual void CloneWrite() = 0;
    virtual void CloneWriteChanges() {}
    virtual void CloneInfo() = 0;
    virtual void PortDialog() = 0;

    // View menu: the settings already hold the new font size; the windows take it.
    virtual void FontSizeChanged() = 0;
    virtual void ToggleToolBar() = 0;

    // Help: opens the help file at `path`.
    virtual void OpenHelp(const std::string& path) = 0;
    // Shows the sheet whose key is `sheetKey`.
    virtual void CallSheet(const std::string& sheetKey) = 0;

    // The main menu's builder (the object of the hub's fill-menu message), or
    // null while there is none.
    virtual void* MainMenu() = 0;
    // The number of sub-items of the main-menu item of `label`; -1 when the main
    // menu has no such item.
    virtual int MainMenuSubItems(int label) = 0;

    // Opens the selection list `listKey` beside the request's cell with `value`
    // marked; the pick comes back as a new request for that cell with the picked
    // item's request as partner and inputMode 2.
    virtual void OpenSelectionList(CellRequest& request, std::string_view listKey, int kind,
                                   std::int32_t value) = 0;
    // Opens the bit editor on a raw byte; the choice comes back the same way,
    // the byte being the picked index shifted right by 18.
    virtual void OpenBitEditor(CellRequest& request, std::uint8_t value,
                               std::string_view listKey) = 0;
};

} // namespace marlo
