#include "protocol/Packets.h"

#include <algorithm>

#include "protocol/StatusMap.h"

namespace gg {
namespace {

constexpr size_t kEntrySize = 14;

// A text field ends at its first zero byte, or at the end of its bytes when
// it has none. Servers may put a zero and a return time after a description.
std::string UpToZero(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

std::string_view Cut(std::string_view text, size_t max) { return text.substr(0, max); }

std::string Header(uint32_t type, size_t payloadLength) {
  std::string p;
  p.reserve(kHeaderSize + payloadLength);
  AppendLe32(p, type);
  AppendLe32(p, static_cast<uint32_t>(payloadLength));
  return p;
}

StatusEntry EntryAt(const char* p) {
  StatusEntry e;
  e.number = ReadLe32(p) & 0x00FFFFFFu;
  e.code = static_cast<uint8_t>(p[4]);
  return e;
}

std::string NotifyEntryPacket(uint32_t type, uint32_t number) {
  std::string p = Header(type, 5);
  AppendLe32(p, number);
  p += static_cast<char>(kContactTypeNormal);
  return p;
}

}  // namespace

uint32_t ReadLe32(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return uint32_t(u[0]) | uint32_t(u[1]) << 8 | uint32_t(u[2]) << 16 | uint32_t(u[3]) << 24;
}

uint16_t ReadLe16(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint16_t>(u[0] | u[1] << 8);
}

void AppendLe32(std::string& out, uint32_t v) {
  const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
  out.append(b, 4);
}

void AppendLe16(std::string& out, uint16_t v) {
  const char b[2] = {char(v), char(v >> 8)};
  out.append(b, 2);
}

std::string BuildPacket(uint32_t type, std::string_view payload) {
  std::string p = Header(type, payload.size());
  p.append(payload);
  return p;
}

std::string BuildLogin(const LoginFields& f) {
  const bool withDescription = f.statusIndex & 1;
  const std::string_view description = Cut(f.description, kMaxDescription);
  std::string p = Header(out::kLogin, 31 + (withDescription ? description.size() + 1 : 0));
  AppendLe32(p, f.number);
  AppendLe32(p, f.hash);
  AppendLe32(p, status::CodeFromIndex(f.statusIndex, true));
  AppendLe32(p, kClientVersion);
  p += '\0';              // reserved
  AppendLe32(p, 0);       // local address
  AppendLe16(p, f.serverPort);
  AppendLe32(p, 0);       // external address
  AppendLe16(p, f.serverPort);
  p += '\xFF';            // largest image
  p += '\xBE';            // reserved
  if (withDescription) {
    p.append(description);
    p += '\0';
  }
  return p;
}

std::string BuildNewStatus(uint8_t statusIndex, bool invisible, std::string_view description) {
  const bool withDescription = statusIndex & 1;
  description = Cut(description, kMaxDescription);
  std::string p = Header(out::kNewStatus, 4 + (withDescription ? description.size() + 1 : 0));
  AppendLe32(p, status::CodeFromIndex(statusIndex, invisible));
  if (withDescription) {
    p.append(description);
    p += '\0';
  }
  return p;
}

std::string BuildSendMessage(uint32_t recipient, uint32_t sequence, std::string_view text) {
  text = Cut(text, kMaxMessageText);
  std::string p = Header(out::kSendMsg, 12 + text.size() + 1);
  AppendLe32(p, recipient);
  AppendLe32(p, sequence);
  AppendLe32(p, kMessageClassChat);
  p.append(text);
  p += '\0';
  return p;
}

std::string BuildNotifyList(const std::vector<uint32_t>& numbers) {
  const size_t n = std::min(numbers.size(), kMaxNotifyEntries);
  std::string p = Header(out::kNotifyList, 5 * n);
  for (size_t i = 0; i < n; ++i) {
    AppendLe32(p, numbers[i]);
    p += static_cast<char>(kContactTypeNormal);
  }
  return p;
}

std::string BuildAddNotify(uint32_t number) { return NotifyEntryPacket(out::kAddNotify, number); }

std::string BuildRemoveNotify(uint32_t number) {
  return NotifyEntryPacket(out::kRemoveNotify, number);
}

std::string BuildPing() { return Header(out::kPing, 0); }

std::string BuildListEmpty() { return Header(out::kListEmpty, 0); }

std::string BuildUserlistRequest(uint8_t kind, std::string_view text) {
  if (kind == kUserlistGet) return BuildPacket(out::kUserlistRequest, std::string(1, char(kind)));
  text = Cut(text, kMaxUserlistText);
  std::string p = Header(out::kUserlistRequest, text.size() + 2);
  p += static_cast<char>(kind);
  p.append(text);
  p += '\0';
  return p;
}

std::optional<uint32_t> ParseWelcome(std::string_view payload) {
  if (payload.size() < 4) return std::nullopt;
  return ReadLe32(payload.data());
}

std::optional<SendAck> ParseSendAck(std::string_view payload) {
  if (payload.size() < 12) return std::nullopt;
  const char* p = payload.data();
  return SendAck{ReadLe32(p), ReadLe32(p + 4), ReadLe32(p + 8)};
}

std::optional<ReceivedMessage> ParseReceivedMessage(std::string_view payload) {
  if (payload.size() < 16) return std::nullopt;
  const char* p = payload.data();
  ReceivedMessage m;
  m.sender = ReadLe32(p);
  m.sequence = ReadLe32(p + 4);
  m.time = ReadLe32(p + 8);
  m.messageClass = ReadLe32(p + 12);
  m.text = UpToZero(payload.substr(16));
  return m;
}

std::optional<StatusEntry> ParseStatusChange(std::string_view payload) {
  if (payload.size() < kEntrySize) return std::nullopt;
  StatusEntry e = EntryAt(payload.data());
  e.description = UpToZero(payload.substr(kEntrySize));
  return e;
}

std::vector<StatusEntry> ParseNotifyReply(std::string_view payload) {
  std::vector<StatusEntry> entries;
  size_t at = 0;
  while (payload.size() - at >= kEntrySize) {
    StatusEntry e = EntryAt(payload.data() + at);
    at += kEntrySize;
    if (status::CodeHasDescription(e.code)) {
      if (at >= payload.size()) break;
      const size_t n = static_cast<unsigned char>(payload[at]);
      if (payload.size() - at - 1 < n) break;
      e.description = UpToZero(payload.substr(at + 1, n));
      at += 1 + n;
    }
    entries.push_back(std::move(e));
  }
  return entries;
}

std::optional<UserlistReply> ParseUserlistReply(std::string_view payload) {
  if (payload.empty()) return std::nullopt;
  UserlistReply r;
  r.kind = static_cast<uint8_t>(payload[0]);
  if (r.kind > 2) r.text = std::string(payload.substr(1));
  return r;
}

}  // namespace gg
