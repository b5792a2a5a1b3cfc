#pragma once
// Opening template, include and output files. Paths are UTF-8 on disk; contents go
// through NullCodecvt, one byte per character.

#include <fstream>
#include <string>

namespace templateProcessor::internal {

// False when the file is not a regular file or cannot be opened.
bool openByteInput(const std::wstring& path, std::wifstream& file);
// Creates or truncates the file; false when that fails.
bool openByteOutput(const std::wstring& path, std::wofstream& file);

}  // namespace templateProcessor::internal
