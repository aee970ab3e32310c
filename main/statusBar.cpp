#include "main/statusBar.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace marlo {

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent) {
    // The last panel takes the grip's place; panels are all we draw.
    setSizeGripEnabled(false);
}

void StatusBar::SetHandlers(DrawHandler draw, ResizeHandler resize) {
    draw_ = std::move(draw);
    resize_ = std::move(resize);
}

StatusBar::Panel StatusBar::PanelAt(int i) const {
    return isPanel(i) ? panels_[static_cast<std::size_t>(i)] : Panel{};
}

void StatusBar::SetPanelWidth(int i, int width) {
    if (!isPanel(i))
        return;
    panels_[static_cast<std::size_t>(i)].width = std::max(width, 0);
    update();
}

void StatusBar::InsertPanel(int before, Panel panel) {
    const auto at = static_cast<std::size_t>(std::clamp(before, 0, PanelCount()));
    panels_.insert(panels_.begin() + static_cast<std::ptrdiff_t>(at), panel);
    update();
}

QRect StatusBar::PanelRect(int i) const {
    if (!isPanel(i))
        return {};
    int left = 0;
    for (int k = 0; k < i; ++k)
        left += panels_[static_cast<std::size_t>(k)].width;
    return {left, 0, panels_[static_cast<std::size_t>(i)].width, height()};
}

void StatusBar::RepaintPanel(int i) {
    if (isPanel(i))
        update(PanelRect(i));
}

void StatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!draw_)
        return;
    for (int i = 0; i < PanelCount(); ++i) {
        if (panels_[static_cast<std::size_t>(i)].ownerDrawn) {
            const QRect r = PanelRect(i);
            painter.save();
            painter.setClipRect(r);
            draw_(painter, i, r);
            painter.restore();
        }
    }
}

void StatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    if (resize_)
        resize_();
}

} // namespace marlo
