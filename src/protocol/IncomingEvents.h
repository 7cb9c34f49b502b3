#pragma once
// What the server's packets do to the program: every complete packet cut
// from the stream is dispatched here. Status notices reach the contacts,
// received messages their chat window, the archive and, for a hidden window,
// the sound and the tray; acknowledgements show and archive the user's own
// messages with their delivery state; the login packets go to the session.
//
// It reaches the rest of the program only through the narrow interfaces
// below, so that it runs the same with windows and with a test's fakes.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/Sound.h"
#include "platform/Tray.h"

class ConnectionManager;
class Session;

namespace gg {
struct ReceivedMessage;
struct SendAck;
struct StatusEntry;
}  // namespace gg

// What became of a message, as its conversation view shows it.
namespace delivery {
constexpr uint8_t kReceived = 0;
constexpr uint8_t kDelivered = 1;
constexpr uint8_t kQueued = 2;
constexpr uint8_t kNotDelivered = 3;
}  // namespace delivery

// Top bit of an archived number: the user's own message to that partner.
inline constexpr uint32_t kOwnMessageBit = 0x80000000u;

class IncomingEvents {
 public:
  // The contact list.
  class Roster {
   public:
    virtual ~Roster() = default;
    // A status notice, the wire's code already mapped to a status index: a
    // contact takes it, a stranger's number goes on the knock list.
    virtual void ApplyStatus(uint32_t number, uint8_t statusIndex, const std::string& description) = 0;
    // The contact's display name; nothing for a stranger.
    virtual std::optional<std::string> DisplayName(uint32_t number) const = 0;
  };

  // The chat windows, by their index in the registry.
  class Chats {
   public:
    virtual ~Chats() = default;
    // The partner's window, created hidden when there is none.
    virtual int FindOrCreateChat(uint32_t number) = 0;
    // The partner's window, or -1; nothing is created.
    virtual int FindChat(uint32_t number) const = 0;
    // Whether a message from number that has no window may get one: a
    // contact always does, strangers only up to a limit, so that a server
    // writing from thousands of numbers cannot make as many windows.
    virtual bool RoomForChat(uint32_t number) const = 0;
    virtual void AddMessage(int chat, const std::string& text, uint32_t time, uint8_t state) = 0;
    virtual bool ChatVisible(int chat) const = 0;
    // The window holds a message the user has not seen.
    virtual void SetNowy(int chat, bool nowy) = 0;
  };

  class ArchiveSink {
   public:
    virtual ~ArchiveSink() = default;
    // number with kOwnMessageBit set: the user's own message to that partner.
    // time: when it was sent, seconds since 1970 UTC; 0 for now.
    virtual void ArchiveMessage(uint32_t number, const std::string& text, uint32_t time) = 0;
  };

  struct Services {
    Roster& contacts;
    Chats& chats;
    ArchiveSink& archive;
    NotifySound& sound;
    Tray& tray;
  };

  // The clock now as seconds since 1970 UTC: the time own messages are
  // shown with. The view reads it on the machine's clock, as it reads the
  // sender's stamp of a received message.
  using LocalClock = std::function<uint32_t()>;
  static uint32_t SecondsNow();

  // The server's reply to a contact-list request, handed on whole.
  using UserlistHandler = std::function<void(const std::string& payload)>;

  static constexpr int kBalloonMs = 10000;

  IncomingEvents(ConnectionManager& connection, Session& session, Services services,
                 LocalClock clock = &SecondsNow);

  void SetUserlistHandler(UserlistHandler handler) { userlist_ = std::move(handler); }

  void DispatchPacket(uint32_t type, const std::string& payload);

  // The connection has ended (or is being closed by us): no acknowledgement
  // will come for what is still pending. Each such message is shown in its
  // open chat window as not delivered and archived as sent, and the table
  // starts empty for the next connection.
  void AbandonPending();

 private:
  void DispatchToday(uint32_t type, const std::string& payload);
  void StatusEntry(const gg::StatusEntry& entry);
  void ReceivedMessage(const gg::ReceivedMessage& message);
  void Acknowledgement(const gg::SendAck& ack);
  // Shows an own message in its partner's open window, if any, and archives
  // it whether or not the window is still there.
  void OwnMessage(uint32_t recipient, const std::string& text, uint8_t state);

  ConnectionManager& connection_;
  Session& session_;
  Services services_;
  LocalClock clock_;
  UserlistHandler userlist_;
};
