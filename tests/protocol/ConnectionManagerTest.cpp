#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <deque>

#include "platform/Cp1250.h"
#include "protocol/ConnectionManager.h"
#include "protocol/Packets.h"
#include "support/ScriptedMessageBox.h"

namespace {

// Hand-written transport: lookups answer from a script, sockets record what
// they are told and report only what the test makes them report.
struct FakeSocket : Socket {
  std::string sent;
  std::string incoming;
  bool connected = false, closed = false, released = false;
  void Connect() override { connected = true; }
  void Send(std::string_view b) override { sent.append(b); }
  std::string ReceiveStr() override { return std::exchange(incoming, {}); }
  void Close() override { closed = true; }
  void Flush(int) override {}
  void Release() override { released = true; }
  uint16_t PortNum() const override { return static_cast<uint16_t>(std::stoi(Port)); }

  void Arrive(const std::string& bytes) {
    incoming += bytes;
    OnDataAvailable();
  }
};

struct FakeNet : NetFactory {
  std::deque<std::optional<std::string>> replies;  // nullopt: the GET fails
  std::vector<std::string> urls;
  std::vector<std::unique_ptr<FakeSocket>> sockets;

  struct Http : HttpClient {
    FakeNet& net;
    explicit Http(FakeNet& n) : net(n) {}
    std::string Get(const std::string& url) override {
      net.urls.push_back(url);
      if (net.replies.empty() || !net.replies.front()) {
        if (!net.replies.empty()) net.replies.pop_front();
        throw HttpError("no server");
      }
      std::string body = *net.replies.front();
      net.replies.pop_front();
      return body;
    }
  };
  Socket* NewSocket() override {
    sockets.push_back(std::make_unique<FakeSocket>());
    return sockets.back().get();
  }
  std::unique_ptr<HttpClient> NewHttpClient() override { return std::make_unique<Http>(*this); }
  FakeSocket& last() { return *sockets.back(); }
};

struct FakeView : ConnectionManager::View {
  std::vector<uint8_t> states;
  bool autoOn = false;
  void ShowConnectionState(uint8_t s) override { states.push_back(s); }
  void ShowAutoReconnect(bool on) override { autoOn = on; }
};

struct FakeIdentity : ConnectionManager::Identity {
  uint32_t number = 4242;
  uint8_t status = 3;
  std::string description = "opis";
  uint32_t OwnNumber() const override { return number; }
  uint8_t OwnStatus() const override { return status; }
  const std::string& Description() const override { return description; }
  void SetOwnStatus(uint8_t s) override { status = s; }
};

struct ConnectionTest : ::testing::Test {
  FakeNet net;
  FakeView view;
  FakeIdentity identity;
  ScriptedMessageBox box;
  ConnectionManager cm{net, view, identity};
  int ended = 0;
  std::vector<uint32_t> dispatched;

  ConnectionTest() {
    cm.SetLookupHost("lookup.test:8080");
    cm.SetOnConnectionEnded([this] { ++ended; });
    cm.SetPacketHandler([this](uint32_t type, const std::string&) { dispatched.push_back(type); });
    cm.SetConnectionState(conn::kNiePolaczony);
  }

  void ConnectTo(const std::string& reply = "0 0 1.2.3.4:8074 1.2.3.4") {
    net.replies.push_back(reply);
    cm.DialogMouseDown(Sender::Dialog, true);
  }
};

}  // namespace

TEST(LookupReply, ThirdFieldGivesHostAndPortAFirstByteOtherThanZeroIsDown) {
  ServerAddress a;
  ASSERT_EQ(ParseLookupReply("0 0 1.2.3.4:8074 1.2.3.4", a), LookupReply::kServer);
  EXPECT_EQ(a.host, "1.2.3.4");
  EXPECT_EQ(a.port, "8074");
  ASSERT_EQ(ParseLookupReply("0 0 gg.example.pl:443\r\n", a), LookupReply::kServer);
  EXPECT_EQ(a.host, "gg.example.pl");
  EXPECT_EQ(a.port, "443");

  EXPECT_EQ(ParseLookupReply("1 0 1.2.3.4:8074 1.2.3.4", a), LookupReply::kUnavailable);
  EXPECT_EQ(ParseLookupReply("", a), LookupReply::kUnavailable);
  for (const std::string& reply : std::vector<std::string>{
           "0 0 notoperating 0.0.0.0", "0 0 1.2.3.4:http 1.2.3.4", "0 0 1.2.3.4:0 x", "0 0 1.2.3.4:70000 x",
        "0 0 :8074 x", "0",
        // Only the first 100 bytes are read.
        "0 " + std::string(100, 'x') + " 1.2.3.4:8074"})
    EXPECT_EQ(ParseLookupReply(reply, a), LookupReply::kNoAddress) << reply;
}

TEST_F(ConnectionTest, LookupThenConnectToTheThirdField) {
  ConnectTo();
  ASSERT_EQ(net.urls.size(), 1u);
  EXPECT_EQ(net.urls[0],
            "lookup.test:8080/appsvc/appmsg4.asp?fmnumber=4242&version=6,0,0,147&lastmsg=0");
  ASSERT_EQ(net.sockets.size(), 1u);
  EXPECT_EQ(net.last().Addr, "1.2.3.4");
  EXPECT_EQ(net.last().Port, "8074");
  EXPECT_EQ(net.last().FlushTimeout, 100);
  EXPECT_TRUE(net.last().connected);
  EXPECT_EQ(cm.State(), conn::kLaczenie);
  EXPECT_EQ(cm.ServerPort(), 8074);
  EXPECT_TRUE(box.shown().empty());

  // Pressing the indicator while connecting does nothing.
  cm.DialogMouseDown(Sender::Dialog, true);
  EXPECT_EQ(net.urls.size(), 1u);
}

TEST_F(ConnectionTest, FailedLookupAsksAndRetriesOnYes) {
  net.replies = {std::nullopt, std::nullopt};
  box.answer(true);
  box.answer(false);
  cm.SetAutoReconnect(true);
  cm.DialogMouseDown(Sender::Dialog, true);
  EXPECT_EQ(net.urls.size(), 2u);
  ASSERT_EQ(box.shown().size(), 2u);
  EXPECT_EQ(box.textsUtf8()[0],
            "Próba połączenia nie powiodła się. Czy chcesz spróbować ponownie?");
  EXPECT_EQ(box.shown()[0].kind, kPytanie);
  EXPECT_EQ(cm.State(), conn::kNiePolaczony);
  EXPECT_FALSE(cm.AutoReconnect());
  EXPECT_TRUE(net.sockets.empty());
}

TEST_F(ConnectionTest, FailedLookupFromTheTimerIsSilent) {
  cm.SetAutoReconnect(true);
  net.replies = {std::nullopt};
  cm.TimerUrTimer();
  EXPECT_EQ(net.urls.size(), 1u);
  EXPECT_TRUE(box.shown().empty());
  EXPECT_TRUE(cm.AutoReconnect());
  EXPECT_EQ(cm.State(), conn::kNiePolaczony);
  // Retried on the next tick, then connects.
  net.replies = {"0 0 127.0.0.1:8074 127.0.0.1"};
  cm.TimerUrTimer();
  EXPECT_EQ(net.sockets.size(), 1u);
}

// "1 ..." says the network is down: a notice, and no retries. "0" with no
// address ("notoperating" while the server is serviced) fails as a
// connection does: no box, and the timer tries again until an address comes.
TEST_F(ConnectionTest, NegativeReplyIsANoticeAReplyWithoutAnAddressIsRetriedSilently) {
  cm.SetAutoReconnect(true);
  ConnectTo("0 0 notoperating 0.0.0.0");
  EXPECT_TRUE(box.shown().empty());
  EXPECT_TRUE(cm.AutoReconnect());
  EXPECT_EQ(cm.State(), conn::kNiePolaczony);
  net.replies = {"0 0 notoperating 0.0.0.0", "0 0 1.2.3.4:8074 1.2.3.4"};
  cm.TimerUrTimer();
  EXPECT_TRUE(net.sockets.empty());
  cm.TimerUrTimer();
  ASSERT_EQ(net.sockets.size(), 1u) << "the server came back";
  net.last().OnSessionClosed();

  ConnectTo("1 0 1.2.3.4:8074 1.2.3.4");
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.textsUtf8()[0], "Serwer GG jest aktualnie niedostępny.");
  EXPECT_EQ(box.shown()[0].kind, kOstrzezenie);
  EXPECT_FALSE(cm.AutoReconnect());
  EXPECT_EQ(cm.State(), conn::kNiePolaczony);
  EXPECT_EQ(net.sockets.size(), 1u);
}

TEST_F(ConnectionTest, IndicatorIgnoresOtherButtonsAndTheUnconfiguredState) {
  net.replies = {"0 0 1.2.3.4:8074 x"};
  cm.DialogMouseDown(Sender::Dialog, false);
  EXPECT_TRUE(net.urls.empty());
  cm.SetConnectionState(conn::kNieSkonfigurowany);
  cm.DialogMouseDown(Sender::Dialog, true);
  cm.TimerUrTimer();
  EXPECT_TRUE(net.urls.empty());
}

TEST_F(ConnectionTest, PingOnlyWhileConnected) {
  cm.Timer1Timer();
  ConnectTo();
  cm.Timer1Timer();
  EXPECT_EQ(net.last().sent, "");
  cm.SetConnectionState(conn::kPolaczony);
  cm.Timer1Timer();
  EXPECT_EQ(net.last().sent, gg::BuildPing());
}

TEST_F(ConnectionTest, UserDisconnectSaysNotAvailableAndCloses) {
  ConnectTo();
  cm.SetConnectionState(conn::kPolaczony);
  cm.SetAutoReconnect(true);
  cm.DialogMouseDown(Sender::Dialog, true);
  FakeSocket& s = net.last();
  // Status 3 has a description: it leaves as 21 with the text, not invisible.
  EXPECT_EQ(s.sent, gg::BuildNewStatus(1, false, "opis"));
  EXPECT_EQ(gg::ReadLe32(s.sent.data() + 8), 21u);
  EXPECT_EQ(identity.status, 1);
  EXPECT_FALSE(cm.AutoReconnect());
  EXPECT_TRUE(s.closed);

  s.OnSessionClosed();
  EXPECT_TRUE(s.released);
  EXPECT_FALSE(cm.HasSocket());
  EXPECT_EQ(cm.State(), conn::kNiePolaczony);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(view.states.back(), conn::kNiePolaczony);
}

TEST_F(ConnectionTest, DroppedConnectionKeepsAutoReconnect) {
  cm.SetAutoReconnect(true);
  ConnectTo();
  cm.SetConnectionState(conn::kPolaczony);
  net.last().OnSessionClosed();
  EXPECT_EQ(cm.State(), conn::kNiePolaczony);
  EXPECT_TRUE(cm.AutoReconnect());
  net.replies = {"0 0 1.2.3.4:8075 x"};
  cm.TimerUrTimer();
  ASSERT_EQ(net.sockets.size(), 2u);
  EXPECT_EQ(net.last().Port, "8075");
}

TEST_F(ConnectionTest, PacketsAreDispatchedInOrderAndOversizedClosesTheConnection) {
  ConnectTo();
  FakeSocket& s = net.last();
  const std::string two = gg::BuildPacket(1, "seed") + gg::BuildPacket(3, "");
  s.Arrive(two.substr(0, 5));
  EXPECT_TRUE(dispatched.empty());
  s.Arrive(two.substr(5));
  EXPECT_EQ(dispatched, (std::vector<uint32_t>{1, 3}));

  std::string header;
  gg::AppendLe32(header, 0x0A);
  gg::AppendLe32(header, 0x7FFFFFFF);
  s.Arrive(header + gg::BuildPacket(5, "after"));
  EXPECT_TRUE(s.closed);
  EXPECT_EQ(dispatched.size(), 2u);
  s.Arrive(gg::BuildPacket(5, "still ignored"));
  EXPECT_EQ(dispatched.size(), 2u);
}

TEST_F(ConnectionTest, DataArrivingInsideAHandlerIsDispatchedAfterIt) {
  ConnectTo();
  FakeSocket& s = net.last();
  std::vector<std::string> order;
  cm.SetPacketHandler([&](uint32_t type, const std::string& payload) {
    order.push_back(payload);
    // A modal window in the handler lets more data arrive.
    if (type == 1) s.Arrive(gg::BuildPacket(2, "nested"));
    EXPECT_EQ(payload, order.back());  // the handler's payload is still intact
  });
  s.Arrive(gg::BuildPacket(1, "first") + gg::BuildPacket(3, "second"));
  EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "nested"}));
}

namespace {

using Packets = std::vector<std::pair<uint32_t, std::string>>;

// A hostile server: welcome, login ok, then a chat message whose text spells
// the header of a "login failed" packet, then a disconnect notice. Cut off
// at the wrong offset, the stream hands out "login failed".
struct HostileStream {
  Packets packets;
  std::string bytes;
  size_t spelled = 0;  // where the forged header starts
  HostileStream() {
    std::string message;
    for (uint32_t field : {4321u, 1u, 0u, 8u}) gg::AppendLe32(message, field);  // sender, seq, time, class
    message += "ab";
    gg::AppendLe32(message, 0x09);
    gg::AppendLe32(message, 0);
    message += "cd";
    message += '\0';
    packets = {{0x01, "seed"}, {0x03, ""}, {0x0A, message}, {0x0B, ""}};
    for (const auto& [type, payload] : packets) bytes += gg::BuildPacket(type, payload);
    spelled = 12 + 8 + 8 + 16 + 2;
  }
};

}  // namespace

TEST(ConnectionReentry, ReadsArrivingInsideHandlersNeverLoseOrForgeAPacket) {
  // The welcome's handler (a password prompt) lets in the read [a, b), the
  // login's handler (a message box) the read [b, c) when the login is whole
  // by then (else that read comes after the first); the rest comes last.
  // Among all cuts: two or more whole packets left behind by a read, one
  // whole and the start of the next, a packet completed from a cut read and
  // followed by another such read, and the cut that makes the next read
  // begin at the spelled header.
  const HostileStream hostile;
  const std::string& stream = hostile.bytes;
  for (size_t a = 12; a <= stream.size(); ++a) {  // the welcome is whole
    for (size_t b = a; b <= stream.size(); ++b) {
      for (size_t c = b; c <= stream.size(); ++c) {
        FakeNet net;
        FakeView view;
        FakeIdentity identity;
        ConnectionManager cm{net, view, identity};
        cm.SetConnectionState(conn::kNiePolaczony);
        net.replies.push_back("0 0 1.2.3.4:8074 1.2.3.4");
        cm.DialogMouseDown(Sender::Dialog, true);
        FakeSocket& s = net.last();
        Packets got;
        bool secondIn = false;
        auto second = [&] {
          secondIn = true;
          s.Arrive(stream.substr(b, c - b));
        };
        cm.SetPacketHandler([&](uint32_t type, const std::string& payload) {
          got.emplace_back(type, payload);
          if (type == 0x01) s.Arrive(stream.substr(a, b - a));
          if (type == 0x03 && !secondIn) second();
          EXPECT_EQ(payload, got.back().second);  // intact after the nested read
        });
        s.Arrive(stream.substr(0, a));
        if (!secondIn) second();
        s.Arrive(stream.substr(c));
        ASSERT_EQ(got, hostile.packets) << a << " " << b << " " << c;
      }
    }
  }
}

namespace {
// Real sockets, a scripted lookup.
struct LoopbackNet : NetFactory {
  std::string reply;
  struct Http : HttpClient {
    std::string reply;
    std::string Get(const std::string&) override { return reply; }
  };
  Socket* NewSocket() override { return QtNet().NewSocket(); }
  std::unique_ptr<HttpClient> NewHttpClient() override {
    auto h = std::make_unique<Http>();
    h->reply = reply;
    return h;
  }
};

bool WaitFor(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}
}  // namespace

TEST(ConnectionReentry, DataArrivingInAModalLoopOverARealSocketIsDispatched) {
  const HostileStream hostile;
  const std::string& stream = hostile.bytes;
  const size_t firstRead = 12 + 8 + 3, spelled = hostile.spelled;

  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  QTcpSocket* peer = nullptr;
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    peer = server.nextPendingConnection();
    peer->write(stream.data(), qint64(firstRead));
  });
  LoopbackNet net;
  net.reply = "0 0 127.0.0.1:" + std::to_string(server.serverPort()) + " x";
  FakeView view;
  FakeIdentity identity;
  ConnectionManager cm{net, view, identity};
  cm.SetConnectionState(conn::kNiePolaczony);
  Packets got;
  cm.SetPacketHandler([&](uint32_t type, const std::string& payload) {
    got.emplace_back(type, payload);
    if (type != 0x01) return;
    // A modal window, open while the rest of the stream arrives in two
    // reads; nothing more comes after it, so nothing later reports the data.
    peer->write(stream.data() + firstRead, qint64(spelled - firstRead));
    peer->flush();
    QEventLoop modal;
    QTimer::singleShot(50, &modal, [&] {
      peer->write(stream.data() + spelled, qint64(stream.size() - spelled));
      peer->flush();
    });
    QTimer::singleShot(200, &modal, &QEventLoop::quit);
    modal.exec();
  });
  cm.DialogMouseDown(Sender::Dialog, true);
  WaitFor([&] { return got.size() >= 4; });
  EXPECT_EQ(got, hostile.packets);
}
