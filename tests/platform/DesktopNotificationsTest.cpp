// The desktop's notifications on a bus of the test's own, with a stand-in
// notification service on it.

#include "platform/desktop/DesktopNotifications.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QVariantMap>

#include "platform/Cp1250.h"

namespace {

class FakeNotifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
 public:
  QStringList capabilities;
  struct Notice {
    QString app, summary, body;
    int timeout;
  };
  std::vector<Notice> notices;

 public slots:
  QStringList GetCapabilities() { return capabilities; }
  uint Notify(const QString& app, uint, const QString&, const QString& summary, const QString& body,
              const QStringList&, const QVariantMap&, int timeout) {
    notices.push_back({app, summary, body, timeout});
    return uint(notices.size());
  }
};

struct NotificationsTest : ::testing::Test {
  QProcess daemon;
  QString address;

  void SetUp() override {
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) GTEST_SKIP() << "no dbus-daemon";
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(daemon.waitForStarted(3000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return daemon.canReadLine(); }, 5000));
    address = QString::fromLatin1(daemon.readLine().trimmed());
  }
  void TearDown() override {
    QDBusConnection::disconnectFromBus("service");
    QDBusConnection::disconnectFromBus("program");
    daemon.kill();
    daemon.waitForFinished(3000);
  }
  QDBusConnection Bus(const char* name) { return QDBusConnection::connectToBus(address, QString::fromLatin1(name)); }
};

}  // namespace

TEST_F(NotificationsTest, NoticesReachTheServiceAsPlainTextAndNoneAreKeptWithoutOne) {
  QDBusConnection program = Bus("program");
  ASSERT_TRUE(program.isConnected());
  DesktopNotifications markup(program);
  // Nobody serves the name yet: the notice goes nowhere, and the service is
  // asked for again with the next one.
  markup.Notify(T("pierwsza"), T("zgubiona"), 10000);
  QDBusConnection serviceBus = Bus("service");
  QTest::qWait(300);

  FakeNotifications service;
  service.capabilities = {"body", "body-markup"};
  ASSERT_TRUE(serviceBus.registerObject(DesktopNotifications::kPath, &service, QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(serviceBus.registerService(DesktopNotifications::kService));
  markup.Notify(T("Zosia"), T("<b>Ala & Ola</b> żółw"), 10000);
  markup.Notify(T("Zosia"), T("drugi"), 10000);
  ASSERT_TRUE(QTest::qWaitFor([&] { return service.notices.size() == 2; }, 5000));
  EXPECT_EQ(service.notices[0].app, "Wirmelak");
  EXPECT_EQ(service.notices[0].summary, "Zosia");
  EXPECT_EQ(service.notices[0].body, QString::fromUtf8("&lt;b&gt;Ala &amp; Ola&lt;/b&gt; żółw"));
  EXPECT_EQ(service.notices[0].timeout, 10000);
  EXPECT_EQ(service.notices[1].body, "drugi");

  // A service that shows the text as it is gets it as it is.
  service.capabilities = {"body"};
  DesktopNotifications plain(program);
  plain.Notify(T("Zosia"), T("<b>Ala & Ola</b>"), 10000);
  ASSERT_TRUE(QTest::qWaitFor([&] { return service.notices.size() == 3; }, 5000));
  EXPECT_EQ(service.notices[2].body, "<b>Ala & Ola</b>");
}

#include "DesktopNotificationsTest.moc"
