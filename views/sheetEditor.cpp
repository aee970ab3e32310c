// The sheet's in-place editor and its context menu.
#include "views/sheet.h"

#include "core/notificationHub.h"
#include "sheets/cellQtMapping.h"
#include "views/cellEditor.h"
#include "views/menu.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace marlo {

void Sheet::CreateEditor() {
    editor_ = new CellEditor(kEditorMaxChars, gridPanel_);
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    editor_->setTabChangesFocus(true);
    editor_->document()->setDocumentMargin(0);
    editor_->hide();
    editor_->installEventFilter(this);
}

void Sheet::OpenEditor(int col, int row, const std::string& text, int selStart, int selLength) {
    if (!def_ || grid_ == nullptr || col < 0 || row < 0 || col >= def_->ColCount() ||
        row >= def_->RowCount())
        return;
    // Alt+Enter enters the text into the rows selected when typing began.
    editorRows_ = SelectedRows();
    ClearSelection();
    SetCursor(col, row);
    const GridRect r = grid_->CellRect(col, row);
    if (r.Width() < 1 || r.Height() < 2)
        return;
    if (editor_ == nullptr)
        CreateEditor();
    const CellModel& model = def_->Cell(col, row).model;
    const QFont font = toQFont(model.font ? *model.font : def_->BaseFont());
    editor_->setFont(font);
    QRect area(grid_->viewport()->mapTo(gridPanel_, QPoint(r.left, r.top)),
               QSize(r.Width(), r.Height()));
    const int textHeight = QFontMetrics(font).height();
    if (textHeight < r.Height()) {
        if (model.VAlign() == CellLayout::AlignCentre)
            area.moveTop(area.top() + (r.Height() - textHeight) / 2);
        else if (model.VAlign() == CellLayout::AlignEnd)
            area.moveTop(area.top() + r.Height() - textHeight - 1);
        area.setHeight(textHeight);
    }
    editor_->setGeometry(area);
    {
        QSignalBlocker block(editor_->document());
        editor_->setPlainText(QString::fromStdString(text).left(kEditorMaxChars));
    }
    editor_->document()->clearUndoRedoStacks();
    QTextCursor cursor = editor_->textCursor();
    const int length = editor_->document()->characterCount() - 1;
    cursor.setPosition(std::clamp(selStart, 0, length));
    cursor.setPosition(std::clamp(selStart + selLength, 0, length), QTextCursor::KeepAnchor);
    editor_->setTextCursor(cursor);
    edited_ = {col, row};
    editor_->show();
    editor_->raise();
    editor_->setFocus(Qt::OtherFocusReason);
    grid_->InvalidateCell(col, row);
}

void Sheet::CloseEditor(bool commit) {
    if (!EditorVisible())
        return;
    const std::string text = editor_->toPlainText().left(kEditorMaxChars).toStdString();
    const GridCell cell = edited_;
    edited_ = {};
    editor_->hide();
    if (grid_ != nullptr)
        grid_->InvalidateCell(cell.col, cell.row);
    // A cell that went with a rebuild takes nothing.
    if (commit && def_ && cell.IsValid() && cell.col < def_->ColCount() &&
        cell.row < def_->RowCount())
        Dispatch(cell.col, cell.row, 0, 0, &text);
}

bool Sheet::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_) {
        if (event->type() == QEvent::KeyPress)
            return EditorKey(static_cast<QKeyEvent&>(*event));
        if (event->type() == QEvent::FocusOut && EditorVisible() &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            CloseEditor(true);
    }
    return QObject::eventFilter(watched, event);
}

bool Sheet::EditorKey(QKeyEvent& event) {
    ClearStatus();
    const bool alt = (event.modifiers() & Qt::AltModifier) != 0;
    if ((event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) && alt &&
        editorRows_.size() > 1) {
        const std::string text = editor_->toPlainText().left(kEditorMaxChars).toStdString();
        const int col = edited_.col;
        CloseEditor(false);
        grid_->setFocus(Qt::OtherFocusReason);
        EnterIntoRows(editorRows_, col, text);
        return true;
    }
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Up:
    case Qt::Key_Down:
        CloseEditor(true);
        grid_->setFocus(Qt::OtherFocusReason);
        if (event.key() == Qt::Key_Up || event.key() == Qt::Key_Down)
            MoveCursor(0, event.key() == Qt::Key_Down ? 1 : -1);
        return true;
    case Qt::Key_Escape:
        CloseEditor(false);
        grid_->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        CloseEditor(true);
        grid_->setFocus(Qt::OtherFocusReason);
        MoveCursor(0, event.key() == Qt::Key_PageDown ? 10 : -10);
        return true;
    default:
        return false;
    }
}

void Sheet::UpdateContextMenu(int col, int row, bool forced) {
    NotificationHub& hub = NotificationHub::App();
    if (!def_ || grid_ == nullptr || printer_ != nullptr || !grid_->hasFocus() || col < 0 ||
        row < 0 || col >= def_->ColCount() || row >= def_->RowCount())
        return;
    const CellModel& model = def_->Cell(col, row).model;
    const std::string* key = model.FindPopupMenu();
    if (!forced && (&model == menuCell_ || key == nullptr || *key == menuKey_)) {
        menuCell_ = &model;
        hub.Send(evRefreshMenus);
        return;
    }
    menuCell_ = &model;
    menuKey_ = key != nullptr ? *key : std::string();
    Menu::Retire(std::move(menuBuilder_));
    hub.Send(evClearMenuItem, nullptr, kEditTopLabel);
    if (!menuKey_.empty()) {
        menuBuilder_ = std::make_unique<Menu>(
            grid_, contextMenu_, store_, menuKey_,
            [sheet = QPointer<Sheet>(this)](Menu&, CellModel& item) {
                if (sheet != nullptr)
                    sheet->RunMenuCommand(item.label);
            },
            &models_);
        menuBuilder_->SetEngine(engine_);
        menuBuilder_->Build();
        hub.SendText(evFillMenuItem, menuBuilder_.get(), kEditTopLabel, menuKey_);
    }
    hub.Send(evRefreshMenus);
}

void Sheet::DropContextMenu() {
    if (!menuBuilder_ && menuKey_.empty())
        return;
    Menu::Retire(std::move(menuBuilder_));
    menuKey_.clear();
    menuCell_ = nullptr;
    NotificationHub::App().Send(evClearMenuItem, nullptr, kEditTopLabel);
    NotificationHub::App().Send(evRefreshMenus);
}

void Sheet::ShowContextMenu(const QPoint& global) {
    UpdateContextMenu(grid_->Col(), grid_->Row(), false);
    if (menuBuilder_ && !contextMenu_->actions().isEmpty())
        contextMenu_->popup(global);
}

void Sheet::GridFocusGained() {
    UpdateContextMenu(grid_->Col(), grid_->Row(), true);
    InvalidateHighlighted();
}

void Sheet::GridFocusLost() {
    // A popping menu takes the focus only for a moment.
    if (contextMenu_ != nullptr && contextMenu_->isVisible())
        return;
    DropContextMenu();
    InvalidateHighlighted();
}

} // namespace marlo
