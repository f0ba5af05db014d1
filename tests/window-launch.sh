#!/bin/sh
# Starts a window suite (mousecfg_add_test ... WINDOW) on the offscreen
# platform, or on the one MOUSECFG_TEST_QPA names (scripts/wayland-check.sh:
# wayland). With MOUSECFG_TEST_LOG naming a folder, what the suite prints is
# also kept there, its output in <suite>.out and its errors in <suite>.err,
# for the check of what was printed.
QT_QPA_PLATFORM="${MOUSECFG_TEST_QPA:-offscreen}"
export QT_QPA_PLATFORM
if [ -n "${MOUSECFG_TEST_LOG:-}" ]; then
  for last in "$@"; do :; done
  log="$MOUSECFG_TEST_LOG/$(basename "$last")"
  "$@" >"$log.out" 2>"$log.err"
  status=$?
  cat "$log.out"
  cat "$log.err" >&2
  exit $status
fi
exec "$@"
