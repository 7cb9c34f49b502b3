#include "app/IdentityActions.h"

#include <QFileInfo>

#include "app/IdentityHost.h"
#include "app/IdentityStore.h"
#include "app/PasswordBlock.h"
#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "protocol/ConnectionManager.h"

namespace {

using conn::kNiePolaczony;

const std::string kTozsamoscONr = T("Tożsamość o nr ");

}  // namespace

IdentityActions::IdentityActions(IdentityStore& store, IdentityHost& host, Prompt prompt)
    : store_(store), host_(host), prompt_(std::move(prompt)) {}

std::string IdentityActions::SelectedNumber(const std::string& line) { return line.substr(0, line.find(' ')); }

long long IdentityActions::ReadTypedNumber(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return 0;
  long long n = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    n = n * 10 + (text[i] - '0');
    if (n > 2147483648LL) return 0;
  }
  if (negative) return -n;
  return n > 2147483647LL ? 0 : n;
}

bool IdentityActions::Create() {
  if (host_.State().numer != 0 && !store_.ConfirmIdentitySwitch()) return false;
  const Answer typed = prompt_(T("Wprowadź numer"), T("Wprowadź numer nowej tożsamości:"), false, {});
  const long long n = ReadTypedNumber(typed.text);
  if (n <= 0) {
    MessageBox(T("Wprowadziłeś nieprawidłowy numer użytkownika."), kOstrzezenie);
    return false;
  }
  const std::string name = std::to_string(n);
  if (QFileInfo::exists(store_.IdentityPath(name))) {
    MessageBox(T("Tożsamość o tym numerze już istnieje."), kOstrzezenie);
    return false;
  }
  // An archive left without its identity file still holds conversations:
  // the new identity carries it on rather than starting it anew.
  const bool archived = host_.ArchiveExists(name) ? host_.OpenArchive(name) : host_.CreateArchive(name);
  if (!archived) {
    MessageBox(T("Nie udało się stworzyć archiwum dla nowej tożsamości."), kOstrzezenie);
    return false;
  }
  host_.State().numer = static_cast<uint32_t>(n);
  host_.SetConnectionState(kNiePolaczony);
  // A failed save has warned already; the identity stays loaded, unsaved.
  if (!store_.SaveIdentity()) return false;
  host_.RefreshIdentityTab();
  MessageBox(kTozsamoscONr + name + T(" została pomyślnie zapisana."), kInformacja);
  return true;
}

bool IdentityActions::Load(const std::string& selected) {
  if (selected.empty()) return false;
  if (host_.State().numer != 0 && !store_.ConfirmIdentitySwitch()) return false;
  if (!store_.LoadIdentity(selected)) {
    MessageBox(T("Nie udało się wczytać wybranej tożsamości. Być może jest ona już używana przez program."),
               kOstrzezenie);
    return false;
  }
  host_.ApplyColourScheme();
  host_.ShowColourSwatches();
  host_.RefreshIdentityTab();
  MessageBox(kTozsamoscONr + selected + T(" została pomyślnie wczytana."), kInformacja);
  return true;
}

bool IdentityActions::Delete(const std::string& selected) {
  if (selected.empty()) return false;
  const uint32_t current = host_.State().numer;
  if (current != 0 && selected == std::to_string(current) && !store_.ConfirmIdentitySwitch()) return false;
  if (!MessageBox(T("Czy na pewno chcesz usunąć tożsamość o nr ") + selected + "?", kPytanie)) return false;
  // Asked before the files go: without its identity file "osoba" no longer
  // names it.
  const bool wasDefault = store_.ReadLastIdentity() == selected;
  if (!store_.DeleteIdentity(selected)) {
    MessageBox(T("Usunięcie tożsamości nie powiodło się."), kOstrzezenie);
    return false;
  }
  if (wasDefault) store_.ForgetLastIdentity();
  host_.RefreshIdentityTab();
  MessageBox(kTozsamoscONr + selected + T(" została usunięta."), kInformacja);
  return true;
}

bool IdentityActions::MakeDefault(const std::string& selected) {
  if (selected.empty()) return false;
  const bool written = store_.WriteLastIdentity(selected);
  host_.RefreshIdentityTab();
  return written;
}

bool IdentityActions::ChangePassword() {
  IdentityState& state = host_.State();
  if (state.numer == 0) {
    MessageBox(T("Musisz najpierw stworzyć tożsamość."), kOstrzezenie);
    return false;
  }
  const uint32_t numer = state.numer;
  const Answer typed = prompt_(T("Wprowadź hasło"), T("Wprowadź hasło do serwera GG:"), true, state.haslo);
  // The password belongs to the identity it was asked for.
  if (!typed.confirmed || state.numer != numer) return false;
  // Only what the file keeps, so that the password in use is the one that
  // comes back at the next start.
  state.haslo = typed.text.substr(0, kMaxHaslo);
  if (!store_.SaveIdentity()) return false;
  host_.RefreshIdentityTab();
  MessageBox(T("Hasło zostało zapisane w ustawieniach."), kInformacja);
  return true;
}
