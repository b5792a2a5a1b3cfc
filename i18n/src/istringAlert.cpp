#include "i18n/src/istringAlert.h"

#include <atomic>

#include "i18n/src/ownTexts.h"
#include "platform/src/messageBox.h"
#include "platform/src/registry.h"

namespace i18n {
namespace {

enum Decision { kUndecided, kOff, kOn };

// Decided without a lock: threads whose first failures coincide reach the same decision.
std::atomic<int> decision{kUndecided};

bool alertsSwitchedOn() {
  platform::RegistryKey key;
  platform::RegistryValue value;
  return key.open(internal::kLangKey) == 0 &&
         key.queryValue(L"ShowIstringAlerts", value, sizeof(std::uint32_t)) == 0 &&
         value.type == platform::kRegDword && value.dword != 0;
}

}  // namespace

void showIstringAlert(const std::wstring& text) {
  if (decision.load() == kUndecided) decision.store(alertsSwitchedOn() ? kOn : kOff);
  if (decision.load() != kOn) return;
  platform::messageBox(internal::ownText(internal::kAlertCaption), text,
                       platform::MessageButtons::Ok, platform::MessageIcon::None);
}

void resetIstringAlertDecisionForTesting() {
  decision.store(kUndecided);
}

}  // namespace i18n
