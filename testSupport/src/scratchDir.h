#pragma once
// A private scratch directory for one test, and whole-file reads and writes. Linked by test
// programs only.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace testSupport {

// A fresh directory (mode 0700) under the system's temporary directory, removed with
// everything in it when destroyed, whatever modes a test left on what it holds. Throws
// std::runtime_error when the directory cannot be made.
class ScratchDir {
 public:
  explicit ScratchDir(std::string_view prefix = "pgTest");
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  std::filesystem::path root() const { return path_; }
  // The path of `relative` inside the directory, narrow (UTF-8) and wide.
  std::string file(std::string_view relative) const;
  std::wstring wfile(std::string_view relative) const;
  // Writes `bytes` to `relative`, creating the directories on the way.
  void write(std::string_view relative, std::string_view bytes) const;
  std::string read(std::string_view relative) const;
  // Names in the directory itself, sorted.
  std::vector<std::string> entries() const;

 private:
  std::string path_;
};

// Names in `directory`, sorted.
std::vector<std::string> listDirectory(const std::string& directory);
// The whole file; empty when it cannot be read.
std::string readBytes(const std::string& path);
// Replaces the file's content; throws std::runtime_error when it cannot be written.
void writeBytes(const std::string& path, std::string_view bytes);

}  // namespace testSupport
