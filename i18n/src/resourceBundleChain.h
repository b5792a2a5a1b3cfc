#pragma once
// The ordered list of string sources of one library module.
// PROVISIONAL: only the program's own table is searched until bundles arrive.

#include <string>

namespace i18n {

class ResourceBundle;

class ResourceBundleChain {
 public:
  explicit ResourceBundleChain(std::wstring moduleName);
  virtual ~ResourceBundleChain();
  ResourceBundleChain(const ResourceBundleChain&) = delete;
  ResourceBundleChain& operator=(const ResourceBundleChain&) = delete;

  virtual bool getStringResource(int id, std::wstring& out, ResourceBundle** answered = nullptr);
  virtual bool getIndexedStringResource(int id, int indexVal, std::wstring& out,
                                        ResourceBundle** answered = nullptr);

  std::wstring getModuleName() const;

 private:
  std::wstring moduleName_;
};

}  // namespace i18n
