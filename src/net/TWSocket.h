#pragma once
#include <QObject>
#include <QTcpSocket>

#include "net/Socket.h"

class TWSocket final : public QObject, public Socket {
  Q_OBJECT
 public:
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

  QTcpSocket socket_;
  bool started_ = false;
  bool closedReported_ = false;
};
