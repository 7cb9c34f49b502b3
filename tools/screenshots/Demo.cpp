// The demo as its user sees it a quarter of a minute in: the emulator plays
// the demo's cast to a main window of the real program, the user writes to
// Agnieszka and gets her answer, Celina and a stranger have written, and the
// tray's menu lists the chats. The main window, Agnieszka's chat window and
// the menu are laid out on one picture.

#include "Demo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/TFMain.h"
#include "app/TShape.h"
#include "conversation/view/ChatWindows.h"
#include "conversation/view/TFCzat.h"
#include "conversation/view/TRozmowa.h"
#include "ggserwer/Scenario.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"
#include "platform/Sound.h"
#include "ui/TPupa.h"
#include "ui/TrayIcon.h"

using ggserwer::Serwer;

bool demoScreenshot(const QString& path) {
  QString error;
  const auto cast = ggserwer::loadScenario(QStringLiteral(DEMO_CAST), &error);
  if (!cast) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return false;
  }
  Serwer serwer;
  if (!serwer.start()) return false;
  serwer.addAccount(123456, "demo");
  serwer.play(*cast);

  // The cast lives in Poland: its clock is the one the times are shown in.
  setenv("TZ", "Europe/Warsaw", 1);
  tzset();
  QTemporaryDir dir;
  const QString cwd = QDir::currentPath();
  // The emoticons are drawn from the program folder's pictures.
  QDir(dir.path()).mkpath(QStringLiteral("ikony"));
  const QDir pictures(QStringLiteral(WM_ASSETS_DIR "/ikony"));
  for (const QString& name : pictures.entryList(QDir::Files))
    QFile::copy(pictures.filePath(name), dir.filePath(QStringLiteral("ikony/") + name));
  TrayIcon::Options trayOptions;
  trayOptions.available = [] { return true; };
  TrayIcon tray(trayOptions);
  NoSound sound;
  QImage picture;
  {
    TFMain::Options o;
    o.folders = ProgramFolders::OneFolder(dir.path());
    o.tray = &tray;
    o.sound = &sound;
    TFMain m(o);
    // Today's session, as ./run demo plays it: the cast's emoji come whole.
    m.Connection().SetProtocol(Protocol::kGG8);
    m.Connection().SetLookupHost("127.0.0.1:" + std::to_string(serwer.tlsPort()));
    {
      QFile pem(dir.filePath(QStringLiteral("zaufane.pem")));  // read as the connection starts
      if (pem.open(QIODevice::WriteOnly)) pem.write(serwer.certificatePem());
    }
    m.SetIdentity(123456, "demo");
    m.CreateArchive("123456");
    for (const auto& member : cast->cast) {
      TKontakt k;
      k.numer = member.number;
      k.wyswietl = cp1250::fromQString(member.name);
      m.Contacts().Add(k);
    }
    m.ApplyColourScheme();
    m.SetDescription(T("w domu, zapraszam do rozmowy"));
    m.setFixedSize(250, 430);
    m.show();
    m.Dialog->OnMouseDown(Qt::LeftButton);
    if (!serwer.waitForLogin()) return false;
    m.ShowOwnStatus(3);
    m.Outgoing().SendNewStatus(3, false, m.Description());

    // Celina writes at about six seconds; the user answers her and writes to
    // Agnieszka, whose answer comes two seconds later.
    ChatWindows& chats = m.Chats();
    Serwer::waitFor([&] { return chats.FindChat(1003) >= 0; }, 12000);
    chats.OpenChat(1001);
    TFCzat* w = chats.At(chats.FindChat(1001));
    w->move(280, 40);
    w->Memo1->insertPlainText(QString::fromUtf8("Hej, masz rozkład pociągów na jutro?"));
    QTest::keyClick(w->Memo1, Qt::Key_Return);
    Serwer::waitFor([&] { return w->Rozmowa->Messages().size() >= 2; }, 8000);
    // The stranger's message, then a line being written.
    Serwer::waitFor([&] { return chats.FindChat(4567890) >= 0; }, 12000);
    w->Memo1->insertPlainText(QString::fromUtf8("Dzięki! :)"));
    QCoreApplication::processEvents();

    tray.IkonaContext();  // the menu as the user opens it
    TPupa& menu = tray.Pupa();
    QCoreApplication::processEvents();

    const QImage main = m.grab().toImage();
    const QImage chat = w->grab().toImage();
    const QImage popup = menu.grab().toImage();
    picture = QImage(main.width() + 20 + chat.width() + 20, main.height() + 20, QImage::Format_RGB32);
    picture.fill(QColor(58, 68, 84));
    QPainter p(&picture);
    p.drawImage(10, 10, main);
    p.drawImage(main.width() + 30, 10, chat);
    p.drawImage(picture.width() - popup.width() - 10, picture.height() - popup.height() - 10, popup);
  }
  QDir::setCurrent(cwd);
  tray.Pupa().hide();
  if (!picture.save(path)) return false;
  std::printf("%s\n", qPrintable(path));
  return true;
}
