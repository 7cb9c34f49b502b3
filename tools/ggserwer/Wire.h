#pragma once

#include <QByteArray>
#include <QList>
#include <cstdint>

// The emulator's own byte layout of packets: little-endian integers, fields
// back to back, an 8-byte header (type, payload length) before each payload.
// Written apart from the client's protocol code so that each checks the other.
namespace ggserwer {

// Packet types, named from the server's side of the wire.
namespace typ {
// server -> client
constexpr std::uint32_t kWelcome = 0x01;
constexpr std::uint32_t kLoginOk = 0x03;
constexpr std::uint32_t kSendAck = 0x05;
constexpr std::uint32_t kLoginFailed = 0x09;
constexpr std::uint32_t kRecvMessage = 0x0A;
constexpr std::uint32_t kDisconnecting = 0x0B;
constexpr std::uint32_t kStatusChange = 0x0F;
constexpr std::uint32_t kUserlistReply = 0x10;
constexpr std::uint32_t kNotifyReply = 0x11;
constexpr std::uint32_t kLoginOkVariant = 0x14;
// client -> server
constexpr std::uint32_t kNewStatus = 0x02;
constexpr std::uint32_t kPing = 0x08;
constexpr std::uint32_t kSendMessage = 0x0B;
constexpr std::uint32_t kAddNotify = 0x0D;
constexpr std::uint32_t kRemoveNotify = 0x0E;
constexpr std::uint32_t kNotifyList = 0x10;
constexpr std::uint32_t kListEmpty = 0x12;
constexpr std::uint32_t kLogin = 0x15;
constexpr std::uint32_t kUserlistRequest = 0x16;
}  // namespace typ

constexpr int kHeaderSize = 8;

void appendU8(QByteArray& out, std::uint8_t v);
void appendU16(QByteArray& out, std::uint16_t v);
void appendU32(QByteArray& out, std::uint32_t v);
// Reads are bounds-checked: bytes past the end count as zero, so a short
// packet from a faulty client yields zeros rather than reading out of range.
std::uint8_t readU8(const QByteArray& in, qsizetype offset);
std::uint16_t readU16(const QByteArray& in, qsizetype offset);
std::uint32_t readU32(const QByteArray& in, qsizetype offset);

// Header + payload, ready for the socket.
QByteArray packet(std::uint32_t type, const QByteArray& payload = {});

// One contact's status as the server announces it.
struct StatusEntry {
  StatusEntry() = default;
  StatusEntry(std::uint32_t number_, std::uint8_t status_, const QByteArray& description_ = {})
      : number(number_), status(status_), description(description_) {}

  std::uint32_t number = 0;     // low 24 bits go on the wire
  std::uint8_t status = 2;      // status code
  std::uint8_t flags = 0;       // top 8 bits of the number field
  std::uint32_t ip = 0;
  std::uint16_t port = 0;
  std::uint8_t version = 0;
  std::uint8_t imageSize = 0;
  QByteArray description;
};

// True for the status codes that carry a description: 4, 5, 21, 22.
bool statusHasDescription(std::uint8_t status);

// The 14-byte entry alone.
QByteArray statusEntryBytes(const StatusEntry& e);
// 0x0F: entry, then the description bytes with no length and no terminator.
QByteArray statusChangePayload(const StatusEntry& e);
// 0x11: entries in order; after an entry whose code carries a description, one
// length byte and that many description bytes (a longer description is cut to 255).
QByteArray notifyReplyPayload(const QList<StatusEntry>& entries);
// 0x0A: sender, sequence, time, class, text and a zero byte.
QByteArray recvMessagePayload(std::uint32_t sender, std::uint32_t seq, std::uint32_t time,
                              std::uint32_t msgClass, const QByteArray& text);
// 0x05: status, recipient, sequence.
QByteArray sendAckPayload(std::uint32_t status, std::uint32_t recipient, std::uint32_t seq);
// 0x10 from the server: reply kind, then the list text (empty for put replies).
QByteArray userlistReplyPayload(std::uint8_t kind, const QByteArray& text);

}  // namespace ggserwer
