#!/usr/bin/env bash
# Runs one window test N times, each in a process of its own, and counts how
# the runs ended: passed, failed (the pick did nothing or the wrong thing) or
# crashed (killed by a signal). For measuring a flaky fault, not for CI.
#
#   pickTally.sh BUILD_DIR COUNT GTEST_FILTER
set -uo pipefail
build=$1 count=$2 filter=$3
here=$(cd "$(dirname "$0")" && pwd)
passed=0 failed=0 crashed=0
for ((i = 0; i < count; ++i)); do
    "$here/runOnX.sh" "$build/bin/test_window" --gtest_filter="$filter" >/dev/null 2>&1
    status=$?
    if [ $status -eq 0 ]; then
        passed=$((passed + 1))
    elif [ $status -gt 128 ]; then
        crashed=$((crashed + 1))
    else
        failed=$((failed + 1))
    fi
done
echo "$filter: $count runs: $passed passed, $failed failed, $crashed crashed"
