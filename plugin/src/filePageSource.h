#pragma once
// Pages on disk: a plain path, or a file: URL ("file:///srv/page.html", "file:/srv/a%20b",
// "file://localhost/srv/page.html"), whose %XX escapes are decoded.

#include <optional>
#include <string>

#include "plugin/src/pageSource.h"

namespace plugin {

class FilePageSource : public PageSource {
 public:
  // Throws PluginError "Can't read the page <url>: <reason>" (a missing file, a
  // directory, a page of more than 1 GiB).
  std::string fetch(const std::wstring& url) override;

  // The path a file: URL names (none for another host); a plain path stays as it is.
  static std::optional<std::wstring> pathOf(const std::wstring& url);
};

}  // namespace plugin
