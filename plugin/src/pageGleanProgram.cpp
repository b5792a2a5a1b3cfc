#include "plugin/src/pageGleanProgram.h"

#include <optional>

#include "lib/misc/src/wruntimeError.h"
#include "platform/src/utf8.h"
#include "plugin/src/channelParameters.h"
#include "plugin/src/istring.h"
#include "plugin/src/pageExcerpt.h"
#include "plugin/src/pageText.h"
#include "plugin/src/pluginError.h"
#include "plugin/src/rssWriter.h"
#include "plugin/src/scraper.h"
#include "plugin/src/selectorSuggester.h"

namespace plugin {

using internal::istring;

int PageGleanProgram::run(const std::vector<std::string>& arguments, std::ostream& out,
                          std::wostream& err, std::int64_t now) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << platform::toUtf8(istring(14202)) << '\n';
    out.flush();
    return out ? 0 : 1;
  }
  const bool suggesting = arguments.size() == 2 && arguments[0] == "--suggest";
  if (arguments.size() != 1 && !suggesting) {
    err << istring(14201) << L'\n';
    return 1;
  }
  try {
    const std::wstring settingsPath = platform::fromUtf8Escaped(arguments.back());
    if (suggesting) {
      suggest(settingsPath, out, err);
    } else {
      scrape(settingsPath, out, err, now);
    }
  } catch (const std::exception& e) {
    err << misc::exceptionText(e) << L'\n';
    err.flush();
    return 1;
  }
  return 0;
}

ChannelParameters PageGleanProgram::readSettings(const std::wstring& settingsPath,
                                                 channel::PageOrigin& origin) {
  ChannelParameters parameters = readChannelParameters(settingsPath, origin);
  parameters.m_url = pages_.locate(parameters.m_url);
  return parameters;
}

PageText PageGleanProgram::readPage(const std::wstring& url, const channel::PageOrigin& origin,
                                    std::vector<std::wstring>& warnings) {
  if (url.empty()) throw PluginError(istring(14204));
  // The content type is known once the page is fetched; Preview's copy of a page carries
  // the server's with it.
  std::string bytes = pages_.fetch(url);
  const std::wstring contentType =
      origin.contentType.empty() ? pages_.contentType() : origin.contentType;
  PageText page = decodePage(std::move(bytes), contentType);
  if (page.unknownCharset) warnings.push_back(istring(14225).format(*page.unknownCharset));
  return page;
}

std::wstring PageGleanProgram::bestSuggestion(std::string_view page) {
  const auto suggestions = SelectorSuggester::suggest(page, 1);
  if (suggestions.empty()) return {};
  const SuggestedSelector& best = suggestions.front();
  return istring(14273).format(best.selector, std::to_wstring(best.itemCount),
                               shownHead(best.firstTitles.front())) +
         L'\n';
}

void PageGleanProgram::suggest(const std::wstring& settingsPath, std::ostream& out,
                               std::wostream& err) {
  channel::PageOrigin origin;
  const ChannelParameters parameters = readSettings(settingsPath, origin);
  std::vector<std::wstring> warnings;
  const PageText page = readPage(parameters.m_url, origin, warnings);
  for (const std::wstring& line : warnings) err << line << L'\n';
  const auto suggestions = SelectorSuggester::suggest(page.text);
  if (suggestions.empty()) err << istring(14272) << L'\n';
  std::size_t rank = 0;
  for (const SuggestedSelector& s : suggestions) {
    out << platform::toUtf8(istring(14270).format(std::to_wstring(++rank), s.selector,
                                                  std::to_wstring(s.itemCount)))
        << '\n';
    for (const std::wstring& title : s.firstTitles) {
      out << platform::toUtf8(istring(14271).format(shownHead(title))) << '\n';
    }
  }
  out.flush();
  if (!out) throw PluginError(istring(14226));
}

void PageGleanProgram::scrape(const std::wstring& settingsPath, std::ostream& out,
                              std::wostream& err, std::int64_t now) {
  channel::PageOrigin origin;
  ChannelParameters parameters = readSettings(settingsPath, origin);
  const std::wstring url = parameters.m_url;
  // Preview's copy of a page names where it came from, which the feed then links to.
  if (!origin.url.empty()) parameters.m_url = origin.url;
  // Settings that cannot work are reported before the page is fetched.
  Scraper scraper(parameters);
  std::vector<std::wstring> warnings;
  const PageText page = readPage(url, origin, warnings);

  // Items go out as they are made; the searches are over, and the warnings known, before
  // the first one is.
  const Feed channel = scraper.channel(page.text, now);
  std::optional<RssWriter> writer;
  const std::vector<std::wstring> failures =
      scraper.scrapeItems(page.text, warnings, [&](FeedItem&& item) {
        if (!writer) writer.emplace(out, channel, warnings);
        writer->item(item);
      });
  if (!writer) {
    // A feed without items hides nothing: all that was found to say goes to standard error.
    for (const std::wstring& line : warnings) err << line << L'\n';
    for (const std::wstring& line : failures) err << line << L'\n';
    err << bestSuggestion(page.text);
    err.flush();
    writer.emplace(out, channel);
  }
  writer->finish();
  if (!out) throw PluginError(istring(14226));
}

}  // namespace plugin
