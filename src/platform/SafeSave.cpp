#include "platform/SafeSave.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

namespace {

bool Sync(int fd) {
  int rc;
  do {
    rc = ::fsync(fd);
  } while (rc != 0 && errno == EINTR);
  return rc == 0;
}

// The rename lives in the folder's own data: until that reaches the disk a
// power cut can bring back the old name, or none.
bool SyncFolder(const QString& folder) {
  const QByteArray name = QFile::encodeName(folder);
  const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = Sync(fd);
  ::close(fd);
  return ok;
}

}  // namespace

bool SaveFileSafely(const QString& path, std::string_view bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const qint64 size = static_cast<qint64>(bytes.size());
  // The data must be on disk before the rename makes it the file.
  if (file.write(bytes.data(), size) != size || !file.flush() || !Sync(file.handle())) {
    file.cancelWriting();
    return false;
  }
  if (!file.commit()) return false;
  return SyncFolder(QFileInfo(path).absolutePath());
}
