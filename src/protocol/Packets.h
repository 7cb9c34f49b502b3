#pragma once
// Every packet of the connection: an 8-byte header (type, payload length,
// both 32-bit little-endian) and its payload. Builders return the whole packet
// ready for one send; parsers read a payload and refuse one shorter than its
// fixed fields instead of reading past its end.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gg {

// Received from the server.
namespace in {
constexpr uint32_t kWelcome = 0x01;
constexpr uint32_t kLoginOk = 0x03;
constexpr uint32_t kSendAck = 0x05;
constexpr uint32_t kLoginFailed = 0x09;
constexpr uint32_t kRecvMsg = 0x0A;
constexpr uint32_t kDisconnecting = 0x0B;
constexpr uint32_t kStatus = 0x0F;
constexpr uint32_t kUserlistReply = 0x10;
constexpr uint32_t kNotifyReply = 0x11;
constexpr uint32_t kLoginOk2 = 0x14;
}  // namespace in

// Sent to the server (0x0B and 0x10 mean other things in the other direction).
namespace out {
constexpr uint32_t kNewStatus = 0x02;
constexpr uint32_t kPing = 0x08;
constexpr uint32_t kSendMsg = 0x0B;
constexpr uint32_t kAddNotify = 0x0D;
constexpr uint32_t kRemoveNotify = 0x0E;
constexpr uint32_t kNotifyList = 0x10;
constexpr uint32_t kListEmpty = 0x12;
constexpr uint32_t kLogin = 0x15;
constexpr uint32_t kUserlistRequest = 0x16;
}  // namespace out

constexpr uint32_t kHeaderSize = 8;
constexpr uint32_t kMessageClassChat = 0x08;
constexpr uint8_t kContactTypeNormal = 0x03;
constexpr uint32_t kClientVersion = 0x21;

// Capacities of the outgoing fields; longer texts are cut where the packet is
// built.
constexpr size_t kMaxDescription = 79;
constexpr size_t kMaxMessageText = 1999;
constexpr size_t kMaxNotifyEntries = 400;
constexpr size_t kMaxUserlistText = 2046;

// Userlist request kinds.
constexpr uint8_t kUserlistPut = 0;
constexpr uint8_t kUserlistPutMore = 1;
constexpr uint8_t kUserlistGet = 2;

uint32_t ReadLe32(const char* p);
uint16_t ReadLe16(const char* p);
void AppendLe32(std::string& out, uint32_t v);
void AppendLe16(std::string& out, uint16_t v);

std::string BuildPacket(uint32_t type, std::string_view payload);

struct LoginFields {
  uint32_t number = 0;
  uint32_t hash = 0;
  uint8_t statusIndex = 0;   // own status; it logs in with the invisible flag set
  std::string description;   // sent only when the status has one
  uint16_t serverPort = 0;   // the port of the server in use
};
std::string BuildLogin(const LoginFields& f);

std::string BuildNewStatus(uint8_t statusIndex, bool invisible, std::string_view description);
std::string BuildSendMessage(uint32_t recipient, uint32_t sequence, std::string_view text);
std::string BuildNotifyList(const std::vector<uint32_t>& numbers);
std::string BuildAddNotify(uint32_t number);
std::string BuildRemoveNotify(uint32_t number);
std::string BuildPing();
std::string BuildListEmpty();
std::string BuildUserlistRequest(uint8_t kind, std::string_view text);

struct SendAck {
  uint32_t status = 0;
  uint32_t recipient = 0;
  uint32_t sequence = 0;
};

struct ReceivedMessage {
  uint32_t sender = 0;
  uint32_t sequence = 0;
  uint32_t time = 0;  // seconds since 1970-01-01 00:00 UTC
  uint32_t messageClass = 0;
  std::string text;   // up to the first zero byte
};

struct StatusEntry {
  uint32_t number = 0;  // the low 24 bits; the top byte holds flags
  uint8_t code = 0;
  std::string description;
};

struct UserlistReply {
  uint8_t kind = 0;
  std::string text;  // only kinds above 2 carry list text
};

std::optional<uint32_t> ParseWelcome(std::string_view payload);
std::optional<SendAck> ParseSendAck(std::string_view payload);
std::optional<ReceivedMessage> ParseReceivedMessage(std::string_view payload);
std::optional<StatusEntry> ParseStatusChange(std::string_view payload);
// The complete entries; a truncated last entry, or a description length that
// runs past the payload, ends the list.
std::vector<StatusEntry> ParseNotifyReply(std::string_view payload);
std::optional<UserlistReply> ParseUserlistReply(std::string_view payload);

}  // namespace gg
