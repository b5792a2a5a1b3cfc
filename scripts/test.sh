#!/usr/bin/env bash
# Installs what is missing, builds the test configuration (ASan + UBSan, warnings as errors)
# and runs every test, the replay of each fuzz target's corpus and the formatting check among
# them, then builds the test programs that start threads with ThreadSanitizer and runs them
# again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh test
(cd build/test && ctest --output-on-failure -j "$(nproc)" --timeout 300 </dev/null)
scripts/build.sh tsan
cd build/tsan
ctest --output-on-failure -j "$(nproc)" --timeout 300 -L threads </dev/null
