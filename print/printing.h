#pragma once

#include "print/printHost.h"
#include "print/printingWindow.h"
#include "print/sheetPrinter.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPrinter;

namespace marlo {

class OverlayTexts;

// What output a print command can have: installed printers, and PDF files.
struct PrintOutputs {
    int printers = 0;
    bool files = false;
};

// Printing the shown sheet or every sheet of the tree, as the File menu asks:
//
//   printing.Print(false);   // the shown sheet, at once
//   printing.Print(true);    // every sheet: the controller's tick then calls
//   while (printing.Busy())  // Step, one tree node each time
//       printing.Step();
//
// Both commit open cell editors, offer the printer setup dialog (with PDF file
// output when no printer is installed), show the printing window with its
// Cancel button and disable the main window until the job has ended. Cancel
// stops at the next page and ends the document with the pages printed so far.
// Settings from the overlay that cannot be used, and outputs that cannot be
// written, end the job with a message before anything is printed.
class Printing {
public:
    Printing(PrintHost& host, OverlayTexts& store);
    ~Printing();
    Printing(const Printing&) = delete;
    Printing& operator=(const Printing&) = delete;

    // The shown sheet (all = false) or every node of the tree.
    void Print(bool all);
    // One node of a print-all job; does nothing while none runs.
    void Step();
    // A print-all job waits for its next Step.
    bool Busy() const { return busy_; }
    // Any job runs (the main window is disabled).
    bool Active() const { return printer_ != nullptr; }
    // What the printing window's button does.
    void Cancel() { state_.cancel = true; }

    PrintingWindow* Window() const { return window_; }
    // Pages printed by the running or the last job.
    int Pages() const { return state_.pages; }
    // The page area of the running or the last job, in printer pixels.
    const marlo::PageRect& PageRect() const { return setup_.page; }

    // Replaces the look-up of printers and PDF output, and what runs between
    // pages (by default the event loop, so that Cancel can be pressed).
    void SetOutputsProbe(std::function<PrintOutputs()> probe) { probe_ = std::move(probe); }
    void SetPoll(std::function<void()> poll) { poll_ = std::move(poll); }
    static PrintOutputs SystemOutputs();

private:
    bool ReadSettings();
    bool SetUpPrinter(const PrintOutputs& outputs);
    bool BeginDocument();
    void PrintNode(const marlo::PrintNode& node);
    void Finish(bool endDocument);
    void Fail(const std::string& key, const std::string& detail);
    std::string OutputName() const;

    PrintHost& host_;
    OverlayTexts& store_;
    std::function<PrintOutputs()> probe_;
    std::function<void()> poll_;

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    QPointer<PrintingWindow> window_;
    QPointer<QWidget> disabled_;
    PrintMargins margins_{};
    SheetPrintSetup setup_;
    PrintState state_;
    bool busy_ = false;
    bool stepping_ = false;
    std::size_t node_ = 0;
    std::vector<marlo::PrintNode> nodes_;
};

} // namespace marlo
