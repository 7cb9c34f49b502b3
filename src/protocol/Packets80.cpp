#include "protocol/Packets80.h"

#include <zlib.h>

#include <algorithm>

#include "platform/Cp1250.h"
#include "platform/TextFitter.h"
#include "protocol/HtmlText.h"
#include "protocol/Packets.h"
#include "protocol/StatusMap.h"

namespace gg80 {
namespace {

using gg::AppendLe16;
using gg::AppendLe32;
using gg::ReadLe32;

constexpr size_t kEntryFixed = 28;
constexpr size_t kRecvFixed = 24;
// What an inflated contact list may grow to: far beyond any real list, and
// a bound for a bomb of a few compressed bytes.
constexpr size_t kMaxInflated = 8u << 20;

std::string Packet(uint32_t type, std::string_view payload) { return gg::BuildPacket(type, payload); }

std::string NotifyEntry(uint32_t type, uint32_t number) {
  std::string p;
  AppendLe32(p, number);
  p += static_cast<char>(kContactBuddy);
  return Packet(type, p);
}

// The network's status codes for "free for chat" and "do not disturb", which
// the program has no place for, read as available and back soon.
uint8_t CodeFromWire(uint32_t status) {
  const uint8_t code = static_cast<uint8_t>(status & 0xFF);
  switch (code) {
    case 0x17: return 0x02;
    case 0x18: return 0x04;
    case 0x21: return 0x03;
    case 0x22: return 0x05;
    default: return code;
  }
}

std::string Inflate(std::string_view data, bool& ok) {
  ok = false;
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return {};
  std::string out;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  char buffer[16384];
  int r = Z_OK;
  while (r == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    r = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
    if (out.size() > kMaxInflated) break;
    if (r == Z_BUF_ERROR && z.avail_in == 0) break;  // truncated
  }
  inflateEnd(&z);
  ok = r == Z_STREAM_END;
  return out;
}

}  // namespace

uint32_t StatusCode(uint8_t statusIndex, bool invisible) {
  uint32_t code = status::CodeFromIndex(statusIndex, invisible);
  if (status::CodeHasDescription(code)) code |= kDescriptionMask;
  return code;
}

std::string DescriptionUtf8(std::string_view text) {
  std::string utf8 = cp1250::toUtf8(text);
  if (utf8.size() <= kMaxDescriptionBytes) return utf8;
  size_t end = kMaxDescriptionBytes;
  while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
  utf8.resize(end);
  return utf8;
}

std::string BuildLogin(const LoginFields& f) {
  const bool withDescription = f.statusIndex & 1;
  const std::string description = withDescription ? DescriptionUtf8(f.description) : std::string();
  std::string p;
  AppendLe32(p, f.number);
  p += "pl";
  p += '\x02';  // SHA-1
  p.append(reinterpret_cast<const char*>(f.hash.data()), f.hash.size());
  p.append(64 - f.hash.size(), '\0');
  AppendLe32(p, StatusCode(f.statusIndex, true));
  AppendLe32(p, 0);  // flags
  AppendLe32(p, kFeatures);
  AppendLe32(p, 0);  // local address
  AppendLe16(p, 0);
  AppendLe32(p, 0);  // external address
  AppendLe16(p, 0);
  p += '\xFF';  // largest image, in KB
  p += '\x64';
  const std::string_view version = kClientVersion;
  AppendLe32(p, static_cast<uint32_t>(version.size()));
  p.append(version);
  AppendLe32(p, static_cast<uint32_t>(description.size()));
  p += description;
  return Packet(out::kLogin, p);
}

std::string BuildNewStatus(uint8_t statusIndex, bool invisible, std::string_view description) {
  const bool withDescription = statusIndex & 1;
  const std::string text = withDescription ? DescriptionUtf8(description) : std::string();
  std::string p;
  AppendLe32(p, StatusCode(statusIndex, invisible));
  AppendLe32(p, 0);  // flags
  AppendLe32(p, static_cast<uint32_t>(text.size()));
  p += text;
  return Packet(out::kNewStatus, p);
}

std::string MessageHtml(std::string_view text) {
  std::string html = "<span style=\"color:#000000; font-family:'MS Shell Dlg 2'; font-size:9pt; \">";
  const std::string utf8 = cp1250::toUtf8(text);
  for (size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    switch (c) {
      case '&': html += "&amp;"; break;
      case '<': html += "&lt;"; break;
      case '>': html += "&gt;"; break;
      case '"': html += "&quot;"; break;
      case '\r': break;
      case '\n': html += "<br>"; break;
      default: html += c;
    }
  }
  html += "</span>";
  return html;
}

std::string PlainPart(std::string_view text) {
  if (!cp1250::hasWide(text)) return std::string(text);
  static const TextFitter fitter(TextFitter::Forms::kPlain);
  std::string plain;
  plain.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t c = 0;
    if (const size_t n = cp1250::wideMarkLength(text, i, &c)) {
      const std::string fitted = fitter.Fit(std::u32string(1, c)).text;
      plain += fitted.empty() ? std::string("?") : fitted;
      i += n;
    } else {
      plain += text[i++];
    }
  }
  return plain;
}

std::string BuildSendMessage(uint32_t recipient, uint32_t sequence, std::string_view text) {
  const std::string html = MessageHtml(text);
  const std::string plain = PlainPart(text);
  static constexpr char kAttributes[] = {'\x02', '\x06', '\x00', '\x00', '\x00',
                                         '\x08', '\x00', '\x00', '\x00'};
  const uint32_t offsetPlain = static_cast<uint32_t>(20 + html.size() + 1);
  const uint32_t offsetAttributes = static_cast<uint32_t>(offsetPlain + plain.size() + 1);
  std::string p;
  p.reserve(offsetAttributes + sizeof kAttributes);
  AppendLe32(p, recipient);
  AppendLe32(p, sequence);
  AppendLe32(p, kClassChat);
  AppendLe32(p, offsetPlain);
  AppendLe32(p, offsetAttributes);
  p += html;
  p += '\0';
  p += plain;
  p += '\0';
  p.append(kAttributes, sizeof kAttributes);
  return Packet(out::kSendMsg, p);
}

std::string BuildRecvMsgAck(uint32_t sequence) {
  std::string p;
  AppendLe32(p, sequence);
  return Packet(out::kRecvMsgAck, p);
}

std::string BuildNotifyList(const std::vector<uint32_t>& numbers) {
  if (numbers.empty()) return Packet(out::kListEmpty, {});
  std::string all;
  for (size_t start = 0; start < numbers.size(); start += kMaxNotifyEntries) {
    const size_t end = std::min(numbers.size(), start + kMaxNotifyEntries);
    std::string p;
    p.reserve(5 * (end - start));
    for (size_t i = start; i < end; ++i) {
      AppendLe32(p, numbers[i]);
      p += static_cast<char>(kContactBuddy);
    }
    all += Packet(end == numbers.size() ? out::kNotifyLast : out::kNotifyFirst, p);
  }
  return all;
}

std::string BuildAddNotify(uint32_t number) { return NotifyEntry(out::kAddNotify, number); }
std::string BuildRemoveNotify(uint32_t number) { return NotifyEntry(out::kRemoveNotify, number); }

std::string BuildUserlistGet(uint32_t version) {
  std::string p;
  p += '\x02';  // get
  AppendLe32(p, version);
  p += '\x01';  // the 7.0 text
  p += '\x01';
  return Packet(out::kUserlistRequest, p);
}

std::vector<StatusEntry> ParseStatusEntries(std::string_view payload) {
  std::vector<StatusEntry> entries;
  size_t at = 0;
  while (payload.size() - at >= kEntryFixed) {
    const char* p = payload.data() + at;
    const uint32_t length = ReadLe32(p + 24);
    if (length > payload.size() - at - kEntryFixed) break;
    StatusEntry e;
    e.number = ReadLe32(p);
    e.code = CodeFromWire(ReadLe32(p + 4));
    e.description = cp1250::fromUtf8Wide(payload.substr(at + kEntryFixed, length));
    entries.push_back(std::move(e));
    at += kEntryFixed + length;
  }
  return entries;
}

std::optional<ReceivedMessage> ParseReceivedMessage(std::string_view payload) {
  if (payload.size() < kRecvFixed) return std::nullopt;
  const char* p = payload.data();
  ReceivedMessage m;
  m.sender = ReadLe32(p);
  m.sequence = ReadLe32(p + 4);
  m.time = ReadLe32(p + 8);
  m.messageClass = ReadLe32(p + 12);
  const uint32_t offsetPlain = ReadLe32(p + 16);
  const uint32_t offsetAttributes = ReadLe32(p + 20);
  if (offsetPlain < kRecvFixed || offsetPlain > payload.size()) return std::nullopt;
  if (offsetAttributes < offsetPlain || offsetAttributes > payload.size()) return std::nullopt;
  std::string_view html = payload.substr(kRecvFixed, offsetPlain - kRecvFixed);
  html = html.substr(0, html.find('\0'));
  std::string_view plain = payload.substr(offsetPlain, offsetAttributes - offsetPlain);
  plain = plain.substr(0, plain.find('\0'));
  if (!html.empty()) {
    m.text = cp1250::fromUtf8Wide(HtmlToText(html));
  } else {
    // The plain part is the code page's; a sender's own wide marks are no
    // marks of ours, and control characters (the bytes the code page leaves
    // undefined among them) are dropped as from the HTML.
    m.text.reserve(plain.size());
    for (const char c : plain) {
      if (c == cp1250::kWideMark) {
        m.text += '?';
        continue;
      }
      const char32_t u = cp1250::toUnicode(static_cast<unsigned char>(c));
      if ((u < 0x20 && c != '\r' && c != '\n' && c != '\t') || (u >= 0x7F && u < 0xA0)) continue;
      m.text += c;
    }
  }
  return m;
}

std::optional<UserlistReply> ParseUserlistReply(std::string_view payload) {
  if (payload.size() < 7) return std::nullopt;
  UserlistReply r;
  r.kind = static_cast<uint8_t>(payload[0]);
  r.version = ReadLe32(payload.data() + 1);
  r.format = static_cast<uint8_t>(payload[5]);
  const std::string_view content = payload.substr(7);
  // Whether the content comes compressed is not fixed: a zlib stream starts
  // with 0x78.
  if (!content.empty() && static_cast<unsigned char>(content[0]) == 0x78) {
    bool ok = false;
    std::string inflated = Inflate(content, ok);
    if (ok) {
      r.content = std::move(inflated);
      return r;
    }
  }
  r.content.assign(content);
  return r;
}

}  // namespace gg80
