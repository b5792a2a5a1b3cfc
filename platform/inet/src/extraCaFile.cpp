#include "platform/inet/src/extraCaFile.h"

#include <mutex>

#include "platform/src/environment.h"

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

std::string variable(const char* name) {
  return platform::environmentVariable(name).value_or(std::string());
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

CaLocations caLocations() {
  CaLocations locations{extraCaFile(), {}};
  if (!locations.file.empty()) return locations;
  locations.file = variable("CURL_CA_BUNDLE");
  if (!locations.file.empty()) return locations;
  // Both together, as current curl reads them.
  locations.file = variable("SSL_CERT_FILE");
  locations.directory = variable("SSL_CERT_DIR");
  return locations;
}

}  // namespace platform::inet
