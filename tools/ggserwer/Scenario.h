#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <cstdint>
#include <optional>

#include "ggserwer/TimedAction.h"

namespace ggserwer {

// A cast the emulator plays to every client that logs in: who is in it, what
// they do on their own as time passes, how they answer a message and how the
// server acknowledges messages to them.
struct Scenario {
  struct Member {
    std::uint32_t number = 0;
    QString name;
  };
  struct Reply {
    int afterMs = 0;
    QByteArray text;  // Windows-1250
    QByteArray utf8;  // the same whole, for today's session
  };

  QList<Member> cast;
  QList<TimedAction> actions;
  // The actions from this one on run again after the last, for as long as the
  // connection lasts; -1: they run once.
  int repeatFrom = -1;
  // The answers to a message sent to a number, taken in turn.
  QHash<std::uint32_t, QList<Reply>> replies;
  // The acknowledgement status of messages sent to a number, where it is not
  // the server's default.
  QHash<std::uint32_t, std::uint32_t> acks;
};

// The scenario file, UTF-8, one line each; blank lines and lines starting
// with '#' are skipped:
//
//   contact NUMBER NAME...        a member of the cast
//   MS message NUMBER TEXT...     a timed action, as the command line's
//   MS status NUMBER CODE [DESCRIPTION...]
//   MS disconnecting
//   MS close
//   repeat                        the timed actions after this line run again
//                                 and again once the last has run
//   reply NUMBER MS TEXT...       a message to NUMBER is answered MS later;
//                                 several lines of one number take turns
//   ack NUMBER CODE               messages to NUMBER are acknowledged with CODE
//                                 (2 delivered, 3 queued, any other not delivered)
//
// Nothing, with *error set to "line N: what is wrong", when a line does not read.
std::optional<Scenario> parseScenario(const QString& text, QString* error = nullptr);

// The same from a file; *error begins with the file's path.
std::optional<Scenario> loadScenario(const QString& path, QString* error = nullptr);

}  // namespace ggserwer
