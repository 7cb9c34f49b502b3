#include "ggserwer/Serwer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include "ggserwer/LoginHash.h"

namespace ggserwer {

namespace {
// No client packet comes near this; a header announcing more is hostile or
// garbage, and buffering for it would only let the client eat memory.
constexpr std::uint32_t kMaxPayload = 1024 * 1024;
}  // namespace

struct Serwer::Connection {
  int id = 0;
  QPointer<QTcpSocket> socket;
  QByteArray buffer;
  QList<Packet> packets;
  bool open = true;
  bool loggedIn = false;
  std::uint32_t number = 0;
};

Serwer::Serwer(QObject* parent) : QObject(parent) {
  connect(&server_, &QTcpServer::newConnection, this, &Serwer::onNewConnection);
  connect(&lookup_, &LookupSerwer::requested, this, &Serwer::lookupRequested);
}

Serwer::~Serwer() { stop(); }

bool Serwer::start(quint16 ggPort, quint16 httpPort) {
  if (!server_.listen(QHostAddress::LocalHost, ggPort)) return false;
  if (!lookup_.listen(httpPort)) {
    server_.close();
    return false;
  }
  lookup_.setGgPort(server_.serverPort());
  return true;
}

void Serwer::stop() {
  server_.close();
  lookup_.close();
  for (auto& c : connections_) {
    if (c->socket) {
      c->socket->disconnect(this);
      c->socket->abort();
    }
    c->open = false;
  }
}

quint16 Serwer::httpPort() const { return lookup_.port(); }
quint16 Serwer::ggPort() const { return server_.serverPort(); }
QString Serwer::lookupHost() const { return QStringLiteral("127.0.0.1:%1").arg(httpPort()); }

void Serwer::setLookupMode(LookupMode mode) { lookup_.setMode(mode); }
void Serwer::setLookupBody(const QByteArray& body) { lookup_.setBody(body); }
QByteArray Serwer::lookupBody() const { return lookup_.body(); }
const QList<QByteArray>& Serwer::lookupTargets() const { return lookup_.targets(); }

void Serwer::addAccount(std::uint32_t number, const QByteArray& password) {
  accounts_.insert(number, password);
}
void Serwer::removeAccount(std::uint32_t number) { accounts_.remove(number); }

int Serwer::connectionCount() const { return static_cast<int>(connections_.size()); }

Serwer::Connection* Serwer::current() const {
  return connections_.empty() ? nullptr : connections_.back().get();
}

Serwer::Connection* Serwer::openCurrent() const {
  Connection* c = current();
  return c && c->open && c->socket ? c : nullptr;
}

bool Serwer::isClientConnected() const { return openCurrent() != nullptr; }

bool Serwer::isLoggedIn() const {
  const Connection* c = openCurrent();
  return c && c->loggedIn;
}

std::uint32_t Serwer::loggedInNumber() const { return isLoggedIn() ? current()->number : 0; }

QList<Packet> Serwer::packets(int connection) const {
  if (connection < 0) connection = connectionCount() - 1;
  if (connection < 0 || connection >= connectionCount()) return {};
  return connections_[connection]->packets;
}

QList<Packet> Serwer::packetsOfType(std::uint32_t type, int connection) const {
  QList<Packet> out;
  for (const Packet& p : packets(connection))
    if (p.type == type) out.append(p);
  return out;
}

void Serwer::onNewConnection() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    auto owned = std::make_unique<Connection>();
    Connection& c = *owned;
    c.id = connectionCount();
    c.socket = socket;
    connections_.push_back(std::move(owned));
    connect(socket, &QTcpSocket::readyRead, this, [this, &c] { onReadyRead(c); });
    connect(socket, &QTcpSocket::disconnected, this, [this, &c] {
      if (!c.open) return;
      c.open = false;
      c.loggedIn = false;
      if (c.socket) c.socket->deleteLater();
      emit clientDisconnected(c.id);
    });
    emit clientConnected(c.id);
    if (sendWelcome_ && c.open) {
      QByteArray seed;
      appendU32(seed, seed_);
      socket->write(packet(typ::kWelcome, seed));
    }
  }
}

void Serwer::onReadyRead(Connection& c) {
  if (!c.socket) return;
  c.buffer.append(c.socket->readAll());
  while (c.open && c.buffer.size() >= kHeaderSize) {
    const std::uint32_t type = readU32(c.buffer, 0);
    const std::uint32_t length = readU32(c.buffer, 4);
    if (length > kMaxPayload) {
      emit protocolViolation(c.id, QStringLiteral("packet 0x%1 announces %2 bytes")
                                       .arg(type, 2, 16, QLatin1Char('0'))
                                       .arg(length));
      c.buffer.clear();
      if (c.socket) c.socket->abort();
      return;
    }
    if (c.buffer.size() < kHeaderSize + static_cast<qsizetype>(length)) return;
    Packet p{type, c.buffer.mid(kHeaderSize, length)};
    c.buffer.remove(0, kHeaderSize + length);
    c.packets.append(p);
    emit packetReceived(c.id, p.type, p.payload);
    handle(c, p);
  }
}

void Serwer::handle(Connection& c, const Packet& p) {
  if (!c.open || !c.socket) return;
  switch (p.type) {
    case typ::kLogin:
      handleLogin(c, p.payload);
      break;
    case typ::kSendMessage:
      if (c.loggedIn && p.payload.size() >= 8) {
        const std::uint32_t recipient = readU32(p.payload, 0);
        if (autoAck_)
          c.socket->write(packet(typ::kSendAck, sendAckPayload(ackFor_.value(recipient, ackStatus_), recipient,
                                                               readU32(p.payload, 4))));
        scheduleReply(c, recipient);
      }
      break;
    case typ::kUserlistRequest:
      if (autoUserlist_ && c.loggedIn) handleUserlist(c, p.payload);
      break;
    default:
      break;  // recorded only
  }
}

void Serwer::handleLogin(Connection& c, const QByteArray& payload) {
  if (!answerLogin_) return;
  const std::uint32_t number = readU32(payload, 0);
  const std::uint32_t hash = readU32(payload, 4);
  const auto account = accounts_.constFind(number);
  // Anything shorter than the fixed part is not a login, whatever it hashes to.
  const bool accepted = payload.size() >= 31 && account != accounts_.constEnd() &&
                        loginHash(seed_, *account) == hash;
  if (accepted) {
    c.loggedIn = true;
    c.number = number;
    c.socket->write(packet(loginOkType_));
  } else {
    c.socket->write(packet(typ::kLoginFailed));
  }
  emit loginChecked(c.id, number, accepted);
  if (accepted && !timedActions_.isEmpty()) scheduleActions(c.id, 0);
  if (!accepted && closeOnLoginFailed_ && c.socket) c.socket->disconnectFromHost();
}

void Serwer::handleUserlist(Connection& c, const QByteArray& payload) {
  const std::uint8_t kind = readU8(payload, 0);
  if (kind == 0 || kind == 1) {
    QByteArray text = payload.mid(1);
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0) text.truncate(zero);
    if (kind == 0) userlist_ = text; else userlist_ += text;
    c.socket->write(packet(typ::kUserlistReply, userlistReplyPayload(kind == 0 ? 0 : 2, {})));
  } else if (kind == 2) {
    qsizetype at = 0;
    do {
      const QByteArray piece = userlist_.mid(at, userlistPiece_);
      at += piece.size();
      const std::uint8_t reply = at < userlist_.size() ? 4 : 6;
      c.socket->write(packet(typ::kUserlistReply, userlistReplyPayload(reply, piece)));
    } while (at < userlist_.size());
  }
}

// Each action waits for the one before it, so that their delays add up and
// their order stays whatever the timers do; the list is read as it is when
// each step comes.
void Serwer::scheduleActions(int connection, int next) {
  if (next >= timedActions_.size()) {
    if (repeatFrom_ < 0 || repeatFrom_ >= timedActions_.size()) return;
    next = repeatFrom_;
  }
  QTimer::singleShot(timedActions_[next].afterMs, this, [this, connection, next] {
    Connection& c = *connections_[connection];
    if (!c.open || !c.socket || !c.loggedIn || next >= timedActions_.size()) return;
    runAction(c, timedActions_[next]);
    scheduleActions(connection, next + 1);
  });
}

void Serwer::play(const Scenario& scenario) {
  timedActions_ = scenario.actions;
  repeatFrom_ = scenario.repeatFrom;
  replies_ = scenario.replies;
  replyTurn_.clear();
  ackFor_ = scenario.acks;
}

// The answer goes back on the connection the message came on, when it is
// still logged in by then.
void Serwer::scheduleReply(Connection& c, std::uint32_t from) {
  const auto found = replies_.constFind(from);
  if (found == replies_.constEnd() || found->isEmpty()) return;
  int& turn = replyTurn_[from];
  const Scenario::Reply reply = found->at(turn % found->size());
  turn = (turn + 1) % found->size();
  const int connection = c.id;
  QTimer::singleShot(reply.afterMs, this, [this, connection, from, reply] {
    Connection& to = *connections_[connection];
    if (to.open && to.socket && to.loggedIn)
      runAction(to, TimedAction{0, TimedAction::Kind::Message, from, 2, reply.text});
  });
}

void Serwer::runAction(Connection& c, const TimedAction& a) {
  switch (a.kind) {
    case TimedAction::Kind::Message:
      c.socket->write(packet(typ::kRecvMessage,
                             recvMessagePayload(a.number, 0,
                                                static_cast<std::uint32_t>(QDateTime::currentSecsSinceEpoch()),
                                                8, a.text)));
      break;
    case TimedAction::Kind::Status:
      c.socket->write(packet(typ::kStatusChange, statusChangePayload(StatusEntry(a.number, a.status, a.text))));
      break;
    case TimedAction::Kind::Disconnecting:
      c.socket->write(packet(typ::kDisconnecting));
      break;
    case TimedAction::Kind::Close:
      c.socket->disconnectFromHost();
      break;
  }
}

bool Serwer::runAction(const TimedAction& action) {
  Connection* c = openCurrent();
  if (!c) return false;
  runAction(*c, action);
  return true;
}

bool Serwer::sendRaw(const QByteArray& bytes) {
  Connection* c = openCurrent();
  if (!c) return false;
  return c->socket->write(bytes) == bytes.size();
}

qint64 Serwer::bytesToWrite() const {
  Connection* c = openCurrent();
  return c ? c->socket->bytesToWrite() : 0;
}

bool Serwer::sendPacket(std::uint32_t type, const QByteArray& payload) {
  return sendRaw(packet(type, payload));
}

bool Serwer::sendNotifyReply(const QList<StatusEntry>& entries) {
  return sendPacket(typ::kNotifyReply, notifyReplyPayload(entries));
}

bool Serwer::sendStatusChange(const StatusEntry& entry) {
  return sendPacket(typ::kStatusChange, statusChangePayload(entry));
}

bool Serwer::sendMessage(std::uint32_t sender, const QByteArray& text, qint64 time,
                         std::uint32_t seq, std::uint32_t msgClass) {
  if (time < 0) time = QDateTime::currentSecsSinceEpoch();
  return sendPacket(typ::kRecvMessage, recvMessagePayload(sender, seq, static_cast<std::uint32_t>(time),
                                                          msgClass, text));
}

bool Serwer::sendAck(std::uint32_t status, std::uint32_t recipient, std::uint32_t seq) {
  return sendPacket(typ::kSendAck, sendAckPayload(status, recipient, seq));
}

bool Serwer::sendDisconnecting() { return sendPacket(typ::kDisconnecting); }

bool Serwer::sendUserlistReply(std::uint8_t kind, const QByteArray& text) {
  return sendPacket(typ::kUserlistReply, userlistReplyPayload(kind, text));
}

void Serwer::closeConnection() {
  if (Connection* c = openCurrent()) c->socket->disconnectFromHost();
}

void Serwer::abortConnection() {
  if (Connection* c = openCurrent()) c->socket->abort();
}

bool Serwer::waitFor(const std::function<bool()>& condition, int ms) {
  if (condition()) return true;
  QElapsedTimer clock;
  clock.start();
  // The tick wakes the blocking wait so the condition and the clock are looked
  // at even when no event comes.
  QTimer tick;
  tick.start(5);
  while (!condition()) {
    if (clock.elapsed() >= ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  return true;
}

bool Serwer::waitForConnection(int count, int ms) {
  return waitFor([this, count] { return connectionCount() >= count; }, ms);
}

bool Serwer::waitForPacket(std::uint32_t type, int count, int ms) {
  return waitFor([this, type, count] { return packetsOfType(type).size() >= count; }, ms);
}

bool Serwer::waitForLogin(int ms) {
  return waitFor([this] { return isLoggedIn(); }, ms);
}

bool Serwer::waitForDisconnect(int ms) {
  return waitFor([this] { return !isClientConnected(); }, ms);
}

}  // namespace ggserwer
