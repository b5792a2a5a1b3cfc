#include "settingsEditor/src/cPageGleanSettingsDlg.h"

#include <climits>

#include "config/src/iniFileStore.h"
#include "config/src/sectionReadLock.h"
#include "config/src/sectionWriteLock.h"
#include "lib/misc/src/wruntimeError.h"
#include "platform/src/cLocale.h"
#include "settingsEditor/src/cPageGleanSettingsApp.h"
#include "settingsEditor/src/controlIds.h"
#include "settingsEditor/src/dialogLayout.h"
#include "settingsEditor/src/istring.h"
#include "settingsEditor/src/settingsFolders.h"
#include "win32tools/src/themeManager.h"

namespace settingsEditor {

namespace {

using internal::istring;

const wchar_t kSection[] = L"ChannelParameters";
constexpr int kDefaultMaxItems = 15;
// File dialogs take at most this many characters of the remembered path.
constexpr std::size_t kFileNameLimit = 4096;

// The number `text` starts with, read as atol reads it: an optional sign, then digits up
// to the first other character; no digits give 0. Saturates instead of overflowing.
long parseLong(std::wstring_view text) {
  std::size_t i = 0;
  while (i < text.size() && platform::isSpaceC(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  long value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    const int digit = text[i] - L'0';
    if (value > (LONG_MAX - digit) / 10) return negative ? LONG_MIN : LONG_MAX;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
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
  layoutDialog(m_view);
}

bool CPageGleanSettingsDlg::loadSettings(const std::wstring& path) {
  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  store.loadFile(path);
  {
    config::SectionReadLock section(store, kSection);
    for (const ChannelField& field : fileOrder()) {
      fieldText(m_settings, field) =
          section.valid() ? section->getCheckedString(field.key, L"", true) : std::wstring();
    }
  }
  m_view.exchangeToControls(m_settings);
  return true;
}

std::optional<int> CPageGleanSettingsDlg::maxItemsToWrite() {
  m_settings.m_maxItems = std::wstring(platform::trimSpaceC(m_settings.m_maxItems));
  if (m_settings.m_maxItems.empty()) return kDefaultMaxItems;
  const long value = parseLong(m_settings.m_maxItems);
  if (value < 1 || value > INT_MAX) {
    m_view.messageBox(istring(14021), platform::MessageButtons::Ok);
    m_view.setFocus(IDC_MAX_ITEMS);
    return std::nullopt;
  }
  return static_cast<int>(value);
}

bool CPageGleanSettingsDlg::saveSettings(const std::wstring& path, bool forPreview) {
  if (!m_view.exchangeFromControls(m_settings)) return false;
  const std::optional<int> maxItems = maxItemsToWrite();
  if (!maxItems) return false;

  config::IniFileStore store(nullptr, config::IniFileStore::useDefaultFlags);
  config::SectionWriteLock section(store, kSection);
  for (const ChannelField& field : fileOrder()) {
    const std::wstring& text = fieldText(m_settings, field);
    if (field.controlId == IDC_URL) {
      // The URL is not checked: the plug-in must read it back whatever it holds.
      section->setString(field.key, forPreview ? m_pageFile.fileName() : text);
    } else if (field.controlId == IDC_MAX_ITEMS) {
      section->setInt(field.key, *maxItems);
    } else {
      section->setCheckedString(field.key, text);
    }
  }
  store.setString(kSection, L"ConfigFile", m_configFile.fileName());
  store.saveFile(path, true);
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

void CPageGleanSettingsDlg::showError(const std::wstring& text) {
  m_view.messageBox(text, platform::MessageButtons::Ok);
}

}  // namespace settingsEditor
