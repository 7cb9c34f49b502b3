// tozsamosc FOLDER NUMBER [PASSWORD] [CONTACT...]: writes an identity into a
// program folder, as the program itself would keep it, and makes it the one
// loaded at start. A contact is NUMBER or NUMBER=NAME (the name in UTF-8).
// An archive is begun when there is none. For demonstrations against the
// local server emulator.

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/IdentityFile.h"
#include "app/PasswordBlock.h"
#include "conversation/MessageArchive.h"
#include "platform/Cp1250.h"

namespace {

uint32_t ParseNumber(const char* text) {
  char* end = nullptr;
  const unsigned long n = std::strtoul(text, &end, 10);
  return (*text && *end == '\0' && n > 0 && n <= 0xFFFFFFFFul) ? static_cast<uint32_t>(n) : 0;
}

bool Write(const QString& path, const std::string& bytes) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return f.commit();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: tozsamosc FOLDER NUMBER [PASSWORD] [CONTACT[=NAME]...]\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  const uint32_t number = ParseNumber(argv[2]);
  if (number == 0) {
    std::fprintf(stderr, "tozsamosc: not a number: %s\n", argv[2]);
    return 2;
  }
  const std::string password = argc > 3 ? cp1250::fromUtf8(argv[3]) : std::string();
  std::vector<TKontakt> contacts;
  for (int i = 4; i < argc; ++i) {
    const std::string arg = argv[i];
    const size_t eq = arg.find('=');
    TKontakt k;
    k.numer = ParseNumber(arg.substr(0, eq).c_str());
    if (k.numer == 0) {
      std::fprintf(stderr, "tozsamosc: not a contact number: %s\n", argv[i]);
      return 2;
    }
    k.wyswietl = eq == std::string::npos ? arg : cp1250::fromUtf8(arg.substr(eq + 1));
    contacts.push_back(k);
  }
  if (!folder.mkpath(QStringLiteral("osoby"))) {
    std::fprintf(stderr, "tozsamosc: cannot make %s/osoby\n", argv[1]);
    return 1;
  }
  const std::string name = std::to_string(number);
  const std::string file = identity_file::Build({}, ColourScheme{}, number,
                                                ScramblePassword(password, number), contacts);
  if (!Write(folder.filePath(QStringLiteral("osoby/") + QString::fromStdString(name)), file) ||
      !Write(folder.filePath(QStringLiteral("osoba")), name)) {
    std::fprintf(stderr, "tozsamosc: cannot write into %s\n", argv[1]);
    return 1;
  }
  // The archive begins as the program begins it; keep one that is there.
  const QString archive = folder.filePath(QStringLiteral("osoby/") + QString::fromStdString(name) + ".html");
  if (!QFile::exists(archive) && !Write(archive, MessageArchive::Head(name))) {
    std::fprintf(stderr, "tozsamosc: cannot write into %s\n", argv[1]);
    return 1;
  }
  std::printf("identity %s written to %s\n", name.c_str(), argv[1]);
  return 0;
}
