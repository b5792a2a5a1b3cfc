#!/usr/bin/env bash
# Prints the speed table (bench/speedTable.py): the INI store and the template processors
# against inih, envsubst, Python's configparser and a C strftime loop, all measured now.
# PG_BENCH_DIR is the release build directory holding bin/speedProbe.
set -euo pipefail
dir=${PG_BENCH_DIR:?set PG_BENCH_DIR to the benchmark build directory}
python3 "$(dirname "$0")/speedTable.py" "$dir"
