// The cast of the demo, read from its file and played by the emulator to the
// main window: the friends come online, and what the user writes is answered
// and archived, or waits on the server.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "DemoCast.h"
#include "app/TFMain.h"
#include "app/TShape.h"
#include "conversation/view/ChatWindows.h"
#include "conversation/view/TFCzat.h"
#include "conversation/view/TRozmowa.h"
#include "ggserwer/Scenario.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"
#include "support/RecordingTray.h"
#include "support/ScriptedMessageBox.h"

using ggserwer::Serwer;

TEST(DemoCastTest, FriendsComeOnlineAnswerAndWait) {
  QString error;
  const auto cast = ggserwer::loadScenario(QStringLiteral(DEMO_CAST), &error);
  ASSERT_TRUE(cast.has_value()) << error.toStdString();
  ASSERT_GE(cast->cast.size(), 6);

  QTemporaryDir dir;
  const QString savedCwd = QDir::currentPath();
  ScriptedMessageBox box;
  RecordingTray tray;
  CountingSound sound;
  Serwer serwer;
  ASSERT_TRUE(serwer.start());
  serwer.addAccount(123456, "demo");
  serwer.play(*cast);
  {
    TFMain::Options o;
    o.folders = ProgramFolders::OneFolder(dir.path());
    o.tray = &tray;
    o.sound = &sound;
    TFMain m(o);
    MeetTheCast(m, serwer, *cast);
    if (HasFatalFailure()) return;
    m.Dialog->OnMouseDown(Qt::LeftButton);
    ASSERT_TRUE(serwer.waitForLogin());

    const ContactStore& contacts = m.Contacts();
    auto present = [&] {
      int n = 0;
      for (int r = 0; r < contacts.Count(); ++r) n += contacts.Record(r).Obecny();
      return n;
    };
    EXPECT_TRUE(Serwer::waitFor([&] { return present() >= 4; }, 8000)) << present() << " online";
    const TKontakt& agnieszka = contacts.Record(contacts.FindByNumber(1001));
    EXPECT_EQ(agnieszka.status, 3) << "available with a description";
    EXPECT_EQ(agnieszka.opis, cp1250::fromUtf8("Na wykładzie do 14:00, potem w bibliotece"));

    // Written to Agnieszka, answered; written to Darek, queued on the server.
    ChatWindows& chats = m.Chats();
    auto write = [&](uint32_t to, const char* text) {
      chats.OpenChat(to);
      TFCzat* w = chats.At(chats.FindChat(to));
      w->Memo1->insertPlainText(QString::fromUtf8(text));
      QTest::keyClick(w->Memo1, Qt::Key_Return);
      return w;
    };
    TFCzat* toAgnieszka = write(1001, "Masz rozkład pociągów?");
    TFCzat* toDarek = write(1004, "Kiedy wracasz?");
    ASSERT_TRUE(Serwer::waitFor([&] { return toAgnieszka->Rozmowa->Messages().size() >= 2; }, 8000));
    const auto& withAgnieszka = toAgnieszka->Rozmowa->Messages();
    EXPECT_EQ(withAgnieszka[0].Kind, Delivered);
    EXPECT_EQ(withAgnieszka[1].Kind, Received);
    EXPECT_EQ(withAgnieszka[1].Text, cast->replies.value(1001)[0].text.toStdString());
    ASSERT_EQ(toDarek->Rozmowa->Messages().size(), 1u);
    EXPECT_EQ(toDarek->Rozmowa->Messages()[0].Kind, Queued);

    QFile archive(dir.filePath("osoby/123456.html"));
    ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
    const QByteArray page = archive.readAll();
    EXPECT_TRUE(page.contains("<a href=\"http://www.pkp.pl\"")) << page.constData();
    EXPECT_TRUE(page.contains(QByteArray::fromStdString(cp1250::fromUtf8("Kiedy wracasz?"))));
  }
  QDir::setCurrent(savedCwd);
}
