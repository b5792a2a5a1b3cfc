#!/usr/bin/env bash
# Ended by SIGTERM, SIGINT or SIGHUP, the program removes its temporary files as Close does.
set -uo pipefail
program=${1:?program}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Job control, so that a background job does not start with SIGINT ignored.
set -m
faults=0
for signal in TERM INT HUP; do
  tmp="$scratch/$signal"
  mkdir "$tmp"
  # The signal goes to the program alone; a watchdog bounds its run.
  QT_QPA_PLATFORM=offscreen TMP="$tmp" XDG_CONFIG_HOME="$scratch/config" \
    "$program" </dev/null >/dev/null 2>"$scratch/err" &
  pid=$!
  (sleep 20 && kill -KILL "$pid") >/dev/null 2>&1 &
  watchdog=$!
  # The window is up once its four temporary files exist.
  for _ in $(seq 200); do
    [ "$(ls -A "$tmp" | wc -l)" -ge 4 ] && break
    sleep 0.05
  done
  found=$(ls -A "$tmp" | wc -l)
  kill -s "$signal" "$pid"
  wait "$pid"
  rc=$?
  kill -- -"$watchdog" 2>/dev/null
  wait "$watchdog" 2>/dev/null
  left=$(ls -A "$tmp")
  if [ "$found" -ne 4 ] || [ -n "$left" ] || [ "$rc" -ne 0 ]; then
    echo "SIG$signal: $found files before, exit code $rc, left behind: ${left:-nothing}"
    cat "$scratch/err"
    faults=$((faults + 1))
  fi
done
exit "$faults"
