#include "protocol/Session.h"

#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "protocol/LoginHash.h"
#include "protocol/Packets.h"
#include "protocol/Packets80.h"

Session::Session(ConnectionManager& connection, ConnectionManager::Identity& identity)
    : connection_(connection), identity_(identity) {}

bool Session::Today() const { return connection_.ConnectionProtocol() == Protocol::kGG8; }

void Session::SendNewStatus(uint8_t statusIndex, bool invisible, const std::string& description) {
  connection_.Send(Today() ? gg80::BuildNewStatus(statusIndex, invisible, description)
                           : gg::BuildNewStatus(statusIndex, invisible, description));
}

void Session::SendChatMessage(uint32_t number, std::string text) {
  // What is kept for the acknowledgement is what went out, cut between
  // characters.
  text.resize(cp1250::cutBefore(text, Today() ? kMaxMessageBytesToday : gg::kMaxMessageText));
  if (!Today()) {
    const uint32_t sequence = pending_.Allocate(text, number);
    connection_.Send(gg::BuildSendMessage(number, sequence, text));
    return;
  }
  // Today's network counts its sequence numbers in seconds of the clock;
  // the table keeps them unique within a second.
  const uint32_t sequence = pending_.Allocate(text, number, clock_());
  connection_.Send(gg80::BuildSendMessage(number, sequence, text));
}

void Session::SendNotifyList() {
  const std::vector<uint32_t> numbers = contacts_ ? contacts_() : std::vector<uint32_t>{};
  if (Today())
    connection_.Send(gg80::BuildNotifyList(numbers));
  else
    connection_.Send(numbers.empty() ? gg::BuildListEmpty() : gg::BuildNotifyList(numbers));
}

void Session::SendAddNotify(uint32_t number) {
  connection_.Send(Today() ? gg80::BuildAddNotify(number) : gg::BuildAddNotify(number));
}

void Session::SendRemoveNotify(uint32_t number) {
  connection_.Send(Today() ? gg80::BuildRemoveNotify(number) : gg::BuildRemoveNotify(number));
}

void Session::SendReceiveAck(uint32_t sequence) { connection_.Send(gg80::BuildRecvMsgAck(sequence)); }

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
  if (Today()) {
    gg80::LoginFields f;
    f.number = identity_.OwnNumber();
    f.hash = LoginHashSha1(password, seed);
    f.statusIndex = identity_.OwnStatus();
    f.description = identity_.Description();
    connection_.Send(gg80::BuildLogin(f));
    return;
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
