#include "print/printingWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QThread>

namespace marlo {

PrintingWindow::PrintingWindow(QWidget* owner, const QString& caption, const QString& label,
                               const QString& button, std::function<void()> onCancel)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      label_(new QLabel(label, this)), button_(new QPushButton(button, this)),
      onCancel_(std::move(onCancel)) {
    setWindowTitle(caption);
    setModal(false);
    label_->setTextFormat(Qt::PlainText);
    button_->setDefault(true);
    button_->setAutoDefault(true);
    connect(button_, &QPushButton::clicked, this, [this] {
        if (onCancel_)
            onCancel_();
    });
    Place();
}

void PrintingWindow::Place() {
    label_->adjustSize();
    const QSize text = label_->sizeHint();
    const int buttonWidth = static_cast<int>(text.width() * 1.2);
    const int buttonHeight = button_->sizeHint().height();
    const int width = 2 * text.width();
    const int height = 3 * (text.height() + buttonHeight);
    label_->setGeometry((width - text.width()) / 2, 2 * text.height(), text.width(), text.height());
    button_->setGeometry((width - buttonWidth) / 2, static_cast<int>(height - 1.5 * buttonHeight),
                         buttonWidth, buttonHeight);
    setFixedSize(width, height);
}

void PrintingWindow::ShowCentred() {
    QRect around;
    if (QWidget* owner = parentWidget(); owner != nullptr)
        around = owner->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen(); screen != nullptr)
        around = screen->availableGeometry();
    if (around.isValid())
        move(around.center() - QPoint(width() / 2, height() / 2));
    show();
    QCoreApplication::processEvents();
    QThread::msleep(10);
}

void PrintingWindow::reject() {
    button_->click(); // Escape is the Cancel button; the job closes the window
}

void PrintingWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    button_->click();
}

} // namespace marlo
