#include "config/src/checkedString.h"

#include <atomic>

#include "platform/src/cLocale.h"

namespace config::internal {
namespace {

std::atomic<bool> enabled{false};

bool isAsciiLetter(wchar_t c) {
  return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}
bool isSeparator(wchar_t c) {
  return c == L'/' || c == L'\\';
}

bool looksLikeAbsolutePath(std::wstring_view text) {
  if (text.size() < 3) return false;
  if (isAsciiLetter(text[0]) && text[1] == L':' && isSeparator(text[2])) return true;
  return (text[0] == L'/' && text[1] == L'/') || (text[0] == L'\\' && text[1] == L'\\');
}

bool failsCheck(const std::wstring& text, bool reading) {
  std::wstring_view rest = text;
  while (!rest.empty() && platform::isSpaceC(rest.front())) rest.remove_prefix(1);
  if (reading && rest.starts_with(L"{:")) return true;
  return looksLikeAbsolutePath(rest);
}

}  // namespace

bool checkPathsEnabled() {
  return enabled.load(std::memory_order_relaxed);
}
void setCheckPathsEnabled(bool on) {
  enabled.store(on, std::memory_order_relaxed);
}

std::wstring checkedString(const std::wstring& text, bool reading) {
  if (!checkPathsEnabled() || text.empty() || !failsCheck(text, reading)) return text;
  return L"Unexpected file path: " + text;
}

}  // namespace config::internal
