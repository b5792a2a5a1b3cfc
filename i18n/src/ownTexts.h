#pragma once
// The texts of the string machinery itself. They come straight from the program's own table:
// a failure of the machinery cannot be reported through the chain whose lookup just failed.

#include <initializer_list>
#include <string>

namespace i18n::internal {

inline constexpr int kCantLoadString = 14101;         // id
inline constexpr int kCantLoadIndexedString = 14102;  // id, index value
inline constexpr int kAlertCaption = 14103;
inline constexpr int kUnexpectedLangIdType = 14104;  // type number
inline constexpr int kCantLoadResourceDll = 14105;   // reason
inline constexpr int kNoSuchFile = 14106;
inline constexpr int kMissingEntryPoint = 14107;  // symbol

// The built-in text of `id` with its %1... placeholders filled in.
std::wstring ownText(int id, std::initializer_list<std::wstring> arguments = {});

// Where the per-user settings of the machinery live in the registry.
inline constexpr const wchar_t* kLangKey = L"Software\\Tarvo\\Tarvo\\lang";

}  // namespace i18n::internal
