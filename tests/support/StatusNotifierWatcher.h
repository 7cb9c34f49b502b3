#pragma once
// The watcher a desktop's tray runs (org.kde.StatusNotifierWatcher), with
// a host registered with it: registered on a session bus of a test's own,
// it makes a program see a tray drawn over D-Bus, and lists the items that
// registered.

#include <QObject>
#include <QStringList>

class FakeWatcher : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ HostRegistered)
  Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ Items)

 public:
  bool HostRegistered() const { return true; }
  int ProtocolVersion() const { return 0; }
  QStringList Items() const { return items; }
  QStringList items;

 public slots:
  void RegisterStatusNotifierItem(const QString& service) { items << service; }
  void RegisterStatusNotifierHost(const QString&) {}
};
