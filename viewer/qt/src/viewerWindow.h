#pragma once
// The viewer's window. A feed shows its channel, its warnings in a strip above a sortable
// table of its items, the selected item's description as rich text, and its XML in a
// second tab; a text file shows in a fixed-pitch font, with a row under it for each
// shorthand it suggests, whose button copies the selector to the clipboard; a file that is
// neither shows one line saying why. A long feed shows its first items at once and gets the others
// while the window is already up; a problem found there makes the file broken after all. GUI thread
// only.
//
// Child widgets carry object names (problem, channelTitle, channelLink, channelDescription,
// itemCount, warnings, items, description, tabs, xml, text, suggestions and, in each of its
// rows, suggestionLine and copySelector) for tests and style sheets.

#include <QTimer>
#include <QWidget>
#include <memory>

#include "viewer/qt/src/linkOpener.h"
#include "viewer/src/feed.h"
#include "viewer/src/feedReader.h"

class QLabel;
class QPlainTextEdit;
class QStackedWidget;
class QTabWidget;
class QTableView;

namespace viewer::qt {

class DescriptionBrowser;
class FeedItemModel;

class ViewerWindow : public QWidget {
 public:
  // `opener` receives the links that a double-click or a click in a description opens.
  explicit ViewerWindow(LinkOpener opener = openWithDesktop, QWidget* parent = nullptr);

  // Shows the file `path` in place of what was shown; never throws for bad input.
  void openFile(const QString& path);
  // Shows a line where a file would be (no file was named).
  void showProblem(const QString& problem);
  // Brings the window to the front, as a file handed over from another start wants.
  void bringToFront();

 private:
  QWidget* makeFeedPage();
  void makeItemTable(QWidget* parent);
  void showFeed();
  void showChannel();
  void showOther(const QString& problem, bool isText);
  // Replaces the rows with those of the suggestions in `text`.
  void showSuggestions(const QString& text);
  void readMore();
  void showDescription(const QModelIndex& current);
  void openCell(const QModelIndex& index);
  void fillXmlTab();

  LinkOpener opener_;
  QLabel* problem_;
  QStackedWidget* pages_;
  QTabWidget* tabs_ = nullptr;
  QLabel* channelTitle_ = nullptr;
  QLabel* channelLink_ = nullptr;
  QLabel* channelDescription_ = nullptr;
  QLabel* itemCount_ = nullptr;
  QLabel* warnings_ = nullptr;
  QTableView* items_ = nullptr;
  FeedItemModel* model_ = nullptr;
  DescriptionBrowser* description_ = nullptr;
  QPlainTextEdit* xml_ = nullptr;
  QPlainTextEdit* text_;
  QWidget* suggestions_;  // empty and hidden unless a text file suggests shorthands
  QString fileText_;
  bool xmlShown_ = false;  // the raw tab is filled when first shown
  Feed feed_;              // the channel; its items go to the model as they are read
  std::unique_ptr<FeedReader> reader_;
  QTimer readMore_;
};

}  // namespace viewer::qt
