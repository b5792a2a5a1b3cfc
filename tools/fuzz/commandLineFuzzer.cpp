// Splitting never fails on any text except with a message, and a split line quoted back
// with single quotes splits into the same arguments.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/src/utf8.h"
#include "tools/src/commandLine.h"

namespace {

std::wstring singleQuoted(const std::wstring& arg) {
  std::wstring quoted = L"'";
  for (wchar_t c : arg) quoted += c == L'\'' ? std::wstring(L"'\\''") : std::wstring(1, c);
  return quoted + L"'";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring line =
      platform::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  std::vector<std::wstring> args;
  std::wstring error;
  if (!tools::splitCommandLine(line, args, error)) {
    if (error.empty() || !args.empty()) std::abort();
    return 0;
  }
  if (args.empty()) std::abort();
  std::wstring rebuilt;
  for (const std::wstring& arg : args) rebuilt += singleQuoted(arg) + L" ";
  std::vector<std::wstring> again;
  if (!tools::splitCommandLine(rebuilt, again, error) || again != args) std::abort();
  return 0;
}
