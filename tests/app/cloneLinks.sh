#!/usr/bin/env bash
# marlo-clone runs on machines without a desktop stack: it must not load the
# widget, printing or SVG modules. Fails when it does, or when ldd cannot tell.
set -uo pipefail
program=$1
libs=$(ldd "$program") || { echo "ldd failed on $program" >&2; exit 1; }
grep -q 'libQt6Core' <<<"$libs" || { echo "no Qt found in ldd output of $program" >&2; exit 1; }
found=$(grep -oE 'libQt6(Widgets|PrintSupport|Svg)[^ ]*' <<<"$libs")
if [ -n "$found" ]; then
    echo "$program loads: $found" >&2
    exit 1
fi
echo "$program: no widget, printing or SVG modules"
