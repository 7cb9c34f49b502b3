#pragma once
#include <QNetworkAccessManager>

#include "net/Socket.h"

// A synchronous GET: runs a nested event loop until the reply is complete,
// so timers and sockets keep working while the lookup waits.
class THttpCli final : public HttpClient {
 public:
  static constexpr int kTimeoutMs = 15000;
  // The lookup reply is a line; a body larger than this is not one.
  static constexpr qint64 kMaxBody = 64 * 1024;

  std::string Get(const std::string& url) override;

  // "http://" is put in front of a URL that has no scheme.
  static QString WithScheme(const std::string& url);

 private:
  QNetworkAccessManager manager_;
};
