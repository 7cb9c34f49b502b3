#include "conversation/view/ChatWindows.h"

#include <QRandomGenerator>

#include "conversation/view/TRozmowa.h"
#include "platform/Cp1250.h"
#include "platform/Tray.h"

ChatWindows::ChatWindows(Setup setup) : setup_(std::move(setup)) {}

ChatWindows::~ChatWindows() {
  for (TFCzat* w : windows_) delete w;
}

std::string ChatWindows::Caption(const std::optional<std::string>& name, uint32_t number) {
  return (name ? *name : T("Nieznajomy")) + " (nr " + std::to_string(number) + ")";
}

int ChatWindows::FindChat(uint32_t number) const {
  for (int i = 0; i < Count(); ++i)
    if (windows_[i]->Number() == number) return i;
  return -1;
}

bool ChatWindows::RoomForChat(uint32_t number) const {
  return strangers_ < kMaxStrangerChats || (setup_.names && setup_.names(number));
}

int ChatWindows::FindOrCreateChat(uint32_t number) {
  const int found = FindChat(number);
  if (found >= 0) return found;
  auto* w = new TFCzat(number, setup_.shell, setup_.programDir, setup_.outgoing);
  w->Tag = Count();
  windows_.push_back(w);
  const std::optional<std::string> name = setup_.names ? setup_.names(number) : std::nullopt;
  w->ForStranger = !name;
  strangers_ += w->ForStranger;
  w->setWindowTitle(cp1250::toQString(Caption(name, number)));
  w->Rozmowa->Partner = name ? *name : T("Nieznajomy");
  QRandomGenerator& random = *QRandomGenerator::global();
  w->move(50 + random.bounded(250), 50 + random.bounded(200));
  w->CanHide = [this] { return setup_.tray.Available(); };
  QObject::connect(w, &TFCzat::NowyChanged, w, [this] { UpdateTray(); });
  QObject::connect(w, &TFCzat::Closed, w, [this](TFCzat* closed) { Closed(closed); });
  if (onChanged_) onChanged_();
  return w->Tag;
}

void ChatWindows::AddMessage(int chat, const std::string& text, uint32_t time, uint8_t state) {
  windows_[chat]->Rozmowa->AddMessage(text, time, state);
}

// A minimised window shows its messages to nobody.
bool ChatWindows::ChatVisible(int chat) const {
  return windows_[chat]->isVisible() && !windows_[chat]->isMinimized();
}

// The window's flag change reaches UpdateTray, which minimises it when
// there is no tray.
void ChatWindows::SetNowy(int chat, bool nowy) { windows_[chat]->SetNowy(nowy); }

void ChatWindows::OpenChat(uint32_t number) { ShowChat(FindOrCreateChat(number)); }

void ChatWindows::ShowChat(int chat) {
  TFCzat* w = windows_[chat];
  w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
  w->show();
  w->raise();
  w->activateWindow();
}

void ChatWindows::MinimiseHiddenNew() {
  int waiting = 0;
  for (const TFCzat* w : windows_) waiting += w->Nowy() && w->isMinimized() && w->isVisible();
  for (TFCzat* w : windows_) {
    if (waiting >= kOnTaskBar) return;
    if (w->Nowy() && w->isHidden()) {
      w->showMinimized();
      ++waiting;
    }
  }
}

void ChatWindows::UpdateTray() {
  bool any = false;
  for (const TFCzat* w : windows_)
    if ((any = w->Nowy())) break;
  setup_.tray.SetAnimation(any);
  // A window read or closed makes room on the task bar for one waiting.
  if (!setup_.tray.Available()) MinimiseHiddenNew();
}

// Only the registry's own connections: the accessibility cache hears of the
// window's end through its destroyed(), and a cache that missed it would
// hand the dead window's interface to the next window at the same address.
void ChatWindows::Forget(TFCzat* window) {
  QObject::disconnect(window, &TFCzat::NowyChanged, window, nullptr);
  QObject::disconnect(window, &TFCzat::Closed, window, nullptr);
}

void ChatWindows::Closed(TFCzat* window) {
  const int tag = window->Tag;
  if (tag < 0 || tag >= Count() || windows_[tag] != window) return;
  windows_.erase(windows_.begin() + tag);
  strangers_ -= window->ForStranger;
  for (int i = tag; i < Count(); ++i) windows_[i]->Tag = i;
  // Freed once its own close has run to the end; its conversation goes with
  // it (the archive keeps it).
  Forget(window);
  window->Release();
  if (window->Nowy()) UpdateTray();
  if (onChanged_) onChanged_();
}

void ChatWindows::CloseAll() {
  std::vector<TFCzat*> windows;
  windows.swap(windows_);
  strangers_ = 0;
  // Each goes once no call of it is on the stack: one may be waiting in
  // its emoticon picker or size dialog under the loop that closes them.
  for (TFCzat* w : windows) {
    Forget(w);
    w->Release();
  }
  setup_.tray.SetAnimation(false);
  if (onChanged_) onChanged_();
}
