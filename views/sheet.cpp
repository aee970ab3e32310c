#include "views/sheet.h"

#include "core/notificationHub.h"
#include "overlay/overlayTexts.h"
#include "radio/cellEngine.h"
#include "radio/statusLine.h"
#include "sheets/cellQtMapping.h"
#include "sheets/commonSettingsSheetDef.h"
#include "sheets/textUtil.h"
#include "views/menu.h"
#include "views/sheetFinder.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace marlo {

Sheet::Sheet(QWidget* host, const CellRequest* ownerRequest, StartCell start, OverlayTexts& store,
             std::string key, const MarkImages* marks, OverlayTexts* models)
    : host_(host), store_(store), models_(models ? *models : store), key_(std::move(key)),
      marks_(marks), start_(start), displayName_(key_) {
    if (ownerRequest != nullptr)
        ownerRequest_ = *ownerRequest;
    wait_ = [this](int ms) {
        if (grid_ != nullptr)
            grid_->viewport()->repaint();
        QThread::msleep(static_cast<unsigned long>(ms));
    };
    NotificationHub::App().Subscribe(&Sheet::OnHub, this);
}

Sheet::~Sheet() {
    NotificationHub& hub = NotificationHub::App();
    hub.Unsubscribe(&Sheet::OnHub, this);
    if (grid_ != nullptr)
        hub.Send(evWindowDestroyed, grid_);
    if (menuBuilder_) {
        Menu::Retire(std::move(menuBuilder_));
        hub.Send(evClearMenuItem, nullptr, kEditTopLabel);
    }
    if (grid_ != nullptr)
        grid_->SetOwner(nullptr);
    if (editor_ != nullptr)
        editor_->removeEventFilter(this);
    delete titlePanel_;
    delete gridPanel_;
}

std::unique_ptr<SheetDef> Sheet::CreateDef(OverlayTexts& store, const std::string& key,
                                           OverlayTexts& models) {
    return std::make_unique<SheetDef>(store, key, models);
}

std::unique_ptr<SheetDef>
CommonSettingsSheet::CreateDef(OverlayTexts& store, const std::string& key, OverlayTexts& models) {
    return std::make_unique<CommonSettingsSheetDef>(store, key, models);
}

std::string Sheet::SetAuxText(const std::string& text) {
    auxText_ = text;
    return auxText_;
}

std::string Sheet::TitleText() const {
    return def_ && def_->Style().titleText ? *def_->Style().titleText : std::string();
}

bool Sheet::Printable() const {
    return !def_ || !def_->Style().noPrint;
}

void Sheet::SetPrinter(QPaintDevice* printer) {
    printer_ = printer;
}

void Sheet::Build() {
    if (finder_)
        finder_->Forget();
    if (!engine_) {
        ownEngine_ = std::make_unique<CellEngine>();
        engine_ = [engine = ownEngine_.get()](CellRequest& request, bool notify) {
            return evaluateCell(*engine, request, notify);
        };
    }
    CloseEditor(true); // while its cell still exists
    building_ = true;
    if (!def_)
        def_ = CreateDef(store_, key_, models_);
    SheetSetup setup = setup_;
    setup.explicitFontHeight = fontHeight_;
    def_->SetPrinter(printer_);
    def_->SetSetup(setup);
    def_->Build();
    menuCell_ = nullptr;
    anchor_ = {};
    interaction_ = kLineMarksClear;
    lastHover_ = {};

    CreateWindows();
    std::vector<int> widths(static_cast<std::size_t>(def_->ColCount()));
    std::vector<int> heights(static_cast<std::size_t>(def_->RowCount()));
    for (int c = 0; c < def_->ColCount(); ++c)
        widths[static_cast<std::size_t>(c)] = def_->ColWidth(c);
    for (int r = 0; r < def_->RowCount(); ++r)
        heights[static_cast<std::size_t>(r)] = def_->RowHeight(r);
    grid_->SetSizes(std::move(widths), std::move(heights), def_->Style().fixedCols,
                    def_->Style().fixedRows);
    grid_->SetBackground(toQColor(def_->BaseCell().colour));
    grid_->setFont(toQFont(def_->BaseFont()));
    grid_->SetScrollBarsEnabled(true);
    grid_->viewport()->setMouseTracking(popup_); // a picker's cursor follows the mouse

    PlaceCursorAfterBuild();
    grid_->setEnabled(IsSelectable(grid_->Col(), grid_->Row()));
    building_ = false;
    grid_->InvalidateAll();
    UpdateContextMenu(grid_->Col(), grid_->Row(), true);
}

void Sheet::CreateWindows() {
    if (grid_ == nullptr) {
        auto* layout = qobject_cast<QVBoxLayout*>(host_->layout());
        if (layout == nullptr) {
            layout = new QVBoxLayout(host_);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
        }
        gridPanel_ = new QFrame(host_);
        auto* panelLayout = new QVBoxLayout(gridPanel_);
        grid_ = new marlo::Grid(gridPanel_);
        grid_->setMinimumSize(1, 1); // a small picker is as small as its cells
        panelLayout->addWidget(grid_);
        layout->addWidget(gridPanel_, 1);
        contextMenu_ = new QMenu(grid_);
        grid_->SetOwner(this);
        grid_->setContextMenuPolicy(Qt::NoContextMenu);
    }
    if (popup_) {
        gridPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
        gridPanel_->setLineWidth(1);
        gridPanel_->layout()->setContentsMargins(3, 3, 3, 3);
    } else {
        gridPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        gridPanel_->setLineWidth(2);
        gridPanel_->layout()->setContentsMargins(2, 2, 2, 2);
    }
    CreateTitle();
    gridPanel_->show();
}

void Sheet::CreateTitle() {
    const std::string title = TitleText();
    if (title.empty()) {
        if (titlePanel_ != nullptr)
            titlePanel_->hide();
        return;
    }
    if (titlePanel_ == nullptr) {
        titlePanel_ = new QFrame(host_);
        titlePanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        titlePanel_->setLineWidth(2);
        titleLabel_ = new QLabel(titlePanel_);
        titleLabel_->setTextFormat(Qt::PlainText);
        titleLabel_->setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(titlePanel_);
        layout->setContentsMargins(2, 2, 2, 2);
        layout->addWidget(titleLabel_);
        static_cast<QVBoxLayout*>(host_->layout())->insertWidget(0, titlePanel_);
    }
    const SheetStyle& style = def_->Style();
    QFont font = style.titleFont ? toQFont(*style.titleFont) : QFont();
    // The title grows and shrinks with the font size the cells are shown in.
    if (font.pixelSize() > 0 && setup_.fontZoom > 0)
        font.setPixelSize(std::max(1, font.pixelSize() * setup_.fontZoom / 100));
    titleLabel_->setFont(font);
    titleLabel_->setText(QString::fromStdString(title));
    titleLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette palette = titleLabel_->palette();
    palette.setColor(QPalette::Window, toQColor(style.titleColour));
    if (style.titleFont)
        palette.setColor(QPalette::WindowText, toQColor(style.titleFont->colour));
    titleLabel_->setPalette(palette);
    titlePanel_->setFixedHeight(QFontMetrics(titleLabel_->font()).height() + 2 + 8);
    titlePanel_->show();
}

void Sheet::PlaceCursorAfterBuild() {
    interaction_ |= kInternalMove;
    grid_->SetCurrentQuiet(0, 0);
    interaction_ &= ~kInternalMove;
    remembered_ = {0, 0};
    for (const auto& [dx, dy] : {std::pair{0, 1}, {0, -1}, {1, 0}, {-1, 0}})
        MoveCursor(dx, dy);

    const bool savedInside = saved_.col >= 0 && saved_.row >= 0 && saved_.col < def_->ColCount() &&
                             saved_.row < def_->RowCount();
    if (!savedInside)
        saved_ = {};
    if (!savedInside && start_.label != CellModel::kNoLabel) {
        for (int row = 0; row < def_->RowCount(); ++row)
            for (int col = 0; col < def_->ColCount(); ++col) {
                const CellModel& m = def_->Cell(col, row).model;
                if (m.IsSelectable() && m.label == start_.label && m.index == start_.index) {
                    SetCursor(col, row);
                    return;
                }
            }
    } else if (savedInside && IsSelectable(saved_.col, saved_.row)) {
        grid_->SetLeftCol(saved_.leftCol);
        grid_->SetTopRow(saved_.topRow);
        SetCursor(saved_.col, saved_.row);
        grid_->SetLeftCol(saved_.leftCol);
        grid_->SetTopRow(saved_.topRow);
    }
}

Sheet::Position Sheet::CurrentPosition() const {
    if (grid_ == nullptr)
        return {};
    return {grid_->Col(), grid_->Row(), grid_->LeftCol(), grid_->TopRow()};
}

void Sheet::ScrollHome() {
    if (grid_ == nullptr)
        return;
    grid_->SetTopRow(0);
    grid_->SetLeftCol(0);
}

int Sheet::TotalWidth() const {
    if (grid_ == nullptr)
        return 0;
    return grid_->Layout().TotalWidth() + host_->width() - grid_->ClientSize().width();
}

int Sheet::TotalHeight() const {
    if (grid_ == nullptr)
        return 0;
    return grid_->Layout().TotalHeight() + host_->height() - grid_->ClientSize().height();
}

bool Sheet::IsCursor(int col, int row) const {
    return grid_ != nullptr && grid_->Col() == col && grid_->Row() == row;
}

bool Sheet::IsHighlighted(int col, int row) const {
    if (IsCursor(col, row))
        return true;
    const std::uint8_t marks = def_->Cell(col, row).marks;
    return (marks & CellMark::MultiSelectable) != 0 &&
           (marks & (CellMark::Selected | CellMark::LineMarked)) != 0;
}

bool Sheet::EditorVisible() const {
    return editor_ != nullptr && editor_->isVisible();
}

void Sheet::PaintCell(QPainter& painter, int col, int row, const GridRect& rect) {
    if (!def_ || building_)
        return;
    CellPaintInput& in = paintInput_;
    in.def = def_.get();
    in.building = building_;
    in.printing = printer_ != nullptr;
    in.marginUnit = def_->Setup().marginUnit;
    in.focused = grid_ != nullptr && grid_->hasFocus();
    in.popup = popup_;
    in.editorVisible = EditorVisible();
    in.cursorCol = grid_ ? grid_->Col() : -1;
    in.cursorRow = grid_ ? grid_->Row() : -1;
    in.marks = marks_;
    in.request = &paintRequest_;
    in.ownerRequest = ownerRequest_ ? &*ownerRequest_ : nullptr;
    in.engine = &engine_;
    if (!in.isHighlighted)
        in.isHighlighted = [this](int c, int r) { return IsHighlighted(c, r); };
    paintCell(painter, in, col, row, rect);
}

void Sheet::GridDrawCell(QPainter& painter, int col, int row, const GridRect& rect) {
    PaintCell(painter, col, row, rect);
}

std::string Sheet::ShownText(int col, int row) {
    if (!def_ || col < 0 || row < 0 || col >= def_->ColCount() || row >= def_->RowCount())
        return {};
    CellModel& model = def_->Cell(col, row).model;
    if (!model.IsBound() || !engine_)
        return model.Text();
    CellRequest request;
    request.partner = ownerRequest_ ? &*ownerRequest_ : nullptr;
    request.cell = &model;
    engine_(request, false);
    return request.text;
}

std::string Sheet::StepName(std::int32_t popupCommand) const {
    if (!def_ || grid_ == nullptr || grid_->Col() < 0 || grid_->Row() < 0)
        return {};
    if (popupCommand != 0) {
        const QAction* item = menuBuilder_ ? menuBuilder_->FindByLabel(popupCommand) : nullptr;
        return item != nullptr ? commandName(item->text().toStdString()) : std::string();
    }
    const int col = grid_->Col();
    std::string name = ColumnTitle(col);
    for (int left = col - 1; name.empty() && left >= 0; --left) {
        const CellModel& label = def_->Cell(left, grid_->Row()).model;
        if (!label.IsBound())
            name = commandName(label.Text());
    }
    return name;
}

QString Sheet::GridCellText(int col, int row) {
    return QString::fromStdString(ShownText(col, row));
}

bool Sheet::GridFollowsLeft(int col, int row) {
    return def_ && col >= 0 && row >= 0 && col < def_->ColCount() && row < def_->RowCount() &&
           def_->Cell(col, row).model.IsTail();
}

QString Sheet::GridName() {
    // What the user reads above the sheet; the overlay key only for untitled sheets.
    const std::string title = TitleText();
    return QString::fromStdString(title.empty() ? displayName_ : title);
}

bool Sheet::GridCellSelected(int col, int row) {
    return def_ && col >= 0 && row >= 0 && col < def_->ColCount() && row < def_->RowCount() &&
           IsHighlighted(col, row);
}

void Sheet::ShowMarkReason(int col, int row) {
    if (!def_ || !engine_ || col < 0 || row < 0 || col >= def_->ColCount() ||
        row >= def_->RowCount())
        return;
    CellModel& model = def_->Cell(col, row).model;
    if (!model.IsBound())
        return;
    CellRequest request;
    request.partner = ownerRequest_ ? &*ownerRequest_ : nullptr;
    request.cell = &model;
    engine_(request, false);
    if (request.markReason.empty())
        return;
    if ((request.status & CellRequest::kInvalid) != 0)
        statusLine::PostWarning(request.markReason);
    else
        statusLine::Post(request.markReason);
}

void Sheet::ClearStatus() {
    NotificationHub::App().SendText(evStatusText, colourAsHubObject(kClWindowText),
                                    static_cast<std::int32_t>(kClBtnFace), "");
}

void Sheet::OnHub(void* self, const HubMessage& message) {
    static_cast<Sheet*>(self)->AnswerHub(message);
}

} // namespace marlo
