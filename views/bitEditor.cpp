#include "views/bitEditor.h"

#include "core/notificationHub.h"
#include "radio/cellEngine.h"
#include "radio/cellLabels.h"
#include "views/bitEditorCells.h"
#include "views/pickerPopup.h"
#include "views/sheet.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace marlo {

namespace {

// The cell engine on the application's context, for a caller that gives none.
CellEngineCall applicationEngine() {
    auto engine = std::make_shared<CellEngine>();
    return [engine](CellRequest& request, bool notify) {
        return evaluateCell(*engine, request, notify);
    };
}

} // namespace

BitEditor::BitEditor(const CellRequest& ownerRequest, std::uint8_t value, CellEngineCall engine)
    : QWidget(static_cast<QWidget*>(ownerRequest.grid), Qt::Tool),
      ownerWindow_(static_cast<QWidget*>(ownerRequest.grid)), owner_(ownerRequest),
      engine_(engine ? std::move(engine) : applicationEngine()), value_(value) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    if (ownerRequest.cell != nullptr)
        ownerCell_ = *ownerRequest.cell;
    owner_.cell = &ownerCell_;
    owner_.partner = nullptr;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* sheetHost = new QWidget(this);
    sheetHost->setLayout(new QVBoxLayout);
    sheetHost->layout()->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sheetHost, 1);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, &BitEditor::Confirm);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QWidget::close);

    sheet_ = std::make_unique<marlo::Sheet>(sheetHost, nullptr, marlo::Sheet::StartCell{},
                                            store_.Store(), BitPickerSheet::kSheetKey,
                                            static_cast<const MarkImages*>(ownerRequest.images));
    sheet_->SetEngine(
        [this](CellRequest& request, bool notify) { return EvaluateCell(request, notify); });
    NotificationHub::App().Subscribe(&BitEditor::OnHub, this);
}

BitEditor::~BitEditor() {
    NotificationHub::App().Unsubscribe(&BitEditor::OnHub, this);
    if (sheet_ && sheet_->Grid() != nullptr) {
        sheet_->Grid()->removeEventFilter(this);
        sheet_->Grid()->viewport()->removeEventFilter(this);
    }
    sheet_.reset();
}

BitEditor* BitEditor::Open(const CellRequest& ownerRequest, std::uint8_t value,
                           CellEngineCall engine, std::optional<QRect> workArea) {
    auto* editor = new BitEditor(ownerRequest, value, std::move(engine));
    editor->sheet_->Build();
    editor->sheet_->Grid()->installEventFilter(editor);
    editor->sheet_->Grid()->viewport()->installEventFilter(editor);
    editor->ShowValue();
    editor->Place(workArea.value_or(workAreaNear(editor->ownerWindow_)));
    editor->show();
    editor->activateWindow();
    editor->sheet_->Grid()->setFocus(Qt::PopupFocusReason);
    return editor;
}

// The bits are the editor's own; the pillars between them are the engine's.
std::uint8_t BitEditor::EvaluateCell(CellRequest& request, bool notify) {
    if (request.cell == nullptr || request.cell->label != CellLabel::CL_FBits)
        return engine_(request, notify);
    if (bitEditorCells::EvaluateBit(request, value_)) {
        sheet_->Grid()->InvalidateAll();
        ShowValue();
    }
    return CellResult::None;
}

void BitEditor::ShowValue() {
    setWindowTitle(
        QStringLiteral("%1 = %2").arg(value_, 2, 16, QLatin1Char('0')).toUpper().arg(value_));
}

void BitEditor::Place(const QRect& work) {
    // The sheet is small and shown whole; its size counts the panel's frame.
    sheet_->Grid()->SetScrollBarsEnabled(false);
    // The sheet measures its frames from where its layouts put the grid.
    for (QWidget* w : {static_cast<QWidget*>(this), sheet_->Host(), sheet_->Grid()->parentWidget()})
        w->layout()->activate();
    sheet_->Host()->setFixedSize(sheet_->TotalWidth(), sheet_->TotalHeight());
    layout()->activate();
    const QSize size = sizeHint().boundedTo(work.size());
    resize(size);
    sheet_->ScrollHome();
    const CellRect cell = owner_.rect.value_or(CellRect{});
    QRect at(cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top);
    if (auto* grid = qobject_cast<Grid*>(ownerWindow_.data()))
        at.moveTopLeft(grid->viewport()->mapToGlobal(at.topLeft()));
    else if (ownerWindow_ != nullptr)
        at.moveTopLeft(ownerWindow_->mapToGlobal(at.topLeft()));
    move(placeFlector(size, at, work).topLeft());
}

void BitEditor::Confirm() {
    if (closing_)
        return;
    confirmed_ = true;
    // The owner's cell stores the byte and repaints; it must still be there.
    if (ownerWindow_)
        bitEditorCells::Deliver(engine_, owner_, value_);
    close();
}

bool BitEditor::eventFilter(QObject* watched, QEvent* e) {
    if (watched == sheet_->Grid()->viewport())
        return MouseOnBits(*e);
    if (e->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Escape) {
            close();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Confirm();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

// Every click flips a bit, as on a check box: the sheet moves its cursor on the
// press, the release over the cursor's bit flips it. The second press of a
// double click comes as a double click, which is that press here rather than a
// command of the sheet's.
bool BitEditor::MouseOnBits(QEvent& e) {
    if (e.type() == QEvent::MouseButtonDblClick) {
        pressed_ = static_cast<QMouseEvent&>(e).button() == Qt::LeftButton;
        return true;
    }
    const bool left =
        (e.type() == QEvent::MouseButtonPress || e.type() == QEvent::MouseButtonRelease) &&
        static_cast<QMouseEvent&>(e).button() == Qt::LeftButton;
    if (!left)
        return false;
    if (e.type() == QEvent::MouseButtonPress) {
        pressed_ = true;
        return false;
    }
    if (!pressed_)
        return false;
    pressed_ = false;
    Grid& grid = *sheet_->Grid();
    const QPoint at = static_cast<QMouseEvent&>(e).position().toPoint();
    const GridCell cell = grid.Layout().CellAt(at.x(), at.y());
    if (cell.IsValid() && cell.col == grid.Col() && cell.row == grid.Row() &&
        sheet_->Cell(cell.col, cell.row).model.label == CellLabel::CL_FBits)
        sheet_->Dispatch(cell.col, cell.row, CellRequest::kClick);
    return false;
}

void BitEditor::closeEvent(QCloseEvent* e) {
    if (!closing_) {
        closing_ = true;
        emit Closed(confirmed_);
    }
    QWidget::closeEvent(e);
}

void BitEditor::OnHub(void* self, const HubMessage& message) {
    auto& editor = *static_cast<BitEditor*>(self);
    if (message.AnnouncesGone(editor.ownerWindow_.data())) {
        // Nothing may reach the going window's cells any more.
        editor.ownerWindow_ = nullptr;
        editor.close();
    } else if (message.type == evCommitEditors) {
        editor.close();
    }
}

} // namespace marlo
