#pragma once
// A temporary folder for targets that go through real files, kept in memory
// (/dev/shm) where there is such a place: the saves flush to disk, which
// would otherwise cost more than everything else a run does.

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

inline QString FuzzFolderTemplate() {
  const QFileInfo shm(QStringLiteral("/dev/shm"));
  const QString root = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
  return root + QStringLiteral("/wirmelak-fuzz-XXXXXX");
}

struct FuzzFolder {
  QTemporaryDir dir{FuzzFolderTemplate()};
  QString Path() const { return dir.path(); }
};
