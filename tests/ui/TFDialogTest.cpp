#include "ui/TFDialog.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>

#include "UiTestSupport.h"
#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "ui/TNapisButon.h"

namespace {

TFDialog* openBox() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* box = qobject_cast<TFDialog*>(w); box && box->isVisible()) return box;
  return nullptr;
}

// Shows the box and, once it is up, does what the user would.
bool showAndThen(const std::string& text, int kind, std::function<void(TFDialog*)> user) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    TFDialog* box = openBox();
    seen = box != nullptr;
    if (box) user(box);
    // Whatever happened, never leave the test waiting on the loop.
    if (TFDialog* still = openBox()) still->close();
  });
  const bool answer = ShowSkinnedMessageBox(text, kind);
  EXPECT_TRUE(seen);
  return answer;
}

void clickOn(TNapisButon* b) { QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center()); }

}  // namespace

using MessageBoxWindow = SkinTest;

TEST_F(MessageBoxWindow, OnlyTakIsTrue) {
  EXPECT_TRUE(showAndThen(T("Czy na pewno?"), kPytanie, [](TFDialog* b) { clickOn(b->NapisTak); }));
  EXPECT_FALSE(showAndThen(T("Czy na pewno?"), kPytanie, [](TFDialog* b) { clickOn(b->NapisNie); }));
  EXPECT_FALSE(showAndThen(T("Czy na pewno?"), kPytanie, [](TFDialog* b) { b->close(); }));
  EXPECT_FALSE(showAndThen(T("Uwaga"), kOstrzezenie, [](TFDialog* b) { clickOn(b->NapisOk); }));
  EXPECT_FALSE(showAndThen(T("Gotowe"), kInformacja, [](TFDialog* b) { clickOn(b->NapisOk); }));
}

TEST_F(MessageBoxWindow, EnterClosesWarningsAndNoticesButNotQuestions) {
  for (int kind : {int(kOstrzezenie), int(kInformacja), 7}) {
    bool closedByEnter = false;
    EXPECT_FALSE(showAndThen("tekst", kind, [&](TFDialog* b) {
      QTest::keyClick(b, Qt::Key_Return);
      closedByEnter = b->modalResult() == kMrOk;
    }));
    EXPECT_TRUE(closedByEnter) << kind;
  }
  bool stillOpen = false;
  EXPECT_TRUE(showAndThen("pytanie", kPytanie, [&](TFDialog* b) {
    QTest::keyClick(b, Qt::Key_Return);
    QTest::keyClick(b, Qt::Key_Enter);
    stillOpen = b->modalResult() == kMrNone;
    clickOn(b->NapisTak);
  }));
  EXPECT_TRUE(stillOpen);
}

TEST_F(MessageBoxWindow, CaptionsButtonsAndTagByKind) {
  struct Expect {
    int kind;
    const char* caption;
    bool question;
  };
  for (const Expect& e : {Expect{kOstrzezenie, "Ważny komunikat", false}, Expect{kPytanie, "Pytanie do użytkownika", true},
                          Expect{kInformacja, "Informacja", false}, Expect{5, "Ważny komunikat", false}}) {
    SCOPED_TRACE(e.kind);
    TFDialog box;
    box.Prepare("x", e.kind);
    EXPECT_EQ(box.windowTitle(), QString::fromUtf8(e.caption));
    EXPECT_EQ(box.tag(), e.kind + 1);
    EXPECT_EQ(box.NapisOk->isHidden(), e.question);
    EXPECT_EQ(box.NapisTak->isHidden(), !e.question);
    EXPECT_EQ(box.NapisNie->isHidden(), !e.question);
  }
  TFDialog box;
  EXPECT_EQ(box.NapisTak->Napis(), T("Tak"));
  EXPECT_EQ(box.NapisNie->Napis(), T("Nie"));
  EXPECT_EQ(box.NapisOk->Napis(), T("Rozumiem"));
  EXPECT_EQ(box.NapisTak->Modal(), kMrYes);
  EXPECT_EQ(box.NapisNie->Modal(), kMrNo);
  EXPECT_EQ(box.NapisOk->Modal(), kMrOk);
}

TEST_F(MessageBoxWindow, LongTextMakesTheBoxTallerAndButtonsFollowTheBottom) {
  TFDialog shortBox;
  shortBox.Prepare(T("Krótko."), kPytanie);
  std::string longText;
  for (int i = 0; i < 12; ++i) longText += T("Zażółć gęślą jaźń, to bardzo długi komunikat. ");
  TFDialog longBox;
  longBox.Prepare(longText, kPytanie);
  for (TFDialog* box : {&shortBox, &longBox}) {
    EXPECT_EQ(box->width(), 332);
    EXPECT_EQ(box->height(), box->TreS->height() + 80);
    EXPECT_EQ(box->TreS->geometry().topLeft(), QPoint(56, 30));
    EXPECT_EQ(box->TreS->width(), 265);
    for (TNapisButon* b : {box->NapisTak, box->NapisNie, box->NapisOk})
      EXPECT_EQ(box->height() - b->geometry().bottom() - 1, 11);
  }
  EXPECT_GT(longBox.TreS->height(), 4 * shortBox.TreS->height());
  EXPECT_EQ(longBox.height() - shortBox.height(), longBox.TreS->height() - shortBox.TreS->height());
  EXPECT_EQ(longBox.NapisTak->x(), 152);
  EXPECT_EQ(longBox.NapisNie->x(), 240);
}

TEST_F(MessageBoxWindow, TextIsShownAsPlainTextInTheTextColour) {
  ColourScheme s;
  s.tekst = 0x20C0F0;
  ApplyColourScheme(s);
  TFDialog box;
  box.Prepare("<b>1 < 2</b>", kOstrzezenie);
  box.ensurePolished();
  EXPECT_EQ(box.TreS->textFormat(), Qt::PlainText);
  EXPECT_EQ(box.TreS->text(), QStringLiteral("<b>1 < 2</b>"));
  EXPECT_EQ(FromQRgb(box.TreS->palette().color(QPalette::WindowText).rgb()), 0x20C0F0u);
}

TEST_F(MessageBoxWindow, GlyphIsDrawnInTheKindsColour) {
  TFDialog box;
  box.Prepare("x", kOstrzezenie);
  const QImage img = Render(box);
  // "!" in 0x0000F0 with its darker copies below it, left of the text.
  EXPECT_GT(CountOf(img, 0x0000F0, QRect(10, 20, 45, 60)), 10);
  EXPECT_GT(CountOf(img, 0x000078, QRect(10, 20, 45, 70)), 0);  // shifted right by one bit
}

TEST_F(MessageBoxWindow, InstalledAsTheProgramsMessageBox) {
  InstallSkinnedMessageBox();
  QTimer::singleShot(0, [] {
    if (TFDialog* b = openBox()) {
      EXPECT_EQ(b->TreS->text(), QString::fromUtf8("Usunąć?"));
      clickOn(b->NapisTak);
    }
  });
  EXPECT_TRUE(MessageBox(T("Usunąć?"), kPytanie));
  SetMessageBoxHandler(nullptr);
}
