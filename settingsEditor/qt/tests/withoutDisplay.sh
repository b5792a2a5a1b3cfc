#!/usr/bin/env bash
# Without DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM the program writes exactly one line,
# naming itself, to standard error and exits with 1.
set -uo pipefail
program=${1:?program}
err=$(mktemp)
trap 'rm -f "$err"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 20 "$program" >/dev/null 2>"$err"
rc=$?
expected="PageGleanSettings: There is no display to show the window on:"
expected+=" neither DISPLAY nor WAYLAND_DISPLAY is set."
if [ "$rc" -ne 1 ] || [ "$(cat "$err")" != "$expected" ] || [ "$(wc -l <"$err")" -ne 1 ]; then
  echo "exit code $rc, standard error:"
  cat "$err"
  exit 1
fi
echo "no display: one line and exit code 1"
