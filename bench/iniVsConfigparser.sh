#!/usr/bin/env bash
# Loads the same generated INI file (100,000 keys in 2,000 sections) with IniFileStore and
# with Python's configparser, in one run, and prints both times and their ratio.
# PG_BENCH_DIR is the release build directory holding bench/iniFileStoreBench.
set -euo pipefail
dir=${PG_BENCH_DIR:?set PG_BENCH_DIR to the benchmark build directory}
bench="$dir/bin/iniFileStoreBench"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file="$work/generated.ini"

PG_INI_BENCH_FILE="$file" "$bench" --benchmark_filter='BM_IniLoad$' \
  --benchmark_repetitions=5 --benchmark_format=json >"$work/load.json"

python3 - "$file" "$work/load.json" <<'PY'
import configparser, json, sys, time
path, report = sys.argv[1], sys.argv[2]
runs = [b for b in json.load(open(report))["benchmarks"] if b.get("aggregate_name") == "median"]
ours_ms = runs[0]["real_time"]
times = []
for _ in range(5):
    start = time.perf_counter()
    parser = configparser.ConfigParser(interpolation=None)
    parser.read(path, encoding="utf-8")
    times.append((time.perf_counter() - start) * 1000)
    keys = sum(len(parser[s]) for s in parser.sections())
assert keys == 100000, keys
times.sort()
python_ms = times[len(times) // 2]
print(f"IniFileStore::loadFile  median {ours_ms:8.1f} ms")
print(f"configparser.read       median {python_ms:8.1f} ms")
print(f"configparser / IniFileStore = {python_ms / ours_ms:.2f}")
PY
