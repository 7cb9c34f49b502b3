// The Debian package as a user gets it: built by cpack from this build
// folder, read by dpkg and lintian, unpacked with dpkg-deb into a folder of
// its own and started there by a user whose home is another folder, against
// the server emulator. The user's files must land in that home, and the
// unpacked tree must stay as it came.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <csignal>

#include "app/IdentityFile.h"
#include "app/PasswordBlock.h"
#include "app/SingleInstance.h"
#include "conversation/MessageArchive.h"
#include "ggserwer/Serwer.h"

namespace {

using ggserwer::Serwer;

constexpr uint32_t kNumer = 123456;
const QByteArray kHaslo = "Zupa-Pomidorowa7";

// The lintian warnings the package may keep, each with its reason beside it.
// None today: a new warning is mended, or accepted here with its reason.
const QSet<QString> kAcceptedWarnings = {};

// The tool's exit code (-1 when it did not end by itself) and what it printed.
std::pair<int, QString> Tool(const QString& program, const QStringList& args, int seconds = 120) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  const bool ended = p.waitForFinished(seconds * 1000);
  if (!ended) p.kill();
  p.waitForFinished();
  const QString text = program + " " + args.join(' ') + ":\n" + QString::fromUtf8(p.readAll());
  return {ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, text};
}

// Every entry under folder: a link's target, a file's mode and bytes, a
// folder's mode.
QMap<QString, QByteArray> Snapshot(const QString& folder) {
  QMap<QString, QByteArray> entries;
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile f(it.next());
    const QFileInfo info = it.fileInfo();
    QByteArray& e = entries[QDir(folder).relativeFilePath(f.fileName())];
    e = QByteArray::number(int(info.permissions()), 16);
    if (info.isSymLink())
      e = "link " + QFile::encodeName(info.symLinkTarget());
    else if (!info.isDir())
      e += f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
  }
  return entries;
}

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool Write(const QString& path, const std::string& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  const qint64 size = static_cast<qint64>(bytes.size());
  return f.open(QIODevice::WriteOnly) && f.write(bytes.data(), size) == size;
}

struct PackageTest : ::testing::Test {
  QTemporaryDir dir;
  const QString root = dir.path() + "/root";
  const QString home = dir.path() + "/home";
  const QString userFolder = home + "/.local/share/Wirmelak";
  QString deb;
  Serwer serwer;
  QProcess program;

  void TearDown() override {
    program.kill();
    program.waitForFinished(3000);
  }
  QString Field(const char* name) {
    return Tool("dpkg-deb", {"-f", deb, name}).second.section('\n', 1).trimmed();
  }

  // As the menu entry starts it: the command on the PATH, a link.
  void Start() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home);
    env.remove("XDG_DATA_HOME");
    env.remove("XDG_CONFIG_HOME");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory("/");
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(root + "/usr/bin/wirmelak", {"autostart"});
    ASSERT_TRUE(program.waitForStarted(5000));
  }
  // Whether the program catches SIGTERM yet: it sets its handler up some
  // way into its start.
  bool CatchesSigterm() const {
    QFile f(QStringLiteral("/proc/%1/status").arg(program.processId()));
    if (!f.open(QIODevice::ReadOnly)) return false;
    for (const QByteArray& line : f.readAll().split('\n'))
      if (line.startsWith("SigCgt:")) return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
  }
  void End() {
    ASSERT_TRUE(Serwer::waitFor([&] { return CatchesSigterm(); }, 10000)) << "the program does not catch SIGTERM";
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(Serwer::waitFor([&] { return program.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
  }
};

}  // namespace

TEST_F(PackageTest, BuiltListedLintedUnpackedAndRunAsAUser) {
  ASSERT_TRUE(dir.isValid());
  const auto arch = Tool("dpkg", {"--print-architecture"});
  const auto built =
      Tool(CPACK_COMMAND, {"-G", "DEB", "--config", CPACK_CONFIG, "-B", dir.path() + "/out"}, 300);
  ASSERT_EQ(built.first, 0) << built.second.toStdString();
  deb = dir.path() + "/out/wirmelak_" WM_VERSION "_" + arch.second.section('\n', 1).trimmed() + ".deb";
  ASSERT_TRUE(QFile::exists(deb)) << deb.toStdString() << "\n" << built.second.toStdString();

  // The control fields; the libraries are those dpkg-shlibdeps read from the
  // executable, each with the version it needs.
  EXPECT_EQ(Field("Package"), "wirmelak");
  EXPECT_EQ(Field("Version"), WM_VERSION);
  EXPECT_EQ(Field("Section"), "net");
  EXPECT_EQ(Field("Priority"), "optional");
  EXPECT_EQ(Field("Recommends"), "fonts-dejavu-core, qt6-translations-l10n, qt6-wayland");
  EXPECT_TRUE(Field("Maintainer").contains('@'));
  EXPECT_TRUE(Field("Description").startsWith("skinned client for the Gadu-Gadu instant-messaging network\n "));
  const QString depends = Field("Depends");
  for (const char* library : {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
                              "libqt6network6", "libqt6multimedia6", "libqt6dbus6"})
    EXPECT_TRUE(depends.contains(
        QRegularExpression(QString("(^|, )%1 \\(>= [0-9]").arg(QRegularExpression::escape(library)))))
        << library << " in " << depends.toStdString();

  // No script runs when the package is installed, upgraded or removed: dpkg
  // touches its own files and nothing else.
  ASSERT_EQ(Tool("dpkg-deb", {"-e", deb, dir.path() + "/control"}).first, 0);
  EXPECT_EQ(QDir(dir.path() + "/control").entryList(QDir::Files, QDir::Name),
            (QStringList{"control", "md5sums"}));

  // Every file with its mode and owner; every folder root's and 0755.
  const QString file = "-rw-r--r-- root/root";
  QMap<QString, QString> expected = {
      {"/usr/bin/wirmelak", "lrwxrwxrwx root/root -> ../lib/wirmelak/wirmelak"},
      {"/usr/lib/wirmelak/wirmelak", "-rwxr-xr-x root/root"},
      {"/usr/lib/wirmelak/installed", file},
      {"/usr/lib/wirmelak/notify.wav", file},
      {"/usr/share/applications/wirmelak.desktop", file},
      {"/usr/share/metainfo/wirmelak.metainfo.xml", file},
      {"/usr/share/man/man1/wirmelak.1.gz", file},
      {"/usr/share/doc/wirmelak/copyright", file},
      {"/usr/share/doc/wirmelak/changelog.gz", file},
  };
  for (const int size : {16, 32, 48, 64, 128, 256})
    expected[QString("/usr/share/icons/hicolor/%1x%1/apps/wirmelak.png").arg(size)] = file;
  const QStringList pictures = QDir(WM_ASSETS_DIR "/ikony").entryList({"*.bmp"}, QDir::Files);
  ASSERT_GT(pictures.size(), 40);
  for (const QString& picture : pictures) expected["/usr/lib/wirmelak/ikony/" + picture] = file;
  QMap<QString, QString> files;
  static const QRegularExpression entry(R"(^(\S+) (\S+) +\d+ \S+ \S+ \.(/[^>]*?)/?( -> .*)?$)");
  for (const QString& line : Tool("dpkg-deb", {"-c", deb}).second.split('\n').mid(1, -1)) {
    const auto m = entry.match(line);
    const QString modeAndOwner = m.captured(1) + " " + m.captured(2);
    if (line.isEmpty()) continue;
    if (!m.hasMatch())
      ADD_FAILURE() << "listed: " << line.toStdString();
    else if (modeAndOwner.startsWith('d'))
      EXPECT_EQ(modeAndOwner, "drwxr-xr-x root/root") << line.toStdString();
    else
      files[m.captured(3)] = modeAndOwner + m.captured(4);
  }
  EXPECT_EQ(files, expected);

  // lintian: no error, and no warning but the accepted ones.
  const auto lint = Tool("lintian", {"--tag-display-limit", "0", deb}, 300);
  EXPECT_EQ(lint.first, 0) << lint.second.toStdString();
  static const QRegularExpression tag("^([EW]): wirmelak[^:]*: (\\S+)", QRegularExpression::MultilineOption);
  for (auto m = tag.globalMatch(lint.second); m.hasNext();) {
    const auto t = m.next();
    EXPECT_TRUE(t.captured(1) == "W" && kAcceptedWarnings.contains(t.captured(2))) << t.captured(0).toStdString();
  }

  // Unpacked where the user's files cannot be mistaken for the system's.
  ASSERT_EQ(Tool("dpkg-deb", {"-x", deb, root}).first, 0);
  const QMap<QString, QByteArray> tree = Snapshot(root);

  // The first start makes the user's folder, with the link to the pictures
  // the archive pages need, and leaves the settings there. A second start's
  // guard is the user's folder's.
  Start();
  ASSERT_TRUE(Serwer::waitFor([&] { return QFileInfo::exists(userFolder + "/osoby"); }, 10000));
  ASSERT_TRUE(Serwer::waitFor([&] { return CatchesSigterm(); }, 10000));
  EXPECT_TRUE(QFile::exists(QDir::temp().filePath(SingleInstance::ServerName(userFolder))));
  End();
  EXPECT_EQ(QFileInfo(userFolder + "/ikony").symLinkTarget(),
            QFileInfo(root + "/usr/lib/wirmelak/ikony").canonicalFilePath());
  EXPECT_TRUE(Read(userFolder + "/Wirmelak.ini").startsWith("; Plik konfiguracji programu Wirmelak\r\n"));

  // With an identity (as tozsamosc writes one) it logs in, archives what
  // comes and saves the identity and the settings, all in the user's folder.
  ASSERT_TRUE(serwer.start());
  serwer.addAccount(kNumer, kHaslo);
  serwer.addTimedAction(*ggserwer::parseTimedAction(QString::fromUtf8("300 message 5551 Cześć :)")));
  const QString identity = userFolder + "/osoby/123456";
  ASSERT_TRUE(Write(userFolder + "/osoba", "123456"));
  ASSERT_TRUE(
      Write(identity, identity_file::Build("", {}, kNumer, ScramblePassword(kHaslo.toStdString(), kNumer), {})));
  ASSERT_TRUE(Write(identity + ".html", MessageArchive::Head("123456")));
  ASSERT_TRUE(Write(userFolder + "/Wirmelak.ini", "serwer = " + serwer.lookupHost().toStdString() + "\r\n"));
  Start();
  ASSERT_TRUE(serwer.waitForLogin(10000)) << "no login";
  ASSERT_TRUE(Serwer::waitFor([&] { return Read(identity + ".html").contains("5551"); }, 5000))
      << "nothing archived";
  End();

  EXPECT_TRUE(Read(identity + ".html").contains("<br>Cze\x9c\xe6 <img align=bottom src=\"../ikony/usmiech.bmp\"></p>"));
  // The picture as the browser finds it from the page's folder.
  EXPECT_EQ(Read(userFolder + "/osoby/../ikony/usmiech.bmp"), Read(WM_ASSETS_DIR "/ikony/usmiech.bmp"));
  const QByteArray saved = Read(identity);
  const auto parsed = identity_file::Parse(std::string_view(saved.constData(), size_t(saved.size())));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(UnscramblePassword(parsed->blokHasla, parsed->numer), kHaslo.toStdString());
  const QByteArray ini = Read(userFolder + "/Wirmelak.ini");
  EXPECT_TRUE(ini.endsWith(("\r\nautowolit = 1\r\nserwer = " + serwer.lookupHost() + "\r\n").toLatin1())) << ini.data();
  EXPECT_EQ(Read(userFolder + "/osoba"), "123456");

  // The unpacked package, root's to write or not, is as it came.
  EXPECT_EQ(Snapshot(root), tree);
}
