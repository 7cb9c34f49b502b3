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
#include "platform/Cp1250.h"

namespace {

using ggserwer::Serwer;

constexpr uint32_t kNumer = 123456;
const QByteArray kHaslo = "Zupa-Pomidorowa7";

// The lintian warnings the package may keep, each with its reason beside it.
// None today: a new warning is mended, or accepted here with its reason.
const QSet<QString> kAcceptedWarnings = {};

struct Output {
  int code = -1;
  QString text;
};

Output Tool(const QString& program, const QStringList& args, int seconds = 120) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  Output out;
  if (!p.waitForStarted(10000)) {
    out.text = program + ": did not start";
    return out;
  }
  p.waitForFinished(seconds * 1000);
  out.text = QString::fromUtf8(p.readAll());
  if (p.state() != QProcess::NotRunning) {
    p.kill();
    p.waitForFinished();
    out.text += "\n(killed after " + QString::number(seconds) + " s)";
    return out;
  }
  if (p.exitStatus() == QProcess::NormalExit) out.code = p.exitCode();
  return out;
}

// Every entry under folder: a link's target, a file's bytes and mode, or a
// folder's mode.
QMap<QString, QByteArray> Snapshot(const QString& folder) {
  QMap<QString, QByteArray> entries;
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QFileInfo info = it.fileInfo();
    const QByteArray mode = QByteArray::number(int(info.permissions()), 16);
    QByteArray what;
    if (info.isSymLink()) {
      what = "link " + QFile::encodeName(info.symLinkTarget());
    } else if (info.isDir()) {
      what = "dir " + mode;
    } else {
      QFile f(path);
      what = "file " + mode + " " + (f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
    }
    entries[QDir(folder).relativeFilePath(path)] = what;
  }
  return entries;
}

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Write(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

struct PackageTest : ::testing::Test {
  QTemporaryDir dir;
  const QString out = dir.path() + "/out";
  const QString root = dir.path() + "/root";
  const QString home = dir.path() + "/home";
  const QString userFolder = home + "/.local/share/Wirmelak";
  QString deb;
  Serwer serwer;
  QProcess program;

  void TearDown() override {
    if (program.state() != QProcess::NotRunning) {
      program.kill();
      program.waitForFinished(3000);
    }
  }

  void BuildPackage() {
    const Output arch = Tool("dpkg", {"--print-architecture"});
    ASSERT_EQ(arch.code, 0) << arch.text.toStdString();
    const Output built = Tool(CPACK_COMMAND, {"-G", "DEB", "--config", CPACK_CONFIG, "-B", out}, 300);
    ASSERT_EQ(built.code, 0) << built.text.toStdString();
    deb = out + "/wirmelak_" WM_VERSION "_" + arch.text.trimmed() + ".deb";
    ASSERT_TRUE(QFile::exists(deb)) << deb.toStdString() << "\n" << built.text.toStdString();
  }

  QMap<QString, QString> ControlFields() {
    const Output fields = Tool("dpkg-deb", {"-f", deb});
    EXPECT_EQ(fields.code, 0) << fields.text.toStdString();
    QMap<QString, QString> control;
    QString last;
    for (const QString& line : fields.text.split('\n', Qt::SkipEmptyParts)) {
      if (line.startsWith(' ')) {
        control[last] += "\n" + line;
        continue;
      }
      last = line.section(':', 0, 0);
      control[last] = line.section(':', 1).trimmed();
    }
    return control;
  }

  // Path -> "mode owner" or "link target", from dpkg-deb's listing.
  QMap<QString, QString> Contents() {
    const Output list = Tool("dpkg-deb", {"-c", deb});
    EXPECT_EQ(list.code, 0) << list.text.toStdString();
    QMap<QString, QString> entries;
    for (const QString& line : list.text.split('\n', Qt::SkipEmptyParts)) {
      const QStringList f = line.split(' ', Qt::SkipEmptyParts);
      if (f.size() < 6) {
        ADD_FAILURE() << "listing line: " << line.toStdString();
        continue;
      }
      QString path = f.mid(5).join(' ').mid(1);  // "./usr/..." -> "/usr/..."
      if (f[0].startsWith('l')) {
        const QStringList link = path.split(" -> ");
        entries[link[0]] = f[1] + " link " + link.value(1);
      } else {
        if (path.endsWith('/')) path.chop(1);
        entries[path] = f[0] + " " + f[1];
      }
    }
    return entries;
  }

  void Start() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", home);
    env.remove("XDG_DATA_HOME");
    env.remove("XDG_CONFIG_HOME");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory("/");
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    // As the menu entry starts it: the command on the PATH, a link.
    program.start(root + "/usr/bin/wirmelak", {"autostart"});
    ASSERT_TRUE(program.waitForStarted(5000));
  }
  void End() {
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(Serwer::waitFor([&] { return program.state() == QProcess::NotRunning; }, 10000))
        << "the program did not end on SIGTERM";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
  }
};

}  // namespace

TEST_F(PackageTest, BuiltListedLintedUnpackedAndRunAsAUser) {
  ASSERT_TRUE(dir.isValid());
  BuildPackage();
  if (HasFatalFailure()) return;

  // The control fields; the libraries are those dpkg-shlibdeps read from the
  // executable, each with the version it needs.
  const QMap<QString, QString> control = ControlFields();
  EXPECT_EQ(control["Package"], "wirmelak");
  EXPECT_EQ(control["Version"], WM_VERSION);
  EXPECT_EQ(control["Section"], "net");
  EXPECT_EQ(control["Priority"], "optional");
  EXPECT_EQ(control["Recommends"], "fonts-dejavu-core");
  EXPECT_FALSE(control["Maintainer"].isEmpty());
  EXPECT_TRUE(control["Description"].startsWith("skinned client for the Gadu-Gadu instant-messaging network\n "))
      << control["Description"].toStdString();
  QSet<QString> depends;
  for (const QString& d : control["Depends"].split(',')) {
    const QString name = d.trimmed().section(' ', 0, 0);
    depends.insert(name);
    EXPECT_TRUE(d.contains("(>= ")) << d.toStdString();
  }
  for (const char* library : {"libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6",
                              "libqt6network6", "libqt6multimedia6", "libqt6dbus6"})
    EXPECT_TRUE(depends.contains(library)) << library << " missing from: " << control["Depends"].toStdString();

  // No script runs when the package is installed, upgraded or removed, so
  // nothing but dpkg's own files is ever touched.
  const QString controlDir = dir.path() + "/control";
  const Output extracted = Tool("dpkg-deb", {"-e", deb, controlDir});
  ASSERT_EQ(extracted.code, 0) << extracted.text.toStdString();
  EXPECT_EQ(QDir(controlDir).entryList(QDir::Files, QDir::Name), (QStringList{"control", "md5sums"}));

  // Every file, its mode and owner.
  QMap<QString, QString> expected = {
      {"/usr/bin/wirmelak", "root/root link ../lib/wirmelak/wirmelak"},
      {"/usr/lib/wirmelak/wirmelak", "-rwxr-xr-x root/root"},
      {"/usr/lib/wirmelak/installed", "-rw-r--r-- root/root"},
      {"/usr/lib/wirmelak/notify.wav", "-rw-r--r-- root/root"},
      {"/usr/share/applications/wirmelak.desktop", "-rw-r--r-- root/root"},
      {"/usr/share/metainfo/wirmelak.metainfo.xml", "-rw-r--r-- root/root"},
      {"/usr/share/man/man1/wirmelak.1.gz", "-rw-r--r-- root/root"},
      {"/usr/share/doc/wirmelak/copyright", "-rw-r--r-- root/root"},
      {"/usr/share/doc/wirmelak/changelog.gz", "-rw-r--r-- root/root"},
  };
  for (const int size : {16, 32, 48, 64, 128, 256})
    expected[QString("/usr/share/icons/hicolor/%1x%1/apps/wirmelak.png").arg(size)] = "-rw-r--r-- root/root";
  const QStringList pictures = QDir(WM_ASSETS_DIR "/ikony").entryList({"*.bmp"}, QDir::Files);
  ASSERT_GT(pictures.size(), 40);
  for (const QString& picture : pictures) expected["/usr/lib/wirmelak/ikony/" + picture] = "-rw-r--r-- root/root";
  QMap<QString, QString> files;
  const QMap<QString, QString> contents = Contents();
  for (auto it = contents.begin(); it != contents.end(); ++it) {
    if (it.value().startsWith('d'))
      EXPECT_EQ(it.value(), "drwxr-xr-x root/root") << it.key().toStdString();
    else
      files.insert(it.key(), it.value());
  }
  EXPECT_EQ(files, expected);

  // lintian: no error, and no warning but the accepted ones.
  const Output lint = Tool("lintian", {"--no-tag-display-limit", deb}, 300);
  EXPECT_EQ(lint.code, 0) << lint.text.toStdString();
  static const QRegularExpression tagLine("^([EW]): wirmelak[^:]*: (\\S+)", QRegularExpression::MultilineOption);
  for (auto m = tagLine.globalMatch(lint.text); m.hasNext();) {
    const auto match = m.next();
    if (match.captured(1) == "E")
      ADD_FAILURE() << "lintian: " << match.captured(0).toStdString();
    else
      EXPECT_TRUE(kAcceptedWarnings.contains(match.captured(2))) << "lintian: " << match.captured(0).toStdString();
  }

  // Unpacked where the user cannot be confused with the system, and run.
  const Output unpacked = Tool("dpkg-deb", {"-x", deb, root});
  ASSERT_EQ(unpacked.code, 0) << unpacked.text.toStdString();
  const QMap<QString, QByteArray> tree = Snapshot(root);
  ASSERT_TRUE(tree.contains("usr/lib/wirmelak/wirmelak"));

  // The first start makes the user's folder, with the pictures' link the
  // archive pages need, and leaves the settings there.
  Start();
  ASSERT_TRUE(Serwer::waitFor([&] { return QFileInfo::exists(userFolder + "/osoby"); }, 10000))
      << "no folder of the user's files";
  Serwer::waitFor([] { return false; }, 1000);  // until it handles SIGTERM
  // The guard of a second start is the user's folder's.
  EXPECT_TRUE(QFile::exists(QDir::temp().filePath(SingleInstance::ServerName(userFolder))));
  End();
  const QFileInfo pictureLink(userFolder + "/ikony");
  EXPECT_TRUE(pictureLink.isSymLink());
  EXPECT_EQ(pictureLink.symLinkTarget(), QFileInfo(root + "/usr/lib/wirmelak/ikony").canonicalFilePath());
  EXPECT_TRUE(Read(userFolder + "/Wirmelak.ini").startsWith("; Plik konfiguracji programu Wirmelak\r\n"));

  // With an identity (as tozsamosc writes one) it logs in, archives what
  // comes and saves the identity and the settings, all in the user's folder.
  ASSERT_TRUE(serwer.start());
  serwer.addAccount(kNumer, kHaslo);
  serwer.addTimedAction(*ggserwer::parseTimedAction(QString::fromUtf8("300 message 5551 Cześć :)")));
  const std::string number = std::to_string(kNumer);
  const std::vector<TKontakt> none;
  ASSERT_TRUE(Write(userFolder + "/osoba", QByteArray::fromStdString(number)));
  ASSERT_TRUE(Write(userFolder + "/osoby/" + QString::fromStdString(number),
                    QByteArray::fromStdString(identity_file::Build(
                        "", ColourScheme{}, kNumer, ScramblePassword(kHaslo.toStdString(), kNumer), none))));
  ASSERT_TRUE(Write(userFolder + "/osoby/" + QString::fromStdString(number) + ".html",
                    QByteArray::fromStdString(MessageArchive::Head(number))));
  ASSERT_TRUE(Write(userFolder + "/Wirmelak.ini", ("serwer = " + serwer.lookupHost() + "\r\n").toLatin1()));
  Start();
  ASSERT_TRUE(serwer.waitForLogin(10000)) << "no login";
  const QString archive = userFolder + "/osoby/" + QString::fromStdString(number) + ".html";
  ASSERT_TRUE(Serwer::waitFor([&] { return Read(archive).contains("5551"); }, 5000)) << "nothing archived";
  End();

  const QByteArray page = Read(archive);
  EXPECT_TRUE(page.contains("<br>Cze\x9c\xe6 <img align=bottom src=\"../ikony/usmiech.bmp\"></p>")) << page.data();
  // The link as the browser follows it from the page's folder.
  EXPECT_EQ(Read(userFolder + "/osoby/../ikony/usmiech.bmp"), Read(WM_ASSETS_DIR "/ikony/usmiech.bmp"));
  const QByteArray identity = Read(userFolder + "/osoby/" + QString::fromStdString(number));
  const auto parsed = identity_file::Parse(std::string_view(identity.constData(), size_t(identity.size())));
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(parsed->numer, kNumer);
  EXPECT_EQ(UnscramblePassword(parsed->blokHasla, parsed->numer), kHaslo.toStdString());
  const QByteArray ini = Read(userFolder + "/Wirmelak.ini");
  EXPECT_TRUE(ini.contains(("\r\nserwer = " + serwer.lookupHost() + "\r\n").toLatin1())) << ini.data();
  EXPECT_TRUE(ini.contains("\r\nautowolit = 1\r\n")) << ini.data();
  EXPECT_EQ(Read(userFolder + "/osoba"), QByteArray::fromStdString(number));

  // The unpacked package, root-owned or not, is as it came.
  EXPECT_EQ(Snapshot(root), tree);
}
