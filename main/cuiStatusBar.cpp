#include "main/cuiStatusBar.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

cuiStatusBar::cuiStatusBar(QWidget* parent) : QStatusBar(parent) {
    // The last panel takes the grip's place; panels are all we draw.
    setSizeGripEnabled(false);
}

void cuiStatusBar::SetHandlers(DrawHandler draw, ResizeHandler resize) {
    draw_ = std::move(draw);
    resize_ = std::move(resize);
}

cuiStatusBar::Panel cuiStatusBar::PanelAt(int i) const {
    return isPanel(i) ? panels_[static_cast<std::size_t>(i)] : Panel{};
}

void cuiStatusBar::SetPanelWidth(int i, int width) {
    if (!isPanel(i))
        return;
    panels_[static_cast<std::size_t>(i)].width = std::max(width, 0);
    update();
}

void cuiStatusBar::InsertPanel(int before, Panel panel) {
    const auto at = static_cast<std::size_t>(std::clamp(before, 0, PanelCount()));
    panels_.insert(panels_.begin() + static_cast<std::ptrdiff_t>(at), panel);
    update();
}

QRect cuiStatusBar::PanelRect(int i) const {
    if (!isPanel(i))
        return {};
    int left = 0;
    for (int k = 0; k < i; ++k)
        left += panels_[static_cast<std::size_t>(k)].width;
    return {left, 0, panels_[static_cast<std::size_t>(i)].width, height()};
}

void cuiStatusBar::RepaintPanel(int i) {
    if (isPanel(i))
        update(PanelRect(i));
}

void cuiStatusBar::paintEvent(QPaintEvent*) {
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

void cuiStatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    if (resize_)
        resize_();
}
