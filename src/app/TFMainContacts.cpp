// The main window's side of the contacts: status notices and names for the
// incoming events, the chat a double-click opens, contact editing and the
// knock list.

#include "app/TFMain.h"

#include <QLineEdit>

#include "contacts/view/TFNowy.h"
#include "contacts/view/TFPuk.h"
#include "contacts/view/TLista.h"
#include "conversation/view/ChatWindows.h"
#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "ui/TButon.h"

void TFMain::ListaKPodwojnyKlik(uint16_t Numer) {
  if (Numer < contacts_.Count()) chats_->OpenChat(contacts_.Record(Numer).numer);
}

void TFMain::ApplyStatus(uint32_t number, uint8_t statusIndex, const std::string& description) {
  switch (contacts_.ApplyStatus(number, statusIndex, description, state_.numer)) {
    case ContactStore::StatusResult::kZmieniony: RepaintContactList(); break;
    case ContactStore::StatusResult::kPukanie: AddKnock(number); break;
    case ContactStore::StatusResult::kWlasny: break;
  }
}

std::optional<std::string> TFMain::DisplayName(uint32_t number) const {
  const int r = contacts_.FindByNumber(number);
  if (r < 0) return std::nullopt;
  return contacts_.Record(r).wyswietl;
}

void TFMain::AddContact(AddOrigin origin) {
  if (contacts_.Count() >= ContactStore::kMaxContacts) {
    MessageBox(T("Nie możesz wprowadzić więcej niż 250 znajomych."), kOstrzezenie);
    return;
  }
  // The knock is remembered by its number: the list may change while the
  // dialog is up.
  const std::string knock = origin == AddOrigin::kPukanie ? FPuk->SelectedNumber() : std::string();
  if (origin == AddOrigin::kPukanie && knock.empty()) return;
  TFNowy dialog;
  if (!knock.empty()) dialog.SetNumber(knock);
  for (;;) {
    dialog.ENazwisko->setFocus();
    if (dialog.ShowModal() != kMrOk) return;
    // An import may have filled the list while the dialog was up.
    if (contacts_.Count() >= ContactStore::kMaxContacts) {
      MessageBox(T("Nie możesz wprowadzić więcej niż 250 znajomych."), kOstrzezenie);
      return;
    }
    const TKontakt k = dialog.Record();
    if (k.numer == state_.numer) {
      if (MessageBox(T("Wprowadziłeś swój własny numer użytkownika. Czy chcesz spróbować jeszcze raz?"),
                     kPytanie))
        continue;
      return;
    }
    if (contacts_.FindByNumber(k.numer) >= 0) {
      if (MessageBox(T("Kontakt o numerze ") + std::to_string(k.numer) +
                         T(" istnieje już na liście. Czy chcesz wprowadzić inny numer?"),
                     kPytanie))
        continue;
      return;
    }
    contacts_.Add(k);
    RepaintContactList();
    if (!knock.empty()) FPuk->RemoveAt(FPuk->Knocks().IndexOf(knock));
    if (connection_->State() == conn::kPolaczony) session_->SendAddNotify(k.numer);
    return;
  }
}

// The dialog and the question run loops in which an import may replace the
// list: the contact is found again by its number afterwards, and when it is
// gone nothing is changed.
void TFMain::ButonEdycjaClick() {
  const int p = contacts_.Selected();
  if (p < 0) return;
  const uint32_t number = contacts_.Record(contacts_.RecordAt(p)).numer;
  TFNowy dialog;
  dialog.Fill(contacts_.Record(contacts_.RecordAt(p)));
  dialog.ENazwisko->setFocus();
  // The server watches numbers only: an edit tells it nothing.
  if (dialog.ShowModal() == kMrOk) {
    const int r = contacts_.FindByNumber(number);
    if (r >= 0) contacts_.Edit(r, dialog.Record());
  }
  contacts_.Sort();
  RepaintContactList();
}

void TFMain::ButonMinusClick() {
  const int p = contacts_.Selected();
  if (p < 0) return;
  const TKontakt& k = contacts_.Record(contacts_.RecordAt(p));
  const uint32_t number = k.numer;
  if (!MessageBox(T("Czy na pewno chcesz usunąć z listy znajomego o numerze ") + std::to_string(number) +
                      " (" + k.wyswietl + ")?",
                  kPytanie))
    return;
  const int r = contacts_.FindByNumber(number);
  if (r < 0) return;
  contacts_.Remove(r);
  RepaintContactList();
  if (connection_->State() == conn::kPolaczony) session_->SendRemoveNotify(number);
}

void TFMain::AddKnock(uint32_t numer) { FPuk->AddKnock(numer); }  // the list signals the change

void TFMain::UpdateKnockIndicator() {
  const KnockList& knocks = FPuk->Knocks();
  ButPuk->setVisible(!knocks.Empty());
  ButPuk->setToolTip(cp1250::toQString(knocks.Hint()));
}

void TFMain::ButPukClick() {
  FPuk->show();
  FPuk->raise();
  FPuk->activateWindow();
}

void TFMain::EmptyKnockList() { FPuk->Clear(); }
