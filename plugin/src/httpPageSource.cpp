#include "plugin/src/httpPageSource.h"

#include <charconv>

#include "lib/misc/src/wruntimeError.h"
#include "net/src/internetConn.h"
#include "net/src/networkSettings.h"
#include "platform/src/environment.h"
#include "plugin/src/istring.h"
#include "plugin/src/pluginError.h"

namespace plugin {

using internal::istring;

namespace {

// A feed reader waits for the plug-in; a server that trickles must not keep it for ever.
constexpr std::uint32_t kDefaultTimeLimit = 300;

std::uint32_t downloadTimeLimit() {
  const std::optional<std::string> value =
      platform::environmentVariable("PAGEGLEAN_DOWNLOAD_TIME_LIMIT");
  if (!value || value->empty()) return kDefaultTimeLimit;
  std::uint32_t seconds = 0;
  const char* const end = value->data() + value->size();
  const auto [stop, error] = std::from_chars(value->data(), end, seconds);
  return error == std::errc() && stop == end ? seconds : kDefaultTimeLimit;
}

}  // namespace

std::string HttpPageSource::fetch(const std::wstring& url) {
  net::ByteVector bytes;
  net::networkSettings().timeLimit = downloadTimeLimit();
  contentType_.clear();
  try {
    net::InternetConn connection;
    connection.open(false);
    contentType_ = connection.downloadUrl(url, bytes);
  } catch (const misc::wruntime_error& e) {
    throw PluginError(istring(14210).format(url, e.wideMessage()));
  }
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace plugin
