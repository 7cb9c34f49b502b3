#include "protocol/IncomingEvents.h"

#include <QDateTime>

#include "protocol/Balloon.h"
#include "protocol/ConnectionManager.h"
#include "protocol/Packets.h"
#include "protocol/Session.h"
#include "protocol/StatusMap.h"

uint32_t IncomingEvents::SecondsNow() { return static_cast<uint32_t>(QDateTime::currentSecsSinceEpoch()); }

IncomingEvents::IncomingEvents(ConnectionManager& connection, Session& session, Services services,
                               LocalClock clock)
    : connection_(connection), session_(session), services_(services), clock_(std::move(clock)) {}

void IncomingEvents::DispatchPacket(uint32_t type, const std::string& payload) {
  switch (type) {
    case gg::in::kWelcome:
      if (const auto seed = gg::ParseWelcome(payload)) session_.OnWelcome(*seed);
      break;
    case gg::in::kLoginOk:
    case gg::in::kLoginOk2:
      session_.OnLoginOk();
      break;
    case gg::in::kLoginFailed:
      session_.OnLoginFailed();
      break;
    case gg::in::kSendAck:
      if (const auto ack = gg::ParseSendAck(payload)) Acknowledgement(*ack);
      break;
    case gg::in::kRecvMsg:
      if (const auto message = gg::ParseReceivedMessage(payload)) ReceivedMessage(*message);
      break;
    case gg::in::kStatus:
      if (const auto entry = gg::ParseStatusChange(payload)) StatusEntry(*entry);
      break;
    case gg::in::kNotifyReply:
      for (const gg::StatusEntry& entry : gg::ParseNotifyReply(payload)) StatusEntry(entry);
      break;
    case gg::in::kUserlistReply:
      if (userlist_) userlist_(payload);
      break;
    case gg::in::kDisconnecting:
      connection_.SetAutoReconnect(false);  // the server closes the connection
      break;
    default:
      break;
  }
}

void IncomingEvents::StatusEntry(const gg::StatusEntry& entry) {
  const uint32_t number = entry.number & 0x00FFFFFFu;  // the top byte carries flags
  services_.contacts.ApplyStatus(number, status::IndexFromCode(entry.code), entry.description);
}

void IncomingEvents::ReceivedMessage(const gg::ReceivedMessage& m) {
  // No number has the top bit, which the archive reads as "the user's own":
  // such a message could only pass for one the user wrote.
  if (m.sender & kOwnMessageBit) return;
  Chats& chats = services_.chats;
  if (chats.FindChat(m.sender) < 0 && !chats.RoomForChat(m.sender)) {
    // No window for one more stranger: the archive keeps the message.
    services_.archive.ArchiveMessage(m.sender, m.text);
    return;
  }
  int chat = chats.FindOrCreateChat(m.sender);
  chats.AddMessage(chat, m.text, m.time, delivery::kReceived);
  services_.archive.ArchiveMessage(m.sender, m.text);
  // The archive reports a failure in a box, whose loop may have closed or
  // renumbered windows.
  chat = chats.FindChat(m.sender);
  if (chat < 0 || chats.ChatVisible(chat)) return;
  chats.SetNowy(chat, true);
  services_.sound.Play();
  services_.tray.ShowBalloon(BalloonTitle(services_.contacts.DisplayName(m.sender), m.sender),
                             BalloonText(m.text), Tray::BalloonIcon::kInformation, kBalloonMs);
}

void IncomingEvents::Acknowledgement(const gg::SendAck& ack) {
  const std::optional<std::string> text = session_.Pending().Take(ack.sequence);
  if (!text) return;  // nothing of ours, or acknowledged before
  const uint8_t state = ack.status == 2   ? delivery::kDelivered
                        : ack.status == 3 ? delivery::kQueued
                                          : delivery::kNotDelivered;
  OwnMessage(ack.recipient, *text, state);
}

void IncomingEvents::OwnMessage(uint32_t recipient, const std::string& text, uint8_t state) {
  // A window closed meanwhile gets no new one: the message is only archived,
  // so the archive holds every message the server took.
  const int chat = services_.chats.FindChat(recipient);
  if (chat >= 0) services_.chats.AddMessage(chat, text, clock_(), state);
  services_.archive.ArchiveMessage(recipient | kOwnMessageBit, text);
}

void IncomingEvents::AbandonPending() {
  for (const PendingMessages::Message& m : session_.Pending().TakeAll())
    OwnMessage(m.recipient, m.text, delivery::kNotDelivered);
}
