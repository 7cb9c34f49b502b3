#include "ggserwer/Userlist100.h"

#include "ggserwer/Wire.h"

namespace ggserwer {

QByteArray Userlist100::content(const QByteArray& text) const { return compress_ ? zlibCompress(text) : text; }

QList<Userlist100::Out> Userlist100::answer(const QByteArray& request) {
  if (request.size() < 7) return {};
  const std::uint8_t kind = readU8(request, 0);
  const std::uint32_t version = readU32(request, 1);
  const std::uint8_t format = readU8(request, 5);
  if (kind == typ80::kListGet) {
    if (format == typ80::kFormatGg70 || (format == typ80::kFormatGg100 && answerXmlWithGg70_))
      return {{typ80::kUserlistReply,
               userlist100ReplyPayload(typ80::kReplyList, version_, typ80::kFormatGg70, content(gg70_))}};
    if (format == typ80::kFormatGg100)
      return {{typ80::kUserlistReply,
               userlist100ReplyPayload(typ80::kReplyList, version_, typ80::kFormatGg100, content(xml_))}};
    return {{typ80::kUserlistReply, userlist100ReplyPayload(typ80::kReplyList, version_, typ80::kFormatNone)}};
  }
  if (kind != typ80::kListPut) return {};
  if (version != version_ || (format != typ80::kFormatGg70 && format != typ80::kFormatGg100))
    return {{typ80::kUserlistReply, userlist100ReplyPayload(typ80::kReplyReject, version_, format)}};
  // Uploads are compressed; one that is not is kept as it came.
  const QByteArray body = request.mid(7);
  const QByteArray text = zlibInflate(body).value_or(body);
  (format == typ80::kFormatGg70 ? gg70_ : xml_) = text;
  ++version_;
  QByteArray notice;
  appendU32(notice, version_);
  return {{typ80::kUserlistReply, userlist100ReplyPayload(typ80::kReplyAck, version_, format)},
          {typ80::kUserlistVersion, notice}};
}

}  // namespace ggserwer
