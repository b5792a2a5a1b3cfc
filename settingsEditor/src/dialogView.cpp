#include "settingsEditor/src/dialogView.h"

#include "settingsEditor/src/cPageGleanSettingsApp.h"
#include "settingsEditor/src/istring.h"

namespace settingsEditor {

using internal::istring;

void DialogView::exchangeToControls(const ChannelSettings& settings) {
  for (const ChannelField& field : exchangeOrder()) {
    showControlText(field.controlId, fieldText(settings, field));
    setTypingLimit(field.controlId, field.limit);
  }
}

bool DialogView::exchangeFromControls(ChannelSettings& settings) {
  for (const ChannelField& field : exchangeOrder()) {
    std::wstring& text = fieldText(settings, field);
    text = controlText(field.controlId);
    if (text.size() > field.limit) {
      messageBox(istring(14020).format(std::to_wstring(field.limit)), platform::MessageButtons::Ok);
      setFocus(field.controlId);
      return false;
    }
  }
  return true;
}

platform::MessageAnswer DialogView::messageBox(const std::wstring& text,
                                               platform::MessageButtons buttons) {
  const auto icon = buttons == platform::MessageButtons::Ok ? platform::MessageIcon::Warning
                                                            : platform::MessageIcon::Question;
  return platform::messageBox(programName(), text, buttons, icon);
}

}  // namespace settingsEditor
