#!/usr/bin/env bash
# Times marlo-clone fleet against the simulated radio paced at 9600 baud. The plan
# is the initial file with 200 channels. The cases:
#   fleet    RADIOS radios in one fleet run (each backed up, then written in full)
#   changes  RADIOS radios with --changes-only, one `fleet --next LABEL` run each
#            against a radio that already holds the plan with three channels of
#            its own and none of its row's fields, so a few blocks differ
#   singles  SINGLES single `write --backup` and SINGLES single `write` runs
# Every run gets a fresh simulator (the fleet case one for the whole run), so no
# run starts from what an earlier one left; every run must succeed, or the
# script stops with its output. Each paced transfer takes about 80 s.
#
# usage: scripts/measure-fleet.sh [RADIOS [SINGLES [CASES]]]
#        (defaults 5, 5 and fleet,changes,singles)
# The build folder is build/ or $MARLO_BUILD_DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${MARLO_BUILD_DIR:-$root/build}/bin
radios=${1:-5}
singles=${2:-5}
cases=${3:-fleet,changes,singles}
work=$(mktemp -d)
sim=
stopSim() {
    if [ -n "$sim" ]; then
        kill "$sim" 2>/dev/null || true
        wait "$sim" 2>/dev/null || true
        sim=
    fi
}
trap 'stopSim; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
plan=$work/plan.vcf

# Channel slots FIRST.. COUNT of them as CSV; the frequencies start at KHZ.
channels() { # first count khz
    echo "slot,number,rx_khz,tx_khz"
    for i in $(seq 0 $(($2 - 1))); do
        echo "$(($1 + i)),$(($1 + i)),$(($3 + 50 * i)),$(($3 + 50 * i))"
    done
}
channels 1 200 3000 >"$work/plan.csv"
"$bin/marlo-clone" import "$bin/Marlo_Variant0.vcf" --list channels "$work/plan.csv" -o "$plan"

# Starts a simulator of its own for the next run, holding IMAGE (default: the
# plan); sets $device.
startSim() {
    stopSim
    rm -f "$work/device"
    "$bin/marlo-radiosim" --image "${1:-$plan}" --baud 9600 >"$work/device" 2>"$work/sim.txt" &
    sim=$!
    for _ in $(seq 100); do [ -s "$work/device" ] && break; sleep 0.1; done
    device=$(head -n 1 "$work/device")
    if [ -z "$device" ]; then
        echo "the simulator did not start:" >&2
        cat "$work/sim.txt" >&2
        exit 1
    fi
}

# Runs the command; prints the seconds it took, or stops the script with its output.
elapsed() {
    local start end status=0
    start=$(date +%s.%N)
    "$@" >"$work/run.txt" 2>&1 </dev/null || status=$?
    end=$(date +%s.%N)
    if [ "$status" -ne 0 ]; then
        echo "failed with $status: $*" >&2
        cat "$work/run.txt" >&2
        exit 1
    fi
    echo "$end - $start" | bc
}

{
    echo "label,CloneComm,selcall.1.id"
    for k in $(seq "$radios"); do echo "UNIT-$k,UNIT $k,120$k"; done
} >"$work/roster.csv"
for k in $(seq "$radios"); do echo; done >"$work/enter"

has() { [[ ",$cases," == *",$1,"* ]]; }

# The number of records of the log with result 0; all RADIOS, or the script stops.
expectWritten() {
    local written
    written=$(grep -c '"result":0,' "$work/fleet.jsonl" || true)
    if [ "$written" -ne "$radios" ]; then
        echo "the fleet wrote $written of $radios radios" >&2
        cat "$work/fleet.jsonl" >&2
        exit 1
    fi
}

if has fleet; then
    rm -f "$work/fleet.jsonl"
    startSim
    fleet=$(elapsed bash -c "'$bin/marlo-clone' fleet '$plan' --roster '$work/roster.csv' \
        --device '$device' --variant 0 --backups '$work' --log '$work/fleet.jsonl' <'$work/enter'")
    expectWritten
    echo "fleet of $radios radios (backup + write each): ${fleet} s"
fi

if has changes; then
    rm -f "$work/fleet.jsonl"
    total=0
    for k in $(seq "$radios"); do
        # The import replaces the whole list: the plan's table with three rows changed.
        channels 1 200 3000 | awk -F, -v OFS=, -v a=$((30 * k)) \
            'NR > 1 && $1 >= a && $1 < a + 3 { $3 = $4 = 14000 + 50 * ($1 - a) } 1' \
            >"$work/own$k.csv"
        "$bin/marlo-clone" import "$plan" --list channels "$work/own$k.csv" -o "$work/own$k.vcf"
        startSim "$work/own$k.vcf"
        t=$(elapsed bash -c "echo | '$bin/marlo-clone' fleet '$plan' --roster '$work/roster.csv' \
            --device '$device' --variant 0 --backups '$work' --log '$work/fleet.jsonl' \
            --changes-only --next UNIT-$k")
        total=$(echo "$total + $t" | bc)
    done
    expectWritten
    sent=$(sed -n 's/.*"blocks":\([0-9]*\),"bytes":\([0-9]*\)}$/\1 blocks, \2 bytes/p' \
        "$work/fleet.jsonl" | paste -sd ';')
    echo "fleet --changes-only of $radios radios (backup + changed blocks each): ${total} s"
    echo "  sent: $sent"
fi

if has singles; then
    total=0
    for k in $(seq "$singles"); do
        startSim
        t=$(elapsed "$bin/marlo-clone" write --device "$device" --variant 0 \
            --backup "$work/single$k.vcf" "$plan")
        total=$(echo "$total + $t" | bc)
    done
    echo "$singles single write --backup: ${total} s"

    total=0
    for k in $(seq "$singles"); do
        startSim
        t=$(elapsed "$bin/marlo-clone" write --device "$device" --variant 0 "$plan")
        total=$(echo "$total + $t" | bc)
    done
    echo "$singles single write: ${total} s"
fi
