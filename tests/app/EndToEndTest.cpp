// The built program in a folder of its own against the server emulator,
// offscreen: the whole road, hostile servers, the archive, a second copy.

#include "EndToEndFixture.h"

#include <random>

#include "app/SingleInstance.h"

namespace {
using namespace endtoend;
using ggserwer::Serwer;
namespace typ = ggserwer::typ;
struct EndToEndTest : EndToEndFixture {};
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
  // Nothing for well past two more ticks of the reconnection timer; a retry
  // fails the test as soon as it comes.
  EXPECT_FALSE(Serwer::waitFor(
      [&] { return serwer.connectionCount() > 1 || program.state() != QProcess::Running; }, 5500));
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
        ASSERT_TRUE(Serwer::waitFor([&] { return ProgramReadEverything() || !serwer.isClientConnected(); }, 5000))
            << "the program did not read the packets";
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

namespace {

// Every file of the folder with its bytes and its time of change.
QMap<QString, QPair<QByteArray, qint64>> Snapshot(const QString& folder) {
  QMap<QString, QPair<QByteArray, qint64>> files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    files[QDir(folder).relativeFilePath(path)] = {f.readAll(), it.fileInfo().lastModified().toMSecsSinceEpoch()};
  }
  return files;
}

}  // namespace

// Started again while the first copy runs the folder's default identity, the
// program hands over to that copy and leaves at once, touching no file and
// opening no connection. A copy killed outright leaves its socket behind;
// the next start runs all the same.
TEST_F(EndToEndTest, SecondCopyLeavesToTheFirstAndAKilledOneStopsNoStart) {
  WriteWithDescriptionAndContacts();
  Start();
  ASSERT_TRUE(WaitLoggedIn(0));
  const auto before = Snapshot(dir.path());

  auto startAgain = [&] {
    QProcess second;
    second.setProcessEnvironment(program.processEnvironment());
    second.setWorkingDirectory("/");
    second.start(dir.filePath("wirmelak"));
    ASSERT_TRUE(Serwer::waitFor([&] { return second.state() == QProcess::NotRunning; }, 5000))
        << "the second copy kept running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
  };
  startAgain();
  EXPECT_EQ(Snapshot(dir.path()), before);
  EXPECT_EQ(serwer.connectionCount(), 1);
  EXPECT_EQ(program.state(), QProcess::Running);

  program.kill();
  ASSERT_TRUE(program.waitForFinished(5000));
  ASSERT_TRUE(serwer.waitForDisconnect(5000));
  const QString socket = QDir::temp().filePath(SingleInstance::ServerName(dir.path()));
  EXPECT_TRUE(QFile::exists(socket)) << "the killed copy's socket is left";
  Start();
  ASSERT_TRUE(WaitLoggedIn(1)) << "no start after the killed copy";
  startAgain();  // the new copy took the socket over
  EXPECT_EQ(serwer.connectionCount(), 2);
  End();
  ExpectIdentityIntact();
}
