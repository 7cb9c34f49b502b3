#pragma once
#include <QObject>
#include <QList>
#include <QSslCertificate>
#include <QSslSocket>

#include "net/Socket.h"
#include "platform/DeferredRelease.h"

class TWSocket final : public QObject, public Socket {
  Q_OBJECT
 public:
  // What Qt keeps of the stream before the owner reads it. While the owner
  // does not read (a box its data handler opened waits for a click), the
  // kernel's flow control holds the server back beyond this.
  static constexpr qint64 kReadBuffer = 64 * 1024;

  TWSocket();
  ~TWSocket() override;

  void Connect() override;
  void Send(std::string_view bytes) override;
  std::string ReceiveStr() override;
  void Close() override;
  void Flush(int timeoutMs) override;
  void Release() override;
  uint16_t PortNum() const override;

 private:
  void onStateChanged(QAbstractSocket::SocketState state);
  void reportClosed();
  void onSslErrors(const QList<QSslError>& errors);
  // Runs one of the owner's handlers, which may release the socket or open
  // a modal loop in which it is released: the socket stays until the
  // outermost handler has returned.
  void CallOwner(const std::function<void()>& handler);

  // Plain TCP unless Tls was asked for.
  QSslSocket socket_;
  DeferredRelease release_{*this};
  bool started_ = false;
  bool closedReported_ = false;
  bool certificateReported_ = false;
  QList<QSslCertificate> trusted_;
};
