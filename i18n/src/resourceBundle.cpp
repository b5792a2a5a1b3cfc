#include "i18n/src/resourceBundle.h"

#include "i18n/src/stringModule.h"
#include "lib/misc/src/sourceLocation.h"

namespace i18n {

ResourceBundle::ResourceBundle(std::wstring moduleName) : moduleName_(std::move(moduleName)) {}

ResourceBundle::~ResourceBundle() = default;

void ResourceBundle::load(const std::wstring& path, std::unique_ptr<StringModule> module) {
  misc::ScopedWriteLock guard(&lock_, PG_HERE);
  unload();
  fileName_ = path;
  doLoad(path, std::move(module));
}

void ResourceBundle::unload() {
  misc::ScopedWriteLock guard(&lock_, PG_HERE);
  doUnload();
  fileName_.clear();
  cache_.clear();
}

bool ResourceBundle::getStringResource(int id, std::wstring& out) {
  {
    misc::ScopedReadLock guard(&lock_, PG_HERE);
    const auto cached = cache_.find(id);
    if (cached != cache_.end()) {
      out = cached->second;
      return true;
    }
  }
  // The read lock is released first: two readers both waiting to write would never proceed.
  std::wstring text;
  if (!doGetStringResource(id, text)) return false;
  {
    misc::ScopedWriteLock guard(&lock_, PG_HERE);
    cache_.emplace(id, text);
  }
  out = std::move(text);
  return true;
}

bool ResourceBundle::getIndexedStringResource(int id, int indexVal, std::wstring& out) {
  return doGetIndexedStringResource(id, indexVal, out);
}

std::wstring ResourceBundle::getFileName() const {
  misc::ScopedReadLock guard(&lock_, PG_HERE);
  return fileName_;
}

std::wstring ResourceBundle::getModuleName() const {
  misc::ScopedReadLock guard(&lock_, PG_HERE);
  return moduleName_;
}

ResourceBundleChain* ResourceBundle::getOwnerChain() const {
  misc::ScopedReadLock guard(&lock_, PG_HERE);
  return ownerChain_;
}

void ResourceBundle::setOwnerChain(ResourceBundleChain* chain) {
  misc::ScopedWriteLock guard(&lock_, PG_HERE);
  ownerChain_ = chain;
}

}  // namespace i18n
