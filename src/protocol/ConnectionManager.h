#pragma once
// The one connection to a Gadu-Gadu server: the HTTP lookup of a server
// address, the socket, the connection state, automatic reconnection and the
// keep-alive ping. The main window shows what it is told through View and
// drives the timers; complete packets go to the packet handler.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/Socket.h"
#include "protocol/PacketCutter.h"

namespace conn {
constexpr uint8_t kNieSkonfigurowany = 255;
constexpr uint8_t kNiePolaczony = 0;
constexpr uint8_t kLaczenie = 1;
constexpr uint8_t kPolaczony = 2;
}  // namespace conn

// The session the program speaks: the 2005 one (a lookup, then plain TCP)
// or today's network (GG 8.0 inside TLS).
enum class Protocol { k2005, kGG8 };

// Who asked for a connection: a failed lookup is followed by a question
// unless the reconnection timer asked.
enum class Sender { Dialog, TimerUr, ButStatus };

// The server found by a lookup reply.
struct ServerAddress {
  std::string host;
  std::string port;
};

// What a lookup reply says, read from its first 100 bytes.
enum class LookupReply {
  kServer,       // "0", and host:port with a decimal port in the third field
  kUnavailable,  // a first byte other than "0": the network says it is down
  kNoAddress,    // "0", but no usable address ("0 0 notoperating" while the
                 // server is being serviced): a connection that fails
};
LookupReply ParseLookupReply(std::string_view body, ServerAddress& address);

// The servers of today's network, tried in turn: the network's own hosts on
// port 443 while the setting names the default, else the host (and port,
// 443 when none) it names.
std::vector<ServerAddress> TodaysServers(const std::string& setting);

// The Polish reason of a certificate that failed its check.
std::string CertificateReason(CertificateProblem problem);

class ConnectionManager {
 public:
  static constexpr const char* kDefaultLookupHost = "appmsg.gadu-gadu.pl";

  class View {
   public:
    virtual ~View() = default;
    virtual void ShowConnectionState(uint8_t state) = 0;
    virtual void ShowAutoReconnect(bool on) = 0;
  };

  // What the connection needs of the current identity.
  class Identity {
   public:
    virtual ~Identity() = default;
    virtual uint32_t OwnNumber() const = 0;
    virtual uint8_t OwnStatus() const = 0;
    virtual const std::string& Description() const = 0;
    virtual void SetOwnStatus(uint8_t statusIndex) = 0;
  };

  using PacketHandler = std::function<void(uint32_t type, const std::string& payload)>;

  ConnectionManager(NetFactory& net, View& view, Identity& identity);
  ~ConnectionManager();
  ConnectionManager(const ConnectionManager&) = delete;
  ConnectionManager& operator=(const ConnectionManager&) = delete;

  // host or host:port of the lookup service; in today's session the server
  // itself unless it is the default.
  void SetLookupHost(std::string host) { lookupHost_ = std::move(host); }
  std::string LookupUrl() const;
  // Takes effect at the next connection; the packets of one connection are
  // always read as the session it was made for.
  void SetProtocol(Protocol protocol) { protocol_ = protocol; }
  Protocol ChosenProtocol() const { return protocol_; }
  Protocol ConnectionProtocol() const { return connectionProtocol_; }
  // Certificates (PEM) trusted besides the system's, for a server of one's own.
  void SetTrustedCertificates(std::string pem) { trusted_ = std::move(pem); }

  void SetPacketHandler(PacketHandler handler) { onPacket_ = std::move(handler); }
  // Runs when a connection has ended, after the state became 0 (255 when no
  // identity is loaded any more): the contact
  // statuses are reset there, and a pending server-list request discarded.
  void SetOnConnectionEnded(std::function<void()> f) { onEnded_ = std::move(f); }

  uint8_t State() const { return state_; }
  uint32_t OwnNumber() const { return identity_.OwnNumber(); }
  // Counts the connections made: a handler that ran a modal loop compares
  // it before and after, and drops what belonged to a connection that has
  // ended meanwhile.
  uint64_t ConnectionNumber() const { return connectionNumber_; }
  void SetConnectionState(uint8_t state);
  bool AutoReconnect() const { return autoReconnect_; }
  void SetAutoReconnect(bool on);

  // The state indicator was pressed: with the left button it disconnects
  // when connected and connects when not connected; otherwise nothing.
  void DialogMouseDown(Sender sender, bool leftButton);
  void NaTajmerMouseDown() { SetAutoReconnect(!autoReconnect_); }
  void TimerUrTimer();
  void Timer1Timer();

  // Hands a whole packet to the socket; without a socket it is dropped.
  void Send(std::string_view packet);
  // The port of the server in use, for the login packet.
  uint16_t ServerPort() const;
  bool HasSocket() const { return socket_ != nullptr; }
  // Closes the socket; the end of the connection follows as an event.
  void CloseSocket();
  // Lets queued packets leave before the process ends.
  void Flush();

 private:
  void Connect(Sender sender);
  void ConnectToday();
  void OpenSocket(const ServerAddress& server, bool tls);
  void Disconnect();
  void OnDataAvailable();
  void OnSessionClosed();

  NetFactory& net_;
  View& view_;
  Identity& identity_;
  std::string lookupHost_ = kDefaultLookupHost;
  PacketHandler onPacket_;
  std::function<void()> onEnded_;

  uint8_t state_ = conn::kNieSkonfigurowany;
  bool autoReconnect_ = false;
  Socket* socket_ = nullptr;
  uint64_t connectionNumber_ = 0;
  PacketCutter cutter_;
  bool dispatching_ = false;

  Protocol protocol_ = Protocol::k2005;
  Protocol connectionProtocol_ = Protocol::k2005;
  std::string trusted_;
  // Today's servers: the one to try next, how many failed in a row without
  // an answer, and whether the current connection has had one.
  size_t nextServer_ = 0;
  size_t serversFailed_ = 0;
  bool answered_ = false;
  std::string currentHost_;
  std::optional<CertificateProblem> certificateProblem_;
};
