#pragma once
// The user's language id, read once per process from the registry value
// Software\Tarvo\Tarvo\lang\LangId (type sz). No key, no value or an empty value: "eng".

#include <string>

namespace i18n {

// Throws i18n::Exception when the registry cannot be read or the value is not text
// ("Unexpected lang_id value type: " + the type number); the id stays "eng" after that.
std::wstring getLangId();

// Tests: forget the cached id so that the next call reads the registry again.
void resetLangIdForTesting();

}  // namespace i18n
