// The identity file: whatever the parser accepts is written back and read
// back equal, through the format alone and through the identity store's own
// load and save (password block and contact list included); a damaged file,
// here an accepted one cut short inside an entry, the number, the password
// block or a record, is refused, and the store's refusal leaves the loaded
// identity exactly as it was.

#include <QDir>
#include <QFile>
#include <cstdint>
#include <string>
#include <string_view>

#include "FakeIdentityHost.h"
#include "FuzzCheck.h"
#include "FuzzFolder.h"
#include "app/IdentityFile.h"
#include "app/IdentityStore.h"
#include "platform/MessageBox.h"

namespace {

using identity_file::Content;

std::string RecordBytes(const TKontakt& k) {
  const auto b = k.Serialise();
  return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

// The scheme a content gives the program that loads it.
ColourScheme Colours(const Content& c) {
  ColourScheme s;
  identity_file::ApplyColours(c, s);
  return s;
}

std::string Rebuild(const Content& c) {
  return identity_file::Build(c.opis.value_or(""), Colours(c), c.numer, c.blokHasla, c.kontakty);
}

void RequireSameFile(const Content& a, const Content& b) {
  // An empty description entry is not written, which reads back the same:
  // no description.
  const std::string opisA = a.opis.value_or("").substr(0, 255);
  FUZZ_REQUIRE(b.opis.has_value() == !opisA.empty(), "description entry appeared or vanished");
  FUZZ_REQUIRE(b.opis.value_or("") == opisA, "description changed");
  FUZZ_REQUIRE(Colours(a) == Colours(b), "colours changed");
  FUZZ_REQUIRE(a.numer == b.numer, "number changed");
  FUZZ_REQUIRE(a.blokHasla == b.blokHasla, "password block changed");
  FUZZ_REQUIRE(a.kontakty.size() == b.kontakty.size(), "contact count changed");
  for (size_t i = 0; i < a.kontakty.size(); ++i)
    FUZZ_REQUIRE(RecordBytes(a.kontakty[i]) == RecordBytes(b.kontakty[i]), "contact record changed");
}

// Where the parts of a file that Build wrote end: a cut anywhere else is
// inside an entry, the number, the block or a record.
bool IsWholeFileLength(const std::string& file, size_t length) {
  size_t at = 0;
  while (file.size() - at >= 4 && (uint8_t(file[at + 3]) & 0x80)) at += 4 + uint8_t(file[at]);
  const size_t records = at + 4 + identity_file::kBlokHasla;
  return length >= records && (length - records) % TKontakt::kRozmiar == 0;
}

struct Folder {
  Folder() {
    QDir(dir.Path()).mkdir("osoby");
    SetMessageBoxHandler([this](const std::string&, int) {
      ++messages;
      return false;
    });
  }
  void Write(const std::string& name, const std::string& bytes) {
    QFile f(dir.Path() + "/osoby/" + QString::fromStdString(name));
    FUZZ_REQUIRE(f.open(QIODevice::WriteOnly), "cannot write the test file");
    f.write(bytes.data(), qint64(bytes.size()));
  }
  std::string Read(const std::string& name) {
    QFile f(dir.Path() + "/osoby/" + QString::fromStdString(name));
    FUZZ_REQUIRE(f.open(QIODevice::ReadOnly), "the saved identity file is missing");
    return f.readAll().toStdString();
  }
  FuzzFolder dir;
  int messages = 0;
};

Folder& TheFolder() {
  static Folder folder;
  return folder;
}

struct Loaded {
  IdentityState state;
  std::vector<std::string> records;
};

Loaded What(FakeIdentityHost& host) {
  Loaded l;
  l.state = host.state;
  for (int r = 0; r < host.contacts.Count(); ++r) l.records.push_back(RecordBytes(host.contacts.Record(r)));
  return l;
}

bool SameIdentity(const IdentityState& a, const IdentityState& b) {
  return a.numer == b.numer && a.haslo == b.haslo && a.opis == b.opis && a.kolory == b.kolory;
}

bool Unchanged(const Loaded& a, const Loaded& b) {
  return SameIdentity(a.state, b.state) && a.state.status == b.state.status && a.records == b.records;
}

void ThroughTheStore(const std::string& file, const Content& content, size_t cut) {
  Folder& folder = TheFolder();
  const std::string name = std::to_string(content.numer);
  folder.Write(name, file);
  FakeIdentityHost first;
  first.archives.insert(name);
  IdentityStore store(first, folder.dir.Path());
  FUZZ_REQUIRE(store.LoadIdentity(name), "the store refused a file the parser accepts");
  const Loaded loaded = What(first);

  // The same file cut short: refused with a warning, the identity untouched.
  folder.Write(name, file.substr(0, cut));
  const int before = folder.messages;
  FUZZ_REQUIRE(!store.LoadIdentity(name), "the store loaded a damaged file");
  FUZZ_REQUIRE(folder.messages == before + 1, "a damaged file was refused without a warning");
  FUZZ_REQUIRE(Unchanged(What(first), loaded), "a refused file changed the loaded identity");

  // Saved and loaded by a fresh program: the same identity.
  FUZZ_REQUIRE(store.SaveIdentity(), "the identity could not be saved");
  FakeIdentityHost second;
  second.archives.insert(name);
  IdentityStore again(second, folder.dir.Path());
  FUZZ_REQUIRE(again.LoadIdentity(name), "the saved file does not load");
  // The own status is not stored: a load sets it from the description entry.
  FUZZ_REQUIRE(SameIdentity(second.state, first.state), "the identity changed through save and load");
  FUZZ_REQUIRE(What(second).records == loaded.records, "the contacts changed through save and load");
  QFile::remove(folder.dir.Path() + "/osoby/" + QString::fromStdString(name));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const auto content = identity_file::Parse(input);
  if (!content) return 0;

  const std::string file = Rebuild(*content);
  const auto back = identity_file::Parse(file);
  FUZZ_REQUIRE(back.has_value(), "a written file does not read back");
  RequireSameFile(*content, *back);
  FUZZ_REQUIRE(Rebuild(*back) == file, "writing what was read back gives other bytes");

  // Cut short at a few places the input chooses, and by its last byte.
  size_t cut = file.size() - 1;
  for (size_t i = 0; i < 4 && i < size; ++i) {
    const size_t at = (size_t(data[i]) * 257 + i * 8191) % file.size();
    if (!IsWholeFileLength(file, at)) {
      FUZZ_REQUIRE(!identity_file::Parse(std::string_view(file).substr(0, at)), "a cut file was accepted");
      cut = at;
    }
  }
  FUZZ_REQUIRE(!identity_file::Parse(std::string_view(file).substr(0, file.size() - 1)), "a file without its last byte was accepted");

  ThroughTheStore(file, *content, cut);
  return 0;
}
