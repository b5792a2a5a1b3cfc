#pragma once
// An edit control that limits what the user adds, not what the program shows.
//
// - showText() keeps a text of any length whole, also one longer than the limit.
// - Typing, pasting, dropping and input methods never make the text longer than the limit;
//   a text that already is longer cannot grow, and once the user shortens it, it cannot grow
//   back past the limit or its new length, whichever is larger.
// - What does not fit of a paste or drop is cut off, as the user's own typing would be.

#include <QLineEdit>

namespace settingsEditor::qt {

class CLimitedLineEdit : public QLineEdit {
 public:
  explicit CLimitedLineEdit(QWidget* parent);

  // Shows `text` whole from its start, the cursor before its first character; like
  // setText(), it emits textChanged.
  void showText(const QString& text);
  void setTypingLimit(int limit);
  int typingLimit() const { return m_limit; }

 protected:
  // Every way the user can add text passes here first.
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // Sets Qt's own limit to what the user may reach from the current text. Qt forgets the
  // undo history when its limit changes, which happens only around texts over the limit.
  void fitLimit();

  int m_limit = 32767;
};

}  // namespace settingsEditor::qt
