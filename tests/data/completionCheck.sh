#!/usr/bin/env bash
# marlo-clone's bash completion, as Tab asks it: each line of the table is the
# command line so far and a word the answers must (or, with !, must not) hold.
#   completionCheck.sh COMPLETION_FILE BIN_DIR
set -uo pipefail
source "$1"
export PATH=$2:$PATH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch radio.vcf table.csv notes.txt
mkdir saved
status=0
while IFS='|' read -r line expect; do
    read -ra COMP_WORDS <<<"$line"
    [[ $line == *' ' ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _marlo_clone 2>/dev/null
    answers=" ${COMPREPLY[*]} "
    if [[ $expect == !* ]]; then
        [[ $answers != *" ${expect#!} "* ]] && continue
    else
        [[ $answers == *" $expect "* ]] && continue
    fi
    echo "'$line': expected ${expect}, got:$answers" >&2
    status=1
done <<'TABLE'
marlo-clone |check
marlo-clone |--version
marlo-clone wr|write
marlo-clone write --|--verify
marlo-clone write --|!--list
marlo-clone import radio.vcf --|--expert
marlo-clone export radio.vcf --list |channels
marlo-clone export radio.vcf --list se|settings
marlo-clone info --variant |1
marlo-clone check |radio.vcf
marlo-clone check |saved/
marlo-clone check |!notes.txt
marlo-clone import radio.vcf --list channels |table.csv
marlo-clone import radio.vcf --list channels |!radio.vcf
marlo-clone export radio.vcf -o |table.csv
marlo-clone diff radio.vcf --|--radio
marlo-clone diff radio.vcf --radio --|--device
TABLE
((status == 0)) && echo "completion answers as expected"
exit $status
