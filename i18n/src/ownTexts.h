#pragma once
// The texts of the string machinery itself. Its own failures cannot be loaded through it
// (the lookup that failed would be asked again), so they are the only literal texts.

namespace i18n::internal {

inline constexpr const wchar_t* kCantLoadString = L"Can't load string resource: id=";
inline constexpr const wchar_t* kCantLoadIndexedString = L"Can't load indexed string resource: id=";
inline constexpr const wchar_t* kIndexValueSeparator = L" ; indexVal=";
inline constexpr const wchar_t* kAlertCaption = L"Tarvo istring error";
inline constexpr const wchar_t* kUnexpectedLangIdType = L"Unexpected lang_id value type: ";
inline constexpr const wchar_t* kCantLoadResourceDll = L"Can't load the resource DLL: ";
inline constexpr const wchar_t* kNoSuchFile = L"No such file.";
inline constexpr const wchar_t* kMissingEntryPoint = L"undefined symbol: ";

// Where the per-user settings of the machinery live in the registry.
inline constexpr const wchar_t* kLangKey = L"Software\\Tarvo\\Tarvo\\lang";

}  // namespace i18n::internal
