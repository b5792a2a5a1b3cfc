#include "viewer/qt/src/viewerWindow.h"

#include <QClipboard>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "viewer/qt/src/descriptionBrowser.h"
#include "viewer/qt/src/feedItemModel.h"
#include "viewer/src/istring.h"
#include "viewer/src/suggestionLines.h"
#include "viewer/src/viewerInput.h"

namespace viewer::qt {

namespace {

using internal::message;

constexpr int kDefaultWidth = 900;
constexpr int kDefaultHeight = 640;
// Enough rows to fill a screen before the first frame; the rest comes in steps short
// enough to keep the window responsive.
constexpr int kFirstItems = 200;
constexpr int kItemsPerStep = 500;
constexpr int kColumnWidths[FeedItemModel::ColumnCount] = {280, 230, 215, 110, 200};

// Parent-owned, as every child widget here.
template <typename Widget>
Widget* named(const char* name, QWidget* parent) {
  auto* widget = new Widget(parent);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLabel* label(const char* name, QWidget* parent) {
  QLabel* result = named<QLabel>(name, parent);
  result->setTextFormat(Qt::PlainText);
  result->setTextInteractionFlags(Qt::TextSelectableByMouse);
  result->setWordWrap(true);
  return result;
}

QPlainTextEdit* fixedPitchText(const char* name, QWidget* parent) {
  QPlainTextEdit* text = named<QPlainTextEdit>(name, parent);
  text->setReadOnly(true);
  // Caret lines must stay under the text they mark.
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  return text;
}

// Parent-owned, as every child widget here.
QWidget* suggestionRow(const SuggestionLine& suggestion, QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  QLabel* line = label("suggestionLine", row);
  line->setText(suggestion.text);
  layout->addWidget(line, 1);
  auto* copy = named<QPushButton>("copySelector", row);
  copy->setText(message(14320));
  QObject::connect(copy, &QPushButton::clicked, row, [selector = suggestion.selector] {
    QGuiApplication::clipboard()->setText(selector);
  });
  layout->addWidget(copy);
  return row;
}

}  // namespace

ViewerWindow::ViewerWindow(LinkOpener opener, QWidget* parent)
    : QWidget(parent), opener_(std::move(opener)) {
  auto* layout = new QVBoxLayout(this);
  problem_ = label("problem", this);
  problem_->setStyleSheet(
      QStringLiteral("QLabel { background: #f8d7da; color: #58151c; "
                     "padding: 6px; }"));
  problem_->hide();
  layout->addWidget(problem_);
  pages_ = named<QStackedWidget>("pages", this);
  pages_->addWidget(makeFeedPage());
  text_ = fixedPitchText("text", pages_);
  pages_->addWidget(text_);
  layout->addWidget(pages_, 1);
  suggestions_ = named<QWidget>("suggestions", this);
  auto* rows = new QVBoxLayout(suggestions_);
  rows->setContentsMargins(0, 0, 0, 0);
  suggestions_->hide();
  layout->addWidget(suggestions_);
  setWindowTitle(message(14301));
  resize(kDefaultWidth, kDefaultHeight);
  readMore_.setSingleShot(true);
  readMore_.setInterval(0);
  connect(&readMore_, &QTimer::timeout, this, [this] { readMore(); });
}

QWidget* ViewerWindow::makeFeedPage() {
  tabs_ = named<QTabWidget>("tabs", pages_);
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  channelTitle_ = label("channelTitle", page);
  QFont bold = channelTitle_->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.25);
  channelTitle_->setFont(bold);
  channelLink_ = label("channelLink", page);
  channelDescription_ = label("channelDescription", page);
  itemCount_ = label("itemCount", page);
  warnings_ = label("warnings", page);
  warnings_->setStyleSheet(
      QStringLiteral("QLabel { background: #fff3cd; color: #664d03; "
                     "padding: 6px; }"));
  for (QLabel* line : {channelTitle_, channelLink_, channelDescription_, itemCount_, warnings_}) {
    layout->addWidget(line);
  }

  auto* splitter = new QSplitter(Qt::Vertical, page);
  makeItemTable(splitter);
  description_ = new DescriptionBrowser(splitter);
  description_->setObjectName(QStringLiteral("description"));
  connect(description_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    if (isOpenable(url.toString())) opener_(url.toString());
  });
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 1);
  layout->addWidget(splitter, 1);
  tabs_->addTab(page, message(14317));

  xml_ = fixedPitchText("xml", tabs_);
  tabs_->addTab(xml_, message(14318));
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { fillXmlTab(); });
  return tabs_;
}

void ViewerWindow::makeItemTable(QWidget* parent) {
  model_ = new FeedItemModel(this);
  items_ = named<QTableView>("items", parent);
  items_->setModel(model_);
  items_->setSelectionBehavior(QAbstractItemView::SelectRows);
  items_->setSelectionMode(QAbstractItemView::SingleSelection);
  items_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  items_->setWordWrap(false);
  items_->verticalHeader()->setDefaultSectionSize(items_->fontMetrics().height() + 6);
  for (int column = 0; column < FeedItemModel::ColumnCount; ++column) {
    items_->setColumnWidth(column, kColumnWidths[column]);
  }
  items_->horizontalHeader()->setStretchLastSection(true);
  // No indicator: the rows keep the feed's order until a header is clicked.
  items_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  items_->setSortingEnabled(true);
  connect(items_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { showDescription(current); });
  connect(items_, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& index) { openCell(index); });
}

void ViewerWindow::openFile(const QString& path) {
  readMore_.stop();
  reader_.reset();
  ViewerInput input = readViewerInput(path, kMaxViewerBytes, kFirstItems);
  setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" \u2014 ") + message(14301));
  fileText_ = std::move(input.text);
  xmlShown_ = false;
  xml_->clear();
  if (input.kind != ViewerInput::Kind::Feed) {
    showOther(input.problem, input.kind == ViewerInput::Kind::Text);
    return;
  }
  feed_ = std::move(input.feed);
  reader_ = std::move(input.rest);
  showFeed();
  if (reader_) readMore_.start();
}

void ViewerWindow::showProblem(const QString& problem) {
  fileText_.clear();
  showOther(problem, false);
}

void ViewerWindow::showFeed() {
  problem_->hide();
  showSuggestions({});
  description_->clear();
  items_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  model_->setItems(std::move(feed_.items));
  feed_.items.clear();
  showChannel();
  tabs_->setCurrentIndex(0);
  pages_->setCurrentIndex(0);
  pages_->show();
  if (model_->rowCount() > 0) items_->selectRow(0);
}

void ViewerWindow::showChannel() {
  channelTitle_->setText(feed_.title);
  channelLink_->setText(feed_.link);
  channelDescription_->setText(feed_.description);
  channelDescription_->setVisible(!feed_.description.isEmpty());
  itemCount_->setText(message(14311, {QString::number(model_->rowCount())}));
  warnings_->setText(feed_.warnings.join(u'\n'));
  warnings_->setVisible(!feed_.warnings.isEmpty());
}

void ViewerWindow::showOther(const QString& problem, bool isText) {
  problem_->setText(problem);
  problem_->setVisible(!problem.isEmpty());
  text_->setPlainText(fileText_);
  pages_->setCurrentWidget(text_);
  // A broken file that is no text at all shows its line alone.
  pages_->setVisible(isText || !fileText_.isEmpty());
  showSuggestions(isText ? fileText_ : QString());
}

void ViewerWindow::showSuggestions(const QString& text) {
  QLayout* rows = suggestions_->layout();
  while (std::unique_ptr<QLayoutItem> item{rows->takeAt(0)}) {
    const std::unique_ptr<QWidget> row{item->widget()};
  }
  for (const SuggestionLine& suggestion : findSuggestionLines(text)) {
    rows->addWidget(suggestionRow(suggestion, suggestions_));
  }
  suggestions_->setVisible(rows->count() > 0);
}

void ViewerWindow::readMore() {
  if (!reader_) return;
  const bool more = reader_->read(feed_, kItemsPerStep);
  model_->appendItems(feed_.items);
  showChannel();
  if (more) {
    readMore_.start();
    return;
  }
  const QString problem = reader_->problem();
  reader_.reset();
  if (!problem.isEmpty()) showOther(problem, false);
}

void ViewerWindow::showDescription(const QModelIndex& current) {
  if (!current.isValid()) {
    description_->clear();
    return;
  }
  description_->setHtml(model_->itemAt(current.row()).description);
}

void ViewerWindow::openCell(const QModelIndex& index) {
  if (index.column() != FeedItemModel::Link && index.column() != FeedItemModel::Image) return;
  const QString& url = FeedItemModel::text(model_->itemAt(index.row()), index.column());
  if (isOpenable(url)) opener_(url);
}

void ViewerWindow::fillXmlTab() {
  if (tabs_->currentWidget() != xml_ || xmlShown_) return;
  xml_->setPlainText(fileText_);
  xmlShown_ = true;
}

void ViewerWindow::bringToFront() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
}

}  // namespace viewer::qt
