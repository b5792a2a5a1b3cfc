#include "settingsEditor/qt/src/cPageGleanSettingsWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QResource>
#include <QSignalBlocker>
#include <QSocketNotifier>
#include <QUrl>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "settingsEditor/qt/src/cDialogUnits.h"
#include "settingsEditor/qt/src/cLimitedLineEdit.h"
#include "settingsEditor/src/controlIds.h"
#include "settingsEditor/src/istring.h"

namespace settingsEditor::qt {

namespace {

using internal::istring;

enum class Kind { Label, Edit, Button, CheckBox, Group };

// One control of the dialog template; positions in dialog units.
struct TemplateControl {
  Kind kind;
  int id;      // a label's is the id of the control it leads to
  int textId;  // 0: no text
  int x, y, width, height;
};

// In tab order, which is also the order of creation (and so of stacking: the group box
// lies under the fields it frames).
constexpr TemplateControl kTemplate[] = {
    {Kind::Label, IDC_URL, 14002, 12, 12, 53, 12},
    {Kind::Edit, IDC_URL, 0, 65, 12, 202, 12},
    {Kind::Button, IDC_VIEW, 14003, 269, 12, 34, 12},
    {Kind::Label, IDC_TITLE, 14004, 12, 28, 16, 12},
    {Kind::Edit, IDC_TITLE, 0, 65, 28, 238, 12},
    {Kind::Label, IDC_DESCRIPTION, 14005, 12, 44, 38, 12},
    {Kind::Edit, IDC_DESCRIPTION, 0, 65, 44, 238, 12},
    {Kind::Label, IDC_BASE_URL, 14006, 12, 60, 36, 12},
    {Kind::Edit, IDC_BASE_URL, 0, 65, 60, 238, 12},
    {Kind::Label, IDC_MAX_ITEMS, 14007, 12, 76, 34, 12},
    {Kind::Edit, IDC_MAX_ITEMS, 0, 65, 76, 28, 12},
    {Kind::Group, IDC_PATTERN_GROUP, 0, 12, 93, 299, 95},
    {Kind::Label, IDC_SHORTHAND, 14008, 19, 105, 36, 12},
    {Kind::Edit, IDC_SHORTHAND, 0, 73, 105, 231, 12},
    {Kind::Label, IDC_SECTION_PATTERN, 14009, 19, 121, 51, 12},
    {Kind::Edit, IDC_SECTION_PATTERN, 0, 73, 121, 231, 12},
    {Kind::Label, IDC_ITEM_PATTERN_1, 14010, 19, 137, 44, 12},
    {Kind::Edit, IDC_ITEM_PATTERN_1, 0, 73, 137, 231, 12},
    {Kind::Edit, IDC_ITEM_PATTERN_2, 0, 73, 151, 231, 12},
    {Kind::Edit, IDC_ITEM_PATTERN_3, 0, 73, 167, 231, 12},
    {Kind::Button, IDC_PREVIEW, 14011, 12, 195, 50, 14},
    {Kind::CheckBox, IDC_VIEW_IN_BROWSER, 14012, 65, 195, 82, 14},
    {Kind::Button, IDC_LOAD, 14013, 149, 195, 50, 14},
    {Kind::Button, IDC_SAVE, 14014, 205, 195, 50, 14},
    {Kind::Button, IDCANCEL, 14015, 261, 195, 50, 14},
};
constexpr int kTemplateWidth = 323;
constexpr int kTemplateHeight = 221;
constexpr int kDialogPointSize = 8;

const Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                     Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                                     Qt::WindowCloseButtonHint;

QString text(int id) {
  return QString::fromStdWString(istring(id));
}

QFont dialogFont() {
  QFont font = QApplication::font();
  font.setPointSize(kDialogPointSize);
  return font;
}

QWidget* createControl(const TemplateControl& row, QWidget* parent) {
  switch (row.kind) {
    case Kind::Label:
      return new QLabel(text(row.textId), parent);
    case Kind::Edit:
      return new CLimitedLineEdit(parent);
    case Kind::CheckBox:
      return new QCheckBox(text(row.textId), parent);
    case Kind::Group:
      return new QGroupBox(parent);
    case Kind::Button: {
      auto* button = new QPushButton(text(row.textId), parent);
      // No button is the default one, not even the one with the focus: Enter does nothing.
      button->setAutoDefault(false);
      return button;
    }
  }
  throw std::logic_error("unknown control kind");
}

QString nameOf(const TemplateControl& row) {
  return (row.kind == Kind::Label ? QStringLiteral("label") : QString()) + QString::number(row.id);
}

// "*.ini;*.txt" as Qt writes it; "*.*" means every file here too, also those without a dot.
QString qtPatterns(const std::wstring& patterns) {
  QStringList list = QString::fromStdWString(patterns).split(u';', Qt::SkipEmptyParts);
  for (QString& pattern : list) {
    if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
  }
  return list.join(u' ');
}

// Qt reads a filter's patterns from the parentheses that end its description.
QString nameFilter(const std::wstring& description, const std::wstring& patterns) {
  const QString text = QString::fromStdWString(description);
  const QString qt = qtPatterns(patterns);
  if (text.endsWith(QStringLiteral("(") + qt + QStringLiteral(")"))) return text;
  return text + QStringLiteral(" (") + qt + QStringLiteral(")");
}

// The icon's pictures: their width and height, then their premultiplied ARGB32 pixels, as
// the build makes them of the PNGs (tools/iconPixels.cpp).
QIcon programIcon() {
  QIcon icon;
  for (const QString& name : {QStringLiteral(":/pageglean/pageglean-settings-64.argb"),
                              QStringLiteral(":/pageglean/pageglean-settings-256.argb")}) {
    const QByteArray data = QResource(name).uncompressedData();
    std::uint32_t size[2] = {0, 0};
    if (static_cast<std::size_t>(data.size()) < sizeof size) continue;
    std::memcpy(size, data.constData(), sizeof size);
    if (static_cast<std::size_t>(data.size()) != sizeof size + std::size_t{4} * size[0] * size[1]) {
      continue;
    }
    const QImage pixels(reinterpret_cast<const uchar*>(data.constData()) + sizeof size,
                        static_cast<int>(size[0]), static_cast<int>(size[1]),
                        QImage::Format_ARGB32_Premultiplied);
    icon.addPixmap(QPixmap::fromImage(pixels.copy()));  // a copy: `data` goes
  }
  return icon;
}

}  // namespace

CPageGleanSettingsWindow::CPageGleanSettingsWindow(QWidget* parent)
    : CPageGleanSettingsWindow(defaultDesktopLauncher(), parent) {}

CPageGleanSettingsWindow::CPageGleanSettingsWindow(DesktopLauncher& launcher, QWidget* parent)
    : QDialog(parent, kWindowFlags) {
  setFont(dialogFont());
  setWindowTitle(text(14001));
  setWindowIcon(programIcon());
  createControls();
  const CDialogUnits units(font());
  resize(units.toPixelsX(kTemplateWidth), units.toPixelsY(kTemplateHeight));

  m_controller = std::make_unique<CPageGleanSettingsDlg>(*this, defaultPageDownloader(), launcher);
  connectControls();
  if (m_signals.fd() >= 0) {
    m_signalNotifier = std::make_unique<QSocketNotifier>(m_signals.fd(), QSocketNotifier::Read);
    connect(m_signalNotifier.get(), &QSocketNotifier::activated, this,
            [this] { onTerminationSignal(); });
  }
  m_controller->onInitDialog();
  if (const std::optional<Size> first = m_controller->minTrackSize()) {
    setMinimumSize(first->width, first->height);
  }
}

CPageGleanSettingsWindow::~CPageGleanSettingsWindow() = default;

void CPageGleanSettingsWindow::createControls() {
  const CDialogUnits units(font());
  QWidget* lastLabel = nullptr;
  for (const TemplateControl& row : kTemplate) {
    QWidget* widget = createControl(row, this);
    widget->setObjectName(nameOf(row));
    widget->setGeometry(units.toPixels(row.x, row.y, row.width, row.height));
    if (row.kind == Kind::Label) {
      lastLabel = widget;
    } else if (lastLabel != nullptr &&
               lastLabel->objectName() == QStringLiteral("label") + widget->objectName()) {
      static_cast<QLabel*>(lastLabel)->setBuddy(widget);  // its mnemonic focuses the field
    }
  }
}

void CPageGleanSettingsWindow::connectControls() {
  for (const ChannelField& field : exchangeOrder()) {
    connect(edit(field.controlId), &QLineEdit::textChanged, this,
            [this] { m_controller->onFieldChanged(); });
  }
  const std::pair<int, void (CPageGleanSettingsDlg::*)()> commands[] = {
      {IDC_LOAD, &CPageGleanSettingsDlg::onLoad},       {IDC_SAVE, &CPageGleanSettingsDlg::onSave},
      {IDC_PREVIEW, &CPageGleanSettingsDlg::onPreview}, {IDC_VIEW, &CPageGleanSettingsDlg::onView},
      {IDCANCEL, &CPageGleanSettingsDlg::onClose},
  };
  for (const auto& [id, handler] : commands) {
    connect(button(id), &QAbstractButton::clicked, this,
            [this, handler = handler] { (m_controller.get()->*handler)(); });
  }
}

void CPageGleanSettingsWindow::onTerminationSignal() {
  if (m_signals.take() == 0) return;
  m_controller->onTerminate();
  // A box or file dialog over the window would hold the end back; one that cannot be closed
  // (a box without an escape answer) is left to the user.
  constexpr int kMostNested = 8;
  for (int i = 0; i < kMostNested; ++i) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == this || !modal->close()) break;
  }
}

QWidget* CPageGleanSettingsWindow::control(int id) const {
  auto* widget = findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
  if (widget == nullptr) throw std::logic_error("no control " + std::to_string(id));
  return widget;
}

CLimitedLineEdit* CPageGleanSettingsWindow::edit(int id) const {
  auto* widget = dynamic_cast<CLimitedLineEdit*>(control(id));
  if (widget == nullptr) throw std::logic_error("no edit control " + std::to_string(id));
  return widget;
}

QAbstractButton* CPageGleanSettingsWindow::button(int id) const {
  auto* widget = dynamic_cast<QAbstractButton*>(control(id));
  if (widget == nullptr) throw std::logic_error("no button " + std::to_string(id));
  return widget;
}

void CPageGleanSettingsWindow::setFileChooser(FileChooser chooser) {
  m_chooseFile = std::move(chooser);
}

std::optional<std::wstring> CPageGleanSettingsWindow::showFileDialog(
    QWidget* owner, FileDialogKind kind, const FileDialogRequest& request) {
  QFileDialog dialog(owner, QString::fromStdWString(request.title),
                     QString::fromStdWString(request.initialDirectory));
  QStringList filters;
  for (const auto& [description, patterns] : request.filters) {
    filters << nameFilter(description, patterns);
  }
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(QString::fromStdWString(request.defaultExtension));
  if (kind == FileDialogKind::Open) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  }
  if (!request.fileName.empty()) dialog.selectFile(QString::fromStdWString(request.fileName));
  QList<QUrl> places = dialog.sidebarUrls();
  for (const std::wstring& place : request.places) {
    places << QUrl::fromLocalFile(QString::fromStdWString(place));
  }
  dialog.setSidebarUrls(places);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return dialog.selectedFiles().constFirst().toStdWString();
}

std::optional<std::wstring> CPageGleanSettingsWindow::chooseFileToOpen(
    const FileDialogRequest& request) {
  return (m_chooseFile ? m_chooseFile : showFileDialog)(this, FileDialogKind::Open, request);
}

std::optional<std::wstring> CPageGleanSettingsWindow::chooseFileToSave(
    const FileDialogRequest& request) {
  return (m_chooseFile ? m_chooseFile : showFileDialog)(this, FileDialogKind::Save, request);
}

std::wstring CPageGleanSettingsWindow::controlText(int id) const {
  QWidget* widget = control(id);
  if (auto* line = dynamic_cast<QLineEdit*>(widget)) return line->text().toStdWString();
  return button(id)->text().toStdWString();
}

void CPageGleanSettingsWindow::showControlText(int id, const std::wstring& text) {
  if (auto* line = dynamic_cast<CLimitedLineEdit*>(control(id))) {
    const QSignalBlocker quiet(line);  // textChanged would mark the settings edited
    line->showText(QString::fromStdWString(text));
  } else {
    button(id)->setText(QString::fromStdWString(text));
  }
}

void CPageGleanSettingsWindow::setTypingLimit(int id, std::size_t limit) {
  edit(id)->setTypingLimit(static_cast<int>(std::min<std::size_t>(limit, INT_MAX)));
}

void CPageGleanSettingsWindow::setFocus(int id) {
  control(id)->setFocus(Qt::OtherFocusReason);
}

bool CPageGleanSettingsWindow::isChecked(int id) const {
  return button(id)->isChecked();
}

void CPageGleanSettingsWindow::beginWaitCursor() {
  QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void CPageGleanSettingsWindow::endWaitCursor() {
  QApplication::restoreOverrideCursor();
}

FontDescription CPageGleanSettingsWindow::controlFont(int id) const {
  const QFont font = control(id)->font();
  return {font.family().toStdWString(), font.pointSizeF(), font.weight(), font.italic()};
}

void CPageGleanSettingsWindow::setControlFont(int id, const FontDescription& description) {
  QWidget* widget = control(id);
  QFont font(QString::fromStdWString(description.face));
  font.setPointSizeF(description.pointSize);
  font.setWeight(static_cast<QFont::Weight>(description.weight));
  font.setItalic(description.italic);
  if (dynamic_cast<QLineEdit*>(widget) != nullptr) {
    // Where the face is missing, an edit control still gets a fixed-pitch one.
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
  }
  widget->setFont(font);
  widget->update();
}

void CPageGleanSettingsWindow::keepAlive() {
  QCoreApplication::processEvents();
}

void CPageGleanSettingsWindow::showProgress(const std::wstring& message) {
  const QString label = QString::fromStdWString(message);
  if (!m_progress) {
    m_progress = std::make_unique<QProgressDialog>(label, text(14041), 0, 0, this);
    m_progress->setWindowTitle(windowTitle());
    m_progress->setWindowModality(Qt::WindowModal);
    // Cancel hides it and only asks the work to stop; hideProgress() removes it.
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    m_progress->show();
  } else if (m_progress->labelText() != label) {
    m_progress->setLabelText(label);
  }
}

void CPageGleanSettingsWindow::hideProgress() {
  m_progress.reset();
}

bool CPageGleanSettingsWindow::progressCancelled() const {
  return m_progress && m_progress->wasCanceled();
}

Size CPageGleanSettingsWindow::windowSize() const {
  return {width(), height()};
}

void CPageGleanSettingsWindow::endDialog(bool cancel) {
  m_ending = true;
  done(cancel ? QDialog::Rejected : QDialog::Accepted);
  m_ending = false;
}

Rect CPageGleanSettingsWindow::clientRect() const {
  return {0, 0, width(), height()};
}

std::optional<Rect> CPageGleanSettingsWindow::controlRect(int id) const {
  const auto* widget = findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
  if (widget == nullptr) return std::nullopt;
  const QRect r = widget->geometry();
  return Rect{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()};
}

void CPageGleanSettingsWindow::moveControl(int id, const Rect& rect) {
  control(id)->setGeometry(rect.left, rect.top, rect.width(), rect.height());
}

void CPageGleanSettingsWindow::invalidate() {
  update();
}

void CPageGleanSettingsWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();  // the dialog has no default command
    return;
  }
  QDialog::keyPressEvent(event);  // Escape: reject()
}

void CPageGleanSettingsWindow::reject() {
  if (!m_ending) m_controller->onClose();
}

void CPageGleanSettingsWindow::closeEvent(QCloseEvent* event) {
  if (m_ending || !isVisible()) {
    event->accept();
    return;
  }
  // The controller closes the window itself (endDialog) when it decides to.
  event->ignore();
  m_controller->onClose();
}

void CPageGleanSettingsWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (m_controller) m_controller->onSize();
}

}  // namespace settingsEditor::qt
