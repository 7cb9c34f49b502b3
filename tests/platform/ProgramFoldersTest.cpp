#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/ProgramFolders.h"

namespace {

// A package unpacked into a folder of its own (usr/bin/wirmelak a relative
// link to usr/lib/wirmelak/wirmelak, the marker beside it) and a build folder
// with the program alone.
struct ProgramFoldersTest : ::testing::Test {
  QTemporaryDir dir;
  QString root = dir.path() + "/root";
  QString lib = root + "/usr/lib/wirmelak";
  QString build = dir.path() + "/build/Wirmelak";
  QString home = dir.path() + "/home";

  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir().mkpath(lib + "/ikony"));
    ASSERT_TRUE(QDir().mkpath(root + "/usr/bin"));
    ASSERT_TRUE(QDir().mkpath(build + "/ikony"));
    Touch(lib + "/wirmelak");
    Touch(lib + "/" + ProgramFolders::kInstalledMarker);
    ASSERT_TRUE(QFile::link("../lib/wirmelak/wirmelak", root + "/usr/bin/wirmelak"));
    Touch(build + "/wirmelak");
  }
  static void Touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  }
  ProgramFolders Installed(const QString& dataHome = {}) const {
    return ProgramFolders::Of(lib + "/wirmelak", dataHome, home);
  }
};

}  // namespace

TEST_F(ProgramFoldersTest, InstalledKeepsTheUsersFilesInTheDataHome) {
  const ProgramFolders set = Installed(dir.path() + "/data/");
  EXPECT_TRUE(set.Installed());
  EXPECT_EQ(set.ProgramDir(), lib);
  EXPECT_EQ(set.DataDir(), dir.path() + "/data/Wirmelak");
  // The command of the package's prefix, not the folder it points into.
  EXPECT_EQ(set.Command(), root + "/usr/bin/wirmelak");

  // Unset, empty and relative all mean the default.
  for (const QString& unusable : {QString(), QString(""), QString("data"), QString("./data")}) {
    const ProgramFolders f = Installed(unusable);
    EXPECT_EQ(f.DataDir(), home + "/.local/share/Wirmelak") << unusable.toStdString();
    EXPECT_EQ(f.ProgramDir(), lib);
  }
}

TEST_F(ProgramFoldersTest, BuildFolderKeepsEverythingInItselfWhateverTheDataHome) {
  for (const QString& dataHome : {QString(), dir.path() + "/data", QString("data")}) {
    const ProgramFolders f = ProgramFolders::Of(build + "/wirmelak", dataHome, home);
    EXPECT_FALSE(f.Installed());
    EXPECT_EQ(f.ProgramDir(), build);
    EXPECT_EQ(f.DataDir(), build);
    EXPECT_EQ(f.Command(), build + "/wirmelak");
  }
  // The marker decides, not where the program lies: the build folder with
  // one is installed, the package's folder without one is not.
  Touch(build + "/" + ProgramFolders::kInstalledMarker);
  EXPECT_EQ(ProgramFolders::Of(build + "/wirmelak", {}, home).DataDir(), home + "/.local/share/Wirmelak");
  EXPECT_EQ(ProgramFolders::Of(build + "/wirmelak", {}, home).Command(), build + "/wirmelak");
  ASSERT_TRUE(QFile::remove(lib + "/" + ProgramFolders::kInstalledMarker));
  EXPECT_EQ(Installed().DataDir(), lib);

  // Its pictures are where the archive pages look already: no link.
  const ProgramFolders own = Installed();
  EXPECT_TRUE(own.CreateDataDir());
  EXPECT_TRUE(own.LinkPictures());
  EXPECT_FALSE(QFileInfo(lib + "/ikony").isSymLink());
  EXPECT_FALSE(QFileInfo::exists(home));
}

TEST_F(ProgramFoldersTest, CommandIsTheExecutableWhenThePathHoldsAnotherProgram) {
  ASSERT_TRUE(QFile::remove(root + "/usr/bin/wirmelak"));
  EXPECT_EQ(Installed().Command(), lib + "/wirmelak");  // no link at all
  Touch(root + "/usr/bin/wirmelak");  // another program's file of the same name
  EXPECT_EQ(Installed().Command(), lib + "/wirmelak");
}

TEST_F(ProgramFoldersTest, FirstStartMakesTheFolderAndThePicturesLink) {
  const ProgramFolders f = Installed(dir.path() + "/data");
  ASSERT_TRUE(f.CreateDataDir());
  ASSERT_TRUE(QFileInfo(f.DataDir()).isDir());
  Touch(lib + "/ikony/usmiech.bmp");
  const auto entries = [&] {
    return QDir(f.DataDir()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
  };
  ASSERT_TRUE(f.LinkPictures());
  EXPECT_EQ(QFileInfo(f.DataDir() + "/ikony").symLinkTarget(), lib + "/ikony");
  // What an archive page in osoby/ links to as "../ikony/usmiech.bmp".
  EXPECT_TRUE(QFileInfo::exists(f.DataDir() + "/ikony/usmiech.bmp"));
  EXPECT_TRUE(f.LinkPictures());  // again: nothing to do
  EXPECT_EQ(entries(), QStringList{"ikony"});

  // A link left by a copy since moved points to this program's pictures again.
  ASSERT_TRUE(QFile::remove(f.DataDir() + "/ikony"));
  ASSERT_TRUE(QFile::link(dir.path() + "/gone/ikony", f.DataDir() + "/ikony"));
  EXPECT_TRUE(f.LinkPictures());
  EXPECT_EQ(QFileInfo(f.DataDir() + "/ikony").symLinkTarget(), lib + "/ikony");
  EXPECT_EQ(entries(), QStringList{"ikony"});  // no temporary link left

  // A folder of the user's own stays as it is.
  ASSERT_TRUE(QFile::remove(f.DataDir() + "/ikony"));
  ASSERT_TRUE(QDir().mkpath(f.DataDir() + "/ikony"));
  Touch(f.DataDir() + "/ikony/moja.bmp");
  EXPECT_FALSE(f.LinkPictures());
  EXPECT_FALSE(QFileInfo(f.DataDir() + "/ikony").isSymLink());
  EXPECT_TRUE(QFileInfo::exists(f.DataDir() + "/ikony/moja.bmp"));
}
