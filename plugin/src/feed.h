#pragma once
// A feed as the plug-in writes it: the channel and its items, every text final (titles
// plain, links absolute where they could be resolved, dates in RFC 822 form).

#include <string>
#include <vector>

namespace plugin {

struct FeedItem {
  std::wstring title;
  std::wstring link;
  std::wstring description;  // HTML
  std::wstring pubDate;
  std::wstring author;
  std::wstring image;
};

struct Feed {
  std::wstring title;
  std::wstring link;
  std::wstring description;
  std::wstring lastBuildDate;
  std::vector<FeedItem> items;
};

}  // namespace plugin
