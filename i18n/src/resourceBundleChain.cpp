#include "i18n/src/resourceBundleChain.h"

#include "i18n/src/stringTable.h"
#include "lib/misc/src/textConversion.h"

namespace i18n {

ResourceBundleChain::ResourceBundleChain(std::wstring moduleName)
    : moduleName_(std::move(moduleName)) {}

ResourceBundleChain::~ResourceBundleChain() = default;

bool ResourceBundleChain::getStringResource(int id, std::wstring& out, ResourceBundle** answered) {
  if (answered) *answered = nullptr;
  const char* text = internal::findBuiltInString(id);
  if (text == nullptr || *text == '\0') return false;
  out = misc::fromUtf8(text);
  return true;
}

bool ResourceBundleChain::getIndexedStringResource(int, int, std::wstring&, ResourceBundle**) {
  return false;
}

std::wstring ResourceBundleChain::getModuleName() const { return moduleName_; }

}  // namespace i18n
