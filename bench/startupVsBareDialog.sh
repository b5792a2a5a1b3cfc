#!/usr/bin/env bash
# Time to first frame of PageGleanSettings against a bare Qt dialog with the same controls
# (bench/bareDialog.cpp), both under Xvfb with a window manager: interleaved starts, the
# median of each and their ratio, and the median processor time. Each program is timed by
# the same preloaded library (bench/firstPaintShim.cpp), which ends it at its first frame.
# Then one start of each under callgrind on Qt's offscreen platform: instructions, which
# the other work on the machine does not move. PG_BENCH_DIR is the release build directory;
# STARTUP_RUNS sets the number of starts of each (default 25).
set -euo pipefail
source "$(dirname "$0")/underXvfb.sh" PageGleanSettings bareDialog libfirstPaintShim.so
# Openbox runs its start-up command once it manages the screen.
XDG_CONFIG_HOME="$work" openbox --startup "touch $work/wm-ready" >"$work/wm.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "$work/wm-ready" ] && break; sleep 0.1; done
[ -e "$work/wm-ready" ] || { echo "openbox did not start" >&2; cat "$work/wm.log" >&2; exit 1; }

python3 - "$bin" "${STARTUP_RUNS:-25}" "$work" <<'PY'
import os, re, statistics, subprocess, sys, tempfile, threading, time
bin_dir, runs, work = sys.argv[1], int(sys.argv[2]), sys.argv[3]
programs = {"PageGleanSettings": os.path.join(bin_dir, "PageGleanSettings"),
            "bare QDialog": os.path.join(bin_dir, "bareDialog")}
shim = os.path.join(bin_dir, "libfirstPaintShim.so")

# Runs `path` with the shim to its end; its exit status, standard error and processor time
# (user and system, in ms, with the children it waited for).
def start(path, extra_env, wrapper=()):
    env = dict(os.environ, LD_PRELOAD=shim, **extra_env)
    with tempfile.TemporaryFile("w+") as err:
        env["PG_START_NS"] = str(time.monotonic_ns())
        proc = subprocess.Popen([*wrapper, path], env=env, stdout=subprocess.DEVNULL, stderr=err)
        watchdog = threading.Timer(120 if wrapper else 20, proc.kill)
        watchdog.start()
        _, status, usage = os.wait4(proc.pid, 0)
        watchdog.cancel()
        err.seek(0)
        text = err.read()
    if os.WIFSIGNALED(status):
        sys.exit(f"{path} did not reach its first frame: {text}")
    return os.waitstatus_to_exitcode(status), text, (usage.ru_utime + usage.ru_stime) * 1000

def first_frame(path):
    code, err, cpu = start(path, {"QT_QPA_PLATFORM": "xcb"})
    found = re.search(r"^firstPaintMs ([0-9.]+)$", err, re.M)
    if code != 0 or not found:
        sys.exit(f"{path} failed ({code}): {err}")
    return float(found.group(1)), cpu

samples = {name: [] for name in programs}
for name, path in programs.items():  # a first start of each fills the caches
    first_frame(path)
for _ in range(runs):
    for name, path in programs.items():
        samples[name].append(first_frame(path))
medians = {}
for name, rows in samples.items():
    medians[name] = statistics.median(r[0] for r in rows)
    cpu = statistics.median(r[1] for r in rows)
    print(f"{name:18} first frame median {medians[name]:6.1f} ms "
          f"(min {min(r[0] for r in rows):6.1f}), processor time median {cpu:5.1f} ms, {runs} starts")
ratio = medians["PageGleanSettings"] / medians["bare QDialog"]
cpu_ratio = (statistics.median(r[1] for r in samples["PageGleanSettings"]) /
             statistics.median(r[1] for r in samples["bare QDialog"]))
print(f"PageGleanSettings / bare QDialog = {ratio:.2f} (processor time {cpu_ratio:.2f})")

if os.environ.get("STARTUP_CALLGRIND", "1") != "0":
    for name, path in programs.items():
        out = os.path.join(work, "callgrind.out")
        _, err, _ = start(path, {"QT_QPA_PLATFORM": "offscreen"},
                          ("valgrind", "--tool=callgrind", f"--callgrind-out-file={out}"))
        found = re.search(r"Collected : ([0-9]+)", err)
        if "firstPaintMs" not in err or not found:
            sys.exit(f"callgrind of {path} failed: {err[-2000:]}")
        print(f"{name:18} instructions to the first frame (offscreen): {int(found.group(1)):,}")
PY
