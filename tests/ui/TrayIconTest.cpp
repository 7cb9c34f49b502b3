#include "ui/TrayIcon.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QPainter>
#include <QPointer>

#include "UiTestSupport.h"
#include "platform/Cp1250.h"
#include "ui/SkinRecolourable.h"
#include "ui/TPupa.h"

namespace {

struct TrayIconTest : SkinTest {
  bool available = true;
  struct Notice {
    std::string title, text;
    int timeoutMs;
  };
  std::vector<Notice> notices;
  std::unique_ptr<TrayIcon> icon;

  void SetUp() override {
    SkinTest::SetUp();
    Skin::get().LoadPictures();
    TrayIcon::Options o;
    o.available = [this] { return available; };
    o.notify = [this](const std::string& t, const std::string& x, int ms) { notices.push_back({t, x, ms}); };
    icon = std::make_unique<TrayIcon>(o);
  }
  TPupa& Pupa() { return icon->Pupa(); }
  QStringList Captions() {
    QStringList c;
    for (QAction* a : Pupa().actions()) c << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return c;
  }
  // The menu as it shows, with the given item under the pointer.
  QImage Render(QAction* highlighted = nullptr) {
    Pupa().ensurePolished();
    Pupa().resize(Pupa().sizeHint());
    Pupa().setActiveAction(highlighted);
    return Pupa().grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
};

// Where an item's caption is written.
QRect Caption(const QRect& item) { return item.adjusted(20, 0, 0, 0); }

int Brightest(const QImage& img, const QRect& r) {
  unsigned most = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) most = std::max(most, MaxChannel(At(img, x, y)));
  return static_cast<int>(most);
}

}  // namespace

// Three chats, the middle one with a new message, the last with a stranger:
// listed newest first above the fixed items, each with its tag, picture and
// weight, and drawn as the table of the owner drawing says.
TEST_F(TrayIconTest, ChatItemsNewestFirstAboveTheFixedItemsDrawnInTheScheme) {
  icon->SetChats({{T("Zosia"), 3, false}, {T("Łucja & Co"), 4, true}, {"777", -1, false}});
  icon->SetOwnStatus(2);
  EXPECT_EQ(Captions(), QStringList({"777", QString::fromUtf8("Łucja & Co"), "Zosia", "-", "Resetuj okno",
                                     QString::fromUtf8("Zmień status..."), QString::fromUtf8("Zakończ")}));
  const QList<QAction*> items = Pupa().actions();
  std::vector<int> tags;
  for (QAction* a : items) tags.push_back(Tag(a));
  EXPECT_EQ(tags, (std::vector<int>{3, 2, 1, 0, 0, 0, 0}));
  EXPECT_EQ(Pupa().Picture(items[0]), -1) << "a stranger has no picture";
  EXPECT_EQ(Pupa().Picture(items[1]), 4);
  EXPECT_EQ(Pupa().Picture(Pupa().ZmienStatus), 2);
  EXPECT_EQ(Pupa().Picture(Pupa().Zakoncz), -1);
  EXPECT_TRUE(items[1]->font().bold());
  EXPECT_FALSE(items[0]->font().bold());
  EXPECT_FALSE(items[2]->font().bold());

  const DerivedColours& d = colours();
  const uint32_t bg = Skin::get().scheme().tlo;
  const QImage img = Render(items[2]);
  auto rect = [&](QAction* a) { return Pupa().actionGeometry(a); };
  // The stranger's place for a picture is bare; a contact's holds one.
  const QRect stranger = rect(items[0]), zosia = rect(items[2]);
  const QRect pictureAt(stranger.left() + 1, stranger.top() + 1, 16, 16);
  EXPECT_EQ(CountOf(img, bg, pictureAt), 16 * 16);
  EXPECT_LT(CountOf(img, d.frameShade[0], pictureAt.translated(0, zosia.top() - stranger.top())), 200);
  // Highlighted: the 25 % shade behind the text colour; otherwise the
  // background behind the dimmed text.
  EXPECT_EQ(At(img, zosia.right() - 2, zosia.top() + 1), d.frameShade[0]);
  EXPECT_NEAR(Brightest(img, Caption(zosia)), MaxChannel(Skin::get().scheme().tekst), 8);
  EXPECT_EQ(At(img, stranger.right() - 2, stranger.top() + 1), bg);
  EXPECT_NEAR(Brightest(img, Caption(stranger)), MaxChannel(d.dimmedText), 8);
  // The separator: three shades from each edge, the button face between.
  const QRect sep = rect(Pupa().Przerwa);
  ASSERT_EQ(sep.height(), 8);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(At(img, sep.center().x(), sep.top() + i), d.frameShade[i]);
    EXPECT_EQ(At(img, sep.center().x(), sep.bottom() - i), d.frameShade[i]);
  }
  EXPECT_EQ(At(img, sep.center().x(), sep.top() + 3), kButtonFace);

  // A rebuild replaces the chat items and keeps the fixed ones.
  icon->SetChats({{"5", -1, false}});
  EXPECT_EQ(Captions().size(), 5);
  EXPECT_EQ(Captions().first(), "5");
  EXPECT_EQ(Tag(Pupa().actions().first()), 1);
}

TEST_F(TrayIconTest, ItemsIconAnimationAndBalloonReachTheProgram) {
  std::vector<std::string> seen;
  Tray::Events e;
  e.click = [&] { seen.push_back("click"); };
  e.chatItem = [&](int chat) { seen.push_back("chat " + std::to_string(chat)); };
  e.resetOkno = [&] { seen.push_back("reset"); };
  e.zmienStatus = [&] { seen.push_back("status"); };
  e.zakoncz = [&] { seen.push_back("end"); };
  e.availabilityChanged = [&](bool on) { seen.push_back(on ? "tray" : "no tray"); };
  icon->SetEvents(e);
  icon->SetChats({{"1", -1, false}, {"2", -1, false}});
  Pupa().actions()[0]->trigger();
  Pupa().ResetOkno->trigger();
  Pupa().ZmienStatus->trigger();
  Pupa().Zakoncz->trigger();
  emit icon->Ikona().activated(QSystemTrayIcon::Trigger);
  // The fixed items open modal loops: they run after the menu's click.
  EXPECT_EQ(seen, (std::vector<std::string>{"chat 1", "click"}));
  QCoreApplication::processEvents();
  EXPECT_EQ(seen, (std::vector<std::string>{"chat 1", "click", "reset", "status", "end"}));

  // The animation steps through every picture every 500 ms and stops on the first.
  EXPECT_EQ(icon->Picture(), 0);
  EXPECT_FALSE(icon->Ikona().icon().isNull());
  icon->SetAnimation(true);
  EXPECT_TRUE(icon->Animating());
  const int n = static_cast<int>(Skin::get().Cycle().size());
  ASSERT_GE(n, 2);
  for (int i = 1; i <= n; ++i) {
    icon->Step();
    EXPECT_EQ(icon->Picture(), i % n);
  }
  icon->Step();
  icon->SetAnimation(false);
  EXPECT_FALSE(icon->Animating());
  EXPECT_EQ(icon->Picture(), 0);

  // Without a tray the balloon goes to the notifier, cut to what a balloon takes.
  seen.clear();
  available = false;
  icon->CheckAvailability();
  icon->CheckAvailability();
  EXPECT_EQ(seen, std::vector<std::string>{"no tray"});
  EXPECT_FALSE(icon->Available());
  icon->ShowBalloon(std::string(70, 'T'), std::string(300, 'x'), Tray::BalloonIcon::kInformation, 10000);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].title, std::string(63, 'T'));
  EXPECT_EQ(notices[0].text, std::string(255, 'x'));
  EXPECT_EQ(notices[0].timeoutMs, 10000);
  available = true;
  icon->CheckAvailability();
  EXPECT_TRUE(icon->Available());
  icon->ShowBalloon("a", "b", Tray::BalloonIcon::kInformation, 10000);
  EXPECT_EQ(notices.size(), 1u) << "with a tray the icon's own balloon";
}

// A tray host that draws menus itself (over D-Bus) is given a plain menu
// with Pupa's items in Pupa's order, with their pictures, delivering the
// same events after the click; it is rebuilt only when something in it
// changed, and the host opening it refreshes it. An XEmbed tray gets none.
TEST_F(TrayIconTest, AHostThatDrawsMenusGetsAPlainMenuWithTheSameItems) {
  EXPECT_EQ(icon->HostMenu(), nullptr);
  EXPECT_EQ(icon->Ikona().contextMenu(), nullptr) << "on an XEmbed tray the program pops Pupa up itself";
  TrayIcon::Options o;
  o.available = [] { return true; };
  o.hostDrawsMenu = [] { return true; };
  TrayIcon host(o);
  QMenu* menu = host.HostMenu();
  ASSERT_TRUE(menu);
  EXPECT_EQ(host.Ikona().contextMenu(), menu);
  std::vector<std::string> seen;
  Tray::Events e;
  e.chatItem = [&](int chat) { seen.push_back("chat " + std::to_string(chat)); };
  e.zmienStatus = [&] { seen.push_back("status"); };
  e.zakoncz = [&] { seen.push_back("end"); };
  e.menuOpening = [&] { seen.push_back("opening"); };
  host.SetEvents(e);
  host.SetChats({{T("Zosia"), 3, false}, {T("Łucja & Co"), 4, true}, {"777", -1, false}});
  host.SetOwnStatus(2);
  QStringList captions;
  for (QAction* a : menu->actions()) captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
  EXPECT_EQ(captions, (QStringList{"777", QString::fromUtf8("Łucja  Co"), "Zosia", "-", "Resetuj okno",
                                   QString::fromUtf8("Zmień status..."), QString::fromUtf8("Zakończ")}))
      << "as Pupa draws them, without the \"&\"";
  const QList<QAction*> items = menu->actions();
  EXPECT_TRUE(items[0]->icon().isNull()) << "a stranger has no picture";
  EXPECT_FALSE(items[2]->icon().isNull());
  EXPECT_FALSE(items[5]->icon().isNull()) << "the own status";
  EXPECT_TRUE(items[6]->icon().isNull());

  items[2]->trigger();
  items[5]->trigger();
  items[6]->trigger();
  EXPECT_TRUE(seen.empty()) << "delivered after the click";
  QCoreApplication::processEvents();
  EXPECT_EQ(seen, (std::vector<std::string>{"chat 0", "status", "end"}));

  seen.clear();
  emit menu->aboutToShow();
  EXPECT_EQ(seen, std::vector<std::string>{"opening"});
  const QPointer<QAction> first = menu->actions().first();
  host.SetChats({{T("Zosia"), 3, false}, {T("Łucja & Co"), 4, true}, {"777", -1, false}});
  host.SetOwnStatus(2);
  EXPECT_TRUE(first) << "nothing changed: the menu the host holds stays";
  host.SetChats({{"5", -1, false}});
  EXPECT_FALSE(first);
  EXPECT_EQ(menu->actions().size(), 5);
  EXPECT_EQ(menu->actions().first()->text(), "5");
  // Without chats no separator heads it: Pupa hides one in that place.
  host.SetChats({});
  ASSERT_EQ(menu->actions().size(), 3);
  EXPECT_EQ(menu->actions().first()->text(), "Resetuj okno");
}
