#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include "ui/TButon.h"
#include "ui/TNapisButon.h"
#include <QTemporaryDir>

#include "app/TFMain.h"
#include "app/TShape.h"
#include "support/ScriptedMessageBox.h"

namespace {

struct MainWindowTest : ::testing::Test {
  QTemporaryDir dir;
  ScriptedMessageBox box;
  QString savedCwd = QDir::currentPath();
  ~MainWindowTest() override { QDir::setCurrent(savedCwd); }

  std::unique_ptr<TFMain> Make(QStringList args = {}) {
    TFMain::Options o;
    o.programDir = dir.path();
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
