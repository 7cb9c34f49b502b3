// The chat windows and their registry, offscreen, with the connection, the
// tray and the desktop's "open" played by fakes.

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QWheelEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <map>

#include "support/Noon.h"
#include "conversation/view/ChatWindows.h"
#include "conversation/view/TFEmoty.h"
#include "conversation/view/TRozmowa.h"
#include "platform/Cp1250.h"
#include "platform/desktop/ShellOpen.h"
#include "support/RecordingTray.h"
#include "ui/InputFitter.h"
#include "ui/SkinFonts.h"
#include "ui/TButon.h"
#include "ui/TFRozm.h"
#include "ui/UiTestSupport.h"

namespace {

class NoShell : public ShellOpen {
 public:
  bool Open(const QString& path, const QString&) override {
    opened.push_back(path);
    return true;
  }
  std::vector<QString> opened;
};

struct FakeOutgoing : TFCzat::Outgoing {
  bool connected = true;
  bool today = false;
  std::vector<std::pair<uint32_t, std::string>> sent;
  bool Connected() const override { return connected; }
  bool Today() const override { return today; }
  void SendChatMessage(uint32_t n, std::string t) override { sent.emplace_back(n, std::move(t)); }
};

template <class W>
W* OpenWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<W*>(w); d && d->isVisible()) return d;
  return nullptr;
}

// Typed as the keyboard types it, Polish letters included (QTest::keyClicks
// knows Latin-1 only).
void Type(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
  }
}

void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

struct ChatWindowTest : SkinTest {
  NoShell shell;
  FakeOutgoing outgoing;
  RecordingTray tray;
  std::map<uint32_t, std::string> names{{5551, T("Zosia")}};
  int changes = 0;
  std::unique_ptr<ChatWindows> chats;

  void SetUp() override {
    SkinTest::SetUp();
    Skin::get().LoadPictures();
    chats = std::make_unique<ChatWindows>(ChatWindows::Setup{
        shell, QStringLiteral(WM_ASSETS_DIR),
        [this](uint32_t n) {
          const auto it = names.find(n);
          return it == names.end() ? std::nullopt : std::optional<std::string>(it->second);
        },
        outgoing, tray});
    chats->SetOnChanged([this] { ++changes; });
  }
  void TearDown() override {
    chats.reset();
    FlushDeletes();
    SkinTest::TearDown();
  }
  TFCzat* Shown(uint32_t number) {
    TFCzat* w = chats->At(chats->FindOrCreateChat(number));
    w->show();
    return w;
  }
};

}  // namespace

TEST_F(ChatWindowTest, HiddenWindowsCostOnlyTheirConversationUntilShown) {
  const int stranger = chats->FindOrCreateChat(777);
  const int contact = chats->FindOrCreateChat(5551);
  EXPECT_EQ(chats->FindOrCreateChat(777), stranger);
  EXPECT_EQ(chats->FindChat(9), -1);
  ASSERT_EQ(chats->Count(), 2);
  EXPECT_EQ(changes, 2);
  TFCzat* w = chats->At(stranger);
  EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Nieznajomy (nr 777)"));
  EXPECT_EQ(chats->At(contact)->windowTitle(), QString::fromUtf8("Zosia (nr 5551)"));
  EXPECT_EQ(w->Tag, 0);
  EXPECT_EQ(chats->At(contact)->Tag, 1);
  EXPECT_EQ(w->Rozmowa->Number, 777u);
  for (int i = 0; i < chats->Count(); ++i) {
    const QPoint at = chats->At(i)->pos();
    EXPECT_TRUE(at.x() >= 50 && at.x() < 300 && at.y() >= 50 && at.y() < 250) << at.x() << "," << at.y();
  }
  EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);

  chats->AddMessage(stranger, T("Tanio! www.example.com :)"), kNoon, 0);
  EXPECT_FALSE(chats->ChatVisible(stranger));
  EXPECT_EQ(w->windowHandle(), nullptr) << "a hidden window has no native window";
  EXPECT_FALSE(w->ComponentsBuilt());
  EXPECT_EQ(w->Rozmowa->Messages().size(), 1u);

  chats->OpenChat(777);
  EXPECT_TRUE(chats->ChatVisible(stranger));
  EXPECT_NE(w->windowHandle(), nullptr);
  ASSERT_TRUE(w->ComponentsBuilt());
  EXPECT_EQ(w->size(), QSize(377, 290));
  EXPECT_EQ(w->Rozmowa->geometry(), QRect(8, 24, 369, 175));
  EXPECT_EQ(w->BZamknij->geometry(), QRect(3, 3, 16, 16));
  EXPECT_EQ(w->Buton1->geometry(), QRect(356, 3, 16, 16));
  EXPECT_EQ(w->Buton3->geometry(), QRect(338, 3, 16, 16));
  EXPECT_EQ(w->Buton2->geometry(), QRect(350, 208, 20, 20));
  EXPECT_EQ(w->Memo1->geometry(), QRect(8, 208, 340, 73));
  EXPECT_EQ(w->Buton2->IL(), &Skin::get().ILDuze());
  EXPECT_EQ(w->Buton2->Numer(), 7);
  EXPECT_EQ(w->Buton3->toolTip(), QString::fromUtf8("Zmień rozmiar okna"));
  EXPECT_EQ(chats->Count(), 2) << "opening finds the window";

  // Hiding keeps the window, its place in the registry and its conversation.
  QTest::mouseClick(w->Buton1, Qt::LeftButton, {}, w->Buton1->rect().center());
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(chats->FindChat(777), stranger);
  EXPECT_EQ(w->Rozmowa->Messages().size(), 1u);
}

TEST_F(ChatWindowTest, ClosingTheSecondOfThreeRenumbersAndFreesIt) {
  for (uint32_t n : {101u, 102u, 103u}) chats->AddMessage(chats->FindOrCreateChat(n), "x", kNoon, 0);
  QPointer<TFCzat> second = Shown(102);
  changes = 0;
  QTest::mouseClick(second->BZamknij, Qt::LeftButton, {}, second->BZamknij->rect().center());
  FlushDeletes();
  EXPECT_TRUE(second.isNull()) << "a closed window is freed";
  ASSERT_EQ(chats->Count(), 2);
  EXPECT_EQ(chats->At(0)->Tag, 0);
  EXPECT_EQ(chats->At(1)->Tag, 1);
  EXPECT_EQ(chats->At(0)->Number(), 101u);
  EXPECT_EQ(chats->At(1)->Number(), 103u);
  EXPECT_EQ(changes, 1);
  // The next message from that number finds a new, empty window.
  const int again = chats->FindOrCreateChat(102);
  EXPECT_EQ(again, 2);
  EXPECT_TRUE(chats->At(again)->Rozmowa->Messages().empty());

  chats->CloseAll();
  EXPECT_EQ(chats->Count(), 0);
  EXPECT_EQ(changes, 3);
}

TEST_F(ChatWindowTest, NewMessageFlagsRunTheTrayUntilEveryFlaggedWindowIsSeen) {
  const int a = chats->FindOrCreateChat(101), b = chats->FindOrCreateChat(102);
  chats->SetNowy(a, true);
  chats->SetNowy(b, true);
  EXPECT_TRUE(tray.animation);
  chats->At(a)->show();
  EXPECT_FALSE(chats->At(a)->Nowy()) << "showing a window clears its flag";
  EXPECT_TRUE(tray.animation) << "the other one still waits";
  chats->At(b)->close();  // closed unseen
  FlushDeletes();
  EXPECT_FALSE(tray.animation);
  chats->SetNowy(chats->FindOrCreateChat(103), true);
  chats->CloseAll();
  EXPECT_FALSE(tray.animation);
}

TEST_F(ChatWindowTest, EnterSendsWindows1250WithCrLfShiftEnterBreaksTheLine) {
  TFCzat* w = Shown(5551);
  outgoing.connected = false;
  Type(w->Memo1, QString::fromUtf8("Zażółć"));
  QTest::keyClick(w->Memo1, Qt::Key_Return, Qt::ShiftModifier);
  Type(w->Memo1, QString::fromUtf8("gęślą"));
  QTest::keyClick(w->Memo1, Qt::Key_Return);
  EXPECT_TRUE(outgoing.sent.empty()) << "nothing goes out while not connected";
  EXPECT_EQ(w->Memo1->toPlainText(), QString::fromUtf8("Zażółć\ngęślą")) << "and the text stays";

  outgoing.connected = true;
  QTest::keyClick(w->Memo1, Qt::Key_Enter, Qt::KeypadModifier);
  ASSERT_EQ(outgoing.sent.size(), 1u);
  EXPECT_EQ(outgoing.sent[0].first, 5551u);
  EXPECT_EQ(outgoing.sent[0].second, std::string("Za\xBF\xF3\xB3\xE6\r\ng\xEA\x9Cl\xB9"));
  EXPECT_TRUE(w->Memo1->toPlainText().isEmpty());
  EXPECT_TRUE(w->Rozmowa->Messages().empty()) << "shown only once acknowledged";

  QTest::keyClick(w->Memo1, Qt::Key_Return);  // empty: nothing
  EXPECT_EQ(outgoing.sent.size(), 1u);

  // Shift+Enter replaces a selection.
  QTest::keyClicks(w->Memo1, "ab");
  QTest::keyClick(w->Memo1, Qt::Key_Left, Qt::ShiftModifier);
  QTest::keyClick(w->Memo1, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(w->EntryText(), "a\r\n");
}

TEST_F(ChatWindowTest, EntryKeepsTo1980BytesWithLineBreaksCountingTwo) {
  TFCzat* w = Shown(5551);
  // A paste of 2500 characters keeps its first 1980.
  w->Memo1->insertPlainText(QString(2500, QChar(u'ż')));
  EXPECT_EQ(w->EntryText(), std::string(1980, '\xBF'));
  w->Memo1->clear();

  w->Memo1->insertPlainText(QString(1979, QChar(u'a')));
  QTest::keyClick(w->Memo1, Qt::Key_Return, Qt::ShiftModifier);  // CR LF does not fit
  EXPECT_EQ(w->EntryText().size(), 1979u);
  QTest::keyClicks(w->Memo1, "bc");
  EXPECT_EQ(w->EntryText(), std::string(1979, 'a') + "b");

  // Typed in the middle of a full entry: what was there stays.
  QTextCursor c = w->Memo1->textCursor();
  c.setPosition(0);
  w->Memo1->setTextCursor(c);
  QTest::keyClicks(w->Memo1, "z");
  EXPECT_EQ(w->EntryText(), std::string(1979, 'a') + "b");
  // With room, line breaks count two: 1976 + CR LF + 2.
  w->Memo1->setPlainText(QString(1976, QChar(u'a')));
  w->Memo1->moveCursor(QTextCursor::End);
  QTest::keyClick(w->Memo1, Qt::Key_Return, Qt::ShiftModifier);
  QTest::keyClicks(w->Memo1, "xyz");
  EXPECT_EQ(w->EntryText(), std::string(1976, 'a') + "\r\nxy");
  // Counted as it goes out: three emoji are six bytes of shorthands.
  w->Memo1->setPlainText(QString(1976, QChar(u'a')));
  w->Memo1->moveCursor(QTextCursor::End);
  w->Memo1->insertPlainText(QString::fromUtf8("🙂😉🙂"));
  EXPECT_EQ(w->EntryText(), std::string(1976, 'a') + ":);)");
  // What one emoji became goes whole or not at all.
  w->Memo1->setPlainText(QString(1975, QChar(u'a')));
  w->Memo1->moveCursor(QTextCursor::End);
  w->Memo1->insertPlainText(QString::fromUtf8("x❤️"));
  EXPECT_EQ(w->EntryText(), std::string(1975, 'a') + "x");

  // An accent typed after its letter joins it, as the code page's letter.
  w->Memo1->clear();
  Type(w->Memo1, QString::fromUtf8("kawe\u0301!"));
  EXPECT_EQ(w->EntryText(), T("kawé!"));
}

TEST_F(ChatWindowTest, PickerInsertsTheTokenAtTheCaret) {
  TFCzat* w = Shown(5551);
  QTest::keyClicks(w->Memo1, "ab");
  QTest::keyClick(w->Memo1, Qt::Key_Left);
  const auto pick = [&](int button) {
    QTimer::singleShot(0, [button] {
      TFEmoty* picker = OpenWindow<TFEmoty>();
      ASSERT_NE(picker, nullptr);
      if (button >= 0)
        QTest::mouseClick(picker->Przyciski[button], Qt::LeftButton, {}, picker->Przyciski[button]->rect().center());
      else
        QTest::mouseClick(picker->BZamknij, Qt::LeftButton, {}, picker->BZamknij->rect().center());
      if (TFEmoty* still = OpenWindow<TFEmoty>()) still->close();
    });
    QTest::mouseClick(w->Buton2, Qt::LeftButton, {}, w->Buton2->rect().center());
  };
  pick(0);
  EXPECT_EQ(w->EntryText(), "a:)b");
  QTextCursor c = w->Memo1->textCursor();
  c.setPosition(0);
  c.setPosition(1, QTextCursor::KeepAnchor);
  w->Memo1->setTextCursor(c);
  pick(44);  // replaces the selection
  EXPECT_EQ(w->EntryText(), "<strzalka>:)b");
  pick(-1);
  EXPECT_EQ(w->EntryText(), "<strzalka>:)b");

  // The identity is unloaded while the picker waits: the window goes, but
  // only once its click has returned, and takes nothing more in.
  QPointer<TFCzat> alive(w);
  bool aliveUnderPicker = false;
  QTimer::singleShot(0, [&] {
    chats->CloseAll();
    aliveUnderPicker = !alive.isNull();
    TFEmoty* picker = OpenWindow<TFEmoty>();
    ASSERT_NE(picker, nullptr);
    QTest::mouseClick(picker->Przyciski[0], Qt::LeftButton, {}, picker->Przyciski[0]->rect().center());
  });
  QTest::mouseClick(w->Buton2, Qt::LeftButton, {}, w->Buton2->rect().center());
  EXPECT_TRUE(aliveUnderPicker);
  ASSERT_FALSE(alive.isNull()) << "freed under its own click";
  EXPECT_EQ(w->EntryText(), "<strzalka>:)b");
  EXPECT_FALSE(w->isVisible());
  FlushDeletes();
  EXPECT_TRUE(alive.isNull());
}

TEST_F(ChatWindowTest, SizeButtonResizesAndTheViewLaysOutAgain) {
  TFCzat* w = Shown(5551);
  std::string text;
  for (int i = 0; i < 40; ++i) text += "slowo ";
  w->Rozmowa->AddMessage(text, kNoon, 0);
  const size_t narrowLines = w->Rozmowa->Messages()[0].Lines.size();
  QTimer::singleShot(0, [] {
    TFRozm* d = OpenWindow<TFRozm>();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->X->text(), "377");
    EXPECT_EQ(d->Y->text(), "290");
    d->X->setText(QStringLiteral("600"));
    d->Y->setText(QStringLiteral("400"));
    QTest::keyClick(d->Y, Qt::Key_Return);
    if (TFRozm* still = OpenWindow<TFRozm>()) still->close();
  });
  QTest::mouseClick(w->Buton3, Qt::LeftButton, {}, w->Buton3->rect().center());
  EXPECT_EQ(w->size(), QSize(600, 400));
  EXPECT_EQ(w->Rozmowa->geometry(), QRect(8, 24, 592, 285));
  EXPECT_EQ(w->Memo1->geometry(), QRect(8, 318, 563, 73));
  EXPECT_EQ(w->Buton1->geometry(), QRect(579, 3, 16, 16));
  EXPECT_EQ(w->Buton3->geometry(), QRect(561, 3, 16, 16));
  EXPECT_EQ(w->Buton2->geometry(), QRect(573, 318, 20, 20));
  EXPECT_EQ(w->BZamknij->geometry(), QRect(3, 3, 16, 16));
  w->grab();  // a paint uses the layout as it is now
  EXPECT_EQ(w->Rozmowa->Layout().TextAreaWidth(), 592 - 16);
  EXPECT_LT(w->Rozmowa->Messages()[0].Lines.size(), narrowLines);
}

TEST_F(ChatWindowTest, EntryAndItsScrollBarTakeTheScheme) {
  ColourScheme scheme;
  scheme.tlo = 0x201008;
  scheme.tekst = 0x40E0F0;
  ApplyColourScheme(scheme);
  TFCzat* w = Shown(5551);
  for (int i = 0; i < 20; ++i) w->Memo1->appendPlainText(QStringLiteral("linia"));
  QCoreApplication::processEvents();
  QScrollBar* bar = w->Memo1->verticalScrollBar();
  ASSERT_TRUE(bar->isVisible());
  const QImage img = Render(*w->Memo1);
  const QRect strip(bar->mapTo(w->Memo1, QPoint(0, 0)), bar->size());
  const DerivedColours& d = colours();
  EXPECT_EQ(At(img, w->Memo1->width() / 3, w->Memo1->height() - 2), d.frameShade[0]);
  EXPECT_GT(CountOf(img, d.frameShade[0], strip), strip.width() * strip.height() / 4) << "the track";
  EXPECT_GT(CountOf(img, scheme.tekst, strip), 10) << "the thumb";
  EXPECT_EQ(FromQRgb(w->Memo1->palette().color(QPalette::Text).rgb()), scheme.tekst);
  int light = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) light += MaxChannel(At(img, x, y)) > 200 && At(img, x, y) != scheme.tekst;
  EXPECT_LT(light, img.width() * img.height() / 50) << "no light desktop default";
}

namespace {

void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QMouseEvent e(type, at, w->mapToGlobal(at), button, held, modifiers);
  QCoreApplication::sendEvent(w, &e);
}

void Wheel(QWidget* w, QPoint angle, QPoint pixels = {}) {
  const QPointF at(w->width() / 2, w->height() / 2);
  QWheelEvent e(at, w->mapToGlobal(at), pixels, angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(w, &e);
}

// The middle of the character at offset in line 0 of message i, as the view
// is scrolled now.
QPoint CharAt(TRozmowa* view, std::size_t i, std::size_t offset) {
  const ConversationLayout& l = view->Layout();
  const int top = static_cast<int>(view->height() - l.TotalHeight() + view->ScrollOffset() + (i ? l.Ends()[i - 1] : 0));
  const Wiersz& message = l.Messages()[i];
  const std::string& line = message.Lines[0];
  const QFontMetrics m(SansSerifFont());
  // Text runs as drawn, objects by their widths.
  int x = 2;
  std::size_t run = 0, object = 0;
  for (std::size_t k = 0; k <= offset && k < line.size(); ++k) {
    if (line[k] != '\x01' && k < offset) continue;
    x += m.horizontalAdvance(cp1250::toQString(line.substr(run, k - run)));
    if (k < offset) x += message.Objects[object++].Width;
    run = k + 1;
  }
  const int w = line[offset] == '\x01' ? message.Objects[object].Width
                                        : m.horizontalAdvance(cp1250::toQString(line.substr(offset, 1)));
  return {x + w / 2, top + 4 + 7};
}

}  // namespace

// Two dozen messages: the wheel, a touchpad and the keys of the entry scroll
// them; a drag selects across two messages, a smile and a link among them;
// Ctrl+C and the context menu's "Kopiuj" copy it as plain text; the entry's
// own selection and Ctrl+C go on working.
TEST_F(ChatWindowTest, ScrollSelectAndCopyAsOnADesktop) {
  TFCzat* w = Shown(5551);
  TRozmowa* view = w->Rozmowa;
  view->SetToday([] { return DayNumber(2026, 12, 8); });
  const int chat = chats->FindChat(5551);
  for (int i = 0; i < 20; ++i) chats->AddMessage(chat, "wiadomosc " + std::to_string(i), kNoon + i * 60, i % 2);
  chats->AddMessage(chat, T("Zobacz :) tutaj"), kNoon + 600, Received);
  chats->AddMessage(chat, T("www.wp.pl/plan i tyle"), kNoon + 660, Delivered);
  QApplication::setWheelScrollLines(3);
  const int64_t most = view->Layout().TotalHeight() - view->height();
  ASSERT_GT(most, 200);

  // A notch is three lines of 15 pixels; two half notches make one more; a
  // touchpad moves by its pixels; nothing goes past either end.
  Wheel(view, {0, 120});
  EXPECT_EQ(view->ScrollOffset(), 45);
  Wheel(view, {0, 60});
  Wheel(view, {0, 60});
  EXPECT_EQ(view->ScrollOffset(), 90);
  Wheel(view, {0, -8}, {0, -7});
  EXPECT_EQ(view->ScrollOffset(), 83);
  Wheel(view, {0, 120 * 100});
  EXPECT_EQ(view->ScrollOffset(), most);
  Wheel(view, {0, -120 * 100});
  EXPECT_EQ(view->ScrollOffset(), 0);

  // From the entry: Page Up and Page Down by the view's height less a line,
  // Ctrl+Home to the oldest, Ctrl+End to the newest; the entry is untouched.
  w->Memo1->setPlainText(QStringLiteral("pisze"));
  w->Memo1->moveCursor(QTextCursor::End);
  QTest::keyClick(w->Memo1, Qt::Key_PageUp);
  EXPECT_EQ(view->ScrollOffset(), 175 - 15);
  QTest::keyClick(w->Memo1, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(view->ScrollOffset(), most);
  QTest::keyClick(w->Memo1, Qt::Key_PageDown);
  EXPECT_EQ(view->ScrollOffset(), most - 160);
  QTest::keyClick(w->Memo1, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(view->ScrollOffset(), 0);
  EXPECT_EQ(w->Memo1->toPlainText(), QStringLiteral("pisze"));
  EXPECT_EQ(w->Memo1->textCursor().position(), 5);

  // The pointer: a hand over the link, an I-beam over text.
  const InlineObject& link = view->Messages()[21].Objects.at(0);
  const QPoint onLink(link.X + 2 + link.Width - 3, CharAt(view, 21, 0).y());
  Mouse(view, QEvent::MouseMove, onLink, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(view->cursor().shape(), Qt::PointingHandCursor);
  Mouse(view, QEvent::MouseMove, CharAt(view, 20, 2), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(view->cursor().shape(), Qt::IBeamCursor);

  // A drag from the left half of "Z" to the right end of the link.
  const QPoint from = CharAt(view, 20, 0) - QPoint(2, 0);
  Mouse(view, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  Mouse(view, QEvent::MouseMove, from + QPoint(30, 5), Qt::NoButton, Qt::LeftButton);
  Mouse(view, QEvent::MouseMove, onLink, Qt::NoButton, Qt::LeftButton);
  Mouse(view, QEvent::MouseButtonRelease, onLink, Qt::LeftButton, Qt::NoButton);
  const QString both = QString::fromUtf8("12:10\nZobacz :) tutaj\n12:11\nwww.wp.pl/plan");
  EXPECT_EQ(view->SelectedText(), both);
  EXPECT_TRUE(shell.opened.empty()) << "a drag that ends on a link opens nothing";
  // Drawn in the selection colour, the link's caption among it.
  const QImage img = Render(*view);
  const QColor highlight = view->palette().color(QPalette::Highlight);
  EXPECT_GT(CountOf(img, FromQRgb(highlight.rgb()), QRect(link.X + 2, onLink.y() - 6, link.Width, 12)), 20);

  QApplication::clipboard()->clear();
  QTest::keyClick(w->Memo1, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), both);

  // The context menu's "Kopiuj" copies the same.
  QApplication::clipboard()->clear();
  QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, onLink, view->mapToGlobal(onLink));
  QCoreApplication::sendEvent(view, &menuEvent);
  QMenu* menu = view->ContextMenu();
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(menu->isVisible());
  ASSERT_TRUE(view->Kopiuj->isEnabled());
  EXPECT_TRUE(view->Kopiuj->text().startsWith(QStringLiteral("Kopiuj")));
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(view->Kopiuj).center());
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(QApplication::clipboard()->text(), both);

  // The entry's own selection, made last, is what its Ctrl+C copies ...
  w->Memo1->selectAll();
  QTest::keyClick(w->Memo1, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("pisze"));
  // ... until a word of the view is double-clicked.
  QTest::mouseDClick(view, Qt::LeftButton, {}, CharAt(view, 20, 9));
  EXPECT_EQ(view->SelectedText(), QStringLiteral("tutaj"));
  QTest::keyClick(w->Memo1, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("tutaj"));
  EXPECT_TRUE(w->Memo1->textCursor().hasSelection()) << "the entry keeps its selection";

  // The selection stays through a new message and a narrower window.
  chats->AddMessage(chat, "i jeszcze jedna", kNoon + 720, Received);
  EXPECT_EQ(view->ScrollOffset(), 0) << "a view at the bottom stays there";
  w->SetClientSize(250, 290);
  EXPECT_EQ(view->SelectedText(), QStringLiteral("tutaj"));

  // While a drag goes on, new messages do not move the text under it.
  const QPoint start = CharAt(view, 20, 0);
  Mouse(view, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
  Mouse(view, QEvent::MouseMove, start + QPoint(20, 0), Qt::NoButton, Qt::LeftButton);
  chats->AddMessage(chat, "a to w trakcie", kNoon + 780, Received);
  EXPECT_EQ(CharAt(view, 20, 0), start);
  Mouse(view, QEvent::MouseButtonRelease, start + QPoint(20, 0), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(view->SelectedText().left(3), QStringLiteral("Zob"));

  // A third click selects the whole message.
  QTest::mouseDClick(view, Qt::LeftButton, {}, CharAt(view, 20, 9));
  QTest::mouseClick(view, Qt::LeftButton, {}, CharAt(view, 20, 9));
  EXPECT_EQ(view->SelectedText(), QString::fromUtf8("Zobacz :) tutaj"));

  // Dragged above the view, the selection scrolls it toward the oldest.
  const int64_t offset = view->ScrollOffset();
  Mouse(view, QEvent::MouseButtonPress, CharAt(view, 20, 0), Qt::LeftButton, Qt::LeftButton);
  Mouse(view, QEvent::MouseMove, QPoint(10, -40), Qt::NoButton, Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([&] { return view->ScrollOffset() > offset + 40; }, 5000));
  Mouse(view, QEvent::MouseButtonRelease, QPoint(10, -40), Qt::LeftButton, Qt::NoButton);
  EXPECT_GT(view->ScrollOffset(), offset + 40);
  EXPECT_TRUE(view->SelectedText().endsWith(QStringLiteral("\nwiadomosc 19"))) << view->SelectedText().toStdString();
}

// Today's network: typed text goes out whole, an emoji one of the 1980; received, "😀)" stays text, ":)" a
// picture, neither the pointer nor a long word's break falls inside a character, a copy is as sent.
TEST_F(ChatWindowTest, TodaysNetworkKeepsEveryCharacter) {
  outgoing.today = true;
  TFCzat* w = Shown(5551);
  w->Memo1->insertPlainText(QString::fromUtf8("Привет 😀) :) ż"));
  QTest::keyClick(w->Memo1, Qt::Key_Return);
  const std::string sent = outgoing.sent.at(0).second + " " + cp1250::fromQStringWide(QString(200, QChar(u'Ж')));
  EXPECT_EQ(sent.substr(0, 57), "\x98""00041F\x98""000440\x98""000438\x98""000432\x98""000435\x98""000442 \x98""01F600) :) \xBF ");
  w->Memo1->insertPlainText(QString(1979, QChar(u'a')) + QString::fromUtf8("😀😀"));
  EXPECT_EQ(w->Memo1->toPlainText().size(), 1981);
  chats->AddMessage(chats->FindChat(5551), sent, kNoon, Received);
  const TRozmowa* view = w->Rozmowa;
  ASSERT_EQ(view->Messages()[0].Objects.size(), 1u) << "only the \":)\" typed as one";
  const std::string& text = view->Layout().LaidOutText(0);
  for (int y = 0; y < view->height(); y += 5)
    for (int x = 0; x < view->width(); ++x)
      ASSERT_EQ(cp1250::cutBefore(text, view->Layout().PositionAt(x, y, view->height()).offset),
                view->Layout().PositionAt(x, y, view->height()).offset) << x << "," << y;
  w->Rozmowa->SelectAll();
  EXPECT_EQ(view->SelectedText(), cp1250::toQString(sent));
}
