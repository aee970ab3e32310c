#!/usr/bin/env bash
# Runs one window test program on an X display of its own, as a person's desktop
# would have it: an Xvfb server (its number chosen by the server, so that tests
# run side by side) with a window manager, Qt on the xcb platform, and freed
# memory poisoned so that a use after free shows at once. Everything it starts
# goes when it ends, also when it is killed: the helpers die with their parent.
#
#   runOnX.sh PROGRAM [ARGUMENTS...]
#
# Listing the tests (--gtest_list_tests) needs no display.
set -uo pipefail

for arg in "$@"; do
    if [ "$arg" = --gtest_list_tests ]; then
        QT_QPA_PLATFORM=offscreen exec "$@"
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/marlo-x.XXXXXX")
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP

fail() {
    echo "runOnX: $*" >&2
    [ -s "$work/xvfb.log" ] && sed 's/^/runOnX: Xvfb: /' "$work/xvfb.log" >&2
    exit 125
}

waitFor() { # file, pid of its writer
    local i
    for ((i = 0; i < 400; ++i)); do
        [ -s "$1" ] && return 0
        kill -0 "$2" 2>/dev/null || return 1
        sleep 0.025
    done
    return 1
}

setpriv --pdeathsig KILL Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
waitFor "$work/display" "${pids[0]}" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

# The window manager says it is ready by running its startup command.
XDG_CONFIG_HOME=$work XDG_CACHE_HOME=$work setpriv --pdeathsig KILL \
    openbox --sm-disable --startup "sh -c 'echo up > $work/wm'" >"$work/wm.log" 2>&1 &
pids+=($!)
waitFor "$work/wm" "${pids[1]}" || fail "the window manager did not start"

export QT_QPA_PLATFORM=xcb
export MALLOC_PERTURB_=${MALLOC_PERTURB_:-165}
export MALLOC_CHECK_=${MALLOC_CHECK_:-3}
unset XDG_SESSION_TYPE WAYLAND_DISPLAY
HOME=$work setpriv --pdeathsig KILL "$@" &
pids+=($!)
wait "${pids[2]}"
status=$?
unset 'pids[2]'
exit $status
