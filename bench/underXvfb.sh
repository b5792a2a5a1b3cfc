# Sourced by the benchmarks that start programs under Xvfb, with the files they need from
# the build's bin folder as arguments. Sets `bin` (that folder, from PG_BENCH_DIR) and `work`
# (a scratch folder removed on exit, when every process whose id is in `pids` is ended too)
# and exports DISPLAY, a display of its own that Xvfb picked.
dir=${PG_BENCH_DIR:?set PG_BENCH_DIR to the benchmark build directory}
bin=$(cd "$dir/bin" && pwd)
for f in "$@"; do
  [ -e "$bin/$f" ] || { echo "missing $bin/$f" >&2; exit 1; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
