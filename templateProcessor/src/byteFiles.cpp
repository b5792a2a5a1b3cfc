#include "templateProcessor/src/byteFiles.h"

#include "lib/misc/src/textConversion.h"
#include "templateProcessor/src/nullCodecvt.h"
#include "tools/src/filesys.h"

namespace templateProcessor::internal {

bool openByteInput(const std::wstring& path, std::wifstream& file) {
  if (!tools::isFile(path)) return false;  // a directory would open, then read nothing
  file.imbue(NullCodecvt::locale());
  file.open(misc::toAnsi(path), std::ios::in | std::ios::binary);
  return file.is_open();
}

bool openByteOutput(const std::wstring& path, std::wofstream& file) {
  file.imbue(NullCodecvt::locale());
  file.open(misc::toAnsi(path), std::ios::out | std::ios::trunc | std::ios::binary);
  return file.is_open();
}

}  // namespace templateProcessor::internal
