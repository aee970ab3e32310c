#include "main/sheetMenuCommands.h"

#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "main/appController.h"
#include "overlay/overlayTexts.h"
#include "platform/prompter.h"
#include "radio/cellContext.h"
#include "radio/cellLabels.h"
#include "radio/channelDuplicates.h"
#include "sheets/textUtil.h"
#include "views/sheet.h"
#include "views/sheetFinder.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>

#include <algorithm>
#include <charconv>

namespace marlo {

namespace {

// Lines: the five captions (Fill Down, Fill Series, Find, Go to Channel, Find
// Duplicates), the form labels Start, Step and Channel number, "no channel
// %s", "%d channels ..." and the text for no duplicates, and why a series
// needs a column of numbers or numbers to run through.
constexpr char kTextsKey[] = "GI_Menu_SheetCommands";

std::string line(int n) {
    return OverlayTexts::App().GetLine(kTextsKey, n);
}

std::string filled(std::string text, const std::string& value) {
    const auto at = text.find_first_of('%');
    if (at != std::string::npos && at + 1 < text.size())
        text.replace(at, 2, value);
    return text;
}

void tell(const std::string& text, PromptIcon icon) {
    Prompter::Current().Message(OverlayTexts::App().GetLine("GI_Sys_AppTitle"), text, icon,
                                PromptButtons::Ok);
}

std::optional<double> number(const std::string& text) {
    std::string t = text;
    std::replace(t.begin(), t.end(), ',', '.');
    t.erase(std::remove(t.begin(), t.end(), ' '), t.end());
    double value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || error != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return value;
}

bool hasChannelColumn(Sheet& sheet) {
    const SheetDef& def = sheet.Def();
    for (int row = 0; row < def.RowCount(); ++row)
        for (int col = 0; col < def.ColCount(); ++col)
            if (def.Cell(col, row).model.label == CellLabel::CL_UCh_CH)
                return true;
    return false;
}

} // namespace

std::vector<int> duplicateChannelRows(Sheet& sheet) {
    const std::vector<std::int32_t> sharing = duplicateChannels(CellContext::App().CurrentImage());
    std::vector<int> rows;
    const SheetDef& def = sheet.Def();
    for (int row = 0; row < def.RowCount(); ++row)
        for (int col = 0; col < def.ColCount(); ++col) {
            const CellModel& model = def.Cell(col, row).model;
            if (model.IsSelectable() && model.label == CellLabel::CL_UCh_CH &&
                std::binary_search(sharing.begin(), sharing.end(), model.index)) {
                rows.push_back(row);
                break;
            }
        }
    return rows;
}

SheetMenuCommands::SheetMenuCommands(QMainWindow& form, AppController& controller, QMenu* editMenu)
    : controller_(controller), editMenu_(editMenu) {
    const auto make = [&form](int n, QKeySequence key = {}) {
        auto* action = new QAction(QString::fromStdString(line(n)), &form);
        action->setShortcut(key);
        // On the window itself, the keys work while the Edit menu is being refilled.
        form.addAction(action);
        return action;
    };
    fillDown_ = make(0, QKeySequence(Qt::CTRL | Qt::Key_D));
    fillSeries_ = make(1);
    find_ = make(2, QKeySequence(Qt::CTRL | Qt::Key_F));
    goTo_ = make(3, QKeySequence(Qt::CTRL | Qt::Key_G));
    duplicates_ = make(4);
    separator_ = new QAction(&form);
    separator_->setSeparator(true);
    connect(fillDown_, &QAction::triggered, this, [this] {
        if (Sheet* sheet = controller_.ShownSheet())
            sheet->FillDown();
    });
    connect(fillSeries_, &QAction::triggered, this, [this] { FillSeries(); });
    connect(find_, &QAction::triggered, this, [this] {
        if (Sheet* sheet = controller_.ShownSheet(); sheet != nullptr && sheet->Grid())
            sheet->Finder().Open();
    });
    connect(goTo_, &QAction::triggered, this, [this] { GoToChannel(); });
    connect(duplicates_, &QAction::triggered, this, [this] { FindDuplicates(); });
    if (editMenu_)
        connect(editMenu_, &QMenu::aboutToShow, this, [this] { Refresh(); });
    NotificationHub::App().Subscribe(&SheetMenuCommands::OnHub, this);
    Refresh();
}

SheetMenuCommands::~SheetMenuCommands() {
    NotificationHub::App().Unsubscribe(&SheetMenuCommands::OnHub, this);
}

// The Edit menu is refilled with the focused sheet's items: ours go back below.
void SheetMenuCommands::OnHub(void* self, const HubMessage& message) {
    if (message.type == evRefreshMenus || message.type == evFillMenuItem ||
        message.type == evClearMenuItem)
        static_cast<SheetMenuCommands*>(self)->Refresh();
}

void SheetMenuCommands::Refresh() {
    Sheet* sheet = controller_.ShownSheet();
    const bool shown = sheet != nullptr && sheet->Grid() != nullptr;
    const bool channels = shown && hasChannelColumn(*sheet);
    if (fillDown_)
        fillDown_->setEnabled(shown &&
                              sheet->Def().Style().multiSelect != SheetStyle::MultiSelectOff);
    if (fillSeries_)
        fillSeries_->setEnabled(shown && sheet->CanFillSeries());
    if (find_)
        find_->setEnabled(shown);
    if (goTo_)
        goTo_->setEnabled(channels);
    if (duplicates_)
        duplicates_->setEnabled(channels);
    PlaceInEditMenu();
}

void SheetMenuCommands::PlaceInEditMenu() {
    if (!editMenu_ || !separator_)
        return;
    const QList<QAction*> ours{separator_, fillDown_, fillSeries_, find_, goTo_, duplicates_};
    const QList<QAction*> items = editMenu_->actions();
    if (items.size() >= ours.size() && items.mid(items.size() - ours.size()) == ours)
        return;
    for (QAction* action : ours)
        editMenu_->removeAction(action);
    editMenu_->addActions(ours);
}

void SheetMenuCommands::FillSeries() {
    Sheet* sheet = controller_.ShownSheet();
    if (sheet == nullptr || sheet->Grid() == nullptr)
        return;
    if (!sheet->CanFillSeries()) {
        tell(line(10), PromptIcon::Warning);
        return;
    }
    const int first = sheet->SelectedRows().front();
    const std::string start = sheet->ShownText(sheet->Grid()->Col(), first);
    const std::optional<std::vector<std::string>> values =
        Prompter::Current().AskValues(commandName(line(1)), {{line(5), start}, {line(6), "1"}});
    if (!values || values->size() != 2)
        return;
    const std::optional<double> from = number((*values)[0]);
    const std::optional<double> step = number((*values)[1]);
    if (!from || !step) {
        tell(line(11), PromptIcon::Warning);
        return;
    }
    sheet->FillSeries(*from, *step);
}

void SheetMenuCommands::GoToChannel() {
    Sheet* sheet = controller_.ShownSheet();
    if (sheet == nullptr || sheet->Grid() == nullptr)
        return;
    const std::optional<std::vector<std::string>> values =
        Prompter::Current().AskValues(commandName(line(3)), {{line(7), {}}});
    if (!values || values->empty())
        return;
    if (const std::optional<GridCell> cell = sheet->FindChannel(values->front())) {
        sheet->SetCursor(cell->col, cell->row);
        sheet->Grid()->setFocus(Qt::OtherFocusReason);
        return;
    }
    tell(filled(line(8), values->front()), PromptIcon::Information);
}

void SheetMenuCommands::FindDuplicates() {
    Sheet* sheet = controller_.ShownSheet();
    if (sheet == nullptr || sheet->Grid() == nullptr)
        return;
    const std::vector<int> rows = duplicateChannelRows(*sheet);
    if (rows.empty()) {
        tell(line(12), PromptIcon::Information);
        return;
    }
    sheet->SelectRows(rows);
    tell(filled(line(9), std::to_string(rows.size())), PromptIcon::Information);
}

} // namespace marlo
