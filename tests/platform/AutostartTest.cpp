#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/Autostart.h"

namespace {

// Every case runs with XDG_CONFIG_HOME and HOME in a folder of its own: the
// user's real autostart folder is never touched.
struct AutostartTest : ::testing::Test {
  QTemporaryDir dir;
  QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
  QByteArray savedHome = qgetenv("HOME");
  bool hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
  QString config = dir.path() + "/config";

  AutostartTest() {
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    qputenv("HOME", (dir.path() + "/home").toUtf8());
  }
  ~AutostartTest() override {
    if (hadConfig) qputenv("XDG_CONFIG_HOME", savedConfig); else qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", savedHome);
  }
  QByteArray Entry() {
    QFile f(config + "/autostart/Wirmelak.desktop");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  void WriteEntry(const QByteArray& text) {
    QDir().mkpath(config + "/autostart");
    QFile f(config + "/autostart/Wirmelak.desktop");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  }
};

}  // namespace

TEST_F(AutostartTest, TheFolderFollowsTheVariable) {
  EXPECT_EQ(AutostartEntry::Folder(), config + "/autostart");
  for (const char* unusable : {"", "relative/config"}) {
    qputenv("XDG_CONFIG_HOME", unusable);
    EXPECT_EQ(AutostartEntry::Folder(), dir.path() + "/home/.config/autostart") << unusable;
  }
  qunsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(AutostartEntry::Folder(), dir.path() + "/home/.config/autostart");
}

TEST_F(AutostartTest, WrittenReadAndDeletedLeavingTheOtherEntries) {
  const AutostartEntry entry("/opt/wirmelak/wirmelak");
  EXPECT_EQ(entry.Read(), AutostartEntry::State::kBrak);  // no folder yet, but it can be made
  ASSERT_TRUE(entry.Write());
  EXPECT_EQ(Entry(), "[Desktop Entry]\nType=Application\nName=Wirmelak\nExec=/opt/wirmelak/wirmelak autostart\n");
  EXPECT_EQ(entry.Read(), AutostartEntry::State::kPoprawny);
  QFile other(config + "/autostart/inny.desktop");
  ASSERT_TRUE(other.open(QIODevice::WriteOnly));
  other.close();
  EXPECT_EQ(QDir(config + "/autostart").entryList(QDir::Files).size(), 2);  // no temporary file left

  // Another program file, or this one without the argument, is wrong; the
  // comparison minds the letter case.
  for (const QByteArray& exec : {QByteArray("/opt/wirmelak/wirmelak"), QByteArray("/opt/wirmelak/wirmelak AUTOSTART"),
                                 QByteArray("/usr/bin/inny autostart")}) {
    WriteEntry("[Desktop Entry]\nType=Application\nExec=" + exec + "\n");
    EXPECT_EQ(entry.Read(), AutostartEntry::State::kBledny) << exec.constData();
  }
  // An entry without an Exec line, or with an empty one, is none.
  WriteEntry("[Desktop Entry]\nExecutable=x\n[Inna]\nExec=/opt/wirmelak/wirmelak autostart\n");
  EXPECT_EQ(entry.Read(), AutostartEntry::State::kBrak);
  WriteEntry("[Desktop Entry]\r\nName=Wirmelak\r\nExec = /opt/wirmelak/wirmelak autostart\r\n");
  EXPECT_EQ(entry.Read(), AutostartEntry::State::kPoprawny);

  ASSERT_TRUE(entry.Remove());
  EXPECT_EQ(entry.Read(), AutostartEntry::State::kBrak);
  EXPECT_EQ(QDir(config + "/autostart").entryList(QDir::Files), QStringList{"inny.desktop"});
  EXPECT_TRUE(entry.Remove());
}

TEST_F(AutostartTest, APathWithBlanksOrSpecialCharactersIsQuoted) {
  EXPECT_EQ(AutostartEntry::ExecArgument("/opt/w/wirmelak"), "/opt/w/wirmelak");
  EXPECT_EQ(AutostartEntry::ExecArgument("/home/jan kowalski/wirmelak"), "\"/home/jan kowalski/wirmelak\"");
  // The quoting's backslashes, then the string value's own doubling.
  EXPECT_EQ(AutostartEntry::ExecArgument("/a\"b$c`d\\e"), "\"/a\\\\\"b\\\\$c\\\\`d\\\\\\\\e\"");
  EXPECT_EQ(AutostartEntry::ExecArgument("/x/100%/w"), "/x/100%%/w");
  EXPECT_EQ(AutostartEntry::ExecArgument("/x/(nowy)/w"), "\"/x/(nowy)/w\"");
  EXPECT_EQ(AutostartEntry::ExecArgument(QString::fromUtf8("/home/łucja/w")), QString::fromUtf8("/home/łucja/w"));
  const AutostartEntry entry("/home/jan kowalski/wirmelak");
  EXPECT_EQ(entry.ExpectedExec(), "\"/home/jan kowalski/wirmelak\" autostart");
  ASSERT_TRUE(entry.Write());
  EXPECT_EQ(entry.Read(), AutostartEntry::State::kPoprawny);
}

TEST_F(AutostartTest, AFolderThatCannotBeMadeIsUnreadable) {
  QFile blocker(config);
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder would go
  blocker.close();
  const AutostartEntry entry("/opt/w/wirmelak");
  EXPECT_EQ(entry.Read(), AutostartEntry::State::kNiedostepny);
  EXPECT_FALSE(entry.Write());
  QFile::remove(config);
  QDir().mkpath(config + "/autostart/Wirmelak.desktop");  // a folder in the entry's place
  EXPECT_EQ(entry.Read(), AutostartEntry::State::kNiedostepny);
  EXPECT_FALSE(entry.Write());
  EXPECT_FALSE(entry.Remove());
}
