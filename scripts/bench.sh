#!/usr/bin/env bash
# Builds the release configuration with the benchmarks and runs them all, then every
# bench/*.sh script (comparisons with other programs: the speed table).
set -euo pipefail
cd "$(dirname "$0")/.."
# The programs the speed table compares with, callgrind to count instructions, and the
# display server and window manager that the start-up comparison runs under.
scripts/deps.sh libinih-dev gettext-base valgrind xvfb openbox
dir=build/bench
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPG_TESTS=OFF -DPG_BENCH=ON >/dev/null
cmake --build "$dir" -j "$(nproc)"
for b in "$dir"/bin/*Bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" "$@"
done
for s in bench/*.sh; do
  [ -f "$s" ] || continue
  echo "== $s"
  PG_BENCH_DIR="$dir" bash "$s"
done
