#pragma once

#include "print/cuiPrintHost.h"
#include "print/cuiPrintingWindow.h"
#include "print/cuiSheetPrinter.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPrinter;
class cmcGTex;

// What output a print command can have: installed printers, and PDF files.
struct cuiPrintOutputs {
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
class cuiPrinting {
public:
    cuiPrinting(cuiPrintHost& host, cmcGTex& store);
    ~cuiPrinting();
    cuiPrinting(const cuiPrinting&) = delete;
    cuiPrinting& operator=(const cuiPrinting&) = delete;

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

    cuiPrintingWindow* Window() const { return window_; }
    // Pages printed by the running or the last job.
    int Pages() const { return state_.pages; }
    // The page area of the running or the last job, in printer pixels.
    const cmcPageRect& PageRect() const { return setup_.page; }

    // Replaces the look-up of printers and PDF output, and what runs between
    // pages (by default the event loop, so that Cancel can be pressed).
    void SetOutputsProbe(std::function<cuiPrintOutputs()> probe) { probe_ = std::move(probe); }
    void SetPoll(std::function<void()> poll) { poll_ = std::move(poll); }
    static cuiPrintOutputs SystemOutputs();

private:
    bool ReadSettings();
    bool SetUpPrinter(const cuiPrintOutputs& outputs);
    bool BeginDocument();
    void PrintNode(const cuiPrintNode& node);
    void Finish(bool endDocument);
    void Fail(const std::string& key, const std::string& detail);
    std::string OutputName() const;

    cuiPrintHost& host_;
    cmcGTex& store_;
    std::function<cuiPrintOutputs()> probe_;
    std::function<void()> poll_;

    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    QPointer<cuiPrintingWindow> window_;
    QPointer<QWidget> disabled_;
    cmcPrintMargins margins_{};
    cuiSheetPrintSetup setup_;
    cuiPrintState state_;
    bool busy_ = false;
    bool stepping_ = false;
    std::size_t node_ = 0;
    std::vector<cuiPrintNode> nodes_;
};
