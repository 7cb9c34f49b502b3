#include "ggserwer/Wire.h"

namespace ggserwer {

void appendU8(QByteArray& out, std::uint8_t v) { out.append(static_cast<char>(v)); }

void appendU16(QByteArray& out, std::uint16_t v) {
  appendU8(out, static_cast<std::uint8_t>(v));
  appendU8(out, static_cast<std::uint8_t>(v >> 8));
}

void appendU32(QByteArray& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) appendU8(out, static_cast<std::uint8_t>(v >> shift));
}

std::uint8_t readU8(const QByteArray& in, qsizetype offset) {
  if (offset < 0 || offset >= in.size()) return 0;
  return static_cast<std::uint8_t>(in[offset]);
}

std::uint16_t readU16(const QByteArray& in, qsizetype offset) {
  return static_cast<std::uint16_t>(readU8(in, offset) | (readU8(in, offset + 1) << 8));
}

std::uint32_t readU32(const QByteArray& in, qsizetype offset) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | readU8(in, offset + i);
  return v;
}

QByteArray packet(std::uint32_t type, const QByteArray& payload) {
  QByteArray out;
  out.reserve(kHeaderSize + payload.size());
  appendU32(out, type);
  appendU32(out, static_cast<std::uint32_t>(payload.size()));
  out.append(payload);
  return out;
}

bool statusHasDescription(std::uint8_t status) {
  return status == 4 || status == 5 || status == 21 || status == 22;
}

QByteArray statusEntryBytes(const StatusEntry& e) {
  QByteArray out;
  appendU32(out, (e.number & 0x00FFFFFFu) | (static_cast<std::uint32_t>(e.flags) << 24));
  appendU8(out, e.status);
  appendU32(out, e.ip);
  appendU16(out, e.port);
  appendU8(out, e.version);
  appendU8(out, e.imageSize);
  appendU8(out, 0);
  return out;
}

QByteArray statusChangePayload(const StatusEntry& e) {
  return statusEntryBytes(e) + e.description;
}

QByteArray notifyReplyPayload(const QList<StatusEntry>& entries) {
  QByteArray out;
  for (const StatusEntry& e : entries) {
    out.append(statusEntryBytes(e));
    if (statusHasDescription(e.status)) {
      const QByteArray d = e.description.left(255);
      appendU8(out, static_cast<std::uint8_t>(d.size()));
      out.append(d);
    }
  }
  return out;
}

QByteArray recvMessagePayload(std::uint32_t sender, std::uint32_t seq, std::uint32_t time,
                              std::uint32_t msgClass, const QByteArray& text) {
  QByteArray out;
  appendU32(out, sender);
  appendU32(out, seq);
  appendU32(out, time);
  appendU32(out, msgClass);
  out.append(text);
  appendU8(out, 0);
  return out;
}

QByteArray sendAckPayload(std::uint32_t status, std::uint32_t recipient, std::uint32_t seq) {
  QByteArray out;
  appendU32(out, status);
  appendU32(out, recipient);
  appendU32(out, seq);
  return out;
}

QByteArray userlistReplyPayload(std::uint8_t kind, const QByteArray& text) {
  QByteArray out;
  appendU8(out, kind);
  out.append(text);
  return out;
}

}  // namespace ggserwer
