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

int ChatWindows::FindOrCreateChat(uint32_t number) {
  const int found = FindChat(number);
  if (found >= 0) return found;
  auto* w = new TFCzat(number, setup_.shell, setup_.programDir, setup_.timeBias, setup_.outgoing);
  w->Tag = Count();
  windows_.push_back(w);
  w->setWindowTitle(cp1250::toQString(Caption(setup_.names ? setup_.names(number) : std::nullopt, number)));
  QRandomGenerator& random = *QRandomGenerator::global();
  w->move(50 + random.bounded(250), 50 + random.bounded(200));
  QObject::connect(w, &TFCzat::NowyChanged, w, [this] { UpdateTray(); });
  QObject::connect(w, &TFCzat::Closed, w, [this](TFCzat* closed) { Closed(closed); });
  if (onChanged_) onChanged_();
  return w->Tag;
}

void ChatWindows::AddMessage(int chat, const std::string& text, uint32_t time, uint8_t state) {
  windows_[chat]->Rozmowa->AddMessage(text, time, state);
}

bool ChatWindows::ChatVisible(int chat) const { return windows_[chat]->isVisible(); }

void ChatWindows::SetNowy(int chat, bool nowy) { windows_[chat]->SetNowy(nowy); }

void ChatWindows::OpenChat(uint32_t number) {
  TFCzat* w = windows_[FindOrCreateChat(number)];
  if (!w->isVisible()) w->show();
  w->raise();
  w->activateWindow();
}

void ChatWindows::UpdateTray() {
  bool any = false;
  for (const TFCzat* w : windows_)
    if ((any = w->Nowy())) break;
  setup_.tray.SetAnimation(any);
}

void ChatWindows::Closed(TFCzat* window) {
  const int tag = window->Tag;
  if (tag < 0 || tag >= Count() || windows_[tag] != window) return;
  windows_.erase(windows_.begin() + tag);
  for (int i = tag; i < Count(); ++i) windows_[i]->Tag = i;
  // Freed once its own close has run to the end; its conversation goes with
  // it (the archive keeps it).
  window->disconnect();
  window->deleteLater();
  if (window->Nowy()) UpdateTray();
  if (onChanged_) onChanged_();
}

void ChatWindows::CloseAll() {
  std::vector<TFCzat*> windows;
  windows.swap(windows_);
  for (TFCzat* w : windows) delete w;
  setup_.tray.SetAnimation(false);
  if (onChanged_) onChanged_();
}
