#pragma once
// The transport the protocol client relies on: an event-driven TCP socket, a
// synchronous HTTP GET, and a factory so that tests can hand in their own.

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

// Why a server's certificate was not accepted.
enum class CertificateProblem { kUntrusted, kHostName, kExpired, kNotYetValid, kRevoked, kOther };

class Socket {
 public:
  virtual ~Socket() = default;

  std::string Addr;       // host: a dotted address or a name
  std::string Port;       // decimal text
  int FlushTimeout = 0;   // ms a close waits for queued bytes to leave
  // Encrypted: TLS 1.2 or later, the certificate checked against the
  // system's authorities and these (PEM) and against Addr. A certificate
  // that fails is never overridden: OnCertificateRefused, then the close.
  bool Tls = false;
  std::string TrustedCertificates;

  // Events arrive on the user-interface thread. A failed connect and a
  // connection ended by either side both end in OnSessionClosed, once.
  std::function<void()> OnDataAvailable;
  std::function<void()> OnSessionClosed;
  std::function<void()> OnError;
  std::function<void(CertificateProblem)> OnCertificateRefused;

  virtual void Connect() = 0;
  // Queues the whole buffer for sending, in order; never waits.
  virtual void Send(std::string_view bytes) = 0;
  // Everything received and not read yet; possibly empty.
  virtual std::string ReceiveStr() = 0;
  virtual void Close() = 0;
  // Waits up to timeoutMs for queued bytes to leave: used only when the
  // program ends, so that its last status reaches the server.
  virtual void Flush(int timeoutMs) = 0;
  // Frees the socket after the current event has returned; no event follows.
  virtual void Release() = 0;
  // The server's port, once connected.
  virtual uint16_t PortNum() const = 0;
};

struct HttpError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // Performs the request and returns only when it has finished, the body in
  // hand. Timer and socket events are still delivered meanwhile. Any failure
  // throws HttpError.
  virtual std::string Get(const std::string& url) = 0;
};

class NetFactory {
 public:
  virtual ~NetFactory() = default;
  virtual Socket* NewSocket() = 0;  // freed by its Release()
  virtual std::unique_ptr<HttpClient> NewHttpClient() = 0;
};

// The real transport over Qt Network.
NetFactory& QtNet();
