// Preview and View of the settings dialog.

#include <atomic>
#include <chrono>
#include <mutex>

#include "channel/src/urlDates.h"
#include "config/src/iniFileStore.h"
#include "lib/filesys/src/filesys.h"
#include "lib/misc/src/scopedFlag.h"
#include "lib/misc/src/textConversion.h"
#include "lib/misc/src/wruntimeError.h"
#include "platform/src/cLocale.h"
#include "platform/src/event.h"
#include "platform/src/formatMessage.h"
#include "settingsEditor/src/backgroundWork.h"
#include "settingsEditor/src/cPageGleanSettingsApp.h"
#include "settingsEditor/src/cPageGleanSettingsDlg.h"
#include "settingsEditor/src/controlIds.h"
#include "settingsEditor/src/istring.h"
#include "tools/src/commandLine.h"
#include "tools/src/externalCommand.h"

namespace settingsEditor {

namespace {

using internal::istring;

const wchar_t kConfig[] = L"Config";
constexpr int kDefaultPluginTimeout = 60;
constexpr std::size_t kViewerCommandChars = 4096;
// A download shows its progress window only when it takes longer than this.
constexpr auto kProgressDelay = std::chrono::seconds(1);

std::wstring besideThisProgram(const wchar_t* name) {
  return tools::makePath(L"", tools::getDirectory(tools::getModulePath()), name, L"");
}

std::wstring quotedWhereBlank(const std::wstring& path) {
  return path.find_first_of(L" \t") == std::wstring::npos ? path : L'"' + path + L'"';
}

// The plug-in's command: the configured one, else PageGlean beside this program.
std::wstring pluginCommand() {
  const std::wstring command =
      appConfig ? appConfig->getString(kConfig, L"PluginCommand", true, L"") : std::wstring();
  return command.empty() ? quotedWhereBlank(besideThisProgram(L"PageGlean")) : command;
}

int pluginTimeout() {
  return appConfig ? appConfig->getInt(kConfig, L"PluginTimeout", kDefaultPluginTimeout)
                   : kDefaultPluginTimeout;
}

// The configured viewer, else the result viewer beside this program, else the desktop's
// opener where the viewer is not installed.
std::wstring viewerTemplate() {
  const std::wstring viewer = besideThisProgram(L"PageGleanView");
  std::wstring fallback = L"xdg-open \"%1\"";
  if (tools::isFile(viewer)) {
    // The template is formatted: a '%' of the path stands for itself.
    std::wstring escaped;
    for (const wchar_t c : quotedWhereBlank(viewer))
      escaped += c == L'%' ? L"%%" : std::wstring(1, c);
    fallback = escaped + L" \"%1\"";
  }
  return appConfig
             ? appConfig->getCheckedString(kConfig, L"ShowTextCommandTemplate", fallback, true)
             : fallback;
}

// A viewer template may insert the path only: any other numbered insert has no argument.
bool insertsOnlyThePath(std::wstring_view text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'%') continue;
    const wchar_t next = text[++i];
    if (next >= L'0' && next <= L'9' &&
        !(next == L'1' && (i + 1 >= text.size() || text[i + 1] < L'0' || text[i + 1] > L'9'))) {
      return false;
    }
  }
  return true;
}

std::uint64_t sizeOf(const std::wstring& path) {
  std::uint64_t size = 0;
  tools::getFileSize(path, size);
  return size;
}

// What the download thread reports, read by the window's thread.
class DownloadProgress {
 public:
  bool report(const std::wstring& text) {
    std::lock_guard lock(mutex_);
    text_ = text;
    return cancelled_;
  }
  std::wstring text() {
    std::lock_guard lock(mutex_);
    return text_;
  }
  void cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
  }

 private:
  std::mutex mutex_;
  std::wstring text_;
  bool cancelled_ = false;
};

// The progress window, shown once the work has taken kProgressDelay and hidden at the end.
class DelayedProgress {
 public:
  explicit DelayedProgress(DialogView& view) : view_(view) {}
  ~DelayedProgress() {
    if (shown_) view_.hideProgress();
  }
  DelayedProgress(const DelayedProgress&) = delete;
  DelayedProgress& operator=(const DelayedProgress&) = delete;

  // Shows `text` when the time has come; true once Cancel was pressed.
  bool update(const std::wstring& text) {
    if (std::chrono::steady_clock::now() - start_ < kProgressDelay) return false;
    view_.showProgress(text);
    shown_ = true;
    return view_.progressCancelled();
  }

 private:
  DialogView& view_;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  bool shown_ = false;
};

}  // namespace

void CPageGleanSettingsDlg::onPreview() {
  if (m_busy) return;
  {
    misc::ScopedFlag busy(m_busy);
    preview();
  }
  if (m_terminating) m_view.endDialog(true);
}

void CPageGleanSettingsDlg::preview() {
  try {
    if (!m_view.exchangeFromControls(m_settings)) return;
    m_settings.m_url = std::wstring(platform::trimSpaceC(m_settings.m_url));
    if (m_settings.m_url.empty()) {
      m_view.messageBox(istring(14027), platform::MessageButtons::Ok);
      m_view.setFocus(IDC_URL);
      return;
    }
    if (m_settings.m_url != m_lastDownloadedUrl && !downloadPage()) return;
    if (m_terminating || !saveSettings(m_configFile.fileName(), true)) return;
    if (!runPlugin() || m_terminating) return;
    showOutcome();
  } catch (const std::exception& e) {
    showError(misc::exceptionText(e));
  }
}

bool CPageGleanSettingsDlg::downloadPage() {
  std::vector<char> bytes;
  channel::PageOrigin origin;
  DownloadProgress progress;
  try {
    origin.url = channel::expandUrlDates(m_settings.m_url);
    const std::wstring& url = origin.url;
    WaitCursor wait(m_view);
    DelayedProgress window(m_view);
    runKeepingWindowAlive(
        m_view,
        [&] {
          m_downloader.download(url, bytes, origin.contentType,
                                [&](const std::wstring& text) { return progress.report(text); });
        },
        [&] {
          if (m_terminating || window.update(progress.text())) progress.cancel();
        });
  } catch (const std::exception& e) {
    showError(misc::exceptionText(e));
    return false;
  }
  m_pageFile.open(m_pageFile.fileName(), std::ios::binary | std::ios::out | std::ios::trunc);
  m_pageFile.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  m_pageFile.close();
  m_lastDownloadedUrl = m_settings.m_url;
  m_pageOrigin = std::move(origin);
  return true;
}

bool CPageGleanSettingsDlg::runPlugin() {
  tools::ExternalCommand command;
  command.setName(istring(14032));
  command.setCommandLine(pluginCommand() + L" \"" + m_configFile.fileName() + L'"');
  command.setTimeout(pluginTimeout());
  platform::Event cancel(platform::Event::Reset::Manual);
  command.cancelEvent = &cancel;
  try {
    WaitCursor wait(m_view);
    DelayedProgress window(m_view);
    runKeepingWindowAlive(
        m_view, [&] { command.run(m_stdoutFile.fileName(), m_stderrFile.fileName()); },
        [&] {
          if (m_terminating || window.update(istring(14050))) cancel.set();
        });
  } catch (const std::exception& e) {
    showError(misc::exceptionText(e));
    return false;
  }
  return true;
}

void CPageGleanSettingsDlg::showOutcome() {
  if (sizeOf(m_stderrFile.fileName()) > 0) {
    showTextFile(m_stderrFile.fileName());
  } else if (sizeOf(m_stdoutFile.fileName()) == 0) {
    m_view.messageBox(istring(14028), platform::MessageButtons::Ok);
  } else if (m_view.isChecked(IDC_VIEW_IN_BROWSER)) {
    openWithShell(m_stdoutFile.fileName());
  } else {
    showTextFile(m_stdoutFile.fileName());
  }
}

void CPageGleanSettingsDlg::showTextFile(const std::wstring& path) {
  const std::wstring format = viewerTemplate();
  std::wstring commandLine;
  std::vector<std::wstring> args;
  std::wstring error;
  const bool started =
      insertsOnlyThePath(format) &&
      platform::formatMessage(format, std::span(&path, 1), kViewerCommandChars, commandLine) &&
      tools::splitCommandLine(commandLine, args, error) && m_launcher.startDetached(args);
  if (!started) m_view.messageBox(istring(14029), platform::MessageButtons::Ok);
}

void CPageGleanSettingsDlg::openWithShell(const std::wstring& target) {
  WaitCursor wait(m_view);
  // The opener may take a second to fail; the window repaints meanwhile.
  int code = 0;
  runKeepingWindowAlive(m_view, [&] { code = m_launcher.openWithShell(target); });
  if (code < 32) {
    showError(istring(14030).format(std::to_wstring(code)));
  }
}

void CPageGleanSettingsDlg::onView() {
  if (m_busy) return;
  {
    misc::ScopedFlag busy(m_busy);
    const std::wstring url(platform::trimSpaceC(m_view.controlText(IDC_URL)));
    if (!url.empty()) {
      openWithShell(url);
    } else {
      m_view.messageBox(istring(14031), platform::MessageButtons::Ok);
      m_view.setFocus(IDC_URL);
    }
  }
  if (m_terminating) m_view.endDialog(true);
}

}  // namespace settingsEditor
