// PageGleanView: shows a feed or a text file; one window a user, to which later starts hand
// their files.

#include <QApplication>
#include <optional>

#include "viewer/qt/src/viewerWindow.h"
#include "viewer/src/istring.h"
#include "viewer/src/singleInstance.h"

int main(int argc, char** argv) {
  using namespace viewer;
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  const QString path = arguments.value(1);
  std::optional<qt::ViewerWindow> window;
  SingleInstance instance;
  if (!path.isEmpty() && instance.start(path, [&](const QString& handed) {
        window->openFile(handed);
        window->bringToFront();
      }) == SingleInstance::Outcome::HandedOver) {
    return 0;
  }
  window.emplace();
  if (path.isEmpty()) {
    window->showProblem(internal::message(14302));
  } else {
    window->openFile(path);
  }
  window->show();
  return application.exec();
}
