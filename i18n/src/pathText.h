#pragma once
// The path operations of the string machinery, on wide paths with '/' (a '\' is accepted
// as a separator too). Paths reach the file system as UTF-8.

#include <string>
#include <vector>

namespace i18n::internal {

// "dir/name.ext" -> "dir/"; "" when the path has no directory part.
std::wstring directoryOf(const std::wstring& path);
// "dir/name.ext" -> "name"; a leading dot belongs to the name (".lang" has no extension).
std::wstring baseNameOf(const std::wstring& path);
// "dir/name.ext", ".smap" -> "dir/name.smap"; a path without extension gains one.
std::wstring replaceExtension(const std::wstring& path, const std::wstring& extension);
// Joins with one separator, added only when `directory` lacks one.
std::wstring joinPath(const std::wstring& directory, const std::wstring& name);
// The directory of `executablePath` and then each ancestor, every one ending in a separator:
// "/a/b/prog" -> "/a/b/", "/a/", "/".
std::vector<std::wstring> searchDirectories(const std::wstring& executablePath);
bool isRegularFile(const std::wstring& path);

// The running program's executable, or the path set for testing.
std::wstring programPath();
// Tests point the machinery at a program in a temporary tree; empty restores the real one.
void setProgramPathForTesting(const std::wstring& path);

}  // namespace i18n::internal
