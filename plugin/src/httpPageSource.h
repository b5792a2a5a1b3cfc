#pragma once
// Pages on the web: downloaded whole through the network library's synchronous connection.
// Redirects are followed and a gzip body is decoded there; any answer but 200 is a failure.
// A download may take 300 s at most, or the seconds that PAGEGLEAN_DOWNLOAD_TIME_LIMIT
// gives (0: no limit; a value that is not a number counts as unset).

#include <string>

#include "plugin/src/pageSource.h"

namespace plugin {

class HttpPageSource : public PageSource {
 public:
  // Throws PluginError "Can't read the page <url>: <the network library's reason>". Sets the
  // process's network time limit first.
  std::string fetch(const std::wstring& url) override;
  std::wstring contentType() const override { return contentType_; }

 private:
  std::wstring contentType_;
};

}  // namespace plugin
