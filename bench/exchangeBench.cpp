// The spreadsheet exchange of the channel list on the program's own controller,
// overlay and initial file: the export of 500 used channels as CSV, and the
// import of that table into the initial document (every value typed into its
// cell, every choice resolved against its list, every mark checked).
#include "cli/headlessDocument.h"
#include "core/csvTable.h"
#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "document/appCellContext.h"
#include "exchange/exchangeLists.h"
#include "exchange/listExport.h"
#include "exchange/listImport.h"
#include "main/radioAppController.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <sstream>
#include <string>
#include <variant>

using namespace marlo;

namespace {

struct Program {
    QTemporaryDir folder;
    std::unique_ptr<SettingsStore> settings;
    NotificationHub hub;
    std::unique_ptr<RadioAppController> controller;
    std::unique_ptr<AppCellContext> context;
    MemoryImage initial;
    CsvTable channels;
};

Program* program = nullptr;

// 500 channels the initial file of variant 0 takes as they are.
std::string channelTable() {
    const char* modes[] = {"USB", "AM", "CW"};
    const char* calls[] = {"Voice", "Selcall", "Telcall"};
    std::string text = "slot,number,rx_khz,tx_khz,mode,name,call,ale,scan_group,filter,edit\r\n";
    for (int i = 0; i < 500; ++i) {
        const std::string rx = std::to_string(2000 + i * 10) + ".0";
        text += std::to_string(i + 1) + "," + std::to_string(1000 + i) + "," + rx + "," +
                (i % 2 == 0 ? std::string("<-") : std::to_string(2000 + i * 10) + ".5") + "," +
                modes[i % 3] + ",CH " + std::to_string(i) + "," + calls[i % 3] + ",-----,Group " +
                std::to_string(i % 4) + ",Auto," + (i % 2 == 0 ? "Editable" : "Protected") + "\r\n";
    }
    return text;
}

void importChannels(benchmark::State& state) {
    const ExchangeList& list = *findExchangeList("channels");
    std::size_t problems = 0;
    for (auto _ : state) {
        state.PauseTiming();
        program->controller->CurrentImage().Assign(program->initial);
        state.ResumeTiming();
        problems += importListTable(*program->context, 0, list, program->channels).size();
    }
    if (problems != 0)
        state.SkipWithError("the table was refused");
}

void exportChannels(benchmark::State& state) {
    const ExchangeList& list = *findExchangeList("channels");
    program->controller->CurrentImage().Assign(program->initial);
    importListTable(*program->context, 0, list, program->channels);
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes +=
            exportListCsv(*program->context, program->controller->CurrentImage(), 0, list).size();
    state.counters["bytes"] = static_cast<double>(bytes) / static_cast<double>(state.iterations());
}

BENCHMARK(importChannels)->Unit(benchmark::kMillisecond);
BENCHMARK(exportChannels)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    OverlayTexts overlay;
    overlay.SetFile(programDir() + "Marlo.OVL");
    OverlayTexts::SetApp(&overlay);
    auto state = std::make_unique<Program>();
    program = state.get();
    state->settings = std::make_unique<SettingsStore>(
        "exchange bench lock", "Software\\Bench\\Exchange",
        SettingsPlaces{state->folder.filePath("Marlo.conf").toStdString(),
                       state->folder.path().toStdString(), ScreenSize{1024, 768}});
    SettingsStore::SetApp(state->settings.get());
    NotificationHub::SetApp(&state->hub);
    state->controller = std::make_unique<RadioAppController>(std::vector<std::string>{"marlo"});
    startHeadlessDocument(*state->controller, 0);
    state->context = std::make_unique<AppCellContext>(*state->controller);
    state->initial.Assign(state->controller->CurrentImage());
    std::istringstream in(channelTable());
    state->channels = std::get<CsvTable>(readCsv(in, {}));

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    state->context.reset();
    state->controller.reset();
    state->hub.Shutdown();
    NotificationHub::SetApp(nullptr);
    SettingsStore::SetApp(nullptr);
    OverlayTexts::SetApp(nullptr);
    return 0;
}
