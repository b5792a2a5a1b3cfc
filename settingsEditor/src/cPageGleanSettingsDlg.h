#pragma once
// The settings dialog's logic: the channel settings, their files, the unsaved-changes flag,
// the close prompt and the layout, over a DialogView that shows them. The view owns the
// controller and forwards its events to the on...() handlers; everything runs on the
// window's thread. Nothing here knows a toolkit.

#include <optional>
#include <string>

#include "channel/src/channelFile.h"
#include "channel/src/maxItems.h"
#include "platform/src/event.h"
#include "settingsEditor/src/channelSettings.h"
#include "settingsEditor/src/desktopLauncher.h"
#include "settingsEditor/src/dialogView.h"
#include "settingsEditor/src/pageDownloader.h"
#include "tools/src/tempFile.h"

namespace settingsEditor {

class CPageGleanSettingsDlg {
 public:
  // Creates the dialog's four temporary files (page, configuration, standard output with
  // the extension ".xml", standard error); throws misc::wruntime_error "Can't create
  // temporary file." when one cannot be created, and then leaves none behind. `view` must
  // outlive the controller, and so must `downloader` and `launcher`, through which Preview
  // and View reach the network and the desktop.
  CPageGleanSettingsDlg(DialogView& view, PageDownloader& downloader, DesktopLauncher& launcher);
  // The same over the network library and the desktop's own opener.
  explicit CPageGleanSettingsDlg(DialogView& view);
  // Deletes the temporary files in the reverse order of their creation.
  ~CPageGleanSettingsDlg();
  CPageGleanSettingsDlg(const CPageGleanSettingsDlg&) = delete;
  CPageGleanSettingsDlg& operator=(const CPageGleanSettingsDlg&) = delete;

  // Once the window and its controls exist, before it is shown: fills the controls, gives
  // the edit fields "Courier New" at the dialog font's size, records the first window size
  // as the minimum (and the client area's as the smallest one to lay out) and clears the
  // unsaved-changes flag.
  void onInitDialog();

  // The commands. A failure is shown in a message box; none escapes. While Preview or View
  // works, the window stays alive and every command, Close included, is ignored.
  void onLoad();
  void onSave();
  void onPreview();
  void onView();
  // The Close button, Escape and the window's close box: asks "Save your changes?" when
  // there are unsaved changes, and ends the dialog unless the user stays.
  void onClose();
  // A request to end from outside (a termination signal): ends the dialog as Close does,
  // without asking to save. Preview or View at work stops first, quietly: the download is
  // cancelled and the plug-in ended as at its time limit, and the dialog ends once they
  // have. May be called again meanwhile.
  void onTerminate();
  // A text change the user made in an edit control; the view does not report the texts
  // that the controller shows (DialogView::showControlText).
  void onFieldChanged() { m_dirty = true; }
  // After the window changed its size: lays the controls out again.
  void onSize();
  // The smallest size the window may be given; none before initialisation.
  std::optional<Size> minTrackSize() const;

  // Fills the fields from the settings file at `path` (an unreadable file counts as empty)
  // and shows them, leaving the unsaved-changes flag as it was. Always returns true: a
  // failure throws instead, and then changes no field. What is not a regular file, or is
  // over channel::kMostChannelFileBytes, is refused unread (misc::wruntime_error), so a pipe
  // or a device never blocks the window.
  bool loadSettings(const std::wstring& path);
  // Takes the fields from the controls, checks them and writes a fresh settings file to
  // `path`; with `forPreview`, URL names the downloaded page instead, and PageUrl and
  // PageContentType say where it came from. Returns false, having
  // said why and written nothing, when a field is too long or Max items is not a positive
  // number. Throws config::Exception when the file cannot be written; the old file is then
  // as it was.
  bool saveSettings(const std::wstring& path, bool forPreview);

  // Shows a text file with the configured viewer, which runs on by itself.
  void showTextFile(const std::wstring& path);
  // Opens a file or URL with the desktop's opener, under the wait cursor.
  void openWithShell(const std::wstring& target);

  const ChannelSettings& settings() const { return m_settings; }
  bool dirty() const { return m_dirty; }
  const std::wstring& lastSettingsPath() const { return m_lastSettingsPath; }
  const tools::TempFile& pageFile() const { return m_pageFile; }
  const tools::TempFile& configFile() const { return m_configFile; }
  const tools::TempFile& stdoutFile() const { return m_stdoutFile; }
  const tools::TempFile& stderrFile() const { return m_stderrFile; }

 private:
  FileDialogRequest settingsFileRequest(int titleId) const;
  // The value MaxItems is written with, or none after telling the user it is invalid.
  std::optional<channel::MaxItems> maxItemsToWrite();
  void applyEditFont();
  void showError(const std::wstring& text);
  // Preview's steps; each returns false when it has told the user why Preview stops.
  void preview();
  bool downloadPage();
  bool runPlugin();
  void showOutcome();

  PageDownloader& m_downloader;
  DesktopLauncher& m_launcher;
  bool m_busy = false;
  bool m_terminating = false;

  DialogView& m_view;
  ChannelSettings m_settings;
  bool m_dirty = false;
  std::wstring m_lastSettingsPath;
  std::wstring m_lastDownloadedUrl;
  channel::PageOrigin m_pageOrigin;  // of the page file, once downloaded
  Size m_minTrackSize{-1, -1};
  Size m_firstClientSize;  // the layout's smallest area
  // Declared in the order of creation, so that they are deleted in the reverse one.
  tools::TempFile m_pageFile;
  tools::TempFile m_configFile;
  tools::TempFile m_stdoutFile{L".xml"};
  tools::TempFile m_stderrFile;
};

}  // namespace settingsEditor
