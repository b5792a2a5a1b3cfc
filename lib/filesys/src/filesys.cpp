#include "lib/filesys/src/filesys.h"

#include <filesystem>
#include <limits>

#include "platform/src/executable.h"
#include "platform/src/utf8.h"

namespace tools {
namespace {

constexpr wchar_t kSeparator = L'/';

bool isNetworkShare(const std::wstring& path) {
  return path.size() >= 2 && path[0] == kSeparator && path[1] == kSeparator;
}

// The length of the `//server/share` prefix of `path`: all of a path that ends within the
// share name, 0 for a path that is no share. Runs of separators with an empty server or
// share name are no share, so that splitting and joining again gives back the same text.
std::size_t shareDriveLength(const std::wstring& path) {
  if (path.size() < 3 || !isNetworkShare(path)) return 0;
  const std::size_t serverEnd = path.find(kSeparator, 2);
  if (serverEnd == std::wstring::npos) return path.size();
  if (serverEnd == 2) return 0;
  const std::size_t shareEnd = path.find(kSeparator, serverEnd + 1);
  if (shareEnd == std::wstring::npos) return path.size();
  return shareEnd == serverEnd + 1 ? 0 : shareEnd;
}

// Splits a path that has no drive: everything up to the last separator is the directory,
// the rest is name and extension.
void splitLocal(const std::wstring& path, std::wstring* dir, std::wstring* name,
                std::wstring* ext) {
  const std::size_t slash = path.rfind(kSeparator);
  const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
  std::size_t dot = path.rfind(L'.');
  if (dot == std::wstring::npos || dot < nameStart) dot = path.size();
  if (dir) *dir = path.substr(0, nameStart);
  if (name) *name = path.substr(nameStart, dot - nameStart);
  if (ext) *ext = path.substr(dot);
}

// `//server/share` and a directory with exactly one separator between them.
std::wstring joinShare(const std::wstring& drive, const std::wstring& dir) {
  const bool driveEnds = drive.back() == kSeparator;
  const bool dirStarts = !dir.empty() && dir.front() == kSeparator;
  if (driveEnds && dirStarts) return drive + dir.substr(1);
  if (driveEnds || dirStarts) return drive + dir;
  return drive + kSeparator + dir;
}

std::filesystem::path nativePath(const std::wstring& path) {
  return std::filesystem::path(platform::toUtf8(path));
}

}  // namespace

std::wstring getModulePath() {
  return platform::executablePath();
}

void splitPath(const std::wstring& path, std::wstring* drive, std::wstring* dir, std::wstring* name,
               std::wstring* ext) {
  const std::size_t driveLength = shareDriveLength(path);
  if (drive) *drive = path.substr(0, driveLength);
  splitLocal(path.substr(driveLength), dir, name, ext);
}

std::wstring makePath(const std::wstring& drive, const std::wstring& dir, const std::wstring& name,
                      const std::wstring& ext) {
  std::wstring result = isNetworkShare(drive) ? joinShare(drive, dir) : drive + dir;
  if (!result.empty() && result.back() != kSeparator) result += kSeparator;
  result += name;
  if (!ext.empty() && ext.front() != L'.') result += L'.';
  result += ext;
  return result;
}

std::wstring getDirectory(const std::wstring& path) {
  std::wstring drive, dir;
  splitPath(path, &drive, &dir, nullptr, nullptr);
  return makePath(drive, dir);
}

std::wstring changeExtension(const std::wstring& path, const std::wstring& ext) {
  std::wstring drive, dir, name;
  splitPath(path, &drive, &dir, &name, nullptr);
  return makePath(drive, dir, name, ext);
}

bool getFileSize(const std::wstring& path, std::uint32_t& size) {
  std::uint64_t bytes = 0;
  if (!getFileSize(path, bytes) || bytes > std::numeric_limits<std::uint32_t>::max()) return false;
  size = static_cast<std::uint32_t>(bytes);
  return true;
}

bool getFileSize(const std::wstring& path, std::uint64_t& size) {
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(nativePath(path), error);
  if (error) return false;
  size = bytes;
  return true;
}

bool isFile(const std::wstring& path) {
  std::error_code error;
  const auto status = std::filesystem::status(nativePath(path), error);
  return std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

}  // namespace tools
