#!/usr/bin/env bash
# Checks that every folder includes only the folders before it in the layer
# order; tools/, tests/, bench/ and fuzz/ may use any. Prints each include that
# goes the wrong way as FILE:LINE and exits 1 when there is one.
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
layers=(platform overlay core sheets radio clone exchange document cli views print main app)

rank() {
    local i
    for i in "${!layers[@]}"; do
        [[ ${layers[$i]} == "$1" ]] && { echo "$i"; return; }
    done
    echo -1
}

status=0
for i in "${!layers[@]}"; do
    folder=${layers[$i]}
    [[ -d $root/$folder ]] || continue
    while IFS=: read -r file line text; do
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
        r=$(rank "$target")
        if ((r > i)); then
            echo "${file#"$root"/}:$line: $folder/ includes $target/, which comes after it: $text"
            status=1
        fi
    done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$root/$folder")
done
((status == 0)) && echo "layers: every include goes down"
exit $status
