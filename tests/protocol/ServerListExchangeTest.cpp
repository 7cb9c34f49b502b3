#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/Cp1250.h"
#include "protocol/Packets.h"
#include "protocol/ServerListExchange.h"
#include "support/ScriptedMessageBox.h"

namespace {

struct FakeHost : ServerListExchange::Host {
  bool connected = true;
  std::vector<std::string> sent;     // whole packets
  std::vector<std::string> label;    // progress texts, "idle" for the rest state
  std::vector<std::string> imported;

  bool Connected() const override { return connected; }
  void Send(const std::string& packet) override { sent.push_back(packet); }
  void ShowProgress(const std::string& text) override { label.push_back(cp1250::toUtf8(text)); }
  void ShowIdle() override { label.push_back("idle"); }
  void ImportServerList(const std::string& text) override { imported.push_back(text); }
};

std::string Reply(uint8_t kind, const std::string& text = {}) { return std::string(1, char(kind)) + text; }

// The kind byte and the text of a userlist request.
struct Request {
  uint8_t kind;
  std::string text;
};
Request Read(const std::string& packet) {
  EXPECT_EQ(gg::ReadLe32(packet.data()), gg::out::kUserlistRequest);
  EXPECT_EQ(gg::ReadLe32(packet.data() + 4), packet.size() - 8);
  std::string text = packet.substr(9);
  if (!text.empty()) {
    EXPECT_EQ(text.back(), '\0');
    text.pop_back();
  }
  return {uint8_t(packet[8]), text};
}

struct ServerListExchangeTest : ::testing::Test {
  ScriptedMessageBox box;
  FakeHost host;
  ServerListExchange exchange{host};
};

}  // namespace

TEST_F(ServerListExchangeTest, AnExportGoesInPiecesEachWaitingForItsAcknowledgement) {
  // 5000 bytes of list text: 50 lines of 100 bytes.
  std::vector<ServerListEntry> list;
  for (uint32_t i = 0; i < 50; ++i) {
    ServerListEntry e{1000000 + i, std::string(52, 'a'), "w", "", ""};
    e.email = std::string(100 - server_list::ExportLine(e).size(), 'e');
    list.push_back(e);
  }
  const std::string text = server_list::ExportList(list);
  ASSERT_EQ(text.size(), 5000u);

  exchange.Export(list);
  EXPECT_EQ(exchange.Mark(), ServerListExchange::kMarkExport);
  EXPECT_EQ(host.label, std::vector<std::string>{"Trwa wysyłanie listy kontaktów..."});
  ASSERT_EQ(host.sent.size(), 1u);
  exchange.Import();  // one at a time
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>{"Zapytanie zostało już wysłane."});
  ASSERT_EQ(host.sent.size(), 1u);
  exchange.OnReply(Reply(0));
  ASSERT_EQ(host.sent.size(), 2u);
  exchange.OnReply(Reply(2));
  ASSERT_EQ(host.sent.size(), 3u);
  EXPECT_TRUE(exchange.UnderWay());
  exchange.OnReply(Reply(2));
  EXPECT_FALSE(exchange.UnderWay());
  ASSERT_EQ(host.sent.size(), 3u);

  std::string joined;
  const size_t sizes[] = {2046, 2046, 908};
  const uint8_t kinds[] = {0, 1, 1};
  for (size_t i = 0; i < 3; ++i) {
    const Request r = Read(host.sent[i]);
    EXPECT_EQ(r.kind, kinds[i]);
    EXPECT_EQ(r.text.size(), sizes[i]);
    joined += r.text;
  }
  EXPECT_EQ(joined, text);
  EXPECT_EQ(host.label.back(), "idle");
  EXPECT_EQ(box.textsUtf8().back(), "Lista kontaktów została pomyślnie wyeksportowana.");
  EXPECT_EQ(box.shown().back().kind, kInformacja);
}

TEST_F(ServerListExchangeTest, EmptyExportDeleteAndTheRefusals) {
  exchange.Export({});  // "Nie": nothing is sent
  EXPECT_EQ(box.textsUtf8(),
            std::vector<std::string>{"Twoja lista kontaktów jest pusta. Czy mimo to chcesz wyeksportować ją na serwer?"});
  EXPECT_TRUE(host.sent.empty());
  EXPECT_FALSE(exchange.UnderWay());

  box.clear();
  box.answer(true);
  exchange.Export({});
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0], gg::BuildUserlistRequest(gg::kUserlistPut, ""));
  exchange.OnReply(Reply(0));
  EXPECT_EQ(box.textsUtf8().back(), "Lista kontaktów została pomyślnie wyeksportowana.");

  exchange.Delete();  // the same empty put, closed with its own notice
  exchange.OnReply(Reply(0));
  EXPECT_EQ(box.textsUtf8().back(), "Lista kontaktów została usunięta z serwera.");

  box.clear();
  host.connected = false;
  exchange.Import();
  exchange.Export({});
  exchange.Delete();
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>(3, "Nie jesteś połączony z serwerem GG."));
  EXPECT_EQ(host.sent.size(), 2u);
  box.clear();
  exchange.SendListRequest(true);
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>{"Błąd wewnętrzny ECzekajListaNIL"});
}

TEST_F(ServerListExchangeTest, AnImportCollectsThePiecesAndHandsTheWholeOn) {
  exchange.Import();
  ASSERT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.sent[0], gg::BuildUserlistRequest(gg::kUserlistGet, ""));
  EXPECT_EQ(host.label, (std::vector<std::string>{"Trwa wysyłanie zapytania...", "Trwa oczekiwanie na odpowiedź..."}));
  exchange.OnReply(Reply(0));  // an acknowledgement is no part of a get
  exchange.OnReply(Reply(4, "A;;;a;;;1;"));
  exchange.OnReply(Reply(4, "\r\nB;;;b"));
  EXPECT_TRUE(host.imported.empty());
  exchange.OnReply(Reply(6, ";;;2;\r\n"));
  EXPECT_EQ(host.imported, std::vector<std::string>{"A;;;a;;;1;\r\nB;;;b;;;2;\r\n"});
  EXPECT_FALSE(exchange.UnderWay());
  EXPECT_EQ(host.label.back(), "idle");
  EXPECT_TRUE(box.shown().empty());  // not in the middle of a packet
  QCoreApplication::processEvents();
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>{"Błąd wewnętrzny Pakiet.ECzekajListaNIL"});
}

TEST_F(ServerListExchangeTest, AServerCannotFloodTheImportOrTheUser) {
  exchange.Import();
  const std::string piece(2047, 'x');
  for (int i = 0; i < 32; ++i) exchange.OnReply(Reply(4, piece));  // 65504 bytes
  EXPECT_TRUE(exchange.UnderWay());
  EXPECT_TRUE(box.shown().empty());
  exchange.OnReply(Reply(4, piece));
  EXPECT_FALSE(exchange.UnderWay());
  EXPECT_EQ(box.textsUtf8(), std::vector<std::string>{"Lista kontaktów jest zbyt długa."});
  EXPECT_EQ(host.label.back(), "idle");
  // The rest of that answer goes unseen, however long it runs.
  for (int i = 0; i < 1000; ++i) exchange.OnReply(Reply(4, piece));
  exchange.OnReply(Reply(6, piece));
  EXPECT_EQ(box.shown().size(), 1u);
  EXPECT_TRUE(host.imported.empty());

  // Replies nobody asked for: one warning a connection.
  for (int i = 0; i < 50; ++i) exchange.OnReply(Reply(i % 2 ? 6 : 2, "a;b"));
  exchange.OnReply("");
  QCoreApplication::processEvents();
  EXPECT_EQ(box.textsUtf8().size(), 2u);
  EXPECT_EQ(box.textsUtf8().back(), "Błąd wewnętrzny Pakiet.ECzekajListaNIL");
  exchange.ConnectionEnded();
  exchange.OnReply(Reply(0));
  QCoreApplication::processEvents();
  EXPECT_EQ(box.textsUtf8().size(), 3u);

  // The end of the connection drops an operation without a word.
  exchange.Export({{5, "A", "a", "", ""}});
  ASSERT_TRUE(exchange.UnderWay());
  exchange.ConnectionEnded();
  EXPECT_FALSE(exchange.UnderWay());
  EXPECT_EQ(host.label.back(), "idle");
  EXPECT_EQ(box.textsUtf8().size(), 3u);
}
