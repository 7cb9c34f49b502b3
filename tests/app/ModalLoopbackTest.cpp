// Boxes, prompts and dialogs wait for the user in loops of their own, in
// which the server's packets, its closes and the reconnection timer go on.
// What the user answers must still apply to what they were asked about.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "LoopbackFixture.h"
#include "contacts/view/TFNowy.h"
#include "ui/TNapisButon.h"
#include "app/TFMain.h"
#include "app/TShape.h"
#include "app/TFUsta.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "protocol/LoginHash.h"
#include "protocol/Packets.h"
#include "ui/TFBoks.h"

namespace {

using ggserwer::Serwer;

// Spins a loop of its own, as a box or dialog does, until done() holds.
bool WaitInLoop(const std::function<bool()>& done, int ms = 5000) {
  QEventLoop loop;
  QTimer poll;
  QElapsedTimer t;
  t.start();
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (done() || t.elapsed() > ms) loop.quit();
  });
  poll.start(5);
  loop.exec();
  return done();
}

struct ModalLoopbackTest : LoopbackFixture {
  // Each box runs this in place of the fixture's; the fixture's comes back at the end.
  std::function<bool(const std::string& utf8)> onBox = [](const std::string&) { return false; };
  std::vector<std::string> boxes;
  MessageBoxHandler previous = SetMessageBoxHandler([this](const std::string& text, int) {
    boxes.push_back(cp1250::toUtf8(text));
    return onBox(boxes.back());
  });

  void SetUp() override { StartProgram(); }
  void TearDown() override {
    m.reset();
    SetMessageBoxHandler(previous);
    LoopbackFixture::TearDown();
  }
  ContactStore& store() { return m->Contacts(); }
  void Add(uint32_t numer, const char* name) {
    TKontakt k;
    k.numer = numer;
    k.wyswietl = name;
    ASSERT_TRUE(store().Add(k));
  }
  bool Connected() { return m->Connection().State() == conn::kPolaczony; }
};

}  // namespace

// The password prompt is up when the server closes; the reconnection timer
// makes a new connection, whose welcome brings a new seed, inside the
// prompt's loop. The answer belongs to the ended connection and is dropped;
// the new welcome asks again and logs in with its own seed.
TEST_F(ModalLoopbackTest, APromptOutlivingItsConnectionIsDroppedAndTheNextWelcomeAsksAgain) {
  m->SetIdentity(kOwn, "");
  m->TimerUr.setInterval(50);
  m->Connection().SetAutoReconnect(true);
  int prompts = 0;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* boks = qobject_cast<TFBoks*>(w);
      if (!boks || !boks->isVisible() || !boks->inModalLoop() || boks->modalResult() != kMrNone) continue;
      if (++prompts == 1) {
        serwer.setSeed(0x0BADC0DE);
        serwer.abortConnection();
        EXPECT_TRUE(WaitInLoop([&] { return serwer.connectionCount() == 2; })) << "no reconnection";
        WaitInLoop([] { return false; }, 200);  // its welcome arrives meanwhile
      }
      boks->Et->setText("haslo");
      QTest::keyClick(boks->Et, Qt::Key_Return);
      return;
    }
  });
  user.start(10);
  m->Connection().TimerUrTimer();
  ASSERT_TRUE(serwer.waitFor([&] { return Connected(); }));
  EXPECT_EQ(prompts, 2);
  EXPECT_TRUE(serwer.packetsOfType(gg::out::kLogin, 0).isEmpty());
  const auto logins = serwer.packetsOfType(gg::out::kLogin, 1);
  ASSERT_EQ(logins.size(), 1);
  EXPECT_EQ(gg::ReadLe32(logins[0].payload.constData() + 4), LoginHash("haslo", 0x0BADC0DE));
  EXPECT_TRUE(boxes.empty()) << boxes.front();
  m->Connection().SetAutoReconnect(false);
}

// An import of the server's list replaces the contacts while the removal's
// question, then the edit's dialog, wait for the user: the contact asked
// about is the one removed or edited, found again by its number.
TEST_F(ModalLoopbackTest, AnImportUnderTheQuestionOrTheDialogLeavesTheChosenContact) {
  Add(111, "Ala");
  Add(222, "Bea");
  m->Dialog->OnMouseDown(Qt::LeftButton);
  ASSERT_TRUE(serwer.waitFor([&] { return Connected(); }));
  // The server's list puts the two in other places and adds one before them.
  serwer.setUserlist(T("Cezary;;;Czarek;;;333;;0;;0;;0;\r\nBea;;;Bea;;;222;;0;;0;;0;\r\n"
                       "Ala;;;Ala;;;111;;0;;0;;0;\r\n")
                         .c_str());
  const auto importMeanwhile = [&] {
    const size_t before = boxes.size();
    m->Settings().NapisButon4Click();
    EXPECT_TRUE(WaitInLoop([&] { return boxes.size() > before; })) << "no import";
  };

  store().SetSelected(store().PositionOf(store().FindByNumber(222)));
  onBox = [&](const std::string& text) {
    if (text.rfind("Czy na pewno chcesz usunąć", 0) != 0) return false;
    importMeanwhile();
    return true;
  };
  m->ButonMinusClick();
  EXPECT_EQ(boxes.front(), "Czy na pewno chcesz usunąć z listy znajomego o numerze 222 (Bea)?");
  EXPECT_EQ(boxes.at(1), "Lista konktaktów została pomyślnie zaimportowana. Wprowadzono 3 wpisów.");
  EXPECT_EQ(store().Count(), 2);
  EXPECT_EQ(store().FindByNumber(222), -1);
  EXPECT_GE(store().FindByNumber(111), 0);
  EXPECT_GE(store().FindByNumber(333), 0);
  ASSERT_TRUE(serwer.waitFor([&] { return serwer.packetsOfType(gg::out::kRemoveNotify).size() >= 4; }));
  EXPECT_EQ(gg::ReadLe32(serwer.packetsOfType(gg::out::kRemoveNotify).back().payload.constData()), 222u);

  store().SetSelected(store().PositionOf(store().FindByNumber(111)));
  onBox = [](const std::string&) { return false; };
  bool edited = false;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* d = qobject_cast<TFNowy*>(w);
      if (edited || !d || !d->isVisible() || !d->inModalLoop() || d->modalResult() != kMrNone) continue;
      edited = true;
      importMeanwhile();
      d->ENazwa->setText("Alicja");
      d->Napis1->Click();
    }
  });
  user.start(10);
  m->ButonEdycjaClick();
  ASSERT_TRUE(edited);
  ASSERT_EQ(store().Count(), 3);
  EXPECT_EQ(store().Record(store().FindByNumber(111)).wyswietl, "Alicja");
  EXPECT_EQ(store().Record(store().FindByNumber(222)).wyswietl, "Bea");
  EXPECT_EQ(store().Record(store().FindByNumber(333)).wyswietl, "Czarek");
}

// The user closes while the identity cannot be written (its place on the
// disk is taken) and stays: the program stays, shown and connected, and tells
// the server nothing. A checkpoint shows the failure only when the session
// manager lets it ask. With Wirmelak.ini unwritable the user closes anyway:
// goodbye, and no ini elsewhere. The end of the session always ends.
TEST_F(ModalLoopbackTest, AFailedSaveOnCloseAsksTheEndOfTheSessionStillEnds) {
  Add(111, "Ala");
  m->Dialog->OnMouseDown(Qt::LeftButton);
  ASSERT_TRUE(serwer.waitFor([&] { return Connected(); }));
  ASSERT_TRUE(QDir(dir.path()).mkpath("osoby/123456/zajete"));
  onBox = [](const std::string& text) { return text.rfind("Czy na pewno chcesz zakończyć", 0) == 0; };
  m->hide();
  EXPECT_FALSE(m->close());
  EXPECT_TRUE(m->isVisible());
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1], "Nie udało się zapisać pliku tożsamości osoby/123456. Zamknąć program mimo to? "
                      "Zmiany listy znajomych, kolorów i opisu zostaną utracone.");
  EXPECT_FALSE(serwer.waitFor([&] { return !Connected() || !serwer.packetsOfType(gg::out::kNewStatus).isEmpty(); }, 100));
  EXPECT_TRUE(Connected());
  EXPECT_TRUE(serwer.packetsOfType(gg::out::kNewStatus).isEmpty());

  int asked = 0, allows = false;
  const auto mayAsk = [&] { return ++asked, allows; };
  testing::internal::CaptureStderr();
  m->SaveCheckpoint(mayAsk);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Nie udało się zapisać pliku tożsamości osoby/123456.\n");
  EXPECT_EQ(boxes.size(), 2u);
  allows = true;
  m->SaveCheckpoint(mayAsk);
  EXPECT_EQ(boxes.back(), "Nie udało się zapisać pliku tożsamości osoby/123456.");
  EXPECT_EQ(asked, 2);

  ASSERT_TRUE(QDir(dir.filePath("osoby/123456")).removeRecursively());
  m->SaveCheckpoint(mayAsk);
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(QFileInfo(dir.filePath("osoby/123456")).isFile());
  EXPECT_TRUE(m->isVisible());

  ASSERT_TRUE(QFile::remove(dir.filePath("Wirmelak.ini")));
  ASSERT_TRUE(QDir(dir.path()).mkpath("Wirmelak.ini/zajete"));
  QTemporaryDir elsewhere;
  QDir::setCurrent(elsewhere.path());
  onBox = [](const std::string&) { return true; };
  boxes.clear();
  EXPECT_TRUE(m->close());
  EXPECT_EQ(boxes.at(1), "Nie udało się zapisać pliku Wirmelak.ini. Zamknąć program mimo to? "
                         "Zmiany położenia i rozmiaru okna oraz automatycznego łączenia zostaną utracone.");
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kNewStatus));
  EXPECT_EQ(gg::ReadLe32(serwer.packetsOfType(gg::out::kNewStatus)[0].payload.constData()), 1u);
  EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{});

  // A second program in the same folder, whose identity cannot be written
  // either, at the end of the session.
  ASSERT_TRUE(QDir(dir.filePath("Wirmelak.ini")).removeRecursively());
  ASSERT_TRUE(QFile::remove(dir.filePath("osoby/123456")));
  ASSERT_TRUE(QDir(dir.path()).mkpath("osoby/123456/zajete"));
  boxes.clear();
  m.reset();
  TFMain::Options o;
  o.folders = ProgramFolders::OneFolder(dir.path());
  m = std::make_unique<TFMain>(o);
  m->SetIdentity(kOwn, "haslo");
  m->show();
  testing::internal::CaptureStderr();
  m->WMQueryEndSession();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Nie udało się zapisać pliku tożsamości osoby/123456.\n");
  EXPECT_TRUE(m->ShutdownFlag());
  EXPECT_FALSE(m->isVisible());
  EXPECT_EQ(boxes, std::vector<std::string>{});
}
