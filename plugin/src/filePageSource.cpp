#include "plugin/src/filePageSource.h"

#include "platform/src/readWholeFile.h"
#include "platform/src/systemError.h"
#include "platform/src/utf8.h"
#include "plugin/src/istring.h"
#include "plugin/src/pluginError.h"

namespace plugin {
namespace {

using internal::istring;

constexpr std::size_t kMostPageBytes = std::size_t{1} << 30;

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percentDecoded(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
        hexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool startsWithNoCase(const std::wstring& text, std::wstring_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const wchar_t c = text[i] >= L'A' && text[i] <= L'Z' ? text[i] + 32 : text[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<std::wstring> FilePageSource::pathOf(const std::wstring& url) {
  if (!startsWithNoCase(url, L"file:")) return url;
  std::wstring rest = url.substr(5);
  if (rest.starts_with(L"//")) {
    const std::size_t slash = rest.find(L'/', 2);
    const std::wstring host = rest.substr(2, slash == std::wstring::npos ? slash : slash - 2);
    if (!host.empty() && !startsWithNoCase(host, L"localhost")) return std::nullopt;
    rest = slash == std::wstring::npos ? L"/" : rest.substr(slash);
  }
  rest = rest.substr(0, rest.find_first_of(L"?#"));
  return platform::fromUtf8Escaped(percentDecoded(platform::toUtf8Escaped(rest)));
}

std::string FilePageSource::fetch(const std::wstring& url) {
  const std::optional<std::wstring> path = pathOf(url);
  if (!path) throw PluginError(istring(14212).format(url));
  std::string bytes;
  const int error = platform::readWholeFile(platform::toUtf8Escaped(*path), bytes, kMostPageBytes);
  if (error != 0) throw PluginError(istring(14210).format(url, platform::systemErrorText(error)));
  return bytes;
}

}  // namespace plugin
