#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

// The byte layout of today's session (the GG 8.0 login and what follows it),
// from the server's side: texts in UTF-8 except the plain part of a message,
// which stays Windows-1250. Same integers and header as the 2005 session
// (Wire.h), and like it written apart from the client's protocol code.
namespace ggserwer {

namespace typ80 {
// server -> client
constexpr std::uint32_t kLoginOk = 0x35;
constexpr std::uint32_t kLoginFailed = 0x43;  // when the login's features have kFeatureLoginFailed
constexpr std::uint32_t kRecvMessage = 0x2E;
constexpr std::uint32_t kStatus = 0x36;
constexpr std::uint32_t kNotifyReply = 0x37;
constexpr std::uint32_t kUserlistReply = 0x41;
constexpr std::uint32_t kUserlistVersion = 0x5C;
// client -> server
constexpr std::uint32_t kLogin = 0x31;
constexpr std::uint32_t kSendMessage = 0x2D;
constexpr std::uint32_t kNewStatus = 0x38;
constexpr std::uint32_t kNotifyFirst = 0x0F;
constexpr std::uint32_t kRecvMessageAck = 0x46;
constexpr std::uint32_t kUserlistRequest = 0x40;

// Bits of the login's features the server acts on.
constexpr std::uint32_t kFeatureLoginFailed = 0x40;
constexpr std::uint32_t kFeatureRecvAck = 0x400;

constexpr std::uint32_t kDescriptionMask = 0x4000;
// Message classes.
constexpr std::uint32_t kClassChat = 0x08;
constexpr std::uint32_t kClassQueued = 0x01;

// The server's contact list: kinds of request and reply, and content formats.
constexpr std::uint8_t kListPut = 0x00;
constexpr std::uint8_t kListGet = 0x02;
constexpr std::uint8_t kReplyList = 0x00;
constexpr std::uint8_t kReplyUpToDate = 0x01;
constexpr std::uint8_t kReplyAck = 0x10;
constexpr std::uint8_t kReplyReject = 0x12;
constexpr std::uint8_t kFormatNone = 0x00;
constexpr std::uint8_t kFormatGg70 = 0x01;
constexpr std::uint8_t kFormatGg100 = 0x02;
}  // namespace typ80

// The login as the client sent it; nothing when a length in it does not fit.
struct Login80 {
  std::uint32_t number = 0;
  std::uint8_t hashType = 0;
  QByteArray hash;  // the 20 bytes of the digest
  std::uint32_t status = 0;
  std::uint32_t flags = 0;
  std::uint32_t features = 0;
  QByteArray version;
  QByteArray description;  // UTF-8
};
std::optional<Login80> parseLogin80(const QByteArray& payload);

// SHA-1 over the password (UTF-8) and the seed's four bytes, low byte first.
QByteArray login80Hash(std::uint32_t seed, const QByteArray& passwordUtf8);

// One contact's status in today's entries (28 bytes and the description).
struct Status80 {
  Status80() = default;
  Status80(std::uint32_t number_, std::uint32_t status_, const QByteArray& descriptionUtf8 = {})
      : number(number_), status(status_), description(descriptionUtf8) {}

  std::uint32_t number = 0;
  // The code; the description mask is added on the wire when a description is set.
  std::uint32_t status = 0x02;
  std::uint32_t features = 0;
  std::uint32_t ip = 0;
  std::uint16_t port = 0;
  std::uint8_t imageSize = 0;
  std::uint32_t flags = 0;
  QByteArray description;  // UTF-8
};
QByteArray status80Bytes(const Status80& s);
// 0x36 and 0x37 alike: the entries back to back.
QByteArray status80Payload(const QList<Status80>& entries);

// A message in its two forms: HTML in UTF-8 and plain text in Windows-1250.
struct Message80 {
  std::uint32_t number = 0;  // the recipient of a sent one, the sender of a received one
  std::uint32_t seq = 0;
  std::uint32_t time = 0;    // received ones only
  std::uint32_t msgClass = typ80::kClassChat;
  QByteArray html;
  QByteArray plain;
  QByteArray attributes;
};
// The official client's wrapping of plain text: escaped, line breaks as <br>.
QByteArray messageHtml(const QString& text);
// The attribute block of default black text.
QByteArray defaultAttributes();
// A received message (0x2E) with each part's offset counted from the payload's start.
QByteArray recvMessage80Payload(const Message80& m);
// A sent message (0x2D); nothing when its offsets do not point inside it at
// terminated parts.
std::optional<Message80> parseSendMessage80(const QByteArray& payload);

// 0x41: kind, version, format, 0x01, then the content as given.
QByteArray userlist100ReplyPayload(std::uint8_t kind, std::uint32_t version, std::uint8_t format,
                                   const QByteArray& content = {});

// zlib's stream format at its best compression; inflate gives nothing for
// bytes that are not such a stream.
QByteArray zlibCompress(const QByteArray& data);
std::optional<QByteArray> zlibInflate(const QByteArray& data);

}  // namespace ggserwer
