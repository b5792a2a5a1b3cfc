#pragma once
// The settings dialog's window: the controls of the dialog template placed in dialog units
// of the dialog font, with no Qt layout, and the controller that the window owns and feeds
// with its events. Every control's object name is its id ("1000", "2"); a label is named
// "label" and the id of the control it leads to ("label1000").
//
// - Escape, the Close button and the close box all ask the controller (onClose); the window
//   closes only through endDialog(). Enter does nothing, in any control.
// - The window is resizable and can be maximised, not minimised; it cannot be made smaller
//   than it first was. Qt measures that limit without the window frame, so windowSize() is
//   the size inside the frame.
// - Every size change lays the controls out again (the controller's onSize), the first show
//   included: the controls that follow the window's edges sit 18 pixels inside it from the
//   start, rather than moving at the first resize. Below the first size, which only a missing
//   or careless window manager allows, they stay as at the first size, clipped by the window.
// - Each text change the user makes in an edit control tells the controller; a text the
//   controller shows (showControlText) does not.
// - While a command works on another thread, keepAlive() handles every pending event; the
//   progress window is modal over the window, so the user can only cancel.
// - The file dialogs go through a replaceable chooser (tests answer them without a dialog);
//   the default shows a QFileDialog.
// - Viewers and the desktop's opener start through a launcher given at construction (tests
//   record them); the default is the desktop's own.
// - SIGTERM, SIGINT and SIGHUP end the dialog as Close does, without the close prompt (the
//   controller's onTerminate): a box or file dialog open over the window is closed, and
//   work in progress is stopped first. The window takes the signals from construction to
//   destruction; one window at a time.
// - Construction fails, leaving nothing behind, when the controller cannot create its
//   temporary files.

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/src/terminationSignals.h"
#include "settingsEditor/src/cPageGleanSettingsDlg.h"
#include "settingsEditor/src/dialogView.h"

class QAbstractButton;
class QProgressDialog;
class QSocketNotifier;

namespace settingsEditor::qt {

class CLimitedLineEdit;

class CPageGleanSettingsWindow : public QDialog, public DialogView {
 public:
  enum class FileDialogKind { Open, Save };
  using FileChooser = std::function<std::optional<std::wstring>(QWidget* owner, FileDialogKind kind,
                                                                const FileDialogRequest& request)>;

  explicit CPageGleanSettingsWindow(QWidget* parent = nullptr);
  // `launcher` must outlive the window.
  explicit CPageGleanSettingsWindow(DesktopLauncher& launcher, QWidget* parent = nullptr);
  ~CPageGleanSettingsWindow() override;

  CPageGleanSettingsDlg& controller() { return *m_controller; }
  // Replaces the file dialogs; an empty chooser restores the QFileDialog.
  void setFileChooser(FileChooser chooser);
  // The QFileDialog of the default chooser, modal over `owner`.
  static std::optional<std::wstring> showFileDialog(QWidget* owner, FileDialogKind kind,
                                                    const FileDialogRequest& request);

  // Escape: the controller decides whether the window closes.
  void reject() override;

  // DialogView
  using QWidget::setFocus;
  std::wstring controlText(int id) const override;
  void showControlText(int id, const std::wstring& text) override;
  void setTypingLimit(int id, std::size_t limit) override;
  void setFocus(int id) override;
  bool isChecked(int id) const override;
  std::optional<std::wstring> chooseFileToOpen(const FileDialogRequest& request) override;
  std::optional<std::wstring> chooseFileToSave(const FileDialogRequest& request) override;
  void beginWaitCursor() override;
  void endWaitCursor() override;
  FontDescription controlFont(int id) const override;
  void setControlFont(int id, const FontDescription& font) override;
  void keepAlive() override;
  void showProgress(const std::wstring& text) override;
  void hideProgress() override;
  bool progressCancelled() const override;
  Size windowSize() const override;
  void endDialog(bool cancel) override;

  // ControlGeometry
  Rect clientRect() const override;
  std::optional<Rect> controlRect(int id) const override;
  void moveControl(int id, const Rect& rect) override;
  void invalidate() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void createControls();
  void connectControls();
  QWidget* control(int id) const;
  CLimitedLineEdit* edit(int id) const;
  QAbstractButton* button(int id) const;
  void onTerminationSignal();

  FileChooser m_chooseFile;
  bool m_ending = false;                        // inside endDialog(): the close is ours
  std::unique_ptr<QProgressDialog> m_progress;  // while shown
  std::unique_ptr<CPageGleanSettingsDlg> m_controller;
  platform::TerminationSignals m_signals;
  std::unique_ptr<QSocketNotifier> m_signalNotifier;  // on m_signals, so declared after it
};

}  // namespace settingsEditor::qt
