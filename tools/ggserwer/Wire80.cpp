#include "ggserwer/Wire80.h"

#include <QCryptographicHash>
#include <zlib.h>

#include "ggserwer/Wire.h"

namespace ggserwer {

namespace {
constexpr qsizetype kLoginFixed = 101;  // up to the version's text
constexpr qsizetype kSendFixed = 20;
constexpr qsizetype kRecvFixed = 24;

// Bytes from `from` up to the first zero before `end`; nothing without one.
std::optional<QByteArray> terminated(const QByteArray& in, qsizetype from, qsizetype end) {
  const qsizetype zero = in.indexOf('\0', from);
  if (zero < 0 || zero >= end) return std::nullopt;
  return in.mid(from, zero - from);
}
}  // namespace

std::optional<Login80> parseLogin80(const QByteArray& payload) {
  if (payload.size() < kLoginFixed + 4) return std::nullopt;
  Login80 l;
  l.number = readU32(payload, 0);
  l.hashType = readU8(payload, 6);
  l.hash = payload.mid(7, 20);
  l.status = readU32(payload, 71);
  l.flags = readU32(payload, 75);
  l.features = readU32(payload, 79);
  const std::uint32_t versionLength = readU32(payload, 97);
  // 64-bit sums: a length near 4 GiB must not wrap round into range.
  const std::uint64_t sizeAt = kLoginFixed + std::uint64_t{versionLength};
  if (sizeAt + 4 > std::uint64_t(payload.size())) return std::nullopt;
  l.version = payload.mid(kLoginFixed, versionLength);
  const std::uint32_t descriptionSize = readU32(payload, qsizetype(sizeAt));
  if (sizeAt + 4 + descriptionSize > std::uint64_t(payload.size())) return std::nullopt;
  l.description = payload.mid(qsizetype(sizeAt) + 4, descriptionSize);
  return l;
}

QByteArray login80Hash(std::uint32_t seed, const QByteArray& passwordUtf8) {
  QByteArray input = passwordUtf8;
  appendU32(input, seed);
  return QCryptographicHash::hash(input, QCryptographicHash::Sha1);
}

QByteArray status80Bytes(const Status80& s) {
  QByteArray out;
  appendU32(out, s.number);
  appendU32(out, s.description.isEmpty() ? s.status : s.status | typ80::kDescriptionMask);
  appendU32(out, s.features);
  appendU32(out, s.ip);
  appendU16(out, s.port);
  appendU8(out, s.imageSize);
  appendU8(out, 0);
  appendU32(out, s.flags);
  appendU32(out, static_cast<std::uint32_t>(s.description.size()));
  return out + s.description;
}

QByteArray status80Payload(const QList<Status80>& entries) {
  QByteArray out;
  for (const Status80& s : entries) out.append(status80Bytes(s));
  return out;
}

QByteArray messageHtml(const QString& text) {
  QString body = text.toHtmlEscaped();
  body.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
  body.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  return QByteArrayLiteral("<span style=\"color:#000000; font-family:'MS Shell Dlg 2'; font-size:9pt; \">") +
         body.toUtf8() + QByteArrayLiteral("</span>");
}

QByteArray defaultAttributes() { return QByteArray::fromHex("020600000008000000"); }

QByteArray recvMessage80Payload(const Message80& m) {
  const auto offsetPlain = static_cast<std::uint32_t>(kRecvFixed + m.html.size() + 1);
  const auto offsetAttributes = static_cast<std::uint32_t>(offsetPlain + m.plain.size() + 1);
  QByteArray out;
  appendU32(out, m.number);
  appendU32(out, m.seq);
  appendU32(out, m.time);
  appendU32(out, m.msgClass);
  appendU32(out, offsetPlain);
  appendU32(out, offsetAttributes);
  out.append(m.html);
  appendU8(out, 0);
  out.append(m.plain);
  appendU8(out, 0);
  out.append(m.attributes);
  return out;
}

std::optional<Message80> parseSendMessage80(const QByteArray& payload) {
  if (payload.size() < kSendFixed + 2) return std::nullopt;
  const qsizetype size = payload.size();
  const std::uint32_t offsetPlain = readU32(payload, 12);
  const std::uint32_t offsetAttributes = readU32(payload, 16);
  if (offsetPlain <= kSendFixed || offsetPlain > size || payload[offsetPlain - 1] != '\0') return std::nullopt;
  if (offsetAttributes <= offsetPlain || offsetAttributes > size) return std::nullopt;
  const auto html = terminated(payload, kSendFixed, offsetPlain);
  const auto plain = terminated(payload, offsetPlain, offsetAttributes);
  if (!html || !plain) return std::nullopt;
  Message80 m;
  m.number = readU32(payload, 0);
  m.seq = readU32(payload, 4);
  m.msgClass = readU32(payload, 8);
  m.html = *html;
  m.plain = *plain;
  m.attributes = payload.mid(offsetAttributes);
  return m;
}

QByteArray userlist100ReplyPayload(std::uint8_t kind, std::uint32_t version, std::uint8_t format,
                                   const QByteArray& content) {
  QByteArray out;
  appendU8(out, kind);
  appendU32(out, version);
  appendU8(out, format);
  appendU8(out, 0x01);
  return out + content;
}

QByteArray zlibCompress(const QByteArray& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  QByteArray out(static_cast<qsizetype>(size), '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.constData()),
                static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
    return {};
  out.truncate(static_cast<qsizetype>(size));
  return out;
}

std::optional<QByteArray> zlibInflate(const QByteArray& data) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return std::nullopt;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
  z.avail_in = static_cast<uInt>(data.size());
  QByteArray out;
  char chunk[16384];
  int rc = Z_OK;
  // A client's list is small; a stream that inflates past this is a bomb.
  constexpr qsizetype kLimit = 16 * 1024 * 1024;
  while (rc == Z_OK && out.size() <= kLimit) {
    z.next_out = reinterpret_cast<Bytef*>(chunk);
    z.avail_out = sizeof chunk;
    rc = inflate(&z, Z_NO_FLUSH);
    out.append(chunk, static_cast<qsizetype>(sizeof chunk - z.avail_out));
    if (rc == Z_OK && z.avail_in == 0 && z.avail_out != 0) break;  // cut short
  }
  inflateEnd(&z);
  if (rc != Z_STREAM_END) return std::nullopt;
  return out;
}

}  // namespace ggserwer
