// Today's session through the main window against the local server
// emulator over TLS, both in this thread: what the program sends (login,
// list, status, messages typed whole, ping, going away), what it takes
// (statuses several to a packet, messages in UTF-8 and their receive
// acknowledgements, knocks, the server's list, unasked packets skipped), and
// a server whose certificate is not trusted.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "LoopbackFixture.h"
#include "app/TFMain.h"
#include "app/TFStat.h"
#include "app/TFUsta.h"
#include "app/TShape.h"
#include "contacts/view/TFPuk.h"
#include "conversation/view/ChatWindows.h"
#include "conversation/view/TFCzat.h"
#include "conversation/view/TRozmowa.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"
#include "protocol/LoginHash.h"
#include "protocol/Packets.h"
#include "support/RecordingTray.h"
#include "support/ScriptedMessageBox.h"
#include "ui/TButon.h"
#include "ui/TNapisButon.h"

namespace {

using ggserwer::Serwer;
namespace typ80 = ggserwer::typ80;

std::string Utf8(const std::string& text) { return cp1250::toUtf8(text); }

struct TodayLoopbackTest : LoopbackFixture {
  void SetUp() override {
    StartChatting();
    if (HasFatalFailure()) return;
    m->Connection().SetProtocol(Protocol::kGG8);
    m->Connection().SetLookupHost("127.0.0.1:" + std::to_string(serwer.tlsPort()));
    Trust(true);
    for (uint32_t n : {5551u, 5552u}) {
      TKontakt k;
      k.numer = n;
      k.wyswietl = n == 5551 ? T("Zosia") : T("Olek");
      ASSERT_TRUE(m->Contacts().Add(k));
    }
  }
  // The emulator's certificate in zaufane.pem beside Wirmelak.ini, read as
  // each connection starts.
  void Trust(bool on) {
    QFile pem(dir.filePath("zaufane.pem"));
    if (!on) {
      pem.remove();
      return;
    }
    ASSERT_TRUE(pem.open(QIODevice::WriteOnly));
    pem.write(serwer.certificatePem());
  }
  bool WaitState(uint8_t s) {
    return Serwer::waitFor([&] { return m->Connection().State() == s; });
  }
  void Connect() {
    m->Dialog->OnMouseDown(Qt::LeftButton);
    ASSERT_TRUE(WaitState(conn::kPolaczony));
    ASSERT_TRUE(serwer.waitForPacket(ggserwer::typ::kNotifyList));
  }
  const TKontakt& Contact(uint32_t n) { return m->Contacts().Record(m->Contacts().FindByNumber(n)); }
};

}  // namespace

TEST_F(TodayLoopbackTest, WhatTheProgramSends) {
  Connect();
  EXPECT_EQ(serwer.session(), ggserwer::Session::Gg80);
  const auto logins = serwer.packetsOfType(typ80::kLogin);
  ASSERT_EQ(logins.size(), 1);
  const auto login = ggserwer::parseLogin80(logins[0].payload);
  ASSERT_TRUE(login);
  EXPECT_EQ(gg::ReadLe32(logins[0].payload.constData() + 71), 0x14u);  // "nie ma mnie": invisible
  EXPECT_EQ(serwer.loginFeatures() & 0x407u, 0x407u);
  EXPECT_TRUE(serwer.packetsOfType(gg::out::kLogin).isEmpty());
  const QByteArray list = serwer.packetsOfType(ggserwer::typ::kNotifyList)[0].payload;
  EXPECT_EQ(list, QByteArray("\xAF\x15\0\0\x03\xB0\x15\0\0\x03", 10));

  // "zaraz wracam" with a description, from the status dialog.
  QTimer::singleShot(0, [&] {
    m->FStat->Edit1->insertPlainText(QString::fromUtf8("w drodze, będę o 17"));
    Press(m->FStat->Buton2);
  });
  Press(m->butStatus);
  ASSERT_TRUE(serwer.waitForPacket(typ80::kNewStatus));
  const QByteArray description("w drodze, będę o 17");
  EXPECT_EQ(serwer.packetsOfType(typ80::kNewStatus)[0].payload,
            QByteArray("\x05\x40\0\0\0\0\0\0", 8) + char(description.size()) + QByteArray(3, '\0') +
                description);

  // Typed whole, acknowledged in every way the network answers.
  chats().OpenChat(5551);
  TFCzat* w = chats().At(chats().FindChat(5551));
  const std::pair<uint32_t, uint8_t> acks[] = {{2, Delivered}, {3, Queued}, {1, NotDelivered}, {4, NotDelivered}};
  for (size_t i = 0; i < 4; ++i) {
    serwer.setAckStatus(acks[i].first);
    w->Memo1->insertPlainText(QString::fromUtf8("Zażółć 🙂 Жук %1").arg(i));
    QTest::keyClick(w->Memo1, Qt::Key_Return);
    ASSERT_TRUE(serwer.waitForPacket(typ80::kSendMessage, int(i) + 1));
    ASSERT_TRUE(WaitMessages(5551, i + 1));
    EXPECT_EQ(MessagesOf(5551)[i].Kind, acks[i].second) << i;
  }
  const auto sent = ggserwer::parseSendMessage80(serwer.packetsOfType(typ80::kSendMessage)[0].payload);
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->number, 5551u);
  EXPECT_TRUE(sent->html.contains(">Zażółć 🙂 Жук 0</span>")) << sent->html.constData();
  EXPECT_EQ(sent->plain, QByteArray(T("Zażółć ? ??? 0").c_str()));
  EXPECT_EQ(Utf8(MessagesOf(5551)[0].Text), "Zażółć 🙂 Жук 0");
  EXPECT_TRUE(ArchiveFile().contains("Za\xbf\xf3\xb3\xe6 &#x1F642; &#x416;&#x443;&#x43A; 0"));

  m->Outgoing().SendAddNotify(7777);
  ASSERT_TRUE(serwer.waitForPacket(ggserwer::typ::kAddNotify));
  m->Connection().Timer1Timer();
  ASSERT_TRUE(serwer.waitForPacket(ggserwer::typ::kPing));

  // Going away: not available with the description, then the server closes.
  m->Dialog->OnMouseDown(Qt::LeftButton);
  ASSERT_TRUE(serwer.waitForPacket(typ80::kNewStatus, 2));
  EXPECT_EQ(serwer.packetsOfType(typ80::kNewStatus)[1].payload.left(4), QByteArray("\x15\x40\0\0", 4));
  ASSERT_TRUE(WaitState(conn::kNiePolaczony));
  EXPECT_FALSE(m->Connection().AutoReconnect());
  EXPECT_TRUE(box.shown().empty());
}

TEST_F(TodayLoopbackTest, WhatTheServerSends) {
  Connect();
  // Statuses several to a packet, descriptions in UTF-8, a stranger's knock.
  ASSERT_TRUE(serwer.sendNotifyReply80({{5551, 0x04, "w pracy 👷"}, {5552, 0x03}, {9999, 0x02}}));
  ASSERT_TRUE(Serwer::waitFor([&] { return Contact(5552).status == 4; }));
  EXPECT_EQ(Contact(5551).status, 3);
  EXPECT_EQ(cp1250::toQString(Contact(5551).opis), QString::fromUtf8("w pracy 👷"));
  EXPECT_EQ(m->Knocks().Knocks().Count(), 1);
  ASSERT_TRUE(serwer.sendStatus80({{5551, 0x01}, {5552, 0x15, "Привет"}}));
  ASSERT_TRUE(Serwer::waitFor([&] { return Contact(5552).status == 1; }));
  EXPECT_EQ(Contact(5551).status, 0);
  EXPECT_EQ(Utf8(Contact(5552).opis), "Привет");

  // A message that waited on the server: shown and archived with the time
  // it was sent, acknowledged as the login promised, announced whole.
  const uint32_t sentAt = 1796731200;  // 2026-12-09 12:00 UTC
  const uint32_t seq = serwer.sendMessage80(5551, QString::fromUtf8("Привет 🙂 :) <b>x</b>\ndruga"),
                                            sentAt, typ80::kClassChat | typ80::kClassQueued);
  ASSERT_TRUE(WaitMessages(5551, 1));
  EXPECT_EQ(Utf8(MessagesOf(5551)[0].Text), "Привет 🙂 :) <b>x</b>\r\ndruga");
  EXPECT_EQ(MessagesOf(5551)[0].Time, sentAt);
  ASSERT_TRUE(serwer.waitForPacket(typ80::kRecvMessageAck));
  EXPECT_EQ(gg::ReadLe32(serwer.packetsOfType(typ80::kRecvMessageAck)[0].payload.constData()), seq);
  EXPECT_TRUE(serwer.awaitingRecvAck().isEmpty());
  ASSERT_EQ(tray.balloons.size(), 1u);
  EXPECT_TRUE(cp1250::toQString(tray.balloons[0].text).startsWith(QString::fromUtf8("Привет"))) << tray.balloons[0].text;
  const QByteArray archive = ArchiveFile();
  EXPECT_TRUE(archive.contains("&#x41F;&#x440;&#x438;&#x432;&#x435;&#x442; &#x1F642; ")) << archive.constData();
  EXPECT_TRUE(archive.contains("&lt;b&gt;x&lt;/b&gt;"));
  const QString stamp = QDateTime::fromSecsSinceEpoch(sentAt).toString("yyyy-MM-dd HH:mm:ss");
  EXPECT_TRUE(archive.contains(stamp.toLatin1())) << stamp.toStdString();

  // Packets the program has no use for are skipped by their length; a 2005
  // message type on this connection is no message.
  for (const uint32_t type : {0x59u, 0x5Cu, 0x2Cu, 0x44u, 0x5Bu, 0x5Au, 0x20u, 0x07u, 0x0Du, 0x0Au})
    ASSERT_TRUE(serwer.sendPacket(type, QByteArray("\x39\x30\0\0\x08\0\0\0abc", 11)));
  serwer.sendMessage80(5551, "po");
  ASSERT_TRUE(WaitMessages(5551, 2));
  EXPECT_EQ(MessagesOf(5551)[1].Text, "po");
  EXPECT_EQ(chats().Count(), 1);
  EXPECT_EQ(m->Connection().State(), conn::kPolaczony);

  // The server's list, compressed, in the 7.0 text form.
  serwer.userlist100().setGg70("Jan;;;Jaś 🙂;;;1001;;0;;0;;0;\r\n");
  serwer.userlist100().setVersion(9);
  m->Settings().NapisButon4->Click();
  ASSERT_TRUE(Serwer::waitFor([&] { return m->Contacts().FindByNumber(1001) >= 0; }))
      << (box.textsUtf8().empty() ? std::string("no box") : box.textsUtf8().back());
  EXPECT_EQ(Utf8(Contact(1001).wyswietl), "Jaś 🙂");
  EXPECT_EQ(m->Settings().ServerList().Version(), 9u);

  ASSERT_TRUE(serwer.sendDisconnecting());
  ASSERT_TRUE(Serwer::waitFor([&] { return !m->Connection().AutoReconnect(); }));
}

TEST_F(TodayLoopbackTest, AnUntrustedCertificateGetsNoLogin) {
  Trust(false);
  m->Connection().SetAutoReconnect(true);
  m->Dialog->OnMouseDown(Qt::LeftButton);
  ASSERT_TRUE(Serwer::waitFor([&] { return !box.shown().empty(); }));
  EXPECT_EQ(box.textsUtf8()[0],
            "Certyfikat serwera 127.0.0.1 nie został wystawiony przez zaufany urząd. Połączenie zostało przerwane.");
  EXPECT_EQ(m->Connection().State(), conn::kNiePolaczony);
  EXPECT_FALSE(m->Connection().AutoReconnect());
  EXPECT_LE(serwer.connectionCount(), 1) << "no other server is tried";
  EXPECT_FALSE(serwer.isLoggedIn());

  // Trusted, the user's next click logs in.
  Trust(true);
  m->Dialog->OnMouseDown(Qt::LeftButton);
  ASSERT_TRUE(WaitState(conn::kPolaczony));
  EXPECT_TRUE(m->Connection().AutoReconnect());
}
