#include "viewer/qt/src/descriptionBrowser.h"

namespace viewer::qt {

DescriptionBrowser::DescriptionBrowser(QWidget* parent) : QTextBrowser(parent) {
  setOpenLinks(false);
  setOpenExternalLinks(false);
}

// Empty, not null: for a null answer the document would read a local file itself.
QVariant DescriptionBrowser::loadResource(int, const QUrl&) {
  return QByteArray();
}

}  // namespace viewer::qt
