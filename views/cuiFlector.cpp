#include "views/cuiFlector.h"

#include "sheets/cmcEvMan.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QScreen>

#include <algorithm>

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

cuiFlector::cuiFlector(const cmcCellCapsule& ownerRequest, cuiSheet::StartCell start,
                       cmcGTex& store, const std::string& key, cmcGTex* models)
    : QWidget(static_cast<QWidget*>(ownerRequest.grid),
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      owner_(static_cast<QWidget*>(ownerRequest.grid)),
      cell_(ownerRequest.rect.value_or(cmcCellRect{})) {
    setAttribute(Qt::WA_DeleteOnClose);
    sheet_ =
        std::make_unique<cuiSheet>(this, &ownerRequest, start, store, key,
                                   static_cast<const cuiMarkImages*>(ownerRequest.images), models);
    sheet_->SetPopup(true);
    // An item's mark goes beside its text, one pixel clear of the text and the edge.
    const auto* marks = static_cast<const cuiMarkImages*>(ownerRequest.images);
    if (marks != nullptr) {
        cmcSheetSetup setup;
        setup.markRoom = std::max(marks->error.width(), marks->warning.width()) + 2;
        sheet_->SetSetup(setup);
    }
    connect(sheet_.get(), &cuiSheet::Picked, this, [this] {
        picked_ = true;
        close();
    });
    cmcEvMan::App().Subscribe(&cuiFlector::OnHub, this);
}

cuiFlector::~cuiFlector() {
    cmcEvMan::App().Unsubscribe(&cuiFlector::OnHub, this);
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

cuiFlector* cuiFlector::Open(const cmcCellCapsule& ownerRequest, cuiSheet::StartCell start,
                             cmcGTex& store, const std::string& key, cmcGTex* models,
                             cuiCellEngine engine, std::optional<QRect> workArea) {
    auto* flector = new cuiFlector(ownerRequest, start, store, key, models);
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

void cuiFlector::Place(const QRect& work) {
    cuiGrid* grid = sheet_->Grid();
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
    if (auto* ownerGrid = qobject_cast<cuiGrid*>(owner_.data()))
        cell.moveTopLeft(ownerGrid->viewport()->mapToGlobal(cell.topLeft()));
    else if (owner_ != nullptr)
        cell.moveTopLeft(owner_->mapToGlobal(cell.topLeft()));
    setGeometry(placeFlector(size, cell, work));
}

bool cuiFlector::event(QEvent* e) {
    if (e->type() == QEvent::WindowDeactivate && isVisible())
        close();
    return QWidget::event(e);
}

bool cuiFlector::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void cuiFlector::closeEvent(QCloseEvent* e) {
    if (!closing_) {
        closing_ = true;
        emit Closed(picked_);
    }
    QWidget::closeEvent(e);
}

void cuiFlector::OnHub(void* self, const cmcEvMessage& message) {
    auto& flector = *static_cast<cuiFlector*>(self);
    if (message.AnnouncesGone(flector.owner_.data()) || message.type == evCommitEditors)
        flector.close();
}
