#!/usr/bin/env bash
# Runs a window test program (through runOnX.sh) as on a desktop where a screen
# reader listens: a session bus of its own with the accessibility bus launcher
# on it, so that Qt's bridge comes up and reports what the window does.
#
#   withAccessBus.sh PROGRAM [ARGUMENTS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)

for arg in "$@"; do
    if [ "$arg" = --gtest_list_tests ]; then
        exec "$here/runOnX.sh" "$@"
    fi
done

launcher=/usr/libexec/at-spi-bus-launcher
if ! command -v dbus-run-session >/dev/null || [ ! -x "$launcher" ]; then
    echo "withAccessBus: needs dbus-run-session and $launcher (scripts/deps.sh)" >&2
    exit 125
fi

# The launcher keeps its socket under the runtime folder: one of our own.
work=$(mktemp -d "${TMPDIR:-/tmp}/marlo-a11y.XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# The launcher dies with the session, and is stopped first when the test ends.
dbus-run-session -- bash -c '
    "$0" --launch-immediately >/dev/null 2>&1 &
    launcher=$!
    "$@"
    status=$?
    kill "$launcher" 2>/dev/null
    wait "$launcher" 2>/dev/null
    exit $status
' "$launcher" "$here/runOnX.sh" "$@"
