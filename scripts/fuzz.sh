#!/usr/bin/env bash
# Builds the fuzz targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) and
# runs each for SECONDS (default 60), one after the other, or only the targets named.
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Each target starts from its corpus (fuzz/corpus/TARGET) and its seeds (the initial
# files, test inputs); new inputs that reach new code are merged into the corpus.
# An input that crashes, hangs (10 s), leaks or runs out of memory is kept in
# fuzz/regressions/TARGET, which the test command replays on every run; the script
# then fails. With MARLO_FUZZ_KEEP_GOING=1 a target runs on after a fault (for long
# campaigns). The build lands in build-fuzz/; MARLO_FUZZ_BUILD_DIR names another
# folder, for example one configured with tests as well, which is used as it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(clonefile overlay settings cloneengine clonestates celltext csv)
build=${MARLO_FUZZ_BUILD_DIR:-$root/build-fuzz}

bash "$root/scripts/deps.sh" fuzz
# Leaks are faults; UndefinedBehaviorSanitizer findings end the run like crashes.
source "$root/scripts/sanitizers.sh"
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
        -DMARLO_FUZZ=ON -DMARLO_BUILD_TESTS=OFF -DMARLO_BUILD_BENCH=OFF >/dev/null
elif ! grep -q '^MARLO_FUZZ:BOOL=ON' "$build/CMakeCache.txt"; then
    echo "$build is not configured with -DMARLO_FUZZ=ON" >&2
    exit 1
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
keepGoing=()
[ "${MARLO_FUZZ_KEEP_GOING:-0}" = 1 ] &&
    keepGoing=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)

failed=()
for t in "${targets[@]}"; do
    corpus=$root/fuzz/corpus/$t
    regressions=$root/fuzz/regressions/$t
    work=$(mktemp -d "${TMPDIR:-/tmp}/marlo-fuzz-$t.XXXXXX")
    mkdir -p "$corpus" "$regressions" "$work/new" "$work/seeds" "$work/found"
    bash "$root/fuzz/seeds.sh" "$t" "$work/seeds"
    echo "== $t: ${seconds} s" >&2
    status=0
    # New inputs go to the scratch corpus first; the merge below keeps only those
    # that add coverage to the kept corpus.
    "$build/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 "${keepGoing[@]}" \
        -artifact_prefix="$work/found/" "$work/new" "$corpus" "$work/seeds" || status=$?
    "$build/bin/fuzz_$t" -merge=1 "$corpus" "$work/new" "$work/seeds" >/dev/null 2>&1 || true
    found=$(find "$work/found" -type f | wc -l)
    if [ "$found" -gt 0 ]; then
        cp "$work/found"/* "$regressions"/
        echo "== $t: $found fault(s) kept in fuzz/regressions/$t" >&2
        failed+=("$t")
    elif [ "$status" -ne 0 ]; then
        echo "== $t: the fuzzer ended with status $status" >&2
        failed+=("$t")
    fi
    rm -rf "$work"
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz faults in: ${failed[*]}" >&2
    exit 1
fi
