#pragma once

#include "core/periodicTask.h"
#include "core/settingsStore.h"

#include <QMainWindow>

namespace marlo {

class AppController;

// Keeps at least 16 pixels of a window inside the work area (both given as
// left, top, width, height), so that a placement saved on a larger desktop
// can still be grabbed. Only the position changes.
WindowBounds keepInsideWorkArea(WindowBounds window, const WindowBounds& workArea);

// A stored window size made usable on the work area: a size never stored (0 or
// less) gets three quarters of it, any other is kept between the window's
// smallest size and the work area. Only the size changes.
WindowBounds saneWindowSize(WindowBounds window, const WindowBounds& workArea);

// The main window: an empty frame that the controller fills. It takes its
// caption from the overlay and its placement from the settings store, and hands
// its close to the controller, which stores the placement.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(AppController& controller);
    ~MainWindow() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The wheel belongs to the sheet under the mouse, never to the frame.
    void wheelEvent(QWheelEvent* event) override;
    // A clone file dropped on the window opens as the Open command does.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void PlaceFromSettings();

    AppController& controller_;
    TaskPtr task_;
};

} // namespace marlo
