// Adding, editing and removing contacts from the main window, and the knock
// list, with the contact data window played by a script.

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include "WindowTestBasics.h"
#include "ContactDialogScript.h"
#include "app/TFMain.h"
#include "contacts/view/TFPuk.h"
#include "platform/Cp1250.h"
#include "support/ScriptedMessageBox.h"
#include "ui/InputFitter.h"
#include "ui/TButon.h"

namespace {

struct ContactEditingTest : ::testing::Test {
  QTemporaryDir dir;
  QString savedCwd = QDir::currentPath();
  ScriptedMessageBox box;
  ContactDialogScript script;
  std::unique_ptr<TFMain> m;

  void SetUp() override {
    TFMain::Options o;
    o.folders = ProgramFolders::OneFolder(dir.path());
    m = std::make_unique<TFMain>(o);
    m->SetIdentity(kOwn, "haslo");
  }
  void TearDown() override {
    m.reset();
    QDir::setCurrent(savedCwd);
  }
  ContactStore& store() { return m->Contacts(); }
  void Add(uint32_t numer, const char* name, uint8_t status = 0) {
    TKontakt k;
    k.numer = numer;
    k.wyswietl = name;
    ASSERT_TRUE(store().Add(k));
    if (status) store().ApplyStatus(numer, status, "opis", kOwn);
  }
  void Select(uint32_t numer) { store().SetSelected(store().PositionOf(store().FindByNumber(numer))); }
};

}  // namespace

TEST_F(ContactEditingTest, AddBuildsTheRecordFromTheWindow) {
  script.Then([](TFNowy& d) {
    d.ENumer->setText("777");
    d.ENazwisko->setText(QString::fromUtf8("Łucja Nowak"));
    d.ENazwa->setText(" Łucja ");
    d.ETelefon->setText("600-700-800");
    d.EAdres->setText("lucja@example.pl");
    d.Napis1->Click();
  });
  m->ButonPlusClick();
  EXPECT_EQ(script.Showings(), 1);
  EXPECT_TRUE(box.shown().empty());
  ASSERT_EQ(store().Count(), 1);
  const TKontakt& k = store().Record(0);
  EXPECT_EQ(k.numer, 777u);
  EXPECT_EQ(k.nazwisko, T("Łucja Nowak"));
  EXPECT_EQ(k.wyswietl, T(" Łucja "));
  EXPECT_EQ(k.telefon, "600700800");
  EXPECT_EQ(k.email, "lucja@example.pl");
  EXPECT_EQ(k.status, 0);
}

TEST_F(ContactEditingTest, CancelOrNoAddsNothing) {
  script.Then(ContactDialogScript::Cancel());
  script.Then([](TFNowy& d) { d.close(); });  // the close button of the title strip
  script.Then(ContactDialogScript::Type(QString::number(kOwn), "Ja"));
  m->ButonPlusClick();
  m->ButonPlusClick();
  m->ButonPlusClick();  // own number, the question answered "Nie"
  EXPECT_EQ(script.Showings(), 3);
  EXPECT_EQ(store().Count(), 0);
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.shown()[0].kind, kPytanie);
}

TEST_F(ContactEditingTest, OwnNumberAndDuplicateAskAndComeBackWithTheContentsKept) {
  Add(500, "Ola");
  QString nameSecondTime, numberThirdTime;
  script.Then([](TFNowy& d) {
    d.ENumer->setText(QString::number(kOwn));
    d.ENazwa->setText("Nowy");
    d.EAdres->setText("n@x.pl");
    d.Napis1->Click();
  });
  script.Then([&](TFNowy& d) {
    nameSecondTime = d.ENazwa->text() + "|" + d.EAdres->text();
    d.ENumer->setText("500");
    d.Napis1->Click();
  });
  script.Then([&](TFNowy& d) {
    numberThirdTime = d.ENumer->text();
    d.ENumer->setText("501");
    d.Napis1->Click();
  });
  box.answer(true);
  box.answer(true);
  m->ButonPlusClick();
  EXPECT_EQ(script.Showings(), 3);
  EXPECT_EQ(nameSecondTime, "Nowy|n@x.pl");
  EXPECT_EQ(numberThirdTime, "500");
  EXPECT_EQ(box.textsUtf8(),
            (std::vector<std::string>{
                "Wprowadziłeś swój własny numer użytkownika. Czy chcesz spróbować jeszcze raz?",
                "Kontakt o numerze 500 istnieje już na liście. Czy chcesz wprowadzić inny numer?"}));
  ASSERT_EQ(store().Count(), 2);
  EXPECT_EQ(store().Record(1).numer, 501u);
  EXPECT_EQ(store().Record(1).wyswietl, "Nowy");

  // "Nie" to the duplicate question ends it.
  box.clear();
  script.Then(ContactDialogScript::Type("501", "Znowu"));
  m->ButonPlusClick();
  EXPECT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(store().Count(), 2);
}

TEST_F(ContactEditingTest, TwoHundredFiftyIsTheLimit) {
  for (int i = 0; i < 249; ++i) Add(1000 + i, "K");
  script.Then(ContactDialogScript::Type("5", "Ostatni"));
  m->ButonPlusClick();
  EXPECT_TRUE(box.shown().empty());
  ASSERT_EQ(store().Count(), 250);
  m->ButonPlusClick();
  EXPECT_EQ(script.Showings(), 1);  // the window did not come up again
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>{"Nie możesz wprowadzić więcej niż 250 znajomych."});
  EXPECT_EQ(box.shown()[0].kind, kOstrzezenie);
  EXPECT_EQ(store().Count(), 250);
}

TEST_F(ContactEditingTest, EditWritesTheFieldsBackAndKeepsNumberStatusAndPlace) {
  Add(300, "Bartek");
  Add(200, "Adam", 4);  // present, with a description
  Add(100, "Cezary");
  Select(200);
  QString shownNumber, shownPhone;
  bool numberLocked = false;
  store().Edit(1, [] {
    TKontakt k;
    k.wyswietl = "Adam";
    k.telefon = "501502503";
    return k;
  }());
  script.Then([&](TFNowy& d) {
    shownNumber = d.ENumer->text();
    shownPhone = d.ETelefon->text();
    numberLocked = !d.ENumer->isEnabled();
    d.ENazwa->setText("Zbyszek");
    d.ENazwisko->setText("Zbigniew");
    d.ETelefon->setText("");
    d.Napis1->Click();
  });
  m->ButonEdycjaClick();
  EXPECT_EQ(shownNumber, "200");
  EXPECT_EQ(shownPhone, "501-502-503");
  EXPECT_TRUE(numberLocked);
  const TKontakt& k = store().Record(1);  // the same slot
  EXPECT_EQ(k.numer, 200u);
  EXPECT_EQ(k.wyswietl, "Zbyszek");
  EXPECT_EQ(k.nazwisko, "Zbigniew");
  EXPECT_EQ(k.telefon, "");
  EXPECT_EQ(k.status, 4);
  EXPECT_EQ(k.opis, "opis");
  EXPECT_TRUE(box.shown().empty());

  // A cancelled edit changes nothing; without a selection nothing comes up.
  Select(100);
  script.Then([](TFNowy& d) {
    d.ENazwa->setText("Inny");
    d.NapisButon1->Click();
  });
  m->ButonEdycjaClick();
  EXPECT_EQ(store().Record(2).wyswietl, "Cezary");
  store().SetSelected(-1);
  m->ButonEdycjaClick();
  m->ButonMinusClick();
  EXPECT_EQ(script.Showings(), 2);
  EXPECT_TRUE(box.shown().empty());
}

TEST_F(ContactEditingTest, RemoveAsksWithNumberAndName) {
  Add(100, "Ala");
  Add(200, "Bea");
  Select(200);
  m->ButonMinusClick();  // "Nie"
  EXPECT_EQ(box.textsUtf8(),
            std::vector<std::string>{"Czy na pewno chcesz usunąć z listy znajomego o numerze 200 (Bea)?"});
  EXPECT_EQ(box.shown()[0].kind, kPytanie);
  EXPECT_EQ(store().Count(), 2);
  box.answer(true);
  m->ButonMinusClick();
  ASSERT_EQ(store().Count(), 1);
  EXPECT_EQ(store().Record(0).numer, 100u);
  EXPECT_EQ(store().Selected(), -1);
}

TEST_F(ContactEditingTest, KnocksShowTheButtonWithTheirCount) {
  EXPECT_TRUE(m->ButPuk->isHidden());
  EXPECT_EQ(m->ButPuk->Numer(), 15);
  m->show();
  m->setFixedSize(250, 545);
  EXPECT_EQ(m->ButPuk->geometry(), QRect(202, 504, 16, 16));
  m->setFixedSize(300, 600);
  EXPECT_EQ(m->ButPuk->geometry(), QRect(252, 559, 16, 16));
  m->AddKnock(900);
  EXPECT_FALSE(m->ButPuk->isHidden());
  EXPECT_EQ(m->ButPuk->toolTip(), QString::fromUtf8("Masz pukanie od 1 osoby"));
  m->AddKnock(900);
  m->AddKnock(901);
  EXPECT_EQ(m->ButPuk->toolTip(), QString::fromUtf8("Masz pukanie od 2 osób"));

  m->ButPukClick();
  TFPuk& puk = m->Knocks();
  EXPECT_TRUE(puk.isVisible());
  puk.ListaPuk->setCurrentRow(0);
  puk.Buton2Click();
  EXPECT_EQ(m->ButPuk->toolTip(), QString::fromUtf8("Masz pukanie od 1 osoby"));
  puk.ListaPuk->setCurrentRow(0);
  puk.Buton2Click();
  EXPECT_TRUE(m->ButPuk->isHidden());
  EXPECT_TRUE(puk.isVisible());  // the window itself stays open

  // Unloading the identity empties the list.
  m->AddKnock(902);
  m->EmptyKnockList();
  EXPECT_EQ(puk.Knocks().Count(), 0);
  EXPECT_TRUE(m->ButPuk->isHidden());
}

TEST_F(ContactEditingTest, AddingFromAKnockFillsTheNumberAndDropsTheKnock) {
  m->AddKnock(901);
  m->AddKnock(902);
  TFPuk& puk = m->Knocks();
  puk.ListaPuk->setCurrentRow(1);
  QString filled;
  script.Then([&](TFNowy& d) {
    filled = d.ENumer->text();
    d.ENazwa->setText("Puk");
    d.Napis1->Click();
  });
  puk.Buton1Click();
  EXPECT_EQ(filled, "902");
  ASSERT_EQ(store().Count(), 1);
  EXPECT_EQ(store().Record(0).numer, 902u);
  EXPECT_EQ(puk.Knocks().Numbers(), std::vector<std::string>{"901"});

  // Cancelled: the knock stays.
  puk.ListaPuk->setCurrentRow(0);
  script.Then(ContactDialogScript::Cancel());
  puk.Buton1Click();
  EXPECT_EQ(puk.Knocks().Count(), 1);

  // Meanwhile a contact by other means: the duplicate question, "Nie" keeps it.
  Add(901, "Inaczej");
  puk.ListaPuk->setCurrentRow(0);
  script.Then([](TFNowy& d) {
    d.ENazwa->setText("Puk");
    d.Napis1->Click();
  });
  puk.Buton1Click();
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>{
                                 "Kontakt o numerze 901 istnieje już na liście. Czy chcesz wprowadzić inny numer?"});
  EXPECT_EQ(puk.Knocks().Numbers(), std::vector<std::string>{"901"});
  EXPECT_FALSE(m->ButPuk->isHidden());
  EXPECT_EQ(script.Showings(), 3);
}

// Names and an address pasted from elsewhere: letters Windows-1250 lacks
// become their plain form, the rest is left out and named under the box,
// and the address still becomes lower case.
TEST_F(ContactEditingTest, PastedNamesAndAddressKeepToWindows1250) {
  QString notice;
  script.Then([&](TFNowy& d) {
    d.ENumer->setText("777");
    d.ENazwisko->insert(QString::fromUtf8("Søren Ångström Иван"));
    d.ENazwa->insert(QString::fromUtf8("Søren 😎"));
    d.EAdres->insert(QString::fromUtf8("SØREN@EXAMPLE.DK"));
    const QLabel* label = d.ENazwa->findChild<InputFitter*>()->Notice();
    if (label && label->isVisible()) notice = label->text();
    d.Napis1->Click();
  });
  m->ButonPlusClick();
  ASSERT_EQ(store().Count(), 1);
  const TKontakt& k = store().Record(0);
  EXPECT_EQ(k.nazwisko, T("Soren Angström "));
  EXPECT_EQ(k.wyswietl, "Soren ");
  EXPECT_EQ(k.email, "soren@example.dk");
  EXPECT_EQ(notice, QString::fromUtf8("Pominięto znaki, których Gadu-Gadu nie przenosi: 😎"));
}
