// A full clone read and a full clone write against the simulated radio on a
// pseudo-terminal, unpaced and paced at 9600 baud. Beside the time taken, each
// run reports the time its bytes need on the line (both directions, an echoed
// byte once, 10 bits a byte) and the ratio of the two: at 9600 baud the engine
// should keep the line busy, so the ratio stays close to 1.
#include "clonePacedRun.h"

#include "clone/cloneFrames.h"
#include "clone/cloneProtocol.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "tools/radiosim/radioSim.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <benchmark/benchmark.h>

#include <array>

using namespace marlo;

namespace {

constexpr std::array<AddressRange, 3> writeRanges{{{0x02B0, 0x6C19}, {0x6C25, 0x6C3F}, kRangeEnd}};

struct Run {
    double seconds = 0;
    int code = -1;
};

void finished(void* context, CloneResult& result) {
    auto* run = static_cast<std::pair<Run*, QEventLoop*>*>(context);
    run->first->code = result.code;
    run->second->quit();
}

Run clone(bool write, unsigned baud) {
    MemoryImage image;
    image.Resize(marloModel::imageSize);
    for (std::int32_t a = 0; a < image.Size(); ++a)
        image.SetByte(a, static_cast<std::uint8_t>(a * 13 + 5));
    RadioSim sim;
    sim.SetBaud(baud);
    Run run;
    if (!sim.Start())
        return run;
    CloneProtocol drv;
    drv.PrepareDevice(sim.DevicePath());
    drv.SetIdentification(marloModel::modelCodeFirst, 0);
    drv.SetImageSize(marloModel::imageSize);

    QEventLoop loop;
    std::pair<Run*, QEventLoop*> context{&run, &loop};
    QElapsedTimer clock;
    clock.start();
    const bool started = write ? drv.StartWrite(image, writeRanges, &finished, &context)
                               : drv.StartRead(marloModel::cloneRange, &finished, &context);
    if (started)
        loop.exec();
    run.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    return run;
}

void BM_CloneRead(benchmark::State& state) {
    const std::int64_t wire =
        cloneRequestBytes + cloneDataFrameBytes(marloModel::cloneRange) + cloneEndFrameBytes;
    for (auto _ : state) {
        const Run run = clone(false, static_cast<unsigned>(state.range(0)));
        reportCloneRun(state, run.seconds, run.code, wire);
    }
}

void BM_CloneWrite(benchmark::State& state) {
    const std::int64_t wire = cloneRequestBytes + cloneDataFrameBytes(writeRanges) +
                              cloneEndFrameBytes + cloneWriteResultBytes;
    for (auto _ : state) {
        const Run run = clone(true, static_cast<unsigned>(state.range(0)));
        reportCloneRun(state, run.seconds, run.code, wire);
    }
}

BENCHMARK(BM_CloneRead)->Apply(clonePacedRuns);
BENCHMARK(BM_CloneWrite)->Apply(clonePacedRuns);

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
