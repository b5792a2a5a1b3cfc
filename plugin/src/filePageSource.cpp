#include "plugin/src/filePageSource.h"

#include "lib/misc/src/wruntimeError.h"
#include "net/src/fileUrl.h"
#include "net/src/localPage.h"
#include "plugin/src/istring.h"
#include "plugin/src/pluginError.h"

namespace plugin {

using internal::istring;

std::string FilePageSource::fetch(const std::wstring& url) {
  std::wstring path;
  try {
    path = net::fileUrlPath(url);
  } catch (const misc::wruntime_error& e) {
    throw PluginError(e.wideMessage());  // another computer's file: the reason says it all
  }
  std::string bytes;
  const platform::RegularFileResult result =
      net::readLocalPage(path, [&bytes](std::string_view block) { bytes.append(block); });
  if (!result.ok()) {
    throw PluginError(istring(14210).format(url, net::localPageErrorText(result)));
  }
  return bytes;
}

}  // namespace plugin
