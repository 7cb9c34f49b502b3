#include <gtest/gtest.h>

#include "protocol/Packets.h"
#include "support/OneSocketNet.h"

using namespace gg;
using one_socket::Le32;

namespace {
std::string Entry(uint32_t number, uint8_t code) {
  std::string e = Le32(number);
  e += static_cast<char>(code);
  e += std::string(9, '\x7F');  // address, port, version, image size, reserved
  return e;
}
}  // namespace

TEST(Packets, LoginWithoutAndWithDescription) {
  LoginFields f;
  f.number = 123456;
  f.hash = 0xA1B2C3D4;
  f.statusIndex = 0;
  f.serverPort = 8074;
  const std::string p = BuildLogin(f);
  ASSERT_EQ(p.size(), 8u + 31u);
  EXPECT_EQ(ReadLe32(p.data()), 0x15u);
  EXPECT_EQ(ReadLe32(p.data() + 4), 31u);
  const char* q = p.data() + 8;
  EXPECT_EQ(ReadLe32(q), 123456u);
  EXPECT_EQ(ReadLe32(q + 4), 0xA1B2C3D4u);
  EXPECT_EQ(ReadLe32(q + 8), 20u);  // not available logs in invisible
  EXPECT_EQ(ReadLe32(q + 12), 0x21u);
  EXPECT_EQ(q[16], 0);
  EXPECT_EQ(ReadLe32(q + 17), 0u);
  EXPECT_EQ(ReadLe16(q + 21), 8074);
  EXPECT_EQ(ReadLe32(q + 23), 0u);
  EXPECT_EQ(ReadLe16(q + 27), 8074);
  EXPECT_EQ(static_cast<unsigned char>(q[29]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(q[30]), 0xBE);

  f.statusIndex = 3;
  f.description = "abc";
  const std::string d = BuildLogin(f);
  ASSERT_EQ(d.size(), 8u + 35u);
  EXPECT_EQ(ReadLe32(d.data() + 4), 35u);
  EXPECT_EQ(ReadLe32(d.data() + 16), 4u);
  EXPECT_EQ(d.substr(8 + 31), std::string("abc\0", 4));

  // A description is sent only with a status that has one.
  f.statusIndex = 2;
  EXPECT_EQ(ReadLe32(BuildLogin(f).data() + 4), 31u);
}

TEST(Packets, DescriptionsAreCutTo79Bytes) {
  const std::string longText(200, 'x');
  const std::string s = BuildNewStatus(5, false, longText);
  EXPECT_EQ(ReadLe32(s.data() + 4), 4u + 79u + 1u);
  EXPECT_EQ(s.back(), '\0');
  LoginFields f;
  f.statusIndex = 1;
  f.description = longText;
  EXPECT_EQ(ReadLe32(BuildLogin(f).data() + 4), 31u + 80u);
}

TEST(Packets, NewStatus) {
  std::string s = BuildNewStatus(3, true, "abc");
  EXPECT_EQ(s, BuildPacket(out::kNewStatus, Le32(4) + std::string("abc\0", 4)));
  s = BuildNewStatus(3, true, "");
  EXPECT_EQ(ReadLe32(s.data() + 4), 5u);  // the zero byte alone
  EXPECT_EQ(BuildNewStatus(0, true, "ignored"), BuildPacket(out::kNewStatus, Le32(20)));
  EXPECT_EQ(BuildNewStatus(1, false, "x"), BuildPacket(out::kNewStatus, Le32(21) + "x" + '\0'));
}

TEST(Packets, SendMessageAndNotifyPackets) {
  EXPECT_EQ(BuildSendMessage(12345, 1, "hi"),
            Le32(0x0B) + Le32(15) + Le32(12345) + Le32(1) + Le32(8) + std::string("hi\0", 3));
  EXPECT_EQ(ReadLe32(BuildSendMessage(1, 1, std::string(5000, 'm')).data() + 4), 1999u + 13u);

  EXPECT_EQ(BuildAddNotify(7), Le32(0x0D) + Le32(5) + Le32(7) + '\x03');
  EXPECT_EQ(BuildRemoveNotify(7), Le32(0x0E) + Le32(5) + Le32(7) + '\x03');
  EXPECT_EQ(BuildPing(), Le32(0x08) + Le32(0));
  EXPECT_EQ(BuildListEmpty(), Le32(0x12) + Le32(0));

  std::vector<uint32_t> numbers;
  for (uint32_t i = 1; i <= 250; ++i) numbers.push_back(1000 + i);
  const std::string list = BuildNotifyList(numbers);
  ASSERT_EQ(ReadLe32(list.data() + 4), 1250u);
  EXPECT_EQ(ReadLe32(list.data() + 8), 1001u);
  EXPECT_EQ(list[12], 3);
  EXPECT_EQ(ReadLe32(list.data() + 8 + 5 * 249), 1250u);
}

TEST(Packets, UserlistRequests) {
  EXPECT_EQ(BuildUserlistRequest(kUserlistGet, "ignored"), Le32(0x16) + Le32(1) + '\x02');
  EXPECT_EQ(BuildUserlistRequest(kUserlistPut, ""), Le32(0x16) + Le32(2) + std::string(2, '\0'));
  const std::string big = BuildUserlistRequest(kUserlistPutMore, std::string(3000, 'a'));
  EXPECT_EQ(ReadLe32(big.data() + 4), 2046u + 2u);
  EXPECT_EQ(big[8], 1);
}

TEST(Packets, ShortPayloadsAreRefused) {
  EXPECT_FALSE(ParseWelcome("abc"));
  EXPECT_EQ(*ParseWelcome(Le32(0xCAFEBABE)), 0xCAFEBABEu);
  EXPECT_FALSE(ParseSendAck(std::string(11, '\0')));
  EXPECT_FALSE(ParseReceivedMessage(std::string(15, '\0')));
  EXPECT_FALSE(ParseStatusChange(std::string(13, '\0')));
  EXPECT_FALSE(ParseUserlistReply(""));
  EXPECT_TRUE(ParseNotifyReply(std::string(13, '\0')).empty());
}

TEST(Packets, ReceivedMessageAndAck) {
  const auto ack = ParseSendAck(Le32(2) + Le32(555) + Le32(3));
  ASSERT_TRUE(ack);
  EXPECT_EQ(ack->status, 2u);
  EXPECT_EQ(ack->recipient, 555u);
  EXPECT_EQ(ack->sequence, 3u);

  auto m = ParseReceivedMessage(Le32(42) + Le32(9) + Le32(1700000000) + Le32(8) +
                                std::string("hello\0junk", 10));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->sender, 42u);
  EXPECT_EQ(m->time, 1700000000u);
  EXPECT_EQ(m->text, "hello");
  // Without its zero byte the text ends with the payload.
  m = ParseReceivedMessage(Le32(42) + Le32(9) + Le32(1) + Le32(8) + "tail");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->text, "tail");
}

TEST(Packets, StatusChangeDescriptions) {
  auto e = ParseStatusChange(Entry(0x7F000000u | 4321, 4));
  ASSERT_TRUE(e);
  EXPECT_EQ(e->number, 4321u);  // the flags of the top byte are masked off
  EXPECT_EQ(e->code, 4);
  EXPECT_EQ(e->description, "");
  e = ParseStatusChange(Entry(1, 4) + "opis:)");
  EXPECT_EQ(e->description, "opis:)");
  // A zero byte and a return time may follow the description.
  e = ParseStatusChange(Entry(1, 4) + std::string("wracam\0\x10\x20\x30\x40", 11));
  EXPECT_EQ(e->description, "wracam");
}

TEST(Packets, NotifyReplyEntries) {
  const std::string payload = Entry(11, 2) + Entry(22, 4) + '\x05' + "abcde" + Entry(33, 1);
  const auto entries = ParseNotifyReply(payload);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].number, 11u);
  EXPECT_EQ(entries[0].description, "");
  EXPECT_EQ(entries[1].number, 22u);
  EXPECT_EQ(entries[1].description, "abcde");
  EXPECT_EQ(entries[2].number, 33u);
  EXPECT_EQ(entries[2].code, 1);
  EXPECT_EQ(entries[2].description, "");
}

TEST(Packets, BrokenNotifyRepliesKeepTheCompleteEntries) {
  // A truncated last entry.
  EXPECT_EQ(ParseNotifyReply(Entry(1, 2) + Entry(2, 2).substr(0, 10)).size(), 1u);
  // A description length running past the payload.
  auto entries = ParseNotifyReply(Entry(1, 2) + Entry(2, 5) + '\x20' + "short");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].number, 1u);
  // The length byte itself missing.
  EXPECT_EQ(ParseNotifyReply(Entry(1, 2) + Entry(2, 21)).size(), 1u);
  // A description that ends at a zero byte inside its length.
  entries = ParseNotifyReply(Entry(1, 21) + '\x06' + std::string("ab\0xyz", 6) + Entry(2, 2));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].description, "ab");
}

TEST(Packets, UserlistReplyCarriesTextOnlyAboveKindTwo) {
  auto r = ParseUserlistReply(std::string("\x06") + "a;b;c");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->kind, 6);
  EXPECT_EQ(r->text, "a;b;c");
  r = ParseUserlistReply(std::string("\x02") + "ignored");
  EXPECT_EQ(r->text, "");
}
