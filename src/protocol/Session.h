#pragma once
// What the client tells the server once a connection stands, and the login
// that makes it stand: the own status, chat messages through the pending
// table, the watched numbers, and the answer to the server's welcome.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "protocol/ConnectionManager.h"
#include "protocol/PendingMessages.h"

class Session {
 public:
  // The numbers of the contact store in storage order (not display order).
  using ContactNumbers = std::function<std::vector<uint32_t>()>;
  // Asks the user for the password of an identity that has none stored;
  // the answer is used for one login and never kept.
  using PasswordPrompt = std::function<std::string()>;

  Session(ConnectionManager& connection, ConnectionManager::Identity& identity);

  void SetContactNumbers(ContactNumbers f) { contacts_ = std::move(f); }
  void SetPasswordPrompt(PasswordPrompt f) { prompt_ = std::move(f); }
  void SetPassword(const std::string* password) { password_ = password; }

  void SendNewStatus(uint8_t statusIndex, bool invisible, const std::string& description);
  void SendChatMessage(uint32_t number, std::string text);
  void SendNotifyList();
  void SendAddNotify(uint32_t number);
  void SendRemoveNotify(uint32_t number);
  // Today's network: a received message is acknowledged, as the login
  // promised.
  void SendReceiveAck(uint32_t sequence);
  // Whether the connection speaks today's network.
  bool Today() const;

  // What a message of today's network may take as the program holds it
  // (wide marks included); the network's own limit is in characters.
  static constexpr size_t kMaxMessageBytesToday = 16000;
  // The clock, seconds since 1970 UTC, for today's sequence numbers.
  void SetClock(std::function<uint32_t()> clock) { clock_ = std::move(clock); }

  // The server's welcome: hash the password with the seed and log in.
  void OnWelcome(uint32_t seed);
  void OnLoginOk();
  void OnLoginFailed();

  PendingMessages& Pending() { return pending_; }

 private:
  ConnectionManager& connection_;
  ConnectionManager::Identity& identity_;
  const std::string* password_ = nullptr;
  ContactNumbers contacts_;
  PasswordPrompt prompt_;
  PendingMessages pending_;
  std::function<uint32_t()> clock_ = [] { return 0u; };
};
