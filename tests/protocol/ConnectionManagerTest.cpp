#include <gtest/gtest.h>

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

TEST(LookupReply, ThirdFieldGivesHostAndPort) {
  ServerAddress a;
  ASSERT_TRUE(ParseLookupReply("0 0 1.2.3.4:8074 1.2.3.4", a));
  EXPECT_EQ(a.host, "1.2.3.4");
  EXPECT_EQ(a.port, "8074");
  ASSERT_TRUE(ParseLookupReply("0 0 gg.example.pl:443\r\n", a));
  EXPECT_EQ(a.host, "gg.example.pl");
  EXPECT_EQ(a.port, "443");
}

TEST(LookupReply, EverythingElseIsNegative) {
  ServerAddress a;
  EXPECT_FALSE(ParseLookupReply("1 0 1.2.3.4:8074 1.2.3.4", a));
  EXPECT_FALSE(ParseLookupReply("0 0 notoperating 0.0.0.0", a));
  EXPECT_FALSE(ParseLookupReply("0 0 1.2.3.4:http 1.2.3.4", a));
  EXPECT_FALSE(ParseLookupReply("0 0 1.2.3.4:0 x", a));
  EXPECT_FALSE(ParseLookupReply("0 0 1.2.3.4:70000 x", a));
  EXPECT_FALSE(ParseLookupReply("0 0 :8074 x", a));
  EXPECT_FALSE(ParseLookupReply("", a));
  EXPECT_FALSE(ParseLookupReply("0", a));
  // Only the first 100 bytes are read.
  EXPECT_FALSE(ParseLookupReply("0 " + std::string(100, 'x') + " 1.2.3.4:8074", a));
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

TEST_F(ConnectionTest, NegativeReplyIsANoticeAndNoConnection) {
  cm.SetAutoReconnect(true);
  for (const char* reply : {"1 0 1.2.3.4:8074 1.2.3.4", "0 0 notoperating 0.0.0.0"}) {
    box.clear();
    ConnectTo(reply);
    ASSERT_EQ(box.shown().size(), 1u) << reply;
    EXPECT_EQ(box.textsUtf8()[0], "Serwer GG jest aktualnie niedostępny.");
    EXPECT_EQ(box.shown()[0].kind, kOstrzezenie);
    EXPECT_FALSE(cm.AutoReconnect());
    EXPECT_EQ(cm.State(), conn::kNiePolaczony);
  }
  EXPECT_TRUE(net.sockets.empty());
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
