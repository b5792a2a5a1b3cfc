#include "viewer/qt/src/linkOpener.h"

#include <QUrl>

#include "platform/src/detachedProcess.h"

namespace viewer::qt {

bool isOpenable(const QString& url) {
  const QUrl parsed(url, QUrl::StrictMode);
  const QString scheme = parsed.scheme().toLower();
  return parsed.isValid() &&
         (scheme == u"http" || scheme == u"https" || scheme == u"ftp" || scheme == u"mailto");
}

void openWithDesktop(const QString& url) {
  platform::startDetached({"xdg-open", url.toStdString()}, 0);
}

}  // namespace viewer::qt
