#include "platform/desktop/DesktopNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "platform/Cp1250.h"

DesktopNotifications::DesktopNotifications(QDBusConnection bus) : bus_(std::move(bus)) {}

void DesktopNotifications::Notify(const std::string& title, const std::string& text, int timeoutMs) {
  if (!bus_.isConnected()) return;
  const Notice notice{cp1250::toQString(title), cp1250::toQString(text), timeoutMs};
  if (markup_ == Markup::kYes || markup_ == Markup::kNo) return Send(notice);
  waiting_.push_back(notice);
  if (markup_ == Markup::kAsking) return;
  markup_ = Markup::kAsking;
  const QDBusMessage ask = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                          QString::fromLatin1(kService), QStringLiteral("GetCapabilities"));
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(ask), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
    w->deleteLater();
    const QDBusPendingReply<QStringList> reply = *w;
    std::vector<Notice> notices;
    notices.swap(waiting_);
    if (reply.isError()) {
      // No service now; one may start later, and is asked again then.
      markup_ = Markup::kUnknown;
      return;
    }
    markup_ = reply.value().contains(QStringLiteral("body-markup")) ? Markup::kYes : Markup::kNo;
    for (const Notice& n : notices) Send(n);
  });
}

void DesktopNotifications::Send(const Notice& notice) {
  QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                     QString::fromLatin1(kService), QStringLiteral("Notify"));
  const QString body = markup_ == Markup::kYes ? notice.text.toHtmlEscaped() : notice.text;
  call << QStringLiteral("Wirmelak") << 0u << QString() << notice.title << body << QStringList()
       << QVariantMap() << notice.timeoutMs;
  call.setAutoStartService(true);
  bus_.asyncCall(call);  // the answer, an id or an error, changes nothing here
}
