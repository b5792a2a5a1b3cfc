#!/usr/bin/env bash
# Peak resident memory of PageGlean reading big local pages, beside the Python `re` scraper
# (pythonReScraper.py) on the same pages, in one table. Rows: the pattern path on a UTF-8
# page of mostly ASCII (PG_BENCH_MEMORY_SIZES, default "10 100", in MB of 2^20 bytes); the
# same page with "Łódź" in every title at the largest of those sizes, so that decoding is
# not a copy of ASCII; the Shorthand path (`li.item a`) at PG_BENCH_MEMORY_SHORTHAND_SIZES
# (default "10 50"). The pattern path should stay within twice the page plus 20 MB (ok or
# OVER); a Shorthand row gives its MB of peak per MB of page, start-up left out (a 1 KB page
# measures start-up). Peaks are each child's own maximum resident set (wait4), so nothing
# else run here counts. Every child is stopped after PG_BENCH_MEMORY_LIMIT seconds (default
# 300); its row then says so, and its peak is the peak until then. Feeds go to files, not
# pipes, and their <item>s are counted so that a row that found nothing shows.
# PG_BENCH_DIR is the release build directory holding bin/PageGlean.
set -euo pipefail
dir=${PG_BENCH_DIR:?set PG_BENCH_DIR to the benchmark build directory}
plugin="$dir/bin/PageGlean"
[ -x "$plugin" ] || { echo "$plugin is missing: build the target PageGlean in $dir" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$plugin" "$work" "${PG_BENCH_MEMORY_SIZES:-10 100}" \
  "${PG_BENCH_MEMORY_SHORTHAND_SIZES:-10 50}" "${PG_BENCH_MEMORY_LIMIT:-300}" \
  "$(dirname "$0")/pythonReScraper.py" <<'PY'
import os, signal, sys, time

plugin, work = sys.argv[1], sys.argv[2]
sizes = [int(s) for s in sys.argv[3].split()]
shorthand_sizes = [int(s) for s in sys.argv[4].split()]
limit = float(sys.argv[5])
scraper = sys.argv[6]
MB = 1 << 20

ITEM = ('<li class="item"><a href="/news/{n}">{word}Headline number {n} &amp; <em>more</em></a>\n'
        '  <span class="date">2026-12-08 14:30</span><p>{body}</p></li>\n')
BODY = ("Harbour news in plain words, with a <b>bold</b> phrase now and then. " * 20)[:880]

def page(name, megabytes, word=""):
    """(path, items) of a page of at least `megabytes` MB."""
    path = f"{work}/{name}.html"
    head, tail = "<html><body><ul>\n", "</ul></body></html>\n"
    items, size = 0, len(head) + len(tail)
    with open(path, "w", encoding="utf-8") as f:
        f.write(head)
        while size < megabytes * MB:
            text = ITEM.format(n=items, word=word, body=BODY)
            f.write(text)
            size += len(text.encode())
            items += 1
        f.write(tail)
    return path, items

def settings(path, key, value):
    ini = path + ".ini"
    with open(ini, "w", encoding="utf-8") as f:
        f.write("[ChannelParameters]\nURL=%s\nBaseUrl=https://bench.example.test/\n"
                "MaxItems=10000000\n%s=%s\n" % (path, key, value.replace("%", "%25")))
    return ini

OURS = '<li class="item"><a href="{%link}">{%title}</a> <span class="date">{%date}</span><p>{%}</p></li>'
THEIRS = (r'<li class="item"><a href="(?P<link>.*?)">(?P<title>.*?)</a>\s*'
          r'<span class="date">(?P<date>.*?)</span><p>(?P<description>.*?)</p></li>')
SHORTHAND = "li.item a"

def run(command):
    """(peak MB, items, what went wrong or "")."""
    out = f"{work}/out"
    with open(out, "wb") as stdout, open(f"{work}/err", "wb") as stderr:
        pid = os.posix_spawn(command[0], command, os.environ,
                             file_actions=[(os.POSIX_SPAWN_DUP2, stdout.fileno(), 1),
                                           (os.POSIX_SPAWN_DUP2, stderr.fileno(), 2)])
    deadline, stopped = time.monotonic() + limit, False
    while True:
        done, status, usage = os.wait4(pid, os.WNOHANG)
        if done: break
        if time.monotonic() > deadline and not stopped:
            os.kill(pid, signal.SIGKILL)
            stopped = True
        time.sleep(0.02)
    items, tail = 0, b""
    with open(out, "rb") as f:
        for block in iter(lambda: f.read(MB), b""):
            # Five bytes kept from the last block find a tag that straddles the two.
            items += (tail + block).count(b"<item>")
            tail = block[-5:]
    problem = ""
    if stopped:
        problem = f"stopped after {limit:g} s"
    elif os.waitstatus_to_exitcode(status) != 0:
        said = open(f"{work}/err", "rb").read(120).decode(errors="replace").splitlines()
        problem = f"exit {os.waitstatus_to_exitcode(status)}" + (f": {said[0]}" if said else "")
    return usage.ru_maxrss / 1024, items, problem

def row(label, megabytes, program, peak, items, expected, problem, check):
    if problem.startswith("stopped") and check:
        check = "OVER" if check == "OVER" else "?"  # its peak was still to come
    found = problem or (f"{items}" if items == expected else f"{items} of {expected}")
    print(f"{label:<24} {megabytes:7.1f} {program:<10} {peak:8.1f} {peak / megabytes:6.2f}  "
          f"{check:<10} {found}", flush=True)

print(f"{'row':<24} {'page MB':>7} {'program':<10} {'peak MB':>8} {'ratio':>6}  "
      f"{'check':<10} items")

def pattern_row(label, name, megabytes, word):
    path, expected = page(name, megabytes, word)
    size = os.path.getsize(path) / MB
    peak, items, problem = run([plugin, settings(path, "ItemPattern-1", OURS)])
    check = "ok" if peak <= 2 * size + 20 else "OVER"
    row(label, size, "PageGlean", peak, items, expected, problem, check)
    peak, items, problem = run([sys.executable, scraper, path, THEIRS])
    row("", size, "Python re", peak, items, expected, problem, "")
    os.remove(path)

tiny, tiny_items = page("tiny", 0.001)
start, _, _ = run([plugin, settings(tiny, "Shorthand", SHORTHAND)])
print(f"{'start-up, 1 KB page':<24} {'':7} {'PageGlean':<10} {start:8.1f}")
for mb in sizes:
    pattern_row("pattern, ASCII", "ascii", mb, "")
pattern_row("pattern, Łódź in titles", "accented", max(sizes), "Łódź ")
for mb in shorthand_sizes:
    path, expected = page("shorthand", mb)
    size = os.path.getsize(path) / MB
    peak, items, problem = run([plugin, settings(path, "Shorthand", SHORTHAND)])
    row("Shorthand li.item a", size, "PageGlean", peak, items, expected, problem,
        f"{(peak - start) / size:.1f} MB/MB")
    os.remove(path)
print("check: ok when the pattern path peaks at no more than 2 x page + 20 MB; "
      "MB/MB: Shorthand's MB of peak per MB of page, start-up left out")
PY
