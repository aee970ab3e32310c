#!/usr/bin/env bash
# Times marlo-clone fleet against the simulated radio paced at 9600 baud: five radios
# (each backed up, then written), then single `write --backup` and `write` runs of the
# same plan for comparison. Each paced transfer takes about 80 s.
#
# usage: scripts/measure-fleet.sh [RADIOS [SINGLES]]   (defaults 5 and 5)
# The build folder is build/ or $MARLO_BUILD_DIR.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${MARLO_BUILD_DIR:-$root/build}/bin
radios=${1:-5}
singles=${2:-5}
work=$(mktemp -d)
trap 'kill "$sim" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
plan=$bin/Marlo_Variant0.vcf

"$bin/marlo-radiosim" --image "$plan" --baud 9600 >"$work/device" 2>/dev/null &
sim=$!
for _ in $(seq 50); do [ -s "$work/device" ] && break; sleep 0.1; done
device=$(head -n 1 "$work/device")

{
    echo "label,CloneComm,selcall.1.id"
    for k in $(seq "$radios"); do echo "UNIT-$k,UNIT $k,120$k"; done
} >"$work/roster.csv"

elapsed() { # command...; prints the seconds it took
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

fleet=$(elapsed bash -c "yes '' | head -n $radios | '$bin/marlo-clone' fleet '$plan' \
    --roster '$work/roster.csv' --device '$device' --variant 0 --backups '$work'")
echo "fleet of $radios radios (backup + write each): ${fleet} s"
total=0
for k in $(seq "$singles"); do
    t=$(elapsed "$bin/marlo-clone" write --device "$device" --variant 0 \
        --backup "$work/single$k.vcf" "$plan")
    total=$(echo "$total + $t" | bc)
done
echo "$singles single write --backup: ${total} s"
total=0
for k in $(seq "$singles"); do
    t=$(elapsed "$bin/marlo-clone" write --device "$device" --variant 0 "$plan")
    total=$(echo "$total + $t" | bc)
done
echo "$singles single write: ${total} s"
