#!/usr/bin/env bash
# Writes the seed inputs of a fuzz target into a folder: the initial files of the
# installation and inputs as the tests write them.
#   bash fuzz/seeds.sh TARGET FOLDER
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=$1
out=$2
mkdir -p "$out"

# Bytes from a list of hex pairs: bytes FE FE EF EE E1 ...
bytes() { printf "$(printf '\\x%s' "$@")"; }

# A data frame from the radio: address, data bytes (hex pairs), with its checksum.
dataFrame() {
    local address=$1; shift
    local n=$# sum=$(( (address >> 8) + (address & 0xFF) + $# ))
    local d payload
    payload=$(printf '%04X%02X' "$address" "$n")
    for d in "$@"; do
        payload+=$d
        sum=$((sum + 16#$d))
    done
    payload+=$(printf '%02X' $(( (256 - sum % 256) % 256 )))
    bytes FE FE EF EE E4
    printf '%s' "$payload"
    bytes FD
}

endFrame() { bytes FE FE EF EE E5; printf 'Vexa Inc.%s' "$1"; bytes FD; }

case $target in
clonefile)
    cp "$root"/data/Marlo_Variant0.vcf "$root"/data/Marlo_Variant1.vcf "$out"/
    # The start of a file: the header and the first records.
    head -c 2000 "$root/data/Marlo_Variant0.vcf" > "$out/head.vcf"
    ;;
overlay)
    # One seed per sheet the overlay names: the cell models, the sheet's entries
    # and the end marker; and the first entries of the file.
    awk -v out="$out" '
        /^#/ { key = substr($0, 2); sub(/\r$/, "", key) }
        { text[key] = text[key] $0 "\n"; if (!(key in seen)) { seen[key] = 1; order[++n] = key } }
        END {
            models = ""
            for (i = 1; i <= n; ++i) if (order[i] ~ /^CellModel_/) models = models text[order[i]]
            for (i = 1; i <= n; ++i) {
                k = order[i]
                if (k !~ /_Cells$/) continue
                s = substr(k, 1, length(k) - 6)
                f = out "/sheet-" s ".ovl"
                printf "%s%s%s%s#End_Of_Ovl\n", models, text[s "_Style"], text[s "_BasicCell"], text[k] > f
                close(f)
            }
            f = out "/head.ovl"
            for (i = 1; i <= 12; ++i) printf "%s", text[order[i]] > f
            print "#End_Of_Ovl" > f
        }' "$root/data/Marlo.OVL"
    ;;
settings)
    printf '%s\n' '[Global]' 'BBT=753951' 'ComPort=3' 'Current%20Directory=/home/u/radio' '' \
        '[Recent%20File%20List]' 'Recent0=/home/u/radio/a.vcf' 'Recent1=/home/u/b.vcf' 'Recent2=' '' \
        '[View%20Option]' 'FontSize%20Percentage=150' 'Toolbar%20Visible=0' '' \
        '[Window%20Position]' 'Left=-20' 'Top=30' 'Width=900' 'Height=700' 'SplitterV=250' '' \
        '[Setup]' 'ModelType=1' '' \
        '[Ports]' 'Port5=/dev/serial/by-id/usb-cable' 'Port7=' 'Port2=3' > "$out/valid.conf"
    printf '\x01\x02\xff garbage ===\n[[[\nno equals here\n=\n[Global\nBBT' > "$out/garbage.conf"
    ;;
cloneengine)
    # First byte: operation (0 information, 1 read, 2 write), 4 = the echo comes
    # first; second byte: the address list. Then what the radio sends.
    { bytes 04 00; bytes FE FE EF EE E1 26 20 00 01 03 41 42 FD; } > "$out/information"
    { bytes 04 00; bytes 00 41 FD 13 FE FE EF EE E6 00 FD FE FE EF EE E1 26 20 00 01 FD; } \
        > "$out/information-noise"
    { bytes 05 00
      dataFrame $((0x02B0)) 06 10 FF 00 00 00 00 00 00 00 00 00 00 00 00 00
      dataFrame $((0x02C0)) 00 00 00 00 00 00 00 FF
      endFrame 02; } > "$out/read"
    { bytes 05 01
      dataFrame 0 01 02 03 04
      dataFrame $((0x15)) 01 02 03 04 05 06 07 08 09 0A 0B
      dataFrame $((0x20)) 01 02 03
      endFrame 03; } > "$out/read-two-blocks"
    { bytes 05 01
      dataFrame 0 01 02 03 04
      endFrame 01; } > "$out/read-block-missing"
    { bytes 06 03; bytes FE FE EF EE E6 00 FD; } > "$out/write"
    { bytes 06 04; bytes FE FE EF EE E6 01 FD; } > "$out/write-refused"
    ;;
celltext)
    # First byte: the cell (one of each kind, in the order of the cell table);
    # second: bit 0 expert mode, bit 1 model variant 1, bit 2 every list full,
    # bit 3 a pick (the third byte the item). Then the typed text.
    texts=("7.1" "14100.5" "30000000" "-1" "12" "GOLF" "ab12" "On" "3" "0012345678" "" "1.6")
    for cell in $(seq 0 39); do
        text=${texts[$((cell % ${#texts[@]}))]}
        { printf "$(printf '\\x%02x' "$cell")"; bytes 01; printf '%s' "$text"; } > "$out/cell$cell"
        { printf "$(printf '\\x%02x' "$cell")"; bytes 05; printf '%s' "$text"; } > "$out/full$cell"
        { printf "$(printf '\\x%02x' "$cell")"; bytes 0d 02; } > "$out/pick$cell"
    done
    ;;
clonestates)
    # First byte: the operation (0 information, 1 read, 2 write) and, times 4, the
    # address list (0 the whole clone range). Then 4-byte steps of the radio.
    bytes 00 > "$out/information"
    bytes 05 > "$out/read-one-block"
    bytes 06 > "$out/write-one-block"
    bytes 01 00 00 00 00 > "$out/read-clone-range"
    bytes 02 00 00 00 00 > "$out/write-clone-range"
    bytes 09 00 80 00 00 > "$out/read-late"
    bytes 0a 01 00 40 08 > "$out/write-answer-spoiled"
    bytes 0d 02 00 90 00 > "$out/read-cut"
    bytes 0e 06 00 30 41 > "$out/write-echo-altered"
    bytes 0d 07 00 10 00 > "$out/read-cable-pulled"
    { bytes 0e 05 00 00 08; bytes FE FE EF EE E6 01 FD 00; } > "$out/write-refused-first"
    { bytes 06 00 00 00 00 03 00 00 07; bytes FE FE EF EE E6 01 FD; } > "$out/write-refused"
    ;;
csv)
    # First byte: bits 0..2 the list (channels, selcall, ale, phone, modes, edges,
    # settings), 8 the full document, 16 variant 1, 32 expert mode, 64 the list's
    # own export with the record numbered by the second byte replaced by the rest,
    # 128 that export in ';' form. Otherwise the rest of the input is the table.
    tables=("slot,number,rx_khz,tx_khz,mode,name,call,ale\n1,5,7053.4,<-,J3E,HARBOUR,Voice,\n"
        "slot,id,name,channels_1\n1,123,\"BASE, NORTH\",5-9\n"
        "slot,address,idn,channels_1,slot_time\n1,ST1,NET,1-3,5\n"
        "slot;number;name\n1;0800123;OFFICE\n"
        "slot,mode,indication,use\n3,AM,A3E,Disabled\n"
        "range;low_khz;high_khz\nrx;1600;29999,9\ntx1;1800;2000\n"
        "setting,value\nTxPwrSel,Low\nIdLength,4 digits\n")
    lines=("2,77,7050.0,<-,J3E,NEW,Voice,-----,Group 1,Auto,Editable" "2,4567,TWO,1-9,,,,"
        "2,ST2,,2-4,,,,,10" "2,0612345,HOME" "3,AM,A3E,Disabled" "tx2,3000,3500" "TxPwrSel,Medium")
    for list in 0 1 2 3 4 5 6; do
        for doc in 0 8 56; do
            { printf "$(printf '\\x%02x' $((list | doc)))"; printf "${tables[$list]}"; } \
                > "$out/table$list-$doc"
            for sep in 64 192; do
                { printf "$(printf '\\x%02x' $((list | doc | sep)))"; bytes 02
                  printf '%s' "${lines[$list]}"; } > "$out/patch$list-$doc-$sep"
            done
        done
    done
    ;;
*)
    echo "unknown fuzz target: $target" >&2
    exit 64
    ;;
esac
