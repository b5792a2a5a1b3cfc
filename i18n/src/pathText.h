#pragma once
// Where the string machinery looks for language files.

#include <string>
#include <vector>

namespace i18n::internal {

// The directory of `executablePath` and then each ancestor, every one ending in a separator:
// "/a/b/prog" -> "/a/b/", "/a/", "/".
std::vector<std::wstring> searchDirectories(const std::wstring& executablePath);

// The running program's executable, or the path set for testing.
std::wstring programPath();
// The program's file name without directory and extension.
std::wstring programBaseName();
// Tests point the machinery at a program in a temporary tree; empty restores the real one.
void setProgramPathForTesting(const std::wstring& path);

}  // namespace i18n::internal
