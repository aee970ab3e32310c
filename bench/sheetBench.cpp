// Building sheet cells and selection lists from overlay entries held in memory:
// a channel sheet of 500 rows of 12 cells (a LoopFrom 500 body, so rows after
// the first are copies), the same sheet with every row parsed (a two-line body
// whose cells count with a channel counter), and a picker list of 30 items.
#include "sheets/cellNames.h"
#include "sheets/overlayLineStore.h"
#include "sheets/selectionListCache.h"
#include "sheets/sheetDef.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

using namespace marlo;

namespace {

const char* const kCells[] = {
    "{($eCh)(%CT_UserCh.CL_Misc_ChNo_1Base[IX])}000",
    "{($eFq)(%CT_UserCh.CL_UCh_FreqR[IX])}29999.9",
    "{($eFq)(%CT_UserCh.CL_UCh_FreqT[IX])}29999.9",
    "{($eSl)(%CT_UserCh.CL_UCh_Mode[IX])}USB",
    "{($eSl)(%CT_UserCh.CL_UCh_Ale[IX])}ON",
    "{($eTx)(%CT_UserCh.CL_UCh_Comment[IX])}MMMMMMMMMMMMMMMM",
    "{($eSl)(%CT_UserCh.CL_UCh_Call[IX])}ON",
    "{($eSl)(%CT_UserCh.CL_UCh_ScanGroup[IX])}A",
    "{($eSl)(%CT_UserCh.CL_UCh_Filter[IX])}WIDE",
    "{($eSl)(%CT_UserCh.CL_UCh_Edit[IX])}ON",
    "{($eTl)(%CT_UserCh.CL_UCh_CH[IX])}",
    "{W}\\_",
};

std::string channelLine(const std::string& index) {
    std::string line;
    for (const char* cell : kCells) {
        std::string c = cell;
        if (const auto at = c.find("IX"); at != std::string::npos)
            c.replace(at, 2, index);
        line += (line.empty() ? "" : "|") + c;
    }
    return line;
}

std::vector<std::string> overlayLines() {
    std::vector<std::string> lines = {
        "#CellModel_Basic", "~<",
        "#CellModel_Hd",    "^-WH(Color=clBtnFace)(Font=,,,,,fsBold,)",
        "#CellModel_eCh",   ">-W(Color=clBtnFace)",
        "#CellModel_eFq",   "S>_WHB",
        "#CellModel_eSl",   "S^_WHB",
        "#CellModel_eTx",   "S<_WHB(Font=,,,,,fsItalic,)",
        "#CellModel_eTl",   "T",
        "#CellModel_Sel",   "S<WH",
    };
    std::string header;
    for (int c = 0; c < 12; ++c)
        header += (c == 0 ? "" : "|") + std::string("{($Hd)}Head ") + std::to_string(c);
    for (const char* sheet : {"Copied", "Parsed"}) {
        const bool parsed = std::string(sheet) == "Parsed";
        lines.insert(lines.end(),
                     {std::string("#") + sheet + "_Style", "(FixedCols=1)(FixedRows=1)",
                      std::string("#") + sheet + "_BasicCell", "{($Basic)}",
                      std::string("#") + sheet + "_Cells", header});
        if (parsed) {
            lines.insert(lines.end(),
                         {":(LoopFrom 250)", channelLine("@ch0"),
                          "{(@ch0++)}" + channelLine("@ch0") + "{(@ch0++)}", ":(LoopTo)", "#"});
        } else {
            lines.insert(lines.end(), {":(LoopFrom 500)", channelLine("0"), ":(LoopTo)", "#"});
        }
    }
    lines.push_back("#Picker_Cells");
    for (int row = 0; row < 10; ++row) {
        std::string line;
        for (int col = 0; col < 3; ++col) {
            const int value = col * 10 + row;
            line += "|{($Sel)(%CL_Comm_TxPwrSel[" + std::to_string(value) + "])}Item " +
                    std::to_string(value);
        }
        lines.push_back(line);
    }
    lines.push_back("#");
    return lines;
}

OverlayLineStore& overlay() {
    static OverlayLineStore store(overlayLines());
    return store;
}

void buildSheet(benchmark::State& state, const char* key) {
    SheetDef def(overlay().Store(), key, overlay().Store());
    for (auto _ : state) {
        def.Build();
        benchmark::DoNotOptimize(def.ColWidth(5));
    }
    state.counters["rows"] = def.RowCount();
    state.counters["cols"] = def.ColCount();
    state.SetItemsProcessed(state.iterations() * def.RowCount() * def.ColCount());
}

void BM_ChannelSheet_CopiedRows(benchmark::State& state) {
    buildSheet(state, "Copied");
}
BENCHMARK(BM_ChannelSheet_CopiedRows)->Unit(benchmark::kMillisecond);

void BM_ChannelSheet_ParsedRows(benchmark::State& state) {
    buildSheet(state, "Parsed");
}
BENCHMARK(BM_ChannelSheet_ParsedRows)->Unit(benchmark::kMillisecond);

const int kPowerLabel = labelNumber("CL_Comm_TxPwrSel");

void BM_SelectionList30_Build(benchmark::State& state) {
    for (auto _ : state) {
        SelectionListCache cache(overlay().Store(), overlay().Store());
        benchmark::DoNotOptimize(cache.TextOf("Picker", kPowerLabel, 17));
    }
}
BENCHMARK(BM_SelectionList30_Build)->Unit(benchmark::kMicrosecond);

void BM_SelectionList30_TextAndStep(benchmark::State& state) {
    SelectionListCache cache(overlay().Store(), overlay().Store());
    cache.TextOf("Picker", kPowerLabel, 0);
    std::int32_t value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(cache.TextOf("Picker", kPowerLabel, value));
        value = cache.Step("Picker", kPowerLabel, value, +1).value_or(0);
    }
}
BENCHMARK(BM_SelectionList30_TextAndStep);

} // namespace

int main(int argc, char** argv) {
    // Cell sizes come from font metrics, which need a GUI application.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
