#!/usr/bin/env bash
# Configures and builds into build/ (or $MARLO_BUILD_DIR) after installing what is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
source "$root/scripts/sanitizers.sh"
# Compiler cache entries keyed on paths relative to the checkout, so every clone on
# this machine reuses them.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
build=${MARLO_BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
