#include "ggserwer/Serwer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

#include "ggserwer/LoginHash.h"
#include "platform/Cp1250.h"

namespace ggserwer {

namespace {
// No client packet comes near this; a header announcing more is hostile or
// garbage, and buffering for it would only let the client eat memory.
constexpr std::uint32_t kMaxPayload = 1024 * 1024;

QByteArray u32(std::uint32_t v) {
  QByteArray out;
  appendU32(out, v);
  return out;
}

std::uint32_t now() { return static_cast<std::uint32_t>(QDateTime::currentSecsSinceEpoch()); }
}  // namespace

struct Serwer::Connection {
  int id = 0;
  QPointer<QTcpSocket> socket;
  QByteArray buffer;
  QList<Packet> packets;
  bool open = true;
  bool loggedIn = false;
  std::uint32_t number = 0;
  Session session = Session::Unknown;
  std::uint32_t features = 0;
  QList<std::uint32_t> awaitingAck;
};

Serwer::Serwer(QObject* parent) : QObject(parent), seq80_(now()) {
  connect(&server_, &QTcpServer::newConnection, this, [this] { onNewConnection(server_); });
  // A TLS connection is handed over once its handshake is through.
  connect(&tlsServer_, &QSslServer::pendingConnectionAvailable, this, [this] { onNewConnection(tlsServer_); });
  connect(&lookup_, &LookupSerwer::requested, this, &Serwer::lookupRequested);
}

Serwer::~Serwer() { stop(); }

bool Serwer::start(quint16 ggPort, quint16 httpPort, quint16 tlsPort) {
  if (certificate_.certificatePem.isEmpty()) {
    certificate_ = Certificate::makeSelfSigned();
    if (certificate_.certificatePem.isEmpty()) return false;
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(QSslCertificate(certificate_.certificatePem, QSsl::Pem));
    tls.setPrivateKey(QSslKey(certificate_.keyPem, QSsl::Ec, QSsl::Pem));
    tls.setProtocol(QSsl::TlsV1_2OrLater);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);  // clients show no certificate
    tlsServer_.setSslConfiguration(tls);
  }
  if (!server_.listen(QHostAddress::LocalHost, ggPort)) return false;
  if (!tlsServer_.listen(QHostAddress::LocalHost, tlsPort) || !lookup_.listen(httpPort)) {
    server_.close();
    tlsServer_.close();
    return false;
  }
  lookup_.setGgPort(server_.serverPort());
  return true;
}

void Serwer::stop() {
  server_.close();
  tlsServer_.close();
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
quint16 Serwer::tlsPort() const { return tlsServer_.serverPort(); }
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

const Serwer::Connection* Serwer::at(int connection) const {
  if (connection < 0) connection = connectionCount() - 1;
  if (connection < 0 || connection >= connectionCount()) return nullptr;
  return connections_[connection].get();
}

QList<Packet> Serwer::packets(int connection) const {
  const Connection* c = at(connection);
  return c ? c->packets : QList<Packet>();
}

Session Serwer::session(int connection) const {
  const Connection* c = at(connection);
  return c ? c->session : Session::Unknown;
}

std::uint32_t Serwer::loginFeatures(int connection) const {
  const Connection* c = at(connection);
  return c ? c->features : 0;
}

QList<std::uint32_t> Serwer::awaitingRecvAck(int connection) const {
  const Connection* c = at(connection);
  return c ? c->awaitingAck : QList<std::uint32_t>();
}

QList<Packet> Serwer::packetsOfType(std::uint32_t type, int connection) const {
  QList<Packet> out;
  for (const Packet& p : packets(connection))
    if (p.type == type) out.append(p);
  return out;
}

void Serwer::onNewConnection(QTcpServer& from) {
  while (QTcpSocket* socket = from.nextPendingConnection()) {
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
  if (c.session == Session::Unknown) {
    if (p.type == typ::kLogin) c.session = Session::Gg2005;
    if (p.type == typ80::kLogin) c.session = Session::Gg80;
  }
  if (c.session == Session::Gg80)
    handle80(c, p);
  else
    handle2005(c, p);
}

void Serwer::handle2005(Connection& c, const Packet& p) {
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
  if (accepted)
    c.socket->write(packet(loginOkType_));
  else
    c.socket->write(packet(typ::kLoginFailed));
  finishLogin(c, number, accepted);
}

void Serwer::finishLogin(Connection& c, std::uint32_t number, bool accepted) {
  if (accepted) {
    c.loggedIn = true;
    c.number = number;
  }
  emit loginChecked(c.id, number, accepted);
  if (accepted && !timedActions_.isEmpty()) scheduleActions(c.id, 0);
  if (!accepted && closeOnLoginFailed_ && c.socket) c.socket->disconnectFromHost();
}

void Serwer::handle80(Connection& c, const Packet& p) {
  switch (p.type) {
    case typ80::kLogin:
      handleLogin80(c, p.payload);
      break;
    case typ80::kSendMessage:
      if (c.loggedIn) handleMessage80(c, p.payload);
      break;
    case typ80::kRecvMessageAck:
      c.awaitingAck.removeOne(readU32(p.payload, 0));
      break;
    case typ80::kNewStatus: {
      // Today's servers answer a client going away by closing, not with an acknowledgement.
      const std::uint32_t code = readU32(p.payload, 0) & 0xFF;
      if (c.loggedIn && p.payload.size() >= 12 && (code == 0x01 || code == 0x15)) c.socket->disconnectFromHost();
      break;
    }
    case typ80::kUserlistRequest:
      if (autoUserlist_ && c.loggedIn)
        for (const Userlist100::Out& out : userlist100_.answer(p.payload)) c.socket->write(packet(out.type, out.payload));
      break;
    default:
      break;  // recorded only
  }
}

void Serwer::handleLogin80(Connection& c, const QByteArray& payload) {
  if (!answerLogin_) return;
  const auto login = parseLogin80(payload);
  const auto account = login ? accounts_.constFind(login->number) : accounts_.constEnd();
  // Passwords are kept in the code page; the hash is taken over their UTF-8.
  const bool accepted =
      login && login->hashType == 0x02 && account != accounts_.constEnd() &&
      login->hash == login80Hash(seed_, QByteArray::fromStdString(cp1250::toUtf8(account->toStdString())));
  c.features = login ? login->features : 0;
  if (accepted)
    c.socket->write(packet(typ80::kLoginOk, u32(1)));
  else if (c.features & typ80::kFeatureLoginFailed)
    c.socket->write(packet(typ80::kLoginFailed, u32(1)));
  else
    c.socket->write(packet(typ::kLoginFailed));
  finishLogin(c, login ? login->number : readU32(payload, 0), accepted);
}

// A message whose offsets do not hold together is recorded and goes
// unacknowledged, as if it never reached anybody.
void Serwer::handleMessage80(Connection& c, const QByteArray& payload) {
  const auto m = parseSendMessage80(payload);
  if (!m) return;
  if (autoAck_)
    c.socket->write(packet(typ::kSendAck, sendAckPayload(ackFor_.value(m->number, ackStatus_), m->number, m->seq)));
  scheduleReply(c, m->number);
}

// Sequence 0 takes the next of the server's own; each is unique, so that a
// receive acknowledgement names one message.
void Serwer::write80(Connection& c, Message80 m) {
  if (m.seq == 0) m.seq = ++seq80_;
  if (c.features & typ80::kFeatureRecvAck) c.awaitingAck.append(m.seq);
  c.socket->write(packet(typ80::kRecvMessage, recvMessage80Payload(m)));
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
      runAction(to, TimedAction{0, TimedAction::Kind::Message, from, 2, reply.text, reply.utf8});
  });
}

void Serwer::runAction(Connection& c, const TimedAction& a) {
  if (c.session == Session::Gg80) {
    if (a.kind == TimedAction::Kind::Message) {
      write80(c, {a.number, 0, now(), typ80::kClassChat, messageHtml(QString::fromUtf8(a.textUtf8())), a.text,
                  defaultAttributes()});
      return;
    }
    if (a.kind == TimedAction::Kind::Status) {
      c.socket->write(packet(typ80::kStatus, status80Bytes(Status80(a.number, a.status, a.textUtf8()))));
      return;
    }
  }
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

bool Serwer::sendNotifyReply80(const QList<Status80>& entries) {
  return sendPacket(typ80::kNotifyReply, status80Payload(entries));
}

bool Serwer::sendStatus80(const QList<Status80>& entries) {
  return sendPacket(typ80::kStatus, status80Payload(entries));
}

std::uint32_t Serwer::sendMessage80(std::uint32_t sender, const QString& text, qint64 time,
                                    std::uint32_t msgClass) {
  Connection* c = openCurrent();
  if (!c) return 0;
  Message80 m;
  m.number = sender;
  m.seq = ++seq80_;
  m.time = time < 0 ? now() : static_cast<std::uint32_t>(time);
  m.msgClass = msgClass;
  m.html = messageHtml(text);
  m.plain = QByteArray::fromStdString(cp1250::fromQString(text));
  m.attributes = defaultAttributes();
  write80(*c, m);
  return m.seq;
}

bool Serwer::sendMessage80(const Message80& message) {
  Connection* c = openCurrent();
  if (!c) return false;
  write80(*c, message);
  return true;
}

bool Serwer::sendUserlistVersion(std::uint32_t version) { return sendPacket(typ80::kUserlistVersion, u32(version)); }

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
