#pragma once
// One run of the plug-in, as main() makes it:
//
//     PageGlean "<settings file>"    the feed on `out`, diagnostics on `err`; when no
//                                    item was found they end with the best shorthand
//                                    that --suggest gives
//     PageGlean --help               the pattern language in a screenful, on `out`
//     PageGlean --suggest "<settings file>"
//                                    shorthands for the page, best first (see
//                                    selectorSuggester.h), on `out`; a line on `err` when
//                                    there is none
//
// A feed with items carries the warnings about it as comments (see rssWriter.h), and `err`
// stays empty; when no item was found, `err` says why, with every warning.
//
// The exit code is 0 whenever a feed was written (also with diagnostics: a pattern that
// matched nothing, a date that could not be read), for --help, and for --suggest once the
// page was read; 1 when there is no feed: wrong arguments, settings that cannot work, a
// page that cannot be read, a search past its bound, a feed that could not be written.
// Each of those is one line on `err`.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/src/channelParameters.h"
#include "plugin/src/pageSource.h"
#include "plugin/src/pageText.h"

namespace plugin {

class PageGleanProgram {
 public:
  // `pages` must outlive the object.
  explicit PageGleanProgram(PageSource& pages) : pages_(pages) {}

  // `arguments` without the program's name, UTF-8; `now` in seconds since 1970 UTC.
  int run(const std::vector<std::string>& arguments, std::ostream& out, std::wostream& err,
          std::int64_t now);

 private:
  // The settings, their URL located; `origin` says where Preview's copy came from.
  ChannelParameters readSettings(const std::wstring& settingsPath, channel::PageOrigin& origin);
  PageText readPage(const std::wstring& url, const channel::PageOrigin& origin,
                    std::vector<std::wstring>& warnings);
  // The line that ends the diagnostics of a run that found no item; empty without one.
  static std::wstring bestSuggestion(std::string_view page);
  void suggest(const std::wstring& settingsPath, std::ostream& out, std::wostream& err);
  void scrape(const std::wstring& settingsPath, std::ostream& out, std::wostream& err,
              std::int64_t now);

  PageSource& pages_;
};

}  // namespace plugin
