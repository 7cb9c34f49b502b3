// The built program read by a screen reader's library over AT-SPI: Xvfb, a
// session bus of the test's own with the accessibility bus launched on it,
// the demo's cast played by the emulator, and ScreenReader.py walking the
// tree with python3-pyatspi: the named buttons, the contacts with their
// states and a change of one, the focus coming back into the list, the
// selected contact, messages announced as they come and as notices (the
// script waits for what it must hear), a pressed "Dodaj znajomego" and a
// question box. Set WM_TEST_ATSPI_DUMP to a file to
// keep what it read. Skipped only where the two packages are missing, which
// ./run test installs.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QRegularExpression>

#include "EndToEndFixture.h"
#include "ggserwer/Scenario.h"
#include "support/Desktop.h"

using namespace endtoend;

namespace {

const QString kPython = "/usr/bin/python3";
const QString kLauncher = "/usr/libexec/at-spi-bus-launcher";

struct DesktopAccessibilityTest : EndToEndFixture {
  Desktop desktop;
  QProcess daemon, launcher, reader;

  static void Stop(QProcess& p) {
    if (p.state() == QProcess::NotRunning) return;
    p.terminate();
    if (!p.waitForFinished(3000)) {
      p.kill();
      p.waitForFinished(3000);
    }
  }
  void TearDown() override {
    Stop(reader);
    EndToEndFixture::TearDown();
    QDBusConnection::disconnectFromBus("a11y");
    // The launcher takes its bus and the registry down with it.
    Stop(launcher);
    Stop(daemon);
  }
};

}  // namespace

TEST_F(DesktopAccessibilityTest, AScreenReaderReadsTheDemoAndPressesAButton) {
  if (!QFile::exists(kPython) || !QFile::exists(kLauncher) ||
      QProcess::execute(kPython, {"-c", "import pyatspi"}) != 0)
    GTEST_SKIP() << "no at-spi2-core or python3-pyatspi";
  QString error;
  const auto cast = ggserwer::loadScenario(QStringLiteral(DEMO_CAST), &error);
  ASSERT_TRUE(cast.has_value()) << error.toStdString();
  serwer.play(*cast);
  for (const auto& member : cast->cast) {
    TKontakt k;
    k.numer = member.number;
    k.wyswietl = cp1250::fromQString(member.name);
    kontakty.push_back(k);
  }
  WriteFolder();
  Desktop::Options options;  // a window manager activates the windows the focus goes to
  options.windowManager = true;
  ASSERT_TRUE(desktop.Start(options)) << desktop.Problem().toStdString();

  // The session bus, and the accessibility bus announced on it.
  QProcessEnvironment env = desktop.Environment();
  daemon.setProcessEnvironment(env);
  daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
  ASSERT_TRUE(daemon.waitForStarted(3000));
  ASSERT_TRUE(Serwer::waitFor([&] { return daemon.canReadLine(); }, 5000));
  const QString address = QString::fromLatin1(daemon.readLine().trimmed());
  env.insert("DBUS_SESSION_BUS_ADDRESS", address);
  launcher.setProcessEnvironment(env);
  launcher.start(kLauncher, {"--launch-immediately", "--a11y=1"});
  ASSERT_TRUE(launcher.waitForStarted(3000));
  QDBusConnection bus = QDBusConnection::connectToBus(address, "a11y");
  ASSERT_TRUE(Serwer::waitFor([&] { return bus.interface()->isServiceRegistered("org.a11y.Bus").value(); }, 5000));

  environment = env;
  environment.insert("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
  arguments = {};

  // The reader listens first, as a screen reader is there before the
  // programs it reads; it asks for the program, then for a message.
  const QString celina = cast->cast[2].name;
  const QString text = QString::fromUtf8("Dzięki! Do zobaczenia :) bilety są na www.kino.pl");
  reader.setProcessEnvironment(env);
  reader.start(kPython, {QStringLiteral(SCREEN_READER), celina, "1003", text});
  ASSERT_TRUE(reader.waitForStarted(3000));
  QString heard;
  Serwer::waitFor(
      [&] {
        while (reader.canReadLine()) {
          const QString line = QString::fromUtf8(reader.readLine());
          heard += line;
          if (line.startsWith("? program")) Start();
          if (line.startsWith("? key ")) desktop.Key(line.mid(6).trimmed());
          if (line.startsWith("? status 1006"))
            serwer.sendStatusChange(ggserwer::StatusEntry(1006, 21, QByteArray::fromStdString(T("idę spać"))));
          if (line.startsWith("? message 1003"))
            serwer.sendMessage(1003, QByteArray::fromStdString(cp1250::fromQString(text)));
          if (line.startsWith("? message 1002")) serwer.sendMessage(1002, "Hej, tu Bartek");
        }
        return reader.state() == QProcess::NotRunning;
      },
      60000);
  heard += QString::fromUtf8(reader.readAll());
  if (const QString out = qEnvironmentVariable("WM_TEST_ATSPI_DUMP"); !out.isEmpty()) {
    QFile f(out);
    if (f.open(QIODevice::WriteOnly)) f.write(heard.toUtf8());
  }
  SCOPED_TRACE(heard.toStdString());
  ASSERT_EQ(reader.state(), QProcess::NotRunning) << "the reader did not finish";
  EXPECT_EQ(reader.exitCode(), 0) << reader.readAllStandardError().toStdString();

  // The main window: the buttons by their hints, the indicator and the
  // status in words, the contacts with their states.
  const QString main = heard.section("== main window\n", 1).section("\n==", 0, 0);
  for (const char* line : {"push button \"Dodaj znajomego\" [Press, SetFocus]", "push button \"Zamknij program\"",
                           "push button \"Ustawienia\"", "push button \"archiwum\" (Otwórz archiwum wiadomości)",
                           "push button \"Stan połączenia: połączony\"", "push button \"Aktualny status: nie ma mnie\"",
                           "list \"Znajomi\"",
                           "list item \"Agnieszka, dostępny, Na wykładzie do 14:00, potem w bibliotece\"",
                           "list item \"Darek, niedostępny, w podróży, wracam w poniedziałek\"",
                           "list item \"Ewa, niedostępny\""})
    EXPECT_TRUE(main.contains(QString::fromUtf8(line))) << line;
  EXPECT_LT(main.indexOf("list item \"Agnieszka"), main.indexOf("list item \"Darek")) << "present contacts first";
  // A new status is told as it comes, and the item moves with the contact.
  const QString after = heard.section("== the contacts after Franek's status\n", 1).section("\n==", 0, 0);
  EXPECT_GT(after.indexOf(QString::fromUtf8("list item \"Franek, niedostępny, idę spać\"")),
            after.indexOf("list item \"Darek"));

  // The contact whose item was pressed is told as the one selected, and
  // the list answers that it is.
  EXPECT_TRUE(heard.contains("event object:state-changed:selected list item \"" + celina + ", "));
  EXPECT_TRUE(heard.contains("selected in the list: " + celina + ", "));

  // The chat: the new message was announced as it came, with its sender,
  // its words, the emoticon as its shorthand and the address as a link.
  const QString said = celina + ", ";
  EXPECT_TRUE(heard.contains("event object:children-changed:add list item \"" + said)) << "not announced";
  const QString chat = heard.section("== chat window\n", 1).section("\n==", 0, 0);
  EXPECT_TRUE(chat.contains(QString::fromUtf8("Dzięki! Do zobaczenia :) bilety są na www.kino.pl\""))) << "the message";
  EXPECT_TRUE(chat.contains("link \"www.kino.pl\" [Press]"));
  EXPECT_TRUE(chat.contains(QString::fromUtf8("text \"Twoja wiadomość\"")));

  // "Dodaj znajomego" pressed through the bus brought up the contact's data.
  const QString dialog = heard.section("== contact's data\n", 1).section("\n==", 0, 0);
  EXPECT_TRUE(dialog.startsWith("dialog \"Dane znajomego\""));
  EXPECT_TRUE(dialog.contains(QString::fromUtf8("text \"nr użytkownika\"")));
  // The message box: an alert with its caption, its text and its buttons.
  // (A message of the cast may be told while it is read.)
  const QString question =
      heard.section("== question\n", 1).section("\n==", 0, 0).remove(QRegularExpression("event [^\n]*\n"));
  EXPECT_TRUE(question.startsWith(
      QString::fromUtf8("alert \"Pytanie do użytkownika\" (Czy na pewno chcesz usunąć z listy znajomego o numerze "
                        "1003 (Celina Żurawska)?)")));
  EXPECT_TRUE(question.contains("push button \"Tak\" [Press"));
  EXPECT_TRUE(question.contains("push button \"Nie\" [Press"));
  EXPECT_TRUE(heard.contains("== done"));
  End();
}
