#include "plugin/src/scraper.h"

#include <cstdint>
#include <iterator>
#include <span>

#include "platform/inet/src/resolveUrl.h"
#include "platform/src/utf8.h"
#include "plugin/src/feedDate.h"
#include "plugin/src/htmlText.h"
#include "plugin/src/istring.h"
#include "plugin/src/linkScheme.h"
#include "plugin/src/pageExcerpt.h"
#include "plugin/src/patternMatcher.h"
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

// The text of the page's first <title> element, plain.
std::wstring pageTitle(std::string_view page) {
  static const Pattern kTitle(L"<title{*}>{%}</title", L"");
  std::uint64_t work = 0;
  PatternMatcher matcher(kTitle, page, work, UINT64_MAX);
  const Match* match = matcher.next(0);
  return match ? plainText(match->wideCapture(page, Field::Description)) : std::wstring();
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

void Scraper::setWorkBound(std::uint64_t perByte, std::uint64_t allowance) {
  perByte_ = perByte;
  allowance_ = allowance;
}

std::uint64_t Scraper::workLimit(std::size_t bytes) const {
  return perByte_ * (bytes + 1) + allowance_;
}

Feed Scraper::channel(std::string_view page, std::int64_t now) const {
  Feed feed;
  feed.link = !parameters_.m_baseUrl.empty() ? parameters_.m_baseUrl : parameters_.m_url;
  if (feed.link.starts_with(L'/')) feed.link = L"file://" + feed.link;
  feed.title = !parameters_.m_title.empty() ? parameters_.m_title : pageTitle(page);
  if (feed.title.empty()) feed.title = feed.link;
  feed.description = !parameters_.m_description.empty() ? parameters_.m_description : feed.title;
  feed.lastBuildDate = rfc822FromUnixTime(now);
  return feed;
}

ScrapeResult Scraper::scrape(std::string_view page, std::int64_t now) {
  ScrapeResult result{channel(page, now), {}, {}};
  result.failures = scrapeItems(page, result.warnings, [&result](FeedItem&& item) {
    result.feed.items.push_back(std::move(item));
  });
  return result;
}

std::vector<std::wstring> Scraper::scrapeItems(std::string_view page,
                                               std::vector<std::wstring>& warnings,
                                               const ItemSink& sink) {
  std::vector<std::wstring> failures;
  work_ = 0;
  const std::optional<std::string_view> text = section(page, failures);
  if (!text) return failures;
  if (shorthand_) {
    shorthandItems(*text, warnings, failures, sink);
  } else {
    patternItems(*text, warnings, failures, sink);
  }
  return failures;
}

std::optional<std::string_view> Scraper::section(std::string_view page,
                                                 std::vector<std::wstring>& failures) {
  if (!section_) return page;
  ItemFinder finder({&*section_}, page, workLimit(page.size()));
  const std::deque<Match> found = finder.find(1);
  work_ += finder.work();
  if (found.empty()) {
    failures = finder.mismatches();
    return std::nullopt;
  }
  const Match& match = found.front();
  const std::string_view text = match.capture(page, Field::Description);
  if (!text.empty()) return text;
  // Items searched for in nothing would blame the item patterns.
  const auto& range = match.captures[static_cast<std::size_t>(Field::Description)];
  const std::span<const wchar_t* const> none;
  failures.push_back(range ? istring(14261).format(none) + pageExcerpt(page, range->first)
                           : istring(14260).format(none));
  return std::nullopt;
}

void Scraper::patternItems(std::string_view text, std::vector<std::wstring>& warnings,
                           std::vector<std::wstring>& failures, const ItemSink& sink) {
  std::vector<const Pattern*> patterns;
  for (const Pattern& pattern : items_) patterns.push_back(&pattern);
  ItemFinder finder(patterns, text, workLimit(text.size()));
  const std::deque<Match> matches = finder.find(static_cast<std::size_t>(maxItems_));
  std::vector<std::wstring> mismatches = finder.mismatches();
  work_ += finder.work();
  if (matches.empty()) {
    failures = std::move(mismatches);
    return;
  }
  warnings.insert(warnings.end(), std::make_move_iterator(mismatches.begin()),
                  std::make_move_iterator(mismatches.end()));
  for (std::size_t i = 0; i < matches.size(); ++i) {
    itemWarnings(matches[i], text, i + 1, warnings);
  }
  for (const Match& match : matches) sink(itemOf(match, text));
}

void Scraper::shorthandItems(std::string_view text, std::vector<std::wstring>& warnings,
                             std::vector<std::wstring>& failures, const ItemSink& sink) {
  ShorthandFinder finder(*shorthand_, text);
  const std::vector<ShorthandItem> found = finder.find(static_cast<std::size_t>(maxItems_));
  if (found.empty()) {
    failures.push_back(finder.mismatch());
    return;
  }
  for (std::size_t i = 0; i < found.size(); ++i) {
    linkWarning(trimmed(found[i].link), i + 1, warnings);
  }
  for (const ShorthandItem& each : found) {
    FeedItem item;
    item.title = each.title;
    item.link = resolved(trimmed(each.link));
    sink(std::move(item));
  }
}

std::size_t Scraper::longestCapture(Field field) {
  switch (field) {
    case Field::Description:
      return 100000;
    case Field::Link:
    case Field::Image:
      return 4000;
    case Field::Title:
      return 1000;
    case Field::Author:
      return 500;
    case Field::Date:
      return 200;
  }
  return 0;
}

void Scraper::itemWarnings(const Match& match, std::string_view text, std::size_t number,
                           std::vector<std::wstring>& warnings) const {
  for (std::size_t f = 0; f < kFieldCount; ++f) {
    const Field field = static_cast<Field>(f);
    const std::size_t most = longestCapture(field);
    // A character is a byte or more, so only a long run of bytes need be counted.
    const std::string_view captured = match.capture(text, field);
    if (captured.size() <= most) continue;
    const std::size_t characters = characterCount(captured);
    if (characters <= most) continue;
    const std::wstring capture = L"{%" + captureName(field) + L"}";
    const std::wstring item = std::to_wstring(number);
    const std::wstring length = std::to_wstring(characters);
    const std::wstring limit = std::to_wstring(most);
    const wchar_t* arguments[] = {capture.c_str(), item.c_str(), length.c_str(), limit.c_str()};
    warnings.push_back(istring(14262).format(arguments));
  }
  const std::wstring date = plainText(match.wideCapture(text, Field::Date));
  if (!date.empty() && !rfc822FromText(date)) {
    warnings.push_back(istring(14224).format(shownHead(date), std::to_wstring(number)));
  }
  linkWarning(linkText(match, text, Field::Link), number, warnings);
  linkWarning(linkText(match, text, Field::Image), number, warnings);
}

FeedItem Scraper::itemOf(const Match& match, std::string_view text) const {
  FeedItem item;
  item.title = plainText(match.wideCapture(text, Field::Title));
  item.link = resolved(linkText(match, text, Field::Link));
  item.description = trimmed(match.wideCapture(text, Field::Description));
  item.author = plainText(match.wideCapture(text, Field::Author));
  item.image = resolved(linkText(match, text, Field::Image));
  const std::wstring date = plainText(match.wideCapture(text, Field::Date));
  if (!date.empty()) item.pubDate = rfc822FromText(date).value_or(std::wstring());
  return item;
}

std::wstring Scraper::linkText(const Match& match, std::string_view text, Field field) {
  return trimmed(decodeEntities(match.wideCapture(text, field), ReferencePlace::Attribute));
}

void Scraper::linkWarning(const std::wstring& link, std::size_t number,
                          std::vector<std::wstring>& warnings) {
  if (!isFeedLink(link)) {
    warnings.push_back(istring(14241).format(std::to_wstring(number), shownHead(link)));
  }
}

std::wstring Scraper::resolved(const std::wstring& link) const {
  if (!isFeedLink(link)) return {};
  if (link.empty() || !resolver_) return link;
  const auto absolute = resolver_->resolve(platform::toUtf8(link));
  return absolute ? platform::fromUtf8(*absolute) : link;
}

}  // namespace plugin
