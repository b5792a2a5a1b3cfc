#include "settingsEditor/src/pageDownloader.h"

#include "lib/misc/src/wruntimeError.h"

namespace settingsEditor {

namespace {

// Until the network library is linked in, every download fails with a clear text.
class NoNetworkDownloader : public PageDownloader {
 public:
  void download(const std::wstring& url, std::string&, const Progress&) override {
    throw misc::wruntime_error(L"This build cannot download " + url + L".");
  }
};

}  // namespace

PageDownloader& defaultPageDownloader() {
  static NoNetworkDownloader downloader;
  return downloader;
}

}  // namespace settingsEditor
