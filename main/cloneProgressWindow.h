#pragma once

#include "clone/cloneProgress.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>

class QFrame;
class QPushButton;

namespace marlo {

// The bar of the "Cloning" window: 32 segments with a one-pixel gap after each,
// lit in the highlight colour as the transfer goes.
class CloneProgressBar : public QWidget {
public:
    explicit CloneProgressBar(QWidget* parent);
    void SetProgress(std::int32_t dataBytes, std::int32_t expectedBytes);
    int LitSegments() const { return lit_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int lit_ = 0;
};

// The "Cloning" window: no close box, and closing it by other means (a window
// manager's key) is taken as its Cancel button, never as leaving the main
// window disabled behind a window that is gone.
class CloningWindow : public QWidget {
public:
    CloningWindow();
    QPushButton* CancelButton() const { return cancel_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* cancel_;
};

// The desktop's side of a clone operation: the main window is disabled from
// every start to its end (the user cannot start a second command meanwhile),
// and a read or write shows the "Cloning" window centred on it, repainted every
// 30 ms; so does an information request that has not been answered within
// kInformationWindowMs, so that a silent radio can be given up on. The window's
// Cancel button stops what may be stopped (never a write). At the end the main
// window is enabled and focused again and the window destroyed, also when the
// operation failed.
class CloneProgressWindow : public CloneProgress {
public:
    // Asks whether the running operation may be stopped, and stops it.
    struct Canceller {
        std::function<bool()> cancellable;
        std::function<bool()> cancel;
    };
    static constexpr int kInformationWindowMs = 500;

    // The main window is asked for at every start: it may come and go.
    explicit CloneProgressWindow(std::function<QWidget*()> mainWindow, Canceller canceller = {});
    ~CloneProgressWindow() override;
    CloneProgressWindow(const CloneProgressWindow&) = delete;
    CloneProgressWindow& operator=(const CloneProgressWindow&) = delete;

    void OperationStarted(bool transfer, std::int32_t expectedBytes) override;
    void Progress(std::int32_t dataBytes, std::int32_t expectedBytes) override;
    void OperationEnded() override;

    // The window while a transfer runs; null otherwise.
    CloningWindow* Window() const { return window_; }
    const CloneProgressBar* Bar() const { return bar_; }

    // The sizes of the window's parts.
    static constexpr int kBarWidth = 256;
    static constexpr int kBarHeight = 16;
    static constexpr int kPanelLeft = 16;
    static constexpr int kPanelTop = 8;
    static constexpr int kClientExtra = 32;

private:
    void Open(QWidget* main);
    void Close();
    void UpdateCancel();

    std::function<QWidget*()> mainWindow_;
    Canceller canceller_;
    QTimer informationDelay_;
    QPointer<QWidget> disabled_;
    QPointer<CloningWindow> window_;
    QPointer<CloneProgressBar> bar_;
};

} // namespace marlo
