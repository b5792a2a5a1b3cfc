#!/usr/bin/env bash
# Without a display that answers, the program writes exactly one line, naming itself and the
# display, to standard error and exits with 1, before Qt can abort.
set -uo pipefail
program=${1:?program}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# An X display number with no server behind it.
number=90
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
  number=$((number + 1))
done
x11="Can't connect to the X display \":$number\"."
wayland="Can't connect to the Wayland display \"pg-none\"."

faults=0
expect() {
  local expected="PageGleanSettings: $1" rc
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE \
    XDG_RUNTIME_DIR="$scratch" "$@" timeout 20 "$program" >/dev/null 2>"$scratch/err"
  rc=$?
  if [ "$rc" -ne 1 ] || [ "$(cat "$scratch/err")" != "$expected" ] ||
     [ "$(wc -l <"$scratch/err")" -ne 1 ]; then
    echo "with $*: exit code $rc, standard error:"
    cat "$scratch/err"
    echo "expected: $expected"
    faults=$((faults + 1))
  fi
}

expect "There is no display to show the window on: neither DISPLAY nor WAYLAND_DISPLAY is set."
expect "$x11" DISPLAY=":$number"
expect "$x11" DISPLAY=":$number" QT_QPA_PLATFORM=xcb
expect "$wayland" WAYLAND_DISPLAY=pg-none
expect "$wayland $x11" WAYLAND_DISPLAY=pg-none DISPLAY=":$number" XDG_SESSION_TYPE=wayland
expect "$x11 $wayland" WAYLAND_DISPLAY=pg-none DISPLAY=":$number" XDG_SESSION_TYPE=x11
expect "$wayland $x11" WAYLAND_DISPLAY=pg-none DISPLAY=":$number" QT_QPA_PLATFORM="wayland;xcb:foo"

[ "$faults" -eq 0 ] || exit 1
echo "no display, or none that answers: one line and exit code 1"
