#include "settingsEditor/src/cPageGleanSettingsDlg.h"

#include <sstream>

#include "channel/src/channelFile.h"
#include "lib/misc/src/wruntimeError.h"
#include "platform/src/cLocale.h"
#include "platform/src/readWholeFile.h"
#include "platform/src/utf8.h"
#include "settingsEditor/src/cPageGleanSettingsApp.h"
#include "settingsEditor/src/controlIds.h"
#include "settingsEditor/src/dialogLayout.h"
#include "settingsEditor/src/istring.h"
#include "settingsEditor/src/settingsFolders.h"
#include "win32tools/src/themeManager.h"

namespace settingsEditor {

namespace {

using internal::istring;

// File dialogs take at most this many characters of the remembered path.
constexpr std::size_t kFileNameLimit = 4096;

// The bytes of the settings file at `path`; none when it cannot be read, as the store reads
// a file it cannot open. What is no settings file is refused before it is opened.
std::string settingsFileBytes(const std::wstring& path) {
  std::string bytes;
  const platform::RegularFileResult read =
      platform::readRegularFile(platform::toUtf8Escaped(path), channel::kMostChannelFileBytes,
                                [&bytes](std::string_view block) { bytes.append(block); });
  using Stage = platform::RegularFileResult::Stage;
  if (read.stage == Stage::NotRegular) throw misc::wruntime_error(istring(14052).format(path));
  if (read.stage == Stage::TooLarge) {
    throw misc::wruntime_error(
        istring(14053).format(path, std::to_wstring(channel::kMostChannelFileBytes >> 20)));
  }
  if (!read.ok()) bytes.clear();
  return bytes;
}

}  // namespace

CPageGleanSettingsDlg::CPageGleanSettingsDlg(DialogView& view, PageDownloader& downloader,
                                             DesktopLauncher& launcher)
    : m_downloader(downloader), m_launcher(launcher), m_view(view) {}

CPageGleanSettingsDlg::CPageGleanSettingsDlg(DialogView& view)
    : CPageGleanSettingsDlg(view, defaultPageDownloader(), defaultDesktopLauncher()) {}

CPageGleanSettingsDlg::~CPageGleanSettingsDlg() = default;

void CPageGleanSettingsDlg::onInitDialog() {
  m_view.exchangeToControls(m_settings);
  win32tools::ThemeManager::instance().enableDialogTexture(&m_view, true);
  m_minTrackSize = m_view.windowSize();
  const Rect client = m_view.clientRect();
  m_firstClientSize = {client.width(), client.height()};
  applyEditFont();
  m_dirty = false;
}

void CPageGleanSettingsDlg::applyEditFont() {
  FontDescription font = m_view.controlFont(IDC_URL);
  font.face = L"Courier New";
  for (const ChannelField& field : exchangeOrder()) m_view.setControlFont(field.controlId, font);
}

std::optional<Size> CPageGleanSettingsDlg::minTrackSize() const {
  if (m_minTrackSize.width > 0 && m_minTrackSize.height > 0) return m_minTrackSize;
  return std::nullopt;
}

void CPageGleanSettingsDlg::onSize() {
  if (m_minTrackSize.width < 0) return;
  layoutDialog(m_view, m_firstClientSize);
}

bool CPageGleanSettingsDlg::loadSettings(const std::wstring& path) {
  std::istringstream in(settingsFileBytes(path));
  m_settings = channel::readChannelFile(in);
  m_view.exchangeToControls(m_settings);
  return true;
}

std::optional<channel::MaxItems> CPageGleanSettingsDlg::maxItemsToWrite() {
  m_settings.m_maxItems = std::wstring(platform::trimSpaceC(m_settings.m_maxItems));
  const std::optional<channel::MaxItems> maxItems = channel::MaxItems::parse(m_settings.m_maxItems);
  if (!maxItems) {
    m_view.messageBox(istring(14021), platform::MessageButtons::Ok);
    m_view.setFocus(IDC_MAX_ITEMS);
  }
  return maxItems;
}

bool CPageGleanSettingsDlg::saveSettings(const std::wstring& path, bool forPreview) {
  if (!m_view.exchangeFromControls(m_settings)) return false;
  const std::optional<channel::MaxItems> maxItems = maxItemsToWrite();
  if (!maxItems) return false;
  ChannelSettings written = m_settings;
  if (forPreview) written.m_url = m_pageFile.fileName();
  channel::writeChannelFile(path, written, *maxItems, m_configFile.fileName(),
                            forPreview ? &m_pageOrigin : nullptr);
  return true;
}

FileDialogRequest CPageGleanSettingsDlg::settingsFileRequest(int titleId) const {
  FileDialogRequest request;
  request.title = istring(titleId);
  request.filters = {{istring(14022), L"*.ini"}, {istring(14023), L"*.*"}};
  request.initialDirectory = settingsFolder(appDir);
  request.places = exampleFolders(appDir);
  request.defaultExtension = L"ini";
  request.fileName = m_lastSettingsPath.substr(0, kFileNameLimit);
  return request;
}

void CPageGleanSettingsDlg::onLoad() {
  if (m_busy) return;
  const std::optional<std::wstring> path = m_view.chooseFileToOpen(settingsFileRequest(14024));
  if (!path) return;
  try {
    loadSettings(*path);
  } catch (const std::exception& e) {
    showError(misc::exceptionText(e));
    return;
  }
  m_dirty = false;
  m_lastSettingsPath = *path;
}

void CPageGleanSettingsDlg::onSave() {
  if (m_busy) return;
  const std::optional<std::wstring> path = m_view.chooseFileToSave(settingsFileRequest(14025));
  if (!path) return;
  bool saved = false;
  try {
    saved = saveSettings(*path, false);
  } catch (const std::exception& e) {
    showError(misc::exceptionText(e));
    return;
  }
  m_lastSettingsPath = *path;
  if (saved) m_dirty = false;
}

void CPageGleanSettingsDlg::onClose() {
  if (m_busy) return;
  if (m_dirty) {
    switch (m_view.messageBox(istring(14026), platform::MessageButtons::YesNoCancel)) {
      case platform::MessageAnswer::Yes:
        onSave();
        if (m_dirty) return;
        break;
      case platform::MessageAnswer::No:
        break;
      default:
        return;
    }
  }
  m_view.endDialog(true);
}

void CPageGleanSettingsDlg::onTerminate() {
  m_terminating = true;
  // Work in progress ends the dialog itself once it has stopped.
  if (!m_busy) m_view.endDialog(true);
}

void CPageGleanSettingsDlg::showError(const std::wstring& text) {
  // Once ending, what failed because of it is no news to anyone.
  if (!m_terminating) m_view.messageBox(text, platform::MessageButtons::Ok);
}

}  // namespace settingsEditor
