#!/usr/bin/env bash
# Runs the window suites (CTest label "window") once more as Wayland clients:
# on a headless weston, with a session bus of their own (where the main
# window's suite serves a fake notification server), and checks that they
# printed nothing but the program's own logging categories (mousecfg.*).
#
#   bash scripts/wayland-check.sh [build folder]     # default: build-tests, built
#
# Needs weston, qtwayland5 and dbus-daemon (scripts/deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build-tests}" && pwd)"

for tool in weston dbus-daemon ctest; do
  if ! command -v "$tool" >/dev/null; then
    echo "wayland-check: $tool is not installed (bash scripts/deps.sh)" >&2
    exit 1
  fi
done
if ! dpkg-query -W -f='${Status}' qtwayland5 2>/dev/null | grep -q "install ok installed"; then
  echo "wayland-check: the Qt Wayland platform plugin is not installed (qtwayland5)" >&2
  exit 1
fi

work="$(mktemp -d /tmp/mousecfg-wayland.XXXXXX)"
mkdir -m 700 "$work/runtime"
mkdir "$work/logs"
weston_pid=""
bus_pid=""
finish() {
  for pid in $weston_pid $bus_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap finish EXIT

# The compositor: no screen, no input devices, never idle. Its output goes to
# its log, shown only when it does not start.
socket="mousecfg-$$"
XDG_RUNTIME_DIR="$work/runtime" weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
  --no-config --width=1280 --height=800 --log="$work/weston.log" >/dev/null 2>&1 &
weston_pid=$!

# A session bus of the suites' own, without services started on demand. As
# root the daemon complains that it cannot raise its file limit; that is not
# the suites' output.
cat >"$work/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$work/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/bus.address" 2>/dev/null &
bus_pid=$!

for _ in $(seq 100); do
  [ -S "$work/runtime/$socket" ] && [ -s "$work/bus.address" ] && break
  sleep 0.1
done
if [ ! -S "$work/runtime/$socket" ]; then
  echo "wayland-check: weston did not start:" >&2
  cat "$work/weston.log" >&2 || true
  exit 1
fi
if [ ! -s "$work/bus.address" ]; then
  echo "wayland-check: dbus-daemon did not start" >&2
  exit 1
fi

echo "wayland-check: window suites on weston (headless) as Wayland clients"
status=0
env -u DISPLAY -u XDG_SESSION_TYPE -u XDG_CURRENT_DESKTOP \
  XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY="$socket" \
  DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$work/bus.address")" \
  MOUSECFG_TEST_QPA=wayland MOUSECFG_TEST_LOG="$work/logs" \
  ctest --test-dir "$build" -L window --output-on-failure || status=$?

# What the suites printed: QtTest's own lines, and messages of our
# categories only (a message's further lines follow it); nothing on stderr.
suites=0
printed=0
for out in "$work"/logs/*.out; do
  [ -e "$out" ] || continue
  suites=$((suites + 1))
  err="${out%.out}.err"
  foreign="$(grep -E '^(QDEBUG|QINFO|QWARN|QSYSTEM|QCRITICAL|QFATAL) *: ' "$out" \
               | sed -E 's/^[A-Z]+ *: [^ ]*\(([^()]|\([^()]*\))*\) //' | grep -v '^mousecfg\.' || true)"
  if [ -n "$foreign" ] || [ -s "$err" ]; then
    printed=1
    echo "wayland-check: $(basename "${out%.out}") printed more than its own categories:" >&2
    [ -n "$foreign" ] && printf '  %s\n' "$foreign" >&2
    [ -s "$err" ] && sed 's/^/  stderr: /' "$err" >&2
  fi
done
if [ "$suites" -eq 0 ]; then
  echo "wayland-check: no window suite ran" >&2
  exit 1
fi
if [ "$status" -ne 0 ] || [ "$printed" -ne 0 ]; then
  exit 1
fi
echo "wayland-check: $suites window suites passed on Wayland; nothing printed but mousecfg.* categories"
