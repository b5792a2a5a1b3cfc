#pragma once
// The page a settings URL names, by its scheme: a plain path or a file: URL is read from
// disk; an http or https URL is downloaded, once locate() has expanded its date
// placeholders ({%Y%}, see StrftimeTemplateProcessor). Any other scheme ("ftp:",
// "mailto:") throws PluginError "PageGlean can't read the URL <url>: ...".

#include <string>

#include "plugin/src/filePageSource.h"
#include "plugin/src/httpPageSource.h"
#include "plugin/src/pageSource.h"

namespace plugin {

class UrlPageSource : public PageSource {
 public:
  // An http or https URL with its date placeholders expanded for the current time; any
  // other as it is.
  std::wstring locate(const std::wstring& url) override;
  std::string fetch(const std::wstring& url) override;
  std::wstring contentType() const override { return last_ ? last_->contentType() : L""; }

 private:
  FilePageSource files_;
  HttpPageSource web_;
  const PageSource* last_ = nullptr;
};

}  // namespace plugin
