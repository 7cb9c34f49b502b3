#pragma once
// The packets of today's network (the GG 8.0 generation) that differ from
// the 2005 ones: the SHA-1 login, statuses with a length-prefixed UTF-8
// description, messages with an HTML part beside the plain one, the receive
// acknowledgement and the versioned, compressed server contact list.
//
// Text crosses this edge in both directions: the program's text is
// Windows-1250 with wide marks for what the code page lacks, the network's
// is UTF-8 (but for the plain part of a message). Parsers check every length
// against the payload and never read past it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gg80 {

// Received from the server; a type means something else in the other
// direction, and a 2005 type may mean something else here.
namespace in {
constexpr uint32_t kWelcome = 0x01;
constexpr uint32_t kLoginOkOld = 0x03;
constexpr uint32_t kSendAck = 0x05;
constexpr uint32_t kPong = 0x07;
constexpr uint32_t kLoginFailed = 0x09;
constexpr uint32_t kDisconnecting = 0x0B;
constexpr uint32_t kDisconnectAck = 0x0D;
constexpr uint32_t kNeedEmail = 0x14;
constexpr uint32_t kHashTypeInvalid = 0x16;
constexpr uint32_t kRecvMsg = 0x2E;
constexpr uint32_t kLoginOk = 0x35;
constexpr uint32_t kStatus = 0x36;
constexpr uint32_t kNotifyReply = 0x37;
constexpr uint32_t kUserlistReply = 0x41;
constexpr uint32_t kLoginFailed80 = 0x43;
constexpr uint32_t kUserlistVersion = 0x5C;
}  // namespace in

namespace out {
constexpr uint32_t kPing = 0x08;
constexpr uint32_t kAddNotify = 0x0D;
constexpr uint32_t kRemoveNotify = 0x0E;
constexpr uint32_t kNotifyFirst = 0x0F;
constexpr uint32_t kNotifyLast = 0x10;
constexpr uint32_t kListEmpty = 0x12;
constexpr uint32_t kSendMsg = 0x2D;
constexpr uint32_t kLogin = 0x31;
constexpr uint32_t kNewStatus = 0x38;
constexpr uint32_t kUserlistRequest = 0x40;
constexpr uint32_t kRecvMsgAck = 0x46;
}  // namespace out

// New statuses and messages, HTML messages, the new status packets, the
// login failure of its own, the user-list version packets, and the receive
// acknowledgement, which we promise.
constexpr uint32_t kFeatures = 0x00000367 | 0x00000400;
constexpr uint32_t kFeatureRecvAck = 0x00000400;
constexpr uint32_t kDescriptionMask = 0x4000;
constexpr char kClientVersion[] = "Gadu-Gadu Client build 10.0.0.10450";
// Bytes of UTF-8 a description may take.
constexpr size_t kMaxDescriptionBytes = 255;
constexpr size_t kMaxNotifyEntries = 400;
constexpr uint8_t kContactBuddy = 0x01 | 0x02;  // on the list, sees us as a friend

constexpr uint32_t kClassQueued = 0x01;
constexpr uint32_t kClassChat = 0x08;

// Wire status code (masks stripped) of a status index; the description mask
// is added when the status carries one.
uint32_t StatusCode(uint8_t statusIndex, bool invisible);

struct LoginFields {
  uint32_t number = 0;
  std::array<unsigned char, 20> hash{};
  uint8_t statusIndex = 0;  // logs in invisible for "nie ma mnie"
  std::string description;  // Windows-1250 with wide marks
};
std::string BuildLogin(const LoginFields& f);
std::string BuildNewStatus(uint8_t statusIndex, bool invisible, std::string_view description);
// text: Windows-1250 with wide marks and CR LF line ends.
std::string BuildSendMessage(uint32_t recipient, uint32_t sequence, std::string_view text);
std::string BuildRecvMsgAck(uint32_t sequence);
// Pieces of at most 400 numbers, all but the last NOTIFY_FIRST; LIST_EMPTY
// for no numbers.
std::string BuildNotifyList(const std::vector<uint32_t>& numbers);
std::string BuildAddNotify(uint32_t number);
std::string BuildRemoveNotify(uint32_t number);
// An import: GET with the last version known.
std::string BuildUserlistGet(uint32_t version);

// The HTML part of a message the program sends: the text escaped in the
// span every client of the network writes, line breaks as <br>.
std::string MessageHtml(std::string_view text);
// The plain part: the code page's own characters, the plain forms of others
// where they have one, '?' for the rest.
std::string PlainPart(std::string_view text);

// The description cut to its byte limit in UTF-8, never inside a character.
std::string DescriptionUtf8(std::string_view text);

struct StatusEntry {
  uint32_t number = 0;
  uint8_t code = 0;          // masks stripped
  std::string description;   // Windows-1250 with wide marks
};
// The whole entries of a status packet (0x36, 0x37); an entry whose
// description runs past the payload ends the list.
std::vector<StatusEntry> ParseStatusEntries(std::string_view payload);

struct ReceivedMessage {
  uint32_t sender = 0;
  uint32_t sequence = 0;
  uint32_t time = 0;          // the sender's stamp, seconds since 1970 UTC
  uint32_t messageClass = 0;
  std::string text;           // Windows-1250 with wide marks, CR LF line ends
};
// Offsets count from the first byte of the payload. A message whose offsets
// point outside it, or before its fixed fields, is refused.
std::optional<ReceivedMessage> ParseReceivedMessage(std::string_view payload);

struct UserlistReply {
  uint8_t kind = 0;      // 0 list, 1 up to date, 0x10 stored, 0x12 refused
  uint32_t version = 0;
  uint8_t format = 0;    // 1 the 7.0 text, 2 XML
  std::string content;   // inflated when it came compressed
};
std::optional<UserlistReply> ParseUserlistReply(std::string_view payload);

}  // namespace gg80
