#pragma once
// A DialogView without a window, for the settings dialog's controller tests: controls are
// texts in a map, and message boxes and file dialogs answer from scripts the test sets up.
// Every box shown and every file dialog asked for is recorded.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "settingsEditor/src/dialogView.h"
#include "testSupport/src/scratchDir.h"

namespace settingsEditor::test {

class FakeDialogView : public settingsEditor::DialogView {
 public:
  struct ShownBox {
    std::wstring text;
    platform::MessageButtons buttons;
  };

  // Every edit control of the dialog, empty, and the check box unchecked.
  FakeDialogView();

  // Answers of the next message boxes, in order; a box with none left answers Cancel.
  std::deque<platform::MessageAnswer> boxAnswers;
  // Answers of the next file dialogs, in order (none = the user cancels); when the script
  // is empty the dialog is cancelled.
  std::deque<std::optional<std::wstring>> fileAnswers;

  std::vector<ShownBox> boxes;
  std::vector<settingsEditor::FileDialogRequest> openRequests;
  std::vector<settingsEditor::FileDialogRequest> saveRequests;
  std::map<int, std::wstring> texts;
  std::map<int, std::size_t> typingLimits;
  std::map<int, settingsEditor::FontDescription> fonts;
  std::map<int, settingsEditor::Rect> rects;
  std::optional<int> focus;
  bool checked = false;
  int waitDepth = 0;
  int maxWaitDepth = 0;
  int invalidations = 0;
  std::optional<bool> ended;  // the cancel flag endDialog() was given
  int keepAlives = 0;
  std::vector<std::wstring> progressTexts;
  int progressHides = 0;
  bool cancelProgress = false;  // Cancel is pressed as soon as the progress window shows
  settingsEditor::Size size{646, 442};
  settingsEditor::Rect client{0, 0, 630, 403};

  // Runs after every change the user makes (setControlText), like a control's change
  // notification; never for the texts the controller shows.
  std::function<void()> onChange;

  platform::MessageAnswer messageBox(const std::wstring& text,
                                     platform::MessageButtons buttons) override;
  std::wstring controlText(int id) const override;
  // The user replaces the text of control `id`.
  void setControlText(int id, const std::wstring& text);
  void showControlText(int id, const std::wstring& text) override;
  void setTypingLimit(int id, std::size_t limit) override { typingLimits[id] = limit; }
  void setFocus(int id) override { focus = id; }
  bool isChecked(int) const override { return checked; }
  std::optional<std::wstring> chooseFileToOpen(
      const settingsEditor::FileDialogRequest& request) override;
  std::optional<std::wstring> chooseFileToSave(
      const settingsEditor::FileDialogRequest& request) override;
  void beginWaitCursor() override;
  void endWaitCursor() override { --waitDepth; }
  settingsEditor::FontDescription controlFont(int id) const override;
  void setControlFont(int id, const settingsEditor::FontDescription& font) override {
    fonts[id] = font;
  }
  settingsEditor::Size windowSize() const override { return size; }
  void endDialog(bool cancel) override { ended = cancel; }
  void keepAlive() override { ++keepAlives; }
  void showProgress(const std::wstring& text) override { progressTexts.push_back(text); }
  void hideProgress() override { ++progressHides; }
  bool progressCancelled() const override { return cancelProgress && !progressTexts.empty(); }

  settingsEditor::Rect clientRect() const override { return client; }
  std::optional<settingsEditor::Rect> controlRect(int id) const override;
  void moveControl(int id, const settingsEditor::Rect& rect) override { rects[id] = rect; }
  void invalidate() override { ++invalidations; }

 private:
  std::optional<std::wstring> nextFile();
};

// A scratch directory that is $TMP for the object's life, so that a dialog's temporary
// files can be counted.
class TemporaryDirectory : public testSupport::ScratchDir {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();

 private:
  std::optional<std::string> previous_;
};

}  // namespace settingsEditor::test
