#include "i18n/src/langFileResourceBundle.h"

#include "i18n/src/exception.h"
#include "i18n/src/ownTexts.h"
#include "i18n/src/pathText.h"
#include "lib/filesys/src/filesys.h"
#include "lib/misc/src/textConversion.h"
#include "platform/src/iniReader.h"

namespace i18n {
namespace {

constexpr const char* kNotDefined = "__not_defined__";

// Names go to the file as ANSI text; values come back as UTF-8.
std::wstring profileString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& path, const char* defaultValue = "") {
  const std::string value = platform::privateProfileString(misc::toAnsi(section), misc::toAnsi(key),
                                                           defaultValue, misc::toAnsi(path));
  return misc::fromUtf8(value);
}

}  // namespace

LangFileResourceBundle::~LangFileResourceBundle() = default;

bool LangFileResourceBundle::isLangFile(const std::wstring& path) {
  const std::string type = platform::privateProfileString("Config", "Type", "", misc::toAnsi(path));
  return platform::equalsIgnoringAsciiCase(type, "Tarvo LANG file");
}

std::wstring LangFileResourceBundle::getStringMapPath() const {
  misc::ScopedReadLock guard(&lock(), PG_HERE);
  return stringMapPath_;
}

void LangFileResourceBundle::doLoad(const std::wstring& path, std::unique_ptr<StringModule>) {
  if (!tools::isFile(path)) throw Exception(internal::ownText(internal::kNoSuchFile));
  misc::ScopedWriteLock guard(&lock(), PG_HERE);
  sectionName_ = L"Module: " + getModuleName();
  const std::wstring candidates[] = {
      tools::changeExtension(path, L".smap"),
      tools::makePath(L"", tools::getDirectory(path), getModuleName(), L".smap"),
      tools::changeExtension(internal::programPath(), L".smap"),
  };
  stringMapPath_.clear();
  for (const std::wstring& candidate : candidates) {
    if (tools::isFile(candidate)) {
      stringMapPath_ = candidate;
      break;
    }
  }
}

void LangFileResourceBundle::doUnload() {
  misc::ScopedWriteLock guard(&lock(), PG_HERE);
  stringMapPath_.clear();
  sectionName_.clear();
}

std::wstring LangFileResourceBundle::stringName(int id) const {
  if (stringMapPath_.empty()) return {};
  return profileString(sectionName_, std::to_wstring(id), stringMapPath_);
}

bool LangFileResourceBundle::lookUp(const std::wstring& key, std::wstring& out) const {
  const std::wstring value = profileString(L"Strings", key, getFileName(), kNotDefined);
  if (value == misc::fromUtf8(kNotDefined)) return false;
  out = value;
  return true;
}

bool LangFileResourceBundle::doGetStringResource(int id, std::wstring& out) {
  misc::ScopedReadLock guard(&lock(), PG_HERE);
  const std::wstring name = stringName(id);
  return (!name.empty() && lookUp(name, out)) || lookUp(std::to_wstring(id), out);
}

bool LangFileResourceBundle::doGetIndexedStringResource(int id, int indexVal, std::wstring& out) {
  misc::ScopedReadLock guard(&lock(), PG_HERE);
  const std::wstring name = stringName(id);
  if (name.empty()) return false;
  return lookUp(name + L'/' + std::to_wstring(indexVal), out) || lookUp(name, out);
}

}  // namespace i18n
