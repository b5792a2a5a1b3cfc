#pragma once
// Message boxes of the library and the application shown as Qt message boxes, for the life
// of the object: the constructor installs the handler of platform::messageBox, the
// destructor puts the previous one back. Create it after the QApplication and destroy it
// before.
//
// - A box is modal, owned by the active window (none: by no window), captioned and worded
//   as asked, with the buttons and the icon asked for.
// - The answer is the button pressed. Escape or the close box answer Cancel, except in a
//   box whose only button is OK, which they answer with OK.
// - A box asked for from another thread than the application's goes to the previous
//   handler instead: widgets live on the application's thread only.

#include "platform/src/messageBox.h"

namespace settingsEditor::qt {

class CQtMessageBoxes {
 public:
  CQtMessageBoxes();
  ~CQtMessageBoxes();
  CQtMessageBoxes(const CQtMessageBoxes&) = delete;
  CQtMessageBoxes& operator=(const CQtMessageBoxes&) = delete;

  // One box, on the application's thread.
  static platform::MessageAnswer show(const std::wstring& caption, const std::wstring& text,
                                      platform::MessageButtons buttons, platform::MessageIcon icon);

 private:
  platform::MessageBoxHandler m_previous;
};

}  // namespace settingsEditor::qt
