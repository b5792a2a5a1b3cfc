// The real window under the offscreen platform. Message boxes are answered through the
// platform handler, file dialogs through the window's chooser; a modal widget that a test
// did not expect is rejected after a few seconds, so that no test blocks.

#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>
#include <thread>

#include "platform/src/messageBox.h"
#include "settingsEditor/qt/src/cPageGleanSettingsWindow.h"
#include "settingsEditor/qt/src/cQtMessageBoxes.h"
#include "settingsEditor/src/cPageGleanSettingsApp.h"

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using settingsEditor::ChannelSettings;
using settingsEditor::FileDialogRequest;
using settingsEditor::qt::CPageGleanSettingsWindow;
using Kind = CPageGleanSettingsWindow::FileDialogKind;

Q_DECLARE_METATYPE(MessageAnswer)
Q_DECLARE_METATYPE(MessageButtons)
Q_DECLARE_METATYPE(MessageIcon)

namespace {

struct ShownBox {
  std::wstring caption;
  std::wstring text;
  MessageButtons buttons;
  MessageIcon icon;
};

// The dialog's own text measure, from the font's letters: one unit is a quarter of the
// average letter width across, an eighth of the line height down, rounded to pixels.
QRect dialogUnits(const QFont& font, int x, int y, int width, int height) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  const double across = ((letters / 26 + 1) / 2) / 4.0;
  const double down = metrics.height() / 8.0;
  return QRect(qRound(x * across), qRound(y * down), qRound(width * across),
               qRound(height * down));
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void controls_data();
  void controls();
  void tabOrderFollowsTheTemplate();
  void sizing();
  void editFontsAreFixedPitch();
  void typingLimits_data();
  void typingLimits();
  void enterDoesNothing_data();
  void enterDoesNothing();
  void closing_data();
  void closing();
  void progressWindow();
  void fileDialogs_data();
  void fileDialogs();
  void qtMessageBoxes_data();
  void qtMessageBoxes();

 private:
  QWidget* widget(const QString& name) const {
    auto* found = window->findChild<QWidget*>(name);
    if (found == nullptr) qFatal("no control %s", qPrintable(name));
    return found;
  }
  QLineEdit* edit(int id) const { return qobject_cast<QLineEdit*>(widget(QString::number(id))); }
  // Calls `handle` with the next modal widget once it shows, until it returns true.
  void onNextModal(std::function<bool(QWidget*)> handle);
  void pollModal();

  std::unique_ptr<CPageGleanSettingsWindow> window;
  platform::MessageBoxHandler previousHandler;
  std::vector<ShownBox> boxes;
  std::deque<MessageAnswer> boxAnswers;
  std::vector<Kind> fileRequests;
  std::optional<std::wstring> fileAnswer;
  QTimer modalTimer;
  QElapsedTimer modalWait;
  std::function<bool(QWidget*)> modalHandler;
};

void WindowTest::init() {
  boxes.clear();
  boxAnswers.clear();
  fileRequests.clear();
  fileAnswer.reset();
  previousHandler = platform::setMessageBoxHandler(
      [this](const std::wstring& caption, const std::wstring& text, MessageButtons buttons,
             MessageIcon icon) {
        boxes.push_back({caption, text, buttons, icon});
        if (boxAnswers.empty()) return MessageAnswer::Cancel;
        const MessageAnswer answer = boxAnswers.front();
        boxAnswers.pop_front();
        return answer;
      });
  window = std::make_unique<CPageGleanSettingsWindow>();
  window->setFileChooser([this](QWidget*, Kind kind, const FileDialogRequest&) {
    fileRequests.push_back(kind);
    return fileAnswer;
  });
  window->show();
  QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  connect(&modalTimer, &QTimer::timeout, this, &WindowTest::pollModal, Qt::UniqueConnection);
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

void WindowTest::pollModal() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modalHandler && modalHandler(modal)) {
    modalTimer.stop();
  } else if (modalWait.elapsed() > 5000) {
    modalTimer.stop();
    if (modal != nullptr) modal->close();  // a test that waits for it then fails
    if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
  }
}

void WindowTest::controls_data() {
  QTest::addColumn<QString>("className");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QRect>("units");
  const auto row = [](const char* name, const char* className, const char* text, QRect units) {
    QTest::newRow(name) << QString(className) << QString(text) << units;
  };
  row("label1000", "QLabel", "&URL to scrape:", {12, 12, 53, 12});
  row("1000", "QLineEdit", "", {65, 12, 202, 12});
  row("1016", "QPushButton", "&View", {269, 12, 34, 12});
  row("label1002", "QLabel", "&Title:", {12, 28, 16, 12});
  row("1002", "QLineEdit", "", {65, 28, 238, 12});
  row("label1003", "QLabel", "&Description:", {12, 44, 38, 12});
  row("1003", "QLineEdit", "", {65, 44, 238, 12});
  row("label1004", "QLabel", "&Base URL:", {12, 60, 36, 12});
  row("1004", "QLineEdit", "", {65, 60, 238, 12});
  row("label1005", "QLabel", "&Max items:", {12, 76, 34, 12});
  row("1005", "QLineEdit", "15", {65, 76, 28, 12});
  row("1017", "QGroupBox", "", {12, 93, 299, 95});
  row("label1006", "QLabel", "Shorthand:", {19, 105, 36, 12});
  row("1006", "QLineEdit", "", {73, 105, 231, 12});
  row("label1007", "QLabel", "Section pattern:", {19, 121, 51, 12});
  row("1007", "QLineEdit", "", {73, 121, 231, 12});
  row("label1008", "QLabel", "&Item patterns:", {19, 137, 44, 12});
  row("1008", "QLineEdit", "", {73, 137, 231, 12});
  row("1009", "QLineEdit", "", {73, 151, 231, 12});
  row("1010", "QLineEdit", "", {73, 167, 231, 12});
  row("1013", "QPushButton", "&Preview", {12, 195, 50, 14});
  row("1015", "QCheckBox", "View in bro&wser", {65, 195, 82, 14});
  row("1011", "QPushButton", "&Load", {149, 195, 50, 14});
  row("1012", "QPushButton", "&Save", {205, 195, 50, 14});
  row("2", "QPushButton", "Close", {261, 195, 50, 14});
}

void WindowTest::controls() {
  QFETCH(QString, className);
  QFETCH(QString, text);
  QFETCH(QRect, units);
  const QString name = QTest::currentDataTag();
  QWidget* control = widget(name);
  QVERIFY(control->inherits(qPrintable(className)));
  QCOMPARE(control->parentWidget(), window.get());
  const QRect expected =
      dialogUnits(window->font(), units.x(), units.y(), units.width(), units.height());
  QCOMPARE(control->geometry(), expected);

  if (auto* label = qobject_cast<QLabel*>(control)) {
    QCOMPARE(label->text(), text);
    QCOMPARE(label->buddy(), widget(name.mid(5)));  // the mnemonic reaches the field
  } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
    QCOMPARE(line->text(), text);
    QVERIFY(line->hasFrame());
    const auto rect = window->controlRect(name.toInt());
    QVERIFY(rect.has_value());
    QCOMPARE(QRect(rect->left, rect->top, rect->width(), rect->height()), expected);
  } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
    QCOMPARE(box->title(), text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    QCOMPARE(button->text(), text);
    QVERIFY(!button->isChecked());
    if (auto* push = qobject_cast<QPushButton*>(control)) {
      QVERIFY(!push->autoDefault());
      QVERIFY(!push->isDefault());
    }
  }
}

void WindowTest::tabOrderFollowsTheTemplate() {
  QStringList order;
  for (QWidget* w = window->nextInFocusChain(); w != window.get(); w = w->nextInFocusChain()) {
    if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window.get())) {
      order << w->objectName();
    }
  }
  QCOMPARE(order, QStringList({"1000", "1016", "1002", "1003", "1004", "1005", "1006", "1007",
                               "1008", "1009", "1010", "1013", "1015", "1011", "1012", "2"}));
}

void WindowTest::sizing() {
  QCOMPARE(window->windowTitle(), QString("PageGlean Settings"));
  QVERIFY(!window->windowIcon().isNull());
  const Qt::WindowFlags flags = window->windowFlags();
  QVERIFY(flags & Qt::WindowMaximizeButtonHint);
  QVERIFY(flags & Qt::WindowCloseButtonHint);
  QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));

  QFont font = QApplication::font();
  font.setPointSize(8);
  QCOMPARE(window->font(), font);
  const QSize first = window->size();
  QCOMPARE(first, dialogUnits(font, 0, 0, 323, 221).size());
  QCOMPARE(window->minimumSize(), first);
  window->resize(first.width() - 40, first.height() - 30);
  QTRY_COMPARE(window->size(), first);
  window->resize(first.width() + 200, first.height() + 100);
  QTRY_COMPARE(window->size(), first + QSize(200, 100));
  window->resize(first.width() / 2, first.height() / 2);
  QTRY_COMPARE(window->size(), first);
}

void WindowTest::editFontsAreFixedPitch() {
  for (int id : {1000, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010}) {
    const QFont font = edit(id)->font();
    QVERIFY2(QFontInfo(font).fixedPitch(), qPrintable(QFontInfo(font).family()));
    QCOMPARE(QFontInfo(font).family(), QString("Liberation Mono"));
    QCOMPARE(font.pointSizeF(), 8.0);
  }
  QVERIFY(!QFontInfo(widget("label1000")->font()).fixedPitch());
}

void WindowTest::typingLimits_data() {
  QTest::addColumn<int>("id");
  QTest::addColumn<QString>("shown");
  QTest::addColumn<int>("backspaces");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<bool>("pasted");
  QTest::addColumn<QString>("expected");
  const QString a1030(1030, 'a');
  const QString t2000(2000, 'T');
  QTest::newRow("Max items typed") << 1005 << "" << 0 << "12345" << false << "123";
  QTest::newRow("Title typed") << 1002 << "" << 0 << a1030 << false << a1030.left(1024);
  QTest::newRow("Max items pasted") << 1005 << "1" << 0 << "2345" << true << "123";
  QTest::newRow("long text kept whole") << 1002 << t2000 << 0 << "x" << false << t2000;
  QTest::newRow("long text pasted into") << 1002 << t2000 << 0 << "xy" << true << t2000;
  QTest::newRow("shortened long text stays short")
      << 1002 << t2000 << 1 << "xy" << false << t2000.left(1999);
  QTest::newRow("shortened long text regrows to the limit")
      << 1005 << "12345" << 3 << "789" << false << "127";
}

void WindowTest::typingLimits() {
  QFETCH(int, id);
  QFETCH(QString, shown);
  QFETCH(int, backspaces);
  QFETCH(QString, typed);
  QFETCH(bool, pasted);
  QFETCH(QString, expected);
  // As a loaded file shows it: the text, then the limit.
  ChannelSettings settings;
  settings.m_maxItems.clear();
  (id == 1005 ? settings.m_maxItems : settings.m_title) = shown.toStdWString();
  window->exchangeToControls(settings);
  QLineEdit* line = edit(id);
  QCOMPARE(line->text(), shown);

  line->setFocus();
  QTest::keyClick(line, Qt::Key_End);
  for (int i = 0; i < backspaces; ++i) QTest::keyClick(line, Qt::Key_Backspace);
  if (pasted) {
    QGuiApplication::clipboard()->setText(typed);
    QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
  } else {
    QTest::keyClicks(line, typed);
  }
  QCOMPARE(line->text(), expected);
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
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) QTest::keyClick(control, key);
  QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
  QVERIFY(window->isVisible());
  QVERIFY(boxes.empty());
  QVERIFY(fileRequests.empty());
  QVERIFY(!qobject_cast<QCheckBox*>(widget("1015"))->isChecked());
}

enum class Trigger { Escape, CloseBox, CloseButton };

void WindowTest::closing_data() {
  QTest::addColumn<int>("trigger");
  QTest::addColumn<bool>("edited");
  QTest::addColumn<MessageAnswer>("answer");
  QTest::addColumn<bool>("fileChosen");
  QTest::addColumn<bool>("closes");
  const auto row = [](const char* name, Trigger trigger, bool edited, MessageAnswer answer,
                      bool fileChosen, bool closes) {
    QTest::newRow(name) << int(trigger) << edited << answer << fileChosen << closes;
  };
  row("Escape at once", Trigger::Escape, false, MessageAnswer::Cancel, false, true);
  row("close box at once", Trigger::CloseBox, false, MessageAnswer::Cancel, false, true);
  row("Escape, No", Trigger::Escape, true, MessageAnswer::No, false, true);
  row("Escape, Cancel", Trigger::Escape, true, MessageAnswer::Cancel, false, false);
  row("close box, Cancel", Trigger::CloseBox, true, MessageAnswer::Cancel, false, false);
  row("close box, No", Trigger::CloseBox, true, MessageAnswer::No, false, true);
  row("Close button, Cancel", Trigger::CloseButton, true, MessageAnswer::Cancel, false, false);
  row("Escape, Yes, saved", Trigger::Escape, true, MessageAnswer::Yes, true, true);
  row("Escape, Yes, file dialog cancelled", Trigger::Escape, true, MessageAnswer::Yes, false,
      false);
}

void WindowTest::closing() {
  QFETCH(int, trigger);
  QFETCH(bool, edited);
  QFETCH(MessageAnswer, answer);
  QFETCH(bool, fileChosen);
  QFETCH(bool, closes);
  QTemporaryDir dir;
  const QString saved = dir.filePath("s.ini");
  if (fileChosen) fileAnswer = saved.toStdWString();
  if (edited) QTest::keyClicks(edit(1003), "d");
  boxAnswers.push_back(answer);

  switch (Trigger(trigger)) {
    case Trigger::Escape: QTest::keyClick(edit(1003), Qt::Key_Escape); break;
    case Trigger::CloseBox: window->close(); break;
    case Trigger::CloseButton: QTest::mouseClick(widget("2"), Qt::LeftButton); break;
  }

  QCOMPARE(window->isVisible(), !closes);
  if (closes) QCOMPARE(window->result(), int(QDialog::Rejected));
  QCOMPARE(boxes.size(), std::size_t(edited ? 1 : 0));
  if (edited) {
    QCOMPARE(boxes[0].caption, settingsEditor::programName());
    QCOMPARE(QString::fromStdWString(boxes[0].text), QString("Save your changes?"));
    QCOMPARE(boxes[0].buttons, MessageButtons::YesNoCancel);
    QCOMPARE(boxes[0].icon, MessageIcon::Question);
  }
  QCOMPARE(fileRequests.size(), std::size_t(answer == MessageAnswer::Yes ? 1 : 0));
  QCOMPARE(QFile::exists(saved), fileChosen);
}

void WindowTest::progressWindow() {
  window->showProgress(L"Downloading: 0 bytes");
  window->showProgress(L"Downloading: 512 bytes");
  auto* progress = window->findChild<QProgressDialog*>();
  QVERIFY(progress != nullptr);
  QVERIFY(progress->isVisible());
  QCOMPARE(progress->labelText(), QString("Downloading: 512 bytes"));
  QCOMPARE(window->findChildren<QProgressDialog*>().size(), 1);
  QVERIFY(!window->progressCancelled());

  // The Cancel button is pressed while the work runs; keepAlive() delivers the click.
  auto* cancel = progress->findChild<QPushButton*>();
  QVERIFY(cancel != nullptr);
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
  QFile file(existing);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.close();
  const FileDialogRequest request{
      L"Load settings", {{L"Setting files (*.ini)", L"*.ini"}, {L"All files", L"*.*"}},
      dir.path().toStdWString(), L"ini", existing.toStdWString()};

  bool shown = false;
  onNextModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    if (dialog == nullptr) return false;
    shown = true;
    [&] {
      QCOMPARE(dialog->windowTitle(), QString("Load settings"));
      QCOMPARE(dialog->nameFilters(), QStringList({"Setting files (*.ini)", "All files (*)"}));
      QCOMPARE(dialog->defaultSuffix(), QString("ini"));
      QCOMPARE(dialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
      QCOMPARE(dialog->selectedFiles(), QStringList({existing}));
      QCOMPARE(dialog->acceptMode(),
               kind == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
      QCOMPARE(dialog->fileMode(),
               kind == Kind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
      QCOMPARE(dialog->testOption(QFileDialog::DontConfirmOverwrite), kind == Kind::Save);
    }();
    static_cast<QDialog*>(dialog)->accept();  // a question about replacing would keep it open
    return true;
  });
  const auto chosen = CPageGleanSettingsWindow::showFileDialog(window.get(), kind, request);
  QVERIFY(shown);
  QCOMPARE(chosen, std::optional(existing.toStdWString()));
}

void WindowTest::qtMessageBoxes_data() {
  QTest::addColumn<MessageButtons>("buttons");
  QTest::addColumn<MessageIcon>("icon");
  QTest::addColumn<int>("press");  // a QMessageBox::StandardButton, or 0 for Escape
  QTest::addColumn<int>("standardButtons");
  QTest::addColumn<int>("qtIcon");
  QTest::addColumn<MessageAnswer>("answer");
  QTest::newRow("OK") << MessageButtons::Ok << MessageIcon::Warning << int(QMessageBox::Ok)
                      << int(QMessageBox::Ok) << int(QMessageBox::Warning) << MessageAnswer::Ok;
  QTest::newRow("OK, Escape") << MessageButtons::Ok << MessageIcon::Error << 0
                              << int(QMessageBox::Ok) << int(QMessageBox::Critical)
                              << MessageAnswer::Ok;
  QTest::newRow("No") << MessageButtons::YesNoCancel << MessageIcon::Question
                      << int(QMessageBox::No)
                      << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
                      << int(QMessageBox::Question) << MessageAnswer::No;
  QTest::newRow("Yes/No/Cancel, Escape")
      << MessageButtons::YesNoCancel << MessageIcon::Question << 0
      << int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
      << int(QMessageBox::Question) << MessageAnswer::Cancel;
  QTest::newRow("Yes") << MessageButtons::YesNo << MessageIcon::Information
                       << int(QMessageBox::Yes) << int(QMessageBox::Yes | QMessageBox::No)
                       << int(QMessageBox::Information) << MessageAnswer::Yes;
  QTest::newRow("OK/Cancel, Escape")
      << MessageButtons::OkCancel << MessageIcon::None << 0
      << int(QMessageBox::Ok | QMessageBox::Cancel) << int(QMessageBox::NoIcon)
      << MessageAnswer::Cancel;
}

void WindowTest::qtMessageBoxes() {
  QFETCH(MessageButtons, buttons);
  QFETCH(MessageIcon, icon);
  QFETCH(int, press);
  QFETCH(int, standardButtons);
  QFETCH(int, qtIcon);
  QFETCH(MessageAnswer, answer);
  const settingsEditor::qt::CQtMessageBoxes installed;

  bool shown = false;
  onNextModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr) return false;
    shown = box->windowTitle() == "Caption" && box->text() == "Text" &&
            int(box->standardButtons()) == standardButtons && int(box->icon()) == qtIcon;
    if (press == 0) {
      QTest::keyClick(box, Qt::Key_Escape);
    } else {
      box->button(QMessageBox::StandardButton(press))->click();
    }
    return true;
  });
  QCOMPARE(platform::messageBox(L"Caption", L"Text", buttons, icon), answer);
  QVERIFY(shown);

  // From another thread the box goes to the handler that was there before.
  std::thread([&] { platform::messageBox(L"Worker", L"Off the GUI thread", buttons, icon); })
      .join();
  QCOMPARE(boxes.size(), std::size_t(1));
  QCOMPARE(boxes[0].caption, std::wstring(L"Worker"));
}

QTEST_MAIN(WindowTest)
#include "cPageGleanSettingsWindowTest.moc"
