#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace ggserwer {

// Something the server does to a client on its own, some time after that
// client logged in: a message from a number, a status change, the
// "disconnecting" notice, or the end of the connection. A list of them is a
// small scripted conversation; each runs afterMs after the one before it
// (the first: after the login is accepted).
struct TimedAction {
  enum class Kind { Message, Status, Disconnecting, Close };

  int afterMs = 0;
  Kind kind = Kind::Message;
  std::uint32_t number = 0;  // the sender of a message, whose status changes
  std::uint8_t status = 2;   // the status code of a status change
  QByteArray text;           // message text or status description, Windows-1250
  // The same text whole, UTF-8, for today's session, which carries what the
  // code page lacks; empty: `text` stands for both.
  QByteArray utf8;

  QByteArray textUtf8() const;
};

// One action written as text, the form of the command line:
//
//   MS message NUMBER TEXT...
//   MS status NUMBER CODE [DESCRIPTION...]
//   MS disconnecting
//   MS close
//
// MS: milliseconds after the previous action. TEXT and DESCRIPTION run to
// the end of the line, are UTF-8 and go out in Windows-1250 in the 2005
// session, whole in today's; "\n" in them stands for a line break (CR LF). Nothing, with *error set, for a line that
// does not read.
std::optional<TimedAction> parseTimedAction(const QString& line, QString* error = nullptr);

// The pieces of that text form, shared with the scenario file: the line after
// its first `count` words, as it was typed; a typed text as it goes out, in
// Windows-1250 and in UTF-8.
QString wordsAfter(const QString& line, int count);
QByteArray wireText(QString text);
QByteArray wireTextUtf8(QString text);

}  // namespace ggserwer
