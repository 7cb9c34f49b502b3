// A conversation through the main window logged in to the local server
// emulator: messages arriving in hidden and visible chat windows, typing and
// sending, acknowledgements, and what becomes of messages still pending when
// the connection ends. The tray and the sound are recording fakes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "LoopbackFixture.h"
#include "app/TFMain.h"
#include "app/TShape.h"
#include "contacts/KnockList.h"
#include "contacts/view/TFPuk.h"
#include "contacts/view/TLista.h"
#include "conversation/view/ChatWindows.h"
#include "conversation/view/TRozmowa.h"
#include "ggserwer/Serwer.h"
#include "platform/Cp1250.h"
#include "protocol/Packets.h"
#include "support/RecordingTray.h"
#include "support/ScriptedMessageBox.h"
#include "ui/InputFitter.h"

namespace {

using ggserwer::Serwer;

struct ChatLoopbackTest : LoopbackFixture {
  void SetUp() override {
    StartChatting();
    if (HasFatalFailure()) return;
    TKontakt k;
    k.numer = 5551;
    k.wyswietl = T("Zosia");
    ASSERT_TRUE(m->Contacts().Add(k));
  }
  void Connect() {
    m->Dialog->OnMouseDown(Qt::LeftButton);
    ASSERT_TRUE(Serwer::waitFor([&] { return m->Connection().State() == conn::kPolaczony; }));
    ASSERT_TRUE(serwer.waitForLogin());
  }
  static int Count(const QByteArray& hay, const QByteArray& needle) { return int(hay.count(needle)); }
};

}  // namespace

TEST_F(ChatLoopbackTest, MessageInAHiddenWindowIsFlaggedAnnouncedAndArchivedNotWhenVisible) {
  Connect();
  const QByteArray text("Cze\x9c\xe6, jak leci? Dawno si\xea nie widzieli\x9cmy");
  ASSERT_TRUE(serwer.sendMessage(5551, text, 1796731200));
  ASSERT_TRUE(WaitMessages(5551, 1));
  TFCzat* w = chats().At(chats().FindChat(5551));
  EXPECT_FALSE(w->isVisible()) << "a message opens no window";
  EXPECT_TRUE(w->Nowy());
  EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Zosia (nr 5551)"));
  EXPECT_EQ(MessagesOf(5551)[0].Text, text.toStdString());
  EXPECT_EQ(MessagesOf(5551)[0].Time, 1796731200u);
  EXPECT_EQ(MessagesOf(5551)[0].Kind, Received);
  EXPECT_EQ(sound.plays, 1);
  ASSERT_EQ(tray.balloons.size(), 1u);
  EXPECT_EQ(tray.balloons[0].title, T("Zosia"));
  EXPECT_EQ(tray.balloons[0].text, T("Cześć,..."));
  EXPECT_TRUE(tray.animation);
  const QByteArray archived = ArchiveFile();
  EXPECT_EQ(Count(archived, "<p class=czyje><b>Rozmowa z Zosia (5551)</b>, "), 1);
  EXPECT_TRUE(archived.contains(text)) << archived.constData();
  EXPECT_TRUE(archived.endsWith("</p>\r\n</body>"));

  // The user double-clicks the contact: the window shows, the flag goes.
  m->show();
  QCoreApplication::processEvents();
  const QPoint row(30, 5);
  QTest::mouseClick(m->ListaK, Qt::LeftButton, {}, row);
  QTest::mouseDClick(m->ListaK, Qt::LeftButton, {}, row);
  ASSERT_TRUE(w->isVisible());
  EXPECT_FALSE(w->Nowy());
  EXPECT_FALSE(tray.animation);
  EXPECT_EQ(chats().Count(), 1);

  ASSERT_TRUE(serwer.sendMessage(5551, "widzisz?"));
  ASSERT_TRUE(WaitMessages(5551, 2));
  EXPECT_EQ(sound.plays, 1) << "a visible window makes no sound";
  EXPECT_EQ(tray.balloons.size(), 1u);
  EXPECT_FALSE(w->Nowy());
  EXPECT_EQ(Count(ArchiveFile(), "<p class=czyje>"), 2);
}

TEST_F(ChatLoopbackTest, TypedMessageGoesOutAndItsAcknowledgementsShowTheirStates) {
  Connect();
  chats().OpenChat(5551);
  TFCzat* w = chats().At(chats().FindChat(5551));
  const std::pair<uint32_t, uint8_t> acks[] = {{2, Delivered}, {3, Queued}, {6, NotDelivered}};
  for (size_t i = 0; i < 3; ++i) {
    serwer.setAckStatus(acks[i].first);
    w->Memo1->insertPlainText(QString::fromUtf8("Zażółć %1").arg(i));
    QTest::keyClick(w->Memo1, Qt::Key_Return);
    ASSERT_TRUE(serwer.waitForPacket(gg::out::kSendMsg, int(i) + 1));
    ASSERT_TRUE(WaitMessages(5551, i + 1));
    EXPECT_EQ(MessagesOf(5551)[i].Kind, acks[i].second) << "ack status " << acks[i].first;
  }
  const auto sent = serwer.packetsOfType(gg::out::kSendMsg);
  // Recipient, sequence 1 (each acknowledged before the next), class 8, the
  // text's Windows-1250 bytes and a zero byte.
  EXPECT_EQ(sent[0].payload.toHex(' ').toStdString(),
            QByteArray("\xaf\x15\x00\x00\x01\x00\x00\x00\x08\x00\x00\x00Za\xbf\xf3\xb3\xe6 0\x00", 21)
                .toHex(' ')
                .toStdString());
  EXPECT_EQ(MessagesOf(5551)[0].Text, "Za\xbf\xf3\xb3\xe6 0");
  EXPECT_TRUE(w->Memo1->toPlainText().isEmpty());

  // A repeated acknowledgement finds nothing pending.
  ASSERT_TRUE(serwer.sendAck(2, 5551, 1));
  EXPECT_FALSE(Serwer::waitFor([&] { return MessagesOf(5551).size() != 3u; }, 200));
  EXPECT_EQ(MessagesOf(5551).size(), 3u);
  const QByteArray archived = ArchiveFile();
  EXPECT_EQ(Count(archived, "<p class=moje><b>Rozmowa z Zosia (5551)</b>, "), 3);
  EXPECT_TRUE(archived.contains("Za\xbf\xf3\xb3\xe6 2</p>"));
  EXPECT_EQ(sound.plays, 0);
}

// Text pasted from elsewhere goes out as Windows-1250 the partner's program
// reads: emoji with a picture as its shorthand, typographic characters in
// their plain form, the code page's own quotes as they are. What cannot go
// is left out of the entry and named in the window, above the entry.
TEST_F(ChatLoopbackTest, PastedTextGoesOutInWindows1250AndWhatCannotGoIsNamed) {
  Connect();
  chats().OpenChat(5551);
  TFCzat* w = chats().At(chats().FindChat(5551));
  QApplication::clipboard()->setText(
      QString::fromUtf8("Cześć 🙂 „jutro” → 17:30, ½ h… Привет 👍🏽!\nDo zobaczenia 😉"));
  w->Memo1->paste();
  const QLabel* notice = w->Memo1Fitter->Notice();
  ASSERT_TRUE(notice);
  EXPECT_TRUE(notice->isVisible());
  EXPECT_EQ(notice->text(), QString::fromUtf8("Pominięto znaki, których Gadu-Gadu nie przenosi: П р и в е т 👍🏽"));
  EXPECT_LE(notice->geometry().bottom(), w->Memo1->y());
  EXPECT_GE(notice->y(), w->Rozmowa->y());
  QTest::keyClick(w->Memo1, Qt::Key_Return);
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kSendMsg, 1));
  const QByteArray text("Cze\x9c\xe6 :) \x84jutro\x94 -> 17:30, 1/2 h\x85  !\r\nDo zobaczenia ;)");
  EXPECT_EQ(serwer.packetsOfType(gg::out::kSendMsg)[0].payload.mid(12).toHex(' ').toStdString(),
            (text + '\0').toHex(' ').toStdString());
  ASSERT_TRUE(WaitMessages(5551, 1));
  EXPECT_EQ(MessagesOf(5551)[0].Text, text.toStdString());
}

TEST_F(ChatLoopbackTest, ClosedWindowAndEndedConnectionLoseNoMessage) {
  serwer.setAutoAck(false);
  Connect();
  chats().OpenChat(5551);
  TFCzat* w = chats().At(chats().FindChat(5551));
  w->Memo1->insertPlainText("do zamknietego");
  QTest::keyClick(w->Memo1, Qt::Key_Return);
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kSendMsg));
  w->close();
  ASSERT_TRUE(serwer.sendAck(2, 5551, 1));
  ASSERT_TRUE(Serwer::waitFor([&] { return ArchiveFile().contains("do zamknietego"); }))
      << "an acknowledged message is archived even with its window closed";
  EXPECT_EQ(chats().Count(), 0) << "and no window is made for it";

  chats().OpenChat(5551);
  w = chats().At(chats().FindChat(5551));
  w->Memo1->insertPlainText("nigdy nie potwierdzona");
  QTest::keyClick(w->Memo1, Qt::Key_Return);
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kSendMsg, 2));
  m->Dialog->OnMouseDown(Qt::LeftButton);  // the user disconnects
  ASSERT_TRUE(Serwer::waitFor([&] { return m->Connection().State() == conn::kNiePolaczony; }));
  ASSERT_EQ(MessagesOf(5551).size(), 1u);
  EXPECT_EQ(MessagesOf(5551)[0].Text, "nigdy nie potwierdzona");
  EXPECT_EQ(MessagesOf(5551)[0].Kind, NotDelivered);
  EXPECT_EQ(Count(ArchiveFile(), "<p class=moje>"), 2);
  EXPECT_EQ(m->Outgoing().Pending().Slots(), 0u);

  // The next connection numbers its messages from 1 again.
  Connect();
  w->Memo1->insertPlainText("znowu");
  QTest::keyClick(w->Memo1, Qt::Key_Return);
  ASSERT_TRUE(serwer.waitForPacket(gg::out::kSendMsg));
  EXPECT_EQ(gg::ReadLe32(serwer.packetsOfType(gg::out::kSendMsg)[0].payload.constData() + 4), 1u);
}

TEST_F(ChatLoopbackTest, DoubleClickOnAKnockOpensAStrangersChat) {
  m->Knocks().AddKnock(3456789);
  m->Knocks().ListaPuk->setCurrentRow(0);
  m->Knocks().ListaPukDblClick();
  ASSERT_EQ(chats().Count(), 1);
  TFCzat* w = chats().At(0);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Nieznajomy (nr 3456789)"));
  EXPECT_EQ(m->Knocks().Knocks().Count(), 1) << "the number stays in the list";
  w->hide();
  m->Knocks().ListaPukDblClick();
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(chats().Count(), 1);
}

// A server writing and knocking from thousands of numbers: strangers get
// windows up to the limit, the rest of their messages only the archive,
// while a contact's message still opens its window; the knock list keeps
// the first thousand, each once.
TEST_F(ChatLoopbackTest, FloodsOfStrangersStayBoundedAndEveryMessageIsArchived) {
  Connect();
  const int strangers = ChatWindows::kMaxStrangerChats + 5;
  for (int i = 0; i < strangers; ++i) serwer.sendMessage(7000000 + uint32_t(i), "kup teraz");
  serwer.sendMessage(5551, QByteArray("czy to spam?"));
  ASSERT_TRUE(WaitMessages(5551, 1));
  EXPECT_EQ(chats().Count(), ChatWindows::kMaxStrangerChats + 1);
  EXPECT_EQ(chats().FindChat(7000000 + uint32_t(strangers) - 1), -1);
  EXPECT_EQ(Count(ArchiveFile(), "kup teraz"), strangers);
  EXPECT_EQ(sound.plays, ChatWindows::kMaxStrangerChats + 1);
  // Closing one makes room for the next stranger.
  chats().At(0)->close();
  serwer.sendMessage(7000000 + uint32_t(strangers) - 1, "kup teraz");
  ASSERT_TRUE(Serwer::waitFor([&] { return chats().FindChat(7000000 + uint32_t(strangers) - 1) >= 0; }));

  QList<ggserwer::StatusEntry> knocks;
  for (int i = 0; i < 3 * KnockList::kMaxKnocks; ++i) knocks.append(ggserwer::StatusEntry(8000000 + i % 1500, 0x02));
  ASSERT_TRUE(serwer.sendNotifyReply(knocks));
  ASSERT_TRUE(Serwer::waitFor([&] { return m->Knocks().Knocks().Count() == KnockList::kMaxKnocks; }));
  serwer.sendStatusChange(ggserwer::StatusEntry(9999999, 0x02));
  serwer.sendMessage(5551, QByteArray("po pukaniu"));
  ASSERT_TRUE(WaitMessages(5551, 2));
  const KnockList& list = m->Knocks().Knocks();
  EXPECT_EQ(list.Count(), KnockList::kMaxKnocks);
  EXPECT_EQ(list.At(0), "8000000");
  EXPECT_EQ(list.At(KnockList::kMaxKnocks - 1), "8000999");
  EXPECT_EQ(m->Knocks().ListaPuk->count(), KnockList::kMaxKnocks);
  // Removing one lets the next newcomer in.
  m->Knocks().RemoveAt(0);
  serwer.sendStatusChange(ggserwer::StatusEntry(9999999, 0x02));
  ASSERT_TRUE(Serwer::waitFor([&] { return m->Knocks().Knocks().IndexOf("9999999") >= 0; }));
  EXPECT_EQ(list.Count(), KnockList::kMaxKnocks);
}
