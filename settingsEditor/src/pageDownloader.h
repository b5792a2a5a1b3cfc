#pragma once
// How Preview fetches the page to scrape. The real one goes through the network library;
// tests use their own.

#include <functional>
#include <string>
#include <vector>

namespace settingsEditor {

class PageDownloader {
 public:
  // Told what the transfer has done so far ("Received 12 Kb..."); returns true to cancel it.
  // Called on the thread that downloads.
  using Progress = std::function<bool(const std::wstring& text)>;

  virtual ~PageDownloader() = default;

  // Replaces `bytes` by the body of `url`, decoded from any transfer compression, and
  // `contentType` by the response's Content-Type (empty when none came, as for a local
  // file). Throws misc::wruntime_error with a text ready to show when the page cannot be
  // had, and "The download was cancelled." when `progress` asked for it; the outputs are
  // then unspecified. May run on any thread, one download at a time.
  virtual void download(const std::wstring& url, std::vector<char>& bytes,
                        std::wstring& contentType, const Progress& progress) = 0;
};

// The network library's, in synchronous mode; lives for the process.
PageDownloader& defaultPageDownloader();

}  // namespace settingsEditor
