#include "conversation/MessageArchive.h"

#include <QTimeZone>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/Cp1250.h"
#include "platform/TimeZone.h"
#include "platform/MessageBox.h"
#include "platform/desktop/ShellOpen.h"

namespace {

constexpr std::string_view kKoniec = "</body>";
constexpr off_t kDlugoscKonca = 7;

const std::string& BrakArchiwum() {
  static const std::string text = T("Błąd wewnętrzny EArchiwumNULL");
  return text;
}

// Opens with close-on-exec so that a browser started through the shell does
// not inherit the descriptor, and with it the lock, past our own close.
int OpenFile(const QString& path, int flags) {
  QByteArray name = QFile::encodeName(path);
  int fd;
  do {
    fd = ::open(name.constData(), flags | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool LockExclusive(int fd) {
  int rc;
  do {
    rc = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  return rc == 0;
}

bool WriteAllAt(int fd, const std::string& bytes, off_t offset) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                         offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

off_t FileSize(int fd) {
  struct stat st;
  return ::fstat(fd, &st) == 0 ? st.st_size : -1;
}

// Looks at the last 7 bytes only; the cost does not depend on the file's size.
bool EndsWithBody(int fd) {
  off_t size = FileSize(fd);
  if (size < kDlugoscKonca) return false;
  char tail[kDlugoscKonca];
  if (::pread(fd, tail, sizeof tail, size - kDlugoscKonca) != kDlugoscKonca) return false;
  return std::string_view(tail, sizeof tail) == kKoniec;
}

bool ReadAll(int fd, std::string& bytes) {
  const off_t size = FileSize(fd);
  if (size < 0) return false;
  bytes.resize(static_cast<std::size_t>(size));
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool Truncate(int fd, off_t size) {
  int rc;
  do {
    rc = ::ftruncate(fd, size);
  } while (rc != 0 && errno == EINTR);
  return rc == 0;
}

// Whether the bytes after the last whole entry are what an append stopped
// by a kill leaves: the start of an entry (no "</p>" but at its very end,
// no "</body>"), or nothing but the start of "</body>".
bool IsTornEntry(std::string_view tail) {
  if (tail.size() < kKoniec.size() && kKoniec.substr(0, tail.size()) == tail) return true;
  const size_t p = tail.find("</p>");
  if (p != std::string_view::npos && tail.substr(p) != "</p>" && tail.substr(p) != "</p>\r")
    return false;
  if (tail.find(kKoniec) != std::string_view::npos) return false;
  for (std::string_view start :
       {"<hr><p class=czyje><b>Rozmowa z ", "<hr><p class=moje><b>Rozmowa z ",
        "<p class=czyje><b>Rozmowa z ", "<p class=moje><b>Rozmowa z "}) {
    const size_t n = std::min(tail.size(), start.size());
    if (tail.substr(0, n) == start.substr(0, n)) return true;
  }
  return false;
}

// An append stopped by a kill has cut "</body>" off and written only part
// of its entry. Every entry is one line ending in "</p>" CR LF, and neither
// a sender's name nor a converted text can hold "</p>", so the last whole
// entry ends at the last "</p>" CR LF (or, before the first entry, at the
// heading's "</p>"). What follows it is cut off and "</body>" written again.
// Anything else, a file edited by hand among them, keeps all it has.
void RepairTornEntry(int fd) {
  std::string bytes;
  if (!ReadAll(fd, bytes)) return;
  size_t end = bytes.rfind("</p>\r\n");
  if (end != std::string::npos) {
    end += 6;
  } else {
    const size_t heading = bytes.find("<p style=\"font-size:20px;\">");
    end = heading == std::string::npos ? heading : bytes.find("</p>", heading);
    if (end == std::string::npos) return;
    end += 4;
  }
  if (!IsTornEntry(std::string_view(bytes).substr(end))) return;
  // A kill in between leaves an empty tail, which the next open repairs.
  if (Truncate(fd, static_cast<off_t>(end))) WriteAllAt(fd, std::string(kKoniec), static_cast<off_t>(end));
}

}  // namespace

MessageArchive::MessageArchive(QString folder, PictureExists pictureExists, NameLookup names,
                               Clock clock)
    : folder_(std::move(folder)),
      pictureExists_(std::move(pictureExists)),
      names_(std::move(names)),
      clock_(std::move(clock)) {}

MessageArchive::~MessageArchive() { Close(); }

QString MessageArchive::PathFor(const std::string& numberText) const {
  return folder_ + QLatin1Char('/') + cp1250::toQString(numberText) + QStringLiteral(".html");
}

bool MessageArchive::Exists(const std::string& numberText) const {
  return QFile::exists(PathFor(numberText));
}

bool MessageArchive::Adopt(int fd, const QString& path) {
  Close();
  fd_ = fd;
  path_ = path;
  if (!EndsWithBody(fd_)) RepairTornEntry(fd_);
  endsWithBody_ = EndsWithBody(fd_);
  return true;
}

bool MessageArchive::OpenExisting(const std::string& numberText) {
  QString path = PathFor(numberText);
  // Our own lock would refuse a second descriptor of the same file.
  if (IsOpen() && path == path_) return true;
  int fd = OpenFile(path, O_RDWR);
  if (fd < 0) return false;
  if (!LockExclusive(fd)) {
    ::close(fd);
    return false;
  }
  return Adopt(fd, path);
}

bool MessageArchive::CreateArchive(const std::string& numberText) {
  QString path = PathFor(numberText);
  if (IsOpen() && path == path_) Close();
  // Not O_TRUNC: the file is emptied only once we hold its lock, so an
  // archive another copy of the program is writing survives the attempt.
  int fd = OpenFile(path, O_RDWR | O_CREAT);
  if (fd < 0) return false;
  if (!LockExclusive(fd) || ::ftruncate(fd, 0) != 0 || !WriteAllAt(fd, Head(numberText), 0)) {
    ::close(fd);
    return false;
  }
  return Adopt(fd, path);
}

void MessageArchive::Close() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  fd_ = -1;
  path_.clear();
  endsWithBody_ = false;
}

void MessageArchive::ArchiveMessage(uint32_t number, std::string text, uint32_t sent) {
  MessageToHtml(text, pictureExists_);
  if (fd_ < 0) {
    MessageBox(BrakArchiwum(), kOstrzezenie);
    return;
  }
  off_t size = FileSize(fd_);
  if (size < 0) return;
  // A file that does not end in "</body>" (cut short, edited by hand) keeps
  // all it has: the entry goes after its last byte.
  off_t offset = (endsWithBody_ && size >= kDlugoscKonca) ? size - kDlugoscKonca : size;

  const char* klasa = "czyje";
  if (number & kWlasnaWiadomosc) {
    klasa = "moje";
    number &= ~kWlasnaWiadomosc;
  }
  std::string name = std::to_string(number);
  if (names_) {
    if (std::optional<std::string> shown = names_(number))
      name = EscapeAngleBrackets(*shown) + " (" + name + ")";
  }

  QDateTime now = clock_();
  // The sender's moment on this machine's clock, as the conversation shows it.
  if (sent != 0) now = QDateTime::fromSecsSinceEpoch(LocalWallSeconds(sent), QTimeZone::utc());
  std::string entry;
  entry.reserve(text.size() + name.size() + 80);
  if (!lastEntryDate_ || *lastEntryDate_ != now.date()) entry += "<hr>";
  lastEntryDate_ = now.date();
  entry += "<p class=";
  entry += klasa;
  entry += "><b>Rozmowa z ";
  entry += name;
  entry += "</b>, ";
  entry += Stamp(now);
  entry += "<br>";
  entry += text;
  entry += "</p>\r\n</body>";
  WideToReferences(entry);

  // "</body>" is cut off before the entry is written, so that a write a kill
  // stops short leaves the start of the entry behind the last whole one,
  // which the next open recognises, and never a mix of entry and "</body>".
  // Write errors are not reported; a failed write takes its part back.
  const bool cut = endsWithBody_;
  if (cut && !Truncate(fd_, offset)) return;
  if (!WriteAllAt(fd_, entry, offset) && Truncate(fd_, offset) && cut)
    WriteAllAt(fd_, std::string(kKoniec), offset);
  endsWithBody_ = EndsWithBody(fd_);
}

bool MessageArchive::IsLockedElsewhere(const QString& folder, const std::string& numberText) {
  QString path = folder + QLatin1Char('/') + cp1250::toQString(numberText) + QStringLiteral(".html");
  int fd = OpenFile(path, O_RDONLY);
  if (fd < 0) return false;
  bool locked = !LockExclusive(fd);
  ::close(fd);
  return locked;
}

std::string MessageArchive::Head(const std::string& numberText) {
  std::string head = T(
      "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n"
      "<html>\r\n"
      "<head>\r\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">\r\n"
      "<style type=\"text/css\"><!--\r\n"
      "img {vertical-align:bottom;}\r\n"
      ".moje {color:#F0F040;}\r\n"
      ".czyje {color:#D0C0FF;}\r\n"
      "--></style>\r\n"
      "<title>Wirmelak - archiwum rozmów numeru ");
  head += numberText;
  head += T(
      "</title>\r\n"
      "</head>\r\n"
      "<body style=\"background-color:black; font-family:Arial; color:white; font-size:14px;\">\r\n"
      "<p style=\"font-size:20px;\">Archiwum rozmów numeru ");
  head += numberText;
  head += "</p></body>";
  return head;
}

std::string MessageArchive::Stamp(const QDateTime& when) {
  // One fixed, sortable form rather than the desktop's locale, which may be
  // unset or differ between runs of the same archive.
  return QLocale::c().toString(when, QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

bool ArchButClick(uint32_t number, const QString& dataDir, ShellOpen& shell) {
  if (number == 0) return false;
  QString folder = dataDir + QStringLiteral("/osoby");
  return shell.Open(folder + QLatin1Char('/') + QString::number(number) + QStringLiteral(".html"),
                    folder);
}
