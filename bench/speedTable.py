"""The speed table of the INI store and the template processors against reference programs.

Each row is measured in this one run: instruction counts from callgrind where both sides
are native code (repeatable on a shared machine), interleaved wall-clock medians against
Python's configparser, and peak resident memory of a process that loads the file.

Usage: python3 speedTable.py BENCH_BUILD_DIR
"""

import os
import re
import statistics
import subprocess
import sys
import tempfile

ROUNDS = 7          # interleaved wall-clock rounds
DATE_ROUNDS = 1000  # URL expansions counted under callgrind

CONFIGPARSER = r"""
import configparser, sys, time
start, cpu_start = time.perf_counter(), time.process_time()
parser = configparser.ConfigParser(interpolation=None)
parser.read(sys.argv[1], encoding="utf-8")
cpu = (time.process_time() - cpu_start) * 1000
ms = (time.perf_counter() - start) * 1000
keys = sum(len(parser[s]) for s in parser.sections())
print(f"keys {keys} ms {ms:.3f} cpu {cpu:.3f}")
"""


def run(cmd, env=None, stdin=None, stdout=subprocess.PIPE):
    result = subprocess.run(cmd, env=env, stdin=stdin, stdout=stdout, stderr=subprocess.PIPE,
                            text=True, check=True)
    return result.stdout, result.stderr


def field(text, name):
    match = re.search(rf"{name} (\S+)", text)
    if not match:
        sys.exit(f"no '{name}' in: {text!r}")
    return float(match.group(1))


def instructions(cmd, function=None, env=None, stdin=None):
    """Instructions callgrind counts in `function` (or the whole program) and its callees."""
    out_file = os.path.join(WORK, "callgrind.out")
    grind = ["valgrind", "--tool=callgrind", f"--callgrind-out-file={out_file}"]
    if function:
        grind.append(f"--toggle-collect={function}")
    out, err = run(grind + cmd, env=env, stdin=stdin,
                   stdout=subprocess.DEVNULL if stdin else subprocess.PIPE)
    collected = re.search(r"Collected : (\d+)", err)
    if not collected:
        sys.exit(f"callgrind counted nothing for {cmd}: {err[-500:]}")
    return int(collected.group(1)), out or ""


def peak_kib(cmd):
    """Peak resident set of a child, from the kernel's accounting of that child alone."""
    child = subprocess.Popen(cmd, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        sys.exit(f"{cmd} failed")
    return usage.ru_maxrss


def millions(n):
    return f"{n / 1e6:,.0f} M"


def main():
    global WORK
    bench_dir = sys.argv[1]
    probe = os.path.join(bench_dir, "bin", "speedProbe")
    with tempfile.TemporaryDirectory() as WORK:
        ini = os.path.join(WORK, "generated.ini")
        tpl, env_tpl, var_file = (os.path.join(WORK, n) for n in ("t.tpl", "t.env", "vars"))
        run([probe, "ini-make", ini])
        run([probe, "tpl-make", tpl, env_tpl, var_file])
        ini_mb = os.path.getsize(ini) / 1e6
        tpl_mb = os.path.getsize(tpl) / 1e6
        variables = dict(line.split("=", 1) for line in open(var_file).read().splitlines())
        env = dict(os.environ, **variables)

        # The work must be done and be the same work on both sides.
        ours_out = os.path.join(WORK, "ours.out")
        theirs_out = os.path.join(WORK, "envsubst.out")
        run([probe, "tpl-expand", tpl, ours_out])
        with open(env_tpl) as src, open(theirs_out, "w") as dst:
            subprocess.run(["envsubst"], env=env, stdin=src, stdout=dst, check=True)
        if open(ours_out, "rb").read() != open(theirs_out, "rb").read():
            sys.exit("the expansion and envsubst's output differ")

        load, out = instructions([probe, "ini-load", ini], "pg_measure_ini_load")
        assert field(out, "keys") == 100000, out
        inih, out = instructions([probe, "inih-load", ini], "pg_measure_inih_load")
        assert field(out, "keys") == 100000, out
        save, out = instructions([probe, "ini-save", ini, ini + ".saved"], "pg_measure_ini_save")
        assert field(out, "same") == 1, "the saved file differs from the loaded one"
        expand, _ = instructions([probe, "tpl-expand", tpl], "pg_measure_template")
        with open(env_tpl) as src:
            envsubst, _ = instructions(["envsubst"], env=env, stdin=src)
        dates, out = instructions([probe, "date-expand", str(DATE_ROUNDS)], "pg_measure_date_expand")
        c_dates, c_out = instructions([probe, "date-c", str(DATE_ROUNDS)], "pg_measure_strftime_loop")
        if out.split()[-1] != c_out.split()[-1]:
            sys.exit(f"the URLs differ: {out} / {c_out}")

        # Processor time is what the load costs; wall time also counts whatever else the
        # shared machine runs meanwhile, so it is shown beside it.
        ours, python = {"ms": [], "cpu": []}, {"ms": [], "cpu": []}
        c_parser = {"ms": [], "cpu": []}  # inih, which keeps nothing: a bound for any parser
        for _ in range(ROUNDS):  # interleaved, so that both sides see the same load
            out = run([probe, "ini-load", ini])[0]
            for name in ours:
                ours[name].append(field(out, name))
            out = run([probe, "inih-load", ini])[0]
            for name in c_parser:
                c_parser[name].append(field(out, name))
            out = run([sys.executable, "-c", CONFIGPARSER, ini])[0]
            assert field(out, "keys") == 100000, out
            for name in python:
                python[name].append(field(out, name))
        ours_med = {name: statistics.median(v) for name, v in ours.items()}
        python_med = {name: statistics.median(v) for name, v in python.items()}
        inih_med = {name: statistics.median(v) for name, v in c_parser.items()}

        ours_kib = peak_kib([probe, "ini-load", ini])
        python_kib = peak_kib([sys.executable, "-c", CONFIGPARSER, ini])

    per_date, per_c_date = dates / DATE_ROUNDS, c_dates / DATE_ROUNDS
    rows = [
        (f"IniFileStore::loadFile, 100,000 keys in 2,000 sections ({ini_mb:.1f} MB)",
         millions(load), f"inih ini_parse, {millions(inih)}", f"{load / inih:.2f}x",
         "<= 1.5x", load / inih <= 1.5),
        ("the same load, processor time [wall clock] (median of %d, interleaved)" % ROUNDS,
         f"{ours_med['cpu'] / 1000:.3f} s [{ours_med['ms'] / 1000:.3f} s]",
         f"configparser.read, {python_med['cpu'] / 1000:.3f} s [{python_med['ms'] / 1000:.3f} s]"
         f"; inih alone {inih_med['cpu'] / 1000:.3f} s, "
         f"{python_med['cpu'] / inih_med['cpu']:.1f}x faster",
         f"{python_med['cpu'] / ours_med['cpu']:.1f}x faster "
         f"[{python_med['ms'] / ours_med['ms']:.1f}x]",
         ">= 15x faster", python_med['cpu'] / ours_med['cpu'] >= 15),
        ("saveFile of that tree (user-space instructions: no fsync)", millions(save), "-", "-",
         "<= 200 M", save <= 200e6),
        (f"template expansion, {tpl_mb:.0f} MB with 207,000 {{%NAME%}} over 20 names",
         millions(expand), f"envsubst with ${{NAME}}, {millions(envsubst)}",
         f"{expand / envsubst:.2f}x", "<= 1x", expand <= envsubst),
        ("StrftimeTemplateProcessor, a URL with 5 placeholders", f"{per_date:,.0f} per expansion",
         f"C strftime loop, {per_c_date:,.0f}", f"{per_date / per_c_date:.1f}x", "<= 4x",
         per_date <= 4 * per_c_date),
        ("peak memory of the load", f"{ours_kib / 1024:.0f} MB",
         f"configparser {python_kib / 1024:.0f} MB", f"{ours_kib / python_kib:.2f}x", "<= 20 MB",
         ours_kib <= 20 * 1024),
    ]
    print("| work | today | reference | ratio | aim | met |")
    print("|---|---|---|---|---|---|")
    for work, today, reference, ratio, aim, met in rows:
        print(f"| {work} | {today} | {reference} | {ratio} | {aim} | {'yes' if met else 'no'} |")


if __name__ == "__main__":
    main()
