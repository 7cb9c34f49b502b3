// The built program on an X desktop of its own, worked with the pointer and
// the keyboard as a user works it, against the server emulator.
//
// Most runs go under valgrind's memcheck and must end without one error:
// the program's objects are used and freed inside Qt's code, which the
// sanitizer build does not instrument (a socket freed under its own signal
// while a box waited for a click was found this way). What is suppressed is
// in tests/valgrind/wirmelak.supp, each entry with the reason it lies
// outside the program.

#include <QApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <random>

#include "EndToEndFixture.h"
#include "app/TFMain.h"
#include "app/TFUsta.h"
#include "app/TZakladki.h"
#include "support/Desktop.h"
#include "ui/TNapisButon.h"

namespace {

using namespace endtoend;
using ggserwer::Serwer;
namespace typ = ggserwer::typ;

// Under memcheck the program runs some twenty times slower.
constexpr int kSlowMs = 60000;

// Where the main window is put, at its design size, so that every component
// is where the layout puts it.
constexpr QPoint kMain(100, 100);
constexpr QPoint kDialog(16 + 8, 460 + 8);     // the connection indicator
constexpr QPoint kButon3(226 + 8, 507 + 16);   // the settings
constexpr QPoint kSecondContact(60, 24 + 18 + 9);

const QString kWarning = QString::fromUtf8("^Ważny komunikat");
const QString kQuestion = QString::fromUtf8("^Pytanie do użytkownika");
const QString kNotice = "^Informacja";

// The box's buttons keep to its bottom right corner.
QPoint BoxButton(const QRect& box, bool yes) {
  return box.topLeft() + QPoint(yes ? 152 + 40 : 240 + 40, box.height() - 36 + 12);
}

// Where the settings dialog has its "Lista kontaktów" tab and its import
// button: read from the dialog itself, made here offscreen (the tabs are
// as wide as their captions).
struct SettingsLayout {
  QPoint listTab, importButton;
};
SettingsLayout ReadSettingsLayout() {
  const QString cwd = QDir::currentPath();
  QTemporaryDir folder;
  TFMain::Options o;
  o.folders = ProgramFolders::OneFolder(folder.path());
  TFMain m(o);
  TFUsta& u = m.Settings();
  const SettingsLayout layout{u.Kontroll->mapTo(&u, u.Kontroll->TabRect(1).center()),
                              u.NapisButon4->mapTo(&u, u.NapisButon4->rect().center())};
  QDir::setCurrent(cwd);
  return layout;
}

// Resident memory of a process, from the kernel.
long ResidentKb(qint64 pid) {
  QFile f(QStringLiteral("/proc/%1/status").arg(pid));
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QRegularExpression rss("VmRSS:\\s+(\\d+) kB");
  const auto m = rss.match(QString::fromLatin1(f.readAll()));
  return m.hasMatch() ? m.captured(1).toLong() : -1;
}

struct DesktopEndToEndTest : EndToEndFixture {
  Desktop desktop;
  QRect main;

  void SetUp() override {
    EndToEndFixture::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(desktop.Start({})) << desktop.Problem().toStdString();
    environment = desktop.Environment();
    arguments = {};  // shown, as after a start from the menu
  }
  void UnderMemcheck() {
    wrapper = {"valgrind", "--tool=memcheck", "--error-exitcode=99", "--child-silent-after-fork=yes",
               "--num-callers=40", "--suppressions=" WM_VALGRIND_SUPPRESSIONS,
               "--log-file=" + dir.filePath("memcheck.log")};
    endMs = kSlowMs;
  }
  void StartShown() {
    PlaceMainWindow(kMain);
    Start();
    const auto window = desktop.WaitForWindow(kMainTitle, kSlowMs);
    ASSERT_TRUE(window) << "no main window";
    main = desktop.Geometry(*window).value_or(QRect());
    ASSERT_EQ(main.topLeft(), kMain);
  }
  // Clicks the box's button once the box is up.
  void Answer(const QString& caption, bool yes) {
    const auto box = desktop.WaitForWindow(caption, kSlowMs);
    ASSERT_TRUE(box) << "no box " << caption.toStdString();
    const QRect r = desktop.Geometry(*box).value_or(QRect());
    ASSERT_TRUE(desktop.Click(BoxButton(r, yes)));
    ASSERT_TRUE(desktop.WaitForNoWindow(caption, kSlowMs)) << "the box stayed: " << caption.toStdString();
  }
  // The program, the X server and the window manager have done what they
  // were given (drawn a page, laid out a message).
  void WaitSettled() { ASSERT_TRUE(desktop.WaitSettled({program.processId()}, kSlowMs)) << "the program stays busy"; }
  // The server's close has reached the program, under whatever box is up.
  void WaitCloseTaken() {
    ASSERT_TRUE(Serwer::waitFor([&] { return ProgramClosedItsEnd(); }, kSlowMs)) << "the close did not reach the program";
  }
  // A step that must not come: it fails the test as soon as it does.
  static bool ComesWithin(int ms, const std::function<bool()>& step) { return Serwer::waitFor(step, ms); }
  // The run ended by SIGTERM, cleanly, and memcheck found nothing.
  void EndWithoutMemoryErrors() {
    End();
    const QByteArray log = Read("memcheck.log");
    EXPECT_TRUE(log.contains("ERROR SUMMARY: 0 errors from 0 contexts")) << log.toStdString();
  }
};

}  // namespace

// Installed, with a file where its folder of the user's files would be made:
// a box says so and the program ends, writing nothing anywhere else.
TEST_F(DesktopEndToEndTest, AFolderThatCannotBeMadeIsToldAndTheProgramEnds) {
  Write("installed", "");
  Write("dane", "");
  environment.insert("XDG_DATA_HOME", dir.filePath("dane"));
  const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  Start();
  Answer(kWarning, false);
  ASSERT_TRUE(Serwer::waitFor([&] { return program.state() == QProcess::NotRunning; }, 5000));
  EXPECT_EQ(program.exitCode(), 1);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
}

// The server refuses the login and closes while "Logowanie nie powiodło
// się." waits for the click; the user then clicks "Rozumiem".
TEST_F(DesktopEndToEndTest, RefusedLoginItsBoxClosedByAClickAfterTheServerClosed) {
  serwer.addAccount(kNumer, "inne-haslo");
  WriteWithDescriptionAndContacts();
  UnderMemcheck();
  StartShown();
  ASSERT_TRUE(desktop.WaitForWindow(kWarning, kSlowMs));
  ASSERT_TRUE(serwer.waitForDisconnect(kSlowMs));
  WaitCloseTaken();
  Answer(kWarning, false);
  EXPECT_FALSE(ComesWithin(3000, [&] { return serwer.connectionCount() > 1 || program.state() != QProcess::Running; }));
  EXPECT_EQ(program.state(), QProcess::Running);
  EXPECT_EQ(serwer.connectionCount(), 1) << "a refused login is not retried";
  EndWithoutMemoryErrors();
  ExpectIdentityIntact();
}

// Without a stored password the prompt comes up; the server closes while it
// waits. The answer belongs to no connection; the next connection asks
// again and logs in.
TEST_F(DesktopEndToEndTest, PasswordPromptWhileTheServerCloses) {
  WriteFolder("");
  UnderMemcheck();
  StartShown();
  ASSERT_TRUE(desktop.Click(main.topLeft() + kDialog));
  const QString prompt = QString::fromUtf8("^Wprowadź hasło");
  ASSERT_TRUE(desktop.WaitForWindow(prompt, kSlowMs));
  serwer.closeConnection();
  ASSERT_TRUE(serwer.waitForDisconnect(kSlowMs));
  WaitCloseTaken();
  ASSERT_TRUE(desktop.Type(QString::fromLatin1(kHaslo)));
  ASSERT_TRUE(desktop.Key("Return"));
  ASSERT_TRUE(desktop.WaitForNoWindow(prompt, kSlowMs));
  EXPECT_FALSE(ComesWithin(1000, [&] { return serwer.connectionCount() > 1; })) << "the answer connected";
  EXPECT_TRUE(serwer.packetsOfType(typ::kLogin, 0).isEmpty());

  ASSERT_TRUE(desktop.Click(main.topLeft() + kDialog));
  ASSERT_TRUE(desktop.WaitForWindow(prompt, kSlowMs));
  ASSERT_TRUE(desktop.Type(QString::fromLatin1(kHaslo)));
  ASSERT_TRUE(desktop.Key("Return"));
  ASSERT_TRUE(WaitLoggedIn(1, kSlowMs));
  ExpectLogin(1, 20);
  EndWithoutMemoryErrors();
}

// An import of 300 contacts asks whether to keep 255; the server closes
// while the question waits, and the user says yes.
TEST_F(DesktopEndToEndTest, ImportQuestionWhileTheServerCloses) {
  const SettingsLayout settings = ReadSettingsLayout();
  QByteArray list;
  for (int i = 0; i < 300; ++i) list += "Osoba;" + QByteArray::number(i) + ";;O" + QByteArray::number(i) + ";;;" +
                                         QByteArray::number(20000 + i) + ";;0;;0;;0;\r\n";
  serwer.setUserlist(list);
  WriteWithDescriptionAndContacts();
  UnderMemcheck();
  StartShown();
  ASSERT_TRUE(WaitLoggedIn(0, kSlowMs));
  ASSERT_TRUE(desktop.Click(main.topLeft() + kButon3));
  const auto usta = desktop.WaitForWindow("^Ustawienia", kSlowMs);
  ASSERT_TRUE(usta);
  const QRect u = desktop.Geometry(*usta).value_or(QRect());
  ASSERT_TRUE(desktop.Click(u.topLeft() + settings.listTab));
  WaitSettled();
  ASSERT_TRUE(desktop.Click(u.topLeft() + settings.importButton));
  ASSERT_TRUE(desktop.WaitForWindow(kQuestion, kSlowMs));
  serwer.closeConnection();
  ASSERT_TRUE(serwer.waitForDisconnect(kSlowMs));
  WaitCloseTaken();
  Answer(kQuestion, true);
  Answer(kNotice, false);
  EndWithoutMemoryErrors();
  const QByteArray bytes = Read("osoby/" + QString::number(kNumer));
  const auto saved = identity_file::Parse(std::string_view(bytes.constData(), size_t(bytes.size())));
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->kontakty.size(), 255u);
}

// Hostile bytes: an announced length no packet has, then well-framed
// packets with garbage inside; the program reconnects after each.
TEST_F(DesktopEndToEndTest, HostileBytesThenAReconnection) {
  WriteWithDescriptionAndContacts();
  UnderMemcheck();
  StartShown();
  ASSERT_TRUE(WaitLoggedIn(0, kSlowMs));
  std::mt19937 gen(20261209);
  QByteArray junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>(gen() & 0xFF);
  serwer.sendRaw(QByteArray("\x0A\0\0\0\xF0\xFF\xFF\xFF", 8) + junk);
  ASSERT_TRUE(serwer.waitForDisconnect(kSlowMs));
  ASSERT_TRUE(WaitLoggedIn(1, kSlowMs)) << "no second login";
  const uint32_t types[] = {0x03, 0x05, 0x0A, 0x0F, 0x10, 0x11, 0x14, 0x2A};
  for (int i = 0; i < 200; ++i) {
    QByteArray payload;
    for (int j = int(gen() % 64); j > 0; --j) payload += static_cast<char>(gen() & 0xFF);
    serwer.sendPacket(types[gen() % std::size(types)], payload);
  }
  ASSERT_TRUE(Serwer::waitFor([&] { return ProgramReadEverything() || !serwer.isClientConnected(); }, kSlowMs))
      << "the program did not read the packets";
  serwer.closeConnection();
  ASSERT_TRUE(WaitLoggedIn(2, kSlowMs)) << "no third login";
  EndWithoutMemoryErrors();
  ExpectIdentityIntact();
}

// A normal session in a chat window: the user opens a contact's chat,
// writes and sends, the partner answers, then a message of 768 KiB with
// pictures, links and long words arrives; the session ends by SIGTERM.
TEST_F(DesktopEndToEndTest, ASessionSendsReceivesTakesA768KiBMessageAndEndsBySigterm) {
  WriteWithDescriptionAndContacts();
  UnderMemcheck();
  StartShown();
  ASSERT_TRUE(WaitLoggedIn(0, kSlowMs));
  // Janek, then Zosia: both absent, by name.
  ASSERT_TRUE(desktop.Click(main.topLeft() + kSecondContact, 1, 2));
  const auto chat = desktop.WaitForWindow("^Zosia \\(nr 5551\\)", kSlowMs);
  ASSERT_TRUE(chat);
  // Into the edit box, so that the keys go there however soon they come.
  ASSERT_TRUE(desktop.Click(desktop.Geometry(*chat).value_or(QRect()).topLeft() + QPoint(100, 240)));
  ASSERT_TRUE(desktop.Type("Czesc, co slychac? :)"));
  ASSERT_TRUE(desktop.Key("Return"));
  ASSERT_TRUE(Serwer::waitFor([&] { return !serwer.packetsOfType(typ::kSendMessage, 0).isEmpty(); }, kSlowMs));
  const QByteArray sent = serwer.packetsOfType(typ::kSendMessage, 0)[0].payload;
  EXPECT_EQ(sent.mid(12), QByteArray("Czesc, co slychac? :)") + '\0');
  serwer.sendMessage(5551, "Dobrze! Zobacz www.pkp.pl <kwiatek>");

  QByteArray big;
  const QByteArray pieces[] = {"slowo ", ":) ", "http://example.com/a?b=1 ", "<serce> ",
                               QByteArray(300, 'x') + ' '};
  for (int i = 0; big.size() < 768 * 1024; ++i) big += pieces[i % 5];
  serwer.sendMessage(5551, big);
  const QString archive = "osoby/" + QString::number(kNumer) + ".html";
  // Laid out in the open window first: under memcheck on a loaded machine
  // that has taken close to two minutes.
  ASSERT_TRUE(Serwer::waitFor([&] { return QFileInfo(dir.filePath(archive)).size() > 768 * 1024; }, 3 * kSlowMs));
  WaitSettled();  // laid out and painted in the open window
  EndWithoutMemoryErrors();
  const QByteArray page = Read(archive);
  EXPECT_TRUE(page.contains("Czesc, co slychac?"));
  EXPECT_TRUE(page.contains("Dobrze! Zobacz <a href=\"http://www.pkp.pl\">www.pkp.pl</a>"));
}

// A hostile server sends 100 MB while "Logowanie nie powiodło się." waits
// for the click: the program does not read, so the kernel holds the server
// back and the program's memory stays where it was; once the box is closed
// the stream is read whole, to its last message.
TEST_F(DesktopEndToEndTest, AHundredMegabytesWhileABoxWaitsStayWithTheServer) {
  serwer.addAccount(kNumer, "inne-haslo");
  serwer.setCloseOnLoginFailed(false);
  WriteWithDescriptionAndContacts();
  StartShown();
  ASSERT_TRUE(desktop.WaitForWindow(kWarning, 20000));
  WaitSettled();
  const long before = ResidentKb(program.processId());
  ASSERT_GT(before, 0);

  // 1600 packets of 64 KiB of a type the program skips, fed as the socket
  // takes them, then a message from a contact.
  const QByteArray piece = [] {
    QByteArray p = QByteArray("\x2A\0\0\0", 4) + QByteArray("\x00\x00\x01\x00", 4);
    return p + QByteArray(65536, 'z');
  }();
  const int pieces = 1600;
  int sent = 0;
  long highest = before;
  const auto feed = [&] {
    while (sent < pieces && serwer.bytesToWrite() < 4 * 1024 * 1024) {
      serwer.sendRaw(piece);
      ++sent;
    }
    highest = std::max(highest, ResidentKb(program.processId()));
  };
  // Until the server can give no more: the program is not reading. Each
  // look waits for room to write, a fifth of a second at most.
  int stuck = 0;
  for (int last = -1; stuck < 10;
       Serwer::waitFor([&] { return serwer.bytesToWrite() < 4 * 1024 * 1024; }, 200)) {
    feed();
    stuck = sent == last ? stuck + 1 : 0;
    last = sent;
  }
  const int heldBack = sent;
  EXPECT_LT(heldBack, pieces / 2) << "the program took the stream in while the box was up";
  const long whileBox = ResidentKb(program.processId());

  const auto box = desktop.WaitForWindow(kWarning, 1000);
  ASSERT_TRUE(box);
  ASSERT_TRUE(desktop.Click(BoxButton(desktop.Geometry(*box).value_or(QRect()), false)));
  ASSERT_TRUE(Serwer::waitFor(
      [&] {
        feed();
        return sent == pieces && serwer.bytesToWrite() == 0;
      },
      60000))
      << sent << " of " << pieces << " pieces";
  serwer.sendMessage(5551, "koniec strumienia");
  const QString archive = "osoby/" + QString::number(kNumer) + ".html";
  ASSERT_TRUE(Serwer::waitFor([&] { return Read(archive).contains("koniec strumienia"); }, 10000))
      << "the stream was not read to its end";
  const long after = ResidentKb(program.processId());
  RecordProperty("rss_kb_before", int(before));
  RecordProperty("rss_kb_box", int(whileBox));
  RecordProperty("rss_kb_highest", int(highest));
  RecordProperty("rss_kb_after", int(after));
  std::printf("resident memory: %ld kB with the box up, %ld kB after %d of %d pieces held back, highest %ld kB, "
              "%ld kB after 100 MB read\n",
              before, whileBox, heldBack, pieces, highest, after);
  EXPECT_LT(highest - before, 8 * 1024) << "kB above the start";
  End();
}
