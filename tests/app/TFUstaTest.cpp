// The settings dialog on a main window of its own folder: opening, the
// texts, the tabs, colours, autostart and the identities tab's wiring.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>

#include "ModalScript.h"
#include "app/IdentityFile.h"
#include "app/PasswordBlock.h"
#include "app/TFMain.h"
#include "app/TFUsta.h"
#include "app/TZakladki.h"
#include "conversation/MessageArchive.h"
#include "platform/Cp1250.h"
#include "support/ScriptedMessageBox.h"
#include "ui/Skin.h"
#include "ui/TButon.h"
#include "ui/TNapisButon.h"
#include "ui/Tint.h"

namespace {

struct TFUstaTest : ::testing::Test {
  QTemporaryDir dir;
  QString savedCwd = QDir::currentPath();
  QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
  ScriptedMessageBox box;
  std::unique_ptr<TFMain> main;
  TFUsta* usta = nullptr;

  void SetUp() override {
    // The autostart entry is looked for here, never in the user's folder.
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
    TFMain::Options o;
    o.folders = ProgramFolders::OneFolder(dir.path());
    main = std::make_unique<TFMain>(o);
    usta = &main->Settings();
    usta->SetProgramPath("/opt/wirmelak/wirmelak");
  }
  void TearDown() override {
    main.reset();
    qputenv("XDG_CONFIG_HOME", savedConfig);
    QDir::setCurrent(savedCwd);
  }
  QString Text(const char* name) {
    if (auto* l = usta->findChild<QLabel*>(name)) return l->text();
    if (auto* b = usta->findChild<TNapisButon*>(name)) return cp1250::toQString(b->Napis());
    if (auto* c = usta->findChild<QCheckBox*>(name)) return c->text();
    return "<no " + QString(name) + ">";
  }
  QColor Fore(QWidget* w) { return w->palette().color(QPalette::WindowText); }
  QColor Swatch(QWidget* w) { return w->palette().color(QPalette::Window); }
  void Identity(uint32_t numer, const std::string& haslo = {}) {
    QFile f(dir.path() + "/osoby/" + QString::number(numer));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const std::string b = identity_file::Build("", ColourScheme{}, numer, ScramblePassword(haslo, numer), {});
    f.write(b.data(), qint64(b.size()));
  }
  QByteArray Read(const QString& rel) {
    QFile f(dir.path() + "/" + rel);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
};

}  // namespace

TEST_F(TFUstaTest, OpensModallyOnTheIdentitiesTabWithEveryText) {
  main->Configuration().autowolit = false;
  ModalScript script;
  script.Then("TFUsta", [&](QWidget&) {
    EXPECT_TRUE(usta->isVisible());
    EXPECT_EQ(usta->size(), QSize(300, 298));
    EXPECT_EQ(usta->windowTitle(), "Ustawienia");
    EXPECT_EQ(usta->Kontroll->ActivePage(), 0);
    EXPECT_EQ(usta->ImaBak->parentWidget(), usta->Tab1);
    EXPECT_EQ(usta->Tab1->children().front(), usta->ImaBak);  // behind the tab's controls
    EXPECT_FALSE(usta->CBAD->isChecked());
    const std::vector<std::pair<const char*, const char*>> texts = {
        {"ENumer", "brak aktywnej tożsamości"},
        {"EHaslo", "hasło do serwera GG:\nnie podano"},
        {"HasloButon", "zmień hasło"},
        {"Label1", "Nie musisz wpisywać swojego hasła. Jeżeli tego nie zrobisz, będziesz mógł je podawać przy "
                   "każdym łączeniu z serwerem Gadu-Gadu."},
        {"NapisButon8", "stwórz nową tożsamość"},
        {"NapisButon9", "ustaw jako domyślną"},
        {"NapisButon3", "usuń zaznaczoną"},
        {"NapisButon2", "wczytaj zaznaczoną"},
        {"Label2", "Lista kontaktów na serwerze:"},
        {"NapisButon4", "Import listy kontaktów"},
        {"NapisButon5", "Eksport listy kontaktów"},
        {"NapisButon6", "Usuń listę z serwera"},
        {"LReg", "Jeżeli chcesz, aby Wirmelak uruchamiał się automatycznie przy każdym starcie systemu, wybierz "
                 "przycisk poniżej. Wpisy do rejestru zostaną wprowadzone wyłącznie dla aktywnego konta "
                 "użytkownika."},
        {"RegButon", "Wpisz do rejestru"},
        {"CBAD", "automatycznie łącz z serwerem po starcie programu"},
        {"Label3", "Powyższe ustawienia dotyczą wszystkich użytkowników. Automatyczne łączenie z serwerem możliwe "
                   "jest tylko wtedy gdy ustawiona jest domyślna tożsamość i zapisane jest dla niej hasło."},
        {"LSzTlo", "kolor tła"},
        {"LSzTekst", "gwieździsta tekstura na tle"},
        {"LSzText", "kolor tekstu"},
        {"LSzOpis", "kolor opisów"},
        {"LSzBlad", "kolor komunikatu"},
        {"LSzWysl", "tło wiadomości odebranej"},
        {"LSzOdeb", "tło wiadomości wysłanej"},
        {"LSzCzasu", "czas wysłania wiadomości"},
        {"NapisButon1", "kolory domyślne"},
        {"NapisButon7", "odwróć kolory"},
    };
    for (const auto& [name, text] : texts) EXPECT_EQ(Text(name), QString::fromUtf8(text)) << name;
    const QStringList captions = {"Tożsamości", "Lista kontaktów", "Systemowe", "Kolory"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(usta->Kontroll->Caption(i), captions[i]);
    usta->Kontroll->SetActivePage(3);
    EXPECT_EQ(usta->ImaBak->parentWidget(), usta->TabSheet1);
    usta->BZamknijClick();
  });
  script.Then("TFUsta", [&](QWidget&) {
    EXPECT_EQ(usta->Kontroll->ActivePage(), 0);  // always the identities first
    EXPECT_TRUE(usta->CBAD->isChecked());
    usta->BZamknijClick();
  });
  EXPECT_EQ(main->Buton3->toolTip(), "Ustawienia");
  emit main->Buton3->OnClick();
  EXPECT_FALSE(usta->isVisible());
  main->Configuration().autowolit = true;
  emit main->Buton3->OnClick();
  EXPECT_EQ(script.Left(), 0u);
  EXPECT_TRUE(script.Unexpected().empty());
}

TEST_F(TFUstaTest, ColoursArePickedAppliedAndInvertedKeepingTheShownTab) {
  std::vector<uint32_t> offered;
  std::optional<uint32_t> answer;
  usta->SetColourPicker([&](uint32_t c) {
    offered.push_back(c);
    return answer;
  });
  usta->show();
  usta->Kontroll->SetActivePage(3);

  // Cancelled: each swatch offers its own colour and nothing changes.
  const ColourScheme defaults;
  for (auto click : {&TFUsta::SzTloClick, &TFUsta::SzTextClick, &TFUsta::SzOpisClick, &TFUsta::SzBladClick,
                     &TFUsta::SzWyslClick, &TFUsta::SzOdebClick, &TFUsta::SzCzasuClick})
    (usta->*click)();
  EXPECT_EQ(offered, (std::vector<uint32_t>{defaults.tlo, defaults.tekst, defaults.opis, defaults.komunikat,
                                            defaults.odebrane, defaults.wyslane, defaults.czas}));
  EXPECT_EQ(main->State().kolory, defaults);

  answer = 0x224466;
  usta->SzTloClick();
  EXPECT_EQ(main->State().kolory.tlo, 0x224466u);
  EXPECT_EQ(Skin::get().scheme().tlo, 0x224466u);  // applied
  EXPECT_EQ(Swatch(usta->SzTlo), Kolor(0x224466));
  EXPECT_EQ(usta->Kontroll->ActivePage(), 3);
  EXPECT_TRUE(usta->isVisible());
  answer = 0x00FF00;
  usta->SzWyslClick();
  EXPECT_EQ(main->State().kolory.odebrane, 0x00FF00u);

  usta->SzTekst->click();
  EXPECT_FALSE(main->State().kolory.tekstura);
  EXPECT_FALSE(Skin::get().scheme().tekstura);
  // Without the texture the background image is the plain background.
  EXPECT_EQ(usta->ImaBak->pixmap().toImage().pixelColor(5, 5), Kolor(0x224466));

  const ColourScheme before = main->State().kolory;
  usta->NapisButon7->Click();
  const ColourScheme inverted = main->State().kolory;
  EXPECT_EQ(inverted.tlo, 0x224466u ^ 0xFFFFFF);
  EXPECT_EQ(inverted.tekst, 0u);
  EXPECT_EQ(inverted.odebrane, 0xFF00FFu);
  EXPECT_EQ(inverted.czas, defaults.czas ^ 0xFFFFFF);
  EXPECT_FALSE(inverted.tekstura);
  EXPECT_EQ(Skin::get().scheme(), inverted);
  EXPECT_EQ(Swatch(usta->SzText), Kolor(0));
  EXPECT_EQ(usta->ImaBak->pixmap().toImage().pixelColor(5, 5), Kolor(0x224466 ^ 0xFFFFFF));
  EXPECT_EQ(usta->Kontroll->ActivePage(), 3);
  EXPECT_TRUE(usta->isVisible());
  usta->NapisButon7->Click();
  EXPECT_EQ(main->State().kolory, before);

  usta->NapisButon1->Click();
  EXPECT_EQ(main->State().kolory, defaults);
  EXPECT_EQ(Skin::get().scheme(), defaults);
  EXPECT_TRUE(usta->SzTekst->isChecked());
  EXPECT_EQ(Swatch(usta->SzTlo), Kolor(0));
  EXPECT_EQ(usta->Kontroll->ActivePage(), 3);
  EXPECT_TRUE(box.shown().empty());
}

TEST_F(TFUstaTest, TheAutostartTabFollowsTheEntry) {
  const QString file = dir.path() + "/config/autostart/Wirmelak.desktop";
  const ColourScheme& s = main->State().kolory;
  usta->RefreshAutostartTab();
  EXPECT_EQ(Tag(usta->RegButon), 1);
  EXPECT_EQ(Fore(usta->LReg), Kolor(s.tekst));

  usta->RegButon->Click();
  EXPECT_TRUE(Read("config/autostart/Wirmelak.desktop").contains("\nExec=/opt/wirmelak/wirmelak autostart\n"));
  EXPECT_EQ(Text("LReg"), QString::fromUtf8("Wirmelak zostanie uruchomiony przy każdym uruchomieniu komputera. Jeśli "
                                            "chcesz anulować tą opcję, wybierz przycisk poniżej. Wpisy z rejestru "
                                            "zostaną usunięte."));
  EXPECT_EQ(Text("RegButon"), QString::fromUtf8("Usuń wpisy z rejestru"));
  EXPECT_EQ(Tag(usta->RegButon), -1);
  EXPECT_EQ(Fore(usta->LReg), Kolor(s.tekst));

  // The program without its argument: wrong, and the button offers deletion.
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("[Desktop Entry]\nType=Application\nName=Wirmelak\nExec=/opt/wirmelak/wirmelak\n");
  f.close();
  usta->Tab1Show();
  EXPECT_EQ(Text("LReg"), QString::fromUtf8("Aktualny wpis Wirmelaka w rejestrze jest niepoprawny. Wybierz poniższy "
                                            "przycisk, aby usunąć błędny wpis."));
  EXPECT_EQ(Fore(usta->LReg), Kolor(s.komunikat));
  EXPECT_EQ(Tag(usta->RegButon), -1);
  usta->RegButon->Click();
  EXPECT_FALSE(QFile::exists(file));
  EXPECT_EQ(Tag(usta->RegButon), 1);
  EXPECT_TRUE(box.shown().empty());

  // A folder that cannot be made: the error, a button without a caption or
  // an action; a click that finds it so warns.
  QDir(dir.path() + "/config").removeRecursively();
  QFile blocker(dir.path() + "/config");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  usta->RegButon->Click();
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>{"Wystąpił błąd przy próbie odczytania rejestru."});
  EXPECT_EQ(Text("LReg"), QString::fromUtf8("Wystąpił błąd przy próbie odczytania rejestru."));
  EXPECT_EQ(Fore(usta->LReg), Kolor(s.komunikat));
  EXPECT_EQ(Text("RegButon"), "");
  EXPECT_EQ(Tag(usta->RegButon), 0);
  usta->RegButon->Click();
  EXPECT_EQ(box.shown().size(), 1u);

  // The auto-connect box: the flag, written at exit.
  main->Configuration().autowolit = true;
  usta->CBAD->setChecked(true);
  usta->CBAD->click();
  EXPECT_FALSE(main->Configuration().autowolit);
  main->SaveOnExit();
  EXPECT_TRUE(Read("Wirmelak.ini").contains("\r\nautowolit = 0\r\n"));
}

TEST_F(TFUstaTest, TheIdentitiesTabListsTheFolderAndItsButtonsNeedASelection) {
  Identity(5551);
  Identity(123456, "tajne");
  Identity(2345678);
  QFile(dir.path() + "/osoby/123456.html").open(QIODevice::WriteOnly);
  ASSERT_TRUE(main->Identities().WriteLastIdentity("2345678"));
  usta->RefreshIdentityTab();
  QStringList lines;
  for (int i = 0; i < usta->Okuna->count(); ++i) lines << usta->Okuna->item(i)->text();
  EXPECT_EQ(lines, (QStringList{"123456", QString::fromUtf8("2345678 (domyślny)"), "5551"}));

  // Nothing selected: the buttons do nothing at all.
  for (TNapisButon* b : {usta->NapisButon9, usta->NapisButon3, usta->NapisButon2}) b->Click();
  EXPECT_TRUE(box.shown().empty());

  usta->Okuna->setCurrentRow(0);
  usta->NapisButon2->Click();
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>{"Tożsamość o nr 123456 została pomyślnie wczytana."});
  EXPECT_EQ(main->OwnNumber(), 123456u);
  EXPECT_EQ(Text("ENumer"), QString::fromUtf8("aktywna tożsamość: 123456"));
  EXPECT_EQ(Text("EHaslo"), QString::fromUtf8("hasło do serwera GG:\n+++++"));
  usta->Okuna->setCurrentRow(0);
  usta->NapisButon9->Click();
  EXPECT_EQ(usta->Okuna->item(0)->text(), QString::fromUtf8("123456 (domyślny)"));
  EXPECT_EQ(usta->Okuna->item(1)->text(), "2345678");
  EXPECT_EQ(Read("osoba"), "123456");
}

TEST_F(TFUstaTest, ANewIdentityCarriesOnALeftOverArchive) {
  QFile leftOver(dir.path() + "/osoby/555.html");
  ASSERT_TRUE(leftOver.open(QIODevice::WriteOnly));
  leftOver.write(MessageArchive::Head("555").c_str());
  leftOver.write("<p>stara rozmowa</p></body>");
  leftOver.close();
  usta->SetPrompt([](const std::string&, const std::string&, bool, const std::string&) {
    return IdentityActions::Answer{true, "555"};
  });
  usta->NapisButon8->Click();
  EXPECT_EQ(main->OwnNumber(), 555u);
  main->ArchiveMessage(7, "nowa", 0);
  const QByteArray archive = Read("osoby/555.html");
  EXPECT_TRUE(archive.startsWith(QByteArray::fromStdString(MessageArchive::Head("555")) + "<p>stara rozmowa</p>"));
  EXPECT_TRUE(archive.contains("nowa"));
  EXPECT_TRUE(archive.endsWith("</body>"));
}

TEST_F(TFUstaTest, AnImportOfMoreThan255LinesAsksToCutIt) {
  TKontakt old;
  old.numer = 9;
  old.wyswietl = "Stary";
  main->Contacts().Add(old);
  std::string text;
  for (int i = 1; i <= 300; ++i) text += "Imie;Nazwisko;;Kontakt " + std::to_string(i) + ";;;" + std::to_string(i) + ";\r\n";
  main->ImportServerList(text);  // "Nie": the local list stays
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>{
                                 "Lista kontaktów jest dłuższa niż dozwolone 255 wpisów. Czy chcesz skrócić ją do 255 "
                                 "wpisów? Jeżeli nie, operacja importu zostanie przerwana."});
  ASSERT_EQ(main->Contacts().Count(), 1);
  box.clear();
  box.answer(true);
  main->ImportServerList(text);
  ASSERT_EQ(main->Contacts().Count(), 255);
  EXPECT_EQ(main->Contacts().Record(254).numer, 255u);
  EXPECT_EQ(main->Contacts().Record(0).nazwisko, "Imie Nazwisko");
  EXPECT_EQ(box.textsUtf8().back(), "Lista konktaktów została pomyślnie zaimportowana. Wprowadzono 255 wpisów.");

  box.clear();
  main->ImportServerList("a;b;c\r\nd;e;;f;;;0;\r\n");
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>{"Listy kontaktów na serwerze nie odnaleziono."});
  main->ImportServerList(std::string(65536, ';'));
  EXPECT_EQ(box.textsUtf8().back(), "Lista kontaktów jest zbyt długa.");
  EXPECT_EQ(main->Contacts().Count(), 255);
}

// A first start speaks today's network, the list tab only importing, until the box says otherwise.
TEST_F(TFUstaTest, TheSessionChoiceReachesTheConnectionAndTheListTab) {
  usta->Tab1Show();
  EXPECT_TRUE(usta->CBGG8->isChecked() && usta->NapisButon4->isEnabled() && !usta->LDzis->isHidden());
  EXPECT_FALSE(usta->NapisButon5->isEnabled() || usta->NapisButon6->isEnabled());
  usta->CBGG8->click();
  EXPECT_EQ(main->Configuration().protokol, Protocol::k2005);
  EXPECT_EQ(main->Connection().ChosenProtocol(), Protocol::k2005);
  EXPECT_TRUE(usta->NapisButon5->isEnabled() && usta->NapisButon6->isEnabled() && usta->LDzis->isHidden());
}
