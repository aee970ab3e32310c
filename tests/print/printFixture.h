#pragma once

#include "core/notificationHub.h"
#include "print/printing.h"
#include "sheets/overlayLineStore.h"
#include "support/pdfPages.h"
#include "support/scriptedPrompter.h"
#include "views/sheet.h"

#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace marlo;

// Printing in a test overlay of its own, with a shown main window, a host that
// builds test sheets, and printer setups answered with a PDF file at 600 dpi on
// A4 paper.
//
// Test sheets: "Small" (3 rows), "Wide" (150 rows of 39 data columns, a fixed
// header row and number column), "Huge" (a column wider than any page).
class PrintTest : public ::testing::Test, public PrintHost {
public:
    PrintTest();
    ~PrintTest() override;

    // Replaces line 0 of a setting entry; before the first print.
    void Set(const std::string& key, const std::string& value) { settings_[key] = value; }
    OverlayTexts& Store();
    // Drops the job, the shown sheet and the store, so that Set takes effect again.
    void Reset();
    marlo::Printing& Printing();
    // Shows the sheet of `key` in the main window.
    void Show(const std::string& key);
    // Answers the next printer setup with output to `name` in the temporary folder.
    std::string PrintNextTo(const std::string& name);
    // Runs a print-all job to its end, one node per step as the controller's tick does.
    void RunPrintAll();

    // PrintHost
    QWidget* PrintOwner() override { return &mainWindow; }
    Sheet* ShownSheet() override { return shown_.get(); }
    std::unique_ptr<Sheet> CreateSheet(QWidget* parent, const std::string& descriptor) override;
    std::vector<PrintNode> PrintNodes() override { return nodes; }
    std::string PdfFileSuggestion() override { return dir.filePath("suggested.pdf").toStdString(); }

    NotificationHub hub;
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    QWidget mainWindow;
    MarkImages marks;
    std::vector<PrintNode> nodes;
    std::vector<std::uint8_t> hubMessages;
    int sheetsCreated = 0;

private:
    static void Record(void* self, const HubMessage& message);

    std::map<std::string, std::string> settings_;
    std::unique_ptr<OverlayLineStore> store_;
    std::unique_ptr<marlo::Printing> printing_;
    std::unique_ptr<Sheet> shown_;
};

PrintNode sheetNode(const std::string& key);
