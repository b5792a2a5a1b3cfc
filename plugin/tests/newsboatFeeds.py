#!/usr/bin/env python3
"""Runs Debian's newsboat headless on settings files, each read through an `exec:` line as a
feed reader's user would write it, and checks newsboat's cache.

Usage: newsboatFeeds.py <PageGlean> <settings file>...

Every feed must arrive under the channel's title and hold exactly the items that the
plug-in writes when run directly: the same count, titles and links, no title empty, and
some items linked.
"""
import os
import shlex
import signal
import sqlite3
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

TIMEOUT = 60


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def own_feed(program, settings):
    """The channel title and the sorted (title, link) pairs of the plug-in's own feed."""
    run = subprocess.run([program, settings], stdin=subprocess.DEVNULL, capture_output=True,
                         timeout=TIMEOUT)
    # newsboat drops a command's exit code and standard error, so a sanitizer's abort is
    # seen here, where the same settings run the same code.
    if run.returncode != 0 or run.stderr:
        fail("%s: exit code %d, standard error:\n%s"
             % (settings, run.returncode, run.stderr.decode()))
    try:
        channel = ET.fromstring(run.stdout).find("channel")
    except ET.ParseError as e:
        fail("%s: the feed is not well-formed XML: %s" % (settings, e))
    items = [(i.findtext("title") or "", i.findtext("link") or "")
             for i in channel.findall("item")]
    return channel.findtext("title"), sorted(items)


def run_newsboat(scratch, commands):
    """Reloads every feed once into a fresh cache, with nothing of the user's read."""
    urls = os.path.join(scratch, "urls")
    config = os.path.join(scratch, "config")
    cache = os.path.join(scratch, "cache.db")
    # Quoted, or newsboat takes the settings file for a tag.
    with open(urls, "w") as f:
        f.writelines('"exec:%s"\n' % c for c in commands)
    open(config, "w").close()
    home = os.path.join(scratch, "home")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local/share"),
               XDG_CACHE_HOME=os.path.join(home, ".cache"), LC_ALL="C.UTF-8")
    # An ASan report written after the feed (a leak) would otherwise pass unseen.
    reports = os.path.join(scratch, "sanitizer")
    env["ASAN_OPTIONS"] = ":".join(filter(None, [env.get("ASAN_OPTIONS"), "log_path=" + reports]))
    # timeout signals its whole process group, the plug-in with newsboat; so does an
    # interruption here.
    with subprocess.Popen(["timeout", "-k", "5", str(TIMEOUT), "newsboat", "-u", urls, "-c",
                           cache, "-C", config, "-x", "reload"], cwd=scratch, env=env,
                          stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, start_new_session=True) as run:
        try:
            _, err = run.communicate()
        except BaseException:
            os.killpg(run.pid, signal.SIGKILL)
            raise
    if run.returncode != 0:
        fail("newsboat: exit code %d, standard error:\n%s" % (run.returncode, err.decode()))
    for name in sorted(os.listdir(scratch)):
        if name.startswith("sanitizer"):
            fail("a sanitizer report:\n" + open(os.path.join(scratch, name)).read())
    return cache


def cached_feeds(cache):
    """{feed URL: (title, sorted (title, link) pairs)} from newsboat's cache."""
    db = sqlite3.connect(cache)
    try:
        feeds = {url: (title, [])
                 for url, title in db.execute("SELECT rssurl, title FROM rss_feed")}
        for feed, title, link in db.execute("SELECT feedurl, title, url FROM rss_item"):
            feeds.setdefault(feed, (None, []))[1].append((title, link))
    finally:
        db.close()
    return {url: (title, sorted(items)) for url, (title, items) in feeds.items()}


def problems(command, own, cached):
    if cached is None:
        return ["%s: newsboat stored no such feed (it drops an empty or unreadable one silently)"
                % command]
    (own_title, own_items), (title, items) = own, cached
    found = []
    if not own_items:
        found.append("%s: the plug-in wrote no items" % command)
    if title != own_title:
        found.append("%s: feed title %r, the plug-in wrote %r" % (command, title, own_title))
    if len(items) != len(own_items):
        found.append("%s: %d items, the plug-in wrote %d" % (command, len(items), len(own_items)))
    elif items != own_items:
        found.append("%s: items (title, link)\n  %r\nthe plug-in wrote\n  %r"
                     % (command, items, own_items))
    if any(not t for t, _ in items):
        found.append("%s: an item without a title" % command)
    # Every example has linked items; the comparison alone would pass links lost on both sides.
    if not any(link for _, link in items):
        found.append("%s: no item has a link" % command)
    return found


def main():
    for s in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
        signal.signal(s, lambda *_: sys.exit("interrupted"))
    program, settings = os.path.abspath(sys.argv[1]), sys.argv[2:]
    commands = [shlex.join([program, os.path.abspath(s)]) for s in settings]
    own = [own_feed(program, s) for s in settings]
    with tempfile.TemporaryDirectory(prefix="newsboatFeeds.") as scratch:
        cached = cached_feeds(run_newsboat(scratch, commands))
    found = [p for c, o in zip(commands, own) for p in problems(c, o, cached.get("exec:" + c))]
    if found:
        fail("\n".join(found))
    for c, (_, items) in zip(commands, own):
        print("ok: %d items from %s" % (len(items), c))


main()
