#pragma once
// Rich text from a feed, shown with nothing fetched: images, style sheets and any other
// resource the HTML names (remote or local) stay empty, and a clicked link is reported, not
// followed. Qt's rich text runs no scripts. GUI thread only.

#include <QTextBrowser>

namespace viewer::qt {

class DescriptionBrowser : public QTextBrowser {
 public:
  explicit DescriptionBrowser(QWidget* parent = nullptr);

  QVariant loadResource(int type, const QUrl& name) override;
};

}  // namespace viewer::qt
