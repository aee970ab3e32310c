// The sheet window on screen: a full repaint of a 500-channel sheet in a
// 1280 x 1024 window, timed against a QTableView of static strings showing as
// many cells of the same sizes (the ratio is the figure to watch); one cursor
// step with key repeat through the 500 rows; the heap a built sheet takes; and
// the spreadsheet habits on it: a paste of 500 rows of 10 tab-separated values,
// Fill Series over 500 rows, and a find keystroke over the 500 channels.
// The cells are evaluated by the real engine on a channel document.
#include "benchDocument.h"

#include "core/notificationHub.h"
#include "overlay/overlayTexts.h"
#include "platform/prompter.h"
#include "radio/cellEngine.h"
#include "sheets/overlayLineStore.h"
#include "views/sheet.h"
#include "views/sheetFinder.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <memory>

using namespace marlo;

namespace {

const char* const kCells[] = {
    "{($Hd)(%CT_UserCh.CL_Misc_ChNo_1Base[0])}000",
    "{($r)(%CT_UserCh.CL_UCh_CH[0])}0000",
    "{($r)(%CT_UserCh.CL_UCh_FreqR[0])}29999.9",
    "{($r)(%CT_UserCh.CL_UCh_FreqT[0])}29999.9",
    "{($e)(%CT_UserCh.CL_UCh_Mode[0])}ALE-U",
    "{($e)(%CT_UserCh.CL_UCh_Ale[0])}item 119",
    "{($e)(%CT_UserCh.CL_UCh_Comment[0])}MMMMMMMMMMMMMMMM",
    "{($e)(%CT_UserCh.CL_UCh_Call[0])}item 3",
    "{($e)(%CT_UserCh.CL_UCh_ScanGroup[0])}item 3",
    "{($e)(%CT_UserCh.CL_UCh_Filter[0])}item 3",
    "{($e)(%CT_UserCh.CL_UCh_Edit[0])}item 1",
};

std::vector<std::string> sheetLines() {
    std::vector<std::string> lines = benchListLines();
    lines.pop_back(); // the end marker goes after our entries
    std::string header;
    std::string row;
    for (const char* cell : kCells) {
        header += std::string(header.empty() ? "" : "|") + "{($Hd)}Head";
        row += std::string(row.empty() ? "" : "|") + cell;
    }
    lines.insert(lines.end(), {"#CellModel_Basic",
                               "~<(Font=,,clWindowText,-13,,,)",
                               "#CellModel_Hd",
                               "^-WH(Color=clBtnFace)B",
                               "#CellModel_e",
                               "S<-WHB",
                               "#CellModel_r",
                               "S>-WHB",
                               "#GI_Sheet_Bench_Style",
                               "(FixedCols=1)(FixedRows=1)(MultiSelect=Line)",
                               "#GI_Sheet_Bench_BasicCell",
                               "{($Basic)}",
                               "#GI_Sheet_Bench_Cells",
                               header,
                               ":(LoopFrom 500)",
                               row,
                               ":(LoopTo)",
                               "#",
                               "#GI_Sheet_Commands",
                               "Fill Down",
                               "Fill Series",
                               "Paste",
                               "Nothing was changed:",
                               "... and %d more",
                               "outside the sheet",
                               "cannot be changed here",
                               "#GI_Sys_AppTitle",
                               "Bench",
                               "#End_Of_Ovl"});
    return lines;
}

// The program's pieces a sheet needs, with the channel document loaded.
struct World {
    World() : store(sheetLines()), context(store.Store()) {
        OverlayTexts::SetApp(&store.Store());
        NotificationHub::SetApp(&hub);
        CellContext::SetApp(&context);
        fillDocument(context.CurrentImage());
    }
    ~World() {
        CellContext::SetApp(nullptr);
        NotificationHub::SetApp(nullptr);
        OverlayTexts::SetApp(nullptr);
    }
    std::unique_ptr<Sheet> BuiltSheet(QWidget& host) {
        auto sheet = std::make_unique<Sheet>(&host, nullptr, Sheet::StartCell{}, store.Store(),
                                             "GI_Sheet_Bench", nullptr);
        sheet->Build();
        return sheet;
    }
    // The sheet in a shown 1280 x 1024 window with the focus on its grid.
    std::unique_ptr<Sheet> ShownSheet(QWidget& host) {
        host.resize(1280, 1024);
        auto sheet = BuiltSheet(host);
        host.show();
        host.activateWindow();
        sheet->Grid()->setFocus();
        QApplication::processEvents();
        return sheet;
    }

    OverlayLineStore store;
    NotificationHub hub;
    DocumentContext context;
};

// A table of static strings showing as many cells, of the sheet's sizes.
std::unique_ptr<QTableView> staticTable(const Sheet& sheet, QStandardItemModel& model) {
    const SheetDef& def = sheet.Def();
    model.setRowCount(def.RowCount());
    model.setColumnCount(def.ColCount());
    for (int row = 0; row < def.RowCount(); ++row)
        for (int col = 0; col < def.ColCount(); ++col)
            model.setItem(row, col, new QStandardItem(QStringLiteral("14250.0")));
    auto view = std::make_unique<QTableView>();
    view->setModel(&model);
    view->horizontalHeader()->hide();
    view->verticalHeader()->hide();
    for (int col = 0; col < def.ColCount(); ++col)
        view->setColumnWidth(col, def.ColWidth(col));
    for (int row = 0; row < def.RowCount(); ++row)
        view->setRowHeight(row, def.RowHeight(row));
    view->resize(1280, 1024);
    view->show();
    return view;
}

double millisecondsOf(QWidget* viewport) {
    const auto start = std::chrono::steady_clock::now();
    viewport->repaint();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void BM_RepaintSheetAgainstTableView(benchmark::State& state) {
    World world;
    QWidget host;
    auto sheet = world.ShownSheet(host);
    QStandardItemModel model;
    auto table = staticTable(*sheet, model);
    QApplication::processEvents();
    double sheetMs = 0;
    double tableMs = 0;
    for (auto _ : state) {
        sheetMs += millisecondsOf(sheet->Grid()->viewport());
        tableMs += millisecondsOf(table->viewport());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["sheet_ms"] = sheetMs / n;
    state.counters["table_ms"] = tableMs / n;
    state.counters["ratio"] = sheetMs / tableMs;
    state.counters["visible_rows"] = sheet->Grid()->Layout().LastVisibleRow() + 1;
}
BENCHMARK(BM_RepaintSheetAgainstTableView)->Unit(benchmark::kMillisecond);

void BM_CursorStepWithKeyRepeat(benchmark::State& state) {
    World world;
    QWidget host;
    auto sheet = world.ShownSheet(host);
    const int lastRow = sheet->Def().RowCount() - 1;
    for (auto _ : state) {
        if (sheet->Grid()->Row() == lastRow) {
            state.PauseTiming();
            sheet->SetCursor(1, 1);
            QApplication::processEvents();
            state.ResumeTiming();
        }
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(sheet->Grid(), &down);
        QApplication::processEvents(); // paints the frame the step shows
    }
    state.counters["rows"] = lastRow;
}
BENCHMARK(BM_CursorStepWithKeyRepeat)->Unit(benchmark::kMicrosecond);

void BM_MemoryOfABuiltSheet(benchmark::State& state) {
    World world;
    std::size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QWidget host;
        host.resize(1280, 1024);
        const std::size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        auto sheet = world.BuiltSheet(host);
        state.PauseTiming();
        bytes = mallinfo2().uordblks - before;
        state.counters["cells"] = sheet->Def().RowCount() * sheet->Def().ColCount();
        sheet.reset();
        state.ResumeTiming();
    }
    state.counters["heap_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_MemoryOfABuiltSheet)->Unit(benchmark::kMillisecond)->Iterations(5);

// Refusal boxes are counted, not printed.
class CountingPrompter : public StderrPrompter {
public:
    CountingPrompter() : previous_(Prompter::Install(this)) {}
    ~CountingPrompter() override { Prompter::Install(previous_); }
    PromptAnswer Message(const std::string&, const std::string&, PromptIcon,
                         PromptButtons) override {
        ++boxes;
        return PromptAnswer::Ok;
    }
    int boxes = 0;

private:
    Prompter* previous_;
};

// Rows of the sheet's own texts in the ten columns from the channel number
// on, each moved to another row's values and given a new number and name, so
// that every value is typed.
std::string pasteText(Sheet& sheet) {
    const int rows = sheet.Def().RowCount();
    std::string text;
    for (int row = 1; row < rows; ++row) {
        const int from = row % (rows - 1) + 1;
        for (int col = 1; col <= 10; ++col) {
            std::string value = sheet.ShownText(col, from);
            if (col == 1)
                value = std::to_string(1000 + row);
            if (col == 6)
                value = "NAME " + std::to_string(row);
            text += (col == 1 ? "" : "\t") + value;
        }
        text += "\n";
    }
    return text;
}

// A shown sheet on the channel document, its start kept for each iteration.
struct EditRun {
    EditRun() : sheet(world.ShownSheet(host)) { start.Assign(world.context.CurrentImage()); }
    void Restore() { world.context.CurrentImage().Assign(start); }

    World world;
    QWidget host;
    std::unique_ptr<Sheet> sheet;
    CountingPrompter prompter;
    MemoryImage start;
};

void BM_PasteTabText500x10(benchmark::State& state) {
    EditRun run;
    const std::string text = pasteText(*run.sheet);
    run.sheet->SetCursor(1, 1);
    for (auto _ : state) {
        state.PauseTiming();
        run.Restore();
        state.ResumeTiming();
        benchmark::DoNotOptimize(run.sheet->PasteText(text));
    }
    state.counters["refused"] = run.prompter.boxes;
}
BENCHMARK(BM_PasteTabText500x10)->Unit(benchmark::kMillisecond);

void BM_FillSeries500(benchmark::State& state) {
    EditRun run;
    std::vector<int> rows;
    for (int row = 1; row < run.sheet->Def().RowCount(); ++row)
        rows.push_back(row);
    run.sheet->SetCursor(2, 1);
    for (auto _ : state) {
        state.PauseTiming();
        run.Restore();
        run.sheet->SelectRows(rows);
        state.ResumeTiming();
        benchmark::DoNotOptimize(run.sheet->FillSeries(2000, 10));
    }
    state.counters["refused"] = run.prompter.boxes;
}
BENCHMARK(BM_FillSeries500)->Unit(benchmark::kMillisecond);

// Arg 0: the first keystroke, which reads every cell's text; 1: the next
// ones, on the texts read.
void BM_FindKeystroke(benchmark::State& state) {
    World world;
    QWidget host;
    auto sheet = world.ShownSheet(host);
    SheetFinder& finder = sheet->Finder();
    const char* const typed[] = {"1", "14", "142", "1425", "14250"};
    std::size_t n = 0;
    for (auto _ : state) {
        if (state.range(0) == 0)
            finder.Forget();
        finder.Search(typed[n++ % std::size(typed)]);
        benchmark::DoNotOptimize(finder.MatchCount());
    }
}
BENCHMARK(BM_FindKeystroke)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
