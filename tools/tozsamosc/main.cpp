// tozsamosc: writes an identity into a program folder, as the program itself
// would keep it, and makes it the one loaded at start. For demonstrations
// against the local server emulator; `tozsamosc --help` tells the rest.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cstdio>
#include <string>
#include <vector>

#include "app/IdentityFile.h"
#include "app/PasswordBlock.h"
#include "conversation/MessageArchive.h"
#include "ggserwer/Scenario.h"
#include "platform/Cp1250.h"

namespace {

uint32_t ParseNumber(const QString& text) {
  bool ok = false;
  const uint n = text.toUInt(&ok);
  return ok ? n : 0;
}

bool Write(const QString& path, const std::string& bytes) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return f.commit();
}

int Fail(const QString& what, int rc = 2) {
  std::fprintf(stderr, "tozsamosc: %s\n", what.toLocal8Bit().constData());
  return rc;
}

TKontakt Contact(uint32_t number, const QString& name) {
  TKontakt k;
  k.numer = number;
  k.wyswietl = name.isEmpty() ? std::to_string(number) : cp1250::fromQString(name);
  return k;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Writes the identity NUMBER into the program folder FOLDER (osoby/NUMBER, its archive\n"
      "when there is none, and osoba, so that it is loaded at start).\n"
      "A contact is NUMBER or NUMBER=NAME.\n\n"
      "Example:\n"
      "  tozsamosc --haslo haslo build/Wirmelak 123456 222=Ala 5551");
  parser.addHelpOption();
  const QCommandLineOption passwordOpt("haslo", "The password kept with the identity (none: asked at login).",
                                       "TEXT");
  const QCommandLineOption castOpt("obsada", "The contacts of a ggserwer scenario file, before the others.",
                                   "FILE");
  parser.addOptions({passwordOpt, castOpt});
  parser.addPositionalArgument("FOLDER", "The program folder.");
  parser.addPositionalArgument("NUMBER", "The Gadu-Gadu number of the identity.");
  parser.addPositionalArgument("CONTACT", "Contacts, NUMBER or NUMBER=NAME.", "[CONTACT...]");
  parser.process(app);

  const QStringList args = parser.positionalArguments();
  if (args.size() < 2) return Fail("usage: tozsamosc [--haslo TEXT] [--obsada FILE] FOLDER NUMBER [CONTACT...]");
  const QDir folder(args[0]);
  const uint32_t number = ParseNumber(args[1]);
  if (number == 0) return Fail("not a number: " + args[1]);

  std::vector<TKontakt> contacts;
  if (parser.isSet(castOpt)) {
    QString error;
    const auto scenario = ggserwer::loadScenario(parser.value(castOpt), &error);
    if (!scenario) return Fail(error);
    for (const auto& member : scenario->cast) contacts.push_back(Contact(member.number, member.name));
  }
  for (qsizetype i = 2; i < args.size(); ++i) {
    const qsizetype eq = args[i].indexOf('=');
    const uint32_t contact = ParseNumber(args[i].left(eq));
    if (contact == 0) return Fail("not a contact number: " + args[i]);
    contacts.push_back(Contact(contact, eq < 0 ? QString() : args[i].mid(eq + 1)));
  }

  if (!folder.mkpath(QStringLiteral("osoby"))) return Fail("cannot make " + folder.filePath("osoby"), 1);
  const std::string name = std::to_string(number);
  const std::string password = cp1250::fromQString(parser.value(passwordOpt));
  const std::string file =
      identity_file::Build({}, ColourScheme{}, number, ScramblePassword(password, number), contacts);
  if (!Write(folder.filePath(QStringLiteral("osoby/") + QString::fromStdString(name)), file) ||
      !Write(folder.filePath(QStringLiteral("osoba")), name))
    return Fail("cannot write into " + folder.path(), 1);
  // The archive begins as the program begins it; keep one that is there.
  const QString archive = folder.filePath(QStringLiteral("osoby/") + QString::fromStdString(name) + ".html");
  if (!QFile::exists(archive) && !Write(archive, MessageArchive::Head(name)))
    return Fail("cannot write into " + folder.path(), 1);
  std::printf("identity %s with %zu contacts written to %s\n", name.c_str(), contacts.size(),
              folder.path().toLocal8Bit().constData());
  return 0;
}
