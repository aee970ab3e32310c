#!/usr/bin/env bash
# Installs the build folder $1 into a temporary prefix and runs the installed
# marlo-clone there, from another folder, on an installed initial file: the
# programs must find their files under the prefix's share/marlo/.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/marlo bin/marlo-clone share/marlo/Marlo.OVL share/marlo/Marlo.html \
         share/marlo/Marlo_Variant0.vcf share/marlo/Marlo_Variant1.vcf \
         share/applications/marlo.desktop share/icons/hicolor/scalable/apps/marlo.svg; do
  [ -f "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
[ ! -e "$prefix/bin/Marlo.OVL" ] || { echo "the overlay was installed beside the programs" >&2; exit 1; }

cd /
for v in 0 1; do
  "$prefix/bin/marlo-clone" check "$prefix/share/marlo/Marlo_Variant$v.vcf"
done

# The installed program starts and stays up (a missing file would end it with
# status 3 at once); its settings go to a home of its own under the prefix.
home=$prefix/home
mkdir -m 700 "$home"
status=0
HOME=$home XDG_RUNTIME_DIR=$home QT_QPA_PLATFORM=offscreen timeout 5 "$prefix/bin/marlo" \
  2>/dev/null || status=$?
[ "$status" -eq 124 ] || { echo "installed marlo ended with status $status" >&2; exit 1; }

desktop=$prefix/share/applications/marlo.desktop
grep -qx 'Exec=marlo %f' "$desktop" || { echo "desktop entry: Exec" >&2; exit 1; }
grep -qx 'Icon=marlo' "$desktop" || { echo "desktop entry: Icon" >&2; exit 1; }
grep -q '^Categories=.*HamRadio;' "$desktop" || { echo "desktop entry: Categories" >&2; exit 1; }
echo "installed and checked under $prefix"
