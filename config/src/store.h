#pragma once
// The configuration store: a tree of named sections of string values, its lock, its dirty
// flag and its save policy. A concrete store supplies the persistent form through the
// hooks (readFrom, writeTo, openSaveStream, closeSaveStream).
//
// Save policy: a change marks the store dirty; with autoSave on it also asks for a save.
// A save that is not forced does nothing while the store is clean or while DeferSave tokens
// are outstanding (releasing the last one saves), and is handed to the delayed-save worker
// when a delay is set and the worker runs. Stores start with autoSave off, so they are
// written only when a caller asks.
//
// Section paths are described in sectionPath.h. Every operation locks the store (read for
// queries, write for changes); the lock is re-entrant.

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <set>
#include <string>

#include "config/src/deferSave.h"
#include "config/src/storeSection.h"
#include "lib/misc/src/readWriteLock.h"
#include "platform/src/cLocale.h"

namespace config {

class Store {
 public:
  // `blockSectionNames`: a null-terminated array of full section names ("a/b") whose
  // sections hold one block of text instead of values, or null.
  explicit Store(const wchar_t* const* blockSectionNames);
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  // Discards the tree without saving. Delayed saves end in the most-derived destructor (see
  // endDelayedSaves).
  virtual ~Store();
  virtual std::wstring getString(const std::wstring& sectionPath, const std::wstring& key,
                                 bool trim, const std::wstring& defaultValue);
  // Creates the section when needed. A path that names no section raises config::Exception.
  virtual void setString(const std::wstring& sectionPath, const std::wstring& key,
                         const std::wstring& value);
  virtual void deleteSection(const std::wstring& sectionPath);
  virtual void deleteKey(const std::wstring& sectionPath, const std::wstring& key);
  // Replaces the section at `targetPath` (empty: `sourcePath`) by a deep copy of the section
  // at `sourcePath` of `source`, as it was before the call; when that does not exist the
  // target is left empty. A target path that names no section raises config::Exception.
  virtual void copySection(Store& source, const std::wstring& sourcePath,
                           const std::wstring& targetPath);
  // The root first, then every section depth-first.
  virtual bool enumSections(SectionCallback callback, void* userData);
  virtual bool enumKeys(KeyCallback callback, void* userData);
  // A description of the store for log lines.
  virtual std::wstring getName() = 0;
  virtual void dump(std::wostream& out, std::uint32_t flags, const std::wstring& indent);

 protected:
  // Parses the persistent form into the (empty) tree.
  virtual void readFrom(std::istream& in) = 0;
  virtual void writeTo(std::ostream& out) = 0;
  // Runs at the start of reset().
  virtual void onReset() = 0;

 public:
  virtual void markDirty();
  // Unregisters `token` (an unknown one is ignored); the last release saves when autoSave
  // is on or the token was a queued save. The caller deletes the token.
  virtual void releaseDeferSave(DeferSave* token);

 protected:
  // The buffer a save writes into; null when there is nothing to save to.
  virtual std::unique_ptr<std::ostream> openSaveStream() = 0;
  // Commits the buffer to the medium; throws when it cannot.
  virtual void closeSaveStream(std::unique_ptr<std::ostream> stream) = 0;

 public:
  int getInt(const std::wstring& sectionPath, const std::wstring& key, int defaultValue);
  std::wstring getCheckedString(const std::wstring& sectionPath, const std::wstring& key,
                                const std::wstring& defaultValue, bool trim);
  StoreSection* findSection(const std::wstring& path, bool create);
  // Replaces the tree by an empty one; marks the store dirty.
  void reset();
  // Replaces the tree by what `in` holds; the store is clean afterwards.
  void loadFrom(std::istream& in);
  // Writes the tree now when forced; otherwise follows the save policy.
  void save(bool force);
  std::unique_ptr<DeferSave> allocDeferSave();
  bool isDirty();
  bool isAutoSave();
  bool isBlockSection(const std::wstring& fullName);
  // Whether any section holds block data; fixed when the store is made.
  bool hasBlockSections() const { return !blockSections_.empty(); }
  std::size_t deferSaveCount();

  misc::ReadWriteLock& lock() { return lock_; }
  StoreSection& root() { return *root_; }

 protected:
  // The policy is fixed when a concrete store is made; -1 seconds means the process
  // default, which is no delay.
  void setSavePolicy(bool autoSave, int delayedSaveSecs);
  // Marks the store dirty without asking for a save.
  void setDirty();
  // Drops this store's queued delayed saves and waits for one that the worker is performing.
  // That save calls the store's virtual hooks, which stay the most-derived class's only until
  // a base destructor begins: so the most-derived class's destructor calls this before
  // anything else (IniFileStore's does; so must that of a class derived from a store whose
  // saves may be queued). The caller must not hold the store's lock.
  void endDelayedSaves();

 private:
  void writeNow();

  misc::ReadWriteLock lock_;
  std::set<std::wstring, platform::NoCaseLess> blockSections_;
  bool autoSave_ = false;
  int delayedSaveSecs_ = 0;
  std::unique_ptr<StoreSection> root_;
  bool dirty_ = false;
  std::set<const DeferSave*> deferSaves_;
};

}  // namespace config
