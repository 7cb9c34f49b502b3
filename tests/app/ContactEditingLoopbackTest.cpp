// Contact editing and status notices with the main window logged in to the
// local server emulator.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "LoopbackFixture.h"
#include "ContactDialogScript.h"
#include "app/TFMain.h"
#include "app/TShape.h"
#include "contacts/view/TFPuk.h"
#include "ggserwer/Serwer.h"
#include "protocol/Packets.h"
#include "support/ScriptedMessageBox.h"
#include "ui/TButon.h"

namespace {

using ggserwer::Serwer;

struct ConnectedEditingTest : LoopbackFixture {
  ContactDialogScript script;

  void SetUp() override { StartProgram(); }
  ContactStore& store() { return m->Contacts(); }
  void Add(uint32_t numer, const char* name) {
    TKontakt k;
    k.numer = numer;
    k.wyswietl = name;
    ASSERT_TRUE(store().Add(k));
  }
  void Connect() {
    m->Dialog->OnMouseDown(Qt::LeftButton);
    ASSERT_TRUE(Serwer::waitFor([&] { return m->Connection().State() == conn::kPolaczony; }));
    ASSERT_TRUE(serwer.waitForLogin());
  }
  int Knocks() { return m->Knocks().Knocks().Count(); }
};

}  // namespace

TEST_F(ConnectedEditingTest, AddAndRemoveAreAnnouncedAtOnce) {
  Connect();
  script.Then(ContactDialogScript::Type("4242", "Nowa"));
  m->ButonPlusClick();
  ASSERT_EQ(store().Count(), 1);
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kAddNotify));
  const auto adds = serwer.packetsOfType(gg::out::kAddNotify);
  ASSERT_EQ(adds.size(), 1);
  const std::string add = adds[0].payload.toStdString();
  ASSERT_EQ(add.size(), 5u);
  EXPECT_EQ(gg::ReadLe32(add.data()), 4242u);
  EXPECT_EQ(static_cast<uint8_t>(add[4]), 3);

  // An edit tells the server nothing.
  store().SetSelected(0);
  script.Then([](TFNowy& d) {
    d.ENazwa->setText("Zmieniona");
    d.Napis1->Click();
  });
  m->ButonEdycjaClick();
  EXPECT_EQ(store().Record(0).wyswietl, "Zmieniona");

  box.answer(true);
  store().SetSelected(0);
  m->ButonMinusClick();
  EXPECT_EQ(store().Count(), 0);
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kRemoveNotify));
  const auto removes = serwer.packetsOfType(gg::out::kRemoveNotify);
  ASSERT_EQ(removes.size(), 1);
  const std::string remove = removes[0].payload.toStdString();
  ASSERT_EQ(remove.size(), 5u);
  EXPECT_EQ(gg::ReadLe32(remove.data()), 4242u);
  EXPECT_EQ(static_cast<uint8_t>(remove[4]), 3);
  EXPECT_FALSE(Serwer::waitFor([&] { return serwer.packetsOfType(gg::out::kAddNotify).size() > 1; }, 100));
  EXPECT_EQ(serwer.packetsOfType(gg::out::kAddNotify).size(), 1);  // none for the edit
}

TEST_F(ConnectedEditingTest, NothingIsSentWhileNotConnected) {
  script.Then(ContactDialogScript::Type("4242", "Nowa"));
  m->ButonPlusClick();
  box.answer(true);
  store().SetSelected(0);
  m->ButonMinusClick();
  EXPECT_EQ(store().Count(), 0);
  // The next login announces the list as it then is: empty.
  Connect();
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kListEmpty));
  EXPECT_TRUE(serwer.packetsOfType(gg::out::kAddNotify).isEmpty());
  EXPECT_TRUE(serwer.packetsOfType(gg::out::kRemoveNotify).isEmpty());
}

TEST_F(ConnectedEditingTest, NotifyReplyUpdatesContactsAndKnocksOnceForAStranger) {
  Add(111, "Ala");
  Add(222, "Bea");
  Connect();
  ggserwer::StatusEntry stranger(333, 0x02);
  stranger.flags = 0x40;  // flags in the top byte are not part of the number
  ASSERT_TRUE(serwer.sendNotifyReply({ggserwer::StatusEntry(111, 0x04, "w pracy"),
                                      ggserwer::StatusEntry(222, 0x03), stranger}));
  ASSERT_TRUE(Serwer::waitFor([&] { return Knocks() == 1; }));
  const TKontakt& ala = store().Record(store().FindByNumber(111));
  const TKontakt& bea = store().Record(store().FindByNumber(222));
  EXPECT_EQ(ala.status, 3);
  EXPECT_EQ(ala.opis, "w pracy");
  EXPECT_EQ(bea.status, 4);
  EXPECT_EQ(m->Knocks().Knocks().At(0), "333");
  EXPECT_FALSE(m->ButPuk->isHidden());
  EXPECT_EQ(m->ButPuk->toolTip(), QString::fromUtf8("Masz pukanie od 1 osoby"));

  // Again, and as a single status change: still one entry. The own number
  // is no knock.
  ASSERT_TRUE(serwer.sendNotifyReply({ggserwer::StatusEntry(333, 0x01), ggserwer::StatusEntry(kOwn, 0x02)}));
  ASSERT_TRUE(serwer.sendStatusChange(ggserwer::StatusEntry(333, 0x02)));
  ASSERT_TRUE(serwer.sendStatusChange(ggserwer::StatusEntry(222, 0x01)));
  ASSERT_TRUE(Serwer::waitFor([&] { return store().Record(store().FindByNumber(222)).status == 0; }));
  EXPECT_EQ(Knocks(), 1);
  // A second stranger by a status change.
  ASSERT_TRUE(serwer.sendStatusChange(ggserwer::StatusEntry(444, 0x02)));
  ASSERT_TRUE(Serwer::waitFor([&] { return Knocks() == 2; }));
  EXPECT_EQ(m->Knocks().Knocks().At(1), "444");
  EXPECT_EQ(m->ButPuk->toolTip(), QString::fromUtf8("Masz pukanie od 2 osób"));
  EXPECT_EQ(store().Count(), 2);
}
