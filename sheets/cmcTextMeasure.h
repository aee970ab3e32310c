#pragma once

#include "sheets/cmcFont.h"

#include <memory>
#include <string_view>
#include <vector>

class QPaintDevice;

struct cmcExtent {
    int width = 0;
    int height = 0;
    bool operator==(const cmcExtent&) const = default;
};

// Measures multi-line text in a font on some drawing surface: the width of the
// widest line and the sum of the line heights, lines split at line breaks.
class cmcTextMeasure {
public:
    virtual ~cmcTextMeasure() = default;
    virtual cmcExtent Extent(const cmcFont& font, std::string_view text) = 0;
};

// Measures with the toolkit's font metrics, on the screen (no device) or on a
// printer's paint device (borrowed). Sheets measure the same few fonts and
// sample texts over and over, so metrics and line widths are kept per font.
class cmcQtTextMeasure : public cmcTextMeasure {
public:
    explicit cmcQtTextMeasure(QPaintDevice* device = nullptr);
    ~cmcQtTextMeasure() override;
    cmcExtent Extent(const cmcFont& font, std::string_view text) override;

private:
    struct FontMetrics;
    FontMetrics& MetricsOf(const cmcFont& font);

    QPaintDevice* device_;
    std::vector<std::unique_ptr<FontMetrics>> fonts_; // most recently used last
};

// The margin unit of a surface: 1 on the screen, the printer's vertical
// resolution in dots per inch divided by 120 (at least 1) on paper.
int marginUnitOf(const QPaintDevice* printer);
