#include "printFixture.h"

#include "overlay/overlayTexts.h"
#include "radio/cellLabels.h"

#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

#include <sstream>

using namespace marlo;

namespace {

std::string number(int n) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", n);
    return text;
}

std::string column(int c) {
    char text[8];
    std::snprintf(text, sizeof text, "C%02d", c);
    return text;
}

void addSheet(std::vector<std::string>& lines, const std::string& key, const std::string& style,
              const std::vector<std::string>& cells) {
    lines.insert(lines.end(), {"#" + key + "_Style", style, "#" + key + "_BasicCell", "{($Basic)}",
                               "#" + key + "_Cells"});
    lines.insert(lines.end(), cells.begin(), cells.end());
    lines.push_back("#");
}

std::vector<std::string> wideCells() {
    std::vector<std::string> cells;
    std::string header = "{($Hd)}Channel";
    for (int c = 1; c <= 39; ++c)
        header += "|{($Hd)}" + column(c);
    cells.push_back(header);
    for (int r = 1; r <= 150; ++r) {
        std::string row = "{($Hd)}N" + number(r);
        for (int c = 1; c <= 39; ++c)
            row += "|{($e)}r" + number(r) + column(c);
        cells.push_back(row);
    }
    return cells;
}

} // namespace

PrintNode sheetNode(const std::string& key) {
    return {CellLabel::CallSheet, key};
}

PrintTest::PrintTest() {
    NotificationHub::SetApp(&hub);
    hub.Subscribe(&PrintTest::Record, this);
    settings_ = {{"GI_Sys_AppTitle", "Test Caption"}, {"GI_Sys_AppTitleRev", "Marlo Test 1.0"},
                 {"GI_Sys_Maker", "Vexa Test Maker"}, {"GI_Sys_Printer_Margins", "10,10,10,10"},
                 {"GI_Sys_Printer_FontPoints", "9"},  {"GI_Sys_Printer_FrameFont", "8"}};
    mainWindow.resize(640, 480);
    mainWindow.show();
}

PrintTest::~PrintTest() {
    printing_.reset();
    shown_.reset();
    hub.Unsubscribe(&PrintTest::Record, this);
    NotificationHub::SetApp(nullptr);
}

void PrintTest::Record(void* self, const HubMessage& message) {
    static_cast<PrintTest*>(self)->hubMessages.push_back(message.type);
}

OverlayTexts& PrintTest::Store() {
    if (store_)
        return store_->Store();
    std::vector<std::string> lines = {"#CellModel_Basic", "~<(Font=,,clBlack,-12,,,)",
                                      "#CellModel_Hd",    "^-WH(Color=clBtnFace)",
                                      "#CellModel_e",     "S<-WH"};
    for (const auto& [key, value] : settings_)
        lines.insert(lines.end(), {"#" + key, value});
    lines.insert(lines.end(),
                 {"#GI_Sys_Printer_PrintingDialog", "Printing", "Printing, please wait", "Cancel"});
    // The messages as the program's overlay words them.
    for (const char* key :
         {"GI_Sys_Printer_NoPrinter", "GI_Sys_Printer_BadMargins", "GI_Sys_Printer_BadPoints",
          "GI_Sys_Printer_NoRoom", "GI_Sys_Printer_CannotStart", "GI_Sys_Printer_CannotFinish"}) {
        lines.push_back(std::string("#") + key);
        std::istringstream text(OverlayTexts::App().GetText(key));
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
    }
    addSheet(lines, "Small", "(TitleString=Small Sheet)(FixedRows=1)",
             {"{($Hd)}Name|{($Hd)}Value", "{($e)}alpha|{($e)}one", "{($e)}beta|{($e)}two"});
    addSheet(lines, "Wide", "(TitleString=Wide Sheet)(FixedCols=1)(FixedRows=1)", wideCells());
    addSheet(lines, "Huge", "(TitleString=Huge Sheet)(FixedRows=1)",
             {"{($Hd)}Long|{($Hd)}Next", "{($e)}" + std::string(300, 'W') + "END|{($e)}after"});
    addSheet(lines, "Hidden", "(TitleString=Not Printed)(NoPrint)", {"{($Hd)}Secret|{($Hd)}Value"});
    store_ = std::make_unique<OverlayLineStore>(std::move(lines));
    return store_->Store();
}

void PrintTest::Reset() {
    printing_.reset();
    shown_.reset();
    store_.reset();
}

Printing& PrintTest::Printing() {
    if (!printing_)
        printing_ = std::make_unique<marlo::Printing>(*this, Store());
    return *printing_;
}

void PrintTest::Show(const std::string& key) {
    shown_ = CreateSheet(&mainWindow, key);
    shown_->Build();
}

std::unique_ptr<Sheet> PrintTest::CreateSheet(QWidget* parent, const std::string& descriptor) {
    ++sheetsCreated;
    auto sheet =
        std::make_unique<Sheet>(parent, nullptr, Sheet::StartCell{}, Store(), descriptor, &marks);
    // The test sheets hold no bound cells: nothing asks the engine for a value.
    sheet->SetEngine([](CellRequest&, bool) -> std::uint8_t { return 0; });
    return sheet;
}

std::string PrintTest::PrintNextTo(const std::string& name) {
    const std::string path = dir.filePath(QString::fromStdString(name)).toStdString();
    prompter.answerNextPrinterSetup([path](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path));
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::A4));
    });
    return path;
}

void PrintTest::RunPrintAll() {
    for (int ticks = 0; Printing().Busy() && ticks < 1000; ++ticks)
        Printing().Step();
}
