#pragma once
// One source of numbered strings: a language pack, a LANG file or the program's own table.
// Every string a bundle returns is cached by id, so each is read from its source once.
// Bundles are owned by a chain (resourceBundleChain.h), which creates them while it loads.

#include <map>
#include <memory>
#include <string>

#include "lib/misc/src/readWriteLock.h"

namespace i18n {

class ResourceBundleChain;
class StringModule;

class ResourceBundle {
 public:
  explicit ResourceBundle(std::wstring moduleName);
  virtual ~ResourceBundle();
  ResourceBundle(const ResourceBundle&) = delete;
  ResourceBundle& operator=(const ResourceBundle&) = delete;

  // Unloads, then loads `path`; `module`, when given, is the already loaded library.
  virtual void load(const std::wstring& path, std::unique_ptr<StringModule> module);
  // Forgets the file and every cached string.
  virtual void unload();
  // Never throw for a missing string: false, `out` unchanged.
  virtual bool getStringResource(int id, std::wstring& out);
  virtual bool getIndexedStringResource(int id, int indexVal, std::wstring& out);
  virtual std::wstring getFileName() const;

  std::wstring getModuleName() const;
  ResourceBundleChain* getOwnerChain() const;
  void setOwnerChain(ResourceBundleChain* chain);

 protected:
  virtual void doLoad(const std::wstring& path, std::unique_ptr<StringModule> module) = 0;
  virtual void doUnload() = 0;
  virtual bool doGetStringResource(int id, std::wstring& out) = 0;
  virtual bool doGetIndexedStringResource(int id, int indexVal, std::wstring& out) = 0;

  misc::ReadWriteLock& lock() const { return lock_; }

 private:
  mutable misc::ReadWriteLock lock_;
  const std::wstring moduleName_;
  ResourceBundleChain* ownerChain_ = nullptr;
  std::wstring fileName_;
  std::map<int, std::wstring> cache_;
};

}  // namespace i18n
