#!/usr/bin/env bash
# Builds the two Debian packages, installs them on this machine, runs the installed
# programs, removes the packages and checks that none of their files is left.
# Needs root (or sudo) for apt-get; refuses when either package is installed already,
# so that it never removes a copy someone installed on purpose.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MARLO_BUILD_DIR:-$root/build}
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

for p in marlo marlo-clone; do
    if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        echo "package-check: $p is installed already; remove it first" >&2
        exit 1
    fi
done

bash "$root/scripts/deps.sh" package
MARLO_BUILD_DIR=$build bash "$root/scripts/build.sh"
rm -f "$build"/marlo*.deb
cmake --build "$build" --target package >/dev/null
debs=("$build"/marlo_*.deb "$build"/marlo-clone_*.deb)
for deb in "${debs[@]}"; do
    [ -f "$deb" ] || { echo "package-check: $deb was not made" >&2; exit 1; }
done
lintian --fail-on error "${debs[@]}"

work=$(mktemp -d "${TMPDIR:-/tmp}/marlo-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
files="$work/files"
for deb in "${debs[@]}"; do
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}' >>"$files"
done

export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y -q --no-install-recommends "${debs[@]}" >/dev/null
removePackages() { $sudo apt-get purge -y -q marlo marlo-clone >/dev/null; }
trap 'removePackages; rm -rf "$work"' EXIT

# The installed programs, with a home of their own.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
/usr/bin/marlo-clone --version | grep -qx "marlo-clone [0-9.]*"
/usr/bin/marlo --version | grep -qx "marlo [0-9.]*"
/usr/bin/marlo-clone check /usr/share/marlo/Marlo_Variant0.vcf
/usr/bin/marlo-clone check /usr/share/marlo/Marlo_Variant1.vcf
man -w marlo marlo-clone >/dev/null

# marlo says on stderr when its window stands (the test hook's answer); then it is
# ended as a closed terminal would end it.
QT_QPA_PLATFORM=offscreen MARLO_TEST_EDIT=none /usr/bin/marlo 2>"$work/marlo.err" &
pid=$!
for _ in $(seq 100); do
    grep -q "test edit ignored" "$work/marlo.err" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
done
if ! grep -q "test edit ignored" "$work/marlo.err"; then
    kill "$pid" 2>/dev/null || true
    echo "package-check: the installed marlo did not start:" >&2
    cat "$work/marlo.err" >&2
    exit 1
fi
kill -TERM "$pid"
wait "$pid" || true

removePackages
trap 'rm -rf "$work"' EXIT
left=0
while read -r f; do
    if [ -e "$f" ]; then
        echo "package-check: left behind: $f" >&2
        left=1
    fi
done <"$files"
[ -e /usr/share/marlo ] && { echo "package-check: left behind: /usr/share/marlo" >&2; left=1; }
[ "$left" -eq 0 ] || exit 1
echo "package-check: both packages install, run and go without a trace"
