#pragma once

#include <string>

#include "lib/misc/src/readWriteLock.h"

namespace config {

class Store;
class StoreSection;

// Holds a store's read lock for a series of reads of one section, so they see one state.
// The section is looked up, never created.
class SectionReadLock {
 public:
  SectionReadLock(Store& store, const std::wstring& sectionPath);
  SectionReadLock(const SectionReadLock&) = delete;
  SectionReadLock& operator=(const SectionReadLock&) = delete;

  bool valid() const { return section_ != nullptr; }
  // Null when the section does not exist.
  StoreSection* section() const { return section_; }
  StoreSection* operator->() const { return section_; }

 private:
  misc::ScopedReadLock lock_;
  StoreSection* section_;
};

}  // namespace config
