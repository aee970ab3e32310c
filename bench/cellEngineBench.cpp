// The cell engine as a repaint asks it: every bound cell of a channel sheet of 500
// used channels (row number, channel number, both frequencies, mode, ALE ID,
// comment, call kind, scan group, filter, edit flag), each evaluated for its text
// and its invalid and duplicate marks. The channels repeat numbers and ALE IDs
// and stray outside the band edges, so the marks are really searched for.
#include "benchDocument.h"

#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "overlay/overlayTexts.h"
#include "radio/cellContext.h"
#include "radio/cellEngine.h"
#include "radio/cellLabels.h"
#include "radio/cellRequest.h"
#include "radio/listRecord.h"
#include "radio/overlayLists.h"
#include "radio/rowClipboard.h"
#include "radio/rowOperations.h"
#include "radio/warningCheck.h"
#include "sheets/cellModel.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace marlo;

using namespace CellLabel;

namespace {

void BM_RepaintChannelSheet(benchmark::State& state) {
    const std::vector<std::string> lines = benchListLines();
    std::vector<const char*> pointers;
    for (const std::string& line : lines)
        pointers.push_back(line.c_str());
    OverlayTexts overlay;
    overlay.SetLines(pointers);
    OverlayTexts::SetApp(&overlay);
    DocumentContext context(overlay);
    fillDocument(context.CurrentImage());
    CellEngine engine(context);

    std::vector<CellModel> cells;
    for (std::int32_t slot = 0; slot < 500; ++slot) {
        for (std::int32_t label :
             {CL_Misc_ChNo_1Base, CL_UCh_CH, CL_UCh_FreqR, CL_UCh_FreqT, CL_UCh_Mode, CL_UCh_Ale,
              CL_UCh_Comment, CL_UCh_Call, CL_UCh_ScanGroup, CL_UCh_Filter, CL_UCh_Edit}) {
            CellModel& cell = cells.emplace_back();
            cell.category = CT_UserCh;
            cell.label = label;
            cell.index = slot;
        }
    }
    int marked = 0;
    for (auto _ : state) {
        marked = 0;
        for (CellModel& cell : cells) {
            CellRequest request;
            request.cell = &cell;
            evaluateCell(engine, request, false);
            marked += request.status != 0;
            benchmark::DoNotOptimize(request.text.data());
        }
    }
    state.counters["cells"] = static_cast<double>(cells.size());
    state.counters["marked"] = marked;
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(cells.size()));
    OverlayTexts::SetApp(nullptr);
}
BENCHMARK(BM_RepaintChannelSheet)->Unit(benchmark::kMillisecond);

// An overlay and a full document for one benchmark's lifetime.
struct FullDocument {
    FullDocument() : lines(benchListLines()), context((install(), overlay)) {
        fillDocument(context.CurrentImage());
    }
    ~FullDocument() { OverlayTexts::SetApp(nullptr); }
    void install() {
        for (const std::string& line : lines)
            pointers.push_back(line.c_str());
        overlay.SetLines(pointers);
        OverlayTexts::SetApp(&overlay);
    }

    std::vector<std::string> lines;
    std::vector<const char*> pointers;
    OverlayTexts overlay;
    DocumentContext context;
};

void checkRepeatedly(benchmark::State& state, FullDocument& doc) {
    CellEngine engine(doc.context);
    int marks = 0;
    for (auto _ : state) {
        const WarningCheck check = checkWarnings(engine, doc.overlay);
        marks = check.errors + check.warnings;
        benchmark::DoNotOptimize(marks);
    }
    state.counters["marks"] = marks;
}

// The check that runs 250 ms after every edit, on a document whose lists are
// full and whose channels hold repeats and out-of-band frequencies.
void BM_WarningsCheckFullDocument(benchmark::State& state) {
    FullDocument doc;
    checkRepeatedly(state, doc);
}
BENCHMARK(BM_WarningsCheckFullDocument)->Unit(benchmark::kMillisecond);

// The same on full lists without a fault: every row of every list is looked at.
void BM_WarningsCheckCleanFullDocument(benchmark::State& state) {
    FullDocument doc;
    ListRecord e(&doc.context.CurrentImage());
    for (std::int32_t slot = 0; slot < 500; ++slot) {
        e.Load(listUserChannel, slot);
        e.channelNumber = static_cast<std::uint32_t>(slot + 1);
        e.txFrequency = e.rxFrequency;
        e.mode = 1;
        e.callKind = 0;
        e.aleIndex = ListRecord::noAle;
        e.Store(listUserChannel, slot);
    }
    for (std::int32_t i = 0; i < 120; ++i) {
        e.Load(listAleId, i);
        const std::string address = "ALE" + std::to_string(i);
        std::copy(address.begin(), address.end(), e.aleAddress.begin());
        e.Store(listAleId, i);
    }
    checkRepeatedly(state, doc);
}
BENCHMARK(BM_WarningsCheckCleanFullDocument)->Unit(benchmark::kMillisecond);

// Sort of 500 used channels whose numbers run backwards (every one moves).
void BM_SortFullChannels(benchmark::State& state) {
    FullDocument doc;
    MemoryImage& image = doc.context.CurrentImage();
    ListRecord e(&image);
    for (std::int32_t slot = 0; slot < 500; ++slot) {
        e.Load(listUserChannel, slot);
        e.channelNumber = static_cast<std::uint32_t>(1000 - slot);
        e.Store(listUserChannel, slot);
    }
    MemoryImage unsorted;
    unsorted.Assign(image);
    for (auto _ : state) {
        state.PauseTiming();
        image.Assign(unsorted);
        state.ResumeTiming();
        sortUserChannels(image);
    }
    e.Load(listUserChannel, 0);
    state.counters["first"] = e.channelNumber;
}
BENCHMARK(BM_SortFullChannels)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
