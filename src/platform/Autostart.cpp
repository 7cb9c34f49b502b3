#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "platform/SafeSave.h"

namespace {

const QString kFileName = QStringLiteral("Wirmelak.desktop");

// The characters that make an Exec argument need its quotes.
bool Reserved(QChar c) {
  static const QString reserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#()`");
  return reserved.contains(c);
}

// A folder can be made when its nearest existing ancestor is a folder we
// may write in.
bool CanBeCreated(const QString& path) {
  QFileInfo at(path);
  while (!at.exists()) {
    const QString parent = at.absolutePath();
    if (parent == at.absoluteFilePath()) return false;
    at = QFileInfo(parent);
  }
  return at.isDir() && at.isWritable();
}

// The value of the Exec key of the [Desktop Entry] group, or empty.
QString ExecOf(const QByteArray& file) {
  bool inEntry = false;
  for (const QByteArray& raw : file.split('\n')) {
    QByteArray line = raw;
    if (line.endsWith('\r')) line.chop(1);
    if (line.startsWith('[')) {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry || !line.startsWith("Exec")) continue;
    const QByteArray rest = line.mid(4).trimmed();
    if (!rest.startsWith('=')) continue;  // another key beginning with "Exec"
    return QString::fromUtf8(rest.mid(1).trimmed());
  }
  return {};
}

}  // namespace

AutostartEntry::AutostartEntry(QString programPath) : programPath_(std::move(programPath)) {}

QString AutostartEntry::Folder() {
  const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!config.isEmpty() && QDir::isAbsolutePath(config)) return QDir::cleanPath(config + QStringLiteral("/autostart"));
  return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.config/autostart"));
}

QString AutostartEntry::FilePath() const { return Folder() + QLatin1Char('/') + kFileName; }

QString AutostartEntry::ExecArgument(const QString& argument) {
  QString arg = argument;
  arg.replace(QLatin1Char('%'), QStringLiteral("%%"));
  if (std::any_of(arg.begin(), arg.end(), Reserved)) {
    QString quoted = QStringLiteral("\"");
    for (QChar c : arg) {
      if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += QLatin1Char('\\');
      quoted += c;
    }
    arg = quoted + QLatin1Char('"');
  }
  QString value;
  for (QChar c : arg) {
    switch (c.unicode()) {
      case u'\\': value += QStringLiteral("\\\\"); break;
      case u'\n': value += QStringLiteral("\\n"); break;
      case u'\r': value += QStringLiteral("\\r"); break;
      case u'\t': value += QStringLiteral("\\t"); break;
      default: value += c;
    }
  }
  return value;
}

QString AutostartEntry::ExpectedExec() const { return ExecArgument(programPath_) + QStringLiteral(" autostart"); }

AutostartEntry::State AutostartEntry::Read() const {
  const QFileInfo folder(Folder());
  if (folder.exists() ? !(folder.isDir() && folder.isReadable()) : !CanBeCreated(folder.absoluteFilePath()))
    return State::kNiedostepny;
  QFile file(FilePath());
  if (!file.exists()) return State::kBrak;
  if (!file.open(QIODevice::ReadOnly)) return State::kNiedostepny;
  const QString exec = ExecOf(file.readAll());
  if (exec.isEmpty()) return State::kBrak;
  return exec == ExpectedExec() ? State::kPoprawny : State::kBledny;
}

bool AutostartEntry::Write() const {
  if (!QDir().mkpath(Folder())) return false;
  const QByteArray text = "[Desktop Entry]\nType=Application\nName=Wirmelak\nExec=" + ExpectedExec().toUtf8() + "\n";
  return SaveFileSafely(FilePath(), std::string_view(text.constData(), size_t(text.size())));
}

bool AutostartEntry::Remove() const {
  QFile file(FilePath());
  return !file.exists() || file.remove();
}
