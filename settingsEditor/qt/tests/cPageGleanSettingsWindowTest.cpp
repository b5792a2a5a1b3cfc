// The real window under the offscreen platform. Message boxes are answered through the
// platform handler, file dialogs through the window's chooser; a modal widget that a test
// did not expect is rejected after a few seconds, so that no test blocks.

#include <signal.h>
#include <unistd.h>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "config/src/iniFileStore.h"
#include "lib/misc/src/textConversion.h"
#include "platform/src/messageBox.h"
#include "settingsEditor/qt/src/cPageGleanSettingsWindow.h"
#include "settingsEditor/qt/src/cQtMessageBoxes.h"
#include "settingsEditor/src/cPageGleanSettingsApp.h"
#include "testSupport/src/httpTestServer.h"
#include "testSupport/src/scopedVariable.h"
#include "testSupport/src/scratchDir.h"

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using settingsEditor::FileDialogRequest;
using settingsEditor::qt::CPageGleanSettingsWindow;
using Kind = CPageGleanSettingsWindow::FileDialogKind;

namespace {

struct ShownBox {
  std::wstring caption, text;
  MessageButtons buttons;
  MessageIcon icon;
};

// The template in tab order: object name, class, text, position in dialog units.
struct TemplateRow {
  const char* name;
  const char* className;
  const char* text;
  QRect units;
};
const TemplateRow kTemplate[] = {
    {"label1000", "QLabel", "&URL to scrape:", {12, 12, 53, 12}},
    {"1000", "QLineEdit", "", {65, 12, 202, 12}},
    {"1016", "QPushButton", "&View", {269, 12, 34, 12}},
    {"label1002", "QLabel", "&Title:", {12, 28, 16, 12}},
    {"1002", "QLineEdit", "", {65, 28, 238, 12}},
    {"label1003", "QLabel", "&Description:", {12, 44, 38, 12}},
    {"1003", "QLineEdit", "", {65, 44, 238, 12}},
    {"label1004", "QLabel", "&Base URL:", {12, 60, 36, 12}},
    {"1004", "QLineEdit", "", {65, 60, 238, 12}},
    {"label1005", "QLabel", "&Max items:", {12, 76, 34, 12}},
    {"1005", "QLineEdit", "15", {65, 76, 28, 12}},
    {"1017", "QGroupBox", "", {12, 93, 299, 95}},
    {"label1006", "QLabel", "Shorthand:", {19, 105, 36, 12}},
    {"1006", "QLineEdit", "", {73, 105, 231, 12}},
    {"label1007", "QLabel", "Section pattern:", {19, 121, 51, 12}},
    {"1007", "QLineEdit", "", {73, 121, 231, 12}},
    {"label1008", "QLabel", "&Item patterns:", {19, 137, 44, 12}},
    {"1008", "QLineEdit", "", {73, 137, 231, 12}},
    {"1009", "QLineEdit", "", {73, 151, 231, 12}},
    {"1010", "QLineEdit", "", {73, 167, 231, 12}},
    {"1013", "QPushButton", "&Preview", {12, 195, 50, 14}},
    {"1015", "QCheckBox", "View in bro&wser", {65, 195, 82, 14}},
    {"1011", "QPushButton", "&Load", {149, 195, 50, 14}},
    {"1012", "QPushButton", "&Save", {205, 195, 50, 14}},
    {"2", "QPushButton", "Close", {261, 195, 50, 14}},
};

// Dialog units of `font`: a quarter of the average letter width across, an eighth of the
// line height down, each coordinate rounded to pixels.
QRect toPixels(const QFont& font, const QRect& units) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const double x = ((letters / 26 + 1) / 2) / 4.0, y = metrics.height() / 8.0;
  return QRect(qRound(units.x() * x), qRound(units.y() * y), qRound(units.width() * x),
               qRound(units.height() * y));
}

struct TypingCase {
  int id;
  QString shown;  // as a loaded file shows it
  int backspaces;
  QString added;
  bool pasted;  // else typed
  QString expected;
};

enum class Trigger { Escape, CloseBox, CloseButton };
struct CloseCase {
  Trigger trigger;
  bool edited;
  MessageAnswer answer;
  bool fileChosen;
  bool closes;
};

struct BoxCase {
  MessageButtons buttons;
  MessageIcon icon;
  QMessageBox::StandardButton press;  // NoButton: Escape
  QMessageBox::StandardButtons shownButtons;
  QMessageBox::Icon shownIcon;
  MessageAnswer answer;
};

// Counts the paints a widget gets while the wait cursor shows.
class BusyPaints : public QObject {
 public:
  int count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && QApplication::overrideCursor() != nullptr) ++count;
    return false;
  }
};

}  // namespace

Q_DECLARE_METATYPE(TypingCase)
Q_DECLARE_METATYPE(CloseCase)
Q_DECLARE_METATYPE(BoxCase)
Q_DECLARE_METATYPE(Kind)

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void controls_data();
  void controls();
  void tabOrderFollowsTheTemplate();
  void layout_data();
  void layout();
  void layoutBelowTheFirstSize();
  void sizingAndFonts();
  void typingLimits_data();
  void typingLimits();
  void onlyTheUsersEditsCount();
  void loadShowsEachFieldFromItsStart();
  void enterDoesNothing_data();
  void enterDoesNothing();
  void closing_data();
  void closing();
  void progressWindow();
  void fileDialogs_data();
  void fileDialogs();
  void qtMessageBoxes_data();
  void qtMessageBoxes();
  void previewAndView();
  void cancelEndsPreviewWithinASecond_data();
  void cancelEndsPreviewWithinASecond();
  void terminationSignals_data();
  void terminationSignals();

 private:
  QWidget* widget(const QString& name) const {
    auto* found = window->findChild<QWidget*>(name);
    if (found == nullptr) qFatal("no control %s", qPrintable(name));
    return found;
  }
  QLineEdit* edit(int id) const { return qobject_cast<QLineEdit*>(widget(QString::number(id))); }
  // Calls `handle` with each modal widget that shows until it returns true.
  void onNextModal(std::function<bool(QWidget*)> handle);

  std::unique_ptr<CPageGleanSettingsWindow> window;
  platform::MessageBoxHandler previousHandler;
  std::vector<ShownBox> boxes;
  MessageAnswer boxAnswer = MessageAnswer::Cancel;
  std::vector<Kind> fileRequests;
  std::optional<std::wstring> fileAnswer;
  QTimer modalTimer;
  QElapsedTimer modalWait;
  std::function<bool(QWidget*)> modalHandler;
};

void WindowTest::initTestCase() {
  connect(&modalTimer, &QTimer::timeout, this, [this] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modalHandler(modal)) {
      modalTimer.stop();
    } else if (modalWait.elapsed() > 5000) {
      modalTimer.stop();
      if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();  // the test fails
    }
  });
}

void WindowTest::init() {
  boxes.clear();
  fileRequests.clear();
  fileAnswer.reset();
  previousHandler =
      platform::setMessageBoxHandler([this](const std::wstring& caption, const std::wstring& text,
                                            MessageButtons buttons, MessageIcon icon) {
        boxes.push_back({caption, text, buttons, icon});
        return boxAnswer;
      });
  window = std::make_unique<CPageGleanSettingsWindow>();
  window->setFileChooser([this](QWidget*, Kind kind, const FileDialogRequest&) {
    fileRequests.push_back(kind);
    return fileAnswer;
  });
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void WindowTest::cleanup() {
  modalTimer.stop();
  window.reset();
  platform::setMessageBoxHandler(std::move(previousHandler));
}

void WindowTest::onNextModal(std::function<bool(QWidget*)> handle) {
  modalHandler = std::move(handle);
  modalWait.start();
  modalTimer.start(10);
}

void WindowTest::controls_data() {
  QTest::addColumn<int>("row");
  for (const TemplateRow& row : kTemplate) QTest::newRow(row.name) << int(&row - kTemplate);
}

void WindowTest::controls() {
  QFETCH(int, row);
  const TemplateRow& expected = kTemplate[row];
  // Before its first show the window has the template's places; the layout starts there.
  CPageGleanSettingsWindow unshown;
  const auto child = [&](const QString& name) { return unshown.findChild<QWidget*>(name); };
  QWidget* control = child(expected.name);
  QVERIFY(control != nullptr);
  QVERIFY(control->inherits(expected.className));
  QCOMPARE(control->parentWidget(), &unshown);
  const QRect pixels = toPixels(unshown.font(), expected.units);
  QCOMPARE(control->geometry(), pixels);

  const QString text = expected.text;
  if (auto* label = qobject_cast<QLabel*>(control)) {
    QCOMPARE(label->text(), text);
    QCOMPARE(label->buddy(), child(QString(expected.name).mid(5)));  // the mnemonic's target
  } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
    QCOMPARE(line->text(), text);
    QVERIFY(line->hasFrame());
    const auto rect = unshown.controlRect(QString(expected.name).toInt());
    QVERIFY(rect.has_value());
    QCOMPARE(QRect(rect->left, rect->top, rect->width(), rect->height()), pixels);
  } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
    QCOMPARE(box->title(), text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    QCOMPARE(button->text(), text);
    QVERIFY(!button->isChecked());
    if (auto* push = qobject_cast<QPushButton*>(control)) {
      QVERIFY(!push->autoDefault() && !push->isDefault());
    }
  }
}

// Where the layout rules put each control in a client area of `client`, from the template's
// places: the area is the client less 18 pixels a side; rights and bottoms are exclusive.
QMap<QString, QRect> laidOut(const QFont& font, QSize client) {
  QMap<QString, QRect> r;
  for (const TemplateRow& row : kTemplate) r[row.name] = toPixels(font, row.units);
  const int left = 18, top = 18, right = client.width() - 18, bottom = client.height() - 18;
  const auto keepSize = [](QRect& rect, int rightEdge, int bottomEdge) {
    if (rightEdge >= 0) rect.moveRight(rightEdge - 1);
    if (bottomEdge >= 0) rect.moveBottom(bottomEdge - 1);
  };
  keepSize(r["2"], right, bottom);
  keepSize(r["1012"], r["2"].left() - 9, bottom);
  keepSize(r["1011"], r["1012"].left() - 9, bottom);
  r["1013"].moveLeft(left);
  keepSize(r["1013"], -1, bottom);
  r["1015"].moveLeft(r["1013"].right() + 1 + 4);
  keepSize(r["1015"], -1, bottom);
  r["1016"].moveTop(top);
  keepSize(r["1016"], right, -1);
  r["1000"].setRight(r["1016"].left() - 4 - 1);
  for (const char* field : {"1002", "1003", "1004"}) r[field].setRight(right - 1);
  r["1017"].setLeft(left);
  r["1017"].setRight(right - 1);
  for (const char* field : {"1006", "1007", "1008", "1009", "1010"}) {
    r[field].setRight(r["1017"].right() - 9);
  }
  return r;
}

void WindowTest::layout_data() {
  QTest::addColumn<QList<QSize>>("resizes");  // each from the first size
  QTest::addColumn<QSize>("growth");          // the size reached, from the first
  QTest::newRow("first size") << QList<QSize>{} << QSize(0, 0);
  QTest::newRow("widened") << QList<QSize>{{300, 120}} << QSize(300, 120);
  QTest::newRow("widened, then shrunk") << QList<QSize>{{300, 120}, {40, 10}} << QSize(40, 10);
  QTest::newRow("shrunk below the first size")
      << QList<QSize>{{300, 120}, {-200, -100}} << QSize(0, 0);
}

void WindowTest::layout() {
  QFETCH(QList<QSize>, resizes);
  QFETCH(QSize, growth);
  const QSize first = window->size();
  for (const QSize& delta : resizes) window->resize(first + delta);
  QTRY_COMPARE(window->size(), first + growth);
  const auto expected = laidOut(window->font(), window->size());
  const auto at = [](const char* name, const QRect& r) {
    QString text;
    QDebug(&text) << name << r;
    return text;
  };
  for (const TemplateRow& row : kTemplate) {
    QCOMPARE(at(row.name, widget(row.name)->geometry()), at(row.name, expected[row.name]));
  }
}

// Without a window manager nothing keeps the window at its minimum: the platform window is
// resized as the X server would be told to.
void WindowTest::layoutBelowTheFirstSize() {
  const auto geometries = [](const CPageGleanSettingsWindow& w) {
    QMap<QString, QRect> r;
    for (const TemplateRow& row : kTemplate) {
      r[row.name] = w.findChild<QWidget*>(row.name)->geometry();
    }
    return r;
  };
  const auto resizeWindow = [](CPageGleanSettingsWindow& w, QSize size) {
    w.windowHandle()->resize(size);
    QTRY_COMPARE(w.size(), size);
  };
  const QSize first = window->size(), large(900, 480);
  const auto firstLayout = geometries(*window);
  CPageGleanSettingsWindow fresh;
  fresh.show();
  QVERIFY(QTest::qWaitForWindowExposed(&fresh));
  resizeWindow(fresh, large);
  const auto largeLayout = geometries(fresh);
  QCOMPARE(largeLayout, laidOut(fresh.font(), large));

  for (const QSize& small : {QSize(100, 100), QSize(first.width() - 1, first.height() + 200),
                             QSize(first.width() + 300, 40)}) {
    resizeWindow(*window, small);
    if (small.width() < first.width() && small.height() < first.height()) {
      QCOMPARE(geometries(*window), firstLayout);
    }
    resizeWindow(*window, large);
    QCOMPARE(geometries(*window), largeLayout);
  }
}

void WindowTest::tabOrderFollowsTheTemplate() {
  QStringList order, expected;
  for (QWidget* w = window->nextInFocusChain(); w != window.get(); w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window.get())) order << w->objectName();
  }
  for (const TemplateRow& row : kTemplate) {
    if (!QString(row.className).contains(QRegularExpression("QLabel|QGroupBox"))) {
      expected << row.name;
    }
  }
  QCOMPARE(order, expected);
}

void WindowTest::sizingAndFonts() {
  QCOMPARE(window->windowTitle(), QString("PageGlean Settings"));
  // The icon's pictures are the PNGs', pixel for pixel, as a pixmap holds them.
  const QIcon icon = window->windowIcon();
  QCOMPARE(icon.availableSizes(), QList<QSize>({QSize(64, 64), QSize(256, 256)}));
  for (int size : {64, 256}) {
    const QImage png(QString(PG_ICON_DIR "/pageglean-settings-%1.png").arg(size));
    QVERIFY(!png.isNull());
    QCOMPARE(icon.pixmap(size).toImage(), QPixmap::fromImage(png).toImage());
  }
  const Qt::WindowFlags flags = window->windowFlags();
  QVERIFY((flags & Qt::WindowMaximizeButtonHint) && (flags & Qt::WindowCloseButtonHint));
  QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));

  QFont font = QApplication::font();
  font.setPointSize(8);
  QCOMPARE(window->font(), font);
  const QSize first = window->size();
  QCOMPARE(first, toPixels(font, QRect(0, 0, 323, 221)).size());
  QCOMPARE(window->minimumSize(), first);  // growing and shrinking: layout()

  for (int id : {1000, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010}) {
    QCOMPARE(QFontInfo(edit(id)->font()).family(), QString("Liberation Mono"));
    QCOMPARE(edit(id)->font().pointSizeF(), 8.0);
  }
  QVERIFY(!QFontInfo(widget("label1000")->font()).fixedPitch());
}

void WindowTest::typingLimits_data() {
  QTest::addColumn<TypingCase>("c");
  const QString a1030(1030, 'a'), t2000(2000, 'T');
  QTest::newRow("Max items typed") << TypingCase{1005, "", 0, "12345", false, "123"};
  QTest::newRow("Title typed") << TypingCase{1002, "", 0, a1030, false, a1030.left(1024)};
  QTest::newRow("Max items pasted") << TypingCase{1005, "1", 0, "2345", true, "123"};
  QTest::newRow("long text kept whole") << TypingCase{1002, t2000, 0, "x", false, t2000};
  QTest::newRow("long text pasted into") << TypingCase{1002, t2000, 0, "xy", true, t2000};
  QTest::newRow("shortened long text stays short")
      << TypingCase{1002, t2000, 1, "xy", false, t2000.left(1999)};
  QTest::newRow("shortened long text regrows to the limit")
      << TypingCase{1005, "12345", 3, "789", false, "127"};
}

void WindowTest::typingLimits() {
  QFETCH(TypingCase, c);
  settingsEditor::ChannelSettings settings;
  (c.id == 1005 ? settings.m_maxItems : settings.m_title) = c.shown.toStdWString();
  window->exchangeToControls(settings);
  QLineEdit* line = edit(c.id);
  QCOMPARE(line->text(), c.shown);

  line->setFocus();
  QTest::keyClick(line, Qt::Key_End);
  for (int i = 0; i < c.backspaces; ++i) QTest::keyClick(line, Qt::Key_Backspace);
  if (c.pasted) {
    QGuiApplication::clipboard()->setText(c.added);
    QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
  } else {
    QTest::keyClicks(line, c.added);
  }
  QCOMPARE(line->text(), c.expected);
}

// The texts a loaded file puts into the controls are no edit of the user's; typing is one.
void WindowTest::onlyTheUsersEditsCount() {
  QTemporaryDir dir;
  const QString path = dir.filePath("in.ini");
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("[ChannelParameters]\nURL=http://example.org/\nTitle=News\nMaxItems=7\n");
  file.close();
  settingsEditor::CPageGleanSettingsDlg& controller = window->controller();
  QVERIFY(controller.loadSettings(path.toStdWString()));
  QCOMPARE(edit(1002)->text(), QString("News"));
  QCOMPARE(edit(1005)->text(), QString("7"));
  QVERIFY(!controller.dirty());

  QTest::keyClicks(edit(1002), "!");
  QVERIFY(controller.dirty());
}

// A text longer than its field shows its beginning, with the cursor before it.
void WindowTest::loadShowsEachFieldFromItsStart() {
  QTemporaryDir dir;
  const QString path = dir.filePath("long.ini");
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("[ChannelParameters]\r\n");
  const QString tail = QString(300, 'x') + "e}</time>{*}<img";
  for (const char* key : {"URL", "Title", "Description", "BaseUrl", "MaxItems", "Shorthand",
                          "SectionPattern", "ItemPattern-1", "ItemPattern-2", "ItemPattern-3"}) {
    file.write(QString("%1=%1 %2\r\n").arg(key, tail).toUtf8());
  }
  file.close();
  fileAnswer = path.toStdWString();
  window->controller().onLoad();
  QVERIFY(boxes.empty());
  for (const settingsEditor::ChannelField& field : settingsEditor::exchangeOrder()) {
    QLineEdit* line = edit(field.controlId);
    QVERIFY2(line->text().endsWith(tail), qPrintable(line->objectName()));
    QCOMPARE(line->cursorPosition(), 0);
  }
}

void WindowTest::enterDoesNothing_data() {
  QTest::addColumn<QString>("focus");
  for (const char* name : {"1000", "1005", "1016", "1013", "1015", "1011", "1012", "2"}) {
    QTest::newRow(name) << QString(name);
  }
}

void WindowTest::enterDoesNothing() {
  QFETCH(QString, focus);
  QTest::keyClicks(edit(1002), "unsaved");
  QWidget* control = widget(focus);
  control->setFocus();
  QTest::keyClick(control, Qt::Key_Return);
  QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
  QVERIFY(window->isVisible());
  QVERIFY(boxes.empty());
  QVERIFY(fileRequests.empty());
  QVERIFY(!qobject_cast<QCheckBox*>(widget("1015"))->isChecked());
}

void WindowTest::closing_data() {
  QTest::addColumn<CloseCase>("c");
  using A = MessageAnswer;
  QTest::newRow("Escape at once") << CloseCase{Trigger::Escape, false, A::Cancel, false, true};
  QTest::newRow("close box at once") << CloseCase{Trigger::CloseBox, false, A::Cancel, false, true};
  QTest::newRow("Escape, No") << CloseCase{Trigger::Escape, true, A::No, false, true};
  QTest::newRow("Escape, Cancel") << CloseCase{Trigger::Escape, true, A::Cancel, false, false};
  QTest::newRow("close box, Cancel") << CloseCase{Trigger::CloseBox, true, A::Cancel, false, false};
  QTest::newRow("close box, No") << CloseCase{Trigger::CloseBox, true, A::No, false, true};
  QTest::newRow("Close, Cancel") << CloseCase{Trigger::CloseButton, true, A::Cancel, false, false};
  QTest::newRow("Escape, Yes, saved") << CloseCase{Trigger::Escape, true, A::Yes, true, true};
  QTest::newRow("Escape, Yes, no file") << CloseCase{Trigger::Escape, true, A::Yes, false, false};
}

void WindowTest::closing() {
  QFETCH(CloseCase, c);
  QTemporaryDir dir;
  const QString saved = dir.filePath("s.ini");
  if (c.fileChosen) fileAnswer = saved.toStdWString();
  if (c.edited) QTest::keyClicks(edit(1003), "d");
  boxAnswer = c.answer;

  switch (c.trigger) {
    case Trigger::Escape:
      QTest::keyClick(edit(1003), Qt::Key_Escape);
      break;
    case Trigger::CloseBox:
      window->close();
      break;
    case Trigger::CloseButton:
      QTest::mouseClick(widget("2"), Qt::LeftButton);
      break;
  }

  QCOMPARE(window->isVisible(), !c.closes);
  if (c.closes) QCOMPARE(window->result(), int(QDialog::Rejected));
  QCOMPARE(boxes.size(), std::size_t(c.edited ? 1 : 0));
  if (c.edited) {
    QCOMPARE(boxes[0].caption, settingsEditor::programName());
    QCOMPARE(QString::fromStdWString(boxes[0].text), QString("Save your changes?"));
    QCOMPARE(boxes[0].buttons, MessageButtons::YesNoCancel);
    QCOMPARE(boxes[0].icon, MessageIcon::Question);
  }
  QCOMPARE(fileRequests.size(), std::size_t(c.answer == MessageAnswer::Yes ? 1 : 0));
  QCOMPARE(QFile::exists(saved), c.fileChosen);
}

void WindowTest::progressWindow() {
  window->showProgress(L"Downloading: 0 bytes");
  window->showProgress(L"Downloading: 512 bytes");
  QCOMPARE(window->findChildren<QProgressDialog*>().size(), 1);
  auto* progress = window->findChild<QProgressDialog*>();
  QVERIFY(progress->isVisible());
  QCOMPARE(progress->labelText(), QString("Downloading: 512 bytes"));
  QVERIFY(!window->progressCancelled());

  // Cancel is pressed while the work runs: keepAlive() delivers the click.
  auto* cancel = progress->findChild<QPushButton*>();
  QCOMPARE(cancel->text(), QString("Cancel"));
  QTimer::singleShot(0, cancel, &QPushButton::click);
  window->keepAlive();
  QVERIFY(window->progressCancelled());

  window->hideProgress();
  QVERIFY(window->findChild<QProgressDialog*>() == nullptr);
  QVERIFY(!window->progressCancelled());
}

void WindowTest::fileDialogs_data() {
  QTest::addColumn<Kind>("kind");
  QTest::newRow("open") << Kind::Open;
  QTest::newRow("save over an existing file") << Kind::Save;
}

void WindowTest::fileDialogs() {
  QFETCH(Kind, kind);
  QTemporaryDir dir;
  const QString existing = dir.filePath("old.ini");
  QVERIFY(QFile(existing).open(QIODevice::WriteOnly));
  const QString examples = dir.filePath("examples");
  QVERIFY(QDir(dir.path()).mkdir("examples"));
  const FileDialogRequest request{
      L"Load settings",          {{L"Setting files (*.ini)", L"*.ini"}, {L"All files", L"*.*"}},
      dir.path().toStdWString(), L"ini",
      existing.toStdWString(),   {examples.toStdWString()}};
  const bool open = kind == Kind::Open;

  bool shown = false;
  onNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) return false;
    shown = dialog->windowTitle() == "Load settings" &&
            dialog->nameFilters() == QStringList({"Setting files (*.ini)", "All files (*)"}) &&
            dialog->defaultSuffix() == "ini" &&
            dialog->directory().absolutePath() == QDir(dir.path()).absolutePath() &&
            dialog->selectedFiles() == QStringList({existing}) &&
            dialog->acceptMode() == (open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave) &&
            dialog->fileMode() == (open ? QFileDialog::ExistingFile : QFileDialog::AnyFile) &&
            dialog->testOption(QFileDialog::DontConfirmOverwrite) == !open &&
            dialog->sidebarUrls().contains(QUrl::fromLocalFile(examples));
    static_cast<QDialog*>(dialog)->accept();  // a question about replacing would keep it open
    return true;
  });
  const auto chosen = CPageGleanSettingsWindow::showFileDialog(window.get(), kind, request);
  QVERIFY(shown);
  QCOMPARE(chosen, std::optional(existing.toStdWString()));
}

void WindowTest::qtMessageBoxes_data() {
  QTest::addColumn<BoxCase>("c");
  using B = QMessageBox;
  using Buttons = MessageButtons;
  using Icon = MessageIcon;
  using A = MessageAnswer;
  const auto yesNoCancel = B::Yes | B::No | B::Cancel;
  // clang-format off
  QTest::newRow("OK") << BoxCase{Buttons::Ok, Icon::Warning, B::Ok, B::Ok, B::Warning, A::Ok};
  QTest::newRow("OK, Escape")
      << BoxCase{Buttons::Ok, Icon::Error, B::NoButton, B::Ok, B::Critical, A::Ok};
  QTest::newRow("No")
      << BoxCase{Buttons::YesNoCancel, Icon::Question, B::No, yesNoCancel, B::Question, A::No};
  QTest::newRow("Yes/No/Cancel, Escape")
      << BoxCase{Buttons::YesNoCancel, Icon::Question, B::NoButton, yesNoCancel, B::Question,
                 A::Cancel};
  // clang-format on
}

void WindowTest::qtMessageBoxes() {
  QFETCH(BoxCase, c);
  const settingsEditor::qt::CQtMessageBoxes installed;
  bool shown = false;
  onNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    shown = box->windowTitle() == "Caption" && box->text() == "Text" &&
            box->standardButtons() == c.shownButtons && box->icon() == c.shownIcon;
    if (c.press == QMessageBox::NoButton) {
      QTest::keyClick(box, Qt::Key_Escape);
    } else {
      box->button(c.press)->click();
    }
    return true;
  });
  QCOMPARE(platform::messageBox(L"Caption", L"Text", c.buttons, c.icon), c.answer);
  QVERIFY(shown);

  // From another thread the box goes to the handler that was there before.
  std::thread([&] {
    platform::messageBox(L"Worker", L"Off the GUI thread", c.buttons, c.icon);
  }).join();
  QCOMPARE(boxes.size(), std::size_t(1));
  QCOMPARE(boxes[0].caption, std::wstring(L"Worker"));
}

// Preview and View once through the real window: the page from a loopback server, the real
// plug-in, and a viewer and an opener that record what they were given.
void WindowTest::previewAndView() {
#ifndef PG_PLUGIN_PROGRAM
  QSKIP("this build has no plug-in program");
#else
  testSupport::ScratchDir dir("pgQtFlow");
  for (const char* name : {"viewer", "opener"}) {
    // The content first, so that a line in the log means its file is there.
    dir.write(
        name,
        "#!/bin/sh\ncat \"$1\" > \"$0.seen\" 2>/dev/null\nprintf '%s\\n' \"$1\" >> \"$0.log\"\n");
    std::filesystem::permissions(dir.file(name), std::filesystem::perms::owner_all);
  }
  const auto log = [&](const char* name) {
    return QString::fromStdString(dir.read(std::string(name) + ".log"))
        .split(u'\n', Qt::SkipEmptyParts);
  };
  config::IniFileStore config{nullptr, config::IniFileStore::useDefaultFlags};
  config.setString(L"Config", L"PluginCommand", misc::fromUtf8(PG_PLUGIN_PROGRAM));
  config.setString(L"Config", L"ShowTextCommandTemplate",
                   L'"' + dir.wfile("viewer") + L"\" \"%1\"");
  config::IniFileStore* const previousConfig = settingsEditor::appConfig;
  settingsEditor::appConfig = &config;
  const auto restoreConfig = qScopeGuard([&] { settingsEditor::appConfig = previousConfig; });

  const std::string page =
      "<ul><li><a href=\"/n/1\">Snow &amp; ice</a></li><li><a href=\"/n/2\">Rain</a></li></ul>";
  testSupport::HttpTestServer server;
  // The page comes late, so that the window has to repaint while it waits.
  server.route(
      "/news",
      testSupport::HttpReply()
          .send("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(page.size()) + "\r\n\r\n")
          .pause(300)
          .send(page));
  const QString url = QString::fromStdString(server.url("/news?year={%Y%}"));

  settingsEditor::SystemDesktopLauncher launcher(dir.wfile("opener"));
  CPageGleanSettingsWindow flow(launcher);
  flow.show();
  QVERIFY(QTest::qWaitForWindowExposed(&flow));
  const auto find = [&](const char* name) { return flow.findChild<QWidget*>(name); };
  QTest::keyClicks(find("1000"), " " + url + " ");
  QTest::keyClicks(find("1004"), "http://example.org/");
  QTest::keyClicks(find("1008"), R"(<li><a href="{%link}">{%title}</a></li>)");

  BusyPaints paints;
  find("1000")->installEventFilter(&paints);
  QTimer repaint;
  connect(&repaint, &QTimer::timeout, find("1000"), qOverload<>(&QWidget::update));
  repaint.start(20);
  QTest::mouseClick(find("1013"), Qt::LeftButton);
  QVERIFY2(paints.count > 0, "no repaint during Preview");
  repaint.stop();

  const QString out = QString::fromStdWString(flow.controller().stdoutFile().fileName());
  QTRY_COMPARE_WITH_TIMEOUT(log("viewer"), QStringList{out}, 5000);
  const std::string feed = dir.read("viewer.seen");
  QVERIFY2(feed.find("<title>Snow &amp; ice</title>\n      <link>http://example.org/n/1</link>") !=
               std::string::npos,
           feed.c_str());
  QVERIFY2(feed.find("<link>http://example.org/n/2</link>") != std::string::npos, feed.c_str());
  const auto requests = server.requests();
  QCOMPARE(requests.size(), std::size_t(1));
  const std::string year = std::to_string(QDate::currentDate().year());
  QVERIFY2(requests[0].starts_with("GET /news?year=" + year + " HTTP/1.0\r\n"),
           requests[0].c_str());

  // Ticked, the same page's result goes to the opener; View hands it the URL as typed.
  QTest::keyClick(find("1015"), Qt::Key_Space);
  QVERIFY(qobject_cast<QCheckBox*>(find("1015"))->isChecked());
  QTest::mouseClick(find("1013"), Qt::LeftButton);
  QTRY_COMPARE_WITH_TIMEOUT(log("opener"), QStringList{out}, 5000);
  QTest::mouseClick(find("1016"), Qt::LeftButton);
  QTRY_COMPARE_WITH_TIMEOUT(log("opener"), (QStringList{out, url}), 5000);

  QCOMPARE(server.requests().size(), std::size_t(1));
  QCOMPARE(log("viewer").size(), 1);
  QVERIFY(boxes.empty());
#endif
}

void WindowTest::cancelEndsPreviewWithinASecond_data() {
  QTest::addColumn<bool>("serverAnswers");
  QTest::addColumn<QString>("message");
  QTest::newRow("a server that never answers") << false << "The download was cancelled.";
  QTest::newRow("a plug-in that hangs") << true << "The plugin was cancelled.";
}

// Cancel in the progress window, pressed while the download or the plug-in waits for ever.
void WindowTest::cancelEndsPreviewWithinASecond() {
  QFETCH(bool, serverAnswers);
  QFETCH(QString, message);
  testSupport::ScratchDir dir("pgQtCancel");
  dir.write("plugin", "#!/bin/sh\necho $$ > \"$0.pid\"\nexec sleep 30\n");
  std::filesystem::permissions(dir.file("plugin"), std::filesystem::perms::owner_all);
  config::IniFileStore config{nullptr, config::IniFileStore::useDefaultFlags};
  config.setString(L"Config", L"PluginCommand", dir.wfile("plugin"));
  config.setString(L"Config", L"PluginTimeout", L"20");
  config::IniFileStore* const previousConfig = settingsEditor::appConfig;
  settingsEditor::appConfig = &config;
  const auto restoreConfig = qScopeGuard([&] { settingsEditor::appConfig = previousConfig; });

  const std::string page = "<li>one</li>";
  testSupport::HttpTestServer server;
  server.route("/page", serverAnswers ? testSupport::HttpReply::status(200, "OK", {}, page)
                                      : testSupport::HttpReply().stall());
  QTest::keyClicks(edit(1000), QString::fromStdString(server.url("/page")));
  QTest::keyClicks(edit(1008), "<li>{%title}</li>");
  const auto& controller = window->controller();
  const std::string pageFile = misc::toUtf8(controller.pageFile().fileName());

  QElapsedTimer sinceCancel;
  onNextModal([&](QWidget* modal) {
    auto* progress = qobject_cast<QProgressDialog*>(modal);
    if (progress == nullptr) return false;
    sinceCancel.start();
    progress->findChild<QPushButton*>()->click();
    return true;
  });
  QTest::mouseClick(widget("1013"), Qt::LeftButton);  // returns when Preview has ended
  QVERIFY2(sinceCancel.isValid(), "no progress window to cancel");
  QVERIFY2(sinceCancel.elapsed() < 1000, qPrintable(QString::number(sinceCancel.elapsed())));

  QCOMPARE(boxes.size(), std::size_t(1));
  QCOMPARE(QString::fromStdWString(boxes[0].text), message);
  QVERIFY(window->findChild<QProgressDialog*>() == nullptr);
  QVERIFY(QApplication::overrideCursor() == nullptr);
  QCOMPARE(server.requests().size(), std::size_t(1));
  // The page a finished download brought stays for the next Preview; a cancelled one
  // leaves the cache empty.
  QCOMPARE(testSupport::readBytes(pageFile), serverAnswers ? page : std::string());
  if (serverAnswers) {
    const pid_t plugin = std::stoi(dir.read("plugin.pid"));
    QVERIFY2(::kill(plugin, 0) != 0 && errno == ESRCH, "the plug-in runs on");
  }
}

void WindowTest::terminationSignals_data() {
  QTest::addColumn<int>("signal");
  QTest::addColumn<bool>("previewing");
  QTest::newRow("SIGTERM while the plug-in runs") << SIGTERM << true;
  QTest::newRow("SIGINT while the plug-in runs") << SIGINT << true;
  QTest::newRow("SIGHUP with unsaved changes") << SIGHUP << false;
}

void WindowTest::terminationSignals() {
  QFETCH(int, signal);
  QFETCH(bool, previewing);
  testSupport::ScratchDir dir("pgQtSignals");
  testSupport::ScratchDir tmp("pgQtSignalsTmp");
  const testSupport::ScopedVariable tmpVariable("TMP", tmp.path());
  dir.write("page.html", "<html></html>");
  dir.write("plugin", "#!/bin/sh\necho $$ > \"$(dirname \"$0\")/pid\"\nsleep 30\n");
  std::filesystem::permissions(dir.file("plugin"), std::filesystem::perms::owner_all);
  config::IniFileStore config{nullptr, config::IniFileStore::useDefaultFlags};
  config.setString(L"Config", L"PluginCommand", dir.wfile("plugin"));
  config::IniFileStore* const previousConfig = settingsEditor::appConfig;
  settingsEditor::appConfig = &config;
  const auto restoreConfig = qScopeGuard([&] { settingsEditor::appConfig = previousConfig; });

  // Where this test was started with the signal ignored, the window would keep ignoring it.
  struct sigaction byDefault {
  }, before{};
  byDefault.sa_handler = SIG_DFL;
  ::sigaction(signal, &byDefault, &before);
  const auto restoreSignal = qScopeGuard([&] { ::sigaction(signal, &before, nullptr); });
  QElapsedTimer sent;
  int result = -1;
  {
    CPageGleanSettingsWindow ending;
    ending.show();
    QVERIFY(QTest::qWaitForWindowExposed(&ending));
    QCOMPARE(tmp.entries().size(), std::size_t(4));
    QTest::keyClicks(ending.findChild<QWidget*>("1000"),
                     QString::fromStdString(dir.file("page.html")));
    QTimer::singleShot(0, &ending, [&] {
      if (previewing) QTest::mouseClick(ending.findChild<QWidget*>("1013"), Qt::LeftButton);
    });
    const auto sendOnce = [&] {
      if (sent.isValid() || (previewing && !std::filesystem::exists(dir.file("pid")))) return;
      sent.start();
      ::kill(::getpid(), signal);
    };
    QTimer sender;
    connect(&sender, &QTimer::timeout, &ending, sendOnce);
    sender.start(20);
    QTimer::singleShot(10000, &ending, [&] { ending.done(-2); });  // the test fails
    result = ending.exec();
  }
  QCOMPARE(result, int(QDialog::Rejected));
  QVERIFY(sent.elapsed() < 2000);
  QCOMPARE(tmp.entries(), std::vector<std::string>{});
  QVERIFY(boxes.empty());  // neither the close prompt nor the plug-in's end
  if (previewing) {
    const pid_t plugin = std::stoi(dir.read("pid"));
    QVERIFY(::kill(plugin, 0) != 0);  // ended, and collected
  }
}

QTEST_MAIN(WindowTest)
#include "cPageGleanSettingsWindowTest.moc"
