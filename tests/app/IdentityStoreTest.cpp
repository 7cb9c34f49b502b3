#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "IdentityBytes.h"
#include "FakeIdentityHost.h"
#include "app/IdentityFile.h"
#include "app/IdentityStore.h"
#include "app/PasswordBlock.h"
#include "platform/Cp1250.h"
#include "support/ScriptedMessageBox.h"

namespace {

class IdentityStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkdir("osoby");
  }
  void WriteFile(const QString& rel, const std::string& bytes) {
    QFile f(dir.path() + "/" + rel);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), qint64(bytes.size()));
  }
  std::string ReadFile(const QString& rel) {
    QFile f(dir.path() + "/" + rel);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    return f.readAll().toStdString();
  }
  // A loaded identity 500 with one contact, a description and own colours.
  void LoadFiveHundred() {
    host.archives.insert("500");
    WriteFile("osoby/500", Word(0x80000104) + "opis" + Word(0x80000204) + Word(0x0000AA) + Word(500) +
                               ScramblePassword("pw", 500) + RecordBytes(9, "Ewa"));
    ASSERT_TRUE(store.LoadIdentity("500"));
    host.calls.clear();
  }

  QTemporaryDir dir;
  ScriptedMessageBox boxes;
  FakeIdentityHost host;
  IdentityStore store{host, dir.path()};
};

}  // namespace

TEST_F(IdentityStoreTest, LoadAppliesTheFileAndRecreatesAMissingArchive) {
  WriteFile("osoby/123", Word(0x80000103) + "abc" + Word(0x80000F04) + Word(0x445566) + Word(123) +
                             ScramblePassword(T("hasło"), 123) + RecordBytes(7, "Zyta") +
                             RecordBytes(8, "Adam"));
  ASSERT_TRUE(store.LoadIdentity("123"));
  EXPECT_EQ(boxes.textsUtf8(),
            std::vector<std::string>{"Nie odnaleziono pliku archiwum 123.html. Plik zostanie stworzony na nowo."});
  EXPECT_EQ(boxes.shown()[0].kind, kInformacja);
  EXPECT_EQ(host.openArchive, "123");
  EXPECT_EQ(host.state.numer, 123u);
  EXPECT_EQ(host.state.haslo, T("hasło"));
  EXPECT_EQ(host.state.opis, "abc");
  EXPECT_EQ(host.state.status, 1);
  EXPECT_EQ(host.state.kolory.czas, 0x445566u);
  EXPECT_EQ(host.state.kolory.tlo, ColourScheme{}.tlo);
  ASSERT_EQ(host.contacts.Count(), 2);
  EXPECT_EQ(host.contacts.Record(0).wyswietl, "Zyta");
  EXPECT_EQ(host.contacts.Record(host.contacts.RecordAt(0)).wyswietl, "Adam");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"ArchiveExists 123", "CreateArchive 123", "ShowOwnStatus 1",
                                                  "RepaintContactList", "SetConnectionState 0"}));
}

TEST_F(IdentityStoreTest, AFileWithoutEntriesOrRecordsKeepsTheCurrentColours) {
  host.archives.insert("77");
  host.state.kolory.tekst = 0x010203;  // whatever the program shows now
  WriteFile("osoby/77", Word(77) + ScramblePassword("", 77));
  ASSERT_TRUE(store.LoadIdentity("77"));
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_EQ(host.state.kolory.tekst, 0x010203u);
  EXPECT_EQ(host.state.status, 0);
  EXPECT_EQ(host.contacts.Count(), 0);
  EXPECT_EQ(host.calls.front(), "ArchiveExists 77");
  EXPECT_EQ(host.calls[1], "OpenArchive 77");
}

TEST_F(IdentityStoreTest, ADamagedFileIsRefusedAndChangesNothing) {
  LoadFiveHundred();
  const IdentityState before = host.state;
  const auto orderBefore = host.contacts.DisplayOrder();
  const std::string good = Word(0x80000103) + "abc" + Word(321) + std::string(64, '0') + RecordBytes(1, "a");
  const std::vector<std::string> damaged = {
      good.substr(0, 5),                 // inside an entry
      good.substr(0, 9),                 // inside the number
      good.substr(0, 11 + 30),           // inside the password block
      good.substr(0, good.size() - 60),  // inside a record
      // another number than its name: it would be loaded and saved as 322
      Word(322) + std::string(64, '0'),
      // more records than the store holds: the rest would go at the next save
      Word(321) + std::string(64, '0') + [] {
        std::string r;
        for (uint32_t i = 1; i <= 401; ++i) r += RecordBytes(i, "k");
        return r;
      }(),
  };
  for (const std::string& bytes : damaged) {
    WriteFile("osoby/321", bytes);
    boxes.clear();
    EXPECT_FALSE(store.LoadIdentity("321"));
    EXPECT_EQ(boxes.textsUtf8(), std::vector<std::string>{"Plik tożsamości osoby/321 jest uszkodzony."});
    EXPECT_EQ(boxes.shown()[0].kind, kOstrzezenie);
    EXPECT_EQ(ReadFile("osoby/321"), bytes);
    EXPECT_TRUE(host.calls.empty()) << host.calls.front();
    EXPECT_EQ(host.state.numer, before.numer);
    EXPECT_EQ(host.state.opis, before.opis);
    EXPECT_EQ(host.state.haslo, before.haslo);
    EXPECT_EQ(host.state.kolory, before.kolory);
    EXPECT_EQ(host.contacts.Count(), 1);
    EXPECT_EQ(host.contacts.DisplayOrder(), orderBefore);
    EXPECT_EQ(host.openArchive, "500");
  }
  EXPECT_FALSE(QFile::exists(dir.path() + "/osoby/321.html"));
}

TEST_F(IdentityStoreTest, MissingFileOrLockedArchiveFailsSilentlyAndKeepsTheState) {
  EXPECT_FALSE(store.LoadIdentity(""));
  EXPECT_FALSE(store.LoadIdentity("404"));
  EXPECT_FALSE(store.LoadIdentity("../osoby/404"));
  WriteFile("osoby/600", Word(600) + std::string(64, '0'));
  host.archives.insert("600");
  host.lockedArchives.insert("600");
  EXPECT_FALSE(store.LoadIdentity("600"));
  host.archives.clear();
  host.createFails = true;
  EXPECT_FALSE(store.LoadIdentity("600"));
  EXPECT_EQ(host.state.numer, 0u);
  EXPECT_EQ(host.connection, 255);
  // Only the notice about the missing archive was shown.
  EXPECT_EQ(boxes.shown().size(), 1u);
}

TEST_F(IdentityStoreTest, SaveWritesTheHandBuiltBytesThroughARename) {
  host.state.numer = 4096;  // low 8 bits 0: key stream 1, 3, 0, 4, ...
  host.state.haslo = std::string(32, 'p');
  TKontakt k;
  k.numer = 31;
  k.wyswietl = "Olek";
  host.contacts.Add(k);
  WriteFile("osoby/4096", "old contents");
  ASSERT_TRUE(store.SaveIdentity());
  const std::string expected = identity_file::Build("", ColourScheme{}, 4096, ScramblePassword(host.state.haslo, 4096),
                                                    {k});
  const std::string written = ReadFile("osoby/4096");
  EXPECT_EQ(written, expected);
  EXPECT_EQ(written.substr(0, 4), Word(0x80000204));
  EXPECT_EQ(written.size(), 7u * 8 + 4 + 64 + 168);
  // No temporary file is left beside it.
  EXPECT_EQ(QDir(dir.path() + "/osoby").entryList(QDir::Files), QStringList{"4096"});

  host.state.numer = 0;
  ASSERT_TRUE(store.SaveIdentity());
  EXPECT_EQ(QDir(dir.path() + "/osoby").entryList(QDir::Files).size(), 1);
}

TEST_F(IdentityStoreTest, SaveThenLoadRoundTrips) {
  LoadFiveHundred();
  host.state.opis = std::string(90, 'd');  // longer than a packet carries: kept whole
  ASSERT_TRUE(store.SaveIdentity());
  const std::string saved = ReadFile("osoby/500");
  EXPECT_EQ(saved.substr(0, 4), Word(0x8000015A));
  store.UnloadIdentity();
  ASSERT_TRUE(store.LoadIdentity("500"));
  EXPECT_EQ(host.state.opis, std::string(90, 'd'));
  EXPECT_EQ(host.state.haslo, "pw");
  EXPECT_EQ(host.state.kolory.tlo, 0x0000AAu);
  ASSERT_EQ(host.contacts.Count(), 1);
  EXPECT_EQ(host.contacts.Record(0).wyswietl, "Ewa");
}

TEST_F(IdentityStoreTest, SaveFailureKeepsTheOldFileAndSays) {
  host.state.numer = 88;
  QDir(dir.path()).rmdir("osoby");
  WriteFile("osoby", "a file where the folder belongs");
  EXPECT_FALSE(store.SaveIdentity());
  EXPECT_EQ(boxes.textsUtf8(), std::vector<std::string>{"Nie udało się zapisać pliku tożsamości osoby/88."});
  EXPECT_EQ(ReadFile("osoby"), "a file where the folder belongs");
}

TEST_F(IdentityStoreTest, UnloadReturnsToNoIdentityInOrder) {
  LoadFiveHundred();
  host.state.kolory.tlo = 0x123456;
  store.UnloadIdentity();
  EXPECT_EQ(host.state.numer, 0u);
  EXPECT_TRUE(host.state.haslo.empty());
  EXPECT_TRUE(host.state.opis.empty());
  EXPECT_EQ(host.state.status, 0);
  EXPECT_EQ(host.state.kolory, ColourScheme{});
  EXPECT_EQ(host.contacts.Count(), 0);
  EXPECT_EQ(host.calls,
            (std::vector<std::string>{"AutoReconnect off", "CloseArchive", "RepaintContactList", "CloseChatWindows",
                                      "ResetTray", "EmptyKnockList", "ShowOwnStatus 0", "SetConnectionState 255",
                                      "ApplyColourScheme", "ShowColourSwatches"}));
}

TEST_F(IdentityStoreTest, ConfirmIdentitySwitch) {
  LoadFiveHundred();
  // Declined: nothing happens.
  EXPECT_FALSE(store.ConfirmIdentitySwitch());
  EXPECT_EQ(boxes.textsUtf8(),
            std::vector<std::string>{"Aktualna tożsamość zostanie przełączona. Czy chcesz kontynuować?"});
  EXPECT_EQ(boxes.shown()[0].kind, kPytanie);
  EXPECT_TRUE(host.calls.empty());

  // While connecting: refused with a warning.
  host.connection = 1;
  boxes.clear();
  boxes.answer(true);
  EXPECT_FALSE(store.ConfirmIdentitySwitch());
  EXPECT_EQ(boxes.textsUtf8()[1], "Serwer jest w trakcie łączenia. Poczekaj chwilę i spróbuj ponownie.");
  EXPECT_EQ(boxes.shown()[1].kind, kOstrzezenie);
  EXPECT_EQ(host.state.numer, 500u);

  // Connected: not available with the description flag, closed, saved, unloaded.
  host.connection = 2;
  host.state.opis = "zaraz wracam";
  TKontakt added;
  added.numer = 10;
  added.wyswietl = "Nowy";
  host.contacts.Add(added);
  boxes.answer(true);
  EXPECT_TRUE(store.ConfirmIdentitySwitch());
  ASSERT_GE(host.calls.size(), 3u);
  EXPECT_EQ(host.calls[0], "SendNotAvailable 1 zaraz wracam");
  EXPECT_EQ(host.calls[1], "CloseConnection");
  EXPECT_EQ(host.calls[2], "AutoReconnect off");
  EXPECT_EQ(host.calls.back(), "RefreshIdentityTab");
  EXPECT_EQ(host.state.numer, 0u);
  const auto saved = identity_file::Parse(ReadFile("osoby/500"));
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->kontakty.size(), 2u);
  EXPECT_EQ(saved->opis, "zaraz wracam");
}

TEST_F(IdentityStoreTest, LastIdentityAndListing) {
  EXPECT_EQ(store.ReadLastIdentity(), "");
  WriteFile("osoby/123", "x");
  WriteFile("osoby/123.html", "x");
  WriteFile("osoby/0", "x");
  WriteFile("osoby/abc", "x");
  WriteFile("osoby/99999999999", "x");
  WriteFile("osoby/45", "x");
  QDir(dir.path()).mkdir("osoby/77");
  EXPECT_EQ(store.ListIdentities(), (std::vector<std::string>{"123", "45"}));

  ASSERT_TRUE(store.WriteLastIdentity("123"));
  EXPECT_EQ(ReadFile("osoba"), "123");
  EXPECT_EQ(store.ReadLastIdentity(), "123");

  WriteFile("osoba", "77\n");  // a folder, not an identity file
  EXPECT_EQ(store.ReadLastIdentity(), "");
  EXPECT_FALSE(QFile::exists(dir.path() + "/osoba"));
  WriteFile("osoba", "9");
  EXPECT_EQ(store.ReadLastIdentity(), "");
  EXPECT_FALSE(QFile::exists(dir.path() + "/osoba"));
}
