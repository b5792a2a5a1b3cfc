#pragma once
// The page a settings URL names, by its scheme: a plain path or a file: URL is read from
// disk; an http or https URL has its date placeholders ({%Y%}, see
// StrftimeTemplateProcessor) expanded and is then downloaded. Any other scheme ("ftp:",
// "mailto:") throws PluginError "PageGlean can't read the URL <url>: ...".
//
// Downloads are not wired yet: an http or https URL throws PluginError "This build of
// PageGlean can't download http and https pages yet: <expanded url>".

#include <string>

#include "plugin/src/filePageSource.h"
#include "plugin/src/pageSource.h"

namespace plugin {

class UrlPageSource : public PageSource {
 public:
  std::string fetch(const std::wstring& url) override;

  // `url` with its date placeholders expanded for the current time.
  static std::wstring expandDatePlaceholders(const std::wstring& url);

 private:
  FilePageSource files_;
};

}  // namespace plugin
