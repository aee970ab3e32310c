// Overlay store figures on a generated overlay of 3,000 lines: reading an entry
// line after line as the sheet engine does, and lookups of entries at random.
#include "overlay/overlayTexts.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

using namespace marlo;

namespace {

constexpr int kSmallEntries = 287; // ten lines each, header included
constexpr int kSheetLines = 119;   // a sheet body, longer than the line cache

// Written once per run; lines look like sheet cell definitions.
class BenchOverlay {
public:
    BenchOverlay() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "marlo-bench-XXXXXX").string();
        const int fd = mkstemp(pattern.data());
        if (fd >= 0)
            close(fd);
        path_ = pattern;
        std::ofstream out(path_, std::ios::binary);
        int lines = 0;
        auto line = [&](const std::string& text) {
            out << text << "\r\n";
            ++lines;
        };
        for (int i = 0; i < kSmallEntries; ++i) {
            if (i == kSmallEntries / 2) {
                line("#GI_Bench_Sheet_Body");
                for (int r = 0; r < kSheetLines; ++r)
                    line("(Cell:CT_Memory,CL_Rx,'" + std::to_string(r) + "')|Width(80)|Rx Freq");
            }
            keys_.push_back("GI_Bench_Entry_" + std::to_string(i));
            line("#" + keys_.back());
            for (int r = 0; r < 9; ++r)
                line("Text line " + std::to_string(r) + " of entry " + std::to_string(i));
        }
        while (lines < 2999)
            line("; filler");
        line("#End_Of_Ovl");
    }
    ~BenchOverlay() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }
    const std::vector<std::string>& keys() const { return keys_; }

private:
    std::string path_;
    std::vector<std::string> keys_;
};

const BenchOverlay& overlay() {
    static const BenchOverlay instance;
    return instance;
}

void BM_ReadEntryLineByLine(benchmark::State& state) {
    const bool sheet = state.range(0) != 0;
    const std::string key = sheet ? "GI_Bench_Sheet_Body" : overlay().keys()[kSmallEntries / 3];
    const int lines = sheet ? kSheetLines : 9;
    OverlayTexts store;
    store.SetFile(overlay().path());
    store.GetLine(key); // indexing is not what this measures
    for (auto _ : state) {
        for (int n = 0; n < lines; ++n)
            benchmark::DoNotOptimize(store.GetLine(key, n));
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.SetLabel(sheet ? "119 lines (more than the cache)" : "9 lines (cached)");
}
BENCHMARK(BM_ReadEntryLineByLine)->Arg(0)->Arg(1);

void BM_RandomEntryLookup(benchmark::State& state) {
    const std::vector<std::string>& keys = overlay().keys();
    OverlayTexts store;
    store.SetFile(overlay().path());
    store.GetLine(keys.back()); // the whole file indexed
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> pick(0, keys.size() - 1);
    std::vector<std::size_t> order(4096);
    for (std::size_t& i : order)
        i = pick(random);
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.GetLine(keys[order[next]], 0));
        next = (next + 1) % order.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomEntryLookup);

void BM_FirstLookupOfTheLastEntry(benchmark::State& state) {
    for (auto _ : state) {
        OverlayTexts store;
        store.SetFile(overlay().path());
        benchmark::DoNotOptimize(store.GetLine(overlay().keys().back()));
    }
}
BENCHMARK(BM_FirstLookupOfTheLastEntry);

} // namespace

BENCHMARK_MAIN();
