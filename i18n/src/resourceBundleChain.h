#pragma once
// The ordered string sources of one library module. On its first lookup the chain finds the
// bundles for the user's language by itself:
// - the language id comes from getLangId() (langId.h);
// - the directories searched are the program's own and each of its ancestors; where one
//   holds neither a pack nor a LANG file, its LanguagePacks/<langId>/ is tried; the first
//   place with either ends the search;
// - a LANG file (<program>.<langId>.lang, else <module>.<langId>.lang) comes before a pack
//   (<program>.<langId>.so), and the program's own table is always last, so untranslated
//   strings fall back to the built-in texts.
// Lookups take the chain's read lock; loading and list changes its write lock. What was
// found is logged in the message group "AutoLoadResourceBundles".

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "lib/misc/src/readWriteLock.h"

namespace i18n {

class ResourceBundle;
class StringModule;

class ResourceBundleChain {
 public:
  explicit ResourceBundleChain(std::wstring moduleName);
  virtual ~ResourceBundleChain();
  ResourceBundleChain(const ResourceBundleChain&) = delete;
  ResourceBundleChain& operator=(const ResourceBundleChain&) = delete;

  // Loads the bundles unless the chain has some; concurrent first lookups load once.
  // Throws i18n::Exception when the language id cannot be read.
  virtual void autoLoadResourceBundles();
  // The first language pack that can serve as the user-interface module, or null.
  virtual const StringModule* getAfxExtensionModule();
  // Takes ownership and makes this chain the bundle's owner.
  virtual void addResourceBundle(std::unique_ptr<ResourceBundle> bundle, bool atFront = false);
  // Takes the bundle out of the list and hands it back (null if it was not in the list).
  virtual std::unique_ptr<ResourceBundle> removeResourceBundle(ResourceBundle* bundle);
  virtual void deleteResourceBundles();
  // The first bundle, in order, that has the string answers; `answered` receives it.
  // False (`out` unchanged) when none has it.
  virtual bool getStringResource(int id, std::wstring& out, ResourceBundle** answered = nullptr);
  virtual bool getIndexedStringResource(int id, int indexVal, std::wstring& out,
                                        ResourceBundle** answered = nullptr);
  // Probes `directory` for the language pack of `langId`; on success `bundle` holds it loaded.
  virtual bool loadDllResourceBundle(const std::wstring& directory, const std::wstring& langId,
                                     std::unique_ptr<ResourceBundle>& bundle);
  virtual bool loadLangFileResourceBundle(const std::wstring& directory, const std::wstring& langId,
                                          std::unique_ptr<ResourceBundle>& bundle);

  std::wstring getModuleName() const;
  // The bundles in search order (diagnostics).
  std::vector<const ResourceBundle*> getResourceBundles() const;

 private:
  bool isEmpty() const;
  void searchLanguageFiles(const std::wstring& langId);
  bool probe(const std::wstring& directory, const std::wstring& langId);

  mutable misc::ReadWriteLock lock_;
  const std::wstring moduleName_;
  std::list<std::unique_ptr<ResourceBundle>> bundles_;
};

}  // namespace i18n
