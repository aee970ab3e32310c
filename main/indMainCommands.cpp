#include "main/indMainCommands.h"

#include "document/indMainCellContext.h"
#include "main/cuiCloneWindow.h"
#include "main/cuiCompareCommands.h"
#include "main/indMain.h"
#include "overlay/cmcGTex.h"
#include "views/cuiBitEditor.h"
#include "views/cuiFlector.h"
#include "views/cuiMenu.h"
#include "views/cuiSystemClipboard.h"

#include <QAction>
#include <QDesktopServices>
#include <QMainWindow>
#include <QMenu>
#include <QUrl>
#include <algorithm>

indMainCommands::indMainCommands(indMain& controller)
    : controller_(controller), clipboard_(std::make_unique<cuiSystemClipboard>()) {}

indMainCommands::~indMainCommands() {
    compare_.reset();
    cloning_.reset();
}

void indMainCommands::AddCompareCommands(QMainWindow& form) {
    compare_ = std::make_unique<cuiCompareCommands>(
        form, controller_, [this]() -> cuiCloneWindow& { return Cloning(); });
}

cuiCloneWindow& indMainCommands::Cloning() {
    if (!cloning_)
        cloning_ = std::make_unique<cuiCloneWindow>(controller_, controller_.CellContext());
    return *cloning_;
}

bool indMainCommands::CanPrintCurrent() {
    return controller_.CanPrintCurrent();
}

bool indMainCommands::CanPasteText() {
    return clipboard_->HasTextToPaste();
}

void indMainCommands::PrintCurrent() {
    controller_.PrintCurrent();
}

void indMainCommands::PrintAll() {
    controller_.PrintAll();
}

void indMainCommands::CloneRead() {
    Cloning().CloneRead();
}

void indMainCommands::CloneWrite() {
    Cloning().CloneWrite();
}

void indMainCommands::CloneWriteChanges() {
    Cloning().CloneWriteChanges();
}

void indMainCommands::CloneInfo() {
    Cloning().CloneInfo();
}

void indMainCommands::PortDialog() {
    Cloning().SelectPort();
}

void indMainCommands::FileNew() {
    controller_.NewDocument();
}

void indMainCommands::FileOpen() {
    controller_.OpenDialog();
}

void indMainCommands::FileSave() {
    if (controller_.DocumentName().empty())
        controller_.SaveAsDialog();
    else
        controller_.SaveFile(controller_.DocumentName());
}

void indMainCommands::FileSaveAs() {
    controller_.SaveAsDialog();
}

void indMainCommands::FileOpenRecent(int index) {
    controller_.OpenRecent(index);
}

void indMainCommands::FileExit() {
    // Closing asks the save question as the window's own close button does.
    if (QMainWindow* form = controller_.Form())
        form->close();
}

void indMainCommands::FontSizeChanged() {
    controller_.ReopenSheet();
}

void indMainCommands::ToggleToolBar() {
    controller_.ToggleToolbar();
}

void indMainCommands::OpenHelp(const std::string& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void indMainCommands::CallSheet(const std::string& sheetKey) {
    controller_.OpenSheet(sheetKey);
}

void* indMainCommands::MainMenu() {
    return controller_.MainMenu();
}

int indMainCommands::MainMenuSubItems(int label) {
    cuiMenu* menu = controller_.MainMenu();
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

void indMainCommands::OpenSelectionList(cmcCellCapsule& request, std::string_view listKey, int kind,
                                        std::int32_t value) {
    cuiFlector::Open(request, {kind, value}, cmcGTex::App(), std::string(listKey));
}

void indMainCommands::OpenBitEditor(cmcCellCapsule& request, std::uint8_t value, std::string_view) {
    cuiBitEditor::Open(request, value);
}
