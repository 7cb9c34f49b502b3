#include "platform/desktop/StatusNotifierHost.h"

#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QVariant>

namespace status_notifier {

bool HostRegistered(const QDBusConnection& bus) {
  if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(kWatcherService)) return false;
  QDBusInterface watcher(kWatcherService, kWatcherPath, kWatcherService, bus);
  return watcher.isValid() && watcher.property("IsStatusNotifierHostRegistered").toBool();
}

}  // namespace status_notifier
