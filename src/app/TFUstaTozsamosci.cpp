// The settings dialog's identities tab: the identity in use and its
// password, the identities of the folder, and the buttons that create,
// load, delete and choose the default one.

#include <QLabel>
#include <QListWidget>

#include "app/TFMain.h"
#include "app/TFUsta.h"
#include "app/TFUstaParts.h"
#include "platform/Cp1250.h"

using usta::Button;
using usta::Label;

void TFUsta::BuildTab1() {
  ENumer = Label(Tab1, "ENumer", {8, 8, 180, 14}, 0);
  EHaslo = Label(Tab1, "EHaslo", {8, 26, 180, 28}, 0);
  HasloButon = Button(Tab1, "HasloButon", "zmień hasło", {192, 12, 88, 22});
  Label1 = Label(Tab1, "Label1", {8, 58, 272, 44}, 3, true);
  Label1->setText(QString::fromUtf8(
      "Nie musisz wpisywać swojego hasła. Jeżeli tego nie zrobisz, będziesz mógł je podawać przy każdym "
      "łączeniu z serwerem Gadu-Gadu."));
  Okuna = new QListWidget(Tab1);
  Okuna->setAccessibleName(QString::fromUtf8("Tożsamości"));
  Okuna->setObjectName(QStringLiteral("Okuna"));
  Okuna->setFont(SansSerifFont());
  Okuna->setFrameShape(QFrame::NoFrame);
  Okuna->setSortingEnabled(true);
  Okuna->setGeometry(8, 108, 134, 134);
  NapisButon8 = Button(Tab1, "NapisButon8", "stwórz nową tożsamość", {148, 108, 132, 30});
  NapisButon9 = Button(Tab1, "NapisButon9", "ustaw jako domyślną", {148, 143, 132, 30});
  NapisButon3 = Button(Tab1, "NapisButon3", "usuń zaznaczoną", {148, 178, 132, 30});
  NapisButon2 = Button(Tab1, "NapisButon2", "wczytaj zaznaczoną", {148, 213, 132, 30});
  connect(HasloButon, &TNapisButon::OnClick, this, [this] { HasloButonClick(); });
  connect(NapisButon8, &TNapisButon::OnClick, this, [this] { SpeedButton1Click(); });
  connect(NapisButon9, &TNapisButon::OnClick, this, [this] { NapisButon9Click(); });
  connect(NapisButon3, &TNapisButon::OnClick, this, [this] { SpeedButton3Click(); });
  connect(NapisButon2, &TNapisButon::OnClick, this, [this] { SpeedButton2Click(); });
}

void TFUsta::RefreshIdentityTab() {
  const IdentityState& state = main_.State();
  ENumer->setText(state.numer == 0 ? QString::fromUtf8("brak aktywnej tożsamości")
                                   : QString::fromUtf8("aktywna tożsamość: ") + QString::number(state.numer));
  EHaslo->setText(QString::fromUtf8("hasło do serwera GG:\n") +
                  (state.haslo.empty() ? QStringLiteral("nie podano") : QString(int(state.haslo.size()), u'+')));
  IdentityStore& store = main_.Identities();
  const std::string last = store.ReadLastIdentity();
  Okuna->clear();
  for (const std::string& name : store.ListIdentities())
    Okuna->addItem(QString::fromStdString(name) + (name == last ? QString::fromUtf8(" (domyślny)") : QString()));
}

std::string TFUsta::SelectedIdentity() const {
  const QList<QListWidgetItem*> selected = Okuna->selectedItems();
  if (selected.isEmpty()) return {};
  return IdentityActions::SelectedNumber(cp1250::fromQString(selected.front()->text()));
}

void TFUsta::HasloButonClick() { identities_.ChangePassword(); }
void TFUsta::SpeedButton1Click() { identities_.Create(); }
void TFUsta::NapisButon9Click() { identities_.MakeDefault(SelectedIdentity()); }
void TFUsta::SpeedButton3Click() { identities_.Delete(SelectedIdentity()); }
void TFUsta::SpeedButton2Click() { identities_.Load(SelectedIdentity()); }
