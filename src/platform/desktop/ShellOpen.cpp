#include "platform/desktop/ShellOpen.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopShellOpen::Open(const QString& path, const QString& /*workingDir*/) {
  // The desktop picks the program and its window; a working folder and a
  // window state cannot be passed through xdg-open.
  QUrl url = QUrl::fromUserInput(path);
  if (url.scheme().isEmpty() || path.startsWith(QLatin1Char('/'))) url = QUrl::fromLocalFile(path);
  return QDesktopServices::openUrl(url);
}
