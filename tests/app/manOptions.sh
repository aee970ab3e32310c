#!/usr/bin/env bash
# Every option the programs' help names is in their manual page, and every option
# the manual page names is in the help: marlo --help against marlo.1.scd, and
# marlo-clone --help with each COMMAND --help against marlo-clone.1.scd.
#   manOptions.sh BIN_DIR DOC_DIR
set -uo pipefail
bin=$1
doc=$2
status=0

# Options of help text on stdin: --word, -x and /word at the start of a word.
helpOptions() {
    grep -oE '(^|[[ |,])(--[a-z][a-z-]*|-[a-zA-Z]|/[a-z]+)\b' | grep -oE '(--[a-z][a-z-]*|-[a-zA-Z]|/[a-z]+)$' |
        grep -vE '^/(dev|usr|serial)$' | sort -u
}
# Options of a manual page source: the bold words that are options.
manOptions() {
    grep -oE '\*(--[a-z][a-z-]*|-[a-zA-Z]|/[a-z]+)\*' "$1" | tr -d '*' | sort -u
}

compare() {
    local name=$1 help=$2 man=$3
    if [ -z "$help" ]; then
        echo "$name: the help names no option" >&2
        status=1
        return
    fi
    local missing extra
    missing=$(comm -23 <(echo "$help") <(echo "$man"))
    extra=$(comm -13 <(echo "$help") <(echo "$man"))
    [ -z "$missing" ] || { echo "$name: in --help, not in the manual page:" $missing >&2; status=1; }
    [ -z "$extra" ] || { echo "$name: in the manual page, not in --help:" $extra >&2; status=1; }
}

compare marlo "$("$bin/marlo" --help | helpOptions)" "$(manOptions "$doc/marlo.1.scd")"

cloneHelp=$("$bin/marlo-clone" --help) || { echo "marlo-clone --help failed" >&2; exit 1; }
all=$(echo "$cloneHelp" | helpOptions)
for command in $(echo "$cloneHelp" | sed -nE 's/^  marlo-clone ([a-z]+) .*/\1/p'); do
    all+=$'\n'$("$bin/marlo-clone" "$command" --help | helpOptions)
    grep -q "^\*marlo-clone\* \*$command\*" "$doc/marlo-clone.1.scd" ||
        { echo "marlo-clone: command $command is not in the manual page's synopsis" >&2; status=1; }
done
compare marlo-clone "$(echo "$all" | sort -u)" "$(manOptions "$doc/marlo-clone.1.scd")"
((status == 0)) && echo "every option is in both the help and the manual page"
exit $status
