#pragma once
// A shared object loaded at run time (the language packs), closed when the object dies.

#include <memory>
#include <string>

namespace platform {

class SharedLibrary {
 public:
  // Loads the library at `path` (UTF-8). Null on failure, with the reason in `error`.
  static std::unique_ptr<SharedLibrary> open(const std::string& path, std::string& error);

  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // The address of an exported symbol, or null.
  void* symbol(const char* name) const;

 private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace platform
