#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalSocket>
#include <unistd.h>

namespace {

constexpr char kRequest[] = "pokaz\n";
constexpr char kShown[] = "tak\n";
constexpr char kNotShown[] = "nie\n";
constexpr int kMaxLine = 16;

}  // namespace

SingleInstance::SingleInstance(const QString& dataDir) : name_(ServerName(dataDir)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_.nextPendingConnection()) Serve(socket);
  });
}

SingleInstance::~SingleInstance() = default;

// The same folder reached by another path (a link, a trailing slash) is the
// same folder.
QString SingleInstance::ServerName(const QString& dataDir) {
  const QFileInfo info(dataDir);
  const QString path = info.canonicalFilePath().isEmpty() ? info.absoluteFilePath() : info.canonicalFilePath();
  const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
  return QStringLiteral("wirmelak-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::AnotherCopyShown(int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (socket.waitForConnected(timeoutMs)) {
    socket.write(kRequest);
    socket.flush();
    while (!socket.canReadLine() && socket.bytesAvailable() < kMaxLine && socket.waitForReadyRead(timeoutMs)) {
    }
    // No answer in time: a copy that is alive but busy keeps its socket, and
    // this one runs beside it without.
    return socket.readLine(kMaxLine) == kShown;
  }
  // Nobody listens there: no socket, or one a killed copy left.
  QLocalServer::removeServer(name_);
  server_.listen(name_);
  return false;
}

void SingleInstance::Serve(QLocalSocket* socket) {
  connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
  auto answer = [this, socket] {
    if (!socket->canReadLine()) {
      if (socket->bytesAvailable() >= kMaxLine) socket->disconnectFromServer();
      return;
    }
    const QByteArray line = socket->readLine(kMaxLine);
    if (line == kRequest) {
      const bool shown = onShow_ && onShow_();
      socket->write(shown ? kShown : kNotShown);
    }
    socket->disconnectFromServer();  // after what was written has gone
  };
  connect(socket, &QLocalSocket::readyRead, this, answer);
  if (socket->bytesAvailable() > 0) answer();
}
