#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <deque>
#include <string>

#include "FakeIdentityHost.h"
#include "app/IdentityActions.h"
#include "app/IdentityFile.h"
#include "app/IdentityStore.h"
#include "app/PasswordBlock.h"
#include "conversation/MessageArchive.h"
#include "platform/Cp1250.h"
#include "support/ScriptedMessageBox.h"

namespace {

class IdentityActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QDir(dir.path()).mkdir("osoby");
  }
  bool Exists(const QString& rel) { return QFile::exists(dir.path() + "/" + rel); }
  void Touch(const QString& rel, const QByteArray& bytes = "x") {
    QFile f(dir.path() + "/" + rel);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  std::optional<identity_file::Content> Saved(const std::string& name) {
    QFile f(dir.path() + "/osoby/" + QString::fromStdString(name));
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray b = f.readAll();
    return identity_file::Parse(std::string_view(b.constData(), size_t(b.size())));
  }
  // An identity saved on disk, with its archive, and not loaded.
  void Stored(uint32_t numer) {
    host.state.numer = numer;
    ASSERT_TRUE(store.SaveIdentity());
    host.state.numer = 0;
    Touch("osoby/" + QString::number(numer) + ".html");
    host.archives.insert(std::to_string(numer));
  }

  QTemporaryDir dir;
  ScriptedMessageBox boxes;
  FakeIdentityHost host;
  IdentityStore store{host, dir.path()};
  std::deque<IdentityActions::Answer> typed;  // the prompt's answers, in order
  std::vector<std::string> prompts;           // caption | label | masked | text
  IdentityActions actions{store, host, [this](const std::string& c, const std::string& l, bool masked,
                                              const std::string& t) {
    prompts.push_back(cp1250::toUtf8(c) + "|" + cp1250::toUtf8(l) + "|" + (masked ? "masked" : "clear") + "|" +
                      cp1250::toUtf8(t));
    if (typed.empty()) return IdentityActions::Answer{};
    IdentityActions::Answer a = typed.front();
    typed.pop_front();
    return a;
  }};
};

}  // namespace

TEST_F(IdentityActionsTest, AFirstUserCreatesAnIdentityGivesThePasswordAndMakesItDefault) {
  typed.push_back({true, "123456"});
  ASSERT_TRUE(actions.Create());
  EXPECT_EQ(prompts, std::vector<std::string>{"Wprowadź numer|Wprowadź numer nowej tożsamości:|clear|"});
  EXPECT_EQ(host.state.numer, 123456u);
  EXPECT_EQ(host.connection, 0);
  EXPECT_EQ(host.openArchive, "123456");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"ArchiveExists 123456", "CreateArchive 123456",
                                                  "SetConnectionState 0", "RefreshIdentityTab"}));
  EXPECT_EQ(boxes.textsUtf8(), std::vector<std::string>{"Tożsamość o nr 123456 została pomyślnie zapisana."});
  EXPECT_EQ(boxes.shown()[0].kind, kInformacja);
  ASSERT_TRUE(Saved("123456"));
  EXPECT_EQ(store.ReadLastIdentity(), "");  // not the default by itself

  typed.push_back({true, T("hasło")});
  ASSERT_TRUE(actions.ChangePassword());
  EXPECT_EQ(prompts.back(), "Wprowadź hasło|Wprowadź hasło do serwera GG:|masked|");
  EXPECT_EQ(host.state.haslo, T("hasło"));
  EXPECT_EQ(UnscramblePassword(Saved("123456")->blokHasla, 123456), T("hasło"));
  EXPECT_EQ(boxes.textsUtf8().back(), "Hasło zostało zapisane w ustawieniach.");

  // The editor starts from the password; closing it unconfirmed keeps it.
  typed.push_back({false, "inne"});
  EXPECT_FALSE(actions.ChangePassword());
  EXPECT_EQ(prompts.back(), "Wprowadź hasło|Wprowadź hasło do serwera GG:|masked|hasło");
  EXPECT_EQ(host.state.haslo, T("hasło"));
  // Only what the file keeps is kept.
  typed.push_back({true, std::string(40, 'p')});
  ASSERT_TRUE(actions.ChangePassword());
  EXPECT_EQ(host.state.haslo, std::string(32, 'p'));

  ASSERT_TRUE(actions.MakeDefault(IdentityActions::SelectedNumber("123456")));
  EXPECT_EQ(store.ReadLastIdentity(), "123456");
  EXPECT_EQ(host.calls.back(), "RefreshIdentityTab");
}

TEST_F(IdentityActionsTest, TheNumberPromptTakesOnlyAPositiveNumberThatIsNotTaken) {
  for (const char* text : {"0", "-5", "abc", "", " 12", "12 ", "2147483648", "+"}) {
    boxes.clear();
    typed.push_back({true, text});
    EXPECT_FALSE(actions.Create()) << text;
    EXPECT_EQ(boxes.textsUtf8(), std::vector<std::string>{"Wprowadziłeś nieprawidłowy numer użytkownika."}) << text;
  }
  EXPECT_EQ(IdentityActions::ReadTypedNumber("2147483647"), 2147483647);
  EXPECT_EQ(IdentityActions::ReadTypedNumber("-2147483648"), -2147483648LL);
  // The text is taken however the prompt was closed.
  typed.push_back({false, "77"});
  ASSERT_TRUE(actions.Create());
  EXPECT_EQ(host.state.numer, 77u);

  // With an identity loaded the switch comes first; a bad number after it
  // leaves no identity loaded.
  boxes.clear();
  boxes.answer(false);
  EXPECT_FALSE(actions.Create());
  EXPECT_EQ(host.state.numer, 77u);
  boxes.answer(true);
  typed.push_back({true, "-1"});
  EXPECT_FALSE(actions.Create());
  EXPECT_EQ(boxes.textsUtf8(),
            (std::vector<std::string>{"Aktualna tożsamość zostanie przełączona. Czy chcesz kontynuować?",
                                      "Aktualna tożsamość zostanie przełączona. Czy chcesz kontynuować?",
                                      "Wprowadziłeś nieprawidłowy numer użytkownika."}));
  EXPECT_EQ(host.state.numer, 0u);
  EXPECT_EQ(host.connection, 255);

  boxes.clear();
  typed.push_back({true, "77"});
  EXPECT_FALSE(actions.Create());
  EXPECT_EQ(boxes.textsUtf8(), std::vector<std::string>{"Tożsamość o tym numerze już istnieje."});
  host.createFails = true;
  typed.push_back({true, "78"});
  EXPECT_FALSE(actions.Create());
  EXPECT_EQ(boxes.textsUtf8().back(), "Nie udało się stworzyć archiwum dla nowej tożsamości.");
  EXPECT_FALSE(Exists("osoby/78"));
  EXPECT_EQ(host.state.numer, 0u);
}

TEST_F(IdentityActionsTest, ALeftOverArchiveIsCarriedOnNotStartedAnew) {
  host.archives.insert("555");
  typed.push_back({true, "555"});
  ASSERT_TRUE(actions.Create());
  EXPECT_EQ(host.calls[0], "ArchiveExists 555");
  EXPECT_EQ(host.calls[1], "OpenArchive 555");
  EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "CreateArchive 555"), 0);
}

TEST_F(IdentityActionsTest, DeletingTheCurrentIdentityAsksTheSwitchFirstThenTheDeletion) {
  Stored(300);
  Stored(400);
  ASSERT_TRUE(store.WriteLastIdentity("400"));
  ASSERT_TRUE(store.LoadIdentity("400"));
  boxes.clear();

  EXPECT_FALSE(actions.Delete(""));
  boxes.answer(true);   // switch
  boxes.answer(false);  // but do not delete
  EXPECT_FALSE(actions.Delete(IdentityActions::SelectedNumber(T("400 (domyślny)"))));
  EXPECT_EQ(boxes.textsUtf8(),
            (std::vector<std::string>{"Aktualna tożsamość zostanie przełączona. Czy chcesz kontynuować?",
                                      "Czy na pewno chcesz usunąć tożsamość o nr 400?"}));
  EXPECT_EQ(host.state.numer, 0u);  // switched away all the same
  EXPECT_TRUE(Exists("osoby/400"));

  boxes.clear();
  boxes.answer(true);
  ASSERT_TRUE(actions.Delete("400"));  // not loaded now: no switch question
  EXPECT_EQ(boxes.textsUtf8(), (std::vector<std::string>{"Czy na pewno chcesz usunąć tożsamość o nr 400?",
                                                         "Tożsamość o nr 400 została usunięta."}));
  EXPECT_FALSE(Exists("osoby/400"));
  EXPECT_FALSE(Exists("osoby/400.html"));
  EXPECT_FALSE(Exists("osoba"));
  EXPECT_TRUE(Exists("osoby/300"));
  EXPECT_EQ(host.calls.back(), "RefreshIdentityTab");

  // Another identity than the current one: only the deletion question; the
  // default stays; a missing archive is no obstacle.
  ASSERT_TRUE(store.WriteLastIdentity("300"));
  QFile::remove(dir.path() + "/osoby/300.html");
  Stored(600);
  ASSERT_TRUE(store.LoadIdentity("600"));
  boxes.clear();
  boxes.answer(true);
  ASSERT_TRUE(actions.Delete("300"));
  EXPECT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(host.state.numer, 600u);
  EXPECT_FALSE(Exists("osoby/300"));
}

TEST_F(IdentityActionsTest, AnIdentityInUseByAnotherCopyIsNotDeleted) {
  Stored(700);
  // Another running copy: an archive of its own holding the file.
  MessageArchive other(dir.path() + "/osoby", [](const std::string&) { return false; },
                       [](uint32_t) { return std::nullopt; });
  ASSERT_TRUE(other.OpenExisting("700"));
  boxes.answer(true);
  EXPECT_FALSE(actions.Delete("700"));
  EXPECT_EQ(boxes.textsUtf8(), (std::vector<std::string>{"Czy na pewno chcesz usunąć tożsamość o nr 700?",
                                                         "Usunięcie tożsamości nie powiodło się."}));
  EXPECT_TRUE(Exists("osoby/700"));
  EXPECT_TRUE(Exists("osoby/700.html"));
  other.Close();
  boxes.answer(true);
  EXPECT_TRUE(actions.Delete("700"));
  EXPECT_FALSE(Exists("osoby/700"));
}

TEST_F(IdentityActionsTest, LoadingAndThePasswordWithoutAnIdentity) {
  EXPECT_FALSE(actions.ChangePassword());
  EXPECT_EQ(boxes.textsUtf8(), std::vector<std::string>{"Musisz najpierw stworzyć tożsamość."});
  EXPECT_TRUE(prompts.empty());

  boxes.clear();
  EXPECT_FALSE(actions.Load("404"));
  EXPECT_EQ(boxes.textsUtf8(), std::vector<std::string>{
                                   "Nie udało się wczytać wybranej tożsamości. Być może jest ona już używana przez program."});
  Stored(800);
  host.calls.clear();
  boxes.clear();
  ASSERT_TRUE(actions.Load("800"));
  EXPECT_EQ(host.state.numer, 800u);
  EXPECT_EQ(std::vector<std::string>(host.calls.end() - 3, host.calls.end()),
            (std::vector<std::string>{"ApplyColourScheme", "ShowColourSwatches", "RefreshIdentityTab"}));
  EXPECT_EQ(boxes.textsUtf8(), std::vector<std::string>{"Tożsamość o nr 800 została pomyślnie wczytana."});
  // Loading again, even the same identity, asks the switch first.
  boxes.clear();
  EXPECT_FALSE(actions.Load("800"));
  EXPECT_EQ(boxes.textsUtf8(),
            std::vector<std::string>{"Aktualna tożsamość zostanie przełączona. Czy chcesz kontynuować?"});
  EXPECT_EQ(host.state.numer, 800u);
}
