#include "print/printing.h"

#include "core/notificationHub.h"
#include "overlay/overlayTexts.h"
#include "platform/prompter.h"
#include "print/printingWindow.h"
#include "radio/cellLabels.h"
#include "sheets/sheetDescriptor.h"
#include "views/sheet.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace marlo {

namespace {

std::string filledIn(std::string text, const std::string& value) {
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, value);
    return text;
}

} // namespace

Printing::Printing(PrintHost& host, OverlayTexts& store) : host_(host), store_(store) {}

Printing::~Printing() {
    if (Active())
        Finish(true);
}

PrintOutputs Printing::SystemOutputs() {
    PrintOutputs outputs;
    outputs.printers = static_cast<int>(QPrinterInfo::availablePrinterNames().size());
    QPrinter probe;
    probe.setOutputFormat(QPrinter::PdfFormat);
    outputs.files = probe.outputFormat() == QPrinter::PdfFormat;
    return outputs;
}

void Printing::Print(bool all) {
    if (Active())
        return;
    NotificationHub::App().Send(evCommitEditors);
    Sheet* shown = host_.ShownSheet();
    if (shown == nullptr)
        return;
    const std::string descriptor = shown->DisplayName();
    const bool printable = shown->Printable();
    const PrintOutputs outputs = probe_ ? probe_() : SystemOutputs();
    if (outputs.printers == 0 && !outputs.files) {
        Prompter::Current().Message(store_.GetLine("GI_Sys_AppTitle", 0),
                                    store_.GetText("GI_Sys_Printer_NoPrinter"), PromptIcon::Error,
                                    PromptButtons::Ok);
        return;
    }
    if (!ReadSettings() || !SetUpPrinter(outputs))
        return;

    disabled_ = host_.PrintOwner();
    if (disabled_)
        disabled_->setEnabled(false);
    state_ = {};
    state_.poll = poll_ ? poll_ : [] { QCoreApplication::processEvents(); };
    window_ = new PrintingWindow(
        disabled_, QString::fromStdString(store_.GetLine("GI_Sys_Printer_PrintingDialog", 0)),
        QString::fromStdString(store_.GetLine("GI_Sys_Printer_PrintingDialog", 1)),
        QString::fromStdString(store_.GetLine("GI_Sys_Printer_PrintingDialog", 2)),
        [this] { Cancel(); });
    window_->ShowCentred();

    printer_->setCopyCount(1);
    const int dpi = printer_->logicalDpiY();
    setup_.page = printPageRect(margins_, dpi, printer_->width(), printer_->height());
    PrintFrame frame;
    frame.height = printPointsToPixels(setup_.framePoints, dpi);
    if (isEmptyArea(frame.Content(setup_.page)))
        return Fail("GI_Sys_Printer_NoRoom", {});

    if (all) {
        nodes_ = host_.PrintNodes();
        node_ = 0;
        busy_ = true;
        return;
    }
    if (printable) {
        if (!BeginDocument())
            return;
        SheetPrinter(host_, *printer_, *painter_, setup_, state_).Print(descriptor);
    }
    Finish(true);
}

bool Printing::ReadSettings() {
    const std::string marginText = store_.GetLine("GI_Sys_Printer_Margins", 0);
    const auto margins = parsePrintMargins(marginText);
    if (!margins) {
        Fail("GI_Sys_Printer_BadMargins", marginText);
        return false;
    }
    margins_ = *margins;
    for (auto [key, points] : {std::pair{"GI_Sys_Printer_FontPoints", &setup_.fontPoints},
                               std::pair{"GI_Sys_Printer_FrameFont", &setup_.framePoints}}) {
        const std::string text = store_.GetLine(key, 0);
        const auto value = parsePrintPoints(text);
        if (!value) {
            Fail("GI_Sys_Printer_BadPoints", text);
            return false;
        }
        *points = *value;
    }
    setup_.program = QString::fromStdString(store_.GetLine("GI_Sys_AppTitleRev", 0));
    setup_.maker = QString::fromStdString(store_.GetLine("GI_Sys_Maker", 0));
    return true;
}

bool Printing::SetUpPrinter(const PrintOutputs& outputs) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (outputs.printers == 0) {
        // Without a printer the dialog offers its "print to file" output.
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(QString::fromStdString(host_.PdfFileSuggestion()));
    }
    if (!Prompter::Current().PrinterSetup(*printer_)) {
        printer_.reset();
        return false;
    }
    return true;
}

bool Printing::BeginDocument() {
    painter_ = std::make_unique<QPainter>();
    if (painter_->begin(printer_.get()))
        return true;
    Fail("GI_Sys_Printer_CannotStart", OutputName());
    return false;
}

void Printing::Step() {
    if (!busy_ || stepping_)
        return;
    stepping_ = true;
    if (node_ == 0 && !painter_ && !BeginDocument()) {
        stepping_ = false;
        return;
    }
    if (state_.cancel)
        node_ = nodes_.size(); // the rest prints nothing; the document ends now
    else if (node_ < nodes_.size())
        PrintNode(nodes_[node_]);
    ++node_;
    if (node_ >= nodes_.size())
        Finish(true);
    stepping_ = false;
}

void Printing::PrintNode(const marlo::PrintNode& node) {
    if (node.label != CellLabel::CallSheet)
        return;
    const std::string key = parseSheetDescriptor(node.parameter).key;
    if (key.empty() || !store_.Has(key + "_Cells"))
        return;
    SheetPrinter(host_, *printer_, *painter_, setup_, state_).Print(node.parameter);
}

void Printing::Finish(bool endDocument) {
    bool ended = true;
    if (endDocument && painter_ && painter_->isActive())
        ended = painter_->end();
    const std::string output = printer_ ? OutputName() : std::string();
    busy_ = false;
    nodes_.clear();
    painter_.reset();
    printer_.reset();
    delete window_;
    if (disabled_) {
        disabled_->setEnabled(true);
        disabled_->activateWindow();
        disabled_->setFocus();
    }
    disabled_ = nullptr;
    if (!ended)
        Prompter::Current().Message(store_.GetLine("GI_Sys_AppTitle", 0),
                                    filledIn(store_.GetText("GI_Sys_Printer_CannotFinish"), output),
                                    PromptIcon::Error, PromptButtons::Ok);
}

void Printing::Fail(const std::string& key, const std::string& detail) {
    Finish(false);
    Prompter::Current().Message(store_.GetLine("GI_Sys_AppTitle", 0),
                                filledIn(store_.GetText(key), detail), PromptIcon::Error,
                                PromptButtons::Ok);
}

std::string Printing::OutputName() const {
    if (printer_->outputFormat() == QPrinter::PdfFormat)
        return printer_->outputFileName().toStdString();
    return printer_->printerName().toStdString();
}

} // namespace marlo
