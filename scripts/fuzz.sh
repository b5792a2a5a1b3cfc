#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for FUZZ_SECONDS (default 60).
# Usage: scripts/fuzz.sh [target...]   (default: every target)
# Seeds come from <module>/fuzz/corpus/<target>/ when present; findings stop the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh clang libclang-rt-14-dev
dir=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPG_TESTS=OFF -DPG_FUZZ=ON >/dev/null
cmake --build "$dir" -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets <"$dir/fuzzers.txt"
fi
seconds=${FUZZ_SECONDS:-60}
for t in "${targets[@]}"; do
  exe=$(find "$dir" -type f -name "$t" -perm -u+x | head -n 1)
  [ -n "$exe" ] || { echo "no fuzz target $t" >&2; exit 1; }
  corpus="$dir/corpus/$t"
  mkdir -p "$corpus"
  seeds=$(find . -path ./build -prune -o -type d -path "*/fuzz/corpus/$t" -print | head -n 1)
  echo "== $t for ${seconds}s"
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$dir/" "$corpus" ${seeds:+"$seeds"} 2>&1 | tail -n 3
done
