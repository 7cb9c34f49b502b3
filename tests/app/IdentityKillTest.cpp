#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <random>
#include <thread>

#include "SavedVersions.h"
#include "app/IdentityFile.h"
#include "app/IdentityStore.h"
#include "app/PasswordBlock.h"

namespace {

std::string ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return "<missing>";
  return f.readAll().toStdString();
}

// The version a file holds when it is exactly what saving that version
// writes; -1 for anything else (torn, empty, mixed).
int VersionOf(const std::string& bytes) {
  const auto content = identity_file::Parse(bytes);
  if (!content || !content->opis || content->opis->rfind("wersja ", 0) != 0) return -1;
  const int v = std::atoi(content->opis->c_str() + 7);
  if (UnscramblePassword(content->blokHasla, content->numer) != "haslo") return -1;
  FakeIdentityHost want;
  FillVersion(want, v);
  std::vector<TKontakt> records;
  for (int r = 0; r < want.contacts.Count(); ++r) records.push_back(want.contacts.Record(r));
  // The password block is random after its end: the file's own is used.
  return identity_file::Build(want.state.opis, want.state.kolory, kSavedNumber, content->blokHasla,
                              records) == bytes
             ? v
             : -1;
}

}  // namespace

TEST(IdentityKill, AKilledSaveLeavesTheOldIdentityOrTheNewWhole) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString file = dir.path() + "/osoby/4242";
  {
    FakeIdentityHost host;
    IdentityStore store(host, dir.path());
    FillVersion(host, 0);
    ASSERT_TRUE(store.SaveIdentity());
  }
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  // A save takes some 15 ms here, nearly all of it waiting for the disk to
  // flush the file and the folder: kills land before, inside and after one.
  std::uniform_int_distribution<int> delayUs(0, 30000);

  int last = 0, old = 0, renewed = 0;
  for (int kill = 0; kill < 200; ++kill) {
    QProcess saver;
    saver.start(QStringLiteral(IDENTITY_SAVER), {dir.path(), QString::number(last + 1)});
    ASSERT_TRUE(saver.waitForReadyRead(10000));
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
    saver.kill();
    ASSERT_TRUE(saver.waitForFinished(10000));
    ASSERT_EQ(saver.exitStatus(), QProcess::CrashExit) << "the saver stopped by itself";

    const int v = VersionOf(ReadAll(file));
    ASSERT_TRUE(v == last || v > last) << "kill " << kill << ": version " << v << " after " << last;
    (v == last ? old : renewed) += 1;
    last = v;
  }
  std::printf("200 kills: %d left the old identity, %d a newer one (last version %d)\n", old, renewed,
              last);
  EXPECT_GT(old, 0);
  EXPECT_GT(renewed, 0);

  // Temporary files a kill left behind are neither listed nor loaded.
  FakeIdentityHost host;
  IdentityStore store(host, dir.path());
  EXPECT_EQ(store.ListIdentities(), std::vector<std::string>{"4242"});
  host.archives.insert("4242");
  ASSERT_TRUE(store.LoadIdentity("4242"));
  EXPECT_EQ(host.state.opis.rfind("wersja " + std::to_string(last) + " ", 0), 0u);
  std::printf("temporary files left: %lld\n",
              static_cast<long long>(QDir(dir.path() + "/osoby").entryList(QDir::Files).size()) - 1);
}
