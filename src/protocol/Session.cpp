#include "protocol/Session.h"

#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "protocol/LoginHash.h"
#include "protocol/Packets.h"

Session::Session(ConnectionManager& connection, ConnectionManager::Identity& identity)
    : connection_(connection), identity_(identity) {}

void Session::SendNewStatus(uint8_t statusIndex, bool invisible, const std::string& description) {
  connection_.Send(gg::BuildNewStatus(statusIndex, invisible, description));
}

void Session::SendChatMessage(uint32_t number, std::string text) {
  // What is kept for the acknowledgement is what went out.
  if (text.size() > gg::kMaxMessageText) text.resize(gg::kMaxMessageText);
  const uint32_t sequence = pending_.Allocate(text, number);
  connection_.Send(gg::BuildSendMessage(number, sequence, text));
}

void Session::SendNotifyList() {
  const std::vector<uint32_t> numbers = contacts_ ? contacts_() : std::vector<uint32_t>{};
  connection_.Send(numbers.empty() ? gg::BuildListEmpty() : gg::BuildNotifyList(numbers));
}

void Session::SendAddNotify(uint32_t number) { connection_.Send(gg::BuildAddNotify(number)); }

void Session::SendRemoveNotify(uint32_t number) { connection_.Send(gg::BuildRemoveNotify(number)); }

void Session::OnWelcome(uint32_t seed) {
  std::string password = password_ ? *password_ : std::string();
  if (password.empty() && prompt_) {
    // The prompt waits for the user while the connection lives on: when it
    // has ended meanwhile, or a reconnection made another, the answer
    // belongs to no welcome; the next welcome asks again.
    const uint64_t connection = connection_.ConnectionNumber();
    password = prompt_();
    if (connection_.ConnectionNumber() != connection || !connection_.HasSocket()) return;
  }
  gg::LoginFields f;
  f.number = identity_.OwnNumber();
  f.hash = LoginHash(password, seed);
  f.statusIndex = identity_.OwnStatus();
  f.description = identity_.Description();
  f.serverPort = connection_.ServerPort();
  connection_.Send(gg::BuildLogin(f));
}

void Session::OnLoginOk() {
  SendNotifyList();
  connection_.SetConnectionState(conn::kPolaczony);
  connection_.SetAutoReconnect(true);
}

void Session::OnLoginFailed() {
  connection_.SetAutoReconnect(false);
  MessageBox(T("Logowanie nie powiodło się."), kOstrzezenie);
}
