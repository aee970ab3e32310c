#!/usr/bin/env bash
# marlo-clone fleet as the operator runs it, against marlo-radiosim on a paced
# pseudo-terminal: Ctrl+C (SIGINT) in the middle of the second radio's write.
# The run ends with 130, the log holds one complete record for each radio
# attempted (the interrupted one says so), and --from finishes the roster.
#   fleetInterrupt.sh BIN_DIR
set -uo pipefail
bin=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/marlo-fleet-interrupt.XXXXXX")
sim=
fleet=
cleanup() {
    [ -n "$fleet" ] && kill "$fleet" 2>/dev/null
    [ -n "$sim" ] && kill "$sim" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    for f in "$work"/out*.txt "$work/fleet.jsonl"; do
        [ -f "$f" ] && { echo "--- $f" >&2; cat "$f" >&2; }
    done
    exit 1
}
export XDG_CONFIG_HOME=$work/config
plan=$bin/Marlo_Variant0.vcf
mkdir -p "$work/backups"

# Paced so that a write lasts seconds: long enough to be interrupted in.
"$bin/marlo-radiosim" --image "$plan" --baud 230400 >"$work/device" 2>"$work/sim.txt" &
sim=$!
for _ in $(seq 100); do [ -s "$work/device" ] && break; sleep 0.1; done
device=$(head -n 1 "$work/device")
[ -n "$device" ] || fail "the simulator gave no device"

printf 'label,CloneComm,selcall.1.id\nUNIT-1,UNIT 1,1201\nUNIT-2,UNIT 2,1202\nUNIT-3,UNIT 3,1203\n' \
    >"$work/roster.csv"
runFleet() { # output file, then more options; the operator presses Enter for every radio
    local out=$1
    shift
    "$bin/marlo-clone" fleet "$plan" --roster "$work/roster.csv" \
        --device "$device" --variant 0 --backups "$work/backups" --log "$work/fleet.jsonl" \
        "$@" <"$work/enter" >"$out" 2>&1 &
    fleet=$!
}
# Waits for the fleet; its status and the log's record count must be as given.
expectEnd() { # status, records, what
    local status=0 records
    wait "$fleet" || status=$?
    fleet=
    [ "$status" -eq "$1" ] || fail "$3 ended with $status, not $1"
    records=$(wc -l <"$work/fleet.jsonl")
    [ "$records" -eq "$2" ] || fail "$3 left $records log records, not $2"
}

printf '\n\n\n\n' >"$work/enter"
runFleet "$work/out1.txt"
# The second radio's backup is saved when its read ends; its write follows.
for _ in $(seq 600); do
    compgen -G "$work/backups/UNIT-2-*.vcf" >/dev/null && break
    kill -0 "$fleet" 2>/dev/null || fail "the fleet ended before the second radio was read"
    sleep 0.1
done
compgen -G "$work/backups/UNIT-2-*.vcf" >/dev/null || fail "the second radio was never backed up"
sleep 1
kill -INT "$fleet"
expectEnd 130 2 "the interrupted fleet"
first=$(sed -n 1p "$work/fleet.jsonl")
second=$(sed -n 2p "$work/fleet.jsonl")
for field in time label radio firmware plan_sha256 image_sha256 backup result message; do
    grep -q "\"$field\":" <<<"$second" || fail "the interrupted record lacks $field: $second"
done
grep -q '"label":"UNIT-1".*"result":0,' <<<"$first" || fail "the first radio is not written: $first"
grep -q '"label":"UNIT-2".*"result":130,' <<<"$second" || fail "no interruption logged: $second"
grep -q 'interrupted; the radio.s memory may be incomplete' <<<"$second" ||
    fail "the record does not say the memory may be incomplete: $second"
grep -q '1 written, 1 failed, 1 skipped' "$work/out1.txt" || fail "no summary of the interrupted run"

runFleet "$work/out2.txt" --from UNIT-2
expectEnd 0 4 "the resumed fleet"
[ "$(sed -n 1p "$work/fleet.jsonl")" = "$first" ] && [ "$(sed -n 2p "$work/fleet.jsonl")" = "$second" ] ||
    fail "resuming rewrote earlier records"
grep -q '"label":"UNIT-2".*"result":0,' <(sed -n 3p "$work/fleet.jsonl") || fail "UNIT-2 not rewritten"
grep -q '"label":"UNIT-3".*"result":0,' <(sed -n 4p "$work/fleet.jsonl") || fail "UNIT-3 not written"
grep -q '2 written, 0 failed, 0 skipped' "$work/out2.txt" || fail "no summary of the resumed run"
echo "interrupted at UNIT-2 with 130; resumed with --from and finished"
