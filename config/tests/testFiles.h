#pragma once
// File helpers of the config tests: scratch directories, whole-file reads and writes, and
// children that run under the file permissions even when the tests run as root.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace config::test {

// A fresh directory, removed with everything in it (whatever its modes) when destroyed.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  std::wstring wfile(const std::string& name) const;
  // Names in the directory, sorted.
  std::vector<std::string> entries() const;

 private:
  std::string path_;
};

// Names in `directory`, sorted.
std::vector<std::string> listDirectory(const std::string& directory);
std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, std::string_view bytes);
// A file of this folder's data/ directory.
std::string dataFile(const std::string& name);

// Runs `body` in a forked child and returns its exit code; 128 + n when signal n ended it.
int runInChild(const std::function<int()>& body);

// Drops every capability of the calling process, so that file permissions bind it even as
// root. Meant for forked children; false when the system refused.
bool dropCapabilities();

}  // namespace config::test
