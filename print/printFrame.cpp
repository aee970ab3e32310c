#include "print/printFrame.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <cmath>

namespace marlo {

namespace {

QFont frameFont(const QString& face, int height) {
    QFont font = QGuiApplication::font();
    if (!face.isEmpty())
        font.setFamily(face);
    font.setPixelSize(std::max(1, height));
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace

int PrintFrame::Rule() const {
    return static_cast<int>(std::trunc(0.1 * height + 1.0));
}

PageRect PrintFrame::Content(const PageRect& page) const {
    const int r = Rule();
    PageRect content = page;
    content.top += height + r + 5 * r;
    content.bottom -= height + r + 5 * r;
    return content;
}

PageRect PrintFrame::Draw(QPainter& painter, const PageRect& page) const {
    const int r = Rule();
    painter.save();
    const QFont font = frameFont(face, height);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    const QFontMetrics metrics(font, painter.device());
    const int ascent = metrics.ascent();
    const auto rightAligned = [&](const QString& text, int top) {
        painter.drawText(page.right - 1 - metrics.horizontalAdvance(text), top + ascent, text);
    };

    painter.drawText(page.left, page.top + ascent, title);
    rightAligned(program, page.top);
    const int headerRule = page.top + height + r;
    painter.fillRect(page.left, headerRule, page.Width(), r, Qt::black);

    rightAligned(maker, page.bottom - height - 1);
    const int footerRule = page.bottom - height - r;
    painter.fillRect(page.left, footerRule - r, page.Width(), r, Qt::black);
    painter.restore();
    return Content(page);
}

} // namespace marlo
