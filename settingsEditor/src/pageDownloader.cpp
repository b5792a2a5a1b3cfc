#include "settingsEditor/src/pageDownloader.h"

#include "net/src/httpRequest.h"
#include "net/src/internetConn.h"

namespace settingsEditor {

namespace {

// A fresh synchronous connection per page: nothing of one download outlives it.
class NetPageDownloader : public PageDownloader {
 public:
  void download(const std::wstring& url, std::vector<char>& bytes, std::wstring& contentType,
                const Progress& progress) override {
    net::InternetConn connection;
    connection.open(false);
    contentType =
        connection.downloadUrl(url, bytes, &report, reinterpret_cast<std::uintptr_t>(&progress));
  }

 private:
  static int report(const misc::CProgress& state, const net::HttpRequest&, std::uintptr_t context,
                    bool* cancel) {
    const Progress& progress = *reinterpret_cast<const Progress*>(context);
    if (progress && progress(state.getText())) *cancel = true;
    return 0;
  }
};

}  // namespace

PageDownloader& defaultPageDownloader() {
  static NetPageDownloader downloader;
  return downloader;
}

}  // namespace settingsEditor
