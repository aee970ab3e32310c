#!/usr/bin/env bash
# Times marlo-clone fleet against the simulated radio paced at 9600 baud: RADIOS
# radios (each backed up, then written), then SINGLES single `write --backup` and
# SINGLES single `write` runs of the same plan for comparison. Every run gets a
# fresh simulator holding the initial file, so no run starts from what an
# earlier one left; every run must succeed, or the script stops with its output.
# Each paced transfer takes about 80 s.
#
# usage: scripts/measure-fleet.sh [RADIOS [SINGLES]]   (defaults 5 and 5)
# The build folder is build/ or $MARLO_BUILD_DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${MARLO_BUILD_DIR:-$root/build}/bin
radios=${1:-5}
singles=${2:-5}
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
plan=$bin/Marlo_Variant0.vcf

# Starts a simulator of its own for the next run; sets $device.
startSim() {
    stopSim
    rm -f "$work/device"
    "$bin/marlo-radiosim" --image "$plan" --baud 9600 >"$work/device" 2>"$work/sim.txt" &
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

startSim
fleet=$(elapsed bash -c "'$bin/marlo-clone' fleet '$plan' --roster '$work/roster.csv' \
    --device '$device' --variant 0 --backups '$work' --log '$work/fleet.jsonl' <'$work/enter'")
written=$(grep -c '"result":0,' "$work/fleet.jsonl")
if [ "$written" -ne "$radios" ]; then
    echo "the fleet wrote $written of $radios radios" >&2
    cat "$work/fleet.jsonl" >&2
    exit 1
fi
echo "fleet of $radios radios (backup + write each): ${fleet} s"

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
