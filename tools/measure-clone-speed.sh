#!/usr/bin/env bash
# Measures a full clone read and a full clone write through the simulated radio,
# unpaced and paced at 9600 baud (the paced runs take about 80 s each). For each
# run it prints the time taken, the bytes on the line and, when paced, the time
# those bytes need at 9600 baud (wire_s) and the ratio of the two. The engine
# keeps the line busy when the ratio stays within 1.05.
#
# usage: tools/measure-clone-speed.sh [benchmark options]
#   e.g. tools/measure-clone-speed.sh --benchmark_filter=/9600
# The build folder is build/ or $MARLO_BUILD_DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MARLO_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -DMARLO_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target bench_clonespeed -j2 >/dev/null
exec "$build/bin/bench_clonespeed" --benchmark_counters_tabular=true "$@"
