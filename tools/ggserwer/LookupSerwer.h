#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

namespace ggserwer {

// How the server lookup answers.
enum class LookupMode {
  Normal,        // "0 0 127.0.0.1:PORT 127.0.0.1"
  Unavailable,   // "1 0 127.0.0.1:PORT 127.0.0.1": the first byte is not 0
  NotOperating,  // "0 0 notoperating 127.0.0.1": no address, while the server is serviced
  Http503,       // HTTP 503 Service Unavailable
  Close,         // the connection is closed without a reply
  Custom,        // the body given by setLookupBody
};

// A minimal HTTP/1.x responder for the server lookup: one GET per connection,
// answered with a plain-text body and closed.
class LookupSerwer : public QObject {
  Q_OBJECT
 public:
  explicit LookupSerwer(QObject* parent = nullptr);
  ~LookupSerwer() override;

  bool listen(quint16 port = 0);
  void close();
  quint16 port() const;

  void setGgPort(quint16 port) { ggPort_ = port; }
  void setMode(LookupMode mode) { mode_ = mode; }
  LookupMode mode() const { return mode_; }
  void setBody(const QByteArray& body) { body_ = body; mode_ = LookupMode::Custom; }
  // The body that Normal, Unavailable, NotOperating or Custom send now.
  QByteArray body() const;

  // Request target (path and query) of every request, in arrival order.
  const QList<QByteArray>& targets() const { return targets_; }

 signals:
  void requested(const QByteArray& target);

 private:
  void onNewConnection();
  void onReadyRead(QTcpSocket* socket);
  void answer(QTcpSocket* socket, const QByteArray& target);

  QTcpServer server_;
  quint16 ggPort_ = 0;
  LookupMode mode_ = LookupMode::Normal;
  QByteArray body_;
  QList<QByteArray> targets_;
  QHash<QTcpSocket*, QByteArray> pending_;
};

}  // namespace ggserwer
