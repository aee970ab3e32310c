#include "views/pickerPopup.h"

#include "core/notificationHub.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QScreen>

#include <algorithm>

namespace marlo {

QRect placeFlector(QSize size, const QRect& cell, const QRect& work) {
    QRect placed(QPoint(cell.left() + 8, cell.bottom() + 1), size);
    if (placed.bottom() > work.bottom()) {
        if (cell.top() - size.height() >= work.top())
            placed.moveBottom(cell.top() - 1);
        else
            placed.moveBottom(work.bottom());
    }
    const bool coversCell = placed.top() <= cell.bottom() && placed.bottom() >= cell.top();
    if (placed.right() > work.right()) {
        placed.moveRight(work.right());
        if (coversCell && cell.left() - size.width() >= work.left())
            placed.moveRight(cell.left() - 1);
    }
    return placed;
}

PickerPopup::PickerPopup(const CellRequest& ownerRequest, marlo::Sheet::StartCell start,
                         OverlayTexts& store, const std::string& key, OverlayTexts* models)
    : QWidget(static_cast<QWidget*>(ownerRequest.grid),
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      owner_(static_cast<QWidget*>(ownerRequest.grid)),
      cell_(ownerRequest.rect.value_or(CellRect{})) {
    setAttribute(Qt::WA_DeleteOnClose);
    sheet_ =
        std::make_unique<marlo::Sheet>(this, &ownerRequest, start, store, key,
                                       static_cast<const MarkImages*>(ownerRequest.images), models);
    sheet_->SetPopup(true);
    // An item's mark goes beside its text, one pixel clear of the text and the edge.
    const auto* marks = static_cast<const MarkImages*>(ownerRequest.images);
    if (marks != nullptr) {
        SheetSetup setup;
        setup.markRoom = std::max(marks->error.width(), marks->warning.width()) + 2;
        sheet_->SetSetup(setup);
    }
    connect(sheet_.get(), &marlo::Sheet::Picked, this, [this] {
        picked_ = true;
        close();
    });
    NotificationHub::App().Subscribe(&PickerPopup::OnHub, this);
}

PickerPopup::~PickerPopup() {
    NotificationHub::App().Unsubscribe(&PickerPopup::OnHub, this);
    if (sheet_ && sheet_->Grid() != nullptr)
        sheet_->Grid()->removeEventFilter(this);
    sheet_.reset();
}

QRect workAreaNear(const QWidget* near) {
    QScreen* screen = near != nullptr ? near->screen() : nullptr;
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

PickerPopup* PickerPopup::Open(const CellRequest& ownerRequest, marlo::Sheet::StartCell start,
                               OverlayTexts& store, const std::string& key, OverlayTexts* models,
                               CellEngineCall engine, std::optional<QRect> workArea) {
    auto* flector = new PickerPopup(ownerRequest, start, store, key, models);
    if (engine)
        flector->sheet_->SetEngine(std::move(engine));
    flector->sheet_->Build();
    flector->sheet_->Grid()->installEventFilter(flector);
    flector->Place(workArea.value_or(workAreaNear(flector->owner_)));
    flector->show();
    flector->activateWindow();
    flector->sheet_->Grid()->setFocus(Qt::PopupFocusReason);
    return flector;
}

void PickerPopup::Place(const QRect& work) {
    Grid* grid = sheet_->Grid();
    grid->SetScrollBarsEnabled(false);
    // The panel's frame around the grid counts into the window's size.
    layout()->activate();
    QSize size(sheet_->TotalWidth(), sheet_->TotalHeight());
    if (size.width() > work.width() || size.height() > work.height()) {
        grid->SetScrollBarsEnabled(true);
        size = size.boundedTo(work.size());
    }
    resize(size);
    sheet_->ScrollHome();
    QRect cell(cell_.left, cell_.top, cell_.right - cell_.left, cell_.bottom - cell_.top);
    if (auto* ownerGrid = qobject_cast<Grid*>(owner_.data()))
        cell.moveTopLeft(ownerGrid->viewport()->mapToGlobal(cell.topLeft()));
    else if (owner_ != nullptr)
        cell.moveTopLeft(owner_->mapToGlobal(cell.topLeft()));
    setGeometry(placeFlector(size, cell, work));
}

bool PickerPopup::event(QEvent* e) {
    if (e->type() == QEvent::WindowDeactivate && isVisible())
        close();
    return QWidget::event(e);
}

bool PickerPopup::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void PickerPopup::closeEvent(QCloseEvent* e) {
    if (!closing_) {
        closing_ = true;
        emit Closed(picked_);
    }
    QWidget::closeEvent(e);
}

void PickerPopup::OnHub(void* self, const HubMessage& message) {
    auto& flector = *static_cast<PickerPopup*>(self);
    if (message.AnnouncesGone(flector.owner_.data()) || message.type == evCommitEditors)
        flector.close();
}

} // namespace marlo
