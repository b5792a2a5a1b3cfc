#pragma once
// The strings of a language pack library (languagePack.h), with its parsed control strings
// cached beside the strings.

#include <map>
#include <memory>

#include "i18n/src/controlString.h"
#include "i18n/src/resourceBundle.h"
#include "i18n/src/stringModule.h"

namespace i18n {

class DllResourceBundle : public ResourceBundle {
 public:
  using ResourceBundle::ResourceBundle;
  ~DllResourceBundle() override;

  // The loaded library, null when unloaded.
  const StringModule* getModule() const;

 protected:
  // Without a module, loads the library at `path`; failure throws i18n::Exception.
  void doLoad(const std::wstring& path, std::unique_ptr<StringModule> module) override;
  void doUnload() override;
  bool doGetStringResource(int id, std::wstring& out) override;
  bool doGetIndexedStringResource(int id, int indexVal, std::wstring& out) override;

 private:
  bool controlString(int id, int indexVal, ControlString& out);

  std::unique_ptr<StringModule> module_;
  std::map<int, ControlString> controlStrings_;
};

}  // namespace i18n
