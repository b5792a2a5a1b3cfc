// A bare Qt dialog with the controls of PageGleanSettings: what the program's start-up is
// compared with (bench/startupVsBareDialog.sh). Qt layouts, the application font, no icon.

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* addField(QGridLayout* grid, int row, const char* label) {
  auto* edit = new QLineEdit;
  if (label != nullptr) {
    auto* text = new QLabel(QString::fromLatin1(label));
    text->setBuddy(edit);
    grid->addWidget(text, row, 0);
  }
  grid->addWidget(edit, row, 1);
  return edit;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("PageGlean Settings"));
  auto* top = new QGridLayout;
  auto* url = new QHBoxLayout;
  url->addWidget(new QLineEdit);
  url->addWidget(new QPushButton(QStringLiteral("&View")));
  auto* urlLabel = new QLabel(QStringLiteral("&URL to scrape:"));
  top->addWidget(urlLabel, 0, 0);
  top->addLayout(url, 0, 1);
  addField(top, 1, "&Title:");
  addField(top, 2, "&Description:");
  addField(top, 3, "&Base URL:");
  addField(top, 4, "&Max items:");

  auto* group = new QGroupBox;
  auto* patterns = new QGridLayout(group);
  addField(patterns, 0, "Shorthand:");
  addField(patterns, 1, "Section pattern:");
  addField(patterns, 2, "&Item patterns:");
  addField(patterns, 3, nullptr);
  addField(patterns, 4, nullptr);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QPushButton(QStringLiteral("&Preview")));
  buttons->addWidget(new QCheckBox(QStringLiteral("View in bro&wser")));
  buttons->addStretch();
  for (const char* name : {"&Load", "&Save", "Close"}) {
    buttons->addWidget(new QPushButton(QString::fromLatin1(name)));
  }

  auto* column = new QVBoxLayout(&dialog);
  column->addLayout(top);
  column->addWidget(group);
  column->addLayout(buttons);
  return dialog.exec();
}
