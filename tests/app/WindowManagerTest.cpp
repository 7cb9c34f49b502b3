// The built program on a desktop with a real window manager (openbox) and
// on several monitors, as a user meets it: dialogs stand above the window
// they belong to, also above the main window that stays on top, and a
// window never opens where no screen shows it.

#include <QFileInfo>
#include <QProcessEnvironment>

#include "EndToEndFixture.h"
#include "support/Desktop.h"

namespace {

using namespace endtoend;
using ggserwer::Serwer;

// Of the window's outermost frame line (one colour all round a skinned
// window) where it crosses `over`, the share whose pixels the window's
// showing changed: all of it when it stands above, none when below.
double FrameShown(const QImage& before, const QImage& after, const QRect& window, const QRect& over) {
  long changed = 0, all = 0;
  const auto at = [&](int x, int y) {
    if (!over.contains(x, y)) return;
    ++all;
    changed += before.pixel(x, y) != after.pixel(x, y);
  };
  for (int x = window.left(); x <= window.right(); ++x) {
    at(x, window.top());
    at(x, window.bottom());
  }
  for (int y = window.top() + 1; y < window.bottom(); ++y) {
    at(window.left(), y);
    at(window.right(), y);
  }
  return all ? double(changed) / double(all) : 0;
}

struct WindowManagerTest : EndToEndFixture {
  Desktop desktop;
  QRect main;

  void StartOn(const Desktop::Options& options, QPoint mainAt) {
    ASSERT_TRUE(desktop.Start(options)) << desktop.Problem().toStdString();
    environment = desktop.Environment();
    arguments = {};
    PlaceMainWindow(mainAt);
    Start();
    const auto window = desktop.WaitForWindow(kMainTitle);
    ASSERT_TRUE(window) << "no main window";
    WaitSettled();
    main = desktop.Geometry(*window).value_or(QRect());
  }
  // The program, the X server and the window manager have done what they
  // were given: the windows drawn and stacked.
  void WaitSettled() { ASSERT_TRUE(desktop.WaitSettled({program.processId()})) << "the program stays busy"; }

  // Opens a dialog by a click on the main window and checks, on the
  // screen's pixels, that it covers the main window where they overlap,
  // and that it is its owner's dialog; Esc closes it again.
  void ExpectAboveTheMainWindow(QPoint click, const QString& title, const QString& picture = {}) {
    SCOPED_TRACE(title.toStdString());
    const QImage before = desktop.Screenshot();
    ASSERT_FALSE(before.isNull());
    ASSERT_TRUE(desktop.Click(main.topLeft() + click));
    const auto dialog = desktop.WaitForWindow(title, 10000);
    ASSERT_TRUE(dialog) << "no dialog";
    WaitSettled();
    const QImage after = desktop.Screenshot();
    const QRect r = desktop.Geometry(*dialog).value_or(QRect());
    // Inside the main window's frame, where the two overlap.
    const QRect overlap = r.intersected(main.adjusted(3, 3, -3, -3));
    ASSERT_GT(overlap.width() * overlap.height(), 100 * 100) << "the test wants them to overlap";
    EXPECT_GT(FrameShown(before, after, r, overlap), 0.9) << "the main window still covers it";
    if (const QString folder = qEnvironmentVariable("WM_SCREENSHOT_DIR"); !folder.isEmpty() && !picture.isEmpty())
      after.copy(main.united(r).adjusted(-20, -20, 20, 20)).save(folder + "/" + picture);
    const QByteArray props =
        desktop.Run("xprop", {"-id", QString::number(*dialog), "WM_TRANSIENT_FOR", "_NET_WM_WINDOW_TYPE"})
            .value_or("");
    EXPECT_TRUE(props.contains("WM_TRANSIENT_FOR(WINDOW): window id")) << props.toStdString();
    EXPECT_TRUE(props.contains("_NET_WM_WINDOW_TYPE_DIALOG")) << props.toStdString();
    ASSERT_TRUE(desktop.Key("Escape"));
    EXPECT_TRUE(desktop.WaitForNoWindow(title, 10000)) << "Esc did not close it";
  }
};

}  // namespace

// The main window in the middle of the screen, staying on top: the closing
// question, the status dialog, the contact's data and the settings each
// come up above it.
TEST_F(WindowManagerTest, DialogsStandAboveTheStayingOnTopMainWindow) {
  WriteWithDescriptionAndContacts();
  StartOn({.windowManager = true}, {(1280 - 250) / 2, (1024 - 545) / 2});
  ASSERT_FALSE(main.isEmpty());
  ExpectAboveTheMainWindow({3 + 8, 3 + 8}, QString::fromUtf8("^Pytanie do użytkownika"), "pytanie-nad-oknem.png");
  EXPECT_EQ(program.state(), QProcess::Running) << "Esc closed the program";
  ExpectAboveTheMainWindow({124 + 16, 463 + 16}, "^Zmiana stanu");
  ExpectAboveTheMainWindow({186 + 7, 453 + 8}, "^Dane znajomego");
  ExpectAboveTheMainWindow({226 + 8, 507 + 16}, "^Ustawienia");
  End();
}

// Monitors as the program finds them at start, side by side, the primary
// not at the origin (Qt's offscreen platform takes such a layout; Xvfb's
// Xinerama heads all start at the origin). Where the window stood is read
// from the settings the program writes as it ends.
TEST_F(WindowManagerTest, AWindowOnAMonitorThatHasGoneComesBackTheDefaultIsOnThePrimary) {
  WriteWithDescriptionAndContacts();
  const auto runOn = [&](const char* screens, const QByteArray& place) -> QByteArray {
    QFile layout(dir.filePath("ekrany.json"));
    EXPECT_TRUE(layout.open(QIODevice::WriteOnly | QIODevice::Truncate));
    layout.write(QByteArray("{\"screens\": [") + screens + "]}");
    layout.close();
    QFile ini(dir.filePath("Wirmelak.ini"));
    EXPECT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write("autowolit = 0\r\n" + place);
    ini.close();
    environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + dir.filePath("ekrany.json"));
    Start();
    EXPECT_TRUE(desktop.WaitSettled({program.processId()})) << "not placed and shown";
    End();
    QByteArray saved = Read("Wirmelak.ini");
    saved = saved.mid(saved.indexOf("lewy"));
    return saved.left(saved.indexOf("szerokosc"));
  };
  // The primary (Qt's offscreen platform makes the leftmost one primary)
  // lower than the other, so that its area does not start at the origin.
  const char* two = R"({"name": "lewy", "x": 0, "y": 200, "width": 1280, "height": 1024},
                       {"name": "prawy", "x": 1280, "y": 0, "width": 1024, "height": 768})";
  const char* one = R"({"name": "lewy", "x": 0, "y": 200, "width": 1280, "height": 1024})";
  const QByteArray onTheRight = "lewy = 1500\r\ngorny = 100\r\nszerokosc = 250\r\nwysokosc = 545\r\n";
  EXPECT_EQ(runOn(two, onTheRight), "lewy = 1500\r\ngorny = 100\r\n") << "moved off a present screen";
  EXPECT_EQ(runOn(one, onTheRight), "lewy = 1002\r\ngorny = 359\r\n") << "left where no screen shows it";
  EXPECT_EQ(runOn(two, ""), "lewy = 940\r\ngorny = 297\r\n") << "the default place is not on the primary";
}

// A conversation read and copied as on a desktop: the chat window opened
// by a double-click on the contact, both messages selected with a drag of
// the mouse, "Kopiuj" clicked in the context menu; the clipboard then holds
// the text with the emoticon as its shorthand and the link as its address.
TEST_F(WindowManagerTest, AChatSelectionIsCopiedThroughItsContextMenu) {
  for (const char* action : {"200 message 5551 Czesc! Zobacz www.wp.pl/plan :)", "100 message 5551 Druga linijka"})
    serwer.addTimedAction(*ggserwer::parseTimedAction(QString::fromUtf8(action)));
  WriteWithDescriptionAndContacts();
  StartOn({.windowManager = true}, {700, 100});
  ASSERT_TRUE(WaitLoggedIn(0));
  WaitSettled();
  ASSERT_TRUE(desktop.Click(main.topLeft() + QPoint(60, 24 + 18 + 9), 1, 2));  // Zosia, after Janek
  const auto chat = desktop.WaitForWindow("^Zosia \\(nr 5551\\)");
  ASSERT_TRUE(chat);
  WaitSettled();
  const QRect w = desktop.Geometry(*chat).value_or(QRect());
  // The view: 369 x 175 at (8, 24); from its first corner to its last.
  ASSERT_TRUE(desktop.Drag(w.topLeft() + QPoint(10, 26), w.topLeft() + QPoint(8 + 360, 24 + 170)));
  ASSERT_TRUE(desktop.Click(w.topLeft() + QPoint(100, 60), 3));
  WaitSettled();
  const QImage menu = desktop.Screenshot();
  if (const QString folder = qEnvironmentVariable("WM_SCREENSHOT_DIR"); !folder.isEmpty())
    menu.copy(w.adjusted(-20, -20, 120, 60)).save(folder + "/okno-rozmowy-menu.png");
  ASSERT_TRUE(desktop.Click(w.topLeft() + QPoint(100 + 30, 60 + 10)));  // its first item, "Kopiuj"
  // xclip fails while nobody owns the clipboard.
  std::optional<QByteArray> clipboard;
  ASSERT_TRUE(Serwer::waitFor(
      [&] { return (clipboard = desktop.Run("xclip", {"-o", "-selection", "clipboard"})).has_value(); }, 10000))
      << "nothing was copied";
  const QString copied = QString::fromUtf8(*clipboard);
  EXPECT_TRUE(copied.contains("Czesc! Zobacz www.wp.pl/plan :)")) << copied.toStdString();
  EXPECT_TRUE(copied.contains("Druga linijka")) << copied.toStdString();
  End();
}
