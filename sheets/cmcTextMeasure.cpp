#include "sheets/cmcTextMeasure.h"

#include "sheets/cellQtMapping.h"
#include "sheets/cmcTextUtil.h"

#include <QFontMetrics>
#include <QPaintDevice>

#include <algorithm>

cmcExtent cmcQtTextMeasure::Extent(const cmcFont& font, std::string_view text) {
    if (!metrics_ || lastFont_ != font) {
        const QFont qfont = toQFont(font);
        metrics_.emplace(device_ ? QFontMetrics(qfont, device_) : QFontMetrics(qfont));
        lastFont_ = font;
    }
    const QFontMetrics& metrics = *metrics_;
    cmcExtent extent;
    for (int n = 0; const auto line = textField(text, '\n', n); ++n) {
        const QString qline = QString::fromUtf8(line->data(), static_cast<qsizetype>(line->size()));
        extent.width = std::max(extent.width, metrics.horizontalAdvance(qline));
        extent.height += metrics.height();
    }
    return extent;
}

int marginUnitOf(const QPaintDevice* printer) {
    if (printer == nullptr)
        return 1;
    return std::max(1, printer->logicalDpiY() / 120);
}
