#include "i18n/src/langId.h"

#include "i18n/src/exception.h"
#include "i18n/src/ownTexts.h"
#include "lib/misc/src/readWriteLock.h"
#include "platform/src/registry.h"
#include "platform/src/systemError.h"

namespace i18n {
namespace {

constexpr std::size_t kValueBufferBytes = 1024;

struct LangIdState {
  misc::ReadWriteLock lock;
  std::wstring cached;
};

LangIdState& state() {
  static LangIdState* instance = new LangIdState;  // strings may load during static destruction
  return *instance;
}

// The registry stand-in fails with errno values, whose text is the system's.
[[noreturn]] void throwRegistryError(int code) {
  throw Exception(platform::systemErrorText(code));
}

std::wstring readLangId() {
  platform::RegistryKey key;
  int rc = key.open(internal::kLangKey);
  if (rc == platform::kRegistryNotFound) return {};
  if (rc != 0) throwRegistryError(rc);
  platform::RegistryValue value;
  rc = key.queryValue(L"LangId", value, kValueBufferBytes);
  if (rc == platform::kRegistryNotFound) return {};
  if (rc != 0) throwRegistryError(rc);
  if (value.type != platform::kRegSz) {
    throw Exception(
        internal::ownText(internal::kUnexpectedLangIdType, {std::to_wstring(value.type)}));
  }
  return value.text.substr(0, value.text.find(L'\0'));
}

}  // namespace

std::wstring getLangId() {
  LangIdState& s = state();
  misc::ScopedWriteLock guard(&s.lock, PG_HERE);
  if (!s.cached.empty()) return s.cached;
  s.cached = L"eng";
  std::wstring id = readLangId();
  // An empty id would name no file and make every chain read the registry again.
  if (!id.empty()) s.cached = std::move(id);
  return s.cached;
}

void resetLangIdForTesting() {
  LangIdState& s = state();
  misc::ScopedWriteLock guard(&s.lock, PG_HERE);
  s.cached.clear();
}

}  // namespace i18n
