#include "templateProcessor/src/byteFiles.h"

#include <filesystem>
#include <system_error>

#include "lib/misc/src/textConversion.h"
#include "templateProcessor/src/nullCodecvt.h"

namespace templateProcessor::internal {

bool openByteInput(const std::wstring& path, std::wifstream& file) {
  // Only regular files: a directory opens and reads nothing, and a device or pipe
  // (/dev/zero, /dev/stdin) would never end or block the run.
  std::error_code error;
  if (!std::filesystem::is_regular_file(misc::toAnsi(path), error)) return false;
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
