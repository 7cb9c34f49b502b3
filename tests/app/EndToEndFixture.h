#pragma once
// The built program in a folder of its own, started as the desktop starts it
// at log-on, against the server emulator on 127.0.0.1: everything it does is
// seen only from outside, on the wire and in its files. A test may start it
// with other arguments, on a desktop of its own, or under a checker.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <cctype>
#include <csignal>
#include <functional>

#include "app/IdentityFile.h"
#include "app/PasswordBlock.h"
#include "conversation/MessageArchive.h"
#include "ggserwer/LoginHash.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"

namespace endtoend {

using ggserwer::Serwer;
namespace typ = ggserwer::typ;

constexpr uint32_t kNumer = 123456;
// The main window's title, as the window manager is asked for it.
const QString kMainTitle = "^Wirmelak v1\\.2\\+\\+";
const QByteArray kHaslo = "Zupa-Pomidorowa7";
// "na obiedzie, wrócę" in Windows-1250, written out so that a wrong code page
// anywhere between the file and the wire shows.
const QByteArray kOpisWire("na obiedzie, wr\xF3" "c\xEA");

// The program ticks its reconnection timer every 2 s; the first login comes
// on the first tick after start.
constexpr int kLoginMs = 6000;

inline QByteArray U32(uint32_t v) {
  QByteArray b;
  ggserwer::appendU32(b, v);
  return b;
}
inline QByteArray U16(uint16_t v) {
  QByteArray b;
  ggserwer::appendU16(b, v);
  return b;
}

// The archive page read as a browser reads it, strictly: every tag one the
// archive writes, "<!--" comments skipped, elements closed in order, no
// stray angle bracket in the text. The format leaves <html> open. Empty when
// it reads; otherwise what is wrong.
inline std::string HtmlProblems(const QByteArray& page) {
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
inline std::string Hex(const QByteArray& b) { return b.toHex(' ').toStdString(); }

inline TKontakt Kontakt(uint32_t numer, const char* nazwisko, const char* wyswietl, const char* telefon,
                 const char* email) {
  TKontakt k;
  k.numer = numer;
  k.nazwisko = T(nazwisko);
  k.wyswietl = T(wyswietl);
  k.telefon = telefon;
  k.email = email;
  return k;
}

struct EndToEndFixture : ::testing::Test {
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

  // How the program is started: its environment, its arguments, and a
  // checker it runs under (none when empty), and how long it may take to
  // end when asked.
  QProcessEnvironment environment = Offscreen();
  QStringList arguments{"autostart"};
  QStringList wrapper;
  int endMs = 5000;

  static QProcessEnvironment Offscreen() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
  }

  // The main window at a known place at its design size, so that every
  // component is where the layout puts it.
  void PlaceMainWindow(QPoint at) {
    QFile ini(dir.filePath("Wirmelak.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write(QStringLiteral("lewy = %1\r\ngorny = %2\r\nszerokosc = 250\r\nwysokosc = 545\r\n")
                  .arg(at.x())
                  .arg(at.y())
                  .toLatin1());
  }

  void Start() {
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory("/");  // it must find its own folder by itself
    program.setProcessChannelMode(QProcess::ForwardedChannels);  // its warnings, in the test's log
    if (wrapper.isEmpty())
      program.start(dir.filePath("wirmelak"), arguments);
    else
      program.start(wrapper.front(), wrapper.mid(1) + QStringList{dir.filePath("wirmelak")} + arguments);
    ASSERT_TRUE(program.waitForStarted(5000));
  }
  // Whether the program catches SIGTERM yet: it sets its handler up some
  // way into its start, and the signal before that would only kill it.
  bool CatchesSigterm() const {
    QFile f(QStringLiteral("/proc/%1/status").arg(program.processId()));
    if (!f.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : f.readAll().split('\n'))
      if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
  }

  // The ends of the program's connections to the emulator and of the
  // emulator's to the program, as the kernel holds them: the TCP state,
  // and the bytes in them that their reader has not taken, for the
  // program's end, or that the other side has not acknowledged, for the
  // emulator's.
  struct TcpEnd {
    bool programs;
    int state;
    qint64 queued;
  };
  static constexpr int kEstablished = 0x01, kCloseWait = 0x08, kListening = 0x0A;
  std::vector<TcpEnd> TcpEnds() {
    std::vector<TcpEnd> ends;
    const QByteArray emulator = "0100007F:" + QByteArray::number(serwer.ggPort(), 16).toUpper().rightJustified(4, '0');
    QFile f("/proc/net/tcp");
    if (!f.open(QIODevice::ReadOnly)) return ends;
    f.readLine();  // the heading
    while (!f.atEnd()) {
      // sl, local address, remote address, state, tx_queue:rx_queue, ...
      const QList<QByteArray> columns = f.readLine().simplified().split(' ');
      if (columns.size() < 5) continue;
      const bool programs = columns[2] == emulator;
      const int state = columns[3].toInt(nullptr, 16);
      if ((!programs && columns[1] != emulator) || state == kListening) continue;
      const QList<QByteArray> queues = columns[4].split(':');
      if (queues.size() != 2) continue;
      ends.push_back({programs, state, (programs ? queues[1] : queues[0]).toLongLong(nullptr, 16)});
    }
    return ends;
  }
  // The emulator closed, and the program took the close in: its own end is
  // closed too.
  bool ProgramClosedItsEnd() {
    for (const TcpEnd& e : TcpEnds())
      if (e.programs && (e.state == kEstablished || e.state == kCloseWait)) return false;
    return true;
  }
  // The program has read everything the emulator sent.
  bool ProgramReadEverything() {
    if (serwer.bytesToWrite() > 0) return false;
    for (const TcpEnd& e : TcpEnds())
      if (e.queued > 0) return false;
    return true;
  }

  // SIGTERM, as at log-off: the program must end by itself, cleanly.
  void End() {
    ASSERT_TRUE(Serwer::waitFor([&] { return CatchesSigterm(); }, endMs)) << "the program does not catch SIGTERM";
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(Serwer::waitFor([&] { return program.state() == QProcess::NotRunning; }, endMs))
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
    // Until the program connects again, or ends.
    Serwer::waitFor([&] { return serwer.connectionCount() > 1 || program.state() != QProcess::Running; }, 5000);
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

}  // namespace endtoend
