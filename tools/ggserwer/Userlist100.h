#pragma once

#include <QByteArray>
#include <QList>
#include <cstdint>

#include "ggserwer/Wire80.h"

namespace ggserwer {

// The contact list the server keeps for today's session: one copy in the
// line format of the 2005 list (UTF-8 here) and one in XML, under a version
// that every stored upload raises.
class Userlist100 {
 public:
  struct Out {
    std::uint32_t type = 0;
    QByteArray payload;
  };

  void setGg70(const QByteArray& utf8Lines) { gg70_ = utf8Lines; }
  const QByteArray& gg70() const { return gg70_; }
  void setXml(const QByteArray& xml) { xml_ = xml; }
  const QByteArray& xml() const { return xml_; }
  void setVersion(std::uint32_t version) { version_ = version; }
  std::uint32_t version() const { return version_; }
  // A request for the XML copy gets the line copy, labelled as such.
  void setAnswerXmlWithGg70(bool on) { answerXmlWithGg70_ = on; }
  // Content goes out as it is, not compressed.
  void setCompress(bool on) { compress_ = on; }

  // The packets that answer one request (type 0x40): for a get, the list in
  // the format asked for; for a put of the current version, its content
  // stored, the acknowledgement and the version notice; for a put of another
  // version, the refusal. Nothing for anything else.
  QList<Out> answer(const QByteArray& request);

 private:
  QByteArray content(const QByteArray& text) const;

  QByteArray gg70_;
  QByteArray xml_;
  std::uint32_t version_ = 5;
  bool answerXmlWithGg70_ = false;
  bool compress_ = true;
};

}  // namespace ggserwer
