#include "main/cloneProgressWindow.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QWindow>

namespace marlo {

namespace {

constexpr int kBevel = 1;

} // namespace

CloneProgressBar::CloneProgressBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CloneProgressBar::SetProgress(std::int32_t dataBytes, std::int32_t expectedBytes) {
    const int lit = progressSegments(dataBytes, expectedBytes);
    if (lit == lit_)
        return;
    lit_ = lit;
    repaint();
}

void CloneProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor lit = palette().color(QPalette::Highlight);
    const QColor unlit = palette().color(QPalette::Base);
    const int w = width() / kProgressSegmentCount;
    painter.fillRect(rect(), unlit);
    // Each segment's last column stays in the window colour: the gap that keeps
    // lit segments apart.
    for (int i = 0; i < lit_ && i < kProgressSegmentCount; ++i)
        painter.fillRect(w * i, 0, w - 1, height(), lit);
}

CloningWindow::CloningWindow()
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Cloning"));
    cancel_->setAutoDefault(false);
}

void CloningWindow::closeEvent(QCloseEvent* event) {
    // Only the end of the operation destroys the window; a close asks to cancel.
    event->ignore();
    if (cancel_->isEnabled())
        cancel_->click();
}

void CloningWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && cancel_->isEnabled()) {
        cancel_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

CloneProgressWindow::CloneProgressWindow(std::function<QWidget*()> mainWindow, Canceller canceller)
    : mainWindow_(std::move(mainWindow)), canceller_(std::move(canceller)) {
    informationDelay_.setSingleShot(true);
    informationDelay_.setInterval(kInformationWindowMs);
    QObject::connect(&informationDelay_, &QTimer::timeout, [this] {
        if (disabled_ != nullptr && window_ == nullptr)
            Open(disabled_);
    });
}

CloneProgressWindow::~CloneProgressWindow() {
    Close();
}

void CloneProgressWindow::OperationStarted(bool transfer, std::int32_t) {
    QWidget* main = mainWindow_ ? mainWindow_() : nullptr;
    if (main != nullptr && disabled_ == nullptr) {
        disabled_ = main;
        main->setEnabled(false);
    }
    if (!transfer) {
        informationDelay_.start();
        return;
    }
    informationDelay_.stop();
    if (window_ == nullptr)
        Open(main);
    UpdateCancel();
}

void CloneProgressWindow::Open(QWidget* main) {
    auto* window = new CloningWindow;
    auto* panel = new QFrame(window);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(kBevel);
    panel->setGeometry(kPanelLeft, kPanelTop, kBarWidth + 2 * kBevel, kBarHeight + 2 * kBevel);
    bar_ = new CloneProgressBar(panel);
    bar_->setGeometry(kBevel, kBevel, kBarWidth, kBarHeight);
    QPushButton* cancel = window->CancelButton();
    cancel->adjustSize();
    const int width = panel->width() + kClientExtra;
    const int barBottom = panel->height() + kClientExtra;
    cancel->move(width - kPanelLeft - cancel->width(), barBottom - kPanelTop);
    window->setFixedSize(width, barBottom - kPanelTop + cancel->height() + kPanelTop);
    QObject::connect(cancel, &QPushButton::clicked, [this] {
        if (canceller_.cancel && canceller_.cancel())
            window_->CancelButton()->setEnabled(false); // once; the end closes the window
    });
    if (main != nullptr) {
        QRect frame(QPoint(), window->size());
        frame.moveCenter(main->frameGeometry().center());
        window->move(frame.topLeft());
        // Above the main window it disables, never behind it.
        window->winId(); // the native window, to be given its parent
        if (QWindow* above = main->window()->windowHandle(); above != nullptr)
            window->windowHandle()->setTransientParent(above);
    }
    window_ = window;
    UpdateCancel();
    window->show();
}

void CloneProgressWindow::UpdateCancel() {
    if (window_ != nullptr)
        window_->CancelButton()->setEnabled(canceller_.cancellable && canceller_.cancellable());
}

void CloneProgressWindow::Progress(std::int32_t dataBytes, std::int32_t expectedBytes) {
    if (bar_ != nullptr)
        bar_->SetProgress(dataBytes, expectedBytes);
}

void CloneProgressWindow::OperationEnded() {
    Close();
}

void CloneProgressWindow::Close() {
    informationDelay_.stop();
    if (disabled_ != nullptr) {
        disabled_->setEnabled(true);
        disabled_->activateWindow();
        disabled_->setFocus();
        disabled_ = nullptr;
    }
    if (window_ != nullptr) {
        window_->hide();
        delete window_.data();
    }
    window_ = nullptr;
    bar_ = nullptr;
}

} // namespace marlo
