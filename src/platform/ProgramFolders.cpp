#include "platform/ProgramFolders.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

ProgramFolders ProgramFolders::Of(const QString& executable, const QString& dataHome, const QString& home) {
  ProgramFolders f;
  const QFileInfo program(executable);
  f.programDir_ = QDir::cleanPath(program.absolutePath());
  f.installed_ = QFileInfo::exists(f.programDir_ + QLatin1Char('/') + QLatin1String(kInstalledMarker));
  f.command_ = QDir::cleanPath(program.absoluteFilePath());
  if (!f.installed_) {
    f.dataDir_ = f.programDir_;
    return f;
  }
  const QString base = !dataHome.isEmpty() && QDir::isAbsolutePath(dataHome)
                           ? dataHome
                           : home + QStringLiteral("/.local/share");
  f.dataDir_ = QDir::cleanPath(base + QLatin1Char('/') + QLatin1String(kDataFolderName));
  // The package's command on the PATH is a link to the program; a file of
  // that name that is another program is not ours to name.
  const QString onPath =
      QDir::cleanPath(f.programDir_ + QStringLiteral("/../../bin/") + program.fileName());
  const QString target = QFileInfo(onPath).canonicalFilePath();
  if (!target.isEmpty() && target == program.canonicalFilePath()) f.command_ = onPath;
  return f;
}

ProgramFolders ProgramFolders::OfThisProgram() {
  return Of(QCoreApplication::applicationFilePath(), qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath());
}

ProgramFolders ProgramFolders::OneFolder(const QString& folder) {
  ProgramFolders f;
  f.programDir_ = f.dataDir_ = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  f.command_ = f.programDir_ + QStringLiteral("/wirmelak");
  return f;
}

bool ProgramFolders::CreateDataDir() const { return QDir().mkpath(dataDir_); }

bool ProgramFolders::LinkPictures() const {
  if (!installed_) return true;
  const QString link = dataDir_ + QStringLiteral("/ikony");
  const QString target = programDir_ + QStringLiteral("/ikony");
  const QFileInfo at(link);
  if (at.isSymLink()) {
    if (at.symLinkTarget() == target) return true;
  } else if (at.exists()) {
    return false;
  }
  // Made under a name of its own and renamed over the old link, so that the
  // name never goes missing for a browser that has the archive open.
  const QByteArray from = QFile::encodeName(target);
  const QByteArray to = QFile::encodeName(link + QStringLiteral(".%1").arg(::getpid()));
  ::unlink(to.constData());
  if (::symlink(from.constData(), to.constData()) != 0) return false;
  if (::rename(to.constData(), QFile::encodeName(link).constData()) != 0) {
    ::unlink(to.constData());
    return false;
  }
  return true;
}
