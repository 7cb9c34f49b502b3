#include "protocol/ConnectionManager.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "protocol/Packets.h"
#include "protocol/Packets80.h"

namespace {

const std::string& LookupFailedQuestion() {
  static const std::string t =
      T("Próba połączenia nie powiodła się. Czy chcesz spróbować ponownie?");
  return t;
}

const std::string& ServerUnavailable() {
  static const std::string t = T("Serwer GG jest aktualnie niedostępny.");
  return t;
}

bool IsDecimalPort(std::string_view text) {
  unsigned port = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
  return ec == std::errc() && end == text.data() + text.size() && port >= 1 && port <= 65535;
}

}  // namespace

LookupReply ParseLookupReply(std::string_view body, ServerAddress& address) {
  // The reply is read into 100 bytes padded with spaces.
  std::string buffer(100, ' ');
  std::copy_n(body.begin(), std::min<size_t>(body.size(), 100), buffer.begin());
  if (buffer[0] != '0') return LookupReply::kUnavailable;

  const size_t first = buffer.find(' ');
  const size_t second = first == std::string::npos ? first : buffer.find(' ', first + 1);
  if (second == std::string::npos) return LookupReply::kNoAddress;
  std::string_view field(buffer);
  field = field.substr(second + 1);
  // A field ends at the next space; a line end also ends it.
  field = field.substr(0, field.find_first_of(std::string_view(" \r\n\0", 4)));

  const size_t colon = field.find(':');
  if (colon == std::string_view::npos || colon == 0) return LookupReply::kNoAddress;
  const std::string_view port = field.substr(colon + 1);
  if (!IsDecimalPort(port)) return LookupReply::kNoAddress;
  address.host = std::string(field.substr(0, colon));
  address.port = std::string(port);
  return LookupReply::kServer;
}

std::vector<ServerAddress> TodaysServers(const std::string& setting) {
  std::vector<ServerAddress> servers;
  if (setting.empty() || setting == ConnectionManager::kDefaultLookupHost) {
    for (int n = 10; n <= 18; ++n)
      servers.push_back({"ggproxy-secure-" + std::to_string(n) + ".gadu-gadu.pl", "443"});
    return servers;
  }
  const size_t colon = setting.rfind(':');
  if (colon != std::string::npos && IsDecimalPort(std::string_view(setting).substr(colon + 1)))
    servers.push_back({setting.substr(0, colon), setting.substr(colon + 1)});
  else
    servers.push_back({setting, "443"});
  return servers;
}

std::string CertificateReason(CertificateProblem problem) {
  switch (problem) {
    case CertificateProblem::kUntrusted: return T("nie został wystawiony przez zaufany urząd");
    case CertificateProblem::kHostName: return T("został wystawiony dla innej nazwy");
    case CertificateProblem::kExpired: return T("wygasł");
    case CertificateProblem::kNotYetValid: return T("nie jest jeszcze ważny");
    case CertificateProblem::kRevoked: return T("został unieważniony");
    case CertificateProblem::kOther: break;
  }
  return T("jest nieprawidłowy");
}

ConnectionManager::ConnectionManager(NetFactory& net, View& view, Identity& identity)
    : net_(net), view_(view), identity_(identity) {}

ConnectionManager::~ConnectionManager() {
  if (socket_) socket_->Release();
}

std::string ConnectionManager::LookupUrl() const {
  return lookupHost_ + "/appsvc/appmsg4.asp?fmnumber=" + std::to_string(identity_.OwnNumber()) +
         "&version=6,0,0,147&lastmsg=0";
}

void ConnectionManager::SetConnectionState(uint8_t state) {
  if (state == state_) return;
  state_ = state;
  view_.ShowConnectionState(state);
}

void ConnectionManager::SetAutoReconnect(bool on) {
  autoReconnect_ = on;
  view_.ShowAutoReconnect(on);
}

void ConnectionManager::DialogMouseDown(Sender sender, bool leftButton) {
  if (!leftButton) return;
  if (state_ == conn::kPolaczony)
    Disconnect();
  else if (state_ == conn::kNiePolaczony)
    Connect(sender);
}

void ConnectionManager::TimerUrTimer() {
  if (state_ == conn::kNiePolaczony) DialogMouseDown(Sender::TimerUr, true);
}

void ConnectionManager::Timer1Timer() {
  if (state_ == conn::kPolaczony) Send(gg::BuildPing());
}

void ConnectionManager::Connect(Sender sender) {
  if (protocol_ == Protocol::kGG8) {
    serversFailed_ = 0;
    ConnectToday();
    return;
  }
  for (;;) {
    SetConnectionState(conn::kLaczenie);
    std::string body;
    try {
      body = net_.NewHttpClient()->Get(LookupUrl());
    } catch (const HttpError&) {
      SetConnectionState(conn::kNiePolaczony);
      if (sender == Sender::TimerUr) return;  // the timer tries again
      SetAutoReconnect(false);
      if (MessageBox(LookupFailedQuestion(), kPytanie)) continue;
      return;
    }

    ServerAddress server;
    const LookupReply reply = ParseLookupReply(body, server);
    if (reply == LookupReply::kUnavailable) {
      SetAutoReconnect(false);
      MessageBox(ServerUnavailable(), kOstrzezenie);
      SetConnectionState(conn::kNiePolaczony);
      return;
    }
    if (reply == LookupReply::kNoAddress) {
      // Nothing to connect to: the attempt fails as a connection does, with
      // no box, and automatic reconnection tries again while it is on.
      SetConnectionState(conn::kNiePolaczony);
      return;
    }

    // A lookup that ran while something else opened a socket (it pumps
    // events) must not leave two connections.
    if (socket_ || state_ != conn::kLaczenie) return;
    connectionProtocol_ = Protocol::k2005;
    OpenSocket(server, false);
    return;
  }
}

void ConnectionManager::ConnectToday() {
  // No lookup: today's servers are known by name and answer on 443.
  const std::vector<ServerAddress> servers = TodaysServers(lookupHost_);
  SetConnectionState(conn::kLaczenie);
  if (socket_) return;
  connectionProtocol_ = Protocol::kGG8;
  OpenSocket(servers[nextServer_ % servers.size()], true);
}

void ConnectionManager::OpenSocket(const ServerAddress& server, bool tls) {
  cutter_.clear();
  ++connectionNumber_;
  answered_ = false;
  certificateProblem_.reset();
  currentHost_ = server.host;
  socket_ = net_.NewSocket();
  socket_->OnDataAvailable = [this] { OnDataAvailable(); };
  socket_->OnSessionClosed = [this] { OnSessionClosed(); };
  socket_->OnError = [this] { CloseSocket(); };
  socket_->OnCertificateRefused = [this](CertificateProblem p) { certificateProblem_ = p; };
  socket_->FlushTimeout = 100;
  socket_->Addr = server.host;
  socket_->Port = server.port;
  socket_->Tls = tls;
  if (tls) socket_->TrustedCertificates = trusted_;
  socket_->Connect();
}

void ConnectionManager::Disconnect() {
  const uint8_t withDescription = identity_.OwnStatus() & 1;
  SetAutoReconnect(false);
  Send(connectionProtocol_ == Protocol::kGG8
           ? gg80::BuildNewStatus(withDescription, false, identity_.Description())
           : gg::BuildNewStatus(withDescription, false, identity_.Description()));
  identity_.SetOwnStatus(withDescription);
  CloseSocket();
}

void ConnectionManager::Send(std::string_view packet) {
  if (socket_) socket_->Send(packet);
}

uint16_t ConnectionManager::ServerPort() const { return socket_ ? socket_->PortNum() : 0; }

void ConnectionManager::CloseSocket() {
  if (socket_) socket_->Close();
}

void ConnectionManager::Flush() {
  if (socket_) socket_->Flush(1000);
}

void ConnectionManager::OnDataAvailable() {
  // A handler may run a modal loop (the password prompt, a box) in which
  // more data arrives. Nothing is read there: the stream waits in the
  // socket, whose buffer is capped, so that the server is held back however
  // long the box stays open, and this loop reads on, in order, once the
  // handler has returned. When the connection was replaced meanwhile (a
  // reconnection inside the loop), the loop goes on with the new one; the
  // cutter was emptied for it.
  if (!socket_ || dispatching_) return;
  answered_ = true;
  cutter_.feed(socket_->ReceiveStr());
  dispatching_ = true;
  PacketCutter::Packet packet;
  std::string payload;
  for (;;) {
    const PacketCutter::Result r = cutter_.next(packet);
    if (r == PacketCutter::Result::NeedMore) {
      std::string more = socket_->ReceiveStr();
      if (more.empty()) break;
      cutter_.feed(std::move(more));
      continue;
    }
    if (r == PacketCutter::Result::Oversized) {
      // No packet of the network is this long: the stream cannot be followed
      // any more. The cutter ignores whatever still arrives until the end.
      CloseSocket();
      break;
    }
    payload.assign(packet.payload);  // the view dies with the next feed
    if (onPacket_) onPacket_(packet.type, payload);
    if (!socket_) break;
  }
  dispatching_ = false;
}

void ConnectionManager::OnSessionClosed() {
  if (socket_) {
    socket_->Release();
    socket_ = nullptr;
  }
  cutter_.clear();
  const bool wasConnecting = state_ == conn::kLaczenie;
  // A switch of identities closes the socket and unloads at once; its close
  // arrives later and finds no identity, which stays "not configured".
  SetConnectionState(identity_.OwnNumber() == 0 ? conn::kNieSkonfigurowany : conn::kNiePolaczony);
  if (onEnded_) onEnded_();
  if (connectionProtocol_ != Protocol::kGG8 || identity_.OwnNumber() == 0) return;

  if (certificateProblem_) {
    // No login goes to a server that could not prove who it is, and no
    // reconnection either, until the user connects again.
    const CertificateProblem problem = *certificateProblem_;
    certificateProblem_.reset();
    SetAutoReconnect(false);
    MessageBox(T("Certyfikat serwera ") + currentHost_ + " " + CertificateReason(problem) +
                   T(". Połączenie zostało przerwane."),
               kOstrzezenie);
    return;
  }
  // A server that took no part in the connection: the next one is tried,
  // each at most once in a row; then automatic reconnection takes over.
  if (!wasConnecting || answered_ || protocol_ != Protocol::kGG8) return;
  const size_t count = TodaysServers(lookupHost_).size();
  ++nextServer_;
  if (++serversFailed_ >= count) return;
  ConnectToday();
}
