#pragma once
// Whether the desktop shows tray icons over D-Bus: a StatusNotifierItem host
// (KDE Plasma, GNOME's AppIndicator extension, most panels of today) has
// registered with the watcher on the session bus. Such a host draws an
// icon's menu itself, from the menu the program exports over D-Bus; an
// XEmbed tray leaves the menu to the program. Qt asks the watcher the same
// question when the first tray icon is made and shows the icon the one way
// or the other for the whole run; asked at the same moment, this answer is
// Qt's.

#include <QDBusConnection>

namespace status_notifier {

inline constexpr const char* kWatcherService = "org.kde.StatusNotifierWatcher";
inline constexpr const char* kWatcherPath = "/StatusNotifierWatcher";

bool HostRegistered(const QDBusConnection& bus = QDBusConnection::sessionBus());

}  // namespace status_notifier
