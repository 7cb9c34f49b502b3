#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "protocol/ConnectionManager.h"
#include "protocol/Packets.h"

// A connection manager's world reduced to one socket that records what is
// sent, a lookup that always names 10.0.0.1:8074, no view, and an identity
// of the test's own.
namespace one_socket {

struct RecordingSocket : Socket {
  std::string sent;
  void Connect() override {}
  void Send(std::string_view b) override { sent.append(b); }
  std::string ReceiveStr() override { return {}; }
  void Close() override {}
  void Flush(int) override {}
  void Release() override {}
  uint16_t PortNum() const override { return 8074; }
};

struct OneSocketNet : NetFactory {
  RecordingSocket socket;
  struct Http : HttpClient {
    std::string Get(const std::string&) override { return "0 0 10.0.0.1:8074 10.0.0.1"; }
  };
  Socket* NewSocket() override { return &socket; }
  std::unique_ptr<HttpClient> NewHttpClient() override { return std::make_unique<Http>(); }
};

struct NoView : ConnectionManager::View {
  void ShowConnectionState(uint8_t) override {}
  void ShowAutoReconnect(bool) override {}
};

struct Me : ConnectionManager::Identity {
  uint32_t number = 1234;
  uint8_t status = 2;
  std::string description;
  uint32_t OwnNumber() const override { return number; }
  uint8_t OwnStatus() const override { return status; }
  const std::string& Description() const override { return description; }
  void SetOwnStatus(uint8_t s) override { status = s; }
};

// Four bytes, least significant first.
inline std::string Le32(uint32_t v) {
  std::string b;
  gg::AppendLe32(b, v);
  return b;
}

}  // namespace one_socket
