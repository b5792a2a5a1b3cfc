#include "plugin/src/pageGleanProgram.h"

#include <optional>

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
  ChannelParameters parameters = readChannelParameters(settingsPath);
  parameters.m_url = pages_.locate(parameters.m_url);
  // Settings that cannot work are reported before the page is fetched.
  Scraper scraper(parameters);
  if (parameters.m_url.empty()) throw PluginError(istring(14204));
  const PageText page = decodePage(pages_.fetch(parameters.m_url));
  std::vector<std::wstring> warnings;
  if (page.unknownCharset) warnings.push_back(istring(14225).format(*page.unknownCharset));

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
    err.flush();
    writer.emplace(out, channel);
  }
  writer->finish();
  if (!out) throw PluginError(istring(14226));
}

}  // namespace plugin
