#pragma once
// A shared object loaded at run time (the language packs, a system library the program
// can do without), closed when the object dies.

#include <memory>
#include <string>

namespace platform {

class SharedLibrary {
 public:
  // Loads the library at `path` (UTF-8). Null on failure, with the reason in `error`.
  static std::unique_ptr<SharedLibrary> open(const std::string& path, std::string& error);
  // Loads a system library by its file name ("libxcb.so.1"), searched for on the system's
  // library path. Null on failure, with the reason in `error`.
  static std::unique_ptr<SharedLibrary> openSystem(const std::string& name, std::string& error);

  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // The address of an exported symbol, or null.
  void* symbol(const char* name) const;

 private:
  explicit SharedLibrary(void* handle) : handle_(handle) {}
  static std::unique_ptr<SharedLibrary> load(const std::string& name, std::string& error);
  void* handle_;
};

}  // namespace platform
