#include "main/mainWindowCommands.h"

#include "document/appCellContext.h"
#include "main/cloneWindowCommands.h"
#include "main/compareCommands.h"
#include "main/radioAppController.h"
#include "overlay/overlayTexts.h"
#include "views/bitEditor.h"
#include "views/menu.h"
#include "views/pickerPopup.h"
#include "views/systemClipboard.h"

#include <QAction>
#include <QDesktopServices>
#include <QMainWindow>
#include <QMenu>
#include <QUrl>
#include <algorithm>

namespace marlo {

MainWindowCommands::MainWindowCommands(RadioAppController& controller)
    : controller_(controller), clipboard_(std::make_unique<SystemClipboard>()) {}

MainWindowCommands::~MainWindowCommands() {
    compare_.reset();
    cloning_.reset();
}

void MainWindowCommands::AddCompareCommands(QMainWindow& form) {
    compare_ = std::make_unique<CompareCommands>(
        form, controller_, [this]() -> CloneWindowCommands& { return Cloning(); });
}

CloneWindowCommands& MainWindowCommands::Cloning() {
    if (!cloning_)
        cloning_ = std::make_unique<CloneWindowCommands>(controller_, controller_.CellContext());
    return *cloning_;
}

bool MainWindowCommands::CanPrintCurrent() {
    return controller_.CanPrintCurrent();
}

bool MainWindowCommands::CanPasteText() {
    return clipboard_->HasTextToPaste();
}

void MainWindowCommands::PrintCurrent() {
    controller_.PrintCurrent();
}

void MainWindowCommands::PrintAll() {
    controller_.PrintAll();
}

void MainWindowCommands::CloneRead() {
    Cloning().CloneRead();
}

void MainWindowCommands::CloneWrite() {
    Cloning().CloneWrite();
}

void MainWindowCommands::CloneWriteChanges() {
    Cloning().CloneWriteChanges();
}

void MainWindowCommands::CloneInfo() {
    Cloning().CloneInfo();
}

void MainWindowCommands::PortDialog() {
    Cloning().SelectPort();
}

void MainWindowCommands::FileNew() {
    controller_.NewDocument();
}

void MainWindowCommands::FileOpen() {
    controller_.OpenDialog();
}

void MainWindowCommands::FileSave() {
    if (controller_.DocumentName().empty())
        controller_.SaveAsDialog();
    else
        controller_.SaveFile(controller_.DocumentName());
}

void MainWindowCommands::FileSaveAs() {
    controller_.SaveAsDialog();
}

void MainWindowCommands::FileOpenRecent(int index) {
    controller_.OpenRecent(index);
}

void MainWindowCommands::FileExit() {
    // Closing asks the save question as the window's own close button does.
    if (QMainWindow* form = controller_.Form())
        form->close();
}

void MainWindowCommands::FontSizeChanged() {
    controller_.ReopenSheet();
}

void MainWindowCommands::ToggleToolBar() {
    controller_.ToggleToolbar();
}

void MainWindowCommands::OpenHelp(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void MainWindowCommands::CallSheet(const std::string& sheetKey) {
    controller_.OpenSheet(sheetKey);
}

void* MainWindowCommands::MainMenu() {
    return controller_.MainMenu();
}

int MainWindowCommands::MainMenuSubItems(int label) {
    Menu* menu = controller_.MainMenu();
    QAction* item = menu != nullptr ? menu->FindByLabel(label) : nullptr;
    if (item == nullptr)
        return -1;
    if (item->menu() == nullptr)
        return 0;
    // Only the items the menus were built or filled with: the window's own
    // Undo and Redo at the top of the Edit menu do not count.
    const QList<QAction*> items = item->menu()->actions();
    return static_cast<int>(
        std::count_if(items.begin(), items.end(), [menu](QAction* a) { return menu->ModelOf(a); }));
}

void MainWindowCommands::OpenSelectionList(CellRequest& request, std::string_view listKey, int kind,
                                           std::int32_t value) {
    PickerPopup::Open(request, {kind, value}, OverlayTexts::App(), std::string(listKey));
}

void MainWindowCommands::OpenBitEditor(CellRequest& request, std::uint8_t value, std::string_view) {
    BitEditor::Open(request, value);
}

} // namespace marlo
