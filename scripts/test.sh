#!/usr/bin/env bash
# Builds everything and runs every test headless; arguments go to cmake
# (for example -DMARLO_SANITIZE=ON).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MARLO_BUILD_DIR:-$root/build}
MARLO_BUILD_DIR=$build bash "$root/scripts/build.sh" "$@"
source "$root/scripts/sanitizers.sh"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" --timeout 300
