#include "ui/TFBoks.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

#include "UiTestSupport.h"
#include "platform/Cp1250.h"
#include "ui/InputFitter.h"
#include "ui/TNapisButon.h"

namespace {

TFBoks* openBoks() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* b = qobject_cast<TFBoks*>(w); b && b->isVisible()) return b;
  return nullptr;
}

// Runs the prompt and, once it is up, does what the user would.
std::string askAndThen(std::function<std::string()> ask, std::function<void(TFBoks*)> user) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    TFBoks* b = openBoks();
    seen = b != nullptr;
    if (b) user(b);
    if (TFBoks* still = openBoks()) still->close();  // never leave the test waiting
  });
  std::string answer = ask();
  EXPECT_TRUE(seen);
  return answer;
}

}  // namespace

using PromptWindow = SkinTest;

TEST_F(PromptWindow, PasswordPromptLooksAsTheLoginNeedsIt) {
  TFBoks boks;
  EXPECT_EQ(boks.windowTitle(), QString::fromUtf8("Wprowadź hasło"));
  EXPECT_EQ(boks.EtLabel->text(), QString::fromUtf8("Wprowadź hasło do serwera GG:"));
  EXPECT_EQ(cp1250::toUtf8(boks.But->Napis()), "Zatwierdź");
  EXPECT_EQ(boks.But->Modal(), kMrOk);
  EXPECT_EQ(boks.size(), QSize(209, 99));
  EXPECT_TRUE(boks.windowFlags() & Qt::FramelessWindowHint);
  QTest::keyClicks(boks.Et, "tajne");
  EXPECT_EQ(boks.Et->displayText(), "+++++");
  EXPECT_EQ(boks.Text(), "tajne");

  boks.Prepare(T("Wprowadź numer"), T("Wprowadź numer nowej tożsamości:"), false, "12");
  QTest::keyClicks(boks.Et, "34");
  EXPECT_EQ(boks.Et->displayText(), "1234");
  EXPECT_EQ(boks.windowTitle(), QString::fromUtf8("Wprowadź numer"));
}

TEST_F(PromptWindow, TakesTheSchemeAsLabelledEditsDo) {
  ColourScheme s;
  s.tlo = 0x203040;
  s.tekst = 0x00E0F0;
  ApplyColourScheme(s);
  TFBoks boks;
  boks.ensurePolished();
  const DerivedColours& d = colours();
  EXPECT_EQ(FromQRgb(boks.palette().color(QPalette::Window).rgb()), s.tlo);
  EXPECT_EQ(FromQRgb(boks.Et->palette().color(QPalette::Base).rgb()), d.frameShade[0]);
  EXPECT_EQ(FromQRgb(boks.Et->palette().color(QPalette::Text).rgb()), s.tekst);
  EXPECT_EQ(FromQRgb(boks.EtLabel->palette().color(QPalette::WindowText).rgb()), d.dimmedText);
  // The frame is painted as on every skinned window: the title strip in shade 0.
  const QImage image = Render(boks);
  EXPECT_EQ(At(image, 100, 10), d.frameShade[0]);
}

TEST_F(PromptWindow, EnterConfirmsAndTheTextComesBackAsTyped) {
  int result = kMrNone;
  const std::string answer = askAndThen(AskPassword, [&](TFBoks* b) {
    EXPECT_TRUE(b->Et->echoMode() == QLineEdit::Password);
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE((b->geometry().center() - centre).manhattanLength(), 2);
    b->Et->setText(QString::fromUtf8("zażółć"));
    QTest::keyClick(b->Et, Qt::Key_Return);
    result = b->modalResult();
    EXPECT_EQ(b->Et->text(), QString::fromUtf8("zażółć"));  // Enter is not typed
  });
  EXPECT_EQ(result, kMrOk);
  EXPECT_EQ(answer, T("zażółć"));
}

TEST_F(PromptWindow, TheTextIsTakenHoweverTheWindowCloses) {
  EXPECT_EQ(askAndThen(AskPassword,
                       [](TFBoks* b) {
                         QTest::keyClicks(b->Et, "abc");
                         b->close();
                       }),
            "abc");
  EXPECT_EQ(askAndThen(AskPassword, [](TFBoks* b) { b->close(); }), "");
  // Every prompt starts empty, whatever the last one held.
  EXPECT_EQ(askAndThen(AskPassword, [](TFBoks* b) {
                         QTest::mouseClick(b->But, Qt::LeftButton, {}, b->But->rect().center());
                       }),
            "");
  EXPECT_EQ(askAndThen([] { return AskInBoks(T("Wprowadź hasło"), "", true, "stare"); },
                       [](TFBoks* b) { QTest::keyClick(b->Et, Qt::Key_Enter); }),
            "stare");
}

// A password reaches the server as typed or not at all: a pasted character
// Windows-1250 lacks is left out, nothing stands in for it, and the notice
// says so without showing what was typed. An unmasked prompt names it.
TEST_F(PromptWindow, WhatTheCodePageLacksIsLeftOutAndNamedOnlyWhereShown) {
  TFBoks boks;
  boks.show();
  QApplication::clipboard()->setText(QString::fromUtf8("hasło→Ж1"));
  boks.Et->paste();
  EXPECT_EQ(boks.Text(), T("hasło1"));
  EXPECT_EQ(boks.Et->cursorPosition(), 6);
  const QLabel* notice = boks.EtFitter->Notice();
  ASSERT_TRUE(notice);
  EXPECT_TRUE(notice->isVisible());
  EXPECT_EQ(notice->text(), QString::fromUtf8("Pominięto znaki, których Gadu-Gadu nie przenosi."));
  EXPECT_TRUE(notice->testAttribute(Qt::WA_TransparentForMouseEvents)) << "the button under it stays clickable";

  boks.Prepare(T("Wprowadź numer"), T("Wprowadź numer nowej tożsamości:"), false);
  boks.Et->paste();
  EXPECT_EQ(boks.Text(), T("hasło1"));
  EXPECT_EQ(notice->text(), QString::fromUtf8("Pominięto znaki, których Gadu-Gadu nie przenosi: → Ж"));
}
