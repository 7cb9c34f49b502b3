#include <gtest/gtest.h>
#include <zlib.h>

#include "platform/Cp1250.h"
#include "protocol/HtmlText.h"
#include "protocol/LoginHash.h"
#include "protocol/Packets.h"
#include "protocol/Packets80.h"

using gg::AppendLe32;
using gg::ReadLe32;

namespace {

std::string Hex(const unsigned char* p, size_t n) {
  static const char d[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < n; ++i) (s += d[p[i] >> 4]) += d[p[i] & 15];
  return s;
}

std::string Entry(uint32_t number, uint32_t status, std::string_view description) {
  std::string e;
  AppendLe32(e, number);
  AppendLe32(e, status);
  e += std::string(16, '\x55');  // features, address, port, image size, unknown, flags
  AppendLe32(e, static_cast<uint32_t>(description.size()));
  e += description;
  return e;
}

std::string Received(std::string_view html, std::string_view plain, uint32_t offsetPlain = 0) {
  std::string p;
  AppendLe32(p, 3001);
  AppendLe32(p, 77);
  AppendLe32(p, 1700000000);
  AppendLe32(p, 8);
  AppendLe32(p, offsetPlain ? offsetPlain : static_cast<uint32_t>(24 + html.size() + 1));
  AppendLe32(p, static_cast<uint32_t>(24 + html.size() + 1 + plain.size() + 1));
  p.append(html) += '\0';
  p.append(plain) += '\0';
  return p;
}

}  // namespace

// The login as the notes lay it out, with their SHA-1 test vector, and a
// description cut at its byte limit between characters.
TEST(Packets80, LoginStatusAndHashBytes) {
  const auto hash = LoginHashSha1("secret", 0x12345678);
  EXPECT_EQ(Hex(hash.data(), hash.size()), "8b4bfe71fceab2dccb573b39ac2f013d638fb7dc");

  gg80::LoginFields f;
  f.number = 123456;
  f.hash = hash;
  f.statusIndex = 1;  // "nie ma mnie" with a description: invisible
  f.description = T("ąę");
  const std::string p = gg80::BuildLogin(f);
  const char* q = p.data() + 8;
  ASSERT_EQ(ReadLe32(p.data()), 0x31u);
  ASSERT_EQ(ReadLe32(p.data() + 4), 140u + 4u);
  ASSERT_EQ(p.size(), 8u + 144u);
  EXPECT_EQ(ReadLe32(q), 123456u);
  EXPECT_EQ(std::string(q + 4, 3), std::string("pl\x02"));
  EXPECT_EQ(Hex(reinterpret_cast<const unsigned char*>(q + 7), 20), Hex(hash.data(), 20));
  EXPECT_EQ(std::string(q + 27, 44), std::string(44, '\0'));
  EXPECT_EQ(ReadLe32(q + 71), 0x16u | 0x4000u);
  EXPECT_EQ(ReadLe32(q + 79), 0x767u);
  EXPECT_EQ(static_cast<unsigned char>(q[96]), 0x64);
  EXPECT_EQ(ReadLe32(q + 97), 35u);
  EXPECT_EQ(std::string(q + 101, 35), "Gadu-Gadu Client build 10.0.0.10450");
  EXPECT_EQ(ReadLe32(q + 136), 4u);
  EXPECT_EQ(std::string(q + 140, 4), "\xC4\x85\xC4\x99");

  // 127 two-byte letters and an emoji: the cut falls inside the emoji and
  // leaves it out whole.
  std::string long_text;
  for (int i = 0; i < 127; ++i) long_text += T("ą");
  long_text += cp1250::fromUtf8Wide("\xF0\x9F\x99\x82");
  const std::string s = gg80::BuildNewStatus(3, false, long_text);
  EXPECT_EQ(ReadLe32(s.data()), 0x38u);
  EXPECT_EQ(ReadLe32(s.data() + 8), 0x04u | 0x4000u);
  EXPECT_EQ(ReadLe32(s.data() + 16), 254u);
  EXPECT_EQ(s.size(), 8u + 12u + 254u);
  EXPECT_EQ(ReadLe32(gg80::BuildNewStatus(4, false, "x").data() + 8), 0x03u);  // no description
}

TEST(Packets80, MessagesBothWays) {
  // The notes' worked example: "Hi" in the usual wrapper.
  const std::string out = gg80::BuildSendMessage(42, 1700000001, "Hi");
  const char* q = out.data() + 8;
  EXPECT_EQ(ReadLe32(out.data()), 0x2Du);
  EXPECT_EQ(ReadLe32(out.data() + 4), 117u);
  EXPECT_EQ(ReadLe32(q), 42u);
  EXPECT_EQ(ReadLe32(q + 4), 1700000001u);
  EXPECT_EQ(ReadLe32(q + 8), 8u);
  EXPECT_EQ(ReadLe32(q + 12), 105u);
  EXPECT_EQ(ReadLe32(q + 16), 108u);
  EXPECT_EQ(std::string(q + 105, 3), std::string("Hi\0", 3));
  EXPECT_EQ(std::string(q + 108, 9), std::string("\x02\x06\x00\x00\x00\x08\x00\x00\x00", 9));

  // What the code page lacks goes whole in the HTML part and as its plain
  // form, or '?', in the plain part; markup typed by the user is escaped.
  const std::string text = cp1250::fromUtf8Wide("<b>\xE2\x86\x92 \xD0\x96\r\nok");
  const std::string html = gg80::MessageHtml(text);
  EXPECT_NE(html.find("&lt;b&gt;\xE2\x86\x92 \xD0\x96<br>ok</span>"), std::string::npos) << html;
  EXPECT_EQ(gg80::PlainPart(text), "<b>-> ?\r\nok");

  // Received: the HTML part wins and is reduced to text; the plain part
  // serves when the HTML part is empty.
  auto m = gg80::ParseReceivedMessage(
      Received("<span style=\"a>b\">Cze\xC5\x9B\xC4\x87 &lt;3<br/>\xF0\x9F\x98\x80</span><script>x</script>",
               "Czesc"));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->sender, 3001u);
  EXPECT_EQ(m->time, 1700000000u);
  EXPECT_EQ(cp1250::toUtf8(m->text), "Cze\xC5\x9B\xC4\x87 <3\r\n\xF0\x9F\x98\x80");
  m = gg80::ParseReceivedMessage(Received("", "za\xBF\xF3\x07\xB3\x98"));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->text, "za\xBF\xF3\xB3?");
  // Offsets outside the payload or into the fixed fields are refused.
  EXPECT_FALSE(gg80::ParseReceivedMessage(Received("a", "b", 500)));
  EXPECT_FALSE(gg80::ParseReceivedMessage(Received("a", "b", 10)));
  EXPECT_FALSE(gg80::ParseReceivedMessage(Received("a", "b").substr(0, 23)));
}

TEST(Packets80, StatusEntriesListsAndServerList) {
  // Several entries, masks stripped, a description in UTF-8; an entry whose
  // length runs past the end ends the list.
  const std::string payload = Entry(3001, 0x4004, "w pracy \xE2\x9C\x88") + Entry(3002, 0x8002, "") +
                              Entry(3003, 0x0017, "") + Entry(3004, 0x4005, "xy").substr(0, 29);
  const auto entries = gg80::ParseStatusEntries(payload);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].code, 4);
  EXPECT_EQ(cp1250::toUtf8(entries[0].description), "w pracy \xE2\x9C\x88");
  EXPECT_EQ(entries[1].code, 2);
  EXPECT_EQ(entries[2].code, 2);  // free for chat reads as available

  // 801 numbers: two full NOTIFY_FIRST pieces and a NOTIFY_LAST of one.
  std::vector<uint32_t> numbers(801);
  for (uint32_t i = 0; i < numbers.size(); ++i) numbers[i] = 1000 + i;
  const std::string list = gg80::BuildNotifyList(numbers);
  ASSERT_EQ(list.size(), 3 * 8u + 5 * 801u);
  EXPECT_EQ(ReadLe32(list.data()), 0x0Fu);
  EXPECT_EQ(ReadLe32(list.data() + 4), 2000u);
  EXPECT_EQ(ReadLe32(list.data() + 2008), 0x0Fu);
  EXPECT_EQ(ReadLe32(list.data() + 4016), 0x10u);
  EXPECT_EQ(ReadLe32(list.data() + 4020), 5u);
  EXPECT_EQ(ReadLe32(list.data() + 4024), 1800u);
  EXPECT_EQ(gg80::BuildNotifyList({}), std::string("\x12\0\0\0\0\0\0\0", 8));

  // The server's list: compressed by zlib, or not; a bomb stops at its bound.
  const std::string text = "Ala;;;Ala;;;3001;;0;;0;\r\n";
  uLongf size = compressBound(text.size());
  std::string packed(size, '\0');
  ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                      reinterpret_cast<const Bytef*>(text.data()), text.size(), 9),
            Z_OK);
  packed.resize(size);
  std::string reply = std::string("\x00", 1);
  AppendLe32(reply, 7);
  reply += "\x01\x01";
  auto r = gg80::ParseUserlistReply(reply + packed);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->version, 7u);
  EXPECT_EQ(r->format, 1);
  EXPECT_EQ(r->content, text);
  EXPECT_EQ(gg80::ParseUserlistReply(reply + text)->content, text);
  EXPECT_FALSE(gg80::ParseUserlistReply(reply.substr(0, 6)));
  EXPECT_EQ(gg80::BuildUserlistGet(7), std::string("\x40\0\0\0\x07\0\0\0\x02\x07\0\0\0\x01\x01", 15));
}

TEST(HtmlText, UntrustedMarkupBecomesText) {
  EXPECT_EQ(HtmlToText("a<br>b<BR/>c<br />d"), "a\r\nb\r\nc\r\nd");
  EXPECT_EQ(HtmlToText("&amp;lt; &#65;&#x42; &bogus; &#0; &#xD800; &"), "&lt; AB &bogus; &#0; &#xD800; &");
  EXPECT_EQ(HtmlToText("<style>p{}</style><p>x</p><p>y</p><img src=\"q.png\">"), "x\r\ny\r\n[obrazek]");
  EXPECT_EQ(HtmlToText("1 < 2 and <b>bold</b> <i"), "1 < 2 and bold ");
  // Wide marks made from what a stranger sends cannot smuggle a direction
  // override or a control character.
  EXPECT_EQ(cp1250::fromUtf8Wide("a\xE2\x80\xAE" "b\x01" "c\xF0\x9F\x91\x8D"),
            "abc\x98" "01F44D");
  EXPECT_EQ(cp1250::toQString("\x98" "00202E\x98" "000041"), QString::fromUtf8("\xC2\x98" "00202E\xC2\x98" "000041"));
  EXPECT_EQ(cp1250::cutBefore("ab\x98" "01F44Dc", 5), 2u);
  EXPECT_EQ(cp1250::characterCount("ab\x98" "01F44Dc"), 4u);
}
