#pragma once

#include "clone/cloneFrames.h"
#include "core/modelIdentity.h"
#include "core/rangeList.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

using namespace marlo;

// Bytes a clone operation puts on the line, for comparing a paced run with the
// time its bytes need at the line's baud rate.
inline constexpr std::int64_t cloneRequestBytes =
    12 + 10; // extra preamble, then FE FE EE EF Ex v1 v2 FD
inline constexpr std::int64_t cloneEndFrameBytes = 17;   // FE FE xx xx E5 "Vexa Inc." nn FD
inline constexpr std::int64_t cloneWriteResultBytes = 7; // FE FE EF EE E6 00 FD

// Data frames over the ranges: 14 bytes of frame and two hex digits a data byte.
inline std::int64_t cloneDataFrameBytes(RangeList ranges) {
    std::int64_t bytes = 0;
    forEachRange(ranges, marloModel::imageSize, [&](std::int32_t first, std::int32_t last) {
        for (std::int32_t a = first; a <= last;) {
            const std::int32_t n = cloneFrame::BlockLength(a, last);
            bytes += 14 + 2 * n;
            a += n;
        }
    });
    return bytes;
}

// Reports one clone run: its time, and beside it, when the run was paced (the
// benchmark's argument is the baud rate), the time its bytes need on the line
// (10 bits a byte) and the ratio of the two. A run that did not end with code 0
// is an error, not a figure.
inline void reportCloneRun(benchmark::State& state, double seconds, int code,
                           std::int64_t wireBytes) {
    state.SetIterationTime(seconds);
    if (code != 0)
        state.SkipWithError(("clone ended with code " + std::to_string(code)).c_str());
    const auto baud = static_cast<double>(state.range(0));
    state.counters["wire_bytes"] = static_cast<double>(wireBytes);
    if (baud > 0) {
        const double wireSeconds = static_cast<double>(wireBytes) * 10.0 / baud;
        state.counters["wire_s"] = wireSeconds;
        state.counters["ratio"] = seconds / wireSeconds;
    }
}

// One unpaced run and one paced at 9600 baud, each timed by the run itself.
inline void clonePacedRuns(benchmark::internal::Benchmark* b) {
    b->Arg(0)->Arg(9600)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
}
