#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when
# they are missing. Safe to run again: it does nothing once all are present.
# clang, its runtime libraries (libFuzzer, sanitizers) and llvm-symbolizer are
# for the fuzz targets (scripts/fuzz.sh). qtwayland5 lets the program run as a
# Wayland client; weston (headless) and dbus-daemon carry the window suites'
# Wayland run (scripts/wayland-check.sh); gsettings and GNOME's schemas the
# pointer-speed test of GNOME's setting.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache
  qtbase5-dev qttools5-dev qttools5-dev-tools
  libhidapi-dev libudev-dev libx11-dev libxi-dev
  umockdev libumockdev-dev
  fonts-dejavu-core fonts-wqy-microhei
  clang libclang-rt-dev llvm
  desktop-file-utils appstream dpkg-dev file
  xvfb
  qtwayland5 weston dbus-daemon libglib2.0-bin gsettings-desktop-schemas
)
if [ "${1:-}" = "--run" ]; then
  packages+=(xauth)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null; then
  $SUDO apt-get update -q </dev/null
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
fi
