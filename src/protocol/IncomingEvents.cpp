#include "protocol/IncomingEvents.h"

#include <QDateTime>

#include "protocol/Balloon.h"
#include "protocol/ConnectionManager.h"
#include "protocol/Packets.h"
#include "protocol/Packets80.h"
#include "protocol/Session.h"
#include "protocol/StatusMap.h"

uint32_t IncomingEvents::SecondsNow() { return static_cast<uint32_t>(QDateTime::currentSecsSinceEpoch()); }

IncomingEvents::IncomingEvents(ConnectionManager& connection, Session& session, Services services,
                               LocalClock clock)
    : connection_(connection), session_(session), services_(services), clock_(std::move(clock)) {}

void IncomingEvents::DispatchPacket(uint32_t type, const std::string& payload) {
  // The two sessions give some types different meanings: a packet is read
  // only as the session of its connection.
  if (connection_.ConnectionProtocol() == Protocol::kGG8) {
    DispatchToday(type, payload);
    return;
  }
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

void IncomingEvents::DispatchToday(uint32_t type, const std::string& payload) {
  namespace in = gg80::in;
  switch (type) {
    case in::kWelcome:
      if (const auto seed = gg::ParseWelcome(payload)) session_.OnWelcome(*seed);
      break;
    case in::kLoginOk:
    case in::kLoginOkOld:
    case in::kNeedEmail:
      // Judged by the type alone: what the success packets carry is not known.
      if (connection_.State() == conn::kLaczenie) session_.OnLoginOk();
      break;
    case in::kLoginFailed:
    case in::kLoginFailed80:
    case in::kHashTypeInvalid:
      if (connection_.State() == conn::kLaczenie) session_.OnLoginFailed();
      break;
    case in::kSendAck:
      if (const auto ack = gg::ParseSendAck(payload)) Acknowledgement(*ack);
      break;
    case in::kRecvMsg:
      if (const auto m = gg80::ParseReceivedMessage(payload)) {
        // The acknowledgement the login promised goes out first: a box the
        // message brings must not hold it back.
        session_.SendReceiveAck(m->sequence);
        ReceivedMessage(gg::ReceivedMessage{m->sender, m->sequence, m->time, m->messageClass, m->text});
      }
      break;
    case in::kStatus:
    case in::kNotifyReply:
      for (const gg80::StatusEntry& e : gg80::ParseStatusEntries(payload)) {
        // Our own number is our own status, set by another session.
        if (e.number == connection_.OwnNumber()) continue;
        StatusEntry(gg::StatusEntry{e.number, e.code, e.description});
      }
      break;
    case in::kUserlistReply:
      if (userlist_) userlist_(payload);
      break;
    case in::kDisconnecting:
      connection_.SetAutoReconnect(false);  // the server closes the connection
      break;
    default:
      // Pong, the end of a not-available status, the list's version, typing,
      // XML notices, other sessions of ours, file offers: nothing the program
      // shows, skipped by their length.
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
    services_.archive.ArchiveMessage(m.sender, m.text, m.time);
    return;
  }
  int chat = chats.FindOrCreateChat(m.sender);
  chats.AddMessage(chat, m.text, m.time, delivery::kReceived);
  // Stamped as its chat shows it: with the time it was sent, also when it
  // waited on the server while the user was away.
  services_.archive.ArchiveMessage(m.sender, m.text, m.time);
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
  services_.archive.ArchiveMessage(recipient | kOwnMessageBit, text, 0);
}

void IncomingEvents::AbandonPending() {
  for (const PendingMessages::Message& m : session_.Pending().TakeAll())
    OwnMessage(m.recipient, m.text, delivery::kNotDelivered);
}
