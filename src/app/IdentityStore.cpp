#include "app/IdentityStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "app/IdentityFile.h"
#include "app/IdentityHost.h"
#include "app/PasswordBlock.h"
#include "contacts/ContactStore.h"
#include "conversation/MessageArchive.h"
#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "platform/SafeSave.h"
#include "protocol/ConnectionManager.h"

namespace {

const std::string kBrakArchiwumPrzed = T("Nie odnaleziono pliku archiwum ");
const std::string kBrakArchiwumPo = T(".html. Plik zostanie stworzony na nowo.");
const std::string kPlikTozsamosci = T("Plik tożsamości osoby/");
const std::string kUszkodzony = T(" jest uszkodzony.");
const std::string kNieZapisano = T("Nie udało się zapisać pliku tożsamości osoby/");
const std::string kPytaniePrzelacz =
    T("Aktualna tożsamość zostanie przełączona. Czy chcesz kontynuować?");
const std::string kWTrakcieLaczenia =
    T("Serwer jest w trakcie łączenia. Poczekaj chwilę i spróbuj ponownie.");

using conn::kLaczenie;
using conn::kNiePolaczony;
using conn::kNieSkonfigurowany;
using conn::kPolaczony;

}  // namespace

IdentityStore::IdentityStore(IdentityHost& host, QString dataDir)
    : host_(host), dir_(std::move(dataDir)) {}

bool IdentityStore::IsIdentityName(const std::string& name) {
  if (name.empty() || name.size() > 10) return false;
  uint64_t value = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + uint64_t(c - '0');
  }
  return value >= 1 && value <= 0x7FFFFFFF;
}

QString IdentityStore::IdentityPath(const std::string& name) const {
  return dir_ + "/osoby/" + QString::fromStdString(name);
}

std::vector<std::string> IdentityStore::ListIdentities() const {
  std::vector<std::string> out;
  const QDir osoby(dir_ + "/osoby");
  for (const QString& entry : osoby.entryList(QDir::Files, QDir::Name)) {
    // Identity names are ASCII digits; anything else is no identity.
    const std::string name = entry.toStdString();
    if (IsIdentityName(name)) out.push_back(name);
  }
  return out;
}

std::string IdentityStore::ReadLastIdentity() {
  QFile osoba(dir_ + "/osoba");
  if (!osoba.exists()) return {};
  std::string name;
  if (osoba.open(QIODevice::ReadOnly)) {
    name = osoba.readLine().toStdString();
    osoba.close();
  }
  while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
  if (IsIdentityName(name) && QFileInfo(IdentityPath(name)).isFile()) return name;
  osoba.remove();
  return {};
}

bool IdentityStore::WriteLastIdentity(const std::string& name) {
  // The number alone, without a line end.
  return SaveFileSafely(dir_ + "/osoba", name);
}

void IdentityStore::ForgetLastIdentity() { QFile::remove(dir_ + "/osoba"); }

bool IdentityStore::DeleteIdentity(const std::string& name) {
  if (!IsIdentityName(name)) return false;
  const QString osoby = dir_ + "/osoby";
  // Removing a file another process holds open succeeds here; the other
  // copy would go on writing to a file nobody sees and save the identity
  // back at its end. Its lock on the archive is what says it is in use.
  if (MessageArchive::IsLockedElsewhere(osoby, name)) return false;
  QFile archive(osoby + "/" + QString::fromStdString(name) + ".html");
  if (archive.exists() && !archive.remove()) return false;
  return QFile::remove(IdentityPath(name));
}

bool IdentityStore::LoadIdentity(const std::string& name) {
  if (!IsIdentityName(name)) return false;
  QFile file(IdentityPath(name));
  if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  file.close();

  // The whole file is read and checked before anything of it is used: a
  // damaged file must not leave half an identity to be written back.
  const auto content = identity_file::Parse(std::string_view(bytes.constData(), size_t(bytes.size())));
  // A file whose number is not its name would be saved under another name,
  // and one with more records than the store holds would lose the rest at
  // the next save: both are as good as damaged.
  if (!content || std::to_string(content->numer) != name ||
      content->kontakty.size() > size_t(ContactStore::kPojemnosc)) {
    MessageBox(kPlikTozsamosci + name + kUszkodzony, kOstrzezenie);
    return false;
  }

  if (host_.ArchiveExists(name)) {
    if (!host_.OpenArchive(name)) return false;
  } else {
    MessageBox(kBrakArchiwumPrzed + name + kBrakArchiwumPo, kInformacja);
    if (!host_.CreateArchive(name)) return false;
  }

  IdentityState& state = host_.State();
  if (content->opis) {
    state.opis = *content->opis;
    state.status = 1;
    host_.ShowOwnStatus(1);
  }
  identity_file::ApplyColours(*content, state.kolory);
  state.numer = content->numer;
  state.haslo = UnscramblePassword(content->blokHasla, content->numer);

  ContactStore& contacts = host_.Contacts();
  contacts.Clear();
  for (const TKontakt& k : content->kontakty) contacts.Add(k);
  host_.RepaintContactList();
  host_.SetConnectionState(kNiePolaczony);
  return true;
}

bool IdentityStore::SaveIdentity(bool report) {
  const IdentityState& state = host_.State();
  if (state.numer == 0) return true;
  const ContactStore& contacts = host_.Contacts();
  std::vector<TKontakt> records;
  records.reserve(size_t(contacts.Count()));
  for (int r = 0; r < contacts.Count(); ++r) records.push_back(contacts.Record(r));
  const std::string bytes = identity_file::Build(
      state.opis, state.kolory, state.numer, ScramblePassword(state.haslo, state.numer), records);

  const std::string name = std::to_string(state.numer);
  QDir().mkpath(dir_ + "/osoby");
  if (SaveFileSafely(IdentityPath(name), bytes)) return true;
  if (report) MessageBox(kNieZapisano + name + ".", kOstrzezenie);
  return false;
}

void IdentityStore::UnloadIdentity() {
  IdentityState& state = host_.State();
  host_.SetAutoReconnect(false);
  state.numer = 0;
  state.haslo.clear();
  host_.CloseArchive();
  host_.Contacts().Clear();
  host_.RepaintContactList();
  host_.CloseChatWindows();
  host_.ResetTray();
  host_.EmptyKnockList();
  state.opis.clear();
  state.status = 0;
  host_.ShowOwnStatus(0);
  host_.SetConnectionState(kNieSkonfigurowany);
  ResetColours();
}

bool IdentityStore::ConfirmIdentitySwitch() {
  if (!MessageBox(kPytaniePrzelacz, kPytanie)) return false;
  const int connection = host_.ConnectionState();
  if (connection == kLaczenie) {
    MessageBox(kWTrakcieLaczenia, kOstrzezenie);
    return false;
  }
  if (connection == kPolaczony) {
    const IdentityState& state = host_.State();
    host_.SendNotAvailable(uint8_t(state.status & 1), state.opis);
    host_.CloseConnection();
  }
  // Unloading after a failed save would throw away what only memory holds.
  if (!SaveIdentity()) return false;
  UnloadIdentity();
  host_.RefreshIdentityTab();
  return true;
}

void IdentityStore::ResetColours() {
  host_.State().kolory = ColourScheme{};
  host_.ApplyColourScheme();
  host_.ShowColourSwatches();
}
