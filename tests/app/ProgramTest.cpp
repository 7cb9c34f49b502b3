// The built program itself, started in a folder of its own.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

namespace {

struct ProgramTest : ::testing::Test {
  QTemporaryDir dir;
  QProcess program;

  void Start(QStringList args = {}) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(WIRMELAK_EXE), dir.filePath("wirmelak")));
    QFile::setPermissions(dir.filePath("wirmelak"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory("/");  // it must find its own folder by itself
    program.start(dir.filePath("wirmelak"), args);
    ASSERT_TRUE(program.waitForStarted(5000));
  }
  // Waits until the program's window exists: it made its folder by then.
  bool WaitReady() {
    for (int i = 0; i < 100; ++i) {
      if (QFile::exists(dir.filePath("osoby"))) {
        program.waitForFinished(300);  // let it reach its event loop
        return true;
      }
      program.waitForFinished(50);
    }
    return false;
  }
  QByteArray Read(const char* name) {
    QFile f(dir.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
};

}  // namespace

TEST_F(ProgramTest, EndOfSessionSavesAndExitsWithoutAsking) {
  QFile ini(dir.filePath("Wirmelak.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("lewy = 40\r\ngorny = 30\r\nszerokosc = 260\r\nwysokosc = 500\r\nautowolit = 0\r\n");
  ini.close();
  Start({"autostart"});
  ASSERT_TRUE(WaitReady());
  ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
  ASSERT_TRUE(program.waitForFinished(5000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_EQ(Read("Wirmelak.ini"),
            "; Plik konfiguracji programu Wirmelak\r\n\r\nlewy = 40\r\ngorny = 30\r\n"
            "szerokosc = 260\r\nwysokosc = 500\r\nautowolit = 0\r\n");
}

// A hang-up, and Ctrl+C in the terminal it was started from.
TEST_F(ProgramTest, HangUpAndInterruptEndTheSessionToo) {
  for (const int signal : {SIGHUP, SIGINT}) {
    QFile::remove(dir.filePath("wirmelak"));
    QFile::remove(dir.filePath("Wirmelak.ini"));
    QDir(dir.filePath("osoby")).removeRecursively();  // made again once it is ready
    Start();
    ASSERT_TRUE(WaitReady());
    ::kill(static_cast<pid_t>(program.processId()), signal);
    ASSERT_TRUE(program.waitForFinished(5000)) << signal;
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << signal;
    EXPECT_EQ(program.exitCode(), 0) << signal;
    EXPECT_TRUE(Read("Wirmelak.ini").contains("autowolit = 1\r\n")) << signal;
  }
}
