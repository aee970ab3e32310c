#pragma once

#include "print/cuiPrinting.h"
#include "sheets/cmcEvMan.h"
#include "sheets/cmcLineStore.h"
#include "support/ScriptedPrompter.h"
#include "support/pdfPages.h"
#include "views/cuiSheet.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// Printing in a test overlay of its own, with a shown main window, a host that
// builds test sheets, and printer setups answered with a PDF file at 600 dpi on
// A4 paper.
//
// Test sheets: "Small" (3 rows), "Wide" (150 rows of 39 data columns, a fixed
// header row and number column), "Huge" (a column wider than any page).
class PrintTest : public ::testing::Test, public cuiPrintHost {
public:
    PrintTest();
    ~PrintTest() override;

    // Replaces line 0 of a setting entry; before the first print.
    void Set(const std::string& key, const std::string& value) { settings_[key] = value; }
    cmcGTex& Store();
    // Drops the job, the shown sheet and the store, so that Set takes effect again.
    void Reset();
    cuiPrinting& Printing();
    // Shows the sheet of `key` in the main window.
    void Show(const std::string& key);
    // Answers the next printer setup with output to `name` in the temporary folder.
    std::string PrintNextTo(const std::string& name);
    // Runs a print-all job to its end, one node per step as the controller's tick does.
    void RunPrintAll();

    // cuiPrintHost
    QWidget* PrintOwner() override { return &mainWindow; }
    cuiSheet* ShownSheet() override { return shown_.get(); }
    std::unique_ptr<cuiSheet> CreateSheet(QWidget* parent, const std::string& descriptor) override;
    std::vector<cuiPrintNode> PrintNodes() override { return nodes; }
    std::string PdfFileSuggestion() override { return dir.filePath("suggested.pdf").toStdString(); }

    cmcEvMan hub;
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    QWidget mainWindow;
    cuiMarkImages marks;
    std::vector<cuiPrintNode> nodes;
    std::vector<std::uint8_t> hubMessages;
    int sheetsCreated = 0;

private:
    static void Record(void* self, const cmcEvMessage& message);

    std::map<std::string, std::string> settings_;
    std::unique_ptr<cmcLineStore> store_;
    std::unique_ptr<cuiPrinting> printing_;
    std::unique_ptr<cuiSheet> shown_;
};

cuiPrintNode sheetNode(const std::string& key);
