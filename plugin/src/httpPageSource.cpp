#include "plugin/src/httpPageSource.h"

#include "lib/misc/src/wruntimeError.h"
#include "net/src/internetConn.h"
#include "plugin/src/istring.h"
#include "plugin/src/pluginError.h"

namespace plugin {

using internal::istring;

std::string HttpPageSource::fetch(const std::wstring& url) {
  net::ByteVector bytes;
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
