#!/usr/bin/env python3
"""Runs PageGlean on one saved page and checks its feed.

Usage: checkFeed.py <PageGlean> <case directory>
       checkFeed.py <PageGlean> --settings <settings file>

The case directory holds page.html, settings.ini (URL=page.html) and expected.xml, and
expected.err when the run is to write diagnostics. The feed must be well-formed RSS 2.0 by
Python's parser and by xmllint, and equal to expected.xml as XML, comments (the warnings)
included, once lastBuildDate is set aside. With PG_UPDATE_FEEDS=1 the expected files are
written instead (read them before committing them). With --settings there is nothing to
compare: the feed must hold items, and neither standard error nor the feed a warning.
"""
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

RFC822 = re.compile(r"^(Mon|Tue|Wed|Thu|Fri|Sat|Sun), \d\d (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep"
                    r"|Oct|Nov|Dec) \d{4} \d\d:\d\d:\d\d [+-]\d{4}$")


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def check_rss(root):
    """The parts of RSS 2.0 that readers rely on."""
    if root.tag != "rss" or root.get("version") != "2.0":
        fail("the root is not <rss version=\"2.0\">")
    channels = root.findall("channel")
    if len(channels) != 1:
        fail("the feed needs exactly one channel")
    channel = channels[0]
    for name in ("title", "link", "description", "generator", "lastBuildDate"):
        if channel.find(name) is None:
            fail("the channel has no " + name)
    if not RFC822.match(channel.findtext("lastBuildDate")):
        fail("lastBuildDate is not an RFC 822 date")
    for item in channel.findall("item"):
        if item.find("title") is None and item.find("description") is None:
            fail("an item has neither title nor description")
        date = item.findtext("pubDate")
        if date is not None and not RFC822.match(date):
            fail("pubDate %r is not an RFC 822 date" % date)
        for enclosure in item.findall("enclosure"):
            if not all(enclosure.get(a) for a in ("url", "length", "type")):
                fail("an enclosure lacks url, length or type")
    return channel


def parse(text):
    """The document with its comments."""
    parser = ET.XMLParser(target=ET.TreeBuilder(insert_comments=True))
    try:
        return ET.fromstring(text, parser=parser)
    except ET.ParseError as e:
        fail("the feed is not well-formed XML: %s" % e)


def check_xmllint(text):
    run = subprocess.run(["xmllint", "--noout", "-"], input=text, capture_output=True,
                         timeout=60)
    if run.returncode != 0:
        fail("xmllint rejects the feed:\n" + run.stderr.decode())


def canonical(text):
    root = parse(text)
    root.find("channel").find("lastBuildDate").text = "(normalised)"
    return ET.canonicalize(ET.tostring(root, encoding="unicode"), with_comments=True,
                           strip_text=True)


def check_settings(program, settings):
    run = subprocess.run([program, settings], capture_output=True, timeout=60)
    if run.returncode != 0 or run.stderr:
        fail("exit code %d, standard error:\n%s" % (run.returncode, run.stderr.decode()))
    check_xmllint(run.stdout)
    channel = check_rss(parse(run.stdout))
    if not channel.findall("item"):
        fail("the feed has no items")
    warnings = [c.text for c in channel if c.tag is ET.Comment]
    if warnings:
        fail("the feed carries warnings:\n" + "\n".join(warnings))
    print("ok: %d items" % len(channel.findall("item")))


def main():
    program, case = os.path.abspath(sys.argv[1]), sys.argv[2]
    if case == "--settings":
        check_settings(program, sys.argv[3])
        return
    run = subprocess.run([program, "settings.ini"], cwd=case, capture_output=True, timeout=60)
    if run.returncode != 0:
        fail("exit code %d, standard error:\n%s" % (run.returncode, run.stderr.decode()))
    root = parse(run.stdout)
    check_xmllint(run.stdout)
    check_rss(root)

    expected_xml = os.path.join(case, "expected.xml")
    expected_err = os.path.join(case, "expected.err")
    if os.environ.get("PG_UPDATE_FEEDS") == "1":
        open(expected_xml, "wb").write(run.stdout)
        if run.stderr:
            open(expected_err, "wb").write(run.stderr)
        return
    if canonical(run.stdout) != canonical(open(expected_xml, "rb").read()):
        fail("the feed differs from expected.xml:\n" + run.stdout.decode())
    want_err = open(expected_err, "rb").read() if os.path.exists(expected_err) else b""
    if run.stderr != want_err:
        fail("standard error differs:\n%s\nexpected:\n%s" % (run.stderr.decode(), want_err.decode()))
    print("ok: %d items" % len(root.findall("channel/item")))


main()
