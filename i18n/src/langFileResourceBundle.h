#pragma once
// The strings of a LANG file: an INI file whose section "Strings" holds the texts, keyed by
// the decimal id or by a symbolic name. A string map (.smap) beside it, or beside the
// program, names the ids of each module in its section "Module: <module name>":
//
//     program.deu.lang:  [Config] Type=Tarvo LANG file   [Strings] abortCaption=ABBRUCH
//     program.deu.smap:  [Module: misc] 10101=abortCaption
//
// Indexed strings need a name: "<name>/<index value>" is looked up, then "<name>" alone.
// An empty value counts as absent.

#include "i18n/src/resourceBundle.h"

namespace i18n {

class LangFileResourceBundle : public ResourceBundle {
 public:
  using ResourceBundle::ResourceBundle;
  ~LangFileResourceBundle() override;

  // Whether the file at `path` declares itself a LANG file (section "Config", key "Type").
  static bool isLangFile(const std::wstring& path);

  std::wstring getStringMapPath() const;

 protected:
  // A path that names no file throws i18n::Exception.
  void doLoad(const std::wstring& path, std::unique_ptr<StringModule> module) override;
  void doUnload() override;
  bool doGetStringResource(int id, std::wstring& out) override;
  bool doGetIndexedStringResource(int id, int indexVal, std::wstring& out) override;

 private:
  std::wstring stringName(int id) const;
  bool lookUp(const std::wstring& key, std::wstring& out) const;

  std::wstring stringMapPath_;
  std::wstring sectionName_;
};

}  // namespace i18n
