#include "i18n/src/istring.h"

#include <vector>

#include "i18n/src/istringAlert.h"
#include "i18n/src/miscStrings.h"
#include "i18n/src/ownTexts.h"
#include "i18n/src/resourceBundleChain.h"
#include "platform/src/formatMessage.h"

namespace i18n {
namespace {
constexpr std::size_t kFormatBufferChars = 2048;
}

istringBase::istringBase(ResourceBundleChain& chain, int id) : id_(id), indexed_(0) {
  if (!chain.getStringResource(id, *this)) {
    showIstringAlert(internal::ownText(internal::kCantLoadString, {std::to_wstring(id)}));
  }
}

istringBase::istringBase(ResourceBundleChain& chain, int id, int indexVal) : id_(id), indexed_(1) {
  if (!chain.getIndexedStringResource(id, indexVal, *this)) {
    showIstringAlert(internal::ownText(internal::kCantLoadIndexedString,
                                       {std::to_wstring(id), std::to_wstring(indexVal)}));
  }
}

ResourceBundleChain& newModuleChain(const wchar_t* moduleName) {
  // The abort report's caption is a misc string: any module's strings bring it along.
  misc::internal::stringChain();
  return *new ResourceBundleChain(moduleName);  // never freed: see istring.h
}

std::wstring& istringBase::format(std::span<const wchar_t* const> arguments) {
  std::vector<std::wstring> args;
  args.reserve(arguments.size());
  for (const wchar_t* a : arguments) args.emplace_back(a ? a : L"");
  std::wstring result;
  platform::formatMessage(*this, args, kFormatBufferChars, result);
  assign(result);
  return *this;
}

std::wstring& istringBase::format(const std::wstring& a1) {
  const wchar_t* args[] = {a1.c_str()};
  return format(args);
}

std::wstring& istringBase::format(const std::wstring& a1, const std::wstring& a2) {
  const wchar_t* args[] = {a1.c_str(), a2.c_str()};
  return format(args);
}

std::wstring& istringBase::format(const std::wstring& a1, const std::wstring& a2,
                                  const std::wstring& a3) {
  const wchar_t* args[] = {a1.c_str(), a2.c_str(), a3.c_str()};
  return format(args);
}

}  // namespace i18n
