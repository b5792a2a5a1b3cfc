#!/usr/bin/env python3
"""Runs PageGlean's item patterns on big local pages and checks its peak memory.

Usage: peakMemory.py <PageGlean>

A page may be held as its bytes and one decoded text, not more: what a run on a page of
P MB needs beyond a run on a page of 1 KB must stay within 2 P + 20 MB. The pages are a
UTF-8 one, which is its own text, and a Windows-1252 one, which is decoded. Under
AddressSanitizer freed memory is not held back for checking (its quarantine would count
as the program's).
"""
import os
import signal
import subprocess
import sys
import tempfile

PAGE_MB = 32
ITEM = ('<li class="item"><a href="/news/{n}">Headline {n} &amp; <em>more</em> {word}</a>\n'
        '  <span class="date">2026-12-08 14:30</span><p>{body}</p></li>\n')
BODY = ("Harbour news in plain words, with a <b>bold</b> phrase now and then. " * 20)[:880]
PATTERN = ('<li class="item"><a href="{%link}">{%title}</a> <span class="date">{%date}</span>'
           '<p>{%}</p></li>')
PAGES = [("utf-8", "\u0141\u00f3d\u017a"), ("windows-1252", "caf\u00e9 \u20ac")]


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def write_page(path, encoding, word, megabytes):
    items = 0
    with open(path, "w", encoding=encoding) as f:
        f.write('<html><head><meta charset="%s"></head><body><ul>\n' % encoding)
        while f.tell() < megabytes * 1000000:
            f.write(ITEM.format(n=items, word=word, body=BODY))
            items += 1
        f.write("</ul></body></html>\n")
    return items


def run(plugin, work, page):
    """(peak resident MB, items in the feed) of one run on `page`."""
    settings = page + ".ini"
    with open(settings, "w") as f:
        f.write("[ChannelParameters]\nURL=%s\nMaxItems=1000000\nItemPattern-1=%s\n"
                % (page, PATTERN.replace("%", "%25")))
    env = dict(os.environ)
    env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":quarantine_size_mb=0"
    feed, err = os.path.join(work, "feed.xml"), os.path.join(work, "err.txt")
    with open(feed, "wb") as out, open(err, "wb") as errors:
        child = subprocess.Popen([plugin, settings], stdout=out, stderr=errors, env=env)
    # wait4 gives the child's own peak; the alarm bounds the wait.
    signal.signal(signal.SIGALRM, lambda *_: child.kill())
    signal.alarm(120)
    _, status, usage = os.wait4(child.pid, 0)
    signal.alarm(0)
    if os.waitstatus_to_exitcode(status) != 0:
        with open(err, errors="replace") as f:
            fail("PageGlean failed on %s (status %d): %s" % (page, status, f.read()))
    with open(feed, "rb") as f:
        items = f.read().count(b"<item>")
    return usage.ru_maxrss / 1024, items


def main():
    plugin = sys.argv[1]
    with tempfile.TemporaryDirectory() as work:
        small = os.path.join(work, "small.html")
        write_page(small, "utf-8", "x", 0)
        base, _ = run(plugin, work, small)
        for encoding, word in PAGES:
            page = os.path.join(work, encoding + ".html")
            expected = write_page(page, encoding, word, PAGE_MB)
            megabytes = os.path.getsize(page) / 1e6
            peak, items = run(plugin, work, page)
            print("%s page of %.1f MB: peak %.1f MB, %.1f MB beyond a 1 KB page; %d items"
                  % (encoding, megabytes, peak, peak - base, items))
            if items != expected:
                fail("%d items of %d" % (items, expected))
            if peak - base > 2 * megabytes + 20:
                fail("more than twice the page and 20 MB")
            os.remove(page)
    print("ok")


if __name__ == "__main__":
    main()
