// Printouts to PDF files, read back as a reader of the paper would: which
// texts are on which page and where.
#include "printFixture.h"

#include "print/printingWindow.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

#include <set>

using namespace marlo;

namespace {

constexpr double kMarginPt = 10 / 25.4 * 72; // 10 mm

std::string firstWithPrefix(const PdfPage& page, char prefix) {
    for (const PdfWord& word : page.words)
        if (word.text.size() == 4 && word.text[0] == prefix && word.text != "Name")
            return word.text;
    return {};
}

std::set<std::string> wordsWithPrefix(const PdfPage& page, char prefix, std::size_t size) {
    std::set<std::string> found;
    for (const PdfWord& word : page.words)
        if (word.text.size() == size && word.text[0] == prefix)
            found.insert(word.text);
    return found;
}

void expectInsideMargins(const std::vector<PdfPage>& pages) {
    for (std::size_t p = 0; p < pages.size(); ++p)
        for (const PdfWord& word : pages[p].words) {
            EXPECT_GE(word.xMin, kMarginPt - 1) << "page " << p << ": " << word.text;
            EXPECT_LE(word.xMax, pages[p].width - kMarginPt + 1)
                << "page " << p << ": " << word.text;
            EXPECT_GE(word.yMin, kMarginPt - 1) << "page " << p << ": " << word.text;
            EXPECT_LE(word.yMax, pages[p].height - kMarginPt + 1)
                << "page " << p << ": " << word.text;
        }
}

TEST_F(PrintTest, WideSheetPrintsAcrossThenDownRepeatingItsFixedRowAndColumn) {
    Show("Wide");
    const std::string path = PrintNextTo("wide.pdf");
    hubMessages.clear();
    Printing().Print(false);
    ASSERT_FALSE(hubMessages.empty());
    EXPECT_EQ(hubMessages.front(), evCommitEditors);

    const std::vector<PdfPage> pages = readPdf(path);
    ASSERT_GE(pages.size(), 4U);
    EXPECT_EQ(pdfPageCount(path), static_cast<int>(pages.size()));
    EXPECT_EQ(Printing().Pages(), static_cast<int>(pages.size()));
    // 10 mm at 600 dpi.
    EXPECT_EQ(Printing().PageRect().left, 236);
    EXPECT_EQ(Printing().PageRect().top, 236);

    // Pages across first: the pages of a row group share its first row.
    std::size_t across = 0;
    while (across < pages.size() && firstWithPrefix(pages[across], 'N') == "N001")
        ++across;
    ASSERT_GE(across, 2U);
    ASSERT_EQ(pages.size() % across, 0U);
    std::set<std::string> rowsSeen;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const PdfPage& page = pages[p];
        SCOPED_TRACE("page " + std::to_string(p + 1));
        // The fixed header row and number column, the header and the footer.
        EXPECT_TRUE(page.Has("Channel"));
        EXPECT_TRUE(page.Has("Wide") && page.Has("Sheet"));
        EXPECT_TRUE(page.Has("Marlo") && page.Has("1.0"));
        EXPECT_TRUE(page.Has("Maker"));
        const auto columns = wordsWithPrefix(page, 'C', 3);
        const auto rows = wordsWithPrefix(page, 'N', 4);
        ASSERT_FALSE(columns.empty());
        ASSERT_FALSE(rows.empty());
        // Across a row group every column once; down the first group's pages the same rows.
        const std::size_t group = p / across;
        const PdfPage& groupStart = pages[group * across];
        EXPECT_EQ(rows, wordsWithPrefix(groupStart, 'N', 4));
        if (p % across == 0)
            EXPECT_TRUE(columns.count("C01"));
        else
            EXPECT_TRUE(std::ranges::none_of(columns, [&](const std::string& c) {
                return wordsWithPrefix(pages[p - 1], 'C', 3).count(c) != 0;
            }));
        if (p % across == 0)
            rowsSeen.insert(rows.begin(), rows.end());
    }
    std::set<std::string> allColumns;
    for (std::size_t p = 0; p < across; ++p) {
        const auto columns = wordsWithPrefix(pages[p], 'C', 3);
        allColumns.insert(columns.begin(), columns.end());
    }
    EXPECT_EQ(allColumns.size(), 39U);
    EXPECT_EQ(rowsSeen.size(), 150U);
    expectInsideMargins(pages);
}

TEST_F(PrintTest, PrintAllGoesThroughTheTreeNodesThatNameAPrintableSheet) {
    nodes = {sheetNode("Small"),       {0, "GI_Folder"},  sheetNode("Hidden"),
             sheetNode("NoSuchSheet"), sheetNode("Wide"), sheetNode("Small")};
    Show("Small");
    const std::string path = PrintNextTo("all.pdf");
    Printing().Print(true);
    EXPECT_TRUE(Printing().Busy());
    EXPECT_FALSE(mainWindow.isEnabled());
    RunPrintAll();
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(Printing().Window(), nullptr);

    const std::vector<PdfPage> pages = readPdf(path);
    ASSERT_GE(pages.size(), 6U);
    EXPECT_EQ(pdfPageCount(path), Printing().Pages());
    // No blank page before the first sheet or between sheets.
    EXPECT_TRUE(pages.front().Has("Small"));
    EXPECT_TRUE(pages.front().Has("alpha"));
    EXPECT_TRUE(pages.back().Has("Small"));
    for (std::size_t p = 1; p + 1 < pages.size(); ++p)
        EXPECT_TRUE(pages[p].Has("Wide")) << p;
    for (const PdfPage& page : pages)
        EXPECT_FALSE(page.Has("Secret"));
}

TEST_F(PrintTest, CancelDuringTheSecondSheetKeepsThePagesBefore) {
    nodes = {sheetNode("Small"), sheetNode("Wide"), sheetNode("Small")};
    Show("Small");
    const std::string path = PrintNextTo("cancelled.pdf");
    int polls = 0;
    Printing().SetPoll([&] {
        ++polls;
        QApplication::processEvents();
        EXPECT_FALSE(mainWindow.isEnabled());
        PrintingWindow* window = Printing().Window();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        if (Printing().Pages() == 3)
            QTest::mouseClick(window->Button(), Qt::LeftButton);
    });
    Printing().Print(true);
    RunPrintAll();
    EXPECT_FALSE(Printing().Busy());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(Printing().Pages(), 3);
    const std::vector<PdfPage> pages = readPdf(path);
    ASSERT_EQ(pages.size(), 3U);
    EXPECT_TRUE(pages[0].Has("Small"));
    EXPECT_TRUE(pages[1].Has("Wide"));
    EXPECT_TRUE(pages[2].Has("Wide"));
    EXPECT_EQ(polls, 4); // one page of the first sheet, three tries on the second
}

TEST_F(PrintTest, PrintingWindowHasItsSizesAndEscapeCancelsThePrintCurrent) {
    Show("Wide");
    const std::string path = PrintNextTo("escaped.pdf");
    bool checked = false;
    Printing().SetPoll([&] {
        PrintingWindow* window = Printing().Window();
        ASSERT_NE(window, nullptr);
        if (checked)
            return;
        checked = true;
        const QSize label = window->Label()->size();
        const QSize button = window->Button()->size();
        EXPECT_EQ(window->windowTitle(), "Printing");
        EXPECT_EQ(window->Label()->text(), "Printing, please wait");
        EXPECT_EQ(window->width(), 2 * label.width());
        EXPECT_EQ(window->height(), 3 * (label.height() + button.height()));
        EXPECT_EQ(button.width(), static_cast<int>(label.width() * 1.2));
        EXPECT_EQ(window->Label()->y(), 2 * label.height());
        EXPECT_EQ(window->Button()->y(),
                  static_cast<int>(window->height() - 1.5 * button.height()));
        EXPECT_TRUE(window->Button()->isDefault());
        // Centred on the main window.
        EXPECT_LE((window->frameGeometry().center() - mainWindow.frameGeometry().center())
                      .manhattanLength(),
                  2);
        QTest::keyClick(window, Qt::Key_Escape);
    });
    Printing().Print(false);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(Printing().Window(), nullptr);
    EXPECT_EQ(Printing().Pages(), 0);
    // The document still ends normally.
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(PrintTest, ColumnWiderThanThePagePrintsOnItsOwnPageAtASmallerFont) {
    Show("Huge");
    const std::string path = PrintNextTo("huge.pdf");
    Printing().Print(false);
    const std::vector<PdfPage> pages = readPdf(path);
    ASSERT_EQ(pages.size(), 2U);
    EXPECT_TRUE(pages[0].Has(std::string(300, 'W') + "END"));
    EXPECT_FALSE(pages[0].Has("after"));
    EXPECT_TRUE(pages[1].Has("after"));
    expectInsideMargins(pages);
}

TEST_F(PrintTest, UnusableSettingsAndOutputsEndWithAMessageAndNothingPrinted) {
    struct Case {
        const char* key;
        const char* value;
        const char* messageKey;
        bool dialog;
    };
    const Case cases[] = {
        {"GI_Sys_Printer_Margins", "10,10,10", "GI_Sys_Printer_BadMargins", false},
        {"GI_Sys_Printer_Margins", "a,b,c,d", "GI_Sys_Printer_BadMargins", false},
        {"GI_Sys_Printer_Margins", "150,10,150,10", "GI_Sys_Printer_NoRoom", true},
        {"GI_Sys_Printer_Margins", "10,148,10,148", "GI_Sys_Printer_NoRoom", true},
        {"GI_Sys_Printer_FontPoints", "0", "GI_Sys_Printer_BadPoints", false},
        {"GI_Sys_Printer_FontPoints", "1000", "GI_Sys_Printer_BadPoints", false},
        {"GI_Sys_Printer_FrameFont", "1000", "GI_Sys_Printer_BadPoints", false},
        {"output", "missing/folder/out.pdf", "GI_Sys_Printer_CannotStart", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + c.value);
        Reset();
        Set("GI_Sys_Printer_Margins", "10,10,10,10");
        Set("GI_Sys_Printer_FontPoints", "9");
        Set("GI_Sys_Printer_FrameFont", "8");
        const bool output = std::string(c.key) == "output";
        if (!output)
            Set(c.key, c.value);
        Show("Small");
        prompter.clear();
        const int setups = prompter.printerSetups();
        const std::string name = output ? c.value : "unused.pdf";
        const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
        for (bool all : {false, true}) {
            if (c.dialog)
                PrintNextTo(name);
            Printing().Print(all);
            RunPrintAll();
            EXPECT_FALSE(Printing().Active());
            EXPECT_TRUE(mainWindow.isEnabled());
        }
        EXPECT_EQ(prompter.printerSetups() - setups, c.dialog ? 2 : 0);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
        ASSERT_EQ(prompter.shown().size(), 2U);
        const auto& box = prompter.shown().front();
        EXPECT_EQ(box.caption, "Test Caption");
        EXPECT_EQ(box.icon, PromptIcon::Error);
        std::string expected = OverlayTexts::App().GetText(c.messageKey);
        if (const auto at = expected.find("%s"); at != std::string::npos)
            expected.replace(at, 2, output ? path : c.value);
        EXPECT_EQ(box.text, expected);
        EXPECT_TRUE(prompter.scriptUsed());
    }
}

TEST_F(PrintTest, WithoutAPrinterTheDialogOffersAPdfFileAndWithoutAnyOutputAMessage) {
    Show("Small");
    Printing().SetOutputsProbe([] { return PrintOutputs{0, true}; });
    QString offered;
    prompter.answerNextPrinterSetup([&](QPrinter& printer) {
        EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
        offered = printer.outputFileName();
        printer.setResolution(600);
    });
    Printing().Print(false);
    EXPECT_EQ(offered, dir.filePath("suggested.pdf"));
    EXPECT_EQ(pdfPageCount(offered.toStdString()), 1);

    Printing().SetOutputsProbe([] { return PrintOutputs{0, false}; });
    Printing().Print(false);
    EXPECT_EQ(prompter.printerSetups(), 1);
    EXPECT_EQ(prompter.lastText(), OverlayTexts::App().GetText("GI_Sys_Printer_NoPrinter"));

    // A cancelled dialog, a sheet that is not printed and no sheet at all print nothing.
    Printing().SetOutputsProbe([] { return PrintOutputs{1, true}; });
    prompter.clear();
    prompter.answerNextPrinterSetup(nullptr);
    Printing().Print(false);
    Show("Hidden");
    const std::string hidden = PrintNextTo("hidden.pdf");
    Printing().Print(false);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(hidden)));
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_TRUE(prompter.shown().empty());
    EXPECT_TRUE(prompter.scriptUsed());
}

} // namespace
