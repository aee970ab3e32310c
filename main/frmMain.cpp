#include "main/frmMain.h"

#include "main/cuiMain.h"
#include "overlay/cmcGTex.h"
#include "sheets/cellQtMapping.h"
#include "sheets/cmcCellParser.h"

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

namespace {

constexpr int keepInside = 16;
constexpr int smallestWidth = 400;
constexpr int smallestHeight = 200;

QFont mainFont() {
    cmcGTex& overlay = cmcGTex::App();
    cmcCellObj model;
    cmcCellParser(overlay).SplitCell(overlay.GetLine("GI_Form_Main_BasicCell", 0), model, nullptr,
                                     nullptr);
    return model.font ? toQFont(*model.font) : QGuiApplication::font();
}

cmcWindowBounds workArea() {
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

cmcWindowBounds cmcSaneWindowSize(cmcWindowBounds w, const cmcWindowBounds& area) {
    // Nothing stored yet: three quarters of the work area.
    if (w.width <= 0 || w.height <= 0) {
        w.width = area.width * 3 / 4;
        w.height = area.height * 3 / 4;
    }
    w.width = std::clamp(w.width, smallestWidth, std::max(smallestWidth, area.width));
    w.height = std::clamp(w.height, smallestHeight, std::max(smallestHeight, area.height));
    return w;
}

cmcWindowBounds cmcKeepInsideWorkArea(cmcWindowBounds w, const cmcWindowBounds& area) {
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

TForm1::TForm1(cuiMain& controller) : controller_(controller) {
    setWindowTitle(QString::fromStdString(cuiMain::AppTitle()));
    setFont(mainFont());
    PlaceFromSettings();
    setMinimumSize(smallestWidth, smallestHeight);
    setAcceptDrops(true);
    task_ = cmcTask::Create();
    controller_.BuildWindow(*this);
}

TForm1::~TForm1() {
    controller_.ReleaseWindow();
}

void TForm1::PlaceFromSettings() {
    const cmcEnviron& settings = cmcEnviron::App();
    const cmcWindowBounds area = workArea();
    const cmcWindowBounds b = cmcKeepInsideWorkArea(
        cmcSaneWindowSize({settings.Left, settings.Top, settings.Width, settings.Height}, area),
        area);
    move(b.left, b.top);
    resize(b.width, b.height);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    controller_.RefreshCaption();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!controller_.FormCloseQuery()) {
        event->ignore();
        return;
    }
    controller_.FormClose();
    event->accept();
}

void TForm1::wheelEvent(QWheelEvent* event) {
    event->accept();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (isEnabled() && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty() || !isEnabled())
        return;
    event->acceptProposedAction();
    // Opened once the drag has ended, so that the source is not held while
    // the save question or a message is up.
    QTimer::singleShot(0, this, [this, path] { controller_.OpenFile(path.toStdString()); });
}
