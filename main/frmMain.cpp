#include "main/frmMain.h"

#include "main/cuiMain.h"
#include "overlay/cmcGTex.h"
#include "sheets/cellQtMapping.h"
#include "sheets/cmcCellParser.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWheelEvent>

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

} // namespace

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
    task_ = cmcTask::Create();
    controller_.BuildWindow(*this);
}

TForm1::~TForm1() = default;

void TForm1::PlaceFromSettings() {
    const cmcEnviron& settings = cmcEnviron::App();
    const cmcWindowBounds b = cmcKeepInsideWorkArea(
        {settings.Left, settings.Top, settings.Width, settings.Height}, workArea());
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
