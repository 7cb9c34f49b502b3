// The main window's side of an import of the server's contact list: the
// local list replaced, and the server told which numbers to watch.

#include <unordered_set>

#include "app/TFMain.h"
#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "protocol/ServerListText.h"

void TFMain::ImportServerList(const std::string& text) {
  using Outcome = server_list::ImportPlan::Outcome;
  const server_list::ImportPlan plan = server_list::PlanImport(text, [] {
    return MessageBox(T("Lista kontaktów jest dłuższa niż dozwolone 255 wpisów. Czy chcesz skrócić ją do 255 "
                        "wpisów? Jeżeli nie, operacja importu zostanie przerwana."),
                      kPytanie);
  });
  if (plan.outcome == Outcome::kZaDluga) {
    MessageBox(T("Lista kontaktów jest zbyt długa."), kOstrzezenie);
    return;
  }
  if (plan.outcome == Outcome::kBrakListy) {
    MessageBox(T("Listy kontaktów na serwerze nie odnaleziono."), kOstrzezenie);
    return;
  }
  if (plan.outcome != Outcome::kZastap) return;

  // The question may have run a while: the state is read now.
  const bool connected = Connected();
  if (connected) {
    std::unordered_set<uint32_t> kept;
    for (const ServerListEntry& e : plan.entries) {
      session_->SendRemoveNotify(e.numer);
      kept.insert(e.numer);
    }
    // The contacts the import drops must not stay watched either: their
    // notices would come back as knocks.
    for (int r = 0; r < contacts_.Count(); ++r)
      if (!kept.count(contacts_.Record(r).numer)) session_->SendRemoveNotify(contacts_.Record(r).numer);
  }
  contacts_.Clear();
  for (const ServerListEntry& e : plan.entries) {
    TKontakt k;
    k.numer = e.numer;
    k.nazwisko = e.nazwisko;
    k.wyswietl = e.wyswietl;
    k.telefon = e.telefon;
    k.email = e.email;
    contacts_.Add(k);
  }
  RepaintContactList();
  if (connected)
    for (const ServerListEntry& e : plan.entries) session_->SendAddNotify(e.numer);
  MessageBox(T("Lista konktaktów została pomyślnie zaimportowana. Wprowadzono ") + std::to_string(plan.entries.size()) +
                 T(" wpisów."),
             kInformacja);
}
