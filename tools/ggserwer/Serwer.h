#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSslServer>
#include <QString>
#include <QTcpServer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ggserwer/Certificate.h"
#include "ggserwer/LookupSerwer.h"
#include "ggserwer/Scenario.h"
#include "ggserwer/TimedAction.h"
#include "ggserwer/Userlist100.h"
#include "ggserwer/Wire.h"
#include "ggserwer/Wire80.h"

namespace ggserwer {

// One packet as the client sent it.
struct Packet {
  std::uint32_t type = 0;
  QByteArray payload;
};

// Which session a connection speaks, decided by its login packet: the 2005
// one (0x15) or today's (0x31). Everything the server sends on it afterwards
// is of that session; a packet of the other one is recorded and ignored.
enum class Session { Unknown, Gg2005, Gg80 };

// A Gadu-Gadu server on 127.0.0.1 for tests and demonstrations: the HTTP server
// lookup, the protocol in plain TCP and the protocol inside TLS, each on a
// port the system chooses. Either port takes either session. It runs in
// the caller's thread and event loop, so a client in the same thread and the
// emulator take turns; waitFor() spins the loop for both.
//
// Connections are numbered from 0 in the order they were accepted; "the
// current connection" is the latest one, and pushes go to it while it is open.
class Serwer : public QObject {
  Q_OBJECT
 public:
  explicit Serwer(QObject* parent = nullptr);
  ~Serwer() override;

  // Listening. Port 0 lets the system choose. False when a port is taken or
  // no certificate could be made. The certificate is made on the first start,
  // for 127.0.0.1 and localhost, signed by its own key.
  bool start(quint16 ggPort = 0, quint16 httpPort = 0, quint16 tlsPort = 0);
  void stop();
  quint16 httpPort() const;
  quint16 ggPort() const;
  quint16 tlsPort() const;
  // The certificate the TLS port shows: what a client has to trust.
  QByteArray certificatePem() const { return certificate_.certificatePem; }
  // "127.0.0.1:HTTPPORT": the host part of the lookup address, for a client's setting.
  QString lookupHost() const;

  // Server lookup.
  void setLookupMode(LookupMode mode);
  void setLookupBody(const QByteArray& body);  // switches to LookupMode::Custom
  QByteArray lookupBody() const;
  // Target (path and query) of every lookup request, in order.
  const QList<QByteArray>& lookupTargets() const;

  // Login.
  void addAccount(std::uint32_t number, const QByteArray& password);
  void removeAccount(std::uint32_t number);
  void setSeed(std::uint32_t seed) { seed_ = seed; }
  std::uint32_t seed() const { return seed_; }
  void setSendWelcome(bool on) { sendWelcome_ = on; }        // off: the server stays silent
  void setLoginOkType(std::uint32_t type) { loginOkType_ = type; }  // 2005: typ::kLoginOk or kLoginOkVariant
  void setAnswerLogin(bool on) { answerLogin_ = on; }        // off: a login is recorded only
  void setCloseOnLoginFailed(bool on) { closeOnLoginFailed_ = on; }  // default on

  // Send-message acknowledgements.
  void setAckStatus(std::uint32_t status) { ackStatus_ = status; }  // default 2, delivered
  void setAutoAck(bool on) { autoAck_ = on; }                      // default on

  // The contact list kept on the server. With auto-answer on (default), a put
  // replaces it (put more appends) and is acknowledged with kind 0 (put) or
  // 2 (put more); a get is answered in pieces of kind 4 and a last of kind 6.
  void setUserlist(const QByteArray& text) { userlist_ = text; }
  const QByteArray& userlist() const { return userlist_; }
  void setAutoUserlist(bool on) { autoUserlist_ = on; }
  void setUserlistPieceSize(int bytes) { userlistPiece_ = bytes > 0 ? bytes : 1; }
  // Today's session keeps its own copies, versioned (Userlist100.h); auto-answer
  // covers them too.
  Userlist100& userlist100() { return userlist100_; }

  // Timed actions: run in order on every connection whose login is
  // accepted, each its afterMs after the one before. An action whose
  // connection has ended meanwhile is dropped, with those after it.
  void addTimedAction(const TimedAction& action) { timedActions_.append(action); }
  void clearTimedActions() {
    timedActions_.clear();
    repeatFrom_ = -1;
  }
  const QList<TimedAction>& timedActions() const { return timedActions_; }
  // A whole cast: its timed actions (replacing any), where they repeat from,
  // its answers and its acknowledgements.
  void play(const Scenario& scenario);
  // Runs one action on the current connection now; false when it is not open.
  bool runAction(const TimedAction& action);

  // What happened on the connections.
  int connectionCount() const;                  // accepted so far
  bool isClientConnected() const;               // the current connection is open
  bool isLoggedIn() const;                      // ... and its login was accepted
  std::uint32_t loggedInNumber() const;         // 0 when not logged in
  Session session(int connection = -1) const;   // -1 means the current one
  std::uint32_t loginFeatures(int connection = -1) const;  // today's session
  // The sequence numbers of messages sent to a client of today's session
  // whose login promised a receive acknowledgement, not acknowledged yet.
  QList<std::uint32_t> awaitingRecvAck(int connection = -1) const;
  // Packets received on a connection in order; -1 means the current one.
  QList<Packet> packets(int connection = -1) const;
  QList<Packet> packetsOfType(std::uint32_t type, int connection = -1) const;

  // Pushing to the current connection; false when it is not open.
  bool sendPacket(std::uint32_t type, const QByteArray& payload = {});
  bool sendRaw(const QByteArray& bytes);
  // What the current connection still holds to send: a client that does
  // not read makes it grow.
  qint64 bytesToWrite() const;
  bool sendNotifyReply(const QList<StatusEntry>& entries);
  bool sendStatusChange(const StatusEntry& entry);
  // time -1 means now.
  bool sendMessage(std::uint32_t sender, const QByteArray& text, qint64 time = -1,
                   std::uint32_t seq = 0, std::uint32_t msgClass = 8);
  bool sendAck(std::uint32_t status, std::uint32_t recipient, std::uint32_t seq);
  bool sendDisconnecting();
  bool sendUserlistReply(std::uint8_t kind, const QByteArray& text = {});
  // Today's session. A status entry carries the description mask when it has
  // a description; one packet may hold several entries.
  bool sendNotifyReply80(const QList<Status80>& entries);
  bool sendStatus80(const QList<Status80>& entries);
  // A message as the official client writes it: the text escaped in its HTML
  // wrapper, in Windows-1250 as the plain part, the default attributes. The
  // sequence number it went with (each message its own), 0 when no client.
  std::uint32_t sendMessage80(std::uint32_t sender, const QString& text, qint64 time = -1,
                              std::uint32_t msgClass = typ80::kClassChat);
  bool sendMessage80(const Message80& message);  // exactly as given
  bool sendUserlistVersion(std::uint32_t version);
  void closeConnection();  // orderly close after the queued bytes
  void abortConnection();  // reset at once

  // Spins the caller's event loop until the condition holds or ms pass.
  static bool waitFor(const std::function<bool()>& condition, int ms = 5000);
  bool waitForConnection(int count = 1, int ms = 5000);  // connectionCount() >= count
  bool waitForPacket(std::uint32_t type, int count = 1, int ms = 5000);  // on the current one
  bool waitForLogin(int ms = 5000);
  bool waitForDisconnect(int ms = 5000);

 signals:
  void clientConnected(int connection);
  void clientDisconnected(int connection);
  void packetReceived(int connection, quint32 type, const QByteArray& payload);
  void loginChecked(int connection, quint32 number, bool accepted);
  void lookupRequested(const QByteArray& target);
  // The client sent something the server will not take (an oversized packet);
  // the connection is closed.
  void protocolViolation(int connection, const QString& what);

 private:
  struct Connection;

  void onNewConnection(QTcpServer& from);
  void onReadyRead(Connection& c);
  void handle(Connection& c, const Packet& p);
  void handle2005(Connection& c, const Packet& p);
  void handle80(Connection& c, const Packet& p);
  void handleLogin(Connection& c, const QByteArray& payload);
  void handleLogin80(Connection& c, const QByteArray& payload);
  void finishLogin(Connection& c, std::uint32_t number, bool accepted);
  void handleMessage80(Connection& c, const QByteArray& payload);
  void write80(Connection& c, Message80 m);
  void handleUserlist(Connection& c, const QByteArray& payload);
  void runAction(Connection& c, const TimedAction& action);
  void scheduleActions(int connection, int next);
  void scheduleReply(Connection& c, std::uint32_t from);
  Connection* current() const;
  Connection* openCurrent() const;
  const Connection* at(int connection) const;

  QTcpServer server_;
  QSslServer tlsServer_;
  Certificate certificate_;
  LookupSerwer lookup_;
  std::vector<std::unique_ptr<Connection>> connections_;
  QHash<std::uint32_t, QByteArray> accounts_;
  std::uint32_t seed_ = 0x2F6B1A93;
  bool sendWelcome_ = true;
  std::uint32_t loginOkType_ = typ::kLoginOk;
  bool answerLogin_ = true;
  bool closeOnLoginFailed_ = true;
  std::uint32_t ackStatus_ = 2;
  bool autoAck_ = true;
  QByteArray userlist_;
  bool autoUserlist_ = true;
  int userlistPiece_ = 2047;
  QList<TimedAction> timedActions_;
  int repeatFrom_ = -1;
  QHash<std::uint32_t, QList<Scenario::Reply>> replies_;
  QHash<std::uint32_t, int> replyTurn_;  // the next answer of each number
  QHash<std::uint32_t, std::uint32_t> ackFor_;
  Userlist100 userlist100_;
  std::uint32_t seq80_ = 0;
};

}  // namespace ggserwer
