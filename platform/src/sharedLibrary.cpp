#include "platform/src/sharedLibrary.h"

#include <dlfcn.h>

namespace platform {

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::string& path, std::string& error) {
  // A path without a slash would make dlopen search the library path instead.
  return load(path.find('/') == std::string::npos ? "./" + path : path, error);
}

std::unique_ptr<SharedLibrary> SharedLibrary::openInstalled(const std::string& fileName,
                                                            std::string& error) {
  return load(fileName, error);
}

std::unique_ptr<SharedLibrary> SharedLibrary::load(const std::string& name, std::string& error) {
  void* handle = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = ::dlerror();
    error = reason ? reason : "";
    return nullptr;
  }
  error.clear();
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
}

SharedLibrary::~SharedLibrary() {
  ::dlclose(handle_);
}

void* SharedLibrary::symbol(const char* name) const {
  return ::dlsym(handle_, name);
}

}  // namespace platform
