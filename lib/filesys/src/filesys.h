#pragma once
// Path handling and simple file queries. Paths are wide strings of any length. `/` is the
// only separator and the one these operations insert; `\` is an ordinary file-name
// character and there are no drive letters. A path that begins with `//` is a network-share
// path: its "drive" is the whole `//server/share` prefix.
//
//     splitPath(L"//srv/share/d/f.txt", &drive, &dir, &name, &ext);
//     // drive "//srv/share", dir "/d/", name "f", ext ".txt"

#include <cstdint>
#include <string>

namespace tools {

// The running program's executable path; empty if the system cannot tell.
std::wstring getModulePath();

// Splits `path` into drive (only for `//server/share` paths), directory (with its leading
// and trailing separators), file name and extension (from the last dot of the file name,
// with the dot). Any output may be null.
void splitPath(const std::wstring& path, std::wstring* drive, std::wstring* dir, std::wstring* name,
               std::wstring* ext);

// Joins the parts: a separator is added after a directory that lacks one and a dot before
// an extension that lacks one. A `//server/share` drive is joined to the directory with
// exactly one separator between them.
std::wstring makePath(const std::wstring& drive, const std::wstring& dir,
                      const std::wstring& name = {}, const std::wstring& ext = {});

// Drive and directory of `path`, with the trailing separator and without the file name.
std::wstring getDirectory(const std::wstring& path);

// `path` with its extension replaced by `ext` (given with or without its dot).
std::wstring changeExtension(const std::wstring& path, const std::wstring& ext);

// Sets `size` and returns true when the file can be examined and its size fits 32 bits;
// otherwise (also for a directory, which has no size here) returns false and leaves `size`
// alone.
bool getFileSize(const std::wstring& path, std::uint32_t& size);
// The same for any size: outputs of more than 4 GiB are sized here.
bool getFileSize(const std::wstring& path, std::uint64_t& size);

// True when `path` exists and is not a directory.
bool isFile(const std::wstring& path);

}  // namespace tools
