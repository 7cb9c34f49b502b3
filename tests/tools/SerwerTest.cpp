#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QVariant>

#include "ggserwer/LoginHash.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"

using ggserwer::Serwer;

namespace {

QByteArray hex(const char* h) { return QByteArray::fromHex(h); }

QByteArray le32(std::uint32_t v) {
  QByteArray b(4, '\0');
  for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return b;
}

QByteArray frame(std::uint32_t type, const QByteArray& payload) {
  return le32(type) + le32(static_cast<std::uint32_t>(payload.size())) + payload;
}

// The fixed 31 bytes of a login: number, hash, status 2, version 0x21, then
// zeros and the ports, 0xFF, 0xBE.
QByteArray loginPayload(std::uint32_t number, std::uint32_t hash) {
  return le32(number) + le32(hash) + le32(2) + le32(0x21) + QByteArray(13, '\0') + hex("ffbe");
}

// A bare client: a socket and what it has read so far.
struct Client {
  QSslSocket socket;
  QByteArray in;

  bool connectTo(quint16 port) {
    socket.connectToHost(QHostAddress::LocalHost, port);
    return Serwer::waitFor([this] { return socket.state() == QAbstractSocket::ConnectedState; }, 5000);
  }
  // Checks the certificate and the host name as a client of today's network does.
  bool connectTls(quint16 port, const QByteArray& trustedPem, const QString& host = QStringLiteral("127.0.0.1")) {
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.addCaCertificates(QSslCertificate::fromData(trustedPem));
    socket.setSslConfiguration(tls);
    socket.connectToHostEncrypted(host, port);
    return Serwer::waitFor([this] { return socket.isEncrypted(); }, 5000);
  }
  // Exactly n bytes, or what came before the time-out.
  QByteArray read(int n, int ms = 5000) {
    Serwer::waitFor([&] {
      in += socket.readAll();
      return in.size() >= n;
    }, ms);
    const QByteArray out = in.left(n);
    in.remove(0, out.size());
    return out;
  }
  bool nothingMore(int ms = 150) {
    Serwer::waitFor([&] { in += socket.readAll(); return false; }, ms);
    return in.isEmpty();
  }
  bool waitClosed() {
    return Serwer::waitFor([this] { return socket.state() == QAbstractSocket::UnconnectedState; }, 5000);
  }
  void send(const QByteArray& bytes) {
    socket.write(bytes);
    socket.flush();
  }
};

class SerwerTest : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kSeed = 0x0A0B0C0D;
  void SetUp() override {
    serwer.setSeed(kSeed);
    serwer.addAccount(4321, "tajne");
    serwer.addAccount(5000, "");
    ASSERT_TRUE(serwer.start());
  }
  // Connects, reads the welcome and logs in with the right hash.
  void logIn(Client& c) {
    ASSERT_TRUE(c.connectTo(serwer.ggPort()));
    ASSERT_EQ(c.read(12).size(), 12);
    c.send(frame(0x15, loginPayload(4321, ggserwer::loginHash(kSeed, "tajne"))));
    ASSERT_EQ(c.read(8), hex("0300000000000000"));
    ASSERT_TRUE(serwer.isLoggedIn());
  }
  Serwer serwer;
};

}  // namespace

TEST_F(SerwerTest, WelcomeCarriesTheSeed) {
  Client c;
  ASSERT_TRUE(c.connectTo(serwer.ggPort()));
  EXPECT_EQ(c.read(12), hex("01000000040000000d0c0b0a"));
  EXPECT_TRUE(c.nothingMore());
  EXPECT_EQ(serwer.connectionCount(), 1);
  EXPECT_TRUE(serwer.isClientConnected());
  EXPECT_FALSE(serwer.isLoggedIn());
}

TEST_F(SerwerTest, LoginWithTheRightHashIsAccepted) {
  QList<QVariantList> checked;
  QObject::connect(&serwer, &Serwer::loginChecked, [&](int c, quint32 number, bool ok) {
    checked.append({c, number, ok});
  });
  Client c;
  logIn(c);
  EXPECT_EQ(serwer.loggedInNumber(), 4321u);
  ASSERT_EQ(checked.size(), 1);
  EXPECT_EQ(checked[0][1].toUInt(), 4321u);
  EXPECT_TRUE(checked[0][2].toBool());
  const auto got = serwer.packets();
  ASSERT_EQ(got.size(), 1);
  EXPECT_EQ(got[0].type, 0x15u);
  EXPECT_EQ(got[0].payload, loginPayload(4321, ggserwer::loginHash(kSeed, "tajne")));
}

TEST_F(SerwerTest, EmptyPasswordHashesToTheSeedAndVariantOkIsSent) {
  serwer.setLoginOkType(0x14);
  Client c;
  ASSERT_TRUE(c.connectTo(serwer.ggPort()));
  c.read(12);
  c.send(frame(0x15, loginPayload(5000, kSeed)));
  EXPECT_EQ(c.read(8), hex("1400000000000000"));
  EXPECT_EQ(serwer.loggedInNumber(), 5000u);
}

TEST_F(SerwerTest, WrongHashOrUnknownNumberIsRefusedAndClosed) {
  Client c;
  ASSERT_TRUE(c.connectTo(serwer.ggPort()));
  c.read(12);
  c.send(frame(0x15, loginPayload(4321, ggserwer::loginHash(kSeed, "tajnE"))));
  EXPECT_EQ(c.read(8), hex("0900000000000000"));
  EXPECT_TRUE(c.waitClosed());
  EXPECT_TRUE(serwer.waitForDisconnect());
  EXPECT_FALSE(serwer.isLoggedIn());

  serwer.setCloseOnLoginFailed(false);
  Client d;
  ASSERT_TRUE(d.connectTo(serwer.ggPort()));
  d.read(12);
  // The right hash of a password, but for a number that has no account.
  d.send(frame(0x15, loginPayload(9999, ggserwer::loginHash(kSeed, "tajne"))));
  EXPECT_EQ(d.read(8), hex("0900000000000000"));
  EXPECT_TRUE(d.nothingMore());
  EXPECT_EQ(d.socket.state(), QAbstractSocket::ConnectedState);
  // A login cut short is refused even when its number and hash would do.
  d.send(frame(0x15, loginPayload(4321, ggserwer::loginHash(kSeed, "tajne")).left(30)));
  EXPECT_EQ(d.read(8), hex("0900000000000000"));
  EXPECT_EQ(serwer.connectionCount(), 2);
  EXPECT_EQ(serwer.packets(0).size(), 1);
  EXPECT_EQ(serwer.packets(1).size(), 2);
}

TEST_F(SerwerTest, SendMessageIsAcknowledgedWithTheConfiguredStatus) {
  Client c;
  logIn(c);
  c.send(frame(0x0B, le32(12345) + le32(7) + le32(8) + "hi" + QByteArray(1, '\0')));
  EXPECT_EQ(c.read(20), hex("050000000c000000020000003930000007000000"));

  serwer.setAckStatus(3);
  c.send(frame(0x0B, le32(12345) + le32(8) + le32(8) + "x" + QByteArray(1, '\0')));
  EXPECT_EQ(c.read(20), hex("050000000c000000030000003930000008000000"));

  serwer.setAutoAck(false);
  c.send(frame(0x0B, le32(12345) + le32(9) + le32(8) + "y" + QByteArray(1, '\0')));
  ASSERT_TRUE(serwer.waitForPacket(0x0B, 3));
  EXPECT_TRUE(c.nothingMore());
  EXPECT_EQ(serwer.packetsOfType(0x0B)[2].payload, le32(12345) + le32(9) + le32(8) + "y" + QByteArray(1, '\0'));
}

TEST_F(SerwerTest, PacketsAreCutFromAnyChunkingAndRecordedPerConnection) {
  Client c;
  logIn(c);
  const QByteArray ping = frame(0x08, {});
  const QByteArray notify = frame(0x10, le32(111) + hex("03") + le32(222) + hex("03"));
  const QByteArray status = frame(0x02, le32(4) + "abc" + QByteArray(1, '\0'));
  // One byte at a time, then two packets in one write.
  for (char b : notify) {
    c.send(QByteArray(1, b));
    Serwer::waitFor([] { return false; }, 2);
  }
  c.send(ping + status);
  ASSERT_TRUE(serwer.waitForPacket(0x02));
  const auto got = serwer.packets();
  ASSERT_EQ(got.size(), 4);
  EXPECT_EQ(got[1].type, 0x10u);
  EXPECT_EQ(got[1].payload, notify.mid(8));
  EXPECT_EQ(got[2].type, 0x08u);
  EXPECT_TRUE(got[2].payload.isEmpty());
  EXPECT_EQ(got[3].payload, status.mid(8));

  c.socket.disconnectFromHost();
  ASSERT_TRUE(serwer.waitForDisconnect());
  Client d;
  ASSERT_TRUE(d.connectTo(serwer.ggPort()));
  d.read(12);
  d.send(frame(0x12, {}));
  ASSERT_TRUE(serwer.waitForPacket(0x12));
  EXPECT_EQ(serwer.packets().size(), 1);   // the current connection, the second
  EXPECT_EQ(serwer.packets(0).size(), 4);  // the first keeps its record
}

TEST_F(SerwerTest, HugeAnnouncedLengthDropsTheClient) {
  int violations = 0;
  QObject::connect(&serwer, &Serwer::protocolViolation, [&] { ++violations; });
  Client c;
  ASSERT_TRUE(c.connectTo(serwer.ggPort()));
  c.read(12);
  c.send(hex("0800000000ffffff"));
  EXPECT_TRUE(c.waitClosed());
  EXPECT_EQ(violations, 1);
  EXPECT_TRUE(serwer.packets().isEmpty());
}

TEST_F(SerwerTest, PushedPacketsAreByteExact) {
  Client c;
  logIn(c);
  const ggserwer::StatusEntry a(1111, 2);
  const ggserwer::StatusEntry b(2222, 4, "abcde");
  ggserwer::StatusEntry d(3333, 1, "ignored: code 1 has none");
  d.flags = 0x40;
  ASSERT_TRUE(serwer.sendNotifyReply({a, b, d}));
  // Entries at payload offsets 0, 14 and 34.
  EXPECT_EQ(c.read(56), hex("1100000030000000"
                            "5704000002000000000000000000"
                            "ae08000004000000000000000000" "056162636465"
                            "050d004001000000000000000000"));

  ggserwer::StatusEntry s(0x123456, 5, "zaraz");
  s.flags = 0x80;
  s.ip = 0x0100007F;
  s.port = 8074;
  s.version = 0x21;
  s.imageSize = 0xFF;
  ASSERT_TRUE(serwer.sendStatusChange(s));
  EXPECT_EQ(c.read(27), hex("0f00000013000000" "56341280057f000001" "8a1f21ff00" "7a6172617a"));

  ASSERT_TRUE(serwer.sendMessage(1000, "Hej", 0x5F000000, 3, 4));
  EXPECT_EQ(c.read(28), hex("0a00000014000000" "e8030000030000000000005f04000000" "48656a00"));

  ASSERT_TRUE(serwer.sendUserlistReply(6, "a;b"));
  EXPECT_EQ(c.read(12), hex("100000000400000006") + "a;b");

  ASSERT_TRUE(serwer.sendDisconnecting());
  EXPECT_EQ(c.read(8), hex("0b00000000000000"));
  ASSERT_TRUE(serwer.sendAck(6, 77, 1));
  EXPECT_EQ(c.read(20), hex("050000000c000000060000004d00000001000000"));
  ASSERT_TRUE(serwer.sendPacket(0x77, "xy"));
  EXPECT_EQ(c.read(10), hex("77000000020000007879"));
  // Raw bytes go out as they are: here a header announcing 4 GiB, then junk.
  ASSERT_TRUE(serwer.sendRaw(hex("01000000ffffffff00ff")));
  EXPECT_EQ(c.read(10), hex("01000000ffffffff00ff"));
  EXPECT_TRUE(c.nothingMore());
}

TEST_F(SerwerTest, CloseConnectionAndPushesWithoutAClient) {
  EXPECT_FALSE(serwer.sendDisconnecting());
  int gone = 0;
  QObject::connect(&serwer, &Serwer::clientDisconnected, [&] { ++gone; });
  Client c;
  logIn(c);
  serwer.sendMessage(1000, "pa");
  serwer.closeConnection();
  EXPECT_EQ(c.read(27).size(), 27);  // the queued message still arrives
  EXPECT_TRUE(c.waitClosed());
  EXPECT_TRUE(serwer.waitFor([&] { return gone == 1; }));
  EXPECT_FALSE(serwer.isClientConnected());
  EXPECT_FALSE(serwer.sendRaw("x"));
}

TEST_F(SerwerTest, UserlistPutIsStoredAndGetComesInPieces) {
  Client c;
  logIn(c);
  c.send(frame(0x16, hex("00") + "Jan;Kowalski" + QByteArray(1, '\0')));
  EXPECT_EQ(c.read(9), hex("100000000100000000"));
  c.send(frame(0x16, hex("01") + ";;x" + QByteArray(1, '\0')));
  EXPECT_EQ(c.read(9), hex("100000000100000002"));
  EXPECT_EQ(serwer.userlist(), "Jan;Kowalski;;x");

  serwer.setUserlistPieceSize(6);
  c.send(frame(0x16, hex("02")));
  EXPECT_EQ(c.read(15), hex("1000000007000000") + hex("04") + "Jan;Ko");
  EXPECT_EQ(c.read(15), hex("1000000007000000") + hex("04") + "walski");
  EXPECT_EQ(c.read(12), hex("1000000004000000") + hex("06") + ";;x");

  // A delete is a put of nothing; a get then brings one empty last piece.
  c.send(frame(0x16, hex("0000")));
  EXPECT_EQ(c.read(9), hex("100000000100000000"));
  c.send(frame(0x16, hex("02")));
  EXPECT_EQ(c.read(9), hex("100000000100000006"));
  EXPECT_TRUE(c.nothingMore());
}

TEST(TimedActionTest, TextFormReadsEveryKindAndRefusesTheRest) {
  auto m = ggserwer::parseTimedAction(QString::fromUtf8("250 message 5551 Cześć,  <b>tu</b>\\nwww.wp.pl"));
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->afterMs, 250);
  EXPECT_EQ(m->kind, ggserwer::TimedAction::Kind::Message);
  EXPECT_EQ(m->number, 5551u);
  EXPECT_EQ(m->text, QByteArray("Cze\x9c\xe6,  <b>tu</b>\r\nwww.wp.pl")) << "Windows-1250, spaces kept";

  auto s = ggserwer::parseTimedAction("0 status 222 4 na obiedzie");
  ASSERT_TRUE(s.has_value());
  EXPECT_EQ(s->kind, ggserwer::TimedAction::Kind::Status);
  EXPECT_EQ(s->number, 222u);
  EXPECT_EQ(s->status, 4);
  EXPECT_EQ(s->text, "na obiedzie");
  EXPECT_TRUE(ggserwer::parseTimedAction("5 status 222 2")->text.isEmpty());
  EXPECT_EQ(ggserwer::parseTimedAction("10 close")->kind, ggserwer::TimedAction::Kind::Close);
  EXPECT_EQ(ggserwer::parseTimedAction("10 DISCONNECTING")->kind, ggserwer::TimedAction::Kind::Disconnecting);

  for (const char* bad : {"", "message 5551 x", "-1 close", "10 close now", "10 wave 5551", "10 message",
                          "10 message 0 x", "10 message 5551", "10 message abc x", "10 status 222",
                          "10 status 222 300"}) {
    QString error;
    EXPECT_FALSE(ggserwer::parseTimedAction(bad, &error).has_value()) << bad;
    EXPECT_FALSE(error.isEmpty()) << bad;
  }
}

TEST_F(SerwerTest, TimedActionsRunInOrderAfterEachLogin) {
  for (const char* a : {"30 message 1000 Hej", "0 status 222 4 opis", "20 disconnecting", "10 close"})
    serwer.addTimedAction(*ggserwer::parseTimedAction(a));
  Client c;
  logIn(c);
  const QByteArray message = c.read(28);
  EXPECT_EQ(message.left(12), hex("0a00000014000000" "e8030000"));
  EXPECT_EQ(message.right(4), QByteArray("Hej\0", 4));
  EXPECT_EQ(c.read(26), hex("0f00000012000000" "de00000004000000000000000000") + "opis");
  EXPECT_EQ(c.read(8), hex("0b00000000000000"));
  EXPECT_TRUE(c.waitClosed());

  // The next login plays them again; a connection gone meanwhile drops the rest.
  serwer.clearTimedActions();
  serwer.addTimedAction(*ggserwer::parseTimedAction("0 message 1000 raz"));
  serwer.addTimedAction(*ggserwer::parseTimedAction("100 message 1000 dwa"));
  Client d;
  logIn(d);
  EXPECT_EQ(d.read(28).right(4), QByteArray("raz\0", 4));
  d.socket.abort();
  ASSERT_TRUE(serwer.waitForDisconnect());
  // Past the second message's time: it finds no connection.
  EXPECT_FALSE(Serwer::waitFor([&] { return serwer.connectionCount() != 2; }, 200));
  EXPECT_EQ(serwer.connectionCount(), 2);
}

TEST(ScenarioTest, EveryLineKindReadsAndAMalformedLineIsNamedByItsNumber) {
  QString error;
  const auto s = ggserwer::parseScenario(QString::fromUtf8(
      "# the cast\n"
      "contact 1001 Celina  Żurawska\n"
      "\n"
      "  500\tstatus 1001 4 na kawie\r\n"
      "repeat\n"
      "1000 message 1001 Hej :)\n"
      "reply 1001 200 Pierwsza\n"
      "reply 1001 300 Druga\n"
      "ack 1002 3\n"),
      &error);
  ASSERT_TRUE(s.has_value()) << error.toStdString();
  ASSERT_EQ(s->cast.size(), 1);
  EXPECT_EQ(s->cast[0].number, 1001u);
  EXPECT_EQ(s->cast[0].name, QString::fromUtf8("Celina  Żurawska"));
  ASSERT_EQ(s->actions.size(), 2);
  EXPECT_EQ(s->actions[0].afterMs, 500);
  EXPECT_EQ(s->actions[0].text, "na kawie") << "a CR LF line end is not part of the text";
  EXPECT_EQ(s->repeatFrom, 1);
  ASSERT_EQ(s->replies.value(1001).size(), 2);
  EXPECT_EQ(s->replies.value(1001)[1].afterMs, 300);
  EXPECT_EQ(s->replies.value(1001)[1].text, "Druga");
  EXPECT_EQ(s->acks.value(1002), 3u);

  const std::pair<const char*, const char*> bad[] = {
      {"contact 1001 A\ncontact x B\n", "line 2: not a number: x"},
      {"contact 1001\n", "line 1: contact is NUMBER NAME"},
      {"# c\n\n10 wave 5\n", "line 3: unknown action: wave"},
      {"reply 1001 soon Hej\n", "line 1: not a time in milliseconds: soon"},
      {"reply 1001 100\n", "line 1: reply is NUMBER MS TEXT"},
      {"ack 1001\n", "line 1: ack is NUMBER CODE"},
      {"repeat\n10 close\nrepeat\n", "line 3: a second repeat"},
      {"10 close\nrepeat\n0 message 5 x\n", "the actions after repeat must take some time"},
  };
  for (const auto& [text, what] : bad) {
    EXPECT_FALSE(ggserwer::parseScenario(QString::fromUtf8(text), &error).has_value()) << text;
    EXPECT_EQ(error.toStdString(), what);
  }
}

// A cast over the wire: its actions repeat from where it says, each message
// is answered by the next of its recipient's replies, and acknowledged with
// that recipient's status.
TEST_F(SerwerTest, ScenarioRepeatsAnswersInTurnAndAcknowledgesPerRecipient) {
  serwer.play(*ggserwer::parseScenario(
      "0 status 1001 2\n"
      "repeat\n"
      "40 status 1002 3\n"
      "reply 1001 20 raz\n"
      "reply 1001 20 dwa\n"
      "ack 1001 3\n"));
  Client c;
  logIn(c);
  // The payload of the next packet of a type; the statuses of the loop come between.
  auto next = [&](std::uint32_t type) {
    for (int i = 0; i < 100; ++i) {
      const QByteArray header = c.read(8);
      if (header.size() < 8) break;
      const QByteArray payload = c.read(int(ggserwer::readU32(header, 4)));
      if (ggserwer::readU32(header, 0) == type) return payload;
    }
    return QByteArray("none");
  };
  EXPECT_EQ(c.read(22), hex("0f0000000e000000" "e903000002000000000000000000"));
  const QByteArray status1002 = hex("0f0000000e000000" "ea03000003000000000000000000");
  EXPECT_EQ(c.read(22), status1002);
  EXPECT_EQ(c.read(22), status1002) << "the part after repeat comes again";

  auto send = [&](std::uint32_t to, std::uint32_t seq) {
    c.send(frame(0x0B, le32(to) + le32(seq) + le32(8) + QByteArray("x\0", 2)));
  };
  const QByteArray answer = le32(1001) + le32(0);  // sender, sequence
  send(1001, 1);
  EXPECT_EQ(next(0x05), le32(3) + le32(1001) + le32(1));
  const QByteArray first = next(0x0A);
  EXPECT_EQ(first.left(8), answer);
  EXPECT_EQ(first.mid(16), QByteArray("raz\0", 4));
  send(1002, 2);
  EXPECT_EQ(next(0x05), le32(2) + le32(1002) + le32(2)) << "the server's own status for the rest";
  send(1001, 3);
  EXPECT_EQ(next(0x0A).mid(16), QByteArray("dwa\0", 4)) << "nobody answers for 1002";
  send(1001, 4);
  EXPECT_EQ(next(0x0A).mid(16), QByteArray("raz\0", 4)) << "the replies start over";
}

// The program refuses a scenario it cannot read, naming the file and line.
TEST(ScenarioTest, EmulatorWithAMalformedScenarioDoesNotStart) {
  QTemporaryDir dir;
  QFile f(dir.filePath("obsada.txt"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("contact 1001 Ala\n500 status 1001 two\n");
  f.close();
  QProcess p;
  p.start(QStringLiteral(GGSERWER_EXE), {"--port", "0", "--http-port", "0", "--scenario", f.fileName()});
  ASSERT_TRUE(p.waitForFinished(10000));
  EXPECT_EQ(p.exitCode(), 2);
  EXPECT_EQ(p.readAllStandardError().toStdString(),
            "ggserwer: " + f.fileName().toStdString() + ", line 2: not a status code: two\n");
  EXPECT_TRUE(p.readAllStandardOutput().isEmpty()) << "nothing listened";
}

namespace {

// Today's login with the given password and features, no description.
QByteArray login80(std::uint32_t number, const QByteArray& passwordUtf8, std::uint32_t seed, std::uint32_t features) {
  const QByteArray version = "Gadu-Gadu Client build 10.0.0.10450";
  const QByteArray digest = QCryptographicHash::hash(passwordUtf8 + le32(seed), QCryptographicHash::Sha1);
  return le32(number) + "pl" + hex("02") + digest + QByteArray(44, '\0') + le32(0x02) + le32(0) + le32(features) +
         QByteArray(12, '\0') + hex("0064") + le32(quint32(version.size())) + version + le32(0);
}

// Header and payload of the next packet.
std::pair<std::uint32_t, QByteArray> next(Client& c) {
  const QByteArray header = c.read(8);
  if (header.size() < 8) return {0, "nothing came"};
  return {ggserwer::readU32(header, 0), c.read(int(ggserwer::readU32(header, 4)))};
}

}  // namespace

TEST(Login80HashTest, TheNotesVector) {
  EXPECT_EQ(ggserwer::login80Hash(0x12345678, "secret").toHex(), "8b4bfe71fceab2dccb573b39ac2f013d638fb7dc");
}

// Today's session end to end over TLS: a refused and an accepted login, the
// statuses, a message each way with both acknowledgements, the contact list
// and the close after going away; the plain port speaks it too.
TEST_F(SerwerTest, TodaysSessionOverTls) {
  serwer.addAccount(7000, QByteArray::fromStdString(cp1250::fromUtf8("zażółć")));
  serwer.play(*ggserwer::parseScenario(
      QString::fromUtf8("0 status 1003 5 kawa ☕\nreply 1001 0 Cześć 🙂\\nco tam <b>?</b>\nack 1001 3\n")));
  Client bad;
  ASSERT_TRUE(bad.connectTls(serwer.tlsPort(), serwer.certificatePem()));
  EXPECT_EQ(bad.read(12), hex("01000000040000000d0c0b0a"));
  bad.send(frame(0x31, login80(7000, "zazolc", kSeed, 0x367)));
  EXPECT_EQ(bad.read(12), hex("4300000004000000" "01000000"));
  EXPECT_TRUE(bad.waitClosed());
  Client plain;
  ASSERT_TRUE(plain.connectTo(serwer.ggPort()));
  plain.read(12);
  plain.send(frame(0x31, login80(7000, "zazolc", kSeed, 0x07)));
  EXPECT_EQ(plain.read(8), hex("0900000000000000")) << "without 0x40 the old refusal";
  Client byName;
  EXPECT_TRUE(byName.connectTls(serwer.tlsPort(), serwer.certificatePem(), QStringLiteral("localhost")));

  Client c;
  ASSERT_TRUE(c.connectTls(serwer.tlsPort(), serwer.certificatePem()));
  c.read(12);
  c.send(frame(0x31, login80(7000, "zażółć", kSeed, 0x367 | 0x400)));
  EXPECT_EQ(c.read(12), hex("3500000004000000" "01000000"));
  ASSERT_TRUE(serwer.waitForLogin());
  EXPECT_EQ(serwer.session(), ggserwer::Session::Gg80);
  EXPECT_EQ(serwer.loginFeatures(), 0x767u);
  EXPECT_EQ(next(c), std::make_pair(0x36u, hex("eb030000" "05400000") + QByteArray(16, '\0') + hex("08000000") +
                                                "kawa ☕"))
      << "the cast's status, whole";

  ggserwer::Status80 away(1002, 0x05, "w kinie 🎬");
  away.features = 0x367;
  away.flags = 0x00800000;
  ASSERT_TRUE(serwer.sendNotifyReply80({{1001, 0x02}, away}));
  EXPECT_EQ(next(c), std::make_pair(0x37u, hex("e9030000" "02000000" "00000000" "00000000" "0000" "00" "00"
                                                "00000000" "00000000"
                                                "ea030000" "05400000" "67030000" "00000000" "0000" "00" "00"
                                                "00008000" "0c000000") + "w kinie 🎬"));

  // To 1001: HTML, plain, attributes at the offsets from the payload's start.
  const QByteArray html = "<span>Cześć &amp; 🙂</span>";
  const QByteArray text = QByteArray::fromStdString(cp1250::fromUtf8("Cześć & :)"));
  const auto offsetPlain = quint32(20 + html.size() + 1);
  c.send(frame(0x2d, le32(1001) + le32(77) + le32(8) + le32(offsetPlain) + le32(offsetPlain + text.size() + 1) +
                         html + '\0' + text + '\0' + hex("020600000008000000")));
  EXPECT_EQ(next(c), std::make_pair(0x05u, le32(3) + le32(1001) + le32(77)));
  const auto sent = ggserwer::parseSendMessage80(serwer.packetsOfType(0x2d).value(0).payload);
  ASSERT_TRUE(sent.has_value());
  EXPECT_EQ(sent->html, html);
  EXPECT_EQ(sent->plain, text);
  const auto [type, answer] = next(c);
  ASSERT_EQ(type, 0x2eu);
  const QByteArray answerHtml = QByteArray("<span style=\"color:#000000; font-family:'MS Shell Dlg 2'; font-size:9pt; \">") +
                                "Cześć 🙂<br>co tam &lt;b&gt;?&lt;/b&gt;</span>";
  const QByteArray answerPlain = QByteArray::fromStdString(cp1250::fromUtf8("Cześć ?\r\nco tam <b>?</b>"));
  const std::uint32_t seq = ggserwer::readU32(answer, 4);
  EXPECT_EQ(answer.left(4), le32(1001));
  EXPECT_EQ(answer.mid(12), le32(8) + le32(quint32(24 + answerHtml.size() + 1)) +
                                le32(quint32(24 + answerHtml.size() + answerPlain.size() + 2)) + answerHtml + '\0' +
                                answerPlain + '\0' + hex("020600000008000000"));
  EXPECT_EQ(serwer.awaitingRecvAck(), QList<std::uint32_t>{seq});
  c.send(frame(0x46, le32(seq)));
  // A packet of the 2005 session is recorded and goes unanswered.
  c.send(frame(0x0b, le32(1001) + le32(78) + le32(8) + QByteArray("x\0", 2)));
  ASSERT_TRUE(serwer.waitForPacket(0x0b));
  EXPECT_TRUE(serwer.awaitingRecvAck().isEmpty());

  // The contact list: a get in the line format, compressed, then a put of
  // the version the server has, then one of a stale version.
  serwer.userlist100().setGg70(QByteArray("Celina;Żurawska;Celinka;;;;1003;;0;;0;;\r\n"));
  c.send(frame(0x40, hex("02" "00000000" "01" "01")));
  const auto [listType, list] = next(c);
  EXPECT_EQ(listType, 0x41u);
  EXPECT_EQ(list.left(7), hex("00" "05000000" "01" "01"));
  EXPECT_EQ(list.mid(7, 2), hex("78da"));
  EXPECT_EQ(qUncompress(hex("00001000") + list.mid(7)), serwer.userlist100().gg70());
  const QByteArray put = hex("00" "05000000" "02" "01") + qCompress(QByteArray("<Contacts/>"), 9).mid(4);
  c.send(frame(0x40, put));
  EXPECT_EQ(next(c), std::make_pair(0x41u, hex("10" "06000000" "02" "01")));
  EXPECT_EQ(next(c), std::make_pair(0x5cu, le32(6)));
  EXPECT_EQ(serwer.userlist100().xml(), "<Contacts/>");
  c.send(frame(0x40, put));
  EXPECT_EQ(next(c), std::make_pair(0x41u, hex("12" "06000000" "02" "01")));

  c.send(frame(0x38, le32(0x15) + le32(0) + le32(2) + "pa"));
  EXPECT_TRUE(c.waitClosed());
  EXPECT_EQ(serwer.packets().size(), 8);
}

// A login or a message whose lengths do not hold together is refused or left
// unanswered, a packet of the other session too; the list's settings change
// only what they name.
TEST_F(SerwerTest, TodaysSessionRefusesWhatDoesNotHoldTogether) {
  serwer.setCloseOnLoginFailed(false);
  serwer.addAccount(7000, "haslo");
  Client c;
  ASSERT_TRUE(c.connectTo(serwer.ggPort()));
  c.read(12);
  QByteArray longVersion = login80(7000, "haslo", kSeed, 0x40);
  longVersion[97] = char(0x24);
  c.send(frame(0x31, longVersion));
  EXPECT_EQ(next(c), std::make_pair(0x09u, QByteArray()));
  c.send(frame(0x31, login80(7000, "haslo", kSeed, 0x40).chopped(1)));
  EXPECT_EQ(next(c), std::make_pair(0x09u, QByteArray()));
  c.send(frame(0x31, login80(7000, "haslo", kSeed, 0x40)));
  EXPECT_EQ(next(c), std::make_pair(0x35u, le32(1)));
  c.send(frame(0x15, loginPayload(4321, ggserwer::loginHash(kSeed, "tajne"))));

  const QByteArray parts = QByteArray("<b>x</b>\0x\0", 11);  // offset_plain 29, attributes 31
  auto message = [&](std::uint32_t seq, std::uint32_t offsetPlain, std::uint32_t offsetAttributes) {
    return frame(0x2d, le32(1001) + le32(seq) + le32(8) + le32(offsetPlain) + le32(offsetAttributes) + parts);
  };
  c.send(message(1, 40, 41));  // past the end
  c.send(message(2, 28, 31));  // the byte before the plain part is not its HTML's end
  c.send(message(3, 29, 29));  // the attributes before the plain part
  c.send(message(4, 29, 30));  // the plain part without its end
  c.send(message(5, 29, 31));  // no attributes at all
  EXPECT_EQ(next(c), std::make_pair(0x05u, le32(2) + le32(1001) + le32(5))) << "only the last is acknowledged";

  serwer.userlist100().setXml("<ContactBook/>");
  serwer.userlist100().setCompress(false);
  c.send(frame(0x40, hex("02" "00000000" "02" "01")));
  EXPECT_EQ(next(c), std::make_pair(0x41u, hex("00" "05000000" "02" "01") + "<ContactBook/>"));
  serwer.userlist100().setGg70("Ala;;;;;;1001;;0;;0;;\r\n");
  serwer.userlist100().setAnswerXmlWithGg70(true);
  c.send(frame(0x40, hex("02" "00000000" "02" "01")));
  EXPECT_EQ(next(c), std::make_pair(0x41u, hex("00" "05000000" "01" "01") + "Ala;;;;;;1001;;0;;0;;\r\n"));
  ASSERT_TRUE(serwer.sendUserlistVersion(9));
  EXPECT_EQ(next(c), std::make_pair(0x5cu, le32(9)));
  EXPECT_TRUE(c.nothingMore());

  // On a connection of the 2005 session today's message goes unanswered.
  Client old;
  logIn(old);
  old.send(message(6, 29, 31));
  old.send(frame(0x0B, le32(1001) + le32(7) + le32(8) + QByteArray("x\0", 2)));
  EXPECT_EQ(old.read(20), hex("050000000c000000") + le32(2) + le32(1001) + le32(7));
  EXPECT_EQ(serwer.session(), ggserwer::Session::Gg2005);
  EXPECT_EQ(serwer.session(0), ggserwer::Session::Gg80);
}
