#include "main/compareWindow.h"

#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "core/notificationHub.h"
#include "core/undoHistory.h"
#include "document/appCellContext.h"
#include "exchange/exchangeLists.h"
#include "exchange/takeOtherValues.h"
#include "main/cellLocator.h"
#include "main/radioAppController.h"
#include "overlay/overlayTexts.h"
#include "platform/prompter.h"
#include "print/printing.h"
#include "radio/cellLabels.h"
#include "radio/cellRequest.h"
#include "radio/imagePreparation.h"
#include "views/textSheet.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace marlo {

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
    return OverlayTexts::App().GetLine(kTexts, line);
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

bool sameRows(const std::vector<DiffRow>& a, const std::vector<DiffRow>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.kind == y.kind && x.list == y.list && x.row == y.row && x.column == y.column &&
               x.first == y.first && x.last == y.last && x.mine == y.mine && x.other == y.other;
    });
}

} // namespace

CompareWindow::CompareWindow(QWidget* owner, RadioAppController& controller,
                             std::unique_ptr<MemoryImage> other, std::string otherName)
    : QWidget(owner, Qt::Window), controller_(controller), other_(std::move(other)),
      otherVariant_(other_->GetByte(marloImageMap::variantAddress)),
      otherName_(std::move(otherName)), locator_(std::make_unique<CellLocator>(controller)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(
        QString::fromStdString(Document::AppTitle() + " - " + filled(CaptionLine, otherName_)));
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

CompareWindow::~CompareWindow() {
    printing_.reset();
    sheet_.reset(); // its widgets live in this window
}

std::unique_ptr<TextSheet> CompareWindow::MakeSheet(QWidget* host) {
    return std::make_unique<TextSheet>(
        host, text(TitleLine),
        std::vector<std::string>{text(SheetHeading), text(EntryHeading), text(FieldHeading),
                                 text(MineHeading), otherName_},
        texts_, &controller_.MarkImages());
}

marlo::Sheet* CompareWindow::ShownSheet() {
    return sheet_.get();
}

std::unique_ptr<marlo::Sheet> CompareWindow::CreateSheet(QWidget* parent, const std::string&) {
    return MakeSheet(parent);
}

std::string CompareWindow::PdfFileSuggestion() {
    std::string folder = controller_.CurrentDirectory;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder + text(PdfName);
}

void CompareWindow::Print() {
    if (!sheet_)
        return;
    if (!printing_)
        printing_ = std::make_unique<Printing>(static_cast<PrintHost&>(*this), OverlayTexts::App());
    printing_->Print(false);
}

void CompareWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The document may have changed while the main window had the keyboard.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Refresh();
}

void CompareWindow::Refresh() {
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
    for (const DiffRow& d : rows_)
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

CellRef cellOf(const DiffRow& d) {
    if (d.kind == DiffRow::Kind::OtherBytes)
        return {
            CellLabel::CT_Null, CellLabel::CL_EeDebugWin_0 + (d.first & 0x0F), d.first >> 4, {}};
    const ExchangeList& list = exchangeLists()[d.list];
    const ExchangeRow& row = list.rows[d.row];
    const ExchangeColumn& column = list.columns[d.kind == DiffRow::Kind::Value ? d.column : 0];
    return {row.category, ExchangeCells::LabelOf(row, column), row.index, column.parameter};
}

} // namespace

std::vector<std::string> CompareWindow::Describe(const DiffRow& d) {
    const CellRef ref = cellOf(d);
    const auto place = locator_->Find(ref.category, ref.label, ref.index, ref.parameter);
    std::string sheet = place ? place->caption : std::string();
    std::string entry;
    std::string field;
    if (d.kind == DiffRow::Kind::OtherBytes) {
        entry = d.first == d.last ? hexAddress(d.first)
                                  : hexAddress(d.first) + ".." + hexAddress(d.last);
        field = text(OtherBytesField);
    } else {
        const ExchangeList& list = exchangeLists()[d.list];
        const ExchangeRow& row = list.rows[d.row];
        entry = place && !place->rowLabel.empty() ? place->rowLabel : row.key;
        if (sheet.empty())
            sheet = list.name;
        if (d.kind == DiffRow::Kind::HiddenBytes)
            field = filled(HiddenBytesField, hexAddress(d.first));
        else if (row.label < 0)
            field =
                place && !place->heading.empty() ? place->heading : list.columns[d.column].header;
    }
    return {sheet, entry, field, d.mine, d.other};
}

void CompareWindow::ShowRow(int row) {
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

bool CompareWindow::TakeOtherValues() {
    if (!sheet_)
        return false;
    NotificationHub::App().Send(evCommitEditors);
    std::vector<DiffRow> chosen;
    for (const int r : sheet_->SelectedRows())
        chosen.push_back(shown_[static_cast<std::size_t>(r)]);
    if (chosen.empty())
        return false;
    // One command of the document: one undo step, named after the button.
    CellModel named;
    named.SetText(text(TakeCaption));
    CellRequest request;
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
        Prompter::Current().Message(Document::AppTitle(), message, PromptIcon::Error,
                                    PromptButtons::Ok);
        return false;
    }
    NotificationHub::App().Post(evRepaintAll);
    controller_.StartWarningsDelay();
    Refresh();
    return true;
}

} // namespace marlo
