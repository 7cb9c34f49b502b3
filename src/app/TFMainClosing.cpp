// Closing the main window, the end of the session and the session manager's
// checkpoint: what is written, and who hears of what could not be. The
// user's close always has a way out: a disk that takes nothing must not
// keep the program open against the user's will.

#include <QCloseEvent>
#include <QCoreApplication>
#include <cstdio>

#include "app/TFMain.h"
#include "platform/desktop/WindowPlace.h"
#include "platform/Cp1250.h"
#include "platform/MessageBox.h"

namespace {

// Nobody may be asked: the session manager said so, or there is none.
void ToStandardError(const std::string& text) {
  std::fprintf(stderr, "%s\n", cp1250::toUtf8(text).c_str());
}

}  // namespace

std::string TFMain::IniPath() const {
  return (folders_.DataDir() + QLatin1Char('/') + QLatin1String(Config::kFileName)).toLocal8Bit().toStdString();
}

unsigned TFMain::SaveFiles() {
  // Where the platform does not say where the window is, its place reads
  // 0,0: the file keeps the place it had, for the next session on X11.
  if (PlatformTellsWindowPlace()) {
    config_.lewy = x();
    config_.gorny = y();
  }
  config_.szerokosc = width();
  config_.wysokosc = height();
  unsigned unsaved = 0;
  if (!SaveConfig(IniPath(), config_)) unsaved |= kIniUnsaved;
  if (!identities_.SaveIdentity(false)) unsaved |= kIdentityUnsaved;
  return unsaved;
}

std::string TFMain::NotSavedText(unsigned unsaved) const {
  const std::string identity = T("pliku tożsamości osoby/") + std::to_string(state_.numer);
  if (unsaved == (kIniUnsaved | kIdentityUnsaved))
    return T("Nie udało się zapisać pliku Wirmelak.ini ani ") + identity + ".";
  return T("Nie udało się zapisać ") + (unsaved & kIniUnsaved ? T("pliku Wirmelak.ini") : identity) + ".";
}

// The ini holds the window's place and size and the auto-connect box (the
// server is only ever written by hand); the identity file its contacts,
// colours and description (a password is written as it is set).
std::string TFMain::LostText(unsigned unsaved) {
  if (unsaved == (kIniUnsaved | kIdentityUnsaved))
    return T("Zmiany położenia i rozmiaru okna, automatycznego łączenia, listy znajomych, kolorów i opisu "
             "zostaną utracone.");
  if (unsaved & kIniUnsaved) return T("Zmiany położenia i rozmiaru okna oraz automatycznego łączenia zostaną utracone.");
  return T("Zmiany listy znajomych, kolorów i opisu zostaną utracone.");
}

bool TFMain::SaveOnExit() {
  if (const unsigned unsaved = SaveFiles()) {
    if (shutdown_) {
      ToStandardError(NotSavedText(unsaved));
    } else {
      // The user may make room and close again, or give up what only
      // memory holds; staying is the default.
      if (!MessageBox(NotSavedText(unsaved) + T(" Zamknąć program mimo to? ") + LostText(unsaved), kPytanie))
        return false;
      // The session ended under the question: that path said goodbye.
      if (closing_) return true;
    }
  }
  if (connection_->State() == conn::kPolaczony) {
    // Leaving goes out as plain not available, never as invisible.
    session_->SendNewStatus(state_.status & 1, false, state_.opis);
    connection_->Flush();
  }
  events_->AbandonPending();  // the end of the program ends the connection
  return true;
}

void TFMain::SaveCheckpoint(const std::function<bool()>& mayAsk) {
  const unsigned unsaved = SaveFiles();
  if (!unsaved) return;
  if (mayAsk && mayAsk())
    MessageBox(NotSavedText(unsaved), kOstrzezenie);
  else
    ToStandardError(NotSavedText(unsaved));
}

bool TFMain::FormCloseQuery() {
  if (shutdown_) return true;
  return MessageBox(
      T("Czy na pewno chcesz zakończyć działanie programu? Jeżeli chcesz jedynie zmniejszyć "
        "program do paska zadań, wybierz ikonkę w prawym górnym rogu okna programu."),
      kPytanie);
}

void TFMain::closeEvent(QCloseEvent* e) {
  if (closing_) return e->accept();
  if (!FormCloseQuery()) return e->ignore();
  // The questions run loops in which the session may end: that path has
  // saved and closed already.
  if (closing_) return e->accept();
  const bool goes = SaveOnExit();
  if (closing_) return e->accept();
  if (!goes) {
    // Still running, and seen to be.
    e->ignore();
    IkonaClick();
    return;
  }
  closing_ = true;
  e->accept();
  QCoreApplication::quit();
}

void TFMain::WMQueryEndSession() {
  if (closing_) return;
  shutdown_ = true;
  SaveOnExit();
  closing_ = true;  // saved once: the close that follows only ends the program
  close();
  QCoreApplication::quit();
}
