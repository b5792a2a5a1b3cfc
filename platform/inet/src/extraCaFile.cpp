#include "platform/inet/src/extraCaFile.h"

#include <mutex>

namespace platform::inet {
namespace {

std::mutex& caMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& caFile() {
  static std::string path;
  return path;
}

}  // namespace

void setExtraCaFile(const std::string& path) {
  const std::lock_guard lock(caMutex());
  caFile() = path;
}

std::string extraCaFile() {
  const std::lock_guard lock(caMutex());
  return caFile();
}

}  // namespace platform::inet
