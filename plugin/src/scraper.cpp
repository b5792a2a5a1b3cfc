#include "plugin/src/scraper.h"

#include <span>

#include "platform/inet/src/resolveUrl.h"
#include "platform/src/utf8.h"
#include "plugin/src/feedDate.h"
#include "plugin/src/htmlText.h"
#include "plugin/src/istring.h"
#include "plugin/src/linkScheme.h"
#include "plugin/src/pageExcerpt.h"
#include "plugin/src/pluginError.h"
#include "plugin/src/shorthandFinder.h"

namespace plugin {
namespace {

using internal::istring;

void requireText(const Pattern& pattern) {
  if (pattern.segments().empty()) throw PluginError(istring(14208).format(pattern.name()));
}

std::wstring trimmed(std::wstring_view text) {
  while (!text.empty() && LiteralPiece::isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && LiteralPiece::isSpace(text.back())) text.remove_suffix(1);
  return std::wstring(text);
}

}  // namespace

Scraper::Scraper(const ChannelParameters& parameters)
    : parameters_(parameters), maxItems_(maxItemsOf(parameters)) {
  if (!parameters.m_sectionPattern.empty()) {
    section_.emplace(parameters.m_sectionPattern, istring(14214));
    if (section_->captureCount() != 1 || section_->captures(Field::Description) != 1) {
      throw PluginError(istring(14209).format(std::span<const wchar_t* const>()));
    }
  }
  for (std::size_t i = 0; i < parameters.m_itemPattern.size(); ++i) {
    if (parameters.m_itemPattern[i].empty()) continue;
    items_.emplace_back(parameters.m_itemPattern[i], istring(14213).format(std::to_wstring(i + 1)));
    requireText(items_.back());
  }
  if (items_.empty() && !parameters.m_shorthand.empty()) shorthand_.emplace(parameters.m_shorthand);
  if (items_.empty() && !shorthand_) throw PluginError(istring(14206));

  // Links are relative to the base URL, else to the page's URL when that is one.
  const std::string base = platform::toUtf8(parameters.m_baseUrl);
  const std::string page = platform::toUtf8(parameters.m_url);
  if (!base.empty()) {
    resolver_.emplace(base);
  } else if (platform::inet::hasUrlScheme(page)) {
    resolver_.emplace(page);
  }
}

void Scraper::setWorkBound(std::uint64_t perCharacter, std::uint64_t allowance) {
  perCharacter_ = perCharacter;
  allowance_ = allowance;
}

std::uint64_t Scraper::workLimit(std::size_t characters) const {
  return perCharacter_ * (characters + 1) + allowance_;
}

Feed Scraper::channel(std::int64_t now) const {
  Feed feed;
  feed.title = parameters_.m_title;
  feed.description = parameters_.m_description;
  feed.link = !parameters_.m_baseUrl.empty() ? parameters_.m_baseUrl : parameters_.m_url;
  if (feed.link.starts_with(L'/')) feed.link = L"file://" + feed.link;
  feed.lastBuildDate = rfc822FromUnixTime(now);
  return feed;
}

ScrapeResult Scraper::scrape(std::wstring_view page, std::int64_t now) {
  ScrapeResult result{channel(now), {}};
  result.diagnostics = scrapeItems(
      page, [&result](FeedItem&& item) { result.feed.items.push_back(std::move(item)); });
  return result;
}

std::vector<std::wstring> Scraper::scrapeItems(std::wstring_view page, const ItemSink& sink) {
  std::vector<std::wstring> diagnostics;
  work_ = 0;
  const std::optional<std::wstring_view> text = section(page, diagnostics);
  if (!text) return diagnostics;
  if (shorthand_) {
    shorthandItems(*text, diagnostics, sink);
  } else {
    patternItems(*text, diagnostics, sink);
  }
  return diagnostics;
}

std::optional<std::wstring_view> Scraper::section(std::wstring_view page,
                                                  std::vector<std::wstring>& diagnostics) {
  if (!section_) return page;
  ItemFinder finder({&*section_}, page, workLimit(page.size()));
  const std::vector<Match> found = finder.find(1);
  work_ += finder.work();
  if (found.empty()) {
    diagnostics = finder.mismatches();
    return std::nullopt;
  }
  return found.front().capture(page, Field::Description);
}

void Scraper::patternItems(std::wstring_view text, std::vector<std::wstring>& diagnostics,
                           const ItemSink& sink) {
  std::vector<const Pattern*> patterns;
  for (const Pattern& pattern : items_) patterns.push_back(&pattern);
  ItemFinder finder(patterns, text, workLimit(text.size()));
  const std::vector<Match> matches = finder.find(static_cast<std::size_t>(maxItems_));
  for (const std::wstring& mismatch : finder.mismatches()) diagnostics.push_back(mismatch);
  work_ += finder.work();
  for (std::size_t i = 0; i < matches.size(); ++i) {
    sink(itemOf(matches[i], text, i + 1, diagnostics));
  }
}

void Scraper::shorthandItems(std::wstring_view text, std::vector<std::wstring>& diagnostics,
                             const ItemSink& sink) {
  ShorthandFinder finder(*shorthand_, text);
  const std::vector<ShorthandItem> found = finder.find(static_cast<std::size_t>(maxItems_));
  for (std::size_t i = 0; i < found.size(); ++i) {
    FeedItem item;
    item.title = found[i].title;
    item.link = resolved(trimmed(found[i].link), i + 1, diagnostics);
    sink(std::move(item));
  }
  if (found.empty()) diagnostics.push_back(finder.mismatch());
}

FeedItem Scraper::itemOf(const Match& match, std::wstring_view text, std::size_t number,
                         std::vector<std::wstring>& diagnostics) const {
  FeedItem item;
  item.title = plainText(match.capture(text, Field::Title));
  item.link =
      resolved(trimmed(decodeEntities(match.capture(text, Field::Link))), number, diagnostics);
  item.description = trimmed(match.capture(text, Field::Description));
  item.author = plainText(match.capture(text, Field::Author));
  item.image =
      resolved(trimmed(decodeEntities(match.capture(text, Field::Image))), number, diagnostics);
  const std::wstring date = plainText(match.capture(text, Field::Date));
  if (!date.empty()) {
    if (const auto pubDate = rfc822FromText(date)) {
      item.pubDate = *pubDate;
    } else {
      diagnostics.push_back(istring(14224).format(shownHead(date), std::to_wstring(number)));
    }
  }
  return item;
}

std::wstring Scraper::resolved(const std::wstring& link, std::size_t number,
                               std::vector<std::wstring>& diagnostics) const {
  if (!isFeedLink(link)) {
    diagnostics.push_back(istring(14241).format(std::to_wstring(number), shownHead(link)));
    return {};
  }
  if (link.empty() || !resolver_) return link;
  const auto absolute = resolver_->resolve(platform::toUtf8(link));
  return absolute ? platform::fromUtf8(*absolute) : link;
}

}  // namespace plugin
