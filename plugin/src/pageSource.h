#pragma once
// Where the plug-in gets a page's bytes from; the URL of the settings says which page.

#include <string>

namespace plugin {

class PageSource {
 public:
  virtual ~PageSource() = default;
  // The URL as it is fetched, and as the feed names it and resolves links against.
  virtual std::wstring locate(const std::wstring& url) { return url; }
  // The page's bytes, exactly as stored or sent. Throws PluginError with the one line to
  // show when there are none.
  virtual std::string fetch(const std::wstring& url) = 0;
};

}  // namespace plugin
