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
#include <functional>

#include "EndToEndFixture.h"
#include "support/Desktop.h"
#include "support/StatusNotifierWatcher.h"

namespace {

using namespace endtoend;

constexpr int kWaitMs = 20000;
const QString kQuestion = QString::fromUtf8("^Pytanie do użytkownika");

// One item of an exported menu as a host reads it.
struct MenuItem {
  int id = 0;
  QString label;  // "-" for a separator
  bool icon = false;
};

void ReadLayout(const QDBusArgument& arg, std::vector<MenuItem>& items, bool top) {
  int id = 0;
  QVariantMap p;
  arg.beginStructure();
  arg >> id >> p;
  const bool separator = p.value("type").toString() == "separator";
  if (!top) items.push_back({id, separator ? "-" : p.value("label").toString(), !p.value("icon-data").toByteArray().isEmpty()});
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
    // The main window, of the scheme's colour too, far from the tray.
    QFile ini(dir.filePath("Wirmelak.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("lewy = 100\r\ngorny = 100\r\n");
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

// The smallest rectangle around the pixels within an area that pass.
QRect Around(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& pass) {
  QRect found;
  const QRect r = area & image.rect();
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (pass(image.pixel(x, y))) found |= QRect(x, y, 1, 1);
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
  // Screenshots go to $WM_TEST_SCREENSHOTS when it is set, to be looked at.
  QImage shot;
  const auto look = [&](const std::function<bool()>& found, const char* name) {
    const bool seen = Serwer::waitFor([&] { return (shot = desktop.Screenshot()).size() == QSize(1280, 1024) && found(); }, kWaitMs);
    if (const QString out = qEnvironmentVariable("WM_TEST_SCREENSHOTS"); !out.isEmpty()) shot.save(out + "/" + name);
    return seen;
  };
  // trayer keeps its icons in its strip at the bottom right, on a plain
  // background.
  const QRect strip(1280 - 120, 1024 - 24, 120, 24);
  QRect icon;
  ASSERT_TRUE(look(
      [&] {
        const QRgb plain = shot.pixel(strip.topLeft() + QPoint(1, 1));
        icon = Around(shot, strip, [&](QRgb p) { return p != plain; });
        return icon.width() >= 8 && icon.height() >= 8;
      },
      "tray-xembed.png"))
      << "no icon in the tray";
  // A message opens Zosia's chat, hidden: the menu's first item, bold.
  serwer.sendMessage(5551, "Hej");
  ASSERT_TRUE(Serwer::waitFor([&] { return Read("osoby/" + QString::number(kNumer) + ".html").contains("Hej"); },
                              kWaitMs));
  ASSERT_TRUE(desktop.Click(icon.center(), 3));
  // At the pointer, on the scheme's background: the chat and the three
  // fixed items, 19 pixels each, with the separator's 8 between them, and
  // their captions in the (light) dimmed text colour.
  const QRgb tlo = qRgb(kolory.tlo & 0xFF, (kolory.tlo >> 8) & 0xFF, kolory.tlo >> 16);
  QRect menu;
  ASSERT_TRUE(look(
      [&] {
        menu = Around(shot, QRect(icon.center() - QPoint(300, 200), QSize(600, 400)), [&](QRgb p) { return p == tlo; });
        return menu.height() >= 4 * 19;
      },
      "menu-xembed.png"))
      << "no menu at the pointer";
  EXPECT_EQ(menu.height(), 4 * 19 + 8);
  EXPECT_LE(menu.width(), 200);
  EXPECT_GT(Around(shot, menu, [](QRgb p) { return qGray(p) > 128; }).width(), 40) << "the captions";
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

