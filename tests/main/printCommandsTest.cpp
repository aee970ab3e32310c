// The File menu's print commands reach the controller through the engine's
// command interface; print all then runs on the controller's tick over every
// sheet of the tree, on the program's own overlay and a full document.
#include "controllerFixture.h"

#include "document/appCellContext.h"
#include "main/mainWindow.h"
#include "print/printing.h"
#include "radio/cellEngineFixture.h"
#include "radio/cellLabels.h"
#include "radio/listRecord.h"
#include "support/eventLoop.h"
#include "support/pdfPages.h"
#include "views/sheet.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <iostream>

using namespace marlo;

using namespace CellLabel;
using ::testing::Invoke;
using ::testing::NiceMock;

namespace {

std::string pdfText(const std::string& path) {
    QProcess process;
    process.start("pdftotext", {"-layout", QString::fromStdString(path), "-"});
    process.waitForFinished(120000);
    return process.readAllStandardOutput().toStdString();
}

int pdfPages(const std::string& path) {
    QProcess process;
    process.start("pdfinfo", {QString::fromStdString(path)});
    process.waitForFinished(60000);
    const auto m = QRegularExpression(R"(Pages:\s+(\d+))")
                       .match(QString::fromUtf8(process.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class PrintCommandsTest : public ControllerTest {
protected:
    void SetUp() override {
        controller_ = &makeController();
        form_ = std::make_unique<MainWindow>(*controller_);
        ASSERT_TRUE(runEventLoopUntil([&] { return form_->isVisible(); }));
        context_ = std::make_unique<AppCellContext>(*controller_);
        context_->SetCommands(&commands_);
        CellContext::SetApp(context_.get());
        ON_CALL(commands_, CanPrintCurrent).WillByDefault(Invoke([&] {
            return controller_->CanPrintCurrent();
        }));
        ON_CALL(commands_, PrintCurrent).WillByDefault(Invoke([&] {
            controller_->PrintCurrent();
        }));
        ON_CALL(commands_, PrintAll).WillByDefault(Invoke([&] { controller_->PrintAll(); }));
    }
    void TearDown() override {
        controller_->SetShownSheet(nullptr);
        CellContext::SetApp(nullptr);
        form_.reset();
    }

    // Every user channel used, each with a frequency of its own.
    void fillChannels() {
        for (int i = 0; i < 500; ++i) {
            ListRecord entry(&controller_->CurrentImage());
            entry.Load(listUserChannel, i);
            entry.state = ListRecord::stateUsed;
            entry.channelNumber = static_cast<std::uint32_t>(i + 1);
            entry.rxFrequency = 2'000'000 + i * 10'000;
            entry.txFrequency = entry.rxFrequency;
            entry.StoreAndReload();
        }
    }

    void show(const std::string& descriptor) {
        controller_->SetShownSheet(controller_->CreateSheet(controller_->RightPane(), descriptor));
        controller_->ShownSheet()->Build();
    }

    CellRequest menu(std::int32_t label) {
        cell_ = CellModel();
        cell_.category = CT_Null;
        cell_.label = label;
        CellRequest request;
        request.cell = &cell_;
        request.action = CellRequest::kEnter;
        CellEngine engine(*context_);
        evaluateCell(engine, request, true);
        return request;
    }

    std::string shownText(std::int32_t category, std::int32_t label, std::int32_t index) {
        CellModel cell;
        cell.category = category;
        cell.label = label;
        cell.index = index;
        CellRequest request;
        request.cell = &cell;
        CellEngine engine(*context_);
        evaluateCell(engine, request, false);
        return request.text;
    }

    std::string printTo(const std::string& name) {
        const std::string path = install_->filePath(QString::fromStdString(name)).toStdString();
        prompter_.answerNextPrinterSetup([path](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(path));
            printer.setResolution(600);
            printer.setPageSize(QPageSize(QPageSize::A4));
        });
        return path;
    }

    RadioAppController* controller_ = nullptr;
    std::unique_ptr<MainWindow> form_;
    std::unique_ptr<AppCellContext> context_;
    NiceMock<MockCellCommands> commands_;
    CellModel cell_;
};

TEST_F(PrintCommandsTest, PrintAllOfAFullDocumentRunsOnTheTickOverEverySheet) {
    fillChannels();
    show("GI_Sheet_UserCh");
    const std::string path = printTo("all.pdf");
    QElapsedTimer clock;
    clock.start();
    menu(CL_Menu_File_Print_All);
    EXPECT_TRUE(controller_->Printing().Busy());
    EXPECT_FALSE(form_->isEnabled());
    EXPECT_FALSE(controller_->FormCloseQuery()); // no closing in the middle of a job
    ASSERT_TRUE(runEventLoopUntil([&] { return !controller_->Printing().Active(); }, 300000));
    const qint64 ms = clock.elapsed();
    EXPECT_TRUE(form_->isEnabled());

    const int pages = controller_->Printing().Pages();
    std::cout << "[ figure ] print all of 500 used channels to PDF: " << pages << " pages in " << ms
              << " ms\n";
    EXPECT_EQ(pdfPages(path), pages);
    const std::string text = pdfText(path);
    for (const char* title : {"General Settings", "User Channels", "Selective-Call IDs",
                              "ALE Addresses", "Telephone Numbers", "Modes", "Expert Settings"})
        EXPECT_NE(text.find(title), std::string::npos) << title;
    // The raw bytes are not printable; the last channel is.
    EXPECT_EQ(text.find("Memory Bytes"), std::string::npos);
    const std::string last = shownText(CT_UserCh, CL_UCh_FreqR, 499);
    ASSERT_FALSE(last.empty());
    EXPECT_NE(text.find(last), std::string::npos) << last;
    EXPECT_EQ(text.find('\f') == 0, false); // the first page is not blank
}

TEST_F(PrintCommandsTest, PrintCurrentIsOfferedOnlyForAPrintableShownSheet) {
    controller_->SetShownSheet(nullptr);
    EXPECT_FALSE(controller_->CanPrintCurrent());
    EXPECT_CALL(commands_, PrintCurrent).Times(0);
    menu(CL_Menu_File_Print_Current);
    ::testing::Mock::VerifyAndClearExpectations(&commands_);

    show("GI_Sheet_RawBytes"); // NoPrint
    EXPECT_FALSE(controller_->CanPrintCurrent());

    show("[St_Common]GI_Sheet_Common_General");
    EXPECT_TRUE(controller_->CanPrintCurrent());
    const std::string path = printTo("current.pdf");
    menu(CL_Menu_File_Print_Current);
    EXPECT_TRUE(form_->isEnabled());
    EXPECT_EQ(pdfPages(path), controller_->Printing().Pages());
    EXPECT_GE(controller_->Printing().Pages(), 1);
    const std::string text = pdfText(path);
    EXPECT_NE(text.find("General Settings"), std::string::npos);
    EXPECT_NE(text.find(overlayLine("GI_Sys_AppTitleRev")), std::string::npos);
    EXPECT_NE(text.find(overlayLine("GI_Sys_Maker")), std::string::npos);
    EXPECT_TRUE(prompter_.scriptUsed());
}

// A sheet a little wider than the page prints smaller with its columns side by
// side; a much wider one keeps its font and is cut across, never leaving a
// single column alone on a page.
TEST_F(PrintCommandsTest, ASheetKeepsItsColumnsTogetherWhenTheyFitAtASensibleScale) {
    struct Case {
        const char* descriptor;
        std::vector<std::string> firstPage; // header and cell words printed side by side
        std::vector<std::string> headers;   // one word of each column's header
        int across;                         // pages side by side for each band of rows
    };
    const Case cases[] = {
        {"[St_Common]GI_Sheet_Common_General",
         {"Setting", "Value", "Notes", "GPS", "panel"},
         {"Value", "Notes"},
         1},
        {"GI_Sheet_UserCh",
         {"Slot", "Channel", "Receive", "Transmit", "Mode"},
         {"Channel", "Receive", "Transmit", "Mode", "Filter", "Call", "ALE", "Scan", "Comment",
          "Editing"},
         2},
        {"GI_Sheet_TelNumber", {"No.", "Name", "Number"}, {"Name", "Number"}, 1},
    };
    fillChannels();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.descriptor);
        show(c.descriptor);
        const std::string path = printTo("layout.pdf");
        menu(CL_Menu_File_Print_Current);
        const std::vector<PdfPage> pages = readPdf(path);
        ASSERT_FALSE(pages.empty());
        for (const std::string& word : c.firstPage)
            EXPECT_TRUE(pages.front().Has(word)) << word;
        int bands = 0;
        for (std::size_t n = 0; n < pages.size(); ++n) {
            const auto shown = std::count_if(c.headers.begin(), c.headers.end(),
                                             [&](const std::string& h) { return pages[n].Has(h); });
            EXPECT_GE(shown, 2) << "page " << n + 1;
            bands += pages[n].Has(c.headers.front()) ? 1 : 0;
        }
        EXPECT_EQ(bands * c.across, static_cast<int>(pages.size()));
        QFile::remove(QString::fromStdString(path));
    }
}

} // namespace
