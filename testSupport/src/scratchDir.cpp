#include "testSupport/src/scratchDir.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/src/utf8.h"

namespace testSupport {

namespace fs = std::filesystem;

ScratchDir::ScratchDir(std::string_view prefix) {
  std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + ".XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  // Tests take permissions away to provoke failures; give them back so that all goes.
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(path_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string ScratchDir::file(std::string_view relative) const {
  return relative.empty() ? path_ : path_ + "/" + std::string(relative);
}

std::wstring ScratchDir::wfile(std::string_view relative) const {
  return platform::fromUtf8(file(relative));
}

void ScratchDir::write(std::string_view relative, std::string_view bytes) const {
  const fs::path target = file(relative);
  fs::create_directories(target.parent_path());
  writeBytes(target.string(), bytes);
}

std::string ScratchDir::read(std::string_view relative) const {
  return readBytes(file(relative));
}

std::vector<std::string> ScratchDir::entries() const {
  return listDirectory(path_);
}

std::vector<std::string> listDirectory(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace testSupport
