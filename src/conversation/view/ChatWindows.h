#pragma once
// The chat window registry: every open chat window in order of creation,
// entry i with Tag i, found again by its partner's number. Windows are made
// hidden, on demand, and kept until they are closed or the identity is
// unloaded. The registry also keeps the tray's animation in step with the
// windows' new-message flags and tells its owner whenever the list of
// windows changes (the tray menu lists them). Where the desktop has no tray,
// nothing is left hidden that only the tray could bring back: a window
// taking a new message while hidden is minimised, and the windows' hide
// buttons minimise. A server writing from thousands of numbers would then
// fill the task bar with as many windows, so at most kOnTaskBar wait there
// at a time; the others wait hidden, marked new, and follow one by one as
// those are read or closed.

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "conversation/view/TFCzat.h"
#include "protocol/IncomingEvents.h"

class ShellOpen;
class Tray;

class ChatWindows : public IncomingEvents::Chats {
 public:
  // The display name of a contact; nothing for a stranger.
  using NameLookup = std::function<std::optional<std::string>(uint32_t number)>;

  struct Setup {
    ShellOpen& shell;
    QString programDir;
    NameLookup names;
    TFCzat::Outgoing& outgoing;
    Tray& tray;
  };

  explicit ChatWindows(Setup setup);
  ~ChatWindows() override;
  ChatWindows(const ChatWindows&) = delete;
  ChatWindows& operator=(const ChatWindows&) = delete;

  // The registry index of number's window, created (hidden, with its caption
  // and a random place) when there is none.
  int FindOrCreateChat(uint32_t number) override;
  int FindChat(uint32_t number) const override;
  // Strangers' windows made for their messages: at most this many are open
  // at once; a further stranger's message only goes to the archive, until
  // the user closes some of them.
  static constexpr int kMaxStrangerChats = 100;
  bool RoomForChat(uint32_t number) const override;
  void AddMessage(int chat, const std::string& text, uint32_t time, uint8_t state) override;
  bool ChatVisible(int chat) const override;
  void SetNowy(int chat, bool nowy) override;

  // A double-click on a contact or a knock: the window found or made, then
  // brought to the front when visible, or shown.
  void OpenChat(uint32_t number);
  // The tray menu's chat item: the window to the front, shown when hidden.
  void ShowChat(int chat);
  // Without a tray, windows holding a new message that only its menu would
  // bring back are minimised instead, up to kOnTaskBar unread at a time.
  static constexpr int kOnTaskBar = 8;
  void MinimiseHiddenNew();

  int Count() const { return static_cast<int>(windows_.size()); }
  TFCzat* At(int chat) const { return windows_[chat]; }

  // Closes and frees every window (the identity is unloaded).
  void CloseAll();

  // Runs whenever a window was added or closed.
  void SetOnChanged(std::function<void()> f) { onChanged_ = std::move(f); }

  // "%s (nr %d)" with the contact's name, or "Nieznajomy" for a stranger.
  static std::string Caption(const std::optional<std::string>& name, uint32_t number);

 private:
  void Closed(TFCzat* window);
  // Drops the connections FindOrCreateChat made to a window that leaves.
  static void Forget(TFCzat* window);
  // The animation runs while any window holds a new message.
  void UpdateTray();

  Setup setup_;
  std::vector<TFCzat*> windows_;  // owned
  int strangers_ = 0;             // of them, made for strangers
  std::function<void()> onChanged_;
};
