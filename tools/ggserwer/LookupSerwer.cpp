#include "ggserwer/LookupSerwer.h"

#include <QTcpSocket>

namespace ggserwer {

namespace {
// A request head longer than this is not a lookup; the connection is dropped.
constexpr qsizetype kMaxRequestHead = 16 * 1024;
const QByteArray kLookupPath = "/appsvc/appmsg4.asp";
}  // namespace

LookupSerwer::LookupSerwer(QObject* parent) : QObject(parent) {
  connect(&server_, &QTcpServer::newConnection, this, &LookupSerwer::onNewConnection);
}

LookupSerwer::~LookupSerwer() {
  // The sockets die with server_, after the table they report to is gone.
  server_.close();
  for (QTcpSocket* socket : server_.findChildren<QTcpSocket*>()) {
    socket->disconnect(this);
    socket->abort();
  }
}

bool LookupSerwer::listen(quint16 port) { return server_.listen(QHostAddress::LocalHost, port); }

void LookupSerwer::close() {
  server_.close();
  // abort() reports the disconnection at once, which edits the table.
  const QList<QTcpSocket*> sockets = pending_.keys();
  for (QTcpSocket* socket : sockets) socket->abort();
}

quint16 LookupSerwer::port() const { return server_.serverPort(); }

QByteArray LookupSerwer::body() const {
  const QByteArray address = "127.0.0.1:" + QByteArray::number(ggPort_);
  switch (mode_) {
    case LookupMode::Unavailable:
      return "1 0 " + address + " 127.0.0.1";
    case LookupMode::NotOperating:
      return "0 0 notoperating 127.0.0.1";
    case LookupMode::Custom:
      return body_;
    default:
      return "0 0 " + address + " 127.0.0.1";
  }
}

void LookupSerwer::onNewConnection() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    pending_.insert(socket, {});
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
      pending_.remove(socket);
      socket->deleteLater();
    });
  }
}

void LookupSerwer::onReadyRead(QTcpSocket* socket) {
  auto it = pending_.find(socket);
  if (it == pending_.end()) {
    socket->readAll();  // already answered; whatever follows is not read
    return;
  }
  it->append(socket->readAll());
  const qsizetype headEnd = it->indexOf("\r\n\r\n");
  if (headEnd < 0) {
    if (it->size() > kMaxRequestHead) {
      pending_.erase(it);
      socket->abort();
    }
    return;
  }
  // Request line: METHOD SP target SP version
  const QByteArray line = it->left(it->indexOf("\r\n"));
  pending_.erase(it);
  const QList<QByteArray> parts = line.split(' ');
  const QByteArray target = parts.size() >= 2 ? parts[1] : QByteArray();
  targets_.append(target);
  emit requested(target);
  answer(socket, target);
}

void LookupSerwer::answer(QTcpSocket* socket, const QByteArray& target) {
  auto reply = [socket](const QByteArray& status, const QByteArray& body) {
    socket->write("HTTP/1.1 " + status +
                  "\r\nContent-Type: text/plain\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->disconnectFromHost();
  };
  if (mode_ == LookupMode::Close) {
    socket->abort();
    return;
  }
  if (mode_ == LookupMode::Http503) {
    reply("503 Service Unavailable", "503 Service Unavailable");
    return;
  }
  const QByteArray path = target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
  if (path != kLookupPath) {
    reply("404 Not Found", "404 Not Found");
    return;
  }
  reply("200 OK", body());
}

}  // namespace ggserwer
