#include <gtest/gtest.h>

#include "platform/Cp1250.h"
#include "protocol/LoginHash.h"
#include "protocol/Packets.h"
#include "protocol/Session.h"
#include "support/OneSocketNet.h"
#include "support/ScriptedMessageBox.h"

namespace {

using namespace one_socket;

struct SessionTest : ::testing::Test {
  OneSocketNet net;
  NoView view;
  Me me;
  ScriptedMessageBox box;
  ConnectionManager cm{net, view, me};
  Session session{cm, me};
  std::string password = "tajne";
  std::vector<uint32_t> contacts;

  SessionTest() {
    session.SetPassword(&password);
    session.SetContactNumbers([this] { return contacts; });
    cm.SetConnectionState(conn::kNiePolaczony);
    cm.DialogMouseDown(Sender::Dialog, true);  // a socket to send through
  }
  std::string Sent() { return std::exchange(net.socket.sent, {}); }
};

}  // namespace

TEST(PendingMessages, FirstFreeSlotThenGrowAtTheEnd) {
  PendingMessages p;
  EXPECT_EQ(p.Allocate("one"), 1u);
  EXPECT_EQ(p.Allocate("two"), 2u);
  EXPECT_EQ(p.Allocate("three"), 3u);
  EXPECT_EQ(p.Take(3), "three");
  EXPECT_EQ(p.Slots(), 2u);  // trimmed from the end
  EXPECT_EQ(p.Take(1), "one");
  EXPECT_EQ(p.Slots(), 2u);  // slot 2 still held
  EXPECT_FALSE(p.Take(1));   // a repeated acknowledgement
  EXPECT_FALSE(p.Take(0));
  EXPECT_FALSE(p.Take(9));
  EXPECT_EQ(p.Allocate("four"), 1u);  // the free slot is reused
  EXPECT_EQ(p.Allocate("five"), 3u);
}

TEST_F(SessionTest, LoginPacketFromTheIdentity) {
  session.OnWelcome(0xABCD1234);
  gg::LoginFields f;
  f.number = 1234;
  f.hash = LoginHash("tajne", 0xABCD1234);
  f.statusIndex = 2;
  f.serverPort = 8074;
  EXPECT_EQ(Sent(), gg::BuildLogin(f));

  me.status = 5;
  me.description = std::string(100, 'd');  // cut to 79 where the packet is built
  session.OnWelcome(1);
  const std::string p = Sent();
  EXPECT_EQ(gg::ReadLe32(p.data() + 4), 31u + 80u);
  EXPECT_EQ(gg::ReadLe32(p.data() + 16), 5u);
}

TEST_F(SessionTest, PromptAtEveryLoginWithoutAStoredPassword) {
  password.clear();
  int asked = 0;
  session.SetPasswordPrompt([&] {
    ++asked;
    return std::string("typed");
  });
  session.OnWelcome(7);
  session.OnWelcome(8);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(password.empty());  // never stored
  const std::string both = Sent();
  EXPECT_EQ(gg::ReadLe32(both.data() + 12), LoginHash("typed", 7));
  // An empty answer hashes to the seed.
  session.SetPasswordPrompt([] { return std::string(); });
  session.OnWelcome(99);
  EXPECT_EQ(gg::ReadLe32(Sent().data() + 12), 99u);
}

TEST_F(SessionTest, LoginOkAnnouncesContactsAndConnects) {
  session.OnLoginOk();
  EXPECT_EQ(Sent(), gg::BuildListEmpty());
  EXPECT_EQ(cm.State(), conn::kPolaczony);
  EXPECT_TRUE(cm.AutoReconnect());

  for (uint32_t i = 0; i < 250; ++i) contacts.push_back(5000 + i);
  session.SendNotifyList();
  const std::string p = Sent();
  EXPECT_EQ(gg::ReadLe32(p.data()), 0x10u);
  EXPECT_EQ(gg::ReadLe32(p.data() + 4), 1250u);
}

TEST_F(SessionTest, LoginFailedStopsRetrying) {
  cm.SetAutoReconnect(true);
  session.OnLoginFailed();
  EXPECT_FALSE(cm.AutoReconnect());
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.textsUtf8()[0], "Logowanie nie powiodło się.");
  EXPECT_EQ(box.shown()[0].kind, kOstrzezenie);
}

TEST_F(SessionTest, ChatMessagesTakePendingSlots) {
  session.SendChatMessage(12345, "hi");
  EXPECT_EQ(Sent(), gg::BuildSendMessage(12345, 1, "hi"));
  session.SendChatMessage(12345, std::string(3000, 'x'));
  EXPECT_EQ(Sent().size(), 8u + 13u + 1999u);
  EXPECT_EQ(session.Pending().Take(2)->size(), 1999u);  // kept as it went out
  EXPECT_EQ(session.Pending().Take(1), "hi");
  session.SendChatMessage(1, "again");
  EXPECT_EQ(gg::ReadLe32(Sent().data() + 12), 1u);
}
