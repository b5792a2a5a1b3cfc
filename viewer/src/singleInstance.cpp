#include "viewer/src/singleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace viewer {

namespace {

constexpr int kAnswerMs = 3000;
// A viewer that won the race to the socket may not listen yet when the loser asks.
constexpr int kRaceTries = 10;
constexpr int kRacePauseMs = 50;
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
  if (handOver(absolutePath)) return Outcome::HandedOver;
  onFile_ = std::move(onFile);
  QObject::connect(&server_, &QLocalServer::newConnection, [this] { accept(); });
  if (server_.listen(socketName_)) return Outcome::Listening;
  for (int i = 0; i < kRaceTries; ++i) {
    if (handOver(absolutePath)) return Outcome::HandedOver;
    QThread::msleep(kRacePauseMs);
  }
  // Nobody answers: the socket was left by a viewer that died.
  QLocalServer::removeServer(socketName_);
  return server_.listen(socketName_) ? Outcome::Listening : Outcome::Alone;
}

bool SingleInstance::handOver(const QString& absolutePath) const {
  QLocalSocket socket;
  socket.connectToServer(socketName_);
  if (!socket.waitForConnected(kAnswerMs)) return false;
  socket.write(absolutePath.toUtf8() + '\n');
  if (!socket.waitForBytesWritten(kAnswerMs)) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(kAnswerMs)) return false;
  }
  return socket.readLine() == kTaken;
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
      socket->disconnectFromServer();
      if (onFile_) onFile_(path);
    });
  }
}

}  // namespace viewer
