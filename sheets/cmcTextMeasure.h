#pragma once

#include "sheets/cmcFont.h"

#include <QFontMetrics>

#include <memory>
#include <optional>
#include <string_view>

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
// printer's paint device (borrowed).
class cmcQtTextMeasure : public cmcTextMeasure {
public:
    explicit cmcQtTextMeasure(QPaintDevice* device = nullptr) : device_(device) {}
    cmcExtent Extent(const cmcFont& font, std::string_view text) override;

private:
    QPaintDevice* device_;
    // Cells of a sheet mostly share a font: keep the metrics of the last one.
    std::optional<cmcFont> lastFont_;
    std::optional<QFontMetrics> metrics_;
};

// The margin unit of a surface: 1 on the screen, the printer's vertical
// resolution in dots per inch divided by 120 (at least 1) on paper.
int marginUnitOf(const QPaintDevice* printer);
