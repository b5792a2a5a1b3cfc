#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

namespace config {
class Store;
class StoreSection;
}  // namespace config

namespace config::internal {

// Reads an INI file into a store's tree, line by line; the caller holds the store's write
// lock. Values are set directly, without marking the store dirty.
class IniReader {
 public:
  IniReader(Store& store, std::uint32_t commentFlags);

  void read(std::istream& in);

 private:
  void readLine(std::string_view line);
  void readHeader(std::string_view text);
  void finishBlock();

  Store& store_;
  const std::uint32_t flags_;
  // Null after a header that names no section: its lines are skipped.
  StoreSection* current_;
  StoreSection* block_ = nullptr;
  std::string blockText_;
};

}  // namespace config::internal
