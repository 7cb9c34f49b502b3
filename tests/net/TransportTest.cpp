#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "net/THttpCli.h"
#include "net/TWSocket.h"

namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 3000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

// A port nobody listens on: bound once, then freed.
quint16 ClosedPort() {
  QTcpServer s;
  s.listen(QHostAddress::LocalHost);
  return s.serverPort();
}

// Answers every HTTP request with the given reply after a delay.
struct TinyHttp {
  QTcpServer server;
  QByteArray reply;
  int delayMs = 0;
  QByteArray request;
  explicit TinyHttp(QByteArray r) : reply(std::move(r)) {
    server.listen(QHostAddress::LocalHost);
    QObject::connect(&server, &QTcpServer::newConnection, [this] {
      QTcpSocket* s = server.nextPendingConnection();
      QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
        request += s->readAll();
        if (!request.contains("\r\n\r\n")) return;
        QTimer::singleShot(delayMs, s, [this, s] {
          s->write(reply);
          s->disconnectFromHost();
        });
      });
    });
  }
  std::string url(const char* path) const {
    return "127.0.0.1:" + std::to_string(server.serverPort()) + path;
  }
};

}  // namespace

TEST(HttpCli, SchemeIsAddedOnlyWhenMissing) {
  EXPECT_EQ(THttpCli::WithScheme("host/a?b=1"), "http://host/a?b=1");
  EXPECT_EQ(THttpCli::WithScheme("https://host/"), "https://host/");
}

TEST(HttpCli, GetReturnsTheBodyWhileTimersKeepRunning) {
  TinyHttp http("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n0 0 127.0.0.1:8074 127.0.0.1");
  http.delayMs = 300;
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(20);
  THttpCli cli;
  EXPECT_EQ(cli.Get(http.url("/appsvc/appmsg4.asp?fmnumber=5")), "0 0 127.0.0.1:8074 127.0.0.1");
  EXPECT_GT(ticks, 3);  // the nested loop delivered timer events
  EXPECT_TRUE(http.request.startsWith("GET /appsvc/appmsg4.asp?fmnumber=5 HTTP/1.1"));
}

TEST(HttpCli, FailuresRaise) {
  THttpCli cli;
  EXPECT_THROW(cli.Get("127.0.0.1:" + std::to_string(ClosedPort()) + "/x"), HttpError);
  TinyHttp notFound("HTTP/1.0 503 Service Unavailable\r\n\r\nbusy");
  EXPECT_THROW(cli.Get(notFound.url("/x")), HttpError);
  TinyHttp garbage("this is not http\r\n\r\n");
  EXPECT_THROW(cli.Get(garbage.url("/x")), HttpError);
  EXPECT_THROW(cli.Get(""), HttpError);
}

TEST(WSocket, FailedConnectEndsInSessionClosedOnce) {
  TWSocket* s = new TWSocket;
  int closed = 0;
  s->OnSessionClosed = [&] { ++closed; };
  s->Addr = "127.0.0.1";
  s->Port = std::to_string(ClosedPort());
  s->Connect();
  EXPECT_TRUE(WaitFor([&] { return closed > 0; }));
  WaitFor([] { return false; }, 100);
  EXPECT_EQ(closed, 1);
  s->Release();
}

TEST(WSocket, DataSendAndDroppedConnection) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  QTcpSocket* peer = nullptr;
  QObject::connect(&server, &QTcpServer::newConnection,
                   [&] { peer = server.nextPendingConnection(); });

  TWSocket* s = new TWSocket;
  std::string got;
  int closed = 0;
  s->OnDataAvailable = [&] { got += s->ReceiveStr(); };
  s->OnSessionClosed = [&] { ++closed; };
  s->Addr = "127.0.0.1";
  s->Port = std::to_string(server.serverPort());
  s->Connect();
  ASSERT_TRUE(WaitFor([&] { return peer && peer->state() == QAbstractSocket::ConnectedState; }));
  ASSERT_TRUE(WaitFor([&] { return s->PortNum() == server.serverPort(); }));

  peer->write(QByteArray("\x01\0\0\0\x04\0\0\0seed", 12));
  ASSERT_TRUE(WaitFor([&] { return got.size() == 12; }));
  EXPECT_EQ(got.substr(8), "seed");

  s->Send(std::string_view("ping", 4));
  QByteArray back;
  ASSERT_TRUE(WaitFor([&] { back += peer->readAll(); return back == "ping"; }));

  peer->abort();  // the server drops the connection
  EXPECT_TRUE(WaitFor([&] { return closed == 1; }));
  s->Release();
}

TEST(WSocket, CloseLeadsToSessionClosed) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  TWSocket* s = new TWSocket;
  int closed = 0;
  s->OnSessionClosed = [&] { ++closed; };
  s->Addr = "127.0.0.1";
  s->Port = std::to_string(server.serverPort());
  s->Connect();
  ASSERT_TRUE(WaitFor([&] { return server.hasPendingConnections(); }));
  WaitFor([] { return false; }, 50);
  s->Close();
  EXPECT_TRUE(WaitFor([&] { return closed == 1; }));
  // A bad port never connects and still ends the session.
  TWSocket* bad = new TWSocket;
  int badClosed = 0;
  bad->OnSessionClosed = [&] { ++badClosed; };
  bad->Port = "notaport";
  bad->Connect();
  EXPECT_TRUE(WaitFor([&] { return badClosed == 1; }));
  s->Release();
  bad->Release();
}

// The owner's data handler opens a box and waits for a click. While the box
// is up nothing is read: Qt keeps no more than its capped buffer and the
// kernel holds the server back, and the stream is read whole afterwards.
// A second box: the server closes meanwhile, and the end of the connection
// releases the socket; it must outlive the handler still on the stack, and
// go once that has returned.
TEST(WSocket, HandlerBoxesHoldTheServerBackAndOutliveARelease) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  QTcpSocket* peer = nullptr;
  QObject::connect(&server, &QTcpServer::newConnection, [&] { peer = server.nextPendingConnection(); });

  auto* s = new TWSocket;
  QPointer<TWSocket> alive(s);
  bool released = false, aliveAfterBox = false;
  s->OnSessionClosed = [&] {
    s->Release();
    released = true;
  };
  qint64 read = 0;
  const auto readAll = [&] { read += static_cast<qint64>(s->ReceiveStr().size()); };
  // Runs a box from inside the socket's data handler until done() holds;
  // as the owner does, the handler reads once more before it returns: Qt
  // reports only what arrives after that.
  const auto boxInHandler = [&](std::function<void()> start, std::function<bool()> done) {
    s->OnDataAvailable = [&, start, done] {
      s->OnDataAvailable = readAll;
      readAll();
      start();
      QEventLoop box;
      QTimer poll;
      QElapsedTimer shown;
      shown.start();
      QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done() || shown.elapsed() > 15000) box.quit();
      });
      poll.start(50);
      box.exec();
      aliveAfterBox = !alive.isNull();
      if (aliveAfterBox) readAll();
    };
  };
  s->Addr = "127.0.0.1";
  s->Port = std::to_string(server.serverPort());
  s->Connect();
  ASSERT_TRUE(WaitFor([&] { return peer && peer->state() == QAbstractSocket::ConnectedState; }));

  // More than the kernel's buffers take on both sides.
  const qint64 flood = 64 * 1024 * 1024;
  qint64 stalledAt = -1, last = -1;
  boxInHandler([&] { peer->write(QByteArray(flood, 'x')); },
               [&] {
                 const qint64 now = peer->bytesToWrite();
                 if (now > 0 && now == last) stalledAt = now;
                 last = now;
                 return stalledAt > 0;
               });
  peer->write("hello");
  ASSERT_TRUE(WaitFor([&] { return stalledAt > 0; }, 20000)) << "the server was never held back";
  EXPECT_GT(stalledAt, flood - 40 * 1024 * 1024);
  ASSERT_TRUE(WaitFor([&] { return read == flood + 5; }, 20000)) << read << " of " << flood + 5;

  boxInHandler([&] { peer->disconnectFromHost(); }, [&] { return released; });
  peer->write("bye");
  ASSERT_TRUE(WaitFor([&] { return released; }));
  EXPECT_TRUE(aliveAfterBox) << "freed under its own handler";
  EXPECT_TRUE(WaitFor([&] { return alive.isNull(); })) << "never freed";
}
