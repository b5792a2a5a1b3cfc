#!/usr/bin/env bash
# PageGlean against a Python `re` scraper doing the same extraction (items with title, link,
# date and description, written as RSS) on the same generated pages, in one run: pages of 1,
# 5 and 10 MB (1,000 items per MB), each program run 5 times, interleaved, medians printed;
# then a pathological pattern on the 10 MB page (its last piece never occurs), where the
# Python scraper is stopped after PG_BENCH_PATHOLOGICAL_LIMIT seconds (default 60). Times
# are the processor time (user + system) of each run, start-up included, so that other work
# on a shared machine does not count; wall-clock medians follow in brackets.
# PG_BENCH_DIR is the release build directory holding bin/PageGlean.
set -euo pipefail
dir=${PG_BENCH_DIR:?set PG_BENCH_DIR to the benchmark build directory}
plugin="$dir/bin/PageGlean"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$plugin" "$work" "${PG_BENCH_PATHOLOGICAL_LIMIT:-60}" "$(dirname "$0")/pythonReScraper.py" <<'PY'
import resource, statistics, subprocess, sys, time

plugin, work, limit, scraper = sys.argv[1], sys.argv[2], float(sys.argv[3]), sys.argv[4]

ITEM = ('<li class="item"><a href="/news/{n}">Headline number {n} &amp; <em>more</em></a>\n'
        '  <span class="date">2026-12-08 14:30</span><p>{body}</p></li>\n')
BODY = ("Harbour news in plain words, with a <b>bold</b> phrase now and then. " * 20)[:880]

def page(megabytes):
    path = f"{work}/page{megabytes}.html"
    with open(path, "w") as f:
        f.write("<html><body><ul>\n")
        for n in range(1000 * megabytes):
            f.write(ITEM.format(n=n, body=BODY))
        f.write("</ul></body></html>\n")
    return path

def settings(path, pattern):
    ini = path + ".ini"
    with open(ini, "w") as f:
        f.write("[ChannelParameters]\nURL=%s\nBaseUrl=https://bench.example.test/\n"
                "MaxItems=100000\nItemPattern-1=%s\n" % (path, pattern.replace("%", "%25")))
    return ini

OURS = '<li class="item"><a href="{%link}">{%title}</a> <span class="date">{%date}</span><p>{%}</p></li>'
THEIRS = (r'<li class="item"><a href="(?P<link>.*?)">(?P<title>.*?)</a>\s*'
          r'<span class="date">(?P<date>.*?)</span><p>(?P<description>.*?)</p></li>')
OURS_BAD = '<li class="item">{*}<a href="{%link}">{%title}</a>{*}<span class="date">{%date}</span>{*}<p>{%}</p>{*}<span class="never">'
THEIRS_BAD = (r'<li class="item">.*?<a href="(?P<link>.*?)">(?P<title>.*?)</a>.*?'
              r'<span class="date">(?P<date>.*?)</span>.*?<p>(?P<description>.*?)</p>.*?'
              r'<span class="never">')

def cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime

def timed(command, timeout=None):
    """(processor seconds, wall seconds, run), or Nones when stopped at `timeout`."""
    before, start = cpu(), time.perf_counter()
    try:
        run = subprocess.run(command, capture_output=True, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None, None, None
    return cpu() - before, time.perf_counter() - start, run

def items_of(run):
    return run.stdout.count(b"<item>")

print("page     PageGlean          Python re          ratio   (medians of 5, interleaved)")
for mb in (1, 5, 10):
    path = page(mb)
    ini = settings(path, OURS)
    ours, theirs, ours_wall, theirs_wall = [], [], [], []
    for _ in range(5):
        t, wall, run = timed([plugin, ini])
        assert items_of(run) == 1000 * mb, (items_of(run), run.stderr[:300])
        ours.append(t)
        ours_wall.append(wall)
        t, wall, run = timed([sys.executable, scraper, path, THEIRS])
        assert items_of(run) == 1000 * mb
        theirs.append(t)
        theirs_wall.append(wall)
    a, b = statistics.median(ours), statistics.median(theirs)
    print(f"{mb:3d} MB  {a * 1000:6.0f} ms ({statistics.median(ours_wall) * 1000:5.0f})"
          f"   {b * 1000:6.0f} ms ({statistics.median(theirs_wall) * 1000:5.0f})   {b / a:6.2f}")

path = f"{work}/page10.html"
t_ours, _, run = timed([plugin, settings(path, OURS_BAD)])
assert items_of(run) == 0
t_theirs, _, _ = timed([sys.executable, scraper, path, THEIRS_BAD], timeout=limit)
theirs_text = f"{t_theirs * 1000:.0f} ms" if t_theirs else f"more than {limit:.0f} s (stopped)"
print(f"pathological pattern, 10 MB: PageGlean {t_ours * 1000:.0f} ms, Python re {theirs_text}")
PY
