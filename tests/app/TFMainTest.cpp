#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include "WindowTestBasics.h"
#include "ui/TButon.h"
#include "ui/TNapisButon.h"
#include <QTemporaryDir>

#include "app/TFMain.h"
#include "app/TFStat.h"
#include "app/TShape.h"
#include "contacts/view/TLista.h"
#include "ui/Skin.h"
#include "ui/TImageList.h"
#include "ui/Tint.h"
#include <QTest>
#include <QWheelEvent>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <functional>
#include "platform/Cp1250.h"
#include "platform/desktop/WindowPlace.h"
#include "support/ScriptedMessageBox.h"

namespace {

struct MainWindowTest : ::testing::Test {
  QTemporaryDir dir;
  ScriptedMessageBox box;
  QString savedCwd = QDir::currentPath();
  ~MainWindowTest() override { QDir::setCurrent(savedCwd); }

  std::unique_ptr<TFMain> Make(QStringList args = {}) {
    TFMain::Options o;
    o.folders = ProgramFolders::OneFolder(dir.path());
    o.arguments = args;
    return std::make_unique<TFMain>(o);
  }
  QByteArray Ini() {
    QFile f(dir.filePath("Wirmelak.ini"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
};

}  // namespace

TEST_F(MainWindowTest, CreationSetsUpTheFolderAndTheNotConfiguredState) {
  auto m = Make();
  EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());
  EXPECT_TRUE(QDir(dir.filePath("osoby")).exists());
  EXPECT_EQ(m->windowTitle(), QString::fromUtf8("Wirmelak v1.2++"));
  EXPECT_EQ(m->DiaLab->text(), QString::fromUtf8("brak ustawień"));
  EXPECT_EQ(m->Dialog->Brush(), 0xC0C0C0u);
  for (QWidget* w : {(QWidget*)m->ButonPlus, (QWidget*)m->ButonMinus, (QWidget*)m->ButonEdycja,
                     (QWidget*)m->butStatus, (QWidget*)m->ArchBut, (QWidget*)m->Dialog})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_FALSE(m->TimerUr.isActive());
  EXPECT_EQ(m->NaTajmer->Brush(), 0x808080u);
  EXPECT_EQ(m->TimerUr.interval(), 2000);
  EXPECT_EQ(m->Timer1.interval(), 120000);
  EXPECT_TRUE(m->Timer1.isActive());
}

TEST_F(MainWindowTest, StatesShowTheirTextsAndColours) {
  auto m = Make();
  m->SetIdentity(123, "pw");
  EXPECT_EQ(m->DiaLab->text(), QString::fromUtf8("nie połączony"));
  EXPECT_TRUE(m->ButonPlus->isEnabled());
  EXPECT_TRUE(m->Dialog->isEnabled());
  EXPECT_EQ(m->Dialog->Pen(), 0x000080u);
  m->Connection().SetConnectionState(conn::kLaczenie);
  EXPECT_EQ(m->DiaLab->text(), QString::fromUtf8("trwa łączenie"));
  EXPECT_EQ(m->Dialog->Brush(), 0x00FFFFu);
  m->Connection().SetConnectionState(conn::kPolaczony);
  EXPECT_EQ(m->DiaLab->text(), QString::fromUtf8("połączony"));
  EXPECT_EQ(m->Dialog->Brush(), 0x00FF00u);
  m->Connection().SetConnectionState(conn::kNieSkonfigurowany);
  EXPECT_FALSE(m->ArchBut->isEnabled());
}

TEST_F(MainWindowTest, AutostartArgumentInAnyCase) {
  EXPECT_TRUE(Make({"AUTOSTART"})->StartHidden());
  EXPECT_TRUE(Make({"x", "AutoStart"})->StartHidden());
  EXPECT_FALSE(Make({"/autostart"})->StartHidden());
  EXPECT_FALSE(Make({"-autostart"})->StartHidden());
}

TEST_F(MainWindowTest, AutoConnectNeedsNumberPasswordAndTheFlag) {
  auto m = Make();
  m->SetIdentity(123, "");
  m->StartAutoConnect();
  EXPECT_FALSE(m->TimerUr.isActive());  // no stored password: never by itself
  m->SetIdentity(123, "pw");
  m->StartAutoConnect();
  EXPECT_TRUE(m->TimerUr.isActive());
  EXPECT_EQ(m->NaTajmer->Brush(), 0xFFFFFFu);

  QFile f(dir.filePath("Wirmelak.ini"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("autowolit = 0\r\n");
  f.close();
  auto off = Make();
  off->SetIdentity(123, "pw");
  off->StartAutoConnect();
  EXPECT_FALSE(off->TimerUr.isActive());
  EXPECT_EQ(off->NaTajmer->Brush(), 0x808080u);
}

TEST_F(MainWindowTest, ConfigurationOverridesTheDefaultGeometry) {
  QFile f(dir.filePath("Wirmelak.ini"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("lewy = 10\r\ngorny = -4\r\nszerokosc = 300\r\nwysokosc = 400\r\n");
  f.close();
  auto m = Make();
  EXPECT_EQ(m->x(), 10);
  EXPECT_EQ(m->width(), 300);
  EXPECT_EQ(m->height(), 400);
  EXPECT_GE(m->y(), 0);  // the negative top is ignored
}

TEST_F(MainWindowTest, NoToTheCloseQuestionSavesNothing) {
  auto m = Make();
  box.answer(false);
  EXPECT_FALSE(m->close());
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.shown()[0].kind, kPytanie);
  EXPECT_EQ(box.textsUtf8()[0].rfind("Czy na pewno chcesz zakończyć działanie programu?", 0), 0u);
  EXPECT_TRUE(Ini().isEmpty());

  box.answer(true);
  m->move(15, 25);
  EXPECT_TRUE(m->close());
  EXPECT_TRUE(Ini().contains("lewy = 15\r\ngorny = 25\r\n"));
}

TEST_F(MainWindowTest, EndOfSessionSavesWithoutAsking) {
  auto m = Make();
  m->WMQueryEndSession();
  EXPECT_TRUE(m->ShutdownFlag());
  EXPECT_TRUE(box.shown().empty());
  EXPECT_TRUE(Ini().startsWith("; Plik konfiguracji programu Wirmelak\r\n"));
}

namespace {

// The main window at its design size with n absent contacts, 18 pixels each.
struct ContactListTest : MainWindowTest {
  std::unique_ptr<TFMain> m;
  void SetUp() override {
    m = Make();
    m->setFixedSize(250, 545);
    m->show();
  }
  void AddContacts(int n) {
    for (int i = 0; i < n; ++i) {
      TKontakt k;
      k.numer = 1000 + i;
      k.wyswietl = "K" + std::to_string(100 + i);
      m->Contacts().Add(k);
    }
    m->RepaintContactList();
  }
  // Paints the window; the list's paint updates the arrows.
  void Paint() { m->grab(); }
  bool Up() { return !m->Buton5->isHidden(); }
  bool Down() { return !m->Buton4->isHidden(); }
  void PressDown(Qt::MouseButton b = Qt::LeftButton) {
    QTest::mousePress(m->Buton4, b, {}, QPoint(8, 8));
    QTest::mouseRelease(m->Buton4, b, {}, QPoint(8, 8));
  }
  void PressUp(Qt::MouseButton b = Qt::LeftButton) {
    QTest::mousePress(m->Buton5, b, {}, QPoint(8, 8));
    QTest::mouseRelease(m->Buton5, b, {}, QPoint(8, 8));
  }
  // One wheel notch over the given widget; the list leaves it to the window.
  void Wheel(QWidget* over, int delta) {
    const QPointF at(over->width() / 2, over->height() / 2);
    QWheelEvent e(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &e);
  }
};

}  // namespace

TEST_F(ContactListTest, ListFillsItsPlaceAndGrowsWithTheWindowArrowsStayAtItsCorner) {
  EXPECT_EQ(m->ListaK->geometry(), QRect(6, 24, 238, 421));
  EXPECT_EQ(m->Buton5->geometry(), QRect(226, 411, 16, 16));
  EXPECT_EQ(m->Buton4->geometry(), QRect(226, 427, 16, 16));
  EXPECT_EQ(m->Buton5->Numer(), 13);
  EXPECT_EQ(m->Buton4->Numer(), 14);
  EXPECT_FALSE(Up());
  EXPECT_FALSE(Down());
  EXPECT_EQ(&m->ListaK->Contacts(), &m->Contacts());
  m->setFixedSize(300, 600);
  EXPECT_EQ(m->ListaK->geometry(), QRect(6, 24, 288, 476));
  EXPECT_EQ(m->Buton4->geometry(), QRect(276, 482, 16, 16));
  // The other components keep their anchors.
  EXPECT_EQ(m->Buton1->geometry(), QRect(279, 3, 16, 16));
}

TEST_F(ContactListTest, PagingOnMouseDownShowsTheArrowsOnlyWhereThereIsMore) {
  AddContacts(60);  // 1080 pixels in a 421-pixel list
  Paint();
  EXPECT_TRUE(Down());
  EXPECT_FALSE(Up());
  // Any button, on the press.
  QTest::mousePress(m->Buton4, Qt::RightButton, {}, QPoint(8, 8));
  EXPECT_EQ(m->ListaK->OdGory(), 371u);
  QTest::mouseRelease(m->Buton4, Qt::RightButton, {}, QPoint(8, 8));
  Paint();
  EXPECT_TRUE(Down());
  EXPECT_TRUE(Up());
  PressDown();
  EXPECT_EQ(m->ListaK->OdGory(), 659u);  // the last row ends at the bottom
  Paint();
  EXPECT_FALSE(Down());
  EXPECT_TRUE(Up());
  EXPECT_EQ(m->ListaK->ContentHeight(), 421);
  PressUp(Qt::MiddleButton);
  EXPECT_EQ(m->ListaK->OdGory(), 288u);
  PressUp();
  EXPECT_EQ(m->ListaK->OdGory(), 0u);
  Paint();
  EXPECT_FALSE(Up());
  EXPECT_TRUE(Down());
}

TEST_F(ContactListTest, WheelAnywhereOverTheWindowScrollsWhileTheArrowAllowsIt) {
  AddContacts(30);  // 540 pixels: 119 below
  // Before the first paint no arrow shows: the wheel does nothing.
  Wheel(m->ListaK, -120);
  EXPECT_EQ(m->ListaK->OdGory(), 0u);
  Paint();
  ASSERT_TRUE(Down());
  Wheel(m->ListaK, -120);
  EXPECT_EQ(m->ListaK->OdGory(), 20u);
  Paint();
  Wheel(m->ArchBut, -120);  // over another component
  EXPECT_EQ(m->ListaK->OdGory(), 40u);
  Paint();
  Wheel(m.get(), 120);
  EXPECT_EQ(m->ListaK->OdGory(), 20u);
  // Half notches add up.
  Paint();
  Wheel(m->ListaK, -60);
  EXPECT_EQ(m->ListaK->OdGory(), 20u);
  Wheel(m->ListaK, -60);
  EXPECT_EQ(m->ListaK->OdGory(), 40u);
  // Down to the end: the last step is what remains.
  for (int i = 0; i < 10; ++i) {
    Paint();
    Wheel(m->ListaK, -120);
  }
  EXPECT_EQ(m->ListaK->OdGory(), 119u);
  Paint();
  EXPECT_FALSE(Down());
  Wheel(m->ListaK, -120);
  EXPECT_EQ(m->ListaK->OdGory(), 119u);
  for (int i = 0; i < 10; ++i) {
    Paint();
    Wheel(m->ListaK, 120);
  }
  EXPECT_EQ(m->ListaK->OdGory(), 0u);
  Paint();
  EXPECT_FALSE(Up());
}

// The list shrinks under its offset (removals, an import, another
// identity): the offset comes back so that nothing empty is shown above the
// rows that are left; the keyboard then moves the selection through them.
TEST_F(ContactListTest, AShrunkListComesBackIntoRangeAndTheKeyboardMovesThroughIt) {
  AddContacts(60);
  Paint();
  PressDown();
  PressDown();
  ASSERT_EQ(m->ListaK->OdGory(), 659u);
  while (m->Contacts().Count() > 30) m->Contacts().Remove(m->Contacts().LastIndex());
  m->RepaintContactList();
  Paint();
  EXPECT_EQ(m->ListaK->OdGory(), 119u) << "the last row ends at the bottom";
  EXPECT_EQ(m->ListaK->ContentHeight(), 421);
  while (m->Contacts().Count() > 2) m->Contacts().Remove(m->Contacts().LastIndex());
  m->RepaintContactList();
  Paint();
  EXPECT_EQ(m->ListaK->OdGory(), 0u);
  EXPECT_FALSE(Up());
  EXPECT_FALSE(Down());

  AddContacts(58);
  m->ListaK->setFocus();
  int opened = -1;
  QObject::connect(m->ListaK, &TLista::PodwojnyKlik, [&](TLista*, uint16_t record) { opened = record; });
  QTest::keyClick(m->ListaK, Qt::Key_Down);
  EXPECT_EQ(m->Contacts().Selected(), 0);
  QTest::keyClick(m->ListaK, Qt::Key_End);
  EXPECT_EQ(m->Contacts().Selected(), 59);
  EXPECT_EQ(m->ListaK->OdGory(), 659u) << "scrolled to show the selected row";
  QTest::keyClick(m->ListaK, Qt::Key_Up);
  QTest::keyClick(m->ListaK, Qt::Key_Return);
  EXPECT_EQ(opened, m->Contacts().RecordAt(58));
  QTest::keyClick(m->ListaK, Qt::Key_PageUp);
  EXPECT_EQ(m->ListaK->OdGory(), 288u);
  QTest::keyClick(m->ListaK, Qt::Key_Home);
  EXPECT_EQ(m->ListaK->OdGory(), 0u);
  QTest::keyClick(m->ListaK, Qt::Key_PageDown);
  EXPECT_EQ(m->ListaK->OdGory(), 371u);
  EXPECT_EQ(m->Contacts().Selected(), 0) << "paging scrolls only";
}

TEST_F(ContactListTest, EmptiedListLeavesTheArrowsAsTheyWere) {
  AddContacts(60);
  Paint();
  PressDown();
  Paint();
  ASSERT_TRUE(Up() && Down());
  m->Contacts().Clear();
  m->RepaintContactList();
  Paint();
  EXPECT_TRUE(Up());
  EXPECT_TRUE(Down());
}

TEST_F(ContactListTest, RepaintContactListShowsStatusChangesOfTheSameContacts) {
  AddContacts(2);
  m->Contacts().ApplyStatus(1000, 3, "opis", 1);
  m->RepaintContactList();
  ASSERT_EQ(m->ListaK->Layout().rows[0].lines.size(), 1u);
  EXPECT_TRUE(m->ListaK->Layout().rows[0].bold);
  m->Contacts().ResetStatuses();
  m->RepaintContactList();
  EXPECT_TRUE(m->ListaK->Layout().rows[0].lines.empty());
  EXPECT_FALSE(m->ListaK->Layout().rows[0].bold);
}

TEST_F(ContactListTest, ApplyingTheSchemeRebuildsTheListIcons) {
  const TImageList saved = Skin::get().IL(), savedLarge = Skin::get().ILDuze();
  QImage strip(16, 16, QImage::Format_RGB32);
  strip.fill(Qt::black);
  Skin::get().SetImageLists(TImageList(strip, 16), savedLarge);
  m->State().kolory.tlo = 0x305070;
  m->ApplyColourScheme();
  ASSERT_EQ(m->ListaK->IconCount(), 1);
  EXPECT_EQ(FromQRgb(m->ListaK->NormalIcon(0).toImage().pixel(4, 4)), 0x305070u);
  EXPECT_EQ(FromQRgb(m->ListaK->SelectedIcon(0).toImage().pixel(4, 4)),
            Skin::get().colours().frameShade[1]);
  Skin::get().SetImageLists(saved, savedLarge);
  ApplyColourScheme(ColourScheme{});
}

namespace {

// Clicks the status button and, once the dialog is up, does what the user
// would; true when the dialog was shown.
bool ChooseStatus(TFMain& m, std::function<void(TFStat&)> user) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    seen = m.FStat->isVisible();
    if (seen) user(*m.FStat);
    if (m.FStat->isVisible()) m.FStat->close();  // never leave the test waiting
  });
  QTest::mouseClick(m.butStatus, Qt::LeftButton, {}, m.butStatus->rect().center());
  QCoreApplication::processEvents();  // a dialog that never came: the timer runs here
  return seen;
}

}  // namespace

TEST_F(MainWindowTest, StatusButtonDoesNothingWithoutAnIdentity) {
  auto m = Make();
  m->butStatus->setEnabled(true);  // even when it could be pressed
  EXPECT_FALSE(ChooseStatus(*m, [](TFStat& d) { Press(d.Buton1); }));
  EXPECT_EQ(m->OwnStatus(), 0);
  EXPECT_EQ(m->Connection().State(), conn::kNieSkonfigurowany);
}

TEST_F(MainWindowTest, ChoosingWhileConnectingOnlyChangesTheDisplay) {
  auto m = Make();
  m->SetIdentity(123, "pw");
  m->Connection().SetConnectionState(conn::kLaczenie);
  m->SetDescription(T("stary opis"));
  m->ShowOwnStatus(1);
  EXPECT_EQ(m->LOpis->text(), QString::fromUtf8("stary opis"));
  EXPECT_EQ(m->LStat->text(), QString::fromUtf8("nie ma mnie"));

  // The dialog comes filled with the description and the flag of the status.
  ASSERT_TRUE(ChooseStatus(*m, [](TFStat& d) {
    EXPECT_EQ(d.Text(), T("stary opis"));
    EXPECT_TRUE(d.CheckBox1->isChecked());
    EXPECT_TRUE(d.CheckBox1->isEnabled());
    d.SetText("");
    Press(d.Buton1);  // checked, but the text is empty
  }));
  EXPECT_EQ(m->OwnStatus(), 2);
  EXPECT_EQ(m->Description(), "");
  EXPECT_EQ(m->butStatus->Numer(), 2);
  EXPECT_EQ(m->LStat->text(), QString::fromUtf8("dostępny"));
  EXPECT_EQ(m->LOpis->text(), "");
  EXPECT_EQ(m->Connection().State(), conn::kLaczenie);

  ASSERT_TRUE(ChooseStatus(*m, [](TFStat& d) {
    EXPECT_FALSE(d.CheckBox1->isChecked());
    QTest::keyClicks(d.Edit1, "wracam");
    QTest::keyClick(d.Edit1, Qt::Key_Return);
    QTest::keyClicks(d.Edit1, "zaraz");
    Press(d.Buton2);
  }));
  EXPECT_EQ(m->OwnStatus(), 5);
  EXPECT_EQ(m->Description(), "wracam\r\nzaraz");
  EXPECT_EQ(m->LOpis->text(), "wracam\nzaraz");
  EXPECT_EQ(m->LStat->text(), QString::fromUtf8("zaraz wracam"));
  EXPECT_EQ(m->butStatus->Numer(), 5);

  // Unchecking leaves the text in the box but out of the status.
  ASSERT_TRUE(ChooseStatus(*m, [](TFStat& d) {
    d.CheckBox1->setChecked(false);
    Press(d.Buton3);
  }));
  EXPECT_EQ(m->OwnStatus(), 0);
  EXPECT_EQ(m->Description(), "");
  EXPECT_EQ(m->LStat->text(), QString::fromUtf8("nie ma mnie"));

  // Closed without a status: nothing changes.
  m->SetDescription("abc");
  m->ShowOwnStatus(3);
  ASSERT_TRUE(ChooseStatus(*m, [](TFStat& d) {
    d.SetText("inny");
    Press(d.BZamknij);
  }));
  EXPECT_EQ(m->OwnStatus(), 3);
  EXPECT_EQ(m->Description(), "abc");
  EXPECT_EQ(m->LOpis->text(), "abc");
  EXPECT_EQ(m->Connection().State(), conn::kLaczenie);
}

TEST_F(MainWindowTest, OwnStatusLabelsSitBelowTheStatusButtonAndFollowTheWindow) {
  auto m = Make();
  m->setFixedSize(250, 545);
  m->show();
  EXPECT_EQ(m->LStat->geometry(), QRect(106, 500, 68, 11));
  EXPECT_EQ(m->LOpis->geometry(), QRect(8, 520, 163, 21));
  EXPECT_EQ(m->LOpis->toolTip(), QString::fromUtf8("Aktualny opis"));
  EXPECT_EQ(m->LStat->text(), QString::fromUtf8("nie ma mnie"));
  m->setFixedSize(300, 600);
  EXPECT_EQ(m->LStat->geometry(), QRect(156, 555, 68, 11));
  EXPECT_EQ(m->LOpis->geometry(), QRect(8, 575, 213, 21));
  // The description in its colour, the status name dimmed.
  ApplyColourScheme(ColourScheme{});
  EXPECT_EQ(FromQRgb(m->LOpis->palette().color(QPalette::WindowText).rgb()), ColourScheme{}.opis);
  EXPECT_EQ(FromQRgb(m->LStat->palette().color(QPalette::WindowText).rgb()),
            Skin::get().colours().dimmedText);
}

// Where the window system keeps windows' places to itself (Wayland), the
// program neither places the window nor saves the place it reads there
// (0,0): the file keeps the place it had. The size is the program's, fixed,
// reset by "Resetuj okno", and saved.
TEST_F(MainWindowTest, WhereThePlatformTellsNoPlaceTheFileKeepsItsPlaceAndTheSizeIsSaved) {
  OverridePlatformTellsWindowPlace(false);
  struct Restore {
    ~Restore() { OverridePlatformTellsWindowPlace(std::nullopt); }
  } restore;
  QFile f(dir.filePath("Wirmelak.ini"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("lewy = 310\r\ngorny = 220\r\nszerokosc = 260\r\nwysokosc = 480\r\n");
  f.close();
  auto m = Make();
  EXPECT_EQ(m->pos(), QPoint(0, 0));
  EXPECT_EQ(m->size(), QSize(260, 480));
  EXPECT_EQ(m->minimumSize(), m->maximumSize()) << "the window manager could resize it";
  m->ResetOknoClick();
  EXPECT_EQ(m->pos(), QPoint(0, 0));
  const QSize reset = m->size();
  EXPECT_NE(reset, QSize(260, 480));
  EXPECT_EQ(m->maximumSize(), reset);
  m->WMQueryEndSession();
  EXPECT_TRUE(Ini().contains(QStringLiteral("\r\nlewy = 310\r\ngorny = 220\r\nszerokosc = %1\r\nwysokosc = %2\r\n")
                                 .arg(reset.width())
                                 .arg(reset.height())
                                 .toLatin1()))
      << Ini().data();
}
