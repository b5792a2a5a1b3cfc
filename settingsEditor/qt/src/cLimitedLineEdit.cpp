#include "settingsEditor/qt/src/cLimitedLineEdit.h"

#include <algorithm>

namespace settingsEditor::qt {

CLimitedLineEdit::CLimitedLineEdit(QWidget* parent) : QLineEdit(parent) {}

void CLimitedLineEdit::showText(const QString& text) {
  // Qt cuts what it is given to its limit, so the limit makes room first.
  if (text.size() > maxLength()) setMaxLength(static_cast<int>(text.size()));
  setText(text);
  fitLimit();
  // A long text shows its beginning, as the start of a field is what tells it apart.
  setCursorPosition(0);
}

void CLimitedLineEdit::setTypingLimit(int limit) {
  m_limit = limit;
  fitLimit();
}

void CLimitedLineEdit::fitLimit() {
  const int allowed = std::max(m_limit, static_cast<int>(text().size()));
  if (maxLength() == allowed) return;
  // Changing Qt's limit puts the cursor at the end; the user's place is kept.
  const int cursor = cursorPosition();
  const int selectionStart = this->selectionStart();
  const int selectionLength = static_cast<int>(selectedText().size());
  setMaxLength(allowed);
  if (selectionLength > 0) {
    // A negative length selects leftwards, leaving the cursor where it was.
    if (cursor == selectionStart) {
      setSelection(selectionStart + selectionLength, -selectionLength);
    } else {
      setSelection(selectionStart, selectionLength);
    }
  } else {
    setCursorPosition(cursor);
  }
}

void CLimitedLineEdit::keyPressEvent(QKeyEvent* event) {
  fitLimit();
  QLineEdit::keyPressEvent(event);
}

void CLimitedLineEdit::inputMethodEvent(QInputMethodEvent* event) {
  fitLimit();
  QLineEdit::inputMethodEvent(event);
}

void CLimitedLineEdit::dropEvent(QDropEvent* event) {
  fitLimit();
  QLineEdit::dropEvent(event);
}

void CLimitedLineEdit::contextMenuEvent(QContextMenuEvent* event) {
  fitLimit();  // the menu's Paste
  QLineEdit::contextMenuEvent(event);
}

}  // namespace settingsEditor::qt
