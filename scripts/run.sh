#!/usr/bin/env bash
# Builds marlo and starts it with any arguments given (for example /expert).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MARLO_BUILD_DIR:-$root/build}
MARLO_BUILD_DIR=$build bash "$root/scripts/build.sh"
exec "$build/bin/marlo" "$@"
