#include "support/pdfPages.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

namespace {

QString run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

bool PdfPage::Has(const std::string& text) const {
    for (const PdfWord& word : words)
        if (word.text == text)
            return true;
    return false;
}

std::vector<PdfPage> readPdf(const std::string& path) {
    const QString html = run("pdftotext", {"-bbox", QString::fromStdString(path), "-"});
    std::vector<PdfPage> pages;
    static const QRegularExpression page(R"re(<page width="([\d.]+)" height="([\d.]+)">)re");
    static const QRegularExpression word(
        R"re(<word xMin="([\d.-]+)" yMin="([\d.-]+)" xMax="([\d.-]+)" yMax="([\d.-]+)">([^<]*)</word>)re");
    for (const QString& line : html.split('\n')) {
        if (const auto m = page.match(line); m.hasMatch()) {
            pages.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        } else if (const auto w = word.match(line); w.hasMatch() && !pages.empty()) {
            pages.back().words.push_back({w.captured(1).toDouble(), w.captured(2).toDouble(),
                                          w.captured(3).toDouble(), w.captured(4).toDouble(),
                                          w.captured(5).toStdString()});
        }
    }
    return pages;
}

int pdfPageCount(const std::string& path) {
    const QString info = run("pdfinfo", {QString::fromStdString(path)});
    static const QRegularExpression pages(R"(Pages:\s+(\d+))");
    const auto m = pages.match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}
