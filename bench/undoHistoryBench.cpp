// The undo history on a channel document: recording, undoing and redoing a sort
// of 500 full channels, undoing a single edit, and what 1,000 single-cell steps
// hold in memory.
#include "benchDocument.h"

#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "core/undoHistory.h"
#include "radio/listRecord.h"
#include "radio/rowOperations.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

using namespace marlo;

namespace {

// 500 used channels numbered backwards, so that sorting moves every one.
void unsortedDocument(MemoryImage& image) {
    image.Resize(marloModel::imageSize);
    fillDocument(image);
    ListRecord e(&image);
    for (std::int32_t slot = 0; slot < 500; ++slot) {
        e.Load(listUserChannel, slot);
        e.channelNumber = static_cast<std::uint32_t>(500 - slot);
        e.Store(listUserChannel, slot);
    }
}

void BM_RecordSort(benchmark::State& state) {
    MemoryImage image;
    unsortedDocument(image);
    MemoryImage unsorted;
    unsorted.Assign(image);
    for (auto _ : state) {
        state.PauseTiming();
        image.Assign(unsorted);
        UndoHistory history;
        state.ResumeTiming();
        history.Begin(image, "Sort by Channel Number", {});
        sortUserChannels(image);
        benchmark::DoNotOptimize(history.End(image));
    }
}
BENCHMARK(BM_RecordSort)->Unit(benchmark::kMillisecond);

// One iteration is an undo and a redo of the step.
void undoRedo(benchmark::State& state, UndoHistory& history, MemoryImage& image) {
    for (auto _ : state) {
        history.Undo(image);
        history.Redo(image);
        benchmark::ClobberMemory();
    }
    state.counters["delta bytes"] = static_cast<double>(history.DeltaBytes());
}

void BM_UndoRedoSort(benchmark::State& state) {
    MemoryImage image;
    unsortedDocument(image);
    UndoHistory history;
    history.Begin(image, "Sort by Channel Number", {});
    sortUserChannels(image);
    history.End(image);
    undoRedo(state, history, image);
}
BENCHMARK(BM_UndoRedoSort)->Unit(benchmark::kMicrosecond);

void BM_UndoRedoOneEdit(benchmark::State& state) {
    MemoryImage image;
    unsortedDocument(image);
    UndoHistory history;
    history.Begin(image, "Receive kHz", {});
    ListRecord e(&image);
    e.Load(listUserChannel, 250);
    e.rxFrequency += 100;
    e.Store(listUserChannel, 250);
    history.End(image);
    undoRedo(state, history, image);
}
BENCHMARK(BM_UndoRedoOneEdit)->Unit(benchmark::kMicrosecond);

// 1,000 edits of a receive frequency, each its own step: the history's own
// count and the heap the process really gave it.
void BM_ThousandSingleCellSteps(benchmark::State& state) {
    MemoryImage image;
    unsortedDocument(image);
    std::size_t heap = 0;
    std::size_t counted = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        auto history = std::make_unique<UndoHistory>();
        ListRecord e(&image);
        for (std::int32_t n = 0; n < 1000; ++n) {
            history->Begin(image, "Receive kHz", {"GI_Sheet_UserCh", 2, 1 + n % 500});
            e.Load(listUserChannel, n % 500);
            e.rxFrequency += 100;
            e.Store(listUserChannel, n % 500);
            history->End(image);
        }
        heap = mallinfo2().uordblks - before;
        counted = history->DeltaBytes();
        benchmark::DoNotOptimize(history.get());
    }
    state.counters["heap bytes"] = static_cast<double>(heap);
    state.counters["counted bytes"] = static_cast<double>(counted);
}
BENCHMARK(BM_ThousandSingleCellSteps)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
