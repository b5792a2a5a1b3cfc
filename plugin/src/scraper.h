#pragma once
// Turns a page into a feed with the channel's settings: the section pattern picks the part
// of the page to search, item patterns 1-3 (or, without them, the shorthand) cut the items
// out of it, and each item's captures become its feed texts. The page is UTF-8 (pageText.h);
// only an item's own texts are made wide, so the page is never held twice.
//
// Every search is bounded: past `perByte` steps per byte of the text searched
// (plus a fixed allowance), it stops with PluginError, so no pattern can keep the plug-in
// busy for long. The searches are linear, so only a page that defeats the bound's margin
// gets there.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/inet/src/resolveUrl.h"
#include "plugin/src/channelParameters.h"
#include "plugin/src/feed.h"
#include "plugin/src/itemFinder.h"
#include "plugin/src/pattern.h"
#include "plugin/src/selector.h"

namespace plugin {

struct ScrapeResult {
  Feed feed;
  // About a feed that has items, so the feed carries them: a pattern that matched nothing
  // while another found items, a date that could not be read, a capture that ran long, a link
  // that was dropped.
  std::vector<std::wstring> warnings;
  // Why there is no item, when there is none.
  std::vector<std::wstring> failures;
};

class Scraper {
 public:
  // Throws PluginError for settings that cannot work: MaxItems not a positive number, an
  // unknown capture, a section pattern without exactly one {%}, a pattern with nothing but
  // captures and skips, a shorthand that is not a selector, neither item patterns nor a
  // shorthand.
  explicit Scraper(const ChannelParameters& parameters);

  // The feed of `page` without its items; `now`: seconds since 1970 UTC, for
  // lastBuildDate. No text RSS 2.0 requires is empty: the title is Title, else the text of
  // the page's <title>, else the link; the description is Description, else the title.
  Feed channel(std::string_view page, std::int64_t now) const;

  // Hands the items of `page` to `sink` in order, each as soon as it is made, so that they
  // need not all be held, and adds the warnings about them to `warnings`; returns the
  // failures, which are there only when no item is. Every search ends, and every warning
  // is added, before the first item is handed on: when a search throws PluginError (past
  // its bound, a page too deep for the shorthand), `sink` has not been called.
  using ItemSink = std::function<void(FeedItem&&)>;
  std::vector<std::wstring> scrapeItems(std::string_view page, std::vector<std::wstring>& warnings,
                                        const ItemSink& sink);

  // A capture longer than this for its field (a title of over 1,000 characters, say) gets
  // a warning: the literal after it most likely occurs much later than its author meant.
  static std::size_t longestCapture(Field field);

  // The channel and its items together; throws as scrapeItems does.
  ScrapeResult scrape(std::string_view page, std::int64_t now);

  void setWorkBound(std::uint64_t perByte, std::uint64_t allowance);
  // Steps of the last scrape, all searches together.
  std::uint64_t work() const { return work_; }

 private:
  std::uint64_t workLimit(std::size_t bytes) const;
  std::optional<std::string_view> section(std::string_view page,
                                          std::vector<std::wstring>& failures);
  void patternItems(std::string_view text, std::vector<std::wstring>& warnings,
                    std::vector<std::wstring>& failures, const ItemSink& sink);
  void shorthandItems(std::string_view text, std::vector<std::wstring>& warnings,
                      std::vector<std::wstring>& failures, const ItemSink& sink);
  // Every warning about item `number` of the feed comes from here, so that all are known
  // before the first item goes out; itemOf() makes the item and has nothing to say.
  void itemWarnings(const Match& match, std::string_view text, std::size_t number,
                    std::vector<std::wstring>& warnings) const;
  FeedItem itemOf(const Match& match, std::string_view text) const;
  static std::wstring linkText(const Match& match, std::string_view text, Field field);
  // Adds the warning that item `number`'s `link` is dropped, when a feed may not carry it
  // (linkScheme.h).
  static void linkWarning(const std::wstring& link, std::size_t number,
                          std::vector<std::wstring>& warnings);
  // `link` resolved; empty when a feed may not carry it.
  std::wstring resolved(const std::wstring& link) const;

  ChannelParameters parameters_;
  int maxItems_;
  std::optional<Pattern> section_;
  std::vector<Pattern> items_;
  std::optional<Selector> shorthand_;
  std::optional<platform::inet::UrlResolver> resolver_;
  std::uint64_t perByte_ = 64;
  std::uint64_t allowance_ = 1 << 20;
  std::uint64_t work_ = 0;
};

}  // namespace plugin
