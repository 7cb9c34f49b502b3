// The settings dialog against the server emulator, both in this thread: a
// first setup made from inside the program, an identity switched away while
// connected, and the server's copy of the contact list.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "ModalScript.h"
#include "app/IdentityFile.h"
#include "app/PasswordBlock.h"
#include "app/TFMain.h"
#include "app/TFUsta.h"
#include "app/TShape.h"
#include "ui/TButon.h"
#include "contacts/view/TFPuk.h"
#include "conversation/view/ChatWindows.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"
#include "protocol/LoginHash.h"
#include "protocol/Packets.h"
#include "support/ScriptedMessageBox.h"
#include "ui/Skin.h"
#include "ui/TFBoks.h"
#include "ui/TNapisButon.h"
#include "ui/Tint.h"

namespace {

using ggserwer::Serwer;

constexpr uint32_t kNumer = 123456;

struct SettingsLoopbackTest : ::testing::Test {
  QTemporaryDir dir;
  QString savedCwd = QDir::currentPath();
  QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
  ScriptedMessageBox box;
  Serwer serwer;
  std::unique_ptr<TFMain> main;

  void SetUp() override {
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
    ASSERT_TRUE(serwer.start());
    serwer.addAccount(kNumer, "haslo");
    Start();
  }
  void TearDown() override {
    main.reset();
    qputenv("XDG_CONFIG_HOME", savedConfig);
    QDir::setCurrent(savedCwd);
  }
  // The program starting in its folder, as main() starts it.
  void Start() {
    TFMain::Options o;
    o.folders = ProgramFolders::OneFolder(dir.path());
    o.timerUrMs = 50;
    main = std::make_unique<TFMain>(o);
    main->Connection().SetLookupHost(serwer.lookupHost().toStdString());
    main->Connection().SetProtocol(Protocol::k2005);  // the emulator's session
    main->Configuration().serwer = serwer.lookupHost().toStdString();
    main->LoadDefaultIdentity();
    main->ApplyColourScheme();
    main->StartAutoConnect();
  }
  TFUsta& Usta() { return main->Settings(); }
  uint8_t State() { return main->Connection().State(); }
  bool WaitState(uint8_t s, int ms = 5000) {
    return Serwer::waitFor([&] { return State() == s; }, ms);
  }
  bool WaitBox(const std::string& utf8, int ms = 5000) {
    return Serwer::waitFor([&] {
      const auto texts = box.textsUtf8();
      return std::find(texts.begin(), texts.end(), utf8) != texts.end();
    }, ms);
  }
  void Connect() {
    main->Dialog->OnMouseDown(Qt::LeftButton);
    ASSERT_TRUE(WaitState(conn::kPolaczony));
  }
  // An identity file with contacts, loaded as the one in use.
  void LoadWithContacts(const std::vector<TKontakt>& contacts) {
    const std::string bytes =
        identity_file::Build("", ColourScheme{}, kNumer, ScramblePassword("haslo", kNumer), contacts);
    QFile f(dir.path() + "/osoby/" + QString::number(kNumer));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), qint64(bytes.size()));
    f.close();
    ASSERT_TRUE(main->Identities().LoadIdentity(std::to_string(kNumer)));
    box.clear();
  }
  static TKontakt Contact(uint32_t numer, const char* nazwisko, const char* wyswietl, const char* telefon = "",
                          const char* email = "") {
    TKontakt k;
    k.numer = numer;
    k.nazwisko = T(nazwisko);
    k.wyswietl = T(wyswietl);
    k.telefon = telefon;
    k.email = email;
    return k;
  }
  std::vector<uint32_t> NotifyNumbers(uint32_t type) {
    std::vector<uint32_t> out;
    for (const auto& p : serwer.packetsOfType(type)) out.push_back(gg::ReadLe32(p.payload.constData()));
    return out;
  }
};

}  // namespace

TEST_F(SettingsLoopbackTest, AFirstUserSetsUpFromInsideTheProgramAndConnects) {
  EXPECT_EQ(main->DiaLab->text(), QString::fromUtf8("brak ustawień"));
  TFUsta& u = Usta();
  ModalScript script;
  script.Then("TFUsta", [&](QWidget&) { u.NapisButon8->Click(); });
  script.Then("TFBoks", [&](QWidget& w) {
    auto& prompt = static_cast<TFBoks&>(w);
    EXPECT_EQ(prompt.windowTitle(), QString::fromUtf8("Wprowadź numer"));
    EXPECT_EQ(prompt.EtLabel->text(), QString::fromUtf8("Wprowadź numer nowej tożsamości:"));
    EXPECT_EQ(prompt.Et->echoMode(), QLineEdit::Normal);
    QTest::keyClicks(prompt.Et, "123456");
    QTest::keyClick(prompt.Et, Qt::Key_Return);
  });
  script.Then("TFUsta", [&](QWidget&) {
    EXPECT_EQ(u.ENumer->text(), QString::fromUtf8("aktywna tożsamość: 123456"));
    u.HasloButon->Click();
  });
  script.Then("TFBoks", [&](QWidget& w) {
    auto& prompt = static_cast<TFBoks&>(w);
    EXPECT_EQ(prompt.windowTitle(), QString::fromUtf8("Wprowadź hasło"));
    EXPECT_EQ(prompt.Et->echoMode(), QLineEdit::Password);
    QTest::keyClicks(prompt.Et, "haslo");
    prompt.But->Click();
  });
  script.Then("TFUsta", [&](QWidget&) {
    EXPECT_EQ(u.EHaslo->text(), QString::fromUtf8("hasło do serwera GG:\n+++++"));
    ASSERT_EQ(u.Okuna->count(), 1);
    u.Okuna->setCurrentRow(0);
    u.NapisButon9->Click();
    EXPECT_EQ(u.Okuna->item(0)->text(), QString::fromUtf8("123456 (domyślny)"));
    u.BZamknijClick();
  });
  emit main->Buton3->OnClick();
  EXPECT_EQ(script.Left(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
  EXPECT_EQ(box.textsUtf8(), (std::vector<std::string>{"Tożsamość o nr 123456 została pomyślnie zapisana.",
                                                       "Hasło zostało zapisane w ustawieniach."}));
  EXPECT_EQ(main->DiaLab->text(), QString::fromUtf8("nie połączony"));

  Connect();
  ASSERT_TRUE(serwer.waitForLogin());
  const std::string login = serwer.packetsOfType(gg::out::kLogin)[0].payload.toStdString();
  EXPECT_EQ(gg::ReadLe32(login.data()), kNumer);
  EXPECT_EQ(gg::ReadLe32(login.data() + 4), LoginHash("haslo", serwer.seed()));

  // The next start connects by itself: a default identity with its password.
  main->SaveOnExit();
  main.reset();
  Start();
  EXPECT_EQ(main->OwnNumber(), kNumer);
  EXPECT_TRUE(main->Connection().AutoReconnect());
  ASSERT_TRUE(serwer.waitForConnection(2));
  ASSERT_TRUE(serwer.waitForLogin());
  EXPECT_EQ(serwer.loggedInNumber(), kNumer);
}

TEST_F(SettingsLoopbackTest, DeletingTheIdentityInUseWhileConnectedLeavesNoIdentity) {
  LoadWithContacts({Contact(5551, "Zosia", "Zosia")});
  Connect();
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kNotifyList));
  main->Chats().FindOrCreateChat(5551);
  main->AddKnock(7777);
  TFUsta& u = Usta();
  u.RefreshIdentityTab();
  u.Okuna->setCurrentRow(0);
  box.answer(true);  // switch
  box.answer(true);  // delete
  u.NapisButon3->Click();
  EXPECT_EQ(box.textsUtf8(), (std::vector<std::string>{"Aktualna tożsamość zostanie przełączona. Czy chcesz kontynuować?",
                                                       "Czy na pewno chcesz usunąć tożsamość o nr 123456?",
                                                       "Tożsamość o nr 123456 została usunięta."}));
  // Told "not available" before the connection went.
  ASSERT_TRUE(serwer.waitForDisconnect());
  const auto statuses = serwer.packetsOfType(gg::out::kNewStatus, 0);
  ASSERT_FALSE(statuses.isEmpty());
  EXPECT_EQ(gg::ReadLe32(statuses.back().payload.constData()), 1u);
  // The socket's end arrives after the unload and finds no identity.
  ASSERT_TRUE(Serwer::waitFor([&] { return !main->Connection().HasSocket(); }));
  EXPECT_EQ(State(), conn::kNieSkonfigurowany);
  EXPECT_EQ(main->DiaLab->text(), QString::fromUtf8("brak ustawień"));
  EXPECT_FALSE(main->ButonPlus->isEnabled());
  EXPECT_FALSE(main->Dialog->isEnabled());
  EXPECT_EQ(main->Chats().Count(), 0);
  EXPECT_EQ(main->Knocks().Knocks().Count(), 0);
  EXPECT_EQ(main->Contacts().Count(), 0);
  EXPECT_FALSE(QFile::exists(dir.path() + "/osoby/123456"));
  EXPECT_FALSE(QFile::exists(dir.path() + "/osoby/123456.html"));
  EXPECT_EQ(u.ENumer->text(), QString::fromUtf8("brak aktywnej tożsamości"));
  main->Connection().DialogMouseDown(Sender::Dialog, true);
  EXPECT_EQ(serwer.lookupTargets().size(), 1);  // nothing looked up for number 0
}

TEST_F(SettingsLoopbackTest, TheContactListGoesToTheServerComesBackAndIsDeleted) {
  LoadWithContacts({Contact(1001, "Jan Maria Rokita", "Janek", "600700800", "jan@example.pl"),
                    Contact(1002, "Łucja", "Łucja"), Contact(1003, "Ala;Kot", "Ala", "", "ala@example.pl")});
  Connect();
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kNotifyList));
  TFUsta& u = Usta();
  const ColourScheme& s = main->State().kolory;

  u.NapisButon5->Click();
  EXPECT_EQ(u.Label2->text(), QString::fromUtf8("Trwa wysyłanie listy kontaktów..."));
  EXPECT_EQ(u.Label2->palette().color(QPalette::WindowText), Kolor(s.komunikat));
  ASSERT_TRUE(WaitBox("Lista kontaktów została pomyślnie wyeksportowana."));
  EXPECT_EQ(serwer.userlist(), QByteArray(T("Jan;Maria Rokita;;Janek;+48600700800;;1001;jan@example.pl;0;;0;;0;\r\n"
                                            "Łucja;;;Łucja;;;1002;;0;;0;;0;\r\n"
                                            "Ala;Kot;;Ala;;;1003;ala@example.pl;0;;0;;0;\r\n")
                                             .c_str()));
  EXPECT_EQ(u.Label2->text(), QString::fromUtf8("Lista kontaktów na serwerze:"));
  EXPECT_EQ(u.Label2->palette().color(QPalette::WindowText), Kolor(Skin::get().colours().dimmedText));

  main->Contacts().Clear();
  main->RepaintContactList();
  box.clear();
  u.NapisButon4->Click();
  EXPECT_EQ(u.Label2->text(), QString::fromUtf8("Trwa oczekiwanie na odpowiedź..."));
  ASSERT_TRUE(WaitBox("Lista konktaktów została pomyślnie zaimportowana. Wprowadzono 3 wpisów."));
  ASSERT_EQ(main->Contacts().Count(), 3);
  const TKontakt& jan = main->Contacts().Record(0);
  EXPECT_EQ(jan.numer, 1001u);
  EXPECT_EQ(jan.nazwisko, T("Jan Maria Rokita"));
  EXPECT_EQ(jan.wyswietl, "Janek");
  EXPECT_EQ(jan.telefon, "600700800");
  EXPECT_EQ(jan.email, "jan@example.pl");
  EXPECT_EQ(main->Contacts().Record(1).nazwisko, T("Łucja"));
  EXPECT_EQ(main->Contacts().Record(2).nazwisko, "Ala Kot");
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kAddNotify, 3));
  EXPECT_EQ(NotifyNumbers(gg::out::kRemoveNotify), (std::vector<uint32_t>{1001, 1002, 1003}));
  EXPECT_EQ(NotifyNumbers(gg::out::kAddNotify), (std::vector<uint32_t>{1001, 1002, 1003}));
  EXPECT_EQ(u.Label2->text(), QString::fromUtf8("Lista kontaktów na serwerze:"));

  // A contact the import does not keep is no longer watched either.
  main->Contacts().Add(Contact(4444, "Stary", "Stary"));
  box.clear();
  u.NapisButon4->Click();
  ASSERT_TRUE(WaitBox("Lista konktaktów została pomyślnie zaimportowana. Wprowadzono 3 wpisów."));
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kAddNotify, 6));
  EXPECT_EQ(NotifyNumbers(gg::out::kRemoveNotify),
            (std::vector<uint32_t>{1001, 1002, 1003, 1001, 1002, 1003, 4444}));
  EXPECT_EQ(main->Contacts().FindByNumber(4444), -1);

  u.NapisButon6->Click();
  EXPECT_EQ(u.Label2->text(), QString::fromUtf8("Trwa usuwanie listy kontaktów..."));
  ASSERT_TRUE(WaitBox("Lista kontaktów została usunięta z serwera."));
  EXPECT_TRUE(serwer.userlist().isEmpty());
  box.clear();
  u.NapisButon4->Click();
  ASSERT_TRUE(WaitBox("Listy kontaktów na serwerze nie odnaleziono."));
  EXPECT_EQ(main->Contacts().Count(), 3);
}

TEST_F(SettingsLoopbackTest, TheEndOfTheConnectionDropsTheOperationSilently) {
  LoadWithContacts({});
  Connect();
  TFUsta& u = Usta();
  serwer.setAutoUserlist(false);  // the server never answers
  u.NapisButon4->Click();
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kUserlistRequest));
  EXPECT_TRUE(u.ServerList().UnderWay());
  u.NapisButon4->Click();
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>{"Zapytanie zostało już wysłane."});
  serwer.closeConnection();
  ASSERT_TRUE(WaitState(conn::kNiePolaczony));
  EXPECT_FALSE(u.ServerList().UnderWay());
  EXPECT_EQ(u.Label2->text(), QString::fromUtf8("Lista kontaktów na serwerze:"));
  EXPECT_EQ(box.shown().size(), 1u);
  u.NapisButon5->Click();
  EXPECT_EQ(box.textsUtf8().back(), "Nie jesteś połączony z serwerem GG.");
}
