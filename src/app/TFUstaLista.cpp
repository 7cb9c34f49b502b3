// The settings dialog's tab of the server's copy of the contact list: the
// three buttons, the progress line, and what the exchange needs of the
// program.

#include <QCheckBox>
#include <QLabel>

#include "app/TFMain.h"
#include "app/TFUsta.h"
#include "app/TFUstaParts.h"
#include "ui/Skin.h"
#include "ui/Tint.h"

void TFUsta::BuildTab2() {
  Label2 = usta::Label(Tab2, "Label2", {8, 10, 272, 14}, 0);
  NapisButon4 = usta::Button(Tab2, "NapisButon4", "Import listy kontaktów", {8, 32, 160, 26});
  NapisButon5 = usta::Button(Tab2, "NapisButon5", "Eksport listy kontaktów", {8, 64, 160, 26});
  NapisButon6 = usta::Button(Tab2, "NapisButon6", "Usuń listę z serwera", {8, 96, 160, 26});
  connect(NapisButon4, &TNapisButon::OnClick, this, [this] { NapisButon4Click(); });
  connect(NapisButon5, &TNapisButon::OnClick, this, [this] { NapisButon5Click(); });
  connect(NapisButon6, &TNapisButon::OnClick, this, [this] { NapisButon6Click(); });
  LDzis = usta::Label(Tab2, "LDzis", {8, 132, 272, 60}, 3, true);
  LDzis->setText(QString::fromUtf8("W dzisiejszej sieci GG eksport i usuwanie listy są wyłączone: serwer kasuje "
                                   "listę przesłaną w nieznanej mu postaci."));
  ShowIdle();
}

// Nobody outside the servers knows the format an upload must have, and one
// the server misreads wipes the stored list: only the import is offered.
void TFUsta::RefreshServerListTab() {
  const bool today = main_.Today();
  NapisButon5->setEnabled(!today);
  NapisButon6->setEnabled(!today);
  LDzis->setVisible(today);
  CBGG8->setChecked(main_.Configuration().protokol == Protocol::kGG8);
}

void TFUsta::NapisButon4Click() { serverList_.Import(); }

// In the order the contacts are kept, which is the order an import adds
// them back in.
void TFUsta::NapisButon5Click() {
  const ContactStore& contacts = main_.Contacts();
  std::vector<ServerListEntry> entries;
  entries.reserve(size_t(contacts.Count()));
  for (int r = 0; r < contacts.Count(); ++r) {
    const TKontakt& k = contacts.Record(r);
    entries.push_back({k.numer, k.nazwisko, k.wyswietl, k.telefon, k.email});
  }
  serverList_.Export(entries);
}

void TFUsta::NapisButon6Click() { serverList_.Delete(); }

bool TFUsta::Connected() const { return main_.Connection().State() == conn::kPolaczony; }

// The packets go over the connection there is, whatever is chosen for the next.
bool TFUsta::Today() const { return main_.Connection().ConnectionProtocol() == Protocol::kGG8; }

void TFUsta::Send(const std::string& packet) { main_.Connection().Send(packet); }

void TFUsta::ShowProgress(const std::string& text) {
  Label2->setText(cp1250::toQString(text));
  SetTag(Label2, 4);
  QPalette pal = Label2->palette();
  pal.setColor(QPalette::WindowText, Kolor(Skin::get().scheme().komunikat));
  Label2->setPalette(pal);
}

void TFUsta::ShowIdle() {
  Label2->setText(QString::fromUtf8("Lista kontaktów na serwerze:"));
  SetTag(Label2, 0);
  QPalette pal = Label2->palette();
  pal.setColor(QPalette::WindowText, Kolor(Skin::get().colours().dimmedText));
  Label2->setPalette(pal);
}

void TFUsta::ImportServerList(const std::string& text) { main_.ImportServerList(text); }
