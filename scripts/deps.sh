#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, when missing.
# With the argument "fuzz" also the compiler of the fuzz targets (clang and its
# sanitizer and libFuzzer runtimes); with "package" the package checker (lintian).
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils scdoc desktop-file-utils appstream shared-mime-info
  xvfb openbox dbus-daemon at-spi2-core
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-14-dev)
fi
if [ "${1:-}" = package ]; then
  packages+=(lintian man-db)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
