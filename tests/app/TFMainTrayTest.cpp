// The main window's chrome and its tray: the title strip's buttons, a click
// on the icon, the menu's chat items and fixed items, the desktop without a
// tray, an identity switch, and the request of a copy started later.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "WindowTestBasics.h"
#include "app/IdentityFile.h"
#include "app/SingleInstance.h"
#include "app/TFMain.h"
#include "app/TFStat.h"
#include "contacts/view/TLista.h"
#include "conversation/MessageArchive.h"
#include "conversation/view/ChatWindows.h"
#include "platform/Cp1250.h"
#include "support/RecordingTray.h"
#include "support/ScriptedMessageBox.h"
#include "ui/Skin.h"
#include "ui/SkinRecolourable.h"
#include "ui/TButon.h"
#include "ui/TFInfo.h"
#include "ui/TFRozm.h"
#include "ui/TPupa.h"
#include "ui/TrayIcon.h"

namespace {

template <class Window>
Window* Open() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<Window*>(w); d && d->isVisible()) return d;
  return nullptr;
}

struct TrayTest : ::testing::Test {
  QTemporaryDir dir;
  QString savedCwd = QDir::currentPath();
  ScriptedMessageBox box;
  RecordingTray tray;
  std::unique_ptr<TFMain> m;

  void SetUp() override { Skin::get().LoadPictures(); }
  void TearDown() override {
    m.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QDir::setCurrent(savedCwd);
  }
  TFMain& Make(QStringList args = {}, Tray* t = nullptr) {
    TFMain::Options o;
    o.folders = ProgramFolders::OneFolder(dir.path());
    o.arguments = args;
    o.tray = t ? t : &tray;
    m = std::make_unique<TFMain>(o);
    return *m;
  }
  void AddContact(uint32_t number, const char* name, uint8_t status) {
    TKontakt k;
    k.numer = number;
    k.wyswietl = T(name);
    m->Contacts().Add(k);
    m->Contacts().ApplyStatus(number, status, "", kOwn);
  }
  // A message arriving in a hidden window, as the incoming events take it.
  int Incoming(uint32_t number) {
    ChatWindows& chats = m->Chats();
    const int chat = chats.FindOrCreateChat(number);
    chats.AddMessage(chat, "hej", 0, 0);
    if (!chats.ChatVisible(chat)) chats.SetNowy(chat, true);
    return chat;
  }
  // The identity of kOwn on disk, the folder's default.
  void WriteIdentity() {
    const std::string number = std::to_string(kOwn);
    QDir(dir.path()).mkpath("osoby");
    QFile osoba(dir.filePath("osoba"));
    ASSERT_TRUE(osoba.open(QIODevice::WriteOnly));
    osoba.write(number.c_str());
    osoba.close();
    QFile file(dir.filePath(QString::fromStdString("osoby/" + number)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(identity_file::Build("", ColourScheme{}, kOwn, {}, {})));
    file.close();
    QFile archive(dir.filePath(QString::fromStdString("osoby/" + number + ".html")));
    ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
    archive.write(QByteArray::fromStdString(MessageArchive::Head(number)));
  }
};

}  // namespace

TEST_F(TrayTest, TitleStripButtonsTheirHintsTheSizeDialogAndTheAboutWindow) {
  TFMain& w = Make();
  w.setFixedSize(250, 545);
  w.show();
  EXPECT_EQ(w.Buton2->geometry(), QRect(211, 3, 16, 16));
  EXPECT_EQ(w.Buton6->geometry(), QRect(193, 3, 16, 16));
  EXPECT_EQ(w.Buton3->geometry(), QRect(226, 507, 16, 32));
  EXPECT_EQ(w.Buton3->IL(), &Skin::get().ILDuze());
  EXPECT_EQ(w.Buton3->Numer(), 6);
  const std::pair<QWidget*, const char*> hints[] = {{w.Buton2, "Zmień rozmiar okna"},
                                                    {w.Buton6, "Informacje o autorze"},
                                                    {w.Buton3, "Ustawienia"}};
  for (const auto& [button, hint] : hints) EXPECT_EQ(button->toolTip(), QString::fromUtf8(hint));
  w.setFixedSize(300, 600);
  EXPECT_EQ(w.Buton6->geometry(), QRect(243, 3, 16, 16));
  EXPECT_EQ(w.Buton3->geometry(), QRect(276, 562, 16, 32));

  // The size dialog starts from the client size and gives the window the new one.
  QString started;
  QTimer::singleShot(0, [&] {
    TFRozm* d = Open<TFRozm>();
    ASSERT_NE(d, nullptr);
    started = d->X->text() + "x" + d->Y->text();
    d->X->setText("260");
    d->Y->setText("480");
    QTest::keyClick(d->Y, Qt::Key_Return);
  });
  Press(w.Buton2);
  EXPECT_EQ(started, "300x600");
  EXPECT_EQ(w.size(), QSize(260, 480));
  EXPECT_EQ(w.ListaK->geometry(), QRect(6, 24, 248, 356));

  // The about window names the version and what the program is built with.
  QString version, title, parts;
  bool readOnly = false, logo = false;
  QTimer::singleShot(0, [&] {
    TFInfo* d = Open<TFInfo>();
    ASSERT_NE(d, nullptr);
    title = d->windowTitle();
    version = d->Wersja->text();
    parts = d->Skladniki->toPlainText();
    readOnly = d->Skladniki->isReadOnly();
    logo = !d->Logo->pixmap().isNull();
    EXPECT_EQ(d->size(), QSize(387, 210));
    Press(d->BZamknij);
  });
  Press(w.Buton6);
  EXPECT_EQ(title, QString::fromUtf8("Informacje o programie"));
  EXPECT_EQ(version, QString::fromUtf8("wersja 1.2++"));
  EXPECT_TRUE(readOnly);
  EXPECT_TRUE(logo);
  for (const char* part : {"Qt 6", "GoogleTest", "Google Benchmark", "DejaVu"})
    EXPECT_TRUE(parts.contains(QString::fromUtf8(part))) << part;
  EXPECT_EQ(Open<TFInfo>(), nullptr) << "freed when closed";
}

TEST_F(TrayTest, ClickOnTheIconShowsAHiddenWindowAndRaisesAVisibleOne) {
  TFMain& w = Make();
  w.show();
  Press(w.Buton1);
  EXPECT_TRUE(w.isHidden()) << "with a tray the window only hides";
  tray.Click();
  EXPECT_TRUE(w.isVisible());

  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  tray.Click();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&w));

  w.showMinimized();
  tray.Click();
  EXPECT_FALSE(w.isMinimized());
  EXPECT_TRUE(w.isVisible());

  // The menu's fixed items: the default place, the status dialog, the end.
  w.move(3, 4);
  tray.events.resetOkno();
  EXPECT_NE(w.pos(), QPoint(3, 4));
  box.answer(false);
  tray.events.zakoncz();
  ASSERT_EQ(box.shown().size(), 1u) << "the close question";
  EXPECT_TRUE(w.isVisible());
}

TEST_F(TrayTest, MenuItemsFollowTheChatsWithNamesPicturesAndNewMessages) {
  TFMain& w = Make();
  w.SetIdentity(kOwn, "x");
  AddContact(5551, "Zosia", 3);
  AddContact(222, "Janek", 4);
  const int before = tray.chatRebuilds;
  w.Chats().OpenChat(5551);
  Incoming(777);
  Incoming(222);
  EXPECT_EQ(tray.chatRebuilds, before + 3) << "one rebuild per window made";
  tray.OpenMenu();  // the menu is refreshed as it opens: the marks are current
  const std::vector<Tray::ChatItem> expected = {
      {T("Zosia"), 3, false}, {"777", -1, true}, {T("Janek"), 4, true}};
  EXPECT_EQ(tray.chats, expected);

  // A chat's item shows its window, which takes its mark off.
  tray.events.chatItem(2);
  EXPECT_TRUE(w.Chats().At(2)->isVisible());
  tray.OpenMenu();
  EXPECT_FALSE(tray.chats[2].bold);
  // Closing a window drops its item; the own status goes to "Zmień status...".
  w.Chats().At(0)->close();
  ASSERT_EQ(tray.chats.size(), 2u);
  EXPECT_EQ(tray.chats[0].caption, "777");
  w.ShowOwnStatus(5);
  EXPECT_EQ(tray.ownStatus, 5);
}

// The desktop without a tray: nothing the user or the program puts away is
// out of reach.
TEST_F(TrayTest, WithoutATrayWindowsAreMinimisedNeverHidden) {
  tray.available = false;
  TFMain& w = Make({"autostart"});
  w.ShowAtStart();
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.isMinimized()) << "autostart starts minimised";
  w.showNormal();
  Press(w.Buton1);
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.isMinimized());

  // A message for a hidden window: minimised, marked, still announced.
  const int chat = Incoming(777);
  TFCzat* c = w.Chats().At(chat);
  EXPECT_TRUE(c->isVisible());
  EXPECT_TRUE(c->isMinimized());
  EXPECT_TRUE(c->Nowy());
  EXPECT_FALSE(w.Chats().ChatVisible(chat)) << "the next message is announced too";
  c->showNormal();
  EXPECT_FALSE(c->Nowy()) << "seen once restored";
  Press(c->Buton1);
  EXPECT_TRUE(c->isMinimized());

  // With a tray both hide, and autostart starts hidden.
  tray.SetAvailable(true);
  c->showNormal();
  Press(c->Buton1);
  EXPECT_TRUE(c->isHidden());
  w.showNormal();
  Press(w.Buton1);
  EXPECT_TRUE(w.isHidden());
  const int other = Incoming(888);
  EXPECT_TRUE(w.Chats().At(other)->isHidden());
  // The tray goes: what only it could bring back comes to the task bar.
  tray.SetAvailable(false);
  EXPECT_TRUE(w.isMinimized() && w.isVisible());
  EXPECT_TRUE(w.Chats().At(other)->isMinimized() && w.Chats().At(other)->isVisible());
  EXPECT_TRUE(c->isHidden()) << "a read conversation stays where the user put it";

  TrayTest::TearDown();
  tray.available = true;
  TFMain& again = Make({"autostart"});
  again.ShowAtStart();
  EXPECT_TRUE(again.isHidden());
}

// Without a tray a server writing from many numbers fills the task bar only
// so far: the rest wait hidden and marked, and follow as windows are read or
// closed.
TEST_F(TrayTest, WithoutATrayUnreadWindowsComeToTheTaskBarAFewAtATime) {
  tray.available = false;
  TFMain& w = Make();
  constexpr int kMax = ChatWindows::kOnTaskBar;
  std::vector<uint32_t> numbers;
  for (uint32_t n = 0; n < kMax + 3; ++n) numbers.push_back(5000 + n);
  for (uint32_t n : numbers) Incoming(n);
  auto chat = [&](int i) { return w.Chats().At(w.Chats().FindChat(numbers[i])); };
  auto onTaskBar = [&] {
    int k = 0;
    for (size_t i = 0; i < numbers.size(); ++i) k += chat(int(i))->isVisible();
    return k;
  };
  EXPECT_EQ(onTaskBar(), kMax);
  for (size_t i = 0; i < numbers.size(); ++i) EXPECT_TRUE(chat(int(i))->Nowy()) << i;
  EXPECT_TRUE(chat(kMax)->isHidden());

  chat(0)->showNormal();  // read
  EXPECT_TRUE(chat(kMax)->isVisible() && chat(kMax)->isMinimized());
  EXPECT_TRUE(chat(kMax + 1)->isHidden());
  chat(1)->close();  // closed unread
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  numbers.erase(numbers.begin() + 1);
  EXPECT_TRUE(chat(kMax)->isVisible() && chat(kMax)->isMinimized()) << "the next one waiting";
  EXPECT_TRUE(chat(kMax + 1)->isHidden());
  EXPECT_EQ(onTaskBar(), kMax + 1) << "the one read stays open beside them";
}

// The real icon: an identity switch closes the chats, stops the animation on
// the resting picture and empties the menu of chat items.
TEST_F(TrayTest, IdentitySwitchStopsTheAnimationAndEmptiesTheMenu) {
  TrayIcon::Options o;
  o.available = [] { return true; };
  TrayIcon icon(o);
  TFMain& w = Make({}, &icon);
  w.SetIdentity(kOwn, "x");
  ASSERT_TRUE(w.CreateArchive(std::to_string(kOwn)));
  Incoming(777);
  Incoming(778);
  EXPECT_TRUE(icon.Animating());
  icon.Step();
  EXPECT_EQ(icon.Picture(), 1);
  EXPECT_EQ(Tag(icon.Pupa().actions().first()), 2) << "the newest chat first";

  w.Identities().UnloadIdentity();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(w.Chats().Count(), 0);
  EXPECT_FALSE(icon.Animating());
  EXPECT_EQ(icon.Picture(), 0);
  EXPECT_EQ(icon.Pupa().actions().first(), icon.Pupa().Przerwa);
  m.reset();  // before the icon it uses
}

// A copy started later asks over the folder's socket; this copy shows itself
// only while it holds the folder's default identity.
TEST_F(TrayTest, LaterCopyIsShownTheWindowOfTheDefaultIdentity) {
  WriteIdentity();
  TFMain& w = Make({"autostart"});
  SingleInstance guard(dir.path());
  ASSERT_FALSE(guard.AnotherCopyShown(1000)) << "nobody listened before";
  ASSERT_TRUE(guard.Listening());
  guard.SetOnShowRequest([&] { return w.ShowOnRequest(); });
  auto ask = [&] {
    QLocalSocket s;
    s.connectToServer(SingleInstance::ServerName(dir.path() + "/"));
    if (!s.waitForConnected(1000)) return QByteArray("no connection");
    s.write("pokaz\n");
    (void)QTest::qWaitFor([&] { return s.canReadLine() || s.state() != QLocalSocket::ConnectedState; }, 2000);
    return s.readLine(16);
  };
  EXPECT_EQ(ask(), "nie\n") << "no identity loaded";
  EXPECT_TRUE(w.isHidden());

  w.LoadDefaultIdentity();
  ASSERT_EQ(w.OwnNumber(), kOwn);
  EXPECT_EQ(ask(), "tak\n");
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
}
