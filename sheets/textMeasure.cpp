#include "sheets/textMeasure.h"

#include "sheets/cellQtMapping.h"
#include "sheets/textUtil.h"

#include <QFontMetrics>
#include <QPaintDevice>

#include <algorithm>
#include <string>
#include <unordered_map>

namespace marlo {

namespace {
constexpr std::size_t kKeptFonts = 8;
constexpr std::size_t kKeptWidths = 4096; // per font; bounds the memory of odd sheets
} // namespace

struct QtTextMeasure::FontMetrics {
    CellFont font;
    QFontMetrics metrics;
    std::unordered_map<std::string, int> widths;
};

QtTextMeasure::QtTextMeasure(QPaintDevice* device) : device_(device) {}

QtTextMeasure::~QtTextMeasure() = default;

QtTextMeasure::FontMetrics& QtTextMeasure::MetricsOf(const CellFont& font) {
    const auto found = std::find_if(fonts_.begin(), fonts_.end(),
                                    [&font](const auto& kept) { return kept->font == font; });
    if (found != fonts_.end()) {
        std::rotate(found, found + 1, fonts_.end());
        return *fonts_.back();
    }
    if (fonts_.size() == kKeptFonts)
        fonts_.erase(fonts_.begin());
    const QFont qfont = toQFont(font);
    fonts_.push_back(std::make_unique<FontMetrics>(
        FontMetrics{font, device_ ? QFontMetrics(qfont, device_) : QFontMetrics(qfont), {}}));
    return *fonts_.back();
}

TextExtent QtTextMeasure::Extent(const CellFont& font, std::string_view text) {
    FontMetrics& kept = MetricsOf(font);
    TextExtent extent;
    for (int n = 0; const auto line = textField(text, '\n', n); ++n) {
        const std::string key(*line);
        auto width = kept.widths.find(key);
        if (width == kept.widths.end()) {
            if (kept.widths.size() == kKeptWidths)
                kept.widths.clear();
            const int advance = kept.metrics.horizontalAdvance(
                QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())));
            width = kept.widths.emplace(key, advance).first;
        }
        extent.width = std::max(extent.width, width->second);
        extent.height += kept.metrics.height();
    }
    return extent;
}

int marginUnitOf(const QPaintDevice* printer) {
    if (printer == nullptr)
        return 1;
    return std::max(1, printer->logicalDpiY() / 120);
}

} // namespace marlo
