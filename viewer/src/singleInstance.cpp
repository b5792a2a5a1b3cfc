#include "viewer/src/singleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

namespace viewer {

namespace {

// Generous: a viewer that is busy starting, on a loaded machine, still answers in time.
constexpr int kAnswerMs = 10000;
const char kTaken[] = "taken\n";

}  // namespace

SingleInstance::SingleInstance(QString socketName) : socketName_(std::move(socketName)) {}

QString SingleInstance::defaultSocketName() {
  // The runtime directory is the user's own (mode 0700), so the name needs no user in it.
  return QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
      .filePath(QStringLiteral("PageGleanView"));
}

SingleInstance::Outcome SingleInstance::start(const QString& path,
                                              std::function<void(const QString&)> onFile) {
  const QString absolutePath = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
  // A viewer that took the connection but does not answer is hung: this one shows the file
  // but leaves the socket to it.
  Answer answer = handOver(absolutePath);
  if (answer != Answer::NoViewer) return outcomeOf(answer);
  // Starts that find no viewer take turns, so that exactly one of them becomes it.
  QLockFile turn(socketName_ + QStringLiteral(".lock"));
  if (turn.tryLock(kAnswerMs)) {
    answer = handOver(absolutePath);
    if (answer != Answer::NoViewer) return outcomeOf(answer);
    // Nobody listens there: the socket, if any, was left by a viewer that died.
    QLocalServer::removeServer(socketName_);
  }
  onFile_ = std::move(onFile);
  QObject::connect(&server_, &QLocalServer::newConnection, [this] { accept(); });
  return server_.listen(socketName_) ? Outcome::Listening : Outcome::Alone;
}

SingleInstance::Answer SingleInstance::handOver(const QString& absolutePath) const {
  QLocalSocket socket;
  socket.connectToServer(socketName_);
  // Where nobody listens, connecting fails at once; a full backlog makes it wait.
  if (!socket.waitForConnected(kAnswerMs)) {
    return socket.error() == QLocalSocket::SocketTimeoutError ? Answer::None : Answer::NoViewer;
  }
  socket.write(absolutePath.toUtf8() + '\n');
  if (!socket.waitForBytesWritten(kAnswerMs)) return Answer::None;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(kAnswerMs)) return Answer::None;
  }
  return socket.readLine() == kTaken ? Answer::Taken : Answer::None;
}

SingleInstance::Outcome SingleInstance::outcomeOf(Answer answer) {
  return answer == Answer::Taken ? Outcome::HandedOver : Outcome::Alone;
}

void SingleInstance::accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    // Owned by the server; a client that never finishes its line is dropped.
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(kAnswerMs, socket, [socket] { socket->abort(); });
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
      if (!socket->canReadLine()) return;
      const QString path = QString::fromUtf8(socket->readLine()).chopped(1);
      socket->write(kTaken);
      // Written now: the callback below may keep the event loop away for a while.
      socket->flush();
      socket->disconnectFromServer();
      if (onFile_) onFile_(path);
    });
  }
}

}  // namespace viewer
