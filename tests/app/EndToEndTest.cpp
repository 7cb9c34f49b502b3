// The built program in a folder of its own, started as the desktop starts it
// at log-on, against the server emulator on 127.0.0.1: everything it does is
// seen only from outside, on the wire and in its files.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <cctype>
#include <csignal>
#include <functional>
#include <random>

#include "app/IdentityFile.h"
#include "app/PasswordBlock.h"
#include "conversation/MessageArchive.h"
#include "ggserwer/LoginHash.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"

namespace {

using ggserwer::Serwer;
namespace typ = ggserwer::typ;

constexpr uint32_t kNumer = 123456;
const QByteArray kHaslo = "Zupa-Pomidorowa7";
// "na obiedzie, wrócę" in Windows-1250, written out so that a wrong code page
// anywhere between the file and the wire shows.
const QByteArray kOpisWire("na obiedzie, wr\xF3" "c\xEA");

// The program ticks its reconnection timer every 2 s; the first login comes
// on the first tick after start.
constexpr int kLoginMs = 6000;

QByteArray U32(uint32_t v) {
  QByteArray b;
  ggserwer::appendU32(b, v);
  return b;
}
QByteArray U16(uint16_t v) {
  QByteArray b;
  ggserwer::appendU16(b, v);
  return b;
}

// The archive page read as a browser reads it, strictly: every tag one the
// archive writes, "<!--" comments skipped, elements closed in order, no
// stray angle bracket in the text. The format leaves <html> open. Empty when
// it reads; otherwise what is wrong.
std::string HtmlProblems(const QByteArray& page) {
  static const QSet<QByteArray> kVoid = {"!doctype", "meta", "br", "hr", "img"};
  static const QSet<QByteArray> kPaired = {"html", "head", "style", "title", "body", "p", "b", "a"};
  QList<QByteArray> open;
  qsizetype i = 0;
  while (i < page.size()) {
    if (page[i] == '>') return "a stray '>' at " + std::to_string(i);
    if (page[i] != '<') {
      ++i;
      continue;
    }
    if (page.mid(i, 4) == "<!--") {
      const qsizetype end = page.indexOf("-->", i + 4);
      if (end < 0) return "an unclosed comment";
      i = end + 3;
      continue;
    }
    const qsizetype end = page.indexOf('>', i);
    const qsizetype next = page.indexOf('<', i + 1);
    if (end < 0 || (next >= 0 && next < end)) return "a stray '<' at " + std::to_string(i);
    QByteArray tag = page.mid(i + 1, end - i - 1);
    i = end + 1;
    const bool closing = tag.startsWith('/');
    if (closing) tag.remove(0, 1);
    qsizetype n = 0;
    while (n < tag.size() && (std::isalnum(static_cast<unsigned char>(tag[n])) || tag[n] == '!')) ++n;
    const QByteArray name = tag.left(n).toLower();
    if (kVoid.contains(name) && !closing) continue;
    if (!kPaired.contains(name)) return "an unknown tag <" + tag.toStdString() + ">";
    if (!closing) {
      open.append(name);
    } else if (open.isEmpty() || open.takeLast() != name) {
      return "</" + name.toStdString() + "> closes nothing open";
    }
  }
  if (open != QList<QByteArray>{"html"}) return "left open: " + QByteArrayList(open).join(' ').toStdString();
  return {};
}

// Payloads compare as hexadecimal text: a difference reads at its byte.
std::string Hex(const QByteArray& b) { return b.toHex(' ').toStdString(); }

TKontakt Kontakt(uint32_t numer, const char* nazwisko, const char* wyswietl, const char* telefon,
                 const char* email) {
  TKontakt k;
  k.numer = numer;
  k.nazwisko = T(nazwisko);
  k.wyswietl = T(wyswietl);
  k.telefon = telefon;
  k.email = email;
  return k;
}

struct EndToEndTest : ::testing::Test {
  QTemporaryDir dir;
  Serwer serwer;
  QProcess program;

  // What the identity file holds before the start.
  std::string opis;
  ColourScheme kolory{0x102030, 0xE0D0C0, 0x4080C0, 0x2020F0, 0x30A0A0, 0x602020, 0x206020};
  std::vector<TKontakt> kontakty;

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(serwer.start());
    serwer.setSeed(0x6A09E667);
    serwer.addAccount(kNumer, kHaslo);
    CopyProgram();
  }
  void TearDown() override {
    if (program.state() != QProcess::NotRunning) {
      program.kill();
      program.waitForFinished(3000);
    }
  }

  // The whole program folder: the executable finds its pictures and sound
  // beside itself. Files a run of it may have left there are not the test's.
  void CopyProgram() {
    const QDir from(QStringLiteral(WIRMELAK_DIR));
    QDirIterator it(from.path(), QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString path = it.next();
      const QString rel = from.relativeFilePath(path);
      if (rel == "osoba" || rel == "Wirmelak.ini" || rel.startsWith("osoby")) continue;
      if (it.fileInfo().isDir()) {
        ASSERT_TRUE(QDir(dir.path()).mkpath(rel));
      } else {
        ASSERT_TRUE(QFile::copy(path, dir.filePath(rel))) << rel.toStdString();
        QFile::setPermissions(dir.filePath(rel), QFile::permissions(path));
      }
    }
    ASSERT_TRUE(QFile::exists(dir.filePath("wirmelak")));
  }

  void Write(const QString& name, const QByteArray& bytes) {
    QDir(dir.path()).mkpath(QFileInfo(dir.filePath(name)).path());
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
  }
  QByteArray Read(const QString& name) {
    QFile f(dir.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  void WriteFolder(const QByteArray& haslo = kHaslo) {
    const std::string number = std::to_string(kNumer);
    Write("osoba", QByteArray::fromStdString(number));
    Write("osoby/" + QString::fromStdString(number),
          QByteArray::fromStdString(identity_file::Build(
              opis, kolory, kNumer, ScramblePassword(haslo.toStdString(), kNumer), kontakty)));
    // With the archive missing the program would greet with a notice first.
    Write("osoby/" + QString::fromStdString(number) + ".html",
          QByteArray::fromStdString(MessageArchive::Head(number)));
    Write("Wirmelak.ini", ("serwer = " + serwer.lookupHost() + "\r\nautowolit = 1\r\n").toLatin1());
  }
  void WriteWithDescriptionAndContacts() {
    opis = T("na obiedzie, wrócę");
    kontakty = {Kontakt(5551, "Zofia Wójcik", "Zosia", "601234567", "zosia@poczta.pl"),
                Kontakt(222, "Jan Kowalski", "Janek", "", "")};
    kontakty[0].rezerwa = {7, 8, 9};
    WriteFolder();
  }

  void Start() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory("/");  // it must find its own folder by itself
    program.setProcessChannelMode(QProcess::ForwardedChannels);  // its warnings, in the test's log
    program.start(dir.filePath("wirmelak"), {"autostart"});
    ASSERT_TRUE(program.waitForStarted(5000));
  }
  // The test thread serves the emulator while it waits.
  static void Pause(int ms) { Serwer::waitFor([] { return false; }, ms); }

  // SIGTERM, as at log-off: the program must end by itself, cleanly.
  void End() {
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(Serwer::waitFor([&] { return program.state() == QProcess::NotRunning; }, 5000))
        << "the program did not end on SIGTERM";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
  }

  // Login and the list that follows it on connection c.
  bool WaitLoggedIn(int c, int ms = kLoginMs) {
    return Serwer::waitFor(
        [&] {
          return serwer.connectionCount() > c &&
                 (!serwer.packetsOfType(typ::kNotifyList, c).isEmpty() ||
                  !serwer.packetsOfType(typ::kListEmpty, c).isEmpty());
        },
        ms);
  }

  // The login payload as the network defines it, field by field.
  QByteArray ExpectedLogin(uint32_t status, const QByteArray& description) {
    const uint16_t port = serwer.ggPort();
    QByteArray p = U32(kNumer) + U32(ggserwer::loginHash(serwer.seed(), kHaslo)) + U32(status) +
                   U32(0x21) + QByteArray(1, '\0') + U32(0) + U16(port) + U32(0) + U16(port) +
                   QByteArray("\xFF\xBE", 2);
    if (!description.isNull()) p += description + QByteArray(1, '\0');
    return p;
  }
  void ExpectLogin(int c, uint32_t status, const QByteArray& description = {}) {
    const auto logins = serwer.packetsOfType(typ::kLogin, c);
    ASSERT_EQ(logins.size(), 1) << "connection " << c;
    EXPECT_EQ(Hex(logins[0].payload), Hex(ExpectedLogin(status, description)));
  }
  void ExpectFullNotifyList(int c) {
    const auto lists = serwer.packetsOfType(typ::kNotifyList, c);
    ASSERT_GE(lists.size(), 1) << "connection " << c;
    // Storage order, one type byte 3 each.
    EXPECT_EQ(Hex(lists[0].payload), Hex(U32(5551) + '\x03' + U32(222) + '\x03'));
    EXPECT_TRUE(serwer.packetsOfType(typ::kListEmpty, c).isEmpty());
  }
  // What the server hears when the program leaves while connected.
  void ExpectLeaving(int c, const QByteArray& payload) {
    ASSERT_TRUE(Serwer::waitFor([&] { return !serwer.packetsOfType(typ::kNewStatus, c).isEmpty(); },
                                2000))
        << "no new status on connection " << c;
    const auto status = serwer.packetsOfType(typ::kNewStatus, c);
    ASSERT_EQ(status.size(), 1);
    EXPECT_EQ(Hex(status[0].payload), Hex(payload));
  }

  // The identity file on disk holds what it held before the start.
  void ExpectIdentityIntact() {
    const QByteArray bytes = Read("osoby/" + QString::number(kNumer));
    const auto c = identity_file::Parse(std::string_view(bytes.constData(), size_t(bytes.size())));
    ASSERT_TRUE(c.has_value()) << "the identity file does not parse";
    EXPECT_EQ(c->numer, kNumer);
    EXPECT_EQ(UnscramblePassword(c->blokHasla, c->numer), kHaslo.toStdString());
    if (opis.empty())
      EXPECT_FALSE(c->opis.has_value());
    else
      EXPECT_EQ(c->opis, opis);
    ColourScheme read;
    identity_file::ApplyColours(*c, read);
    EXPECT_EQ(read, kolory);
    ASSERT_EQ(c->kontakty.size(), kontakty.size());
    for (size_t i = 0; i < kontakty.size(); ++i)
      EXPECT_EQ(c->kontakty[i].Serialise(), kontakty[i].Serialise()) << "contact " << i;
  }
  void ExpectConfigKept() {
    const QByteArray ini = Read("Wirmelak.ini");
    EXPECT_TRUE(ini.startsWith("; Plik konfiguracji programu Wirmelak\r\n\r\n")) << ini.data();
    EXPECT_TRUE(ini.contains(("\r\nserwer = " + serwer.lookupHost() + "\r\n").toLatin1()))
        << ini.data();
    EXPECT_TRUE(ini.contains("\r\nautowolit = 1\r\n")) << ini.data();
  }

  // A hostile turn on a logged-in connection: the program survives it, the
  // connection ends, and the program logs in again by itself exactly as the
  // first time. clientCloses: the program must end the connection itself.
  void SurvivesAndLogsInAgain(const std::function<void()>& attack, bool clientCloses) {
    WriteWithDescriptionAndContacts();
    Start();
    ASSERT_TRUE(WaitLoggedIn(0));
    attack();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(serwer.waitForDisconnect(clientCloses ? 2000 : 5000))
        << "the connection did not end";
    Pause(300);
    ASSERT_EQ(program.state(), QProcess::Running) << "exit code " << program.exitCode();
    ASSERT_TRUE(WaitLoggedIn(1, 5000)) << "no second login";
    EXPECT_EQ(serwer.connectionCount(), 2);
    EXPECT_EQ(serwer.lookupTargets().size(), 2);
    ExpectLogin(1, 22, kOpisWire);
    ExpectFullNotifyList(1);
    End();
    ExpectLeaving(1, U32(21) + kOpisWire + QByteArray(1, '\0'));
    ExpectIdentityIntact();
  }
};

}  // namespace

TEST_F(EndToEndTest, WholeRoadWithDescriptionAndContacts) {
  WriteWithDescriptionAndContacts();
  Start();
  ASSERT_TRUE(WaitLoggedIn(0)) << "no login and list within " << kLoginMs << " ms";

  ASSERT_EQ(serwer.lookupTargets().size(), 1);
  const QUrl target(QString::fromLatin1(serwer.lookupTargets()[0]));
  EXPECT_EQ(target.path(), "/appsvc/appmsg4.asp");
  EXPECT_EQ(QUrlQuery(target).queryItemValue("fmnumber"), "123456");
  EXPECT_EQ(QUrlQuery(target).queryItemValue("version"), "6,0,0,147");
  EXPECT_EQ(serwer.connectionCount(), 1);
  EXPECT_TRUE(serwer.isLoggedIn());
  // A stored description brings the status "back soon" with it, and the
  // first login is invisible with that description.
  ExpectLogin(0, 22, kOpisWire);
  EXPECT_EQ(serwer.packetsOfType(typ::kLogin, 0)[0].payload.size(), 31 + kOpisWire.size() + 1);
  ExpectFullNotifyList(0);
  EXPECT_EQ(serwer.packetsOfType(typ::kNotifyList, 0)[0].payload.size(), 10);

  End();
  // Not available with the description, never invisible.
  ExpectLeaving(0, U32(21) + kOpisWire + QByteArray(1, '\0'));
  ExpectIdentityIntact();
  ExpectConfigKept();
  EXPECT_EQ(Read("osoba"), "123456");
}

TEST_F(EndToEndTest, WholeRoadWithoutDescriptionOrContacts) {
  WriteFolder();
  Start();
  ASSERT_TRUE(WaitLoggedIn(0)) << "no login and list within " << kLoginMs << " ms";
  ASSERT_EQ(serwer.lookupTargets().size(), 1);
  EXPECT_EQ(QUrlQuery(QUrl(QString::fromLatin1(serwer.lookupTargets()[0])))
                .queryItemValue("fmnumber"),
            "123456");
  ExpectLogin(0, 20);
  EXPECT_EQ(serwer.packetsOfType(typ::kLogin, 0)[0].payload.size(), 31);
  const auto empty = serwer.packetsOfType(typ::kListEmpty, 0);
  ASSERT_EQ(empty.size(), 1);
  EXPECT_TRUE(empty[0].payload.isEmpty());
  EXPECT_TRUE(serwer.packetsOfType(typ::kNotifyList, 0).isEmpty());

  End();
  ExpectLeaving(0, U32(1));
  ExpectIdentityIntact();
  ExpectConfigKept();
}

TEST_F(EndToEndTest, RefusedLoginIsNotRetried) {
  serwer.addAccount(kNumer, "inne-haslo");
  WriteWithDescriptionAndContacts();
  Start();
  ASSERT_TRUE(Serwer::waitFor(
      [&] { return serwer.connectionCount() == 1 && !serwer.isClientConnected(); }, kLoginMs))
      << "the refused connection did not end";
  ExpectLogin(0, 22, kOpisWire);  // the stored password, hashed right: only the account differs
  EXPECT_FALSE(serwer.isLoggedIn());
  // Well past two more ticks of the reconnection timer.
  Pause(5500);
  EXPECT_EQ(program.state(), QProcess::Running);
  EXPECT_EQ(serwer.connectionCount(), 1);
  EXPECT_EQ(serwer.lookupTargets().size(), 1);

  // The notice of the failure is still open.
  End();
  EXPECT_TRUE(serwer.packetsOfType(typ::kNewStatus, 0).isEmpty());
  ExpectIdentityIntact();
  ExpectConfigKept();
}

TEST_F(EndToEndTest, HugeAnnouncedLengthIsDropped) {
  SurvivesAndLogsInAgain(
      [&] {
        serwer.sendRaw(U32(0x0A) + U32(0xFFFFFFF0u) + QByteArray(64, 'x'));
      },
      true);
}

TEST_F(EndToEndTest, TruncatedPacketThenServerCloses) {
  SurvivesAndLogsInAgain(
      [&] {
        // A message packet announcing 40 bytes, of which 10 come.
        serwer.sendRaw(U32(0x0A) + U32(40) + U32(5551) + U32(1) + U16(0));
        serwer.closeConnection();
      },
      false);
}

TEST_F(EndToEndTest, RandomBytesAreDropped) {
  SurvivesAndLogsInAgain(
      [&] {
        std::mt19937 gen(20240601);
        QByteArray junk;
        for (int i = 0; i < 4096; ++i) junk += static_cast<char>(gen() & 0xFF);
        // The first header already announces more than any packet may carry.
        ASSERT_GT(ggserwer::readU32(junk, 4), 1u << 20);
        serwer.sendRaw(junk);
      },
      true);
}

TEST_F(EndToEndTest, RandomPacketsThenServerCloses) {
  // Well-framed packets of server types the program reads or skips, with
  // garbage inside. Welcome, login failed and "disconnecting" are left out:
  // each rightly changes what the program does next.
  SurvivesAndLogsInAgain(
      [&] {
        std::mt19937 gen(77);
        const uint32_t types[] = {0x03, 0x05, 0x0A, 0x0F, 0x10, 0x11, 0x14, 0x2A, 0xFFFFFFFF};
        for (int i = 0; i < 200; ++i) {
          QByteArray payload;
          const int length = static_cast<int>(gen() % 64);
          for (int j = 0; j < length; ++j) payload += static_cast<char>(gen() & 0xFF);
          serwer.sendPacket(types[gen() % std::size(types)], payload);
        }
        Pause(500);
        ASSERT_TRUE(serwer.isClientConnected()) << "well-framed packets ended the connection";
        serwer.closeConnection();
      },
      false);
}

TEST_F(EndToEndTest, MessagesOfAContactAndAStrangerReachTheArchiveEscaped) {
  WriteWithDescriptionAndContacts();
  for (const char* action :
       {"300 message 5551 Cześć! Zobacz www.wp.pl/plan :) i <kwiatek>",
        "200 message 7777 <b>Tanio</b> <script>alert(1)</script> http://example.com/a?b=1&c=2 >>"})
    serwer.addTimedAction(*ggserwer::parseTimedAction(QString::fromUtf8(action)));
  Start();
  ASSERT_TRUE(WaitLoggedIn(0)) << "no login and list within " << kLoginMs << " ms";
  const QString archive = "osoby/" + QString::number(kNumer) + ".html";
  ASSERT_TRUE(Serwer::waitFor([&] { return Read(archive).contains("7777"); }, 3000))
      << "the messages did not reach the archive";
  End();

  const QByteArray page = Read(archive);
  EXPECT_TRUE(page.startsWith(QByteArray::fromStdString(MessageArchive::Head(std::to_string(kNumer))).chopped(11)));
  EXPECT_TRUE(page.endsWith("</p>\r\n</body>"));
  const qsizetype contact = page.indexOf("<hr><p class=czyje><b>Rozmowa z Zosia (5551)</b>, ");
  const qsizetype stranger = page.indexOf("<p class=czyje><b>Rozmowa z 7777</b>, ");
  ASSERT_GE(contact, 0) << page.constData();
  ASSERT_GT(stranger, contact) << page.constData();
  // The contact's words in Windows-1250, the address a link, the pictures
  // the program has as pictures.
  EXPECT_TRUE(page.contains("<br>Cze\x9c\xe6! Zobacz <a href=\"http://www.wp.pl/plan\">www.wp.pl/plan</a> "
                            "<img align=bottom src=\"../ikony/usmiech.bmp\"> i "
                            "<img align=bottom src=\"../ikony/kwiatek.bmp\"></p>"))
      << page.constData();
  // The stranger's markup stays text.
  EXPECT_TRUE(page.contains("<br>&lt;b&gt;Tanio&lt;/b&gt; &lt;script&gt;alert(1)&lt;/script&gt; "
                            "<a href=\"http://example.com/a?b=1&c=2\">http://example.com/a?b=1&c=2</a> &gt;&gt;</p>"))
      << page.constData();
  EXPECT_FALSE(page.contains("<script"));
  EXPECT_EQ(HtmlProblems(page), "");
  ExpectIdentityIntact();
}
