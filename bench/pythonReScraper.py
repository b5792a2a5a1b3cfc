# The Python `re` scraper that the plug-in's benchmarks compare with: what one would write
# instead of PageGlean. Writes the items that the pattern (argument 2, with named groups
# title, link, date and description) finds in the page (argument 1) as RSS; the item count
# goes to standard error.
import html, re, sys
from urllib.parse import urljoin
from xml.sax.saxutils import escape
page = open(sys.argv[1], encoding="utf-8", errors="replace").read()
pattern = re.compile(sys.argv[2], re.S | re.I)
base = "https://bench.example.test/"
out = ['<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel>']
for m in pattern.finditer(page):
    title = " ".join(html.unescape(re.sub(r"<[^>]*>", " ", m["title"])).split())
    link = urljoin(base, html.unescape(m["link"]).strip())
    out.append("<item><title>%s</title><link>%s</link><description>%s</description>"
               "<guid>%s</guid><pubDate>%s</pubDate></item>"
               % (escape(title), escape(link), escape(m["description"].strip()), escape(link),
                  escape(m["date"].strip())))
out.append("</channel></rss>")
sys.stdout.write("\n".join(out))
print(len(out) - 2, file=sys.stderr)
