#include "main/cuiCloneProgress.h"

#include <QFrame>
#include <QPainter>
#include <QPalette>

namespace {

constexpr int kBevel = 1;

} // namespace

cuiCloneProgressBar::cuiCloneProgressBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void cuiCloneProgressBar::SetProgress(std::int32_t dataBytes, std::int32_t expectedBytes) {
    const int lit = cmcProgressSegments(dataBytes, expectedBytes);
    if (lit == lit_)
        return;
    lit_ = lit;
    repaint();
}

void cuiCloneProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor lit = palette().color(QPalette::Highlight);
    const QColor unlit = palette().color(QPalette::Base);
    const int w = width() / cmcProgressSegmentCount;
    painter.fillRect(rect(), unlit);
    // Each segment's last column stays in the window colour: the gap that keeps
    // lit segments apart.
    for (int i = 0; i < lit_ && i < cmcProgressSegmentCount; ++i)
        painter.fillRect(w * i, 0, w - 1, height(), lit);
}

cuiCloneProgress::cuiCloneProgress(std::function<QWidget*()> mainWindow)
    : mainWindow_(std::move(mainWindow)) {}

cuiCloneProgress::~cuiCloneProgress() {
    Close();
}

void cuiCloneProgress::OperationStarted(bool transfer, std::int32_t) {
    QWidget* main = mainWindow_ ? mainWindow_() : nullptr;
    if (main != nullptr && disabled_ == nullptr) {
        disabled_ = main;
        main->setEnabled(false);
    }
    if (!transfer || window_ != nullptr)
        return;
    auto* window = new QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Cloning"));
    auto* panel = new QFrame(window);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(kBevel);
    panel->setGeometry(kPanelLeft, kPanelTop, kBarWidth + 2 * kBevel, kBarHeight + 2 * kBevel);
    bar_ = new cuiCloneProgressBar(panel);
    bar_->setGeometry(kBevel, kBevel, kBarWidth, kBarHeight);
    window->setFixedSize(panel->width() + kClientExtra, panel->height() + kClientExtra);
    if (main != nullptr) {
        QRect frame(QPoint(), window->size());
        frame.moveCenter(main->frameGeometry().center());
        window->move(frame.topLeft());
    }
    window_ = window;
    window->show();
}

void cuiCloneProgress::Progress(std::int32_t dataBytes, std::int32_t expectedBytes) {
    if (bar_ != nullptr)
        bar_->SetProgress(dataBytes, expectedBytes);
}

void cuiCloneProgress::OperationEnded() {
    Close();
}

void cuiCloneProgress::Close() {
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
