// The viewer's window under the offscreen platform, and the program itself handing files to
// a running viewer.

#include <QClipboard>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QtTest>
#include <memory>
#include <vector>

#include "testSupport/src/scratchDir.h"
#include "viewer/qt/src/feedItemModel.h"
#include "viewer/qt/src/viewerWindow.h"
#include "viewer/src/istring.h"
#include "viewer/src/singleInstance.h"

using viewer::SingleInstance;
using viewer::qt::FeedItemModel;
using viewer::qt::ViewerWindow;

namespace {

QString path(const testSupport::ScratchDir& dir, const char* name) {
  return QString::fromStdString(dir.file(name));
}

template <typename Widget>
Widget* child(const QWidget& window, const char* name) {
  auto* widget = window.findChild<Widget*>(QString::fromLatin1(name));
  if (!widget) qFatal("no child widget %s", name);
  return widget;
}

QStringList column(const QTableView& table, int column) {
  QStringList texts;
  for (int row = 0; row < table.model()->rowCount(); ++row) {
    texts << table.model()->index(row, column).data().toString();
  }
  return texts;
}

// Started viewers, each bounded in time and killed if it outlives the test.
class Viewers {
 public:
  explicit Viewers(const QString& runtimeDir) {
    environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  }
  ~Viewers() {
    for (auto& process : processes_) {
      process->kill();
      process->waitForFinished(5000);
    }
  }
  void start(const QString& file) {
    auto& process = processes_.emplace_back(std::make_unique<QProcess>());
    process->setProcessEnvironment(environment_);
    process->start(QStringLiteral(PG_VIEWER_PROGRAM), {file});
  }
  // Waits, serving this process's events meanwhile, until no more than `stay` of them run or
  // `ms` have passed; returns how many still run.
  int running(int ms, int stay = 0) {
    QDeadlineTimer deadline(ms);
    const auto ended = [](const auto& process) { return process->state() == QProcess::NotRunning; };
    while (!deadline.hasExpired() &&
           std::count_if(processes_.begin(), processes_.end(), ended) + stay <
               static_cast<int>(processes_.size())) {
      QTest::qWait(20);
    }
    int count = 0;
    exitCodes_.clear();
    for (auto& process : processes_) {
      if (!ended(process)) {
        ++count;
        qWarning("still running: %s", process->readAllStandardError().constData());
      } else {
        exitCodes_ << process->exitCode();
      }
    }
    return count;
  }
  const QList<int>& exitCodes() const { return exitCodes_; }

 private:
  QProcessEnvironment environment_ = QProcessEnvironment::systemEnvironment();
  std::vector<std::unique_ptr<QProcess>> processes_;
  QList<int> exitCodes_;
};

}  // namespace

class ViewerWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void showsAFeed();
  void readsALongFeedWhileItIsShown_data();
  void readsALongFeedWhileItIsShown();
  void showsADiagnosticInAFixedFont();
  void offersTheSuggestedShorthands_data();
  void offersTheSuggestedShorthands();
  void showsWhyAFileIsBroken_data();
  void showsWhyAFileIsBroken();
  void handsFilesToTheRunningViewer();
  void tenStartsAtOnceLeaveOneViewer();
};

void ViewerWindowTest::showsAFeed() {
  testSupport::ScratchDir dir;
  dir.write("pixel.png", "not fetched");
  const QString pixel = QUrl::fromLocalFile(path(dir, "pixel.png")).toString();
  const QString feed =
      QStringLiteral(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\">\n  <channel>\n"
          "    <!-- warning: The date `soon` of item 3 is in no known format. -->\n"
          "    <title>Harbour News</title>\n    <link>https://news.example.test/</link>\n"
          "    <description>Daily</description>\n"
          "    <item><title>Snow</title><link>https://news.example.test/snow</link>"
          "<description>&lt;p&gt;Roads &lt;b&gt;shut&lt;/b&gt;&lt;img src=\"%1\"/&gt;"
          "&lt;/p&gt;</description>"
          "<pubDate>Tue, 08 Dec 2026 20:28:17 +0000</pubDate></item>\n"
          "    <item><title>ferry</title><link>javascript:alert(1)</link>"
          "<pubDate>Mon, 07 Dec 2026 09:00:00 +0000</pubDate></item>\n"
          "    <item><title>Market</title><author>Ann</author><pubDate>soon</pubDate></item>\n"
          "  </channel>\n</rss>\n")
          .arg(pixel);
  dir.write("feed.xml", feed.toStdString());
  QStringList opened;
  ViewerWindow window([&](const QString& url) { opened << url; });
  window.openFile(path(dir, "feed.xml"));
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  QVERIFY(!child<QLabel>(window, "problem")->isVisible());
  QCOMPARE(child<QLabel>(window, "channelTitle")->text(), "Harbour News");
  QCOMPARE(child<QLabel>(window, "channelLink")->text(), "https://news.example.test/");
  QCOMPARE(child<QLabel>(window, "channelDescription")->text(), "Daily");
  QCOMPARE(child<QLabel>(window, "itemCount")->text(), "3 items");
  auto* warnings = child<QLabel>(window, "warnings");
  QVERIFY(warnings->isVisible());
  QCOMPARE(warnings->text(), "The date `soon` of item 3 is in no known format.");
  auto* items = child<QTableView>(window, "items");
  QVERIFY(warnings->mapTo(&window, QPoint(0, warnings->height())).y() <=
          items->mapTo(&window, QPoint(0, 0)).y());
  QCOMPARE(column(*items, FeedItemModel::Title), QStringList({"Snow", "ferry", "Market"}));
  QCOMPARE(items->model()->headerData(FeedItemModel::Author, Qt::Horizontal).toString(), "Author");

  // The first item is selected; its description is rich text whose image is not loaded.
  auto* description = child<QTextBrowser>(window, "description");
  QCOMPARE(description->toPlainText().trimmed(), QString("Roads shut\uFFFC"));
  QVERIFY(description->toHtml().contains("font-weight:700"));
  QVERIFY(description->document()
              ->resource(QTextDocument::ImageResource, QUrl(pixel))
              .toByteArray()
              .isEmpty());
  items->selectRow(2);
  QCOMPARE(description->toPlainText(), QString());

  // Sorting reorders the rows, dates by time and undated last, and the selection follows.
  items->sortByColumn(FeedItemModel::Date, Qt::AscendingOrder);
  QCOMPARE(column(*items, FeedItemModel::Title), QStringList({"ferry", "Snow", "Market"}));
  items->sortByColumn(FeedItemModel::Date, Qt::DescendingOrder);
  QCOMPARE(column(*items, FeedItemModel::Title), QStringList({"Snow", "ferry", "Market"}));
  items->sortByColumn(FeedItemModel::Title, Qt::AscendingOrder);
  QCOMPARE(column(*items, FeedItemModel::Title), QStringList({"ferry", "Market", "Snow"}));
  QCOMPARE(items->currentIndex().row(), 1);

  // A double-click on a link opens it, but only a link of the web or of mail.
  items->scrollToTop();
  for (int row : {2, 0, 1}) {
    const QRect cell = items->visualRect(items->model()->index(row, FeedItemModel::Link));
    // A view takes a double-click only on the row that the first click pressed.
    QTest::mouseClick(items->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(items->viewport(), Qt::LeftButton, {}, cell.center());
  }
  QCOMPARE(opened, QStringList({"https://news.example.test/snow"}));

  auto* tabs = child<QTabWidget>(window, "tabs");
  auto* xml = child<QPlainTextEdit>(window, "xml");
  tabs->setCurrentWidget(xml);
  QCOMPARE(xml->toPlainText(), feed);
}

void ViewerWindowTest::readsALongFeedWhileItIsShown_data() {
  QTest::addColumn<bool>("cutShort");
  QTest::newRow("whole") << false;
  QTest::newRow("cut short") << true;
}

// Many more items than the window shows at first: the others arrive into the sorted table,
// and a feed that breaks off far down turns into a broken file.
void ViewerWindowTest::readsALongFeedWhileItIsShown() {
  QFETCH(bool, cutShort);
  constexpr int kItems = 1500;
  std::string feed = "<rss><channel><title>Long</title>\n";
  for (int i = 0; i < kItems; ++i) {
    feed += "<item><title>" + std::to_string(100000 + i) + "</title></item>\n";
  }
  feed += cutShort ? "<item><title>last" : "</channel></rss>\n";
  testSupport::ScratchDir dir;
  dir.write("long.xml", feed);
  ViewerWindow window;
  window.openFile(path(dir, "long.xml"));
  window.show();
  auto* items = child<QTableView>(window, "items");
  QVERIFY(items->model()->rowCount() < kItems);
  items->sortByColumn(FeedItemModel::Title, Qt::DescendingOrder);

  auto* problem = child<QLabel>(window, "problem");
  if (cutShort) {
    QTRY_VERIFY(problem->isVisible());
    QVERIFY2(problem->text().contains("is not a well-formed feed: line 1502"),
             qPrintable(problem->text()));
    QVERIFY(!items->isVisible());
    return;
  }
  QTRY_COMPARE(items->model()->rowCount(), kItems);
  QCOMPARE(child<QLabel>(window, "itemCount")->text(), QString("%1 items").arg(kItems));
  QVERIFY(!problem->isVisible());
  const QStringList titles = column(*items, FeedItemModel::Title);
  QCOMPARE(titles.first(), QString::number(100000 + kItems - 1));
  QVERIFY(std::is_sorted(titles.rbegin(), titles.rend()));
}

void ViewerWindowTest::showsADiagnosticInAFixedFont() {
  testSupport::ScratchDir dir;
  const QString diagnostic = QStringLiteral(
      "Item pattern 1 matched nothing. At the best place in the page it matched up to `<li>` "
      "and then expected `<a` where the page has `<span`:\n  <li><span class=\"x\">\n"
      "      ^\n");
  dir.write("stderr.txt", diagnostic.toStdString());
  ViewerWindow window;
  window.openFile(path(dir, "stderr.txt"));
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  auto* text = child<QPlainTextEdit>(window, "text");
  QCOMPARE(child<QStackedWidget>(window, "pages")->currentWidget(), text);
  QVERIFY(text->isVisible());
  QVERIFY(!child<QLabel>(window, "problem")->isVisible());
  QCOMPARE(text->toPlainText(), diagnostic);
  QVERIFY(QFontInfo(text->font()).fixedPitch());
  QCOMPARE(text->lineWrapMode(), QPlainTextEdit::NoWrap);
  const QFontMetrics metrics(text->font());
  QCOMPARE(metrics.horizontalAdvance(QStringLiteral("^")),
           metrics.horizontalAdvance(QStringLiteral("<")));
}

void ViewerWindowTest::offersTheSuggestedShorthands_data() {
  using viewer::internal::message;
  const QString mismatch = QStringLiteral(
      "Item pattern 1 matched nothing. At the best place in the page it matched up to `<li><a` "
      "and then expected `c` where the page has `h`:\n"
      "        <li><a href=\"/stories/breakwater\">Storm damages\n"
      "               ^\n");
  // The plug-in's own sentence.
  const QString storm = message(14273, {"ul.stories li a", "4", "Storm damages the breakwater"});
  const QString quoted = message(14273, {"div.news h2 a", "12", "Why `ls` lies"});
  QTest::addColumn<QString>("text");
  QTest::addColumn<QStringList>("lines");
  QTest::addColumn<QStringList>("selectors");
  QTest::newRow("one") << mismatch + storm + u'\n' << QStringList{storm}
                       << QStringList{"ul.stories li a"};
  QTest::newRow("two") << storm + u'\n' + quoted + u'\n' << QStringList{storm, quoted}
                       << QStringList{"ul.stories li a", "div.news h2 a"};
  QTest::newRow("none") << mismatch << QStringList() << QStringList();
  QTest::newRow("in a feed") << "<rss><channel><description>\n" + storm +
                                    "\n</description></channel></rss>\n"
                             << QStringList() << QStringList();
}

// Each suggestion under a diagnostic is a row whose button copies its selector; whatever
// the file shown before offered goes with it.
void ViewerWindowTest::offersTheSuggestedShorthands() {
  QFETCH(QString, text);
  QFETCH(QStringList, lines);
  QFETCH(QStringList, selectors);
  testSupport::ScratchDir dir;
  dir.write("before.txt", viewer::internal::message(14273, {"p a", "3", "Old"}).toStdString());
  dir.write("file", text.toStdString());
  ViewerWindow window;
  window.openFile(path(dir, "before.txt"));
  window.openFile(path(dir, "file"));
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));

  QStringList shown;
  QList<QPushButton*> buttons;
  for (auto* line : window.findChildren<QLabel*>(QStringLiteral("suggestionLine"))) {
    if (line->isVisible()) shown << line->text();
  }
  for (auto* button : window.findChildren<QPushButton*>(QStringLiteral("copySelector"))) {
    if (button->isVisible()) buttons << button;
  }
  QCOMPARE(shown, lines);
  QCOMPARE(buttons.size(), selectors.size());
  if (selectors.isEmpty()) return;
  auto* diagnostic = child<QPlainTextEdit>(window, "text");
  QVERIFY(diagnostic->mapTo(&window, QPoint(0, diagnostic->height())).y() <=
          buttons.first()->mapTo(&window, QPoint(0, 0)).y());
  QClipboard* clipboard = QGuiApplication::clipboard();
  // Alt+C reaches the first button: its text carries the mnemonic. A button alone shows
  // itself pressed for a moment, then clicks; of several, the first takes the focus.
  clipboard->setText(QStringLiteral("none yet"));
  QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
  if (buttons.size() > 1) {
    QVERIFY(buttons.first()->hasFocus());
    QTest::keyClick(buttons.first(), Qt::Key_Space);
  }
  QTRY_COMPARE(clipboard->text(), selectors.first());
  for (qsizetype i = selectors.size(); i-- > 0;) {
    QTest::mouseClick(buttons[i], Qt::LeftButton);
    QCOMPARE(clipboard->text(), selectors[i]);
  }
}

void ViewerWindowTest::showsWhyAFileIsBroken_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("problem");
  QTest::addColumn<bool>("textShown");
  QTest::newRow("cut short") << QByteArray("<rss><channel><item>") << "is not a well-formed feed"
                             << true;
  QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << "NUL byte" << false;
  QTest::newRow("empty") << QByteArray() << "is empty" << false;
}

void ViewerWindowTest::showsWhyAFileIsBroken() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, problem);
  QFETCH(bool, textShown);
  testSupport::ScratchDir dir;
  dir.write("broken", bytes.toStdString());
  ViewerWindow window;
  // A feed first: the broken file replaces all of it.
  dir.write("feed.xml", "<rss><channel><title>Old</title><item/></channel></rss>");
  window.openFile(path(dir, "feed.xml"));
  window.openFile(path(dir, "broken"));
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));

  auto* line = child<QLabel>(window, "problem");
  QVERIFY(line->isVisible());
  QVERIFY2(line->text().contains(path(dir, "broken")) && line->text().contains(problem),
           qPrintable(line->text()));
  QVERIFY(!child<QTableView>(window, "items")->isVisible());
  QCOMPARE(child<QPlainTextEdit>(window, "text")->isVisible(), textShown);
  if (textShown) {
    QCOMPARE(child<QPlainTextEdit>(window, "text")->toPlainText(), QString::fromUtf8(bytes));
  }
}

void ViewerWindowTest::handsFilesToTheRunningViewer() {
  testSupport::ScratchDir runtime;
  testSupport::ScratchDir dir;
  ViewerWindow window;
  QStringList handed;
  SingleInstance instance(QString::fromStdString(runtime.file("PageGleanView")));
  QCOMPARE(instance.start(path(dir, "first.txt"),
                          [&](const QString& file) {
                            handed << file;
                            window.openFile(file);
                            window.bringToFront();
                          }),
           SingleInstance::Outcome::Listening);

  QStringList files;
  Viewers viewers(QString::fromStdString(runtime.path()));
  for (int i = 0; i < 10; ++i) {
    const std::string name = "diagnostic" + std::to_string(i) + ".txt";
    dir.write(name, "diagnostic " + std::to_string(i) + "\n");
    files << path(dir, name.c_str());
    viewers.start(files.back());
  }
  // Each start hands its file over and ends, while this viewer answers.
  QTRY_COMPARE_WITH_TIMEOUT(handed.size(), 10, 60000);
  QCOMPARE(viewers.running(10000), 0);
  QCOMPARE(viewers.exitCodes(), QList<int>(10, 0));
  // The window shows the file that came last, and only the one window exists.
  QFile last(handed.last());
  QVERIFY(last.open(QIODevice::ReadOnly));
  QCOMPARE(child<QPlainTextEdit>(window, "text")->toPlainText(), QString::fromUtf8(last.readAll()));
  QVERIFY(window.isVisible());
  QCOMPARE(QApplication::topLevelWidgets().size(), 1);
  std::sort(handed.begin(), handed.end());
  std::sort(files.begin(), files.end());
  QCOMPARE(handed, files);
}

void ViewerWindowTest::tenStartsAtOnceLeaveOneViewer() {
  testSupport::ScratchDir runtime;
  testSupport::ScratchDir dir;
  dir.write("feed.xml", "<rss><channel/></rss>");
  // Left by a viewer that died: nobody answers there.
  runtime.write("PageGleanView", "");
  Viewers viewers(QString::fromStdString(runtime.path()));
  for (int i = 0; i < 10; ++i) viewers.start(path(dir, "feed.xml"));
  // The one that won stays, with its window; the others handed it their file and ended.
  QCOMPARE(viewers.running(60000, 1), 1);
  QCOMPARE(viewers.exitCodes(), QList<int>(9, 0));
  // And it stays.
  QCOMPARE(viewers.running(1000), 1);
}

QTEST_MAIN(ViewerWindowTest)
#include "viewerWindowTest.moc"
