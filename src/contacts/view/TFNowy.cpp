#include "contacts/view/TFNowy.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QValidator>

#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "ui/InputFitter.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/TButon.h"
#include "ui/TNapisButon.h"

namespace {

constexpr int kNowyWidth = 201;
constexpr int kNowyHeight = 269;
constexpr int kEditHeight = 18;

// Whatever reaches the e-mail edit, typed or pasted, becomes lower case.
class LowerCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    input = input.toLower();
    return Acceptable;
  }
};

// Pasting cannot bring anything but digits into the number either.
class DigitsValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    for (QChar c : input)
      if (c < u'0' || c > u'9') return Invalid;
    return Acceptable;
  }
};

QLineEdit* Edit(QWidget* parent, const char* name, int x, int y, int w, int limit) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setFrame(false);
  e->setFont(SmallFont());
  e->setGeometry(x, y, w, kEditHeight);
  if (limit > 0) e->setMaxLength(limit);
  return e;
}

// A label standing above its edit.
QLabel* Label(QWidget* parent, const char* name, const char* text, QLineEdit* above, bool buddy) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setTextFormat(Qt::PlainText);
  l->setFont(SmallFont());
  l->setText(QString::fromUtf8(text));
  l->setGeometry(above->x(), above->y() - 15, 190, 14);
  if (buddy) l->setBuddy(above);
  return l;
}

std::string Cut(const QString& s, size_t capacity) {
  std::string bytes = cp1250::fromQString(s);
  if (bytes.size() > capacity) bytes.resize(capacity);
  return bytes;
}

// The number as a whole number from 1 to the largest signed 32-bit value;
// 0 for anything else.
uint32_t ReadNumber(const QString& text) {
  if (text.isEmpty()) return 0;
  uint64_t n = 0;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') return 0;
    n = n * 10 + (c.unicode() - u'0');
    if (n > 0x7FFFFFFFu) return 0;
  }
  return static_cast<uint32_t>(n);
}

}  // namespace

std::string PhoneForEdit(const std::string& telefon) {
  std::string out;
  for (size_t i = 0; i < telefon.size() && i < 9; ++i) {
    if (i == 3 || i == 6) out += '-';
    out += telefon[i];
  }
  return out;
}

TFNowy::TFNowy(QWidget* parent) : TSkinnedForm(parent) {
  setObjectName(QStringLiteral("FNowy"));
  setWindowTitle(QString::fromUtf8("Dane znajomego"));
  const Skin& skin = Skin::get();
  BZamknij = new TButon(this);
  BZamknij->setObjectName(QStringLiteral("BZamknij"));
  BZamknij->setAccessibleName(QString::fromUtf8("Zamknij"));
  BZamknij->SetIL(&skin.IL());
  BZamknij->SetNumer(6);
  BZamknij->setGeometry(3, 3, 16, 16);
  connect(BZamknij, &TButon::OnClick, this, [this] { close(); });

  ENumer = Edit(this, "ENumer", 88, 24, 105, 0);
  ENumer->setValidator(new DigitsValidator(ENumer));
  ENumer->setAccessibleName(QString::fromUtf8("nr użytkownika"));
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setTextFormat(Qt::PlainText);
  Label1->setFont(SmallFont());
  Label1->setText(QString::fromUtf8("nr użytkownika"));
  Label1->setGeometry(8, 26, 78, 14);
  ENazwisko = Edit(this, "ENazwisko", 8, 72, 185, TKontakt::kPojNazwisko);
  ENazwiskoLabel = Label(this, "ENazwiskoLabel", "Imię i nazwisko", ENazwisko, true);
  ENazwa = Edit(this, "ENazwa", 8, 112, 121, TKontakt::kPojWyswietl);
  ENazwaLabel = Label(this, "ENazwaLabel", "Wyświetl jako", ENazwa, true);
  ETelefon = Edit(this, "ETelefon", 8, 152, 120, 0);
  // The dashes stay in the text; blanks show as "_" and read as nothing.
  ETelefon->setInputMask(QStringLiteral("999-999-999;_"));
  Label2 = Label(this, "Label2", "nr telefonu komórkowego (bez +48)", ETelefon, false);
  ETelefon->setAccessibleName(Label2->text());
  EAdres = Edit(this, "EAdres", 8, 192, 121, TKontakt::kPojEmail);
  EAdres->setValidator(new LowerCaseValidator(EAdres));
  EAdresLabel = Label(this, "EAdresLabel", "Adres poczty elektronicznej", EAdres, true);
  // The names and the address are kept and sent as Windows-1250.
  for (QLineEdit* e : {ENazwisko, ENazwa, EAdres}) new InputFitter(e, TextFitter());

  Napis1 = new TNapisButon(this);
  Napis1->setObjectName(QStringLiteral("Napis1"));
  Napis1->SetNapis(T("Zatwierdź"));
  Napis1->SetModal(kMrNone);  // closes only after validation
  Napis1->setGeometry(16, 232, 81, 22);
  connect(Napis1, &TNapisButon::OnClick, this, [this] { BitBtn2Click(); });
  NapisButon1 = new TNapisButon(this);
  NapisButon1->setObjectName(QStringLiteral("NapisButon1"));
  NapisButon1->SetNapis(T("Anuluj"));
  NapisButon1->SetModal(kMrCancel);
  NapisButon1->setGeometry(104, 232, 81, 22);

  for (QLineEdit* e : {ENumer, ENazwisko, ENazwa, ETelefon, EAdres}) e->installEventFilter(this);
  setFixedSize(kNowyWidth, kNowyHeight);
  CentreOnScreen(*this, parent ? parent : TSkinnedForm::DialogOwner());
}

void TFNowy::Fill(const TKontakt& k) {
  ENumer->setText(QString::number(k.numer));
  ENumer->setEnabled(false);
  ENazwisko->setText(cp1250::toQString(k.nazwisko));
  ENazwa->setText(cp1250::toQString(k.wyswietl));
  EAdres->setText(cp1250::toQString(k.email));
  if (!k.telefon.empty()) ETelefon->setText(cp1250::toQString(PhoneForEdit(k.telefon)));
}

void TFNowy::SetNumber(const std::string& numer) { ENumer->setText(cp1250::toQString(numer)); }

std::string TFNowy::PhoneDigits() const {
  QString t = ETelefon->text();
  t.remove(u' ');
  t.remove(u'-');
  return cp1250::fromQString(t);
}

TKontakt TFNowy::Record() const {
  TKontakt k;
  k.numer = ReadNumber(ENumer->text());
  k.nazwisko = Cut(ENazwisko->text(), TKontakt::kPojNazwisko);
  k.wyswietl = Cut(ENazwa->text(), TKontakt::kPojWyswietl);
  k.email = Cut(EAdres->text(), TKontakt::kPojEmail);
  k.telefon = PhoneDigits();
  if (k.telefon.size() > TKontakt::kPojTelefon) k.telefon.resize(TKontakt::kPojTelefon);
  return k;
}

void TFNowy::BitBtn2Click() {
  if (ReadNumber(ENumer->text()) == 0) {
    MessageBox(T("Podałeś nieprawidłowy numer użytkownika."), kOstrzezenie);
    return;
  }
  if (ENazwa->text().trimmed().isEmpty()) {
    MessageBox(T("Musisz podać nazwę dla znajomego."), kOstrzezenie);
    return;
  }
  QString adres = EAdres->text();
  adres.remove(u' ');
  if (!adres.isEmpty() && !adres.contains(u'@')) {
    MessageBox(T("Podałeś nieprawidłowy adres poczty elektronicznej."), kOstrzezenie);
    return;
  }
  const std::string phone = PhoneDigits();
  if (!phone.empty() && phone.size() != 9) {
    MessageBox(T("Podałeś nieprawidłowy numer telefonu."), kOstrzezenie);
    return;
  }
  SetModalResult(kMrOk);
}

bool TFNowy::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Napis1->Click();
      return true;
    }
    // The number takes digits; any other character typed is dropped. Keys
    // that type nothing (Backspace, Delete, Tab, the arrows, the clipboard's
    // shortcuts) work as always.
    if (watched == ENumer && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
      for (QChar c : key->text())
        if (c.isPrint() && (c < u'0' || c > u'9')) return true;
  }
  return TSkinnedForm::eventFilter(watched, event);
}
