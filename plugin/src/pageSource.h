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
  // The Content-Type the last fetch() came with ("text/html; charset=koi8-r"); empty when
  // there was none, as for a file.
  virtual std::wstring contentType() const { return {}; }
};

}  // namespace plugin
