#!/bin/sh
# Runs test programs, each with the tests it names, in a temporary folder of
# their own: nothing may be left in it afterwards.
#   sh leftTemporaryFiles.sh PROGRAM FILTER [PROGRAM FILTER ...]
set -u
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
status=0
while [ $# -ge 2 ]; do
    if ! TMPDIR=$folder "$1" --gtest_filter="$2" >/dev/null 2>&1; then
        echo "$1 $2 failed"
        status=1
    fi
    shift 2
done
left=$(ls -A "$folder")
if [ -n "$left" ]; then
    echo "left in the temporary folder: $left"
    exit 1
fi
exit $status
