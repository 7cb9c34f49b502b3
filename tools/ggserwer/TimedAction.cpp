#include "ggserwer/TimedAction.h"

#include <QRegularExpression>
#include <QStringList>

#include "platform/Cp1250.h"

namespace ggserwer {

namespace {

std::optional<TimedAction> fail(QString* error, const QString& what) {
  if (error) *error = what;
  return std::nullopt;
}

}  // namespace

std::optional<TimedAction> parseTimedAction(const QString& line, QString* error) {
  const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
  if (words.size() < 2) return fail(error, QStringLiteral("an action is MS KIND ..."));
  bool ok = false;
  TimedAction a;
  a.afterMs = words[0].toInt(&ok);
  if (!ok || a.afterMs < 0) return fail(error, QStringLiteral("not a time in milliseconds: ") + words[0]);
  const QString kind = words[1].toLower();
  if (kind == QLatin1String("disconnecting") || kind == QLatin1String("close")) {
    if (words.size() != 2) return fail(error, kind + QStringLiteral(" takes nothing more"));
    a.kind = kind == QLatin1String("close") ? TimedAction::Kind::Close : TimedAction::Kind::Disconnecting;
    return a;
  }
  if (kind != QLatin1String("message") && kind != QLatin1String("status"))
    return fail(error, QStringLiteral("unknown action: ") + words[1]);
  if (words.size() < 3) return fail(error, kind + QStringLiteral(" needs a NUMBER"));
  a.number = words[2].toUInt(&ok);
  if (!ok || a.number == 0) return fail(error, QStringLiteral("not a number: ") + words[2]);
  if (kind == QLatin1String("message")) {
    a.kind = TimedAction::Kind::Message;
    a.text = wireText(wordsAfter(line, 3));
    a.utf8 = wireTextUtf8(wordsAfter(line, 3));
    if (a.text.isEmpty()) return fail(error, QStringLiteral("message needs a TEXT"));
    return a;
  }
  a.kind = TimedAction::Kind::Status;
  if (words.size() < 4) return fail(error, QStringLiteral("status needs a CODE"));
  const uint code = words[3].toUInt(&ok);
  if (!ok || code > 255) return fail(error, QStringLiteral("not a status code: ") + words[3]);
  a.status = static_cast<std::uint8_t>(code);
  a.text = wireText(wordsAfter(line, 4));
  a.utf8 = wireTextUtf8(wordsAfter(line, 4));
  return a;
}

QString wordsAfter(const QString& line, int count) {
  int at = 0;
  for (int w = 0; w < count; ++w) {
    while (at < line.size() && line[at].isSpace()) ++at;
    while (at < line.size() && !line[at].isSpace()) ++at;
  }
  while (at < line.size() && line[at].isSpace()) ++at;
  return line.mid(at);
}

QByteArray TimedAction::textUtf8() const {
  return utf8.isEmpty() ? QByteArray::fromStdString(cp1250::toUtf8(text.toStdString())) : utf8;
}

QByteArray wireTextUtf8(QString text) {
  text.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
  return text.toUtf8();
}

QByteArray wireText(QString text) {
  text.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
  return QByteArray::fromStdString(cp1250::fromQString(text));
}

}  // namespace ggserwer
