// The built program on Qt's Wayland platform, under a tiling compositor
// (sway, headless) with a tray over D-Bus, worked with the pointer against
// the server emulator: the buttons of the caption strip answer a click, a
// drag on the strip moves the window, the window floats at its own size
// without the compositor's frame, and the place in Wirmelak.ini, which
// Wayland never tells the program, is kept as it was.

#include <QDBusConnection>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QStandardPaths>

#include "EndToEndFixture.h"
#include "support/StatusNotifierWatcher.h"
#include "support/WaylandDesktop.h"

namespace {

using namespace endtoend;
using ggserwer::Serwer;

constexpr int kWaitMs = 20000;
const QString kQuestion = QString::fromUtf8("^Pytanie do użytkownika");

struct WaylandDesktopTest : EndToEndFixture {
  WaylandDesktop desktop;
  QProcess bus;
  QString address;

  void TearDown() override {
    EndToEndFixture::TearDown();
    QDBusConnection::disconnectFromBus("host");
    if (bus.state() != QProcess::NotRunning) {
      bus.kill();
      bus.waitForFinished(3000);
    }
  }
  // A session bus of the test's own, for the tray.
  void StartBus() {
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(bus.waitForStarted(3000)) << "no dbus-daemon";
    ASSERT_TRUE(Serwer::waitFor([&] { return bus.canReadLine(); }, 5000));
    address = QString::fromLatin1(bus.readLine().trimmed());
  }
  // A window of the program once it is shown and the program and sway
  // have settled: then it has its place and size, and takes a click.
  std::optional<WaylandDesktop::Window> WaitShown(const QString& title) {
    if (!desktop.WaitForWindow(title, kWaitMs) || !desktop.WaitSettled({program.processId()}, kWaitMs))
      return std::nullopt;
    return desktop.Find(title);
  }
  // A window of the program closed by its own cross, the strip's first
  // button.
  void CloseByItsCross(const QString& title) {
    const auto w = WaitShown(title);
    ASSERT_TRUE(w) << "no window " << title.toStdString();
    ASSERT_TRUE(desktop.Click(w->content.topLeft() + QPoint(11, 11)));
    EXPECT_TRUE(desktop.WaitForNoWindow(title, kWaitMs)) << "its cross did not close " << title.toStdString();
  }
};

}  // namespace

TEST_F(WaylandDesktopTest, TheStripsButtonsAnswerTheWindowFloatsAtItsSizeAndItsPlaceIsKept) {
#ifndef WM_WSKAZNIK
  GTEST_SKIP() << "tools/wskaznik, the compositor's mouse, was not built (no libwayland-dev)";
#else
  if (!desktop.Start(QStringLiteral(WM_WSKAZNIK)))
    GTEST_SKIP() << "no Wayland compositor here: " << desktop.Problem().toStdString();
  const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath);
  if (!QFileInfo::exists(plugins + "/platforms/libqwayland-generic.so"))
    GTEST_SKIP() << "Qt's Wayland platform (qt6-wayland) is not installed";
  StartBus();
  QDBusConnection host = QDBusConnection::connectToBus(address, "host");
  FakeWatcher watcher;
  ASSERT_TRUE(host.registerObject("/StatusNotifierWatcher", &watcher,
                                  QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
  ASSERT_TRUE(host.registerService("org.kde.StatusNotifierWatcher"));

  environment = desktop.Environment();
  environment.insert("DBUS_SESSION_BUS_ADDRESS", address);
  arguments = {};
  WriteWithDescriptionAndContacts();
  PlaceMainWindow({100, 100});
  Start();
  auto main = WaitShown(kMainTitle);
  ASSERT_TRUE(main) << "no main window";
  ASSERT_TRUE(WaitLoggedIn(0, kWaitMs));
  ASSERT_TRUE(Serwer::waitFor([&] { return !watcher.items.isEmpty(); }, kWaitMs)) << "no tray item";
  EXPECT_TRUE(main->floating) << "tiled";
  EXPECT_EQ(main->content.size(), QSize(250, 545));
  EXPECT_EQ(main->outer, main->content) << "the compositor draws a frame around it";

  // "i" and the size button open their windows, which float over it.
  ASSERT_TRUE(desktop.Click(main->content.topLeft() + QPoint(193 + 8, 3 + 8)));
  CloseByItsCross("^Informacje o programie");
  ASSERT_TRUE(desktop.Click(main->content.topLeft() + QPoint(211 + 8, 3 + 8)));
  CloseByItsCross("^Rozmiar okna");

  // A drag on the strip where no button is: the compositor moves the
  // window once the pointer has gone past the drag distance.
  const QPoint from = main->content.topLeft() + QPoint(120, 10);
  ASSERT_TRUE(desktop.MoveTo(from) && desktop.Press());
  QPoint to = from;
  const bool moved = Serwer::waitFor(
      [&] {
        if (to.x() < from.x() + 200) to += QPoint(10, 5);
        desktop.MoveTo(to);
        const auto now = desktop.Find(kMainTitle);
        return now && now->content.topLeft() != main->content.topLeft();
      },
      kWaitMs);
  ASSERT_TRUE(desktop.Release());
  ASSERT_TRUE(moved) << "a drag on the strip did not move the window";
  main = desktop.Find(kMainTitle);
  ASSERT_TRUE(main);

  // The cross asks; "Nie" keeps the program.
  ASSERT_TRUE(desktop.Click(main->content.topLeft() + QPoint(11, 11)));
  const auto question = WaitShown(kQuestion);
  ASSERT_TRUE(question) << "the cross did not ask";
  EXPECT_TRUE(question->floating);
  if (const QString folder = qEnvironmentVariable("WM_SCREENSHOT_DIR"); !folder.isEmpty())
    desktop.Screenshot().save(folder + "/wayland-pytanie.png");
  ASSERT_TRUE(desktop.Click(question->content.topLeft() + QPoint(240 + 40, question->content.height() - 36 + 12)));
  ASSERT_TRUE(desktop.WaitForNoWindow(kQuestion, kWaitMs)) << "\"Nie\" did not close the question";
  ASSERT_EQ(program.state(), QProcess::Running);

  // The dash puts the window away into the tray.
  ASSERT_TRUE(desktop.Click(main->content.topLeft() + QPoint(229 + 8, 3 + 8)));
  EXPECT_TRUE(desktop.WaitForNoWindow(kMainTitle, kWaitMs)) << "the dash did not hide the window";

  End();
  const QByteArray ini = Read("Wirmelak.ini");
  EXPECT_TRUE(ini.contains("\r\nlewy = 100\r\ngorny = 100\r\nszerokosc = 250\r\nwysokosc = 545\r\n")) << ini.data();
#endif
}
