#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "UiTestSupport.h"
#include "contacts/view/TFNowy.h"
#include "contacts/view/TFPuk.h"
#include "platform/Cp1250.h"
#include "support/ScriptedMessageBox.h"
#include "ui/TButon.h"
#include "ui/TNapisButon.h"

#include <QListWidget>
#include <QSignalSpy>

namespace {

struct ContactDialogTest : SkinTest {
  ScriptedMessageBox box;
  TFNowy dialog;

  // Fills the window with data that passes every check.
  void Valid() {
    dialog.ENumer->setText("4321");
    dialog.ENazwa->setText("Ala");
  }
  // Confirms and returns the warning shown, or "" when the window accepted.
  std::string Confirm() {
    box.clear();
    dialog.SetModalResult(kMrNone);
    dialog.Napis1->Click();
    if (box.shown().empty()) return dialog.modalResult() == kMrOk ? "" : "(neither)";
    EXPECT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(box.shown()[0].kind, kOstrzezenie);
    EXPECT_NE(dialog.modalResult(), kMrOk);
    return box.textsUtf8()[0];
  }
};

}  // namespace

TEST_F(ContactDialogTest, LooksAsDesigned) {
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Dane znajomego"));
  EXPECT_EQ(dialog.size(), QSize(201, 269));
  EXPECT_EQ(dialog.ENumer->geometry().topLeft(), QPoint(88, 24));
  EXPECT_EQ(dialog.ENumer->width(), 105);
  EXPECT_EQ(dialog.ENazwisko->geometry().topLeft(), QPoint(8, 72));
  EXPECT_EQ(dialog.ENazwa->geometry().topLeft(), QPoint(8, 112));
  EXPECT_EQ(dialog.ETelefon->geometry().topLeft(), QPoint(8, 152));
  EXPECT_EQ(dialog.EAdres->geometry().topLeft(), QPoint(8, 192));
  EXPECT_EQ(dialog.ENazwisko->maxLength(), 64);
  EXPECT_EQ(dialog.ENazwa->maxLength(), 36);
  EXPECT_EQ(dialog.EAdres->maxLength(), 48);
  EXPECT_EQ(dialog.ETelefon->maxLength(), 11);
  EXPECT_EQ(dialog.Label1->text(), QString::fromUtf8("nr użytkownika"));
  EXPECT_EQ(dialog.ENazwiskoLabel->text(), QString::fromUtf8("Imię i nazwisko"));
  EXPECT_EQ(dialog.ENazwaLabel->text(), QString::fromUtf8("Wyświetl jako"));
  EXPECT_EQ(dialog.Label2->text(), QString::fromUtf8("nr telefonu komórkowego (bez +48)"));
  EXPECT_EQ(dialog.EAdresLabel->text(), QString::fromUtf8("Adres poczty elektronicznej"));
  EXPECT_EQ(cp1250::toUtf8(dialog.Napis1->Napis()), "Zatwierdź");
  EXPECT_EQ(dialog.Napis1->Modal(), kMrNone);
  EXPECT_EQ(cp1250::toUtf8(dialog.NapisButon1->Napis()), "Anuluj");
  EXPECT_EQ(dialog.NapisButon1->Modal(), kMrCancel);
  EXPECT_EQ(dialog.Napis1->geometry().topLeft(), QPoint(16, 232));
  EXPECT_EQ(dialog.NapisButon1->geometry().topLeft(), QPoint(104, 232));
}

TEST_F(ContactDialogTest, EditsTakeTheQuarterShadeAndLabelsTheDimmedText) {
  ColourScheme s;
  s.tlo = 0x203040;
  s.tekst = 0x00E0F0;
  ApplyColourScheme(s);
  TFNowy d;
  d.ensurePolished();
  const uint32_t quarter = KolorPomiedzy(s.tlo, kButtonFace, 0.25f);
  EXPECT_EQ(FromQRgb(d.palette().color(QPalette::Window).rgb()), s.tlo);
  for (QLineEdit* e : {d.ENumer, d.ENazwisko, d.ENazwa, d.ETelefon, d.EAdres}) {
    EXPECT_EQ(FromQRgb(e->palette().color(QPalette::Base).rgb()), quarter) << e->objectName().toStdString();
    EXPECT_EQ(FromQRgb(e->palette().color(QPalette::Text).rgb()), s.tekst);
    EXPECT_FALSE(e->hasFrame());
  }
  for (QLabel* l : {d.Label1, d.ENazwiskoLabel, d.ENazwaLabel, d.Label2, d.EAdresLabel})
    EXPECT_EQ(FromQRgb(l->palette().color(QPalette::WindowText).rgb()), colours().dimmedText)
        << l->objectName().toStdString();
}

TEST_F(ContactDialogTest, ChecksRunInOrderAndTheFirstFailureWarns) {
  // Everything wrong at once: the number is named first.
  dialog.ETelefon->setText("12-345-678");
  dialog.EAdres->setText("ala");
  EXPECT_EQ(Confirm(), "Podałeś nieprawidłowy numer użytkownika.");
  for (const char* bad : {"0", "2147483648", "99999999999"}) {
    dialog.ENumer->setText(bad);
    EXPECT_EQ(Confirm(), "Podałeś nieprawidłowy numer użytkownika.") << bad;
  }
  dialog.ENumer->setText("2147483647");
  dialog.ENazwa->setText("   ");
  EXPECT_EQ(Confirm(), "Musisz podać nazwę dla znajomego.");
  dialog.ENazwa->setText(" Ala ");
  EXPECT_EQ(Confirm(), "Podałeś nieprawidłowy adres poczty elektronicznej.");
  dialog.EAdres->setText("ala@ x.pl");
  EXPECT_EQ(Confirm(), "Podałeś nieprawidłowy numer telefonu.");
  dialog.ETelefon->setText("123-456-789");
  EXPECT_EQ(Confirm(), "");
  // The display name keeps its blanks; the phone loses its dashes.
  const TKontakt k = dialog.Record();
  EXPECT_EQ(k.numer, 2147483647u);
  EXPECT_EQ(k.wyswietl, " Ala ");
  EXPECT_EQ(k.telefon, "123456789");
  EXPECT_EQ(k.email, "ala@ x.pl");
}

TEST_F(ContactDialogTest, UntouchedPhoneAndEmptyEmailPass) {
  Valid();
  EXPECT_EQ(dialog.ETelefon->text(), "--");  // the dashes stay, the blanks read as nothing
  EXPECT_EQ(dialog.ETelefon->displayText(), "___-___-___");
  EXPECT_EQ(Confirm(), "");
  EXPECT_EQ(dialog.Record().telefon, "");
  QTest::keyClicks(dialog.ETelefon, "12345678");
  EXPECT_EQ(dialog.ETelefon->text(), "123-456-78");
  EXPECT_EQ(Confirm(), "Podałeś nieprawidłowy numer telefonu.");
}

TEST_F(ContactDialogTest, KeyboardNumberDigitsOnlyEmailLowerCaseEnterConfirms) {
  QTest::keyClicks(dialog.ENumer, "12a-3 4");
  EXPECT_EQ(dialog.ENumer->text(), "1234");
  QTest::keyClick(dialog.ENumer, Qt::Key_Backspace);
  EXPECT_EQ(dialog.ENumer->text(), "123");
  QTest::keyClicks(dialog.EAdres, "Ala@");
  dialog.EAdres->insert(QString::fromUtf8("ŁÓDŹ.PL"));  // as pasted
  EXPECT_EQ(dialog.EAdres->text(), QString::fromUtf8("ala@łódź.pl"));
  EXPECT_EQ(dialog.Record().email, T("ala@łódź.pl"));

  // Enter in an edit confirms, through the checks.
  QTest::keyClick(dialog.ENazwisko, Qt::Key_Return);
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.textsUtf8()[0], "Musisz podać nazwę dla znajomego.");
  dialog.ENazwa->setText("Ala");
  box.clear();
  QTest::keyClick(dialog.ETelefon, Qt::Key_Enter);
  EXPECT_TRUE(box.shown().empty());
  EXPECT_EQ(dialog.modalResult(), kMrOk);
}

TEST_F(ContactDialogTest, FillingForAnEditLocksTheNumberAndSplitsThePhone) {
  TKontakt k;
  k.numer = 555;
  k.nazwisko = T("Żaneta Kot");
  k.wyswietl = "Zaneta";
  k.telefon = "601602603";
  k.email = "z@k.pl";
  dialog.Fill(k);
  EXPECT_FALSE(dialog.ENumer->isEnabled());
  EXPECT_EQ(dialog.ENumer->text(), "555");
  EXPECT_EQ(dialog.ETelefon->text(), "601-602-603");
  EXPECT_EQ(dialog.ENazwisko->text(), QString::fromUtf8("Żaneta Kot"));
  const TKontakt back = dialog.Record();
  EXPECT_EQ(back.numer, 555u);
  EXPECT_EQ(back.nazwisko, k.nazwisko);
  EXPECT_EQ(back.telefon, "601602603");
  EXPECT_EQ(back.email, "z@k.pl");
  EXPECT_EQ(PhoneForEdit("1234"), "123-4");
}

using KnockWindowTest = SkinTest;

TEST_F(KnockWindowTest, ListsEachKnockOnceAndDropsTheSelected) {
  TFPuk puk;
  QSignalSpy changed(&puk, &TFPuk::Changed);
  QSignalSpy add(&puk, &TFPuk::AddRequested);
  EXPECT_EQ(puk.windowTitle(), "Pukanie");
  EXPECT_EQ(puk.size(), QSize(186, 191));
  EXPECT_EQ(puk.ListaPuk->geometry(), QRect(16, 24, 121, 153));
  EXPECT_TRUE(puk.AddKnock(77));
  EXPECT_FALSE(puk.AddKnock(77));
  EXPECT_TRUE(puk.AddKnock(88));
  EXPECT_EQ(changed.count(), 2);
  ASSERT_EQ(puk.ListaPuk->count(), 2);
  EXPECT_EQ(puk.ListaPuk->item(1)->text(), "88");

  // Nothing selected: neither button does anything.
  puk.Buton1Click();
  puk.Buton2Click();
  EXPECT_EQ(add.count(), 0);
  EXPECT_EQ(puk.Knocks().Count(), 2);

  puk.ListaPuk->setCurrentRow(0);
  EXPECT_EQ(puk.SelectedNumber(), "77");
  puk.Buton1Click();
  EXPECT_EQ(add.count(), 1);
  puk.Buton2Click();
  EXPECT_EQ(puk.Knocks().Numbers(), std::vector<std::string>{"88"});
  EXPECT_EQ(puk.ListaPuk->count(), 1);
  EXPECT_EQ(puk.SelectedIndex(), -1);

  // The list keeps its own colours whatever the scheme.
  ColourScheme s;
  s.tlo = 0x102030;
  ApplyColourScheme(s);
  EXPECT_EQ(FromQRgb(puk.ListaPuk->palette().color(QPalette::Base).rgb()), 0x373737u);
  EXPECT_EQ(FromQRgb(puk.ListaPuk->palette().color(QPalette::Text).rgb()), 0xDADADAu);

  puk.show();
  puk.BZamknij->OnClick();
  EXPECT_FALSE(puk.isVisible());
}
