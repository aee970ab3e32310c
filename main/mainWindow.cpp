#include "main/mainWindow.h"

#include "main/appController.h"
#include "overlay/overlayTexts.h"
#include "sheets/cellParser.h"
#include "sheets/cellQtMapping.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>

namespace marlo {

namespace {

constexpr int keepInside = 16;
constexpr int smallestWidth = 400;
constexpr int smallestHeight = 200;

QFont mainFont() {
    OverlayTexts& overlay = OverlayTexts::App();
    CellModel model;
    CellParser(overlay).SplitCell(overlay.GetLine("GI_Form_Main_BasicCell", 0), model, nullptr,
                                  nullptr);
    return model.font ? toQFont(*model.font) : QGuiApplication::font();
}

WindowBounds workArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {0, 0, 1024, 768};
    const QRect r = screen->availableGeometry();
    return {r.left(), r.top(), r.width(), r.height()};
}

// The one local file a drag carries; empty for anything else.
QString droppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

WindowBounds saneWindowSize(WindowBounds w, const WindowBounds& area) {
    // Nothing stored yet: three quarters of the work area.
    if (w.width <= 0 || w.height <= 0) {
        w.width = area.width * 3 / 4;
        w.height = area.height * 3 / 4;
    }
    w.width = std::clamp(w.width, smallestWidth, std::max(smallestWidth, area.width));
    w.height = std::clamp(w.height, smallestHeight, std::max(smallestHeight, area.height));
    return w;
}

WindowBounds keepInsideWorkArea(WindowBounds w, const WindowBounds& area) {
    const int right = area.left + area.width;
    const int bottom = area.top + area.height;
    if (right - keepInside < w.left)
        w.left = right - keepInside;
    if (bottom - keepInside < w.top)
        w.top = bottom - keepInside;
    if (w.left + w.width < area.left + keepInside)
        w.left = area.left + keepInside - w.width;
    if (w.top < area.top)
        w.top = area.top;
    return w;
}

MainWindow::MainWindow(AppController& controller) : controller_(controller) {
    setWindowTitle(QString::fromStdString(AppController::AppTitle()));
    setFont(mainFont());
    PlaceFromSettings();
    setMinimumSize(smallestWidth, smallestHeight);
    setAcceptDrops(true);
    task_ = PeriodicTask::Create();
    controller_.BuildWindow(*this);
}

MainWindow::~MainWindow() {
    controller_.ReleaseWindow();
}

void MainWindow::PlaceFromSettings() {
    const SettingsStore& settings = SettingsStore::App();
    const WindowBounds area = workArea();
    const WindowBounds b = keepInsideWorkArea(
        saneWindowSize({settings.Left, settings.Top, settings.Width, settings.Height}, area), area);
    move(b.left, b.top);
    resize(b.width, b.height);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    controller_.RefreshCaption();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!controller_.FormCloseQuery()) {
        event->ignore();
        return;
    }
    controller_.FormClose();
    event->accept();
}

void MainWindow::wheelEvent(QWheelEvent* event) {
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (isEnabled() && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty() || !isEnabled())
        return;
    event->acceptProposedAction();
    // Opened once the drag has ended, so that the source is not held while
    // the save question or a message is up.
    QTimer::singleShot(0, this, [this, path] { controller_.OpenFile(path.toStdString()); });
}

} // namespace marlo
