#pragma once
// Balloons where the desktop has no tray: the desktop's notification service
// (org.freedesktop.Notifications on the session bus), when one answers.
// Nothing waits for it: without a bus or a service a notice goes nowhere.
// The message text is shown as plain text also by a service that reads
// markup in it.

#include <QDBusConnection>
#include <QObject>
#include <string>
#include <vector>

class DesktopNotifications : public QObject {
 public:
  static constexpr const char* kService = "org.freedesktop.Notifications";
  static constexpr const char* kPath = "/org/freedesktop/Notifications";

  explicit DesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus());

  // title and text are Windows-1250.
  void Notify(const std::string& title, const std::string& text, int timeoutMs);

 private:
  struct Notice {
    QString title, text;
    int timeoutMs;
  };
  void Send(const Notice& notice);

  QDBusConnection bus_;
  // Whether the service reads markup in the text; asked once, with the
  // notices that came meanwhile kept until the answer.
  enum class Markup { kUnknown, kAsking, kYes, kNo } markup_ = Markup::kUnknown;
  std::vector<Notice> waiting_;
};
