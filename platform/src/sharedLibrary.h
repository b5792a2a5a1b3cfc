#pragma once
// A shared object loaded at run time (the language packs, libcurl, the X client library),
// closed when the object dies. Its symbols stay private to it: they do not resolve those of other
// libraries.

#include <memory>
#include <string>

namespace platform {

class SharedLibrary {
 public:
  // Loads the library at `path` (UTF-8). Null on failure, with the reason in `error`.
  static std::unique_ptr<SharedLibrary> open(const std::string& path, std::string& error);
  // Loads an installed library by its file name ("libcurl.so.4"), found where the dynamic
  // linker finds the program's own libraries. Null on failure, with the reason in `error`.
  static std::unique_ptr<SharedLibrary> openInstalled(const std::string& fileName,
                                                      std::string& error);

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
