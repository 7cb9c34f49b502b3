#include "ggserwer/Scenario.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace ggserwer {

namespace {

bool readNumber(const QString& word, std::uint32_t& number) {
  bool ok = false;
  number = word.toUInt(&ok);
  return ok && number != 0;
}

// One line of the file into the scenario; an empty string when it reads,
// otherwise what is wrong with it.
QString readLine(const QString& line, Scenario& s) {
  const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
  const QString keyword = words[0].toLower();
  std::uint32_t number = 0;
  if (keyword == QLatin1String("contact")) {
    if (words.size() < 3) return QStringLiteral("contact is NUMBER NAME");
    if (!readNumber(words[1], number)) return QStringLiteral("not a number: ") + words[1];
    s.cast.append({number, wordsAfter(line, 2)});
    return {};
  }
  if (keyword == QLatin1String("repeat")) {
    if (words.size() != 1) return QStringLiteral("repeat takes nothing more");
    if (s.repeatFrom >= 0) return QStringLiteral("a second repeat");
    s.repeatFrom = static_cast<int>(s.actions.size());
    return {};
  }
  if (keyword == QLatin1String("reply")) {
    if (words.size() < 4) return QStringLiteral("reply is NUMBER MS TEXT");
    if (!readNumber(words[1], number)) return QStringLiteral("not a number: ") + words[1];
    bool ok = false;
    const int ms = words[2].toInt(&ok);
    if (!ok || ms < 0) return QStringLiteral("not a time in milliseconds: ") + words[2];
    s.replies[number].append({ms, wireText(wordsAfter(line, 3)), wireTextUtf8(wordsAfter(line, 3))});
    return {};
  }
  if (keyword == QLatin1String("ack")) {
    if (words.size() != 3) return QStringLiteral("ack is NUMBER CODE");
    if (!readNumber(words[1], number)) return QStringLiteral("not a number: ") + words[1];
    bool ok = false;
    const uint code = words[2].toUInt(&ok);
    if (!ok) return QStringLiteral("not an acknowledgement status: ") + words[2];
    s.acks.insert(number, code);
    return {};
  }
  QString error;
  const auto action = parseTimedAction(line, &error);
  if (!action) return error;
  s.actions.append(*action);
  return {};
}

}  // namespace

std::optional<Scenario> parseScenario(const QString& text, QString* error) {
  Scenario s;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (int i = 0; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const QString what = readLine(line, s);
    if (!what.isEmpty()) {
      if (error) *error = QStringLiteral("line %1: %2").arg(i + 1).arg(what);
      return std::nullopt;
    }
  }
  // A loop that takes no time would keep the server busy for ever.
  if (s.repeatFrom >= 0) {
    qint64 loopMs = 0;
    for (qsizetype i = s.repeatFrom; i < s.actions.size(); ++i) loopMs += s.actions[i].afterMs;
    if (loopMs == 0) {
      if (error) *error = QStringLiteral("the actions after repeat must take some time");
      return std::nullopt;
    }
  }
  return s;
}

std::optional<Scenario> loadScenario(const QString& path, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    if (error) *error = path + QStringLiteral(": cannot be read");
    return std::nullopt;
  }
  QString what;
  auto s = parseScenario(QString::fromUtf8(f.readAll()), &what);
  if (!s && error) *error = path + QStringLiteral(", ") + what;
  return s;
}

}  // namespace ggserwer
