#pragma once

#include "sheets/cellFont.h"

#include <memory>
#include <string_view>
#include <vector>

class QPaintDevice;

namespace marlo {

struct TextExtent {
    int width = 0;
    int height = 0;
    bool operator==(const TextExtent&) const = default;
};

// Measures multi-line text in a font on some drawing surface: the width of the
// widest line and the sum of the line heights, lines split at line breaks.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual TextExtent Extent(const CellFont& font, std::string_view text) = 0;
};

// Measures with the toolkit's font metrics, on the screen (no device) or on a
// printer's paint device (borrowed). Sheets measure the same few fonts and
// sample texts over and over, so metrics and line widths are kept per font.
class QtTextMeasure : public TextMeasure {
public:
    explicit QtTextMeasure(QPaintDevice* device = nullptr);
    ~QtTextMeasure() override;
    TextExtent Extent(const CellFont& font, std::string_view text) override;

private:
    struct FontMetrics;
    FontMetrics& MetricsOf(const CellFont& font);

    QPaintDevice* device_;
    std::vector<std::unique_ptr<FontMetrics>> fonts_; // most recently used last
};

// The margin unit of a surface: 1 on the screen, the printer's vertical
// resolution in dots per inch divided by 120 (at least 1) on paper.
int marginUnitOf(const QPaintDevice* printer);

} // namespace marlo
