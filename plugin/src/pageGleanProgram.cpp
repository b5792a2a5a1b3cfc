#include "plugin/src/pageGleanProgram.h"

#include "lib/misc/src/wruntimeError.h"
#include "platform/src/utf8.h"
#include "plugin/src/channelParameters.h"
#include "plugin/src/istring.h"
#include "plugin/src/pageText.h"
#include "plugin/src/pluginError.h"
#include "plugin/src/rssWriter.h"
#include "plugin/src/scraper.h"

namespace plugin {

using internal::istring;

namespace {

// The text of the page at `url`, its bytes gone once decoded; `contentType` is Preview's
// word for the server's, when the page is Preview's copy.
PageText pageText(PageSource& pages, const std::wstring& url, const std::wstring& contentType) {
  const std::string bytes = pages.fetch(url);
  return decodePage(bytes, contentType.empty() ? pages.contentType() : contentType);
}

}  // namespace

int PageGleanProgram::run(const std::vector<std::string>& arguments, std::ostream& out,
                          std::wostream& err, std::int64_t now) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << platform::toUtf8(istring(14202)) << '\n';
    out.flush();
    return out ? 0 : 1;
  }
  if (arguments.size() != 1) {
    err << istring(14201) << L'\n';
    return 1;
  }
  try {
    scrape(platform::fromUtf8Escaped(arguments[0]), out, err, now);
  } catch (const std::exception& e) {
    err << misc::exceptionText(e) << L'\n';
    err.flush();
    return 1;
  }
  return 0;
}

void PageGleanProgram::scrape(const std::wstring& settingsPath, std::ostream& out,
                              std::wostream& err, std::int64_t now) {
  channel::PageOrigin origin;
  ChannelParameters parameters = readChannelParameters(settingsPath, origin);
  const std::wstring url = pages_.locate(parameters.m_url);
  // Preview's copy of a page names where it came from, which the feed then links to.
  parameters.m_url = origin.url.empty() ? url : origin.url;
  // Settings that cannot work are reported before the page is fetched.
  Scraper scraper(parameters);
  if (url.empty()) throw PluginError(istring(14204));
  const PageText page = pageText(pages_, url, origin.contentType);
  if (page.unknownCharset) err << istring(14225).format(*page.unknownCharset) << L'\n';

  // Items go out as they are made; the searches are over before the first one is.
  RssWriter writer(out, scraper.channel(now));
  const std::vector<std::wstring> diagnostics =
      scraper.scrapeItems(page.text, [&writer](FeedItem&& item) { writer.item(item); });
  for (const std::wstring& line : diagnostics) err << line << L'\n';
  err.flush();
  writer.finish();
  if (!out) throw PluginError(istring(14226));
}

}  // namespace plugin
