#include "core/notificationHub.h"
#include "core/portMap.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"
#include "radio/cellCommands.h"
#include "radio/cellEvaluation.h"
#include "radio/cellLabels.h"
#include "radio/codecSteps.h"
#include "radio/rowClipboard.h"
#include "sheets/cellModel.h"

#include <string>

namespace marlo {

using namespace CellLabel;

// The items of the main menu, the toolbar and the context menus: Enter runs the
// item's command, and every evaluation sets the item's state in its user flags
// (Flag0 checked, Flag1 hidden, Flag2 disabled, Flag3 the caption is the text).

namespace {

enum MenuFlag { Checked = 0, Hidden = 1, Disabled = 2, OwnCaption = 3 };

// The ranges the settings accept.
constexpr int kFirstPort = 1;
constexpr int kLastPort = 256;
constexpr int kLastComPort = 4; // higher numbers are the other ports
constexpr int kSmallestFont = 25;
constexpr int kLargestFont = 1000;
constexpr int kModelVariants = 2;
// The help file's name; it lies beside the program.
constexpr const char* kHelpFileName = "GI_Sys_MyHelpFile";

void setFlag(CellEvaluation& ev, MenuFlag flag, bool on) {
    const auto bit = static_cast<std::uint8_t>(CellBehaviour::Flag0 << flag);
    ev.cell.behaviour =
        static_cast<std::uint8_t>(on ? ev.cell.behaviour | bit : ev.cell.behaviour & ~bit);
}

bool entered(const CellEvaluation& ev) {
    return ev.request.action == CellRequest::kEnter;
}

// The commands, when Enter was pressed and there is someone to run them.
CellCommands* commandToRun(CellEvaluation& ev) {
    return entered(ev) ? ev.context.Commands() : nullptr;
}

void documentCommand(CellEvaluation& ev) {
    CellCommands* commands = commandToRun(ev);
    if (commands == nullptr)
        return;
    switch (ev.label) {
    case CL_Menu_File_New:
        commands->FileNew();
        break;
    case CL_Menu_File_Open:
        commands->FileOpen();
        break;
    case CL_Menu_File_Save:
        if (ev.context.HasDocumentName())
            commands->FileSave();
        else
            commands->FileSaveAs();
        break;
    case CL_Menu_File_SaveAs:
        commands->FileSaveAs();
        break;
    case CL_Menu_File_Print_All:
        commands->PrintAll();
        break;
    case CL_Menu_File_Exit:
        commands->FileExit();
        break;
    case CL_Menu_Clone_Read:
        commands->CloneRead();
        break;
    case CL_Menu_Clone_Write:
        commands->CloneWrite();
        break;
    case CL_Menu_Clone_WriteChanges:
        commands->CloneWriteChanges();
        break;
    case CL_Menu_Clone_Info:
        commands->CloneInfo();
        break;
    default:
        break;
    }
}

void printCurrent(CellEvaluation& ev) {
    CellCommands* commands = ev.context.Commands();
    const bool can = commands != nullptr && commands->CanPrintCurrent();
    setFlag(ev, Disabled, !can);
    if (can && entered(ev))
        commands->PrintCurrent();
}

void recentFile(CellEvaluation& ev) {
    const std::string name = ev.context.RecentFile(ev.index);
    codec::showText(ev.request, "&" + std::to_string(std::int64_t{ev.index} + 1) + " " + name);
    setFlag(ev, OwnCaption, true);
    setFlag(ev, Disabled, name.empty());
    setFlag(ev, Hidden, name.empty() && ev.index != 0);
    if (CellCommands* commands = commandToRun(ev); commands != nullptr && !name.empty())
        commands->FileOpenRecent(ev.index);
}

// The Edit menu shows the context menu of the sheet's cursor cell; without one it
// holds the single "no item" entry, added only when the menu is empty so that it
// never trails a sheet's items.
void editTop(CellEvaluation& ev) {
    CellCommands* commands = ev.context.Commands();
    if (commands == nullptr || commands->MainMenuSubItems(CL_Menu_Edit_Top) != 0)
        return;
    NotificationHub::App().PostText(evFillMenuItem, commands->MainMenu(), CL_Menu_Edit_Top,
                                    "GI_PMenu_NoItem");
}

// The settings items show the state after their command has run.

void fontSize(CellEvaluation& ev) {
    if (entered(ev) && ev.index >= kSmallestFont && ev.index <= kLargestFont) {
        ev.context.SetFontSize(ev.index);
        if (CellCommands* commands = ev.context.Commands())
            commands->FontSizeChanged();
    }
    setFlag(ev, Checked, ev.index == ev.context.FontSize());
}

void toolBar(CellEvaluation& ev) {
    if (CellCommands* commands = commandToRun(ev))
        commands->ToggleToolBar();
    setFlag(ev, Checked, ev.context.ToolBarVisible());
}

// The device a port number opens as its item names it: a plain device by its
// name, anything else (a by-id link, a pseudo-terminal path) in full.
std::string deviceShown(int port) {
    const std::string path = PortMap::DevicePath(port);
    constexpr std::string_view dev = "/dev/";
    if (path.starts_with(dev) && path.find('/', dev.size()) == std::string::npos)
        return path.substr(dev.size());
    return path;
}

void comPort(CellEvaluation& ev) {
    if (entered(ev) && ev.index >= kFirstPort && ev.index <= kLastPort) {
        ev.context.SetComPort(ev.index);
        NotificationHub::App().Send(evPortChanged);
    }
    setFlag(ev, Checked, ev.index == ev.context.ComPort());
    // The caption's device in brackets is what the number really opens, a
    // [Ports] override included.
    std::string caption = ev.cell.Text();
    const auto open = caption.rfind('(');
    const auto close = caption.rfind(')');
    if (ev.index >= kFirstPort && ev.index <= kLastPort && open != std::string::npos &&
        close != std::string::npos && open < close) {
        caption.replace(open + 1, close - open - 1, deviceShown(ev.index));
        codec::showText(ev.request, caption);
        setFlag(ev, OwnCaption, true);
    }
}

void otherPort(CellEvaluation& ev) {
    if (CellCommands* commands = commandToRun(ev))
        commands->PortDialog();
    setFlag(ev, Checked, ev.context.ComPort() > kLastComPort);
}

void model(CellEvaluation& ev) {
    // Only the variants the installation has initial files for.
    if (entered(ev) && ev.index >= 0 && ev.index < kModelVariants)
        ev.context.ChangeModel(ev.index);
    setFlag(ev, Checked, ev.index == ev.context.ModelVariant());
}

void about(CellEvaluation& ev) {
    if (entered(ev))
        NotificationHub::App().Post(evShowAbout);
}

void helpContents(CellEvaluation& ev) {
    if (CellCommands* commands = commandToRun(ev))
        commands->OpenHelp(programFilesDir() + ev.Texts().GetLine(kHelpFileName));
}

void callSheet(CellEvaluation& ev) {
    CellCommands* commands = commandToRun(ev);
    if (commands != nullptr && ev.cell.parameter && !ev.cell.parameter->empty())
        commands->CallSheet(*ev.cell.parameter);
}

// Shown only while it is the Edit menu's only item.
void noItem(CellEvaluation& ev) {
    CellCommands* commands = ev.context.Commands();
    setFlag(ev, Disabled, true);
    setFlag(ev, Hidden, commands == nullptr || commands->MainMenuSubItems(CL_Menu_Edit_Top) != 1);
}

// Paste takes the entry clipboard's rows into a list of their type, or text
// from the system clipboard into any sheet, value by value.
void paste(CellEvaluation& ev) {
    CellCommands* commands = ev.context.Commands();
    const bool text = commands != nullptr && commands->CanPasteText();
    setFlag(ev, Disabled, !text && !ev.context.Clipboard().Accepts(ev.entry.type));
}

// Items the context menu always offers: their commands run on the clicked row.
void rowCommand(CellEvaluation&) {}

void rowMove(CellEvaluation& ev) {
    setFlag(ev, Disabled, !ListRecord::CanMoveRows(ev.entry.type));
}

} // namespace

void addMenuCells(CellCatalogue& catalogue) {
    CellKinds& kinds = catalogue.kinds;
    for (std::int32_t label :
         {CL_Menu_File_New, CL_Menu_File_Open, CL_Menu_File_Save, CL_Menu_File_SaveAs,
          CL_Menu_File_Print_All, CL_Menu_File_Exit, CL_Menu_Clone_Read, CL_Menu_Clone_Write,
          CL_Menu_Clone_WriteChanges, CL_Menu_Clone_Info})
        kinds[static_cast<std::size_t>(label)] = {documentCommand, 0, false};
    kinds[CL_Menu_File_Print_Current] = {printCurrent, 0, false};
    kinds[CL_Menu_File_Recent] = {recentFile, 0, false};
    kinds[CL_Menu_Edit_Top] = {editTop, 0, false};
    kinds[CL_Menu_View_FontSize] = {fontSize, 0, false};
    kinds[CL_Menu_View_ToolBar] = {toolBar, 0, false};
    kinds[CL_Menu_Port_Com] = {comPort, 0, false};
    kinds[CL_Menu_Port_Usb] = {otherPort, 0, false};
    kinds[CL_Model] = {model, 0, false};
    kinds[CL_Help_About] = {about, 0, false};
    kinds[CL_Help_Contents] = {helpContents, 0, false};
    kinds[CallSheet] = {callSheet, 0, false};
    kinds[CL_PMenu_NoItem] = {noItem, 0, false};
    for (std::int32_t label : {CL_PMenu_Edit, CL_PMenu_Copy, CL_PMenu_Sort})
        kinds[static_cast<std::size_t>(label)] = {rowCommand, 0, false};
    kinds[CL_PMenu_Paste] = {paste, 0, false};
    for (std::int32_t label = CL_PMenu_CarryUp; label <= CL_PMenu_Insert; ++label)
        kinds[static_cast<std::size_t>(label)] = {rowMove, 0, false};
    catalogue.UsesText(kHelpFileName);
}

} // namespace marlo
