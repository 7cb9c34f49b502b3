// The incoming events against fakes of everything they reach: the contacts,
// the chat windows, the archive, the sound and the tray.

#include <gtest/gtest.h>

#include <map>

#include "platform/Cp1250.h"
#include "protocol/Balloon.h"
#include "protocol/IncomingEvents.h"
#include "protocol/Packets.h"
#include "protocol/Session.h"
#include "support/RecordingTray.h"
#include "support/OneSocketNet.h"
#include "support/ScriptedMessageBox.h"

namespace {

using namespace one_socket;

struct FakeRoster : IncomingEvents::Roster {
  std::map<uint32_t, std::string> names;
  struct Applied {
    uint32_t number;
    uint8_t index;
    std::string description;
    bool operator==(const Applied&) const = default;
  };
  std::vector<Applied> applied;
  void ApplyStatus(uint32_t n, uint8_t i, const std::string& d) override { applied.push_back({n, i, d}); }
  std::optional<std::string> DisplayName(uint32_t n) const override {
    const auto it = names.find(n);
    return it == names.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
};

struct Shown {
  std::string text;
  uint32_t time;
  uint8_t state;
  bool operator==(const Shown&) const = default;
};

struct FakeChats : IncomingEvents::Chats {
  struct Chat {
    uint32_t number;
    bool visible = false;
    bool nowy = false;
    std::vector<Shown> messages;
  };
  std::vector<Chat> chats;
  int FindOrCreateChat(uint32_t n) override {
    const int found = FindChat(n);
    if (found >= 0) return found;
    chats.push_back({n});
    return int(chats.size()) - 1;
  }
  int FindChat(uint32_t n) const override {
    for (size_t i = 0; i < chats.size(); ++i)
      if (chats[i].number == n) return int(i);
    return -1;
  }
  bool RoomForChat(uint32_t) const override { return true; }
  void AddMessage(int c, const std::string& t, uint32_t time, uint8_t s) override {
    chats[c].messages.push_back({t, time, s});
  }
  bool ChatVisible(int c) const override { return chats[c].visible; }
  void SetNowy(int c, bool nowy) override { chats[c].nowy = nowy; }
};

struct FakeArchive : IncomingEvents::ArchiveSink {
  std::vector<std::pair<uint32_t, std::string>> entries;
  void ArchiveMessage(uint32_t n, const std::string& t, uint32_t) override { entries.emplace_back(n, t); }
};

std::string Received(uint32_t sender, uint32_t time, const std::string& text) {
  // The text ends at its zero byte, whatever follows it.
  return Le32(sender) + Le32(0) + Le32(time) + Le32(8) + text + std::string(1, '\0') + "junk";
}

std::string Ack(uint32_t status, uint32_t recipient, uint32_t sequence) {
  return Le32(status) + Le32(recipient) + Le32(sequence);
}

constexpr uint32_t kNow = 1796745600;  // the local clock of the test

struct IncomingEventsTest : ::testing::Test {
  OneSocketNet net;
  NoView view;
  Me me;
  ScriptedMessageBox box;
  ConnectionManager cm{net, view, me};
  Session session{cm, me};
  FakeRoster roster;
  FakeChats chats;
  FakeArchive archive;
  CountingSound sound;
  RecordingTray tray;
  IncomingEvents events{cm, session, {roster, chats, archive, sound, tray}, [] { return kNow; }};

  IncomingEventsTest() {
    roster.names[5551] = T("Zosia");
    cm.SetConnectionState(conn::kNiePolaczony);
    cm.DialogMouseDown(Sender::Dialog, true);  // a socket to send through
  }
  std::string Sent() { return std::exchange(net.socket.sent, {}); }
};

}  // namespace

TEST_F(IncomingEventsTest, MessagesOpenOrFlagTheirWindowAndAreArchivedSoundAndBalloonOnlyWhenHidden) {
  const std::string text = T("Cześć, jak leci? Dawno się nie widzieliśmy");
  events.DispatchPacket(gg::in::kRecvMsg, Received(5551, 1796731200, text));
  ASSERT_EQ(chats.chats.size(), 1u);
  EXPECT_EQ(chats.chats[0].number, 5551u);
  EXPECT_EQ(chats.chats[0].messages, (std::vector<Shown>{{text, 1796731200, delivery::kReceived}}));
  EXPECT_TRUE(chats.chats[0].nowy);
  EXPECT_EQ(archive.entries, (std::vector<std::pair<uint32_t, std::string>>{{5551, text}}));
  EXPECT_EQ(sound.plays, 1);
  ASSERT_EQ(tray.balloons.size(), 1u);
  EXPECT_EQ(tray.balloons[0].title, T("Zosia"));
  EXPECT_EQ(tray.balloons[0].text, T("Cześć,..."));
  EXPECT_EQ(tray.balloons[0].icon, Tray::BalloonIcon::kInformation);
  EXPECT_EQ(tray.balloons[0].timeoutMs, 10000);

  // The same sender, same window; a stranger is announced by number.
  events.DispatchPacket(gg::in::kRecvMsg, Received(5551, 1796731300, "a"));
  events.DispatchPacket(gg::in::kRecvMsg, Received(777, 1796731400, "ej"));
  ASSERT_EQ(chats.chats.size(), 2u);
  EXPECT_EQ(chats.chats[0].messages.size(), 2u);
  EXPECT_EQ(sound.plays, 3);
  ASSERT_EQ(tray.balloons.size(), 3u);
  EXPECT_EQ(tray.balloons[2].title, "777");
  EXPECT_EQ(tray.balloons[2].text, "ej");

  // A visible window is seen already: no flag, no sound, no balloon.
  chats.chats[0].visible = true;
  chats.chats[0].nowy = false;
  events.DispatchPacket(gg::in::kRecvMsg, Received(5551, 1796731500, "widzisz?"));
  EXPECT_EQ(chats.chats[0].messages.size(), 3u);
  EXPECT_FALSE(chats.chats[0].nowy);
  EXPECT_EQ(sound.plays, 3);
  EXPECT_EQ(tray.balloons.size(), 3u);
  EXPECT_EQ(archive.entries.size(), 4u);

  // Too short for its fixed fields, or from a number with the top bit (the
  // archive's mark of the user's own messages): nothing at all.
  events.DispatchPacket(gg::in::kRecvMsg, Le32(5551) + Le32(0));
  events.DispatchPacket(gg::in::kRecvMsg, Received(0x80000001u, 1796731600, "to ja, ty"));
  EXPECT_EQ(archive.entries.size(), 4u);
  EXPECT_EQ(chats.chats.size(), 2u);
}

TEST_F(IncomingEventsTest, AcknowledgementsShowTheirStateOnceAndAreAlwaysArchivedAsOwn) {
  chats.FindOrCreateChat(5551);
  session.SendChatMessage(5551, "raz");
  session.SendChatMessage(5551, "dwa");
  session.SendChatMessage(5551, "trzy");
  session.SendChatMessage(888, "do zamknietego");  // its window was closed
  events.DispatchPacket(gg::in::kSendAck, Ack(2, 5551, 1));
  events.DispatchPacket(gg::in::kSendAck, Ack(3, 5551, 2));
  events.DispatchPacket(gg::in::kSendAck, Ack(6, 5551, 3));
  events.DispatchPacket(gg::in::kSendAck, Ack(2, 888, 4));
  // Repeated, unknown or short: ignored.
  events.DispatchPacket(gg::in::kSendAck, Ack(2, 5551, 1));
  events.DispatchPacket(gg::in::kSendAck, Ack(2, 5551, 9));
  events.DispatchPacket(gg::in::kSendAck, Ack(2, 5551, 0));
  events.DispatchPacket(gg::in::kSendAck, Le32(2) + Le32(5551));

  ASSERT_EQ(chats.chats.size(), 1u) << "no window is made for an acknowledgement";
  EXPECT_EQ(chats.chats[0].messages, (std::vector<Shown>{{"raz", kNow, delivery::kDelivered},
                                                         {"dwa", kNow, delivery::kQueued},
                                                         {"trzy", kNow, delivery::kNotDelivered}}));
  EXPECT_EQ(archive.entries, (std::vector<std::pair<uint32_t, std::string>>{
                                 {5551 | kOwnMessageBit, "raz"},
                                 {5551 | kOwnMessageBit, "dwa"},
                                 {5551 | kOwnMessageBit, "trzy"},
                                 {888 | kOwnMessageBit, "do zamknietego"}}));
  EXPECT_FALSE(chats.chats[0].nowy);
  EXPECT_EQ(sound.plays, 0);
  EXPECT_EQ(session.Pending().Slots(), 0u);
}

TEST_F(IncomingEventsTest, WhatIsPendingWhenTheConnectionEndsIsShownNotDeliveredAndArchived) {
  chats.FindOrCreateChat(5551);
  session.SendChatMessage(5551, "pierwsza");
  session.SendChatMessage(5551, "druga");
  session.SendChatMessage(888, "bez okna");
  events.DispatchPacket(gg::in::kSendAck, Ack(2, 5551, 2));
  events.AbandonPending();

  EXPECT_EQ(chats.chats[0].messages, (std::vector<Shown>{{"druga", kNow, delivery::kDelivered},
                                                         {"pierwsza", kNow, delivery::kNotDelivered}}));
  EXPECT_EQ(archive.entries, (std::vector<std::pair<uint32_t, std::string>>{
                                 {5551 | kOwnMessageBit, "druga"},
                                 {5551 | kOwnMessageBit, "pierwsza"},
                                 {888 | kOwnMessageBit, "bez okna"}}));
  EXPECT_EQ(chats.chats.size(), 1u);
  EXPECT_EQ(session.Pending().Slots(), 0u);

  // The next connection starts afresh: sequence 1, and a late
  // acknowledgement of the old one finds nothing.
  Sent();
  session.SendChatMessage(5551, "nowa");
  EXPECT_EQ(Sent(), gg::BuildSendMessage(5551, 1, "nowa"));
  events.AbandonPending();
  events.DispatchPacket(gg::in::kSendAck, Ack(2, 5551, 1));
  EXPECT_EQ(archive.entries.size(), 4u);
}

TEST_F(IncomingEventsTest, StatusesReachTheContactsAndTheUserlistReplyItsHandler) {
  std::string reply;
  events.SetUserlistHandler([&](const std::string& p) { reply = p; });
  // A notify reply of two entries, the first with flags in the top byte of
  // its number, the second with a description; then a status change.
  std::string notify = Le32(0x40000000u | 5551) + std::string(1, '\x02') + std::string(9, '\0') +
                       Le32(222) + std::string(1, '\x04') + std::string(9, '\0') + "\x03" "abc";
  events.DispatchPacket(gg::in::kNotifyReply, notify);
  events.DispatchPacket(gg::in::kStatus, Le32(777) + std::string(1, '\x01') + std::string(9, '\0'));
  EXPECT_EQ(roster.applied, (std::vector<FakeRoster::Applied>{{5551, 2, ""}, {222, 3, "abc"}, {777, 0, ""}}));

  events.DispatchPacket(gg::in::kUserlistReply, std::string("\x06" "a;b", 4));
  EXPECT_EQ(reply, std::string("\x06" "a;b", 4));

  cm.SetAutoReconnect(true);
  events.DispatchPacket(gg::in::kDisconnecting, "");
  EXPECT_FALSE(cm.AutoReconnect());
  events.DispatchPacket(0x77, "nic");  // unknown types change nothing
  EXPECT_EQ(roster.applied.size(), 3u);
}

TEST(BalloonTest, TextIsTheStartOfTheMessageAndTitleTheSender) {
  EXPECT_EQ(BalloonText(""), "");
  EXPECT_EQ(BalloonText("trzynascieznk"), "trzynascieznk");        // 13: whole
  EXPECT_EQ(BalloonText("a b c d e f gh"), "a...");                  // 14, space at 2
  EXPECT_EQ(BalloonText("abcde fghijklmnopqrs"), "abcde...");        // space at 6
  EXPECT_EQ(BalloonText("abcdefghijklmnopqrst"), "abcdefghij...");   // no space
  EXPECT_EQ(BalloonText("abcdefghij klmnopqrs"), "abcdefghij...");   // space at 11
  EXPECT_EQ(BalloonText("abcdefghijk lmnopqrs"), "abcdefghij...");   // space at 12: cut
  EXPECT_EQ(BalloonText(" abcdefghijklmnopqr"), "...");              // space at 1
  EXPECT_EQ(BalloonText(T("Zażółć gęślą jaźń")), T("Zażółć..."));    // one byte a letter

  EXPECT_EQ(BalloonTitle(T("Łucja"), 5551), T("Łucja"));
  EXPECT_EQ(BalloonTitle(std::nullopt, 4000000000u), "4000000000");
  EXPECT_EQ(BalloonTitle(std::string(80, 'x'), 1), std::string(63, 'x'));
}
