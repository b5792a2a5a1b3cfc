#include "i18n/src/resourceBundleChain.h"

#include <algorithm>

#include "i18n/src/dllResourceBundle.h"
#include "i18n/src/exeResourceBundle.h"
#include "i18n/src/langFileResourceBundle.h"
#include "i18n/src/langId.h"
#include "i18n/src/languagePack.h"
#include "i18n/src/msgGroups.h"
#include "i18n/src/pathText.h"
#include "lib/filesys/src/filesys.h"
#include "lib/log/src/log.h"

namespace i18n {
namespace {

msgGroup& autoLoadLog() {
  return internal::autoLoadResourceBundlesGroup();
}

std::wstring programFileName(const std::wstring& directory, const std::wstring& baseName,
                             const std::wstring& langId, const wchar_t* extension) {
  return tools::makePath(L"", directory, baseName + L'.' + langId, extension);
}

}  // namespace

ResourceBundleChain::ResourceBundleChain(std::wstring moduleName)
    : moduleName_(std::move(moduleName)) {}

ResourceBundleChain::~ResourceBundleChain() {
  deleteResourceBundles();
}

bool ResourceBundleChain::isEmpty() const {
  misc::ScopedReadLock guard(&lock_, PG_HERE);
  return bundles_.empty();
}

void ResourceBundleChain::autoLoadResourceBundles() {
  if (!isEmpty()) return;
  misc::ScopedWriteLock guard(&lock_, PG_HERE);
  if (!bundles_.empty()) return;  // another thread loaded meanwhile
  const std::wstring langId = getLangId();
  PG_LOG(autoLoadLog()) << L"Auto-loading resource bundles: langId=" << langId;
  searchLanguageFiles(langId);
  if (bundles_.empty()) {
    PG_LOG(autoLoadLog()) << L"WARNING: No resource bundles were found!";
  }
  // Added before the write lock is released: a lookup that finds the list empty would
  // otherwise load a second time.
  auto own = std::make_unique<ExeResourceBundle>(moduleName_);
  own->load(std::wstring(), nullptr);
  addResourceBundle(std::move(own));
}

void ResourceBundleChain::searchLanguageFiles(const std::wstring& langId) {
  for (const std::wstring& directory : internal::searchDirectories(internal::programPath())) {
    if (probe(directory, langId)) return;
    const std::wstring packs = tools::makePath(L"", directory + L"LanguagePacks/" + langId);
    if (probe(packs, langId)) return;
  }
}

bool ResourceBundleChain::probe(const std::wstring& directory, const std::wstring& langId) {
  PG_LOG(autoLoadLog()) << L"- Checking directory: " << directory;
  std::unique_ptr<ResourceBundle> pack;
  std::unique_ptr<ResourceBundle> langFile;
  loadDllResourceBundle(directory, langId, pack);
  loadLangFileResourceBundle(directory, langId, langFile);
  if (!pack && !langFile) return false;
  if (langFile) addResourceBundle(std::move(langFile));
  if (pack) addResourceBundle(std::move(pack));
  return true;
}

const StringModule* ResourceBundleChain::getAfxExtensionModule() {
  autoLoadResourceBundles();
  misc::ScopedReadLock guard(&lock_, PG_HERE);
  for (const auto& bundle : bundles_) {
    const auto* pack = dynamic_cast<const DllResourceBundle*>(bundle.get());
    const StringModule* module = pack ? pack->getModule() : nullptr;
    if (module && module->exports(PG_LANG_PACK_UI_MODULE)) return module;
  }
  return nullptr;
}

void ResourceBundleChain::addResourceBundle(std::unique_ptr<ResourceBundle> bundle, bool atFront) {
  if (!bundle) return;
  bundle->setOwnerChain(this);
  misc::ScopedWriteLock guard(&lock_, PG_HERE);
  if (atFront) {
    bundles_.push_front(std::move(bundle));
  } else {
    bundles_.push_back(std::move(bundle));
  }
}

std::unique_ptr<ResourceBundle> ResourceBundleChain::removeResourceBundle(ResourceBundle* bundle) {
  misc::ScopedWriteLock guard(&lock_, PG_HERE);
  const auto found = std::find_if(bundles_.begin(), bundles_.end(),
                                  [bundle](const auto& b) { return b.get() == bundle; });
  if (found == bundles_.end()) return nullptr;
  std::unique_ptr<ResourceBundle> removed = std::move(*found);
  bundles_.erase(found);
  removed->setOwnerChain(nullptr);
  return removed;
}

void ResourceBundleChain::deleteResourceBundles() {
  misc::ScopedWriteLock guard(&lock_, PG_HERE);
  bundles_.clear();
}

bool ResourceBundleChain::getStringResource(int id, std::wstring& out, ResourceBundle** answered) {
  autoLoadResourceBundles();
  misc::ScopedReadLock guard(&lock_, PG_HERE);
  for (const auto& bundle : bundles_) {
    if (bundle->getStringResource(id, out)) {
      if (answered) *answered = bundle.get();
      return true;
    }
  }
  return false;
}

bool ResourceBundleChain::getIndexedStringResource(int id, int indexVal, std::wstring& out,
                                                   ResourceBundle** answered) {
  autoLoadResourceBundles();
  misc::ScopedReadLock guard(&lock_, PG_HERE);
  for (const auto& bundle : bundles_) {
    if (bundle->getIndexedStringResource(id, indexVal, out)) {
      if (answered) *answered = bundle.get();
      return true;
    }
  }
  return false;
}

bool ResourceBundleChain::loadDllResourceBundle(const std::wstring& directory,
                                                const std::wstring& langId,
                                                std::unique_ptr<ResourceBundle>& bundle) {
  const std::wstring path = programFileName(directory, internal::programBaseName(), langId, L".so");
  if (!tools::isFile(path)) return false;
  std::wstring reason;
  auto module = StringModule::openLibrary(path, reason);
  if (!module || !module->exports(PG_LANG_PACK_MARKER)) return false;
  PG_LOG(autoLoadLog()) << L"- Loading DLL resource bundle: " << path;
  bundle = std::make_unique<DllResourceBundle>(moduleName_);
  bundle->load(path, std::move(module));
  return true;
}

bool ResourceBundleChain::loadLangFileResourceBundle(const std::wstring& directory,
                                                     const std::wstring& langId,
                                                     std::unique_ptr<ResourceBundle>& bundle) {
  std::wstring path = programFileName(directory, internal::programBaseName(), langId, L".lang");
  if (!tools::isFile(path)) path = programFileName(directory, moduleName_, langId, L".lang");
  if (!tools::isFile(path) || !LangFileResourceBundle::isLangFile(path)) return false;
  PG_LOG(autoLoadLog()) << L"- Loading LANG file resource bundle: " << path;
  bundle = std::make_unique<LangFileResourceBundle>(moduleName_);
  bundle->load(path, nullptr);
  return true;
}

std::wstring ResourceBundleChain::getModuleName() const {
  misc::ScopedReadLock guard(&lock_, PG_HERE);
  return moduleName_;
}

std::vector<const ResourceBundle*> ResourceBundleChain::getResourceBundles() const {
  misc::ScopedReadLock guard(&lock_, PG_HERE);
  std::vector<const ResourceBundle*> result;
  for (const auto& bundle : bundles_) result.push_back(bundle.get());
  return result;
}

}  // namespace i18n
