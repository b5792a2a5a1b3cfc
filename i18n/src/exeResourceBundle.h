#pragma once
// The program's own string table (generated from i18n/strings.txt), read like a pack.

#include <memory>

#include "i18n/src/dllResourceBundle.h"

namespace i18n {

class ExeResourceBundle : public ResourceBundle {
 public:
  using ResourceBundle::ResourceBundle;
  ~ExeResourceBundle() override;

 protected:
  // The path and module are not used: the table is compiled in.
  void doLoad(const std::wstring& path, std::unique_ptr<StringModule> module) override;
  void doUnload() override;
  bool doGetStringResource(int id, std::wstring& out) override;
  bool doGetIndexedStringResource(int id, int indexVal, std::wstring& out) override;

 private:
  // Has no owner chain, so indexed targets resolve within the program's own table.
  std::unique_ptr<DllResourceBundle> inner_;
};

}  // namespace i18n
