#!/usr/bin/env bash
# Configures (once) and builds one configuration: release, test, or tsan (only the test
# programs that start threads, with ThreadSanitizer). The test kinds make warnings errors.
# Usage: scripts/build.sh release|test|tsan [extra cmake -D options...]
set -euo pipefail
cd "$(dirname "$0")/.."

kind=${1:?release, test or tsan}
shift
targets=()
case "$kind" in
  release) opts=(-DCMAKE_BUILD_TYPE=Release -DPG_SANITIZE=OFF -DPG_TESTS=OFF) ;;
  test) opts=(-DCMAKE_BUILD_TYPE=Debug -DPG_SANITIZE=ON -DPG_TESTS=ON -DPG_WERROR=ON) ;;
  tsan)
    opts=(-DCMAKE_BUILD_TYPE=Debug -DPG_SANITIZE=OFF -DPG_TSAN=ON -DPG_TESTS=ON -DPG_WERROR=ON)
    targets=(--target threadedTests)
    ;;
  *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac

dir=build/$kind
# Configuring again is cheap and picks up modules whose folders appeared since.
cmake -S . -B "$dir" -G Ninja "${opts[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
