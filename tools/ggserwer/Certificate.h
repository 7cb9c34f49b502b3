#pragma once

#include <QByteArray>

namespace ggserwer {

// A key and a certificate signed by that key, both PEM, made fresh: valid from
// a day ago for a year, for CN=127.0.0.1 with the alternative names
// IP:127.0.0.1 and DNS:localhost, so that a client that trusts it passes the
// host-name check against the loopback address. Empty on failure.
struct Certificate {
  QByteArray certificatePem;
  QByteArray keyPem;

  static Certificate makeSelfSigned();
};

}  // namespace ggserwer
