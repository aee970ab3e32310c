#include "main/cuiCompareWindow.h"

#include "core/cmcEeprom.h"
#include "core/cmcUndoHistory.h"
#include "core/modelIdentity.h"
#include "document/indMainCellContext.h"
#include "exchange/exchangeLists.h"
#include "exchange/takeOtherValues.h"
#include "main/cuiCellLocator.h"
#include "main/indMain.h"
#include "overlay/cmcGTex.h"
#include "platform/cmcPrompter.h"
#include "print/cuiPrinting.h"
#include "radio/cellLabels.h"
#include "radio/cmcCellCapsule.h"
#include "radio/imagePreparation.h"
#include "sheets/cmcEvMan.h"
#include "views/cuiTextSheet.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// Lines of the window's texts.
constexpr char kTexts[] = "GI_Compare";
enum Line {
    CaptionLine = 2,
    SheetHeading = 4,
    EntryHeading = 5,
    FieldHeading = 6,
    MineHeading = 7,
    TakeCaption = 8,
    CloseCaption = 9,
    CountLine = 10,
    SameLine = 11,
    RefusedLine = 12,
    OtherBytesField = 13,
    HiddenBytesField = 14,
    TitleLine = 15,
    PrintCaption = 16,
    PdfName = 17,
};
constexpr int kMostProblemsShown = 12;

std::string text(int line) {
    return cmcGTex::App().GetLine(kTexts, line);
}

// The line with its "%s" (or "%d") replaced.
std::string filled(int line, const std::string& value) {
    std::string t = text(line);
    for (const char* mark : {"%s", "%d"})
        if (const auto at = t.find(mark); at != std::string::npos)
            return t.replace(at, 2, value);
    return t;
}

std::string hexAddress(std::int32_t address) {
    char t[16];
    std::snprintf(t, sizeof t, "0x%04X", static_cast<unsigned>(address));
    return t;
}

bool sameRows(const std::vector<dstDiffRow>& a, const std::vector<dstDiffRow>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.kind == y.kind && x.list == y.list && x.row == y.row && x.column == y.column &&
               x.first == y.first && x.last == y.last && x.mine == y.mine && x.other == y.other;
    });
}

} // namespace

cuiCompareWindow::cuiCompareWindow(QWidget* owner, indMain& controller,
                                   std::unique_ptr<cmcEeprom> other, std::string otherName)
    : QWidget(owner, Qt::Window), controller_(controller), other_(std::move(other)),
      otherVariant_(other_->GetByte(marloImageMap::variantAddress)),
      otherName_(std::move(otherName)), locator_(std::make_unique<cuiCellLocator>(controller)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(
        QString::fromStdString(cmcDocument::AppTitle() + " - " + filled(CaptionLine, otherName_)));
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    host_ = new QFrame(this);
    layout->addWidget(host_, 1);
    auto* buttons = new QHBoxLayout;
    take_ = new QPushButton(QString::fromStdString(text(TakeCaption)), this);
    auto* close = new QPushButton(QString::fromStdString(text(CloseCaption)), this);
    print_ = new QPushButton(QString::fromStdString(text(PrintCaption)), this);
    buttons->addWidget(take_);
    buttons->addWidget(print_);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    // Enter belongs to the list: it shows the cell, it does not press a button.
    for (QPushButton* b : {take_.data(), print_.data(), close})
        b->setAutoDefault(false);
    connect(print_, &QPushButton::clicked, this, [this] { Print(); });
    connect(take_, &QPushButton::clicked, this, [this] { TakeOtherValues(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    resize(760, 420);
    Refresh();
}

cuiCompareWindow::~cuiCompareWindow() {
    printing_.reset();
    sheet_.reset(); // its widgets live in this window
}

std::unique_ptr<cuiTextSheet> cuiCompareWindow::MakeSheet(QWidget* host) {
    return std::make_unique<cuiTextSheet>(
        host, text(TitleLine),
        std::vector<std::string>{text(SheetHeading), text(EntryHeading), text(FieldHeading),
                                 text(MineHeading), otherName_},
        texts_, &controller_.MarkImages());
}

cuiSheet* cuiCompareWindow::ShownSheet() {
    return sheet_.get();
}

std::unique_ptr<cuiSheet> cuiCompareWindow::CreateSheet(QWidget* parent, const std::string&) {
    return MakeSheet(parent);
}

std::string cuiCompareWindow::PdfFileSuggestion() {
    std::string folder = controller_.CurrentDirectory;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + text(PdfName);
}

void cuiCompareWindow::Print() {
    if (!sheet_)
        return;
    if (!printing_)
        printing_ =
            std::make_unique<cuiPrinting>(static_cast<cuiPrintHost&>(*this), cmcGTex::App());
    printing_->Print(false);
}

void cuiCompareWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The document may have changed while the main window had the keyboard.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Refresh();
}

void cuiCompareWindow::Refresh() {
    rows_ = compareDocuments(controller_.CellContext(),
                             {controller_.CurrentImage(), controller_.ModelVariant()},
                             {*other_, otherVariant_}, marloModel::cloneRange);
    if (sheet_ && sameRows(rows_, shown_))
        return;
    int cursor = -1;
    if (sheet_ && sheet_->Grid() != nullptr)
        cursor = sheet_->Grid()->Row();
    sheet_.reset();
    shown_ = rows_;
    summary_->setText(QString::fromStdString(
        rows_.empty() ? text(SameLine) : filled(CountLine, std::to_string(rows_.size()))));
    take_->setEnabled(!rows_.empty());
    print_->setEnabled(!rows_.empty());
    texts_.clear();
    if (rows_.empty())
        return;
    for (const dstDiffRow& d : rows_)
        texts_.push_back(Describe(d));
    sheet_ = MakeSheet(host_);
    sheet_->OnActivate([this](int row) { ShowRow(row); });
    sheet_->Build();
    if (cursor > 0 && sheet_->Grid() != nullptr)
        sheet_->SetCursor(0, std::min(cursor, sheet_->Grid()->RowCount() - 1));
    if (sheet_->Grid() != nullptr)
        sheet_->Grid()->setFocus(Qt::OtherFocusReason);
}

namespace {

struct CellRef {
    std::int32_t category;
    std::int32_t label;
    std::int32_t index;
    std::string parameter;
};

CellRef cellOf(const dstDiffRow& d) {
    if (d.kind == dstDiffRow::Kind::OtherBytes)
        return {cmcCells::CT_Null, cmcCells::CL_EeDebugWin_0 + (d.first & 0x0F), d.first >> 4, {}};
    const cmcExchangeList& list = exchangeLists()[d.list];
    const cmcExchangeRow& row = list.rows[d.row];
    const cmcExchangeColumn& column =
        list.columns[d.kind == dstDiffRow::Kind::Value ? d.column : 0];
    return {row.category, cmcExchangeCells::LabelOf(row, column), row.index, column.parameter};
}

} // namespace

std::vector<std::string> cuiCompareWindow::Describe(const dstDiffRow& d) {
    const CellRef ref = cellOf(d);
    const auto place = locator_->Find(ref.category, ref.label, ref.index, ref.parameter);
    std::string sheet = place ? place->caption : std::string();
    std::string entry;
    std::string field;
    if (d.kind == dstDiffRow::Kind::OtherBytes) {
        entry = d.first == d.last ? hexAddress(d.first)
                                  : hexAddress(d.first) + ".." + hexAddress(d.last);
        field = text(OtherBytesField);
    } else {
        const cmcExchangeList& list = exchangeLists()[d.list];
        const cmcExchangeRow& row = list.rows[d.row];
        entry = place && !place->rowLabel.empty() ? place->rowLabel : row.key;
        if (sheet.empty())
            sheet = list.name;
        if (d.kind == dstDiffRow::Kind::HiddenBytes)
            field = filled(HiddenBytesField, hexAddress(d.first));
        else if (row.label < 0)
            field =
                place && !place->heading.empty() ? place->heading : list.columns[d.column].header;
    }
    return {sheet, entry, field, d.mine, d.other};
}

void cuiCompareWindow::ShowRow(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= shown_.size())
        return;
    const CellRef ref = cellOf(shown_[static_cast<std::size_t>(row)]);
    const auto place = locator_->Find(ref.category, ref.label, ref.index, ref.parameter);
    if (!place)
        return;
    controller_.ShowPlace({place->descriptor, place->col, place->row});
    if (QWidget* form = controller_.Form()) {
        form->raise();
        form->activateWindow();
    }
}

bool cuiCompareWindow::TakeOtherValues() {
    if (!sheet_)
        return false;
    cmcEvMan::App().Send(evCommitEditors);
    std::vector<dstDiffRow> chosen;
    for (const int r : sheet_->SelectedRows())
        chosen.push_back(shown_[static_cast<std::size_t>(r)]);
    if (chosen.empty())
        return false;
    // One command of the document: one undo step, named after the button.
    cmcCellObj named;
    named.SetText(text(TakeCaption));
    cmcCellCapsule request;
    request.cell = &named;
    controller_.CommandBegins(request);
    const std::vector<std::string> problems =
        takeOtherValues(controller_.CellContext(), controller_.ModelVariant(), *other_, chosen);
    controller_.CommandEnds();
    if (!problems.empty()) {
        std::string message = text(RefusedLine);
        for (std::size_t i = 0; i < problems.size() && i < kMostProblemsShown; ++i)
            message += "\n" + problems[i];
        if (problems.size() > kMostProblemsShown)
            message += "\n...";
        cmcPrompter::current().message(cmcDocument::AppTitle(), message, PromptIcon::Error,
                                       PromptButtons::Ok);
        return false;
    }
    cmcEvMan::App().Post(evRepaintAll);
    controller_.StartWarningsDelay();
    Refresh();
    return true;
}
