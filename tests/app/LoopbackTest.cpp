// The main window with the real transport against the local server emulator,
// both in this thread: the client's lookup pumps the event loop for both.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <functional>

#include "LoopbackFixture.h"
#include "app/TFMain.h"
#include "app/TFStat.h"
#include "app/TShape.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"
#include "protocol/LoginHash.h"
#include "protocol/Packets.h"
#include "support/ScriptedMessageBox.h"
#include "ui/TButon.h"
#include "ui/TFBoks.h"
#include "ui/TNapisButon.h"

namespace {

using ggserwer::Serwer;

struct LoopbackTest : LoopbackFixture {
  void SetUp() override { StartProgram(); }
  void Click(Qt::MouseButton b = Qt::LeftButton) { m->Dialog->OnMouseDown(b); }
  uint8_t State() { return m->Connection().State(); }
  bool WaitState(uint8_t s, int ms = 5000) {
    return Serwer::waitFor([&] { return State() == s; }, ms);
  }
};

}  // namespace

TEST_F(LoopbackTest, LookupLoginAndConnectedState) {
  Click();
  ASSERT_EQ(serwer.lookupTargets().size(), 1);
  const QUrl target(QString::fromLatin1(serwer.lookupTargets()[0]));
  EXPECT_EQ(target.path(), "/appsvc/appmsg4.asp");
  const QUrlQuery q(target);
  EXPECT_EQ(q.queryItemValue("fmnumber"), "123456");
  EXPECT_EQ(q.queryItemValue("version"), "6,0,0,147");
  EXPECT_EQ(q.queryItemValue("lastmsg"), "0");
  EXPECT_EQ(m->DiaLab->text(), QString::fromUtf8("trwa łączenie"));
  EXPECT_FALSE(m->Connection().AutoReconnect());

  ASSERT_TRUE(serwer.waitForLogin());
  ASSERT_TRUE(WaitState(conn::kPolaczony));
  EXPECT_EQ(m->DiaLab->text(), QString::fromUtf8("połączony"));
  EXPECT_TRUE(m->ButonPlus->isEnabled());
  EXPECT_TRUE(m->Connection().AutoReconnect());

  const auto logins = serwer.packetsOfType(gg::out::kLogin);
  ASSERT_EQ(logins.size(), 1);
  const std::string login = logins[0].payload.toStdString();
  ASSERT_EQ(login.size(), 31u);
  EXPECT_EQ(gg::ReadLe32(login.data()), 123456u);
  EXPECT_EQ(gg::ReadLe32(login.data() + 4), LoginHash("haslo", serwer.seed()));
  EXPECT_EQ(gg::ReadLe32(login.data() + 8), 20u);  // "nie ma mnie" logs in invisible
  EXPECT_EQ(gg::ReadLe16(login.data() + 21), serwer.ggPort());
  EXPECT_EQ(gg::ReadLe16(login.data() + 27), serwer.ggPort());
  // No contacts yet: the list is announced empty.
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kListEmpty));
}

TEST_F(LoopbackTest, PingOnlyWhileConnected) {
  m->Connection().Timer1Timer();
  Click();
  m->Connection().Timer1Timer();  // connecting: nothing
  ASSERT_TRUE(WaitState(conn::kPolaczony));
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kListEmpty));
  EXPECT_TRUE(serwer.packetsOfType(gg::out::kPing).isEmpty());
  m->Connection().Timer1Timer();
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kPing));
  const auto pings = serwer.packetsOfType(gg::out::kPing);
  ASSERT_EQ(pings.size(), 1);
  EXPECT_TRUE(pings[0].payload.isEmpty());
}

TEST_F(LoopbackTest, FailedLookupAsksUnlessTheTimerAsked) {
  serwer.setLookupMode(ggserwer::LookupMode::Http503);
  box.answer(false);
  Click();
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.textsUtf8()[0],
            "Próba połączenia nie powiodła się. Czy chcesz spróbować ponownie?");
  EXPECT_EQ(State(), conn::kNiePolaczony);
  EXPECT_EQ(m->DiaLab->text(), QString::fromUtf8("nie połączony"));

  box.clear();
  serwer.setLookupMode(ggserwer::LookupMode::Close);
  m->Connection().SetAutoReconnect(true);
  m->Connection().TimerUrTimer();
  EXPECT_TRUE(box.shown().empty());
  EXPECT_TRUE(m->Connection().AutoReconnect());
  // Qt sends a request again once when the connection closes unanswered.
  EXPECT_GE(serwer.lookupTargets().size(), 2);
}

// "Down" is a notice; "no address" while the server is serviced is a failed
// connection, retried without a word until the server is back.
TEST_F(LoopbackTest, UnavailableServerIsANoticeAServerInMaintenanceIsWaitedFor) {
  serwer.setLookupMode(ggserwer::LookupMode::Unavailable);
  Click();
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.textsUtf8()[0], "Serwer GG jest aktualnie niedostępny.");
  EXPECT_EQ(box.shown()[0].kind, kOstrzezenie);
  EXPECT_EQ(State(), conn::kNiePolaczony);

  box.clear();
  m->TimerUr.setInterval(50);
  m->Connection().SetAutoReconnect(true);
  serwer.setLookupMode(ggserwer::LookupMode::NotOperating);
  Click();
  EXPECT_EQ(State(), conn::kNiePolaczony);
  ASSERT_TRUE(Serwer::waitFor([&] { return serwer.lookupTargets().size() >= 4; }, 3000)) << "no retries";
  EXPECT_EQ(serwer.connectionCount(), 0);
  serwer.setLookupMode(ggserwer::LookupMode::Normal);
  ASSERT_TRUE(WaitState(conn::kPolaczony)) << "not back with the server";
  EXPECT_TRUE(box.shown().empty());
}

TEST_F(LoopbackTest, DroppedConnectionIsRetriedByTheTimer) {
  m->TimerUr.setInterval(50);
  Click();
  ASSERT_TRUE(WaitState(conn::kPolaczony));
  serwer.abortConnection();
  ASSERT_TRUE(WaitState(conn::kNiePolaczony));
  EXPECT_EQ(m->DiaLab->text(), QString::fromUtf8("nie połączony"));
  // Automatic reconnection stayed on: the timer logs in again by itself.
  ASSERT_TRUE(serwer.waitForConnection(2));
  ASSERT_TRUE(WaitState(conn::kPolaczony));
  EXPECT_TRUE(box.shown().empty());

  // A click on the marker stops the retries.
  serwer.abortConnection();
  m->NaTajmer->OnMouseDown(Qt::RightButton);
  ASSERT_TRUE(WaitState(conn::kNiePolaczony));
  EXPECT_FALSE(Serwer::waitFor([&] { return serwer.connectionCount() > 2; }, 300)) << "the timer connected again";
  EXPECT_EQ(serwer.connectionCount(), 2);
}

TEST_F(LoopbackTest, UserDisconnectTellsTheServerAndStops) {
  m->SetDescription(T("na chwilę"));
  m->ShowOwnStatus(3);  // shown as "dostępny" until the disconnect
  Click();
  ASSERT_TRUE(WaitState(conn::kPolaczony));
  Click(Qt::RightButton);  // never does anything
  EXPECT_EQ(State(), conn::kPolaczony);
  Click();
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kNewStatus));
  const auto status = serwer.packetsOfType(gg::out::kNewStatus);
  EXPECT_EQ(gg::ReadLe32(status[0].payload.constData()), 21u);
  EXPECT_EQ(status[0].payload.mid(4), QByteArray("na chwil\xEA\0", 10));
  ASSERT_TRUE(WaitState(conn::kNiePolaczony));
  EXPECT_FALSE(m->Connection().AutoReconnect());
  EXPECT_EQ(m->OwnStatus(), 1);
  // The display says what the state is.
  EXPECT_EQ(m->LStat->text(), QString::fromUtf8("nie ma mnie"));
  EXPECT_EQ(m->butStatus->Numer(), 1);
}

TEST_F(LoopbackTest, WrongPasswordStopsAutomaticReconnection) {
  m->SetIdentity(123456, "zle");
  m->TimerUr.setInterval(50);
  m->Connection().SetAutoReconnect(true);
  m->Connection().TimerUrTimer();
  ASSERT_TRUE(Serwer::waitFor([&] { return !box.shown().empty(); }));
  EXPECT_EQ(box.textsUtf8()[0], "Logowanie nie powiodło się.");
  EXPECT_EQ(box.shown()[0].kind, kOstrzezenie);
  EXPECT_FALSE(m->Connection().AutoReconnect());
  ASSERT_TRUE(WaitState(conn::kNiePolaczony));
  EXPECT_FALSE(Serwer::waitFor([&] { return serwer.connectionCount() > 1; }, 300)) << "the timer connected again";
  EXPECT_EQ(serwer.connectionCount(), 1);
}

TEST_F(LoopbackTest, HostileBytesEndTheConnectionCleanly) {
  TKontakt ala;
  ala.numer = 222;
  ala.wyswietl = "Ala";
  ASSERT_TRUE(m->Contacts().Add(ala));
  Click();
  ASSERT_TRUE(WaitState(conn::kPolaczony));
  m->Contacts().ApplyStatus(222, 2, "", 123456);
  ASSERT_EQ(m->Contacts().Record(0).status, 2);
  std::string huge;
  gg::AppendLe32(huge, 0x0A);
  gg::AppendLe32(huge, 0xFFFFFFF0u);
  serwer.sendRaw(QByteArray::fromStdString(gg::BuildPacket(0x0F, "short") + huge + "junk"));
  ASSERT_TRUE(WaitState(conn::kNiePolaczony));
  EXPECT_TRUE(serwer.waitForDisconnect());
  EXPECT_EQ(m->Contacts().Record(0).status, 0);  // everyone unavailable again
}

TEST_F(LoopbackTest, WithoutAStoredPasswordTheUserIsAskedAtEveryLogin) {
  m->SetIdentity(123456, "");
  m->TimerUr.setInterval(50);
  // The user answers every prompt that comes up, the first time wrongly.
  QStringList answers = {"zle", "haslo", "haslo"};
  int prompts = 0;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* boks = qobject_cast<TFBoks*>(w);
      if (!boks || !boks->isVisible() || boks->modalResult() != kMrNone) continue;
      ++prompts;
      boks->Et->setText(answers.value(prompts - 1));
      QTest::keyClick(boks->Et, Qt::Key_Return);
    }
  });
  user.start(20);

  Click();
  ASSERT_TRUE(Serwer::waitFor([&] { return !box.shown().empty(); }));
  EXPECT_EQ(box.textsUtf8()[0], "Logowanie nie powiodło się.");
  EXPECT_EQ(prompts, 1);
  ASSERT_TRUE(WaitState(conn::kNiePolaczony));

  Click();
  ASSERT_TRUE(WaitState(conn::kPolaczony));
  EXPECT_EQ(prompts, 2);
  const auto login = serwer.packetsOfType(gg::out::kLogin);
  ASSERT_EQ(login.size(), 1);
  EXPECT_EQ(gg::ReadLe32(login[0].payload.constData() + 4), LoginHash("haslo", serwer.seed()));

  // An automatic reconnection asks again: the typed password was not kept.
  serwer.abortConnection();
  ASSERT_TRUE(Serwer::waitFor([&] { return serwer.connectionCount() == 3 && serwer.isLoggedIn(); }));
  EXPECT_EQ(prompts, 3);
  EXPECT_EQ(m->Password(), "");
  m->Connection().SetAutoReconnect(false);
}

namespace {

// The status button, and the dialog answered once it is up.
void ChooseStatus(TFMain& m, std::function<void(TFStat&)> user) {
  QTimer::singleShot(0, [&] {
    if (m.FStat->isVisible()) user(*m.FStat);
    if (m.FStat->isVisible()) m.FStat->close();
  });
  QTest::mouseClick(m.butStatus, Qt::LeftButton, {}, m.butStatus->rect().center());
  QCoreApplication::processEvents();
}

}  // namespace

TEST_F(LoopbackTest, ChoosingAStatusWhileNotConnectedConnectsWithIt) {
  ChooseStatus(*m, [](TFStat& d) {
    QTest::keyClicks(d.Edit1, "abc");
    Press(d.Buton2);
  });
  EXPECT_EQ(m->OwnStatus(), 5);
  ASSERT_TRUE(serwer.waitForLogin());
  ASSERT_TRUE(WaitState(conn::kPolaczony));
  const auto logins = serwer.packetsOfType(gg::out::kLogin);
  ASSERT_EQ(logins.size(), 1);
  const QByteArray login = logins[0].payload;
  EXPECT_EQ(gg::ReadLe32(login.constData() + 8), 5u);
  EXPECT_EQ(login.mid(31), QByteArray("abc\0", 4));
  EXPECT_TRUE(serwer.packetsOfType(gg::out::kNewStatus).isEmpty());  // the login carried it
}

TEST_F(LoopbackTest, ChoosingAStatusWhileConnectedSendsItAndStaysConnected) {
  Click();
  ASSERT_TRUE(WaitState(conn::kPolaczony));
  ChooseStatus(*m, [](TFStat& d) {
    QTest::keyClicks(d.Edit1, "abc");
    Press(d.Buton1);
  });
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kNewStatus));
  auto sent = serwer.packetsOfType(gg::out::kNewStatus);
  EXPECT_EQ(sent[0].payload, QByteArray("\x04\0\0\0abc\0", 8));
  EXPECT_EQ(m->LStat->text(), QString::fromUtf8("dostępny"));

  // "nie ma mnie" goes out invisible, and without the description once the
  // box is unchecked.
  ChooseStatus(*m, [](TFStat& d) {
    EXPECT_EQ(d.Text(), "abc");
    d.CheckBox1->setChecked(false);
    Press(d.Buton3);
  });
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kNewStatus, 2));
  sent = serwer.packetsOfType(gg::out::kNewStatus);
  ASSERT_EQ(sent.size(), 2);
  EXPECT_EQ(sent[1].payload, QByteArray("\x14\0\0\0", 4));
  EXPECT_EQ(m->Description(), "");
  EXPECT_FALSE(Serwer::waitFor([&] { return State() != conn::kPolaczony || serwer.connectionCount() > 1; }, 100));
  EXPECT_EQ(State(), conn::kPolaczony);
  EXPECT_EQ(serwer.connectionCount(), 1);
}
