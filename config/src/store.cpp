#include "config/src/store.h"

#include <ctime>

#include "config/src/delayedSaveWorkerThread.h"
#include "config/src/exception.h"
#include "config/src/istring.h"
#include "config/src/sectionPath.h"
#include "config/src/sectionReadLock.h"
#include "lib/log/src/log.h"

namespace config {
namespace {

msgGroup deferSaveGroup(L"ConfigDeferSave");

constexpr int kDefaultDelayedSaveSecs = 0;

}  // namespace

Store::Store(const wchar_t* const* blockSectionNames)
    : root_(new StoreSection(*this, nullptr, L"")) {
  for (auto name = blockSectionNames; name && *name; ++name) blockSections_.insert(*name);
}

Store::~Store() {
  // Done already by a most-derived class that keeps the rule; for one that does not, a late
  // end still keeps the worker away from freed memory.
  endDelayedSaves();
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  root_.reset();
}

void Store::endDelayedSaves() {
  // The worker may be releasing a queued save right now, and that takes this store's lock.
  internal::DelayedSaveWorkerThread::instance().forgetStore(*this);
}

std::wstring Store::getString(const std::wstring& sectionPath, const std::wstring& key, bool trim,
                              const std::wstring& defaultValue) {
  misc::ScopedReadLock lock(&lock_, PG_HERE);
  StoreSection* section = findSection(sectionPath, false);
  return section ? section->getString(key, trim, defaultValue) : defaultValue;
}

void Store::setString(const std::wstring& sectionPath, const std::wstring& key,
                      const std::wstring& value) {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  internal::requireSectionPath(sectionPath);
  findSection(sectionPath, true)->setString(key, value);
}

void Store::deleteSection(const std::wstring& sectionPath) {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  root_->deleteSection(sectionPath);
}

void Store::deleteKey(const std::wstring& sectionPath, const std::wstring& key) {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  if (StoreSection* section = findSection(sectionPath, false)) section->deleteKey(key);
}

void Store::copySection(Store& source, const std::wstring& sourcePath,
                        const std::wstring& targetPath) {
  SectionReadLock sourceLock(source, sourcePath);
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  const std::wstring& path = targetPath.empty() ? sourcePath : targetPath;
  internal::requireSectionPath(path);
  StoreSection* target = findSection(path, true);
  StoreSection* parent = target->parent();
  // Copied before the target is cleared: the source may lie inside the target.
  std::unique_ptr<StoreSection> copy =
      sourceLock.valid() ? sourceLock.section()->clone(*this, parent, target->name()) : nullptr;
  target->clear();
  if (copy) parent->children_.find(target->name())->second = std::move(copy);
  markDirty();
}

bool Store::enumSections(SectionCallback callback, void* userData) {
  misc::ScopedReadLock lock(&lock_, PG_HERE);
  if (!callback(*root_, userData)) return false;
  return root_->enumSections(callback, true, userData);
}

bool Store::enumKeys(KeyCallback callback, void* userData) {
  misc::ScopedReadLock lock(&lock_, PG_HERE);
  return root_->enumKeys(callback, true, userData);
}

void Store::dump(std::wostream& out, std::uint32_t flags, const std::wstring& indent) {
  misc::ScopedReadLock lock(&lock_, PG_HERE);
  root_->dump(out, flags, indent);
}

void Store::markDirty() {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  dirty_ = true;
  if (autoSave_) save(false);
}

void Store::releaseDeferSave(DeferSave* token) {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  deferSaves_.erase(token);
  PG_LOG(deferSaveGroup) << L"Releasing DeferSave for Store: " << static_cast<const void*>(token)
                         << L" (#left=" << deferSaves_.size() << L") " << getName();
  if (deferSaves_.empty() && (autoSave_ || token->force)) save(token->force);
}

int Store::getInt(const std::wstring& sectionPath, const std::wstring& key, int defaultValue) {
  misc::ScopedReadLock lock(&lock_, PG_HERE);
  StoreSection* section = findSection(sectionPath, false);
  return section ? section->getInt(key, defaultValue) : defaultValue;
}

std::wstring Store::getCheckedString(const std::wstring& sectionPath, const std::wstring& key,
                                     const std::wstring& defaultValue, bool trim) {
  misc::ScopedReadLock lock(&lock_, PG_HERE);
  StoreSection* section = findSection(sectionPath, false);
  return section ? section->getCheckedString(key, defaultValue, trim) : defaultValue;
}

StoreSection* Store::findSection(const std::wstring& path, bool create) {
  return root_->findSection(path, create);
}

void Store::reset() {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  onReset();
  root_.reset(new StoreSection(*this, nullptr, L""));
  dirty_ = true;
}

void Store::loadFrom(std::istream& in) {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  reset();
  readFrom(in);
  dirty_ = false;
}

void Store::save(bool force) {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  if (!force) {
    if (!dirty_ || !deferSaves_.empty()) return;
    const int delay = delayedSaveSecs_ < 0 ? kDefaultDelayedSaveSecs : delayedSaveSecs_;
    auto& worker = internal::DelayedSaveWorkerThread::instance();
    if (delay >= 1 && worker.isRunning()) {
      worker.queueSave(*this, std::time(nullptr) + delay);
      return;
    }
  }
  writeNow();
}

void Store::writeNow() {
  std::unique_ptr<std::ostream> stream = openSaveStream();
  if (!stream) return;
  writeTo(*stream);
  closeSaveStream(std::move(stream));
  dirty_ = false;
}

std::unique_ptr<DeferSave> Store::allocDeferSave() {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  auto token = std::make_unique<DeferSave>(DeferSave{this});
  deferSaves_.insert(token.get());
  PG_LOG(deferSaveGroup) << L"Allocated a DeferSave for Store: "
                         << static_cast<const void*>(token.get()) << L" " << getName();
  return token;
}

bool Store::isDirty() {
  misc::ScopedReadLock lock(&lock_, PG_HERE);
  return dirty_;
}

bool Store::isAutoSave() {
  misc::ScopedReadLock lock(&lock_, PG_HERE);
  return autoSave_;
}

bool Store::isBlockSection(const std::wstring& fullName) {
  misc::ScopedReadLock lock(&lock_, PG_HERE);
  return blockSections_.contains(fullName);
}

std::size_t Store::deferSaveCount() {
  misc::ScopedReadLock lock(&lock_, PG_HERE);
  return deferSaves_.size();
}

void Store::setDirty() {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  dirty_ = true;
}

void Store::setSavePolicy(bool autoSave, int delayedSaveSecs) {
  misc::ScopedWriteLock lock(&lock_, PG_HERE);
  autoSave_ = autoSave;
  delayedSaveSecs_ = delayedSaveSecs;
}

}  // namespace config
