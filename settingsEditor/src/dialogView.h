#pragma once
// What the settings dialog's controller needs from the window that shows it. The Qt window
// implements it; the tests use a fake. Every call comes from the thread that owns the window.
//
// The data exchange and the message box are implemented here over the primitive operations,
// so that every view checks lengths and words its messages alike.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/src/messageBox.h"
#include "settingsEditor/src/channelSettings.h"
#include "settingsEditor/src/controlGeometry.h"

namespace settingsEditor {

// A font as the dialog describes it; pointSize is in typographic points.
struct FontDescription {
  std::wstring face;
  double pointSize = 8;
  int weight = 400;
  bool italic = false;
  friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

// An open or save file dialog. `filters` pairs a description with its pattern
// ("Setting files (*.ini)", "*.ini"); `fileName` pre-fills the name field.
struct FileDialogRequest {
  std::wstring title;
  std::vector<std::pair<std::wstring, std::wstring>> filters;
  std::wstring initialDirectory;
  std::wstring defaultExtension;  // without its dot: "ini"
  std::wstring fileName;
  std::vector<std::wstring> places;  // folders offered beside the file list
};

class DialogView : public ControlGeometry {
 public:
  // Shows the fields in their controls, in exchangeOrder(), and limits typing in each edit
  // control to its field's limit. Longer texts are shown in full. The controls report no
  // change: the controller's texts are not the user's edits.
  virtual void exchangeToControls(const ChannelSettings& settings);
  // Copies the controls into `settings` in exchangeOrder(), checking each against its limit
  // right after copying it. On the first text that is too long, shows "Please enter no
  // more than <limit> characters.", focuses that control and returns false; the fields
  // before it hold the controls' texts, the others are unchanged.
  virtual bool exchangeFromControls(ChannelSettings& settings);

  // A modal box owned by the dialog, captioned with the program's name, through
  // platform::messageBox (whose handler the application replaces): OK boxes carry the
  // exclamation (warning) icon, the others the question icon.
  virtual platform::MessageAnswer messageBox(const std::wstring& text,
                                             platform::MessageButtons buttons);

  // The current text of control `id`, without touching the fields.
  virtual std::wstring controlText(int id) const = 0;
  // Replaces the text of control `id` without reporting a change (onFieldChanged): only
  // what the user does to a control counts as an edit.
  virtual void showControlText(int id, const std::wstring& text) = 0;
  // Limits how many characters the user can type into edit control `id`.
  virtual void setTypingLimit(int id, std::size_t limit) = 0;
  virtual void setFocus(int id) = 0;
  virtual bool isChecked(int id) const = 0;

  // The chosen path, or none when the user cancelled. The open dialog accepts only
  // existing files; the save dialog replaces an existing file without asking. Neither
  // changes the process's current directory.
  virtual std::optional<std::wstring> chooseFileToOpen(const FileDialogRequest& request) = 0;
  virtual std::optional<std::wstring> chooseFileToSave(const FileDialogRequest& request) = 0;

  // Nest: the busy cursor shows until every begin has its end.
  virtual void beginWaitCursor() = 0;
  virtual void endWaitCursor() = 0;

  virtual FontDescription controlFont(int id) const = 0;
  // Gives control `id` the font and repaints it.
  virtual void setControlFont(int id, const FontDescription& font) = 0;

  // While a command works on another thread: handles the window's pending events (repaints,
  // the progress window's Cancel) without blocking. Commands of the dialog itself must not
  // run from here; the controller ignores them while it is busy.
  virtual void keepAlive() {}
  // Shows the progress window, or updates its text, with a Cancel button.
  virtual void showProgress(const std::wstring& text) { (void)text; }
  virtual void hideProgress() {}
  // Whether Cancel was pressed since the progress window was shown.
  virtual bool progressCancelled() const { return false; }

  // The size of the whole window as it is shown now.
  virtual Size windowSize() const = 0;
  // Ends the modal run; `cancel` tells how it ended.
  virtual void endDialog(bool cancel) = 0;
};

// Shows the busy cursor of `view` for the life of the object.
class WaitCursor {
 public:
  explicit WaitCursor(DialogView& view) : view_(view) { view_.beginWaitCursor(); }
  ~WaitCursor() { view_.endWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  DialogView& view_;
};

}  // namespace settingsEditor
