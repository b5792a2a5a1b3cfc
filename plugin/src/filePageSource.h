#pragma once
// Pages on disk: a plain path, or a file: URL ("file:///srv/page.html", "file:/srv/a%20b",
// "file://localhost/srv/page.html"), read by the network module's rules for local pages
// (net/src/fileUrl.h, net/src/localPage.h).

#include <string>

#include "plugin/src/pageSource.h"

namespace plugin {

class FilePageSource : public PageSource {
 public:
  // Throws PluginError "Can't read the page <url>: <reason>" (a missing file, a directory,
  // a pipe or a device, a page of more than 1 GiB), or the network module's message for a
  // file: URL that names another host.
  std::string fetch(const std::wstring& url) override;
};

}  // namespace plugin
