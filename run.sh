#!/usr/bin/env bash
# Installs what is missing, builds mousecfg and starts it. With no HID mouse of
# this family attached it starts the demo build against the simulated mouse.
set -euo pipefail
cd "$(dirname "$0")"
# On a Wayland session Qt starts the program as a Wayland client (Plasma),
# except on GNOME, where it runs through Xwayland. To run it as a Wayland
# client there too:  QT_QPA_PLATFORM=wayland bash run.sh
if [ "${QT_QPA_PLATFORM:-}" = "wayland" ] && [ -z "${WAYLAND_DISPLAY:-}" ] \
   && [ ! -S "${XDG_RUNTIME_DIR:-/nonexistent}/wayland-0" ]; then
  echo "QT_QPA_PLATFORM=wayland needs a Wayland session (WAYLAND_DISPLAY is not set)." >&2
  exit 1
fi
bash scripts/deps.sh --run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMOUSECFG_TESTS=OFF -DMOUSECFG_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)"

# The real program when the receiver (248a:fa02) or the cabled mouse (248a:fb01)
# is attached, the demo against the simulated mouse otherwise.
app=build/bin/mousecfg-demo
if ls /sys/bus/hid/devices 2>/dev/null | grep -qiE ':248A:(FA02|FB01)\.'; then
  app=build/bin/mousecfg
fi
ctl="${app/mousecfg/mousecfgctl}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # Nobody could see a window: it is drawn into a picture instead, and the
  # command line shows what the mouse holds.
  picture="$PWD/build/mousecfg-window.png"
  rm -f "$picture"
  echo "No display: drawing the window of $app into a picture."
  QT_QPA_PLATFORM=offscreen MOUSECFG_NO_PANEL=1 timeout 60 "$app" --screenshot "$picture" "$@" 2>&1 \
    | grep -v -e '^This plugin does not support' -e '^QStandardPaths: ' || true
  if [ -f "$picture" ]; then
    echo "The window as it starts: $picture"
  else
    echo "No picture was drawn (is mousecfg already running? It was brought up instead)."
  fi
  echo
  echo "What the command line shows:"
  for command in list status; do
    echo "\$ $(basename "$ctl") $command"
    "$ctl" "$command" 2>&1 || true
  done
  exit 0
fi
echo "Starting $app"
exec "$app" "$@"
