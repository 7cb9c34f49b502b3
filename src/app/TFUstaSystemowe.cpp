// The settings dialog's tab of what the program does with the system:
// starting with the desktop session (the autostart entry), connecting by
// itself after start, and which session of the network it speaks.

#include <QCheckBox>
#include <QLabel>

#include "app/TFMain.h"
#include "app/TFUsta.h"
#include "app/TFUstaParts.h"
#include "platform/Autostart.h"
#include "platform/MessageBox.h"
#include "ui/Skin.h"
#include "ui/Tint.h"

namespace {

constexpr int kWpisz = 1;
constexpr int kUsun = -1;
constexpr int kNic = 0;

const char* const kBladOdczytu = "Wystąpił błąd przy próbie odczytania rejestru.";

}  // namespace

void TFUsta::BuildTab3() {
  LReg = usta::Label(Tab3, "LReg", {8, 8, 272, 70}, 4, true);
  RegButon = usta::Button(Tab3, "RegButon", "", {8, 82, 160, 26});
  CBAD = new QCheckBox(Tab3);
  CBAD->setObjectName(QStringLiteral("CBAD"));
  CBAD->setFont(SmallFont());  // the whole sentence on one line
  CBAD->setText(QString::fromUtf8("automatycznie łącz z serwerem po starcie programu"));
  CBAD->setGeometry(8, 114, 292, 18);  // to the page's edge: the sentence is long
  CBGG8 = new QCheckBox(Tab3);
  CBGG8->setObjectName(QStringLiteral("CBGG8"));
  CBGG8->setFont(SmallFont());
  CBGG8->setText(QString::fromUtf8("łącz z dzisiejszą siecią GG (GG 8.0, szyfrowane)"));
  CBGG8->setGeometry(8, 134, 292, 18);
  LGG8 = usta::Label(Tab3, "LGG8", {26, 152, 256, 24}, 3, true);
  LGG8->setFont(SmallFont());
  LGG8->setText(QString::fromUtf8("Bez zaznaczenia: sesja z 2005 roku, bez szyfrowania. Zmiana od następnego "
                                  "połączenia."));
  Label3 = usta::Label(Tab3, "Label3", {8, 178, 272, 70}, 3, true);
  Label3->setText(QString::fromUtf8(
      "Powyższe ustawienia dotyczą wszystkich użytkowników. Automatyczne łączenie z serwerem możliwe jest "
      "tylko wtedy gdy ustawiona jest domyślna tożsamość i zapisane jest dla niej hasło."));
  connect(RegButon, &TNapisButon::OnClick, this, [this] { RejestrWpisz(); });
  // Only the user's clicks: setting the box when the dialog opens is no change.
  connect(CBAD, &QCheckBox::clicked, this, [this] { CBADClick(); });
  connect(CBGG8, &QCheckBox::clicked, this, [this] { CBGG8Click(); });
}

void TFUsta::RefreshAutostartTab() {
  const AutostartEntry entry(programPath_);
  const AutostartEntry::State state = entry.Read();
  const char* text = nullptr;
  bool inTextColour = false;
  int action = kNic;
  const char* caption = "";
  switch (state) {
    case AutostartEntry::State::kNiedostepny:
      text = kBladOdczytu;
      break;
    case AutostartEntry::State::kBledny:
      text = "Aktualny wpis Wirmelaka w rejestrze jest niepoprawny. Wybierz poniższy przycisk, aby usunąć błędny wpis.";
      action = kUsun;
      caption = "Usuń wpisy z rejestru";
      break;
    case AutostartEntry::State::kPoprawny:
      text = "Wirmelak zostanie uruchomiony przy każdym uruchomieniu komputera. Jeśli chcesz anulować tą opcję, "
             "wybierz przycisk poniżej. Wpisy z rejestru zostaną usunięte.";
      inTextColour = true;
      action = kUsun;
      caption = "Usuń wpisy z rejestru";
      break;
    case AutostartEntry::State::kBrak:
      text = "Jeżeli chcesz, aby Wirmelak uruchamiał się automatycznie przy każdym starcie systemu, wybierz przycisk "
             "poniżej. Wpisy do rejestru zostaną wprowadzone wyłącznie dla aktywnego konta użytkownika.";
      inTextColour = true;
      action = kWpisz;
      caption = "Wpisz do rejestru";
      break;
  }
  LReg->setText(QString::fromUtf8(text));
  lRegInTextColour_ = inTextColour;
  // Tag 4 keeps the message colour through a recolouring; the text colour
  // has no tag and is set again by ApplyColours.
  SetTag(LReg, inTextColour ? 1 : 4);
  const ColourScheme& s = Skin::get().scheme();
  QPalette pal = LReg->palette();
  pal.setColor(QPalette::WindowText, Kolor(inTextColour ? s.tekst : s.komunikat));
  LReg->setPalette(pal);
  RegButon->SetNapis(T(caption));
  RegButon->setEnabled(action != kNic);
  SetTag(RegButon, action);
}

void TFUsta::RejestrWpisz() {
  const int action = Tag(RegButon);
  if (action == kNic) return;
  const AutostartEntry entry(programPath_);
  // A write or delete that fails is no success either.
  if (entry.Read() == AutostartEntry::State::kNiedostepny ||
      !(action == kWpisz ? entry.Write() : entry.Remove()))
    MessageBox(T(kBladOdczytu), kOstrzezenie);
  RefreshAutostartTab();
}

void TFUsta::CBADClick() { main_.Configuration().autowolit = CBAD->isChecked(); }

// A connection there is keeps its session; the list tab follows it.
void TFUsta::CBGG8Click() {
  const Protocol chosen = CBGG8->isChecked() ? Protocol::kGG8 : Protocol::k2005;
  main_.Configuration().protokol = chosen;
  main_.Connection().SetProtocol(chosen);
  RefreshServerListTab();
}
