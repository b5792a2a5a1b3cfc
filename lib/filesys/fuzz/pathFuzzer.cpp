// Any path splits into parts that join back into the same path, except the bare
// `//server/share` forms, which gain their trailing separator.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "lib/filesys/src/filesys.h"
#include "platform/src/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring path =
      platform::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  std::wstring drive, dir, name, ext;
  tools::splitPath(path, &drive, &dir, &name, &ext);
  if (!ext.empty() && ext.front() != L'.') std::abort();
  if (name.find(L'/') != std::wstring::npos || ext.find(L'/') != std::wstring::npos) {
    std::abort();
  }
  const std::wstring joined = tools::makePath(drive, dir, name, ext);
  const bool bareShare = !drive.empty() && dir.empty() && name.empty() && ext.empty();
  if (bareShare ? joined.rfind(path, 0) != 0 : joined != path) std::abort();
  if (tools::getDirectory(path) != tools::makePath(drive, dir)) std::abort();
  return 0;
}
