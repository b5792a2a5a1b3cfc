#pragma once
// One viewer per user: the first viewer listens on a local socket of the user's runtime
// directory, and a later start hands its file to it instead of opening a window. Used from
// the thread of the Qt event loop only; the object must outlive that loop's use of it.
//
//     SingleInstance instance;
//     if (instance.start(path, [&](const QString& p) { window.openFile(p); }) ==
//         SingleInstance::Outcome::HandedOver) return 0;

#include <QLocalServer>
#include <QString>
#include <functional>

namespace viewer {

class SingleInstance {
 public:
  enum class Outcome {
    HandedOver,  // a running viewer took the file: this process has nothing to show
    Listening,   // this process is the viewer now; later files reach `onFile`
    Alone,       // the running viewer does not answer, or this one cannot listen: the file
                 // is shown here, and later starts do not reach this process
  };

  // `socketName`: where the viewer listens; the default is per user.
  explicit SingleInstance(QString socketName = defaultSocketName());
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Hands `path` (made absolute) to the running viewer, else starts listening. Viewers
  // started at once end up as one: they take turns through a lock file beside the socket.
  Outcome start(const QString& path, std::function<void(const QString&)> onFile);

  static QString defaultSocketName();

 private:
  enum class Answer { Taken, NoViewer, None };
  Answer handOver(const QString& absolutePath) const;
  static Outcome outcomeOf(Answer answer);
  void accept();

  QString socketName_;
  QLocalServer server_;
  std::function<void(const QString&)> onFile_;
};

}  // namespace viewer
