#pragma once
// The archive of the current identity: one HTML page, osoby/<number>.html,
// that grows at its end. Each entry overwrites the closing "</body>" and
// brings its own, so the page is complete after every message. An append
// a kill or crash stops short leaves part of its entry without "</body>";
// opening the archive again takes that part back and closes the page.
//
// The file stays open while its identity is loaded, under an exclusive
// advisory lock (flock): a second running copy cannot open it and so cannot
// load, replace or delete that identity.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "conversation/MessageText.h"

class ShellOpen;

// Top bit of the number passed to ArchiveMessage: the user's own message.
inline constexpr uint32_t kWlasnaWiadomosc = 0x80000000u;

class MessageArchive {
 public:
  // The display name of a contact, or nothing for a number not on the list.
  using NameLookup = std::function<std::optional<std::string>(uint32_t number)>;
  // The local date and time now.
  using Clock = std::function<QDateTime()>;

  // folder is the identity folder ("osoby" beside the program).
  MessageArchive(QString folder, PictureExists pictureExists, NameLookup names,
                 Clock clock = &QDateTime::currentDateTime);
  ~MessageArchive();
  MessageArchive(const MessageArchive&) = delete;
  MessageArchive& operator=(const MessageArchive&) = delete;

  QString PathFor(const std::string& numberText) const;
  bool Exists(const std::string& numberText) const;

  // Opens an existing archive for writing and locks it; false when it is
  // missing, unopenable or locked by another process. On failure the archive
  // open before stays open. An entry left cut short is taken back; any other
  // ending than "</body>" is kept, and entries go after it.
  bool OpenExisting(const std::string& numberText);

  // Creates the archive with its head (replacing a file of that name) and
  // keeps it open and locked; false on failure. An archive locked by another
  // process is left untouched and the call fails.
  bool CreateArchive(const std::string& numberText);

  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Appends one message; number with kWlasnaWiadomosc set is the user's own
  // message to that partner. Without an open archive it warns
  // "Błąd wewnętrzny EArchiwumNULL" and writes nothing. sent, seconds since
  // 1970 UTC, stamps the entry with the time the message was sent; 0 stamps
  // it with the clock's time. What the code page lacks is written as
  // character references.
  void ArchiveMessage(uint32_t number, std::string text, uint32_t sent = 0);

  // For another process: true when some process holds the archive open.
  static bool IsLockedElsewhere(const QString& folder, const std::string& numberText);

  // The bytes a new archive of numberText holds.
  static std::string Head(const std::string& numberText);

  // The stamp of an entry: date and time, "2026-12-08 17:20:00".
  static std::string Stamp(const QDateTime& when);

 private:
  bool Adopt(int fd, const QString& path);

  QString folder_;
  PictureExists pictureExists_;
  NameLookup names_;
  Clock clock_;
  int fd_ = -1;
  QString path_;
  bool endsWithBody_ = false;  // the file's last 7 bytes are "</body>"
  std::optional<QDate> lastEntryDate_;  // of this run, across identities
};

// The main window's archive button: opens osoby/<number>.html of the folder
// of the user's files in the desktop's browser. Nothing happens for number 0.
// Returns what the shell answered (false for number 0).
bool ArchButClick(uint32_t number, const QString& dataDir, ShellOpen& shell);
