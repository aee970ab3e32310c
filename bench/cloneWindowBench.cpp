// Clone Read and Clone Write as the main window runs them (the controller's
// operations with the "Cloning" window, the information step first) against
// the simulated radio, unpaced and paced at 9600 baud. Beside the time, each
// run reports the time its bytes need on the line (both directions, an echoed
// byte once, 10 bits a byte) and the ratio of the two. Write Changes runs after
// a one-channel edit, against a radio that holds what a full write left.
#include "clonePacedRun.h"

#include "cli/headlessDocument.h"
#include "clone/changedBlocks.h"
#include "clone/cloneManager.h"
#include "core/marloSettings.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "core/notificationHub.h"
#include "document/appCellContext.h"
#include "main/cloneWindowCommands.h"
#include "main/compareCommands.h"
#include "main/compareWindow.h"
#include "main/mainWindow.h"
#include "main/radioAppController.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"
#include "platform/prompter.h"
#include "radio/cloneWriteImage.h"
#include "radio/listRecord.h"
#include "tools/radiosim/radioSim.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <functional>

using namespace marlo;

namespace {

// Confirms every question and goes on without saving.
class Confirming : public StderrPrompter {
public:
    PromptAnswer Message(const std::string&, const std::string&, PromptIcon,
                         PromptButtons buttons) override {
        return buttons == PromptButtons::YesNoCancel ? PromptAnswer::No : PromptAnswer::Ok;
    }
};

struct Program {
    QTemporaryDir folder;
    std::unique_ptr<MarloSettings> settings;
    NotificationHub hub;
    std::unique_ptr<RadioAppController> controller;
    std::unique_ptr<MainWindow> form;
    std::unique_ptr<CloneWindowCommands> window;
};
Program* program = nullptr;

// The simulated radio at the run's baud rate, holding `image`, on the
// program's port; false (the run skipped) when it cannot start.
bool connectRadio(benchmark::State& state, RadioSim& sim, const MemoryImage& image) {
    sim.SetBaud(static_cast<unsigned>(state.range(0)));
    sim.SetImage(image);
    if (!sim.Start()) {
        state.SkipWithError("no radio");
        return false;
    }
    program->controller->CloneManager().SetPort({0, sim.DevicePath()});
    return true;
}

// One timed operation: `start` begins it with its completion, the loop runs
// until it ends.
void timeOperation(benchmark::State& state, std::int64_t wire,
                   const std::function<bool(std::function<void(int)>)>& start) {
    QEventLoop loop;
    int code = -1;
    QElapsedTimer clock;
    clock.start();
    if (start([&](int result) {
            code = result;
            loop.quit();
        }))
        loop.exec();
    reportCloneRun(state, static_cast<double>(clock.nsecsElapsed()) / 1e9, code, wire);
}

void clone(benchmark::State& state, bool write) {
    RadioSim sim;
    MemoryImage image;
    image.Assign(program->controller->CurrentImage());
    if (!connectRadio(state, sim, image))
        return;
    const std::int64_t information =
        cloneRequestBytes + static_cast<std::int64_t>(sim.InformationReply().size());
    const std::int64_t wire =
        write
            ? information + cloneRequestBytes + cloneDataFrameBytes(marloModel::writeRangeNormal) +
                  cloneEndFrameBytes + cloneWriteResultBytes
            : information + cloneRequestBytes + cloneDataFrameBytes(marloModel::cloneRange) +
                  cloneEndFrameBytes;
    for (auto _ : state)
        timeOperation(state, wire, [write](std::function<void(int)> done) {
            return write ? program->window->CloneWrite(done) : program->window->CloneRead(done);
        });
}

void BM_WindowWriteChanges(benchmark::State& state) {
    RadioAppController& controller = *program->controller;
    RadioSim sim;
    MemoryImage memory;
    memory.Assign(controller.CurrentImage());
    controller.PrepareImage(memory, true);
    if (!connectRadio(state, sim, memory))
        return;
    const std::vector<std::uint8_t> reply = sim.InformationReply();
    RadioInfo radio{marloModel::modelCodeFirst, marloModel::modelCodeSecond, {}};
    std::copy(reply.begin() + 9, reply.begin() + 41, radio.block.begin());
    for (auto _ : state) {
        state.PauseTiming();
        controller.SetRadioBase(sim.Image(), radio);
        ListRecord channel(&controller.CurrentImage());
        channel.Load(listUserChannel, 7);
        // A used channel: the preparation gives unused ones back their factory bytes.
        channel.state = ListRecord::stateUsed;
        channel.channelNumber = 8;
        channel.rxFrequency = channel.rxFrequency == 7100000 ? 7100100 : 7100000;
        channel.Store(listUserChannel, 7);
        MemoryImage prepared;
        prepared.Assign(controller.CurrentImage());
        controller.PrepareImage(prepared, true);
        const ChangedBlocks changes =
            changedBlocksBetween(prepared, sim.Image(), marloModel::writeRangeNormal);
        const std::int64_t wire = cloneRequestBytes + static_cast<std::int64_t>(reply.size()) +
                                  cloneRequestBytes + cloneDataFrameBytes(changes.List()) +
                                  cloneEndFrameBytes + cloneWriteResultBytes;
        state.counters["blocks"] = changes.blocks;
        state.ResumeTiming();
        timeOperation(state, wire, [](std::function<void(int)> done) {
            return program->window->CloneWriteChanges(done);
        });
    }
}

void BM_WindowCloneRead(benchmark::State& state) {
    clone(state, false);
}

// Clone > Compare With Radio against a radio that differs from the document in
// a handful of values: the read, the comparison and its window, up.
void BM_WindowCompareWithRadio(benchmark::State& state) {
    RadioSim sim;
    MemoryImage image;
    image.Assign(program->controller->CurrentImage());
    for (const std::int32_t a : {0x02BB, 0x02BC, 0x1000, 0x3000, 0x6C3A})
        image.SetByte(a, static_cast<std::uint8_t>(image.GetByte(a) ^ 1));
    if (!connectRadio(state, sim, image))
        return;
    const std::int64_t wire =
        cloneRequestBytes + static_cast<std::int64_t>(sim.InformationReply().size()) +
        cloneRequestBytes + cloneDataFrameBytes(marloModel::cloneRange) + cloneEndFrameBytes;
    CompareCommands& compare = *program->controller->CompareCommands();
    for (auto _ : state) {
        timeOperation(state, wire, [&compare](std::function<void(int)> done) {
            return compare.CompareWithRadio(done);
        });
        state.counters["rows"] = compare.Window() != nullptr
                                     ? static_cast<double>(compare.Window()->Differences().size())
                                     : 0.0;
    }
}
void BM_WindowCloneWrite(benchmark::State& state) {
    clone(state, true);
}

BENCHMARK(BM_WindowCloneRead)->Apply(clonePacedRuns);
BENCHMARK(BM_WindowCloneWrite)->Apply(clonePacedRuns);
BENCHMARK(BM_WindowWriteChanges)->Apply(clonePacedRuns);
BENCHMARK(BM_WindowCompareWithRadio)->Apply(clonePacedRuns);

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    OverlayTexts overlay;
    overlay.SetFile(programDir() + "Marlo.OVL");
    OverlayTexts::SetApp(&overlay);
    Confirming prompter;
    Prompter* const previous = Prompter::Install(&prompter);
    auto state = std::make_unique<Program>();
    program = state.get();
    SettingsPlaces places;
    places.settingsFile = state->folder.filePath("Marlo.conf").toStdString();
    places.lockFolder = state->folder.path().toStdString();
    places.screen = ScreenSize{1024, 768};
    state->settings = std::make_unique<MarloSettings>(places);
    SettingsStore::SetApp(state->settings.get());
    NotificationHub::SetApp(&state->hub);
    state->controller = std::make_unique<RadioAppController>(std::vector<std::string>{"marlo"});
    state->form = std::make_unique<MainWindow>(*state->controller);
    state->window =
        std::make_unique<CloneWindowCommands>(*state->controller, state->controller->CellContext());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    state->window.reset();
    state->form.reset();
    state->controller.reset();
    state->hub.Shutdown();
    Prompter::Install(previous);
    NotificationHub::SetApp(nullptr);
    SettingsStore::SetApp(nullptr);
    OverlayTexts::SetApp(nullptr);
    return 0;
}
