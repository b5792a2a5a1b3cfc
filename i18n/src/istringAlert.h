#pragma once
// The alert for a string that could not be loaded. Alerts are on only when the registry value
// Software\Tarvo\Tarvo\lang\ShowIstringAlerts is a non-zero dword; that is read on the first
// failure and holds for the rest of the process.

#include <string>

namespace i18n {

// Shows `text` in a message box captioned "Tarvo istring error" when alerts are on.
void showIstringAlert(const std::wstring& text);

// Tests: forget the decision so that the next failure reads the registry again.
void resetIstringAlertDecisionForTesting();

}  // namespace i18n
