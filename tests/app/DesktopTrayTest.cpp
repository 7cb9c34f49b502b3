// The built program's tray menu on the two kinds of tray a Linux desktop
// has: an XEmbed tray (trayer), where the program pops up its own drawn
// menu, and a StatusNotifierItem host over D-Bus, which draws the menu the
// program exports (played here by a stand-in watcher and host on a session
// bus of the test's own). Either way "Zakończ" asks the closing question.

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QStandardPaths>

#include "EndToEndFixture.h"
#include "support/Desktop.h"

namespace {

using namespace endtoend;

constexpr QPoint kMain(100, 100);
constexpr int kWaitMs = 20000;
const QString kMainTitle = "^Wirmelak v1\\.2\\+\\+";
const QString kQuestion = QString::fromUtf8("^Pytanie do użytkownika");

// The watcher a desktop's tray runs, with a host registered with it.
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

// One item of an exported menu as a host reads it.
struct MenuItem {
  int id = 0;
  QString label;  // "-" for a separator
  bool icon = false;
};

void ReadLayout(const QDBusArgument& arg, std::vector<MenuItem>& items, bool top) {
  int id = 0;
  QVariantMap properties;
  arg.beginStructure();
  arg >> id >> properties;
  if (!top)
    items.push_back({id,
                     properties.value("type").toString() == "separator" ? QStringLiteral("-")
                                                                           : properties.value("label").toString(),
                     !properties.value("icon-data").toByteArray().isEmpty()});
  arg.beginArray();
  while (!arg.atEnd()) {
    QDBusVariant child;
    arg >> child;
    ReadLayout(child.variant().value<QDBusArgument>(), items, false);
  }
  arg.endArray();
  arg.endStructure();
}

struct DesktopEndToEndTrayTest : EndToEndFixture {
  Desktop desktop;

  void StartOn(const Desktop::Options& options) {
    ASSERT_TRUE(desktop.Start(options)) << desktop.Problem().toStdString();
    environment = desktop.Environment();
    if (!address.isEmpty()) environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
    arguments = {};
    WriteWithDescriptionAndContacts();
    QFile ini(dir.filePath("Wirmelak.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write(QStringLiteral("lewy = %1\r\ngorny = %2\r\nszerokosc = 250\r\nwysokosc = 545\r\n")
                  .arg(kMain.x())
                  .arg(kMain.y())
                  .toLatin1());
    ini.close();
    Start();
    ASSERT_TRUE(desktop.WaitForWindow(kMainTitle, kWaitMs)) << "no main window";
    ASSERT_TRUE(WaitLoggedIn(0, kWaitMs));
  }
  // The closing question is up: "Tak" ends the program, as it ends.
  void AnswerYesAndEnd() {
    const auto box = desktop.WaitForWindow(kQuestion, kWaitMs);
    ASSERT_TRUE(box) << "no closing question";
    const QRect r = desktop.Geometry(*box).value_or(QRect());
    ASSERT_TRUE(desktop.Click(r.topLeft() + QPoint(152 + 40, r.height() - 36 + 12)));
    ASSERT_TRUE(Serwer::waitFor([&] { return program.state() == QProcess::NotRunning; }, kWaitMs));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
  }

  // The private session bus, when the test has one.
  QProcess daemon;
  QString address;
  void StartBus() {
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) GTEST_SKIP() << "no dbus-daemon";
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(daemon.waitForStarted(3000));
    ASSERT_TRUE(Serwer::waitFor([&] { return daemon.canReadLine(); }, 5000));
    address = QString::fromLatin1(daemon.readLine().trimmed());
  }
  void TearDown() override {
    EndToEndFixture::TearDown();
    QDBusConnection::disconnectFromBus("host");
    if (daemon.state() != QProcess::NotRunning) {
      daemon.kill();
      daemon.waitForFinished(3000);
    }
  }
};

// The program's own pixel colour of a scheme value (0x00BBGGRR).
QRgb Rgb(uint32_t bgr) { return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// The smallest rectangle around the pixels of one colour within an area.
QRect Around(const QImage& image, const QRect& area, QRgb colour) {
  QRect found;
  for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom()); ++y)
    for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right()); ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) found |= QRect(x, y, 1, 1);
  return found;
}

}  // namespace

// trayer at the bottom right: a right click on the icon pops up the menu
// the program draws in its scheme at the pointer, and its "Zakończ" asks
// the closing question.
TEST_F(DesktopEndToEndTrayTest, OnAnXEmbedTrayTheProgramDrawsItsMenu) {
  Desktop::Options options;
  options.trayHost = true;
  StartOn(options);
  if (HasFatalFailure()) return;
  // trayer keeps its icons in its strip at the bottom right: what differs
  // from the strip's plain background.
  QImage shot;
  QRect icon;
  const QRect strip(1280 - 120, 1024 - 24, 120, 24);
  const bool found = Serwer::waitFor(
      [&] {
        shot = desktop.Screenshot();
        icon = QRect();
        if (shot.size() != QSize(1280, 1024)) return false;
        const QRgb plain = shot.pixel(strip.left() + 1, strip.top() + 1);
        for (int y = strip.top(); y <= strip.bottom(); ++y)
          for (int x = strip.left(); x <= strip.right(); ++x)
            if (shot.pixel(x, y) != plain) icon |= QRect(x, y, 1, 1);
        return icon.width() >= 8 && icon.height() >= 8;
      },
      kWaitMs);
  if (const QString out = qEnvironmentVariable("WM_TEST_SCREENSHOTS"); !out.isEmpty()) shot.save(out + "/tray-xembed.png");
  ASSERT_TRUE(found) << "no icon in the tray";
  // A message opens Zosia's chat, hidden: the menu's first item.
  serwer.sendMessage(5551, "Hej");
  ASSERT_TRUE(Serwer::waitFor([&] { return Read("osoby/" + QString::number(kNumer) + ".html").contains("Hej"); },
                              kWaitMs));
  ASSERT_TRUE(desktop.Click(icon.center(), 3));
  // The menu: its background is the scheme's inside a border of the frame
  // shade; the chat and the three fixed items 19 pixels each, the
  // separator 8 between them.
  QRect menu;
  ASSERT_TRUE(Serwer::waitFor(
      [&] {
        shot = desktop.Screenshot();
        if (shot.size() != QSize(1280, 1024)) return false;
        menu = Around(shot, QRect(icon.center() - QPoint(300, 200), QSize(600, 400)), Rgb(kolory.tlo));
        return menu.height() >= 4 * 19;
      },
      kWaitMs))
      << "no menu at the pointer";
  if (const QString out = qEnvironmentVariable("WM_TEST_SCREENSHOTS"); !out.isEmpty())
    shot.copy(menu.adjusted(-60, -60, 60, 60)).save(out + "/menu-xembed.png");
  EXPECT_EQ(menu.height(), 4 * 19 + 8);
  EXPECT_LE(menu.width(), 200);
  // Text drawn inside it (the dimmed text colour of a light scheme text).
  int lit = 0;
  for (int y = menu.top(); y <= menu.bottom(); ++y)
    for (int x = menu.left(); x <= menu.right(); ++x) lit += qGray(shot.pixel(x, y)) > 128;
  EXPECT_GT(lit, 40) << "the captions";
  ASSERT_TRUE(desktop.Click(QPoint(menu.left() + 30, menu.bottom() - 9)));
  AnswerYesAndEnd();
}

// A StatusNotifierItem host: the program registers its item with the
// watcher and exports a plain menu with the same items in the same order,
// the chats newest first as they come, which the host reads and clicks
// through com.canonical.dbusmenu.
TEST_F(DesktopEndToEndTrayTest, AHostOverDBusGetsThePlainMenuWithTheChatsAsTheyCome) {
  StartBus();
  if (IsSkipped() || HasFatalFailure()) return;
  QDBusConnection host = QDBusConnection::connectToBus(address, "host");
  ASSERT_TRUE(host.isConnected());
  FakeWatcher watcher;
  ASSERT_TRUE(host.registerObject(
      "/StatusNotifierWatcher", &watcher,
      QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties | QDBusConnection::ExportAllSignals));
  ASSERT_TRUE(host.registerService("org.kde.StatusNotifierWatcher"));
  StartOn({});
  if (HasFatalFailure()) return;
  ASSERT_TRUE(Serwer::waitFor([&] { return !watcher.items.isEmpty(); }, kWaitMs)) << "no item registered";
  const QString item = watcher.items.first();

  QDBusMessage get = QDBusMessage::createMethodCall(item, "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "Get");
  get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("Menu");
  const QDBusMessage menuPath = host.call(get, QDBus::Block, 5000);
  ASSERT_EQ(menuPath.type(), QDBusMessage::ReplyMessage) << menuPath.errorMessage().toStdString();
  const QString path = menuPath.arguments().value(0).value<QDBusVariant>().variant().value<QDBusObjectPath>().path();
  ASSERT_FALSE(path.isEmpty());
  const auto call = [&](const QString& method, const QVariantList& args) {
    QDBusMessage m = QDBusMessage::createMethodCall(item, path, "com.canonical.dbusmenu", method);
    m.setArguments(args);
    return host.call(m, QDBus::Block, 5000);
  };
  // As a host opens the menu: told first, then read.
  const auto layout = [&] {
    call("AboutToShow", {0});
    const QDBusMessage reply = call("GetLayout", {0, -1, QStringList()});
    std::vector<MenuItem> items;
    if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 2)
      ReadLayout(reply.arguments()[1].value<QDBusArgument>(), items, true);
    return items;
  };
  const auto labels = [](const std::vector<MenuItem>& items) {
    QStringList l;
    for (const MenuItem& i : items) l << i.label;
    return l;
  };
  const QStringList fixed{"-", "Resetuj okno", QString::fromUtf8("Zmień status..."), QString::fromUtf8("Zakończ")};
  EXPECT_EQ(labels(layout()), fixed.mid(1)) << "without chats no separator, as in the drawn menu";

  // Messages open hidden chats; each stands first.
  serwer.sendMessage(5551, "Hej");
  ASSERT_TRUE(Serwer::waitFor([&] { return labels(layout()) == QStringList{"Zosia"} + fixed; }, kWaitMs))
      << labels(layout()).join('|').toStdString();
  serwer.sendMessage(4567, "Kto to?");
  std::vector<MenuItem> items;
  ASSERT_TRUE(Serwer::waitFor(
      [&] {
        items = layout();
        return labels(items) == QStringList{"4567", "Zosia"} + fixed;
      },
      kWaitMs))
      << labels(items).join('|').toStdString();
  EXPECT_FALSE(items[0].icon) << "a stranger has no picture";
  EXPECT_TRUE(items[1].icon) << "a contact's status picture";
  EXPECT_TRUE(items[4].icon) << "the own status";

  const QDBusMessage clicked =
      call("Event", {items.back().id, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u});
  EXPECT_EQ(clicked.type(), QDBusMessage::ReplyMessage) << clicked.errorMessage().toStdString();
  AnswerYesAndEnd();
}

#include "DesktopTrayTest.moc"
