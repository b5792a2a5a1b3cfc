#pragma once

#include <memory>
#include <optional>
#include <string>

#include "config/src/deferSave.h"
#include "lib/misc/src/readWriteLock.h"

namespace config {

class Store;
class StoreSection;

// Holds a store's write lock for a series of changes to one section, found or created, and
// defers automatic saves until the series is complete: the destructor drops the lock first
// and then releases its DeferSave, which may save once for all the changes.
// A path that names no section raises config::Exception.
class SectionWriteLock {
 public:
  SectionWriteLock(Store& store, const std::wstring& sectionPath);
  ~SectionWriteLock();
  SectionWriteLock(const SectionWriteLock&) = delete;
  SectionWriteLock& operator=(const SectionWriteLock&) = delete;

  StoreSection* section() const { return section_; }
  StoreSection* operator->() const { return section_; }

 private:
  Store& store_;
  std::optional<misc::ScopedWriteLock> lock_;
  StoreSection* section_ = nullptr;
  std::unique_ptr<DeferSave> token_;
};

}  // namespace config
