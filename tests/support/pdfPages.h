#pragma once

#include <string>
#include <vector>

// A word of a PDF page as pdftotext places it, in points from the top-left.
struct PdfWord {
    double xMin, yMin, xMax, yMax;
    std::string text;
};

struct PdfPage {
    double width = 0;
    double height = 0;
    std::vector<PdfWord> words;
    bool Has(const std::string& text) const;
};

// Every page of a PDF file, read back with poppler's pdftotext.
std::vector<PdfPage> readPdf(const std::string& path);
// The page count pdfinfo reports; -1 when it cannot read the file.
int pdfPageCount(const std::string& path);
