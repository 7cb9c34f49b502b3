#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include "app/TFStat.h"
#include "platform/Cp1250.h"
#include "ui/InputFitter.h"
#include "ui/TButon.h"

namespace {

void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

// Key presses carrying letters beyond ASCII, as a keyboard layout sends them.
void Type(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
  }
}

}  // namespace

TEST(StatusDialog, StartsWithTheBoxCheckedButDisabledAndTheButtonsOfTheirStatuses) {
  TFStat d;
  EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Zmiana stanu"));
  EXPECT_EQ(d.Label1->text(), QString::fromUtf8("status opisowy"));
  EXPECT_TRUE(d.CheckBox1->isChecked());
  EXPECT_FALSE(d.CheckBox1->isEnabled());
  EXPECT_EQ(d.Edit1->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(d.Buton1->Numer(), 2);
  EXPECT_EQ(d.Buton2->Numer(), 4);
  EXPECT_EQ(d.Buton3->Numer(), 0);
}

TEST(StatusDialog, TypingChecksTheBoxAndEmptyingDisablesItWithoutUnchecking) {
  TFStat d;
  d.CheckBox1->setEnabled(true);
  d.CheckBox1->setChecked(false);
  QTest::keyClicks(d.Edit1, "ab");
  EXPECT_TRUE(d.CheckBox1->isEnabled());
  EXPECT_TRUE(d.CheckBox1->isChecked());
  d.CheckBox1->setChecked(false);  // unchecked by hand, then edited on
  QTest::keyClick(d.Edit1, Qt::Key_Backspace);
  EXPECT_TRUE(d.CheckBox1->isChecked());  // every change that leaves text checks it
  QTest::keyClick(d.Edit1, Qt::Key_Backspace);
  EXPECT_FALSE(d.CheckBox1->isEnabled());
  d.CheckBox1->setChecked(true);
  QTest::keyClicks(d.Edit1, "x");
  QTest::keyClick(d.Edit1, Qt::Key_Backspace);
  EXPECT_FALSE(d.CheckBox1->isEnabled());
  EXPECT_TRUE(d.CheckBox1->isChecked());
}

TEST(StatusDialog, TheChoiceIsTheButtonsStatusWithTheFlagOnlyForACheckedNonEmptyText) {
  TFStat d;
  Click(d.Buton1);
  EXPECT_EQ(d.Wybor(), 2);  // checked, but nothing to carry
  EXPECT_EQ(d.modalResult(), kMrOk);
  QTest::keyClicks(d.Edit1, "abc");
  Click(d.Buton1);
  EXPECT_EQ(d.Wybor(), 3);
  Click(d.Buton2);
  EXPECT_EQ(d.Wybor(), 5);
  Click(d.Buton3);
  EXPECT_EQ(d.Wybor(), 1);
  Click(d.CheckBox1);
  EXPECT_FALSE(d.CheckBox1->isChecked());
  Click(d.Buton2);
  EXPECT_EQ(d.Wybor(), 4);
  Click(d.Buton3);
  EXPECT_EQ(d.Wybor(), 0);
  Click(d.BZamknij);
  EXPECT_EQ(d.modalResult(), kMrCancel);
}

TEST(StatusDialog, LineBreaksGoOutAsCrLfAndCountTwice) {
  TFStat d;
  Type(d.Edit1, QString::fromUtf8("zażółć"));
  QTest::keyClick(d.Edit1, Qt::Key_Return);
  QTest::keyClicks(d.Edit1, "b");
  EXPECT_EQ(d.Text(), T("zażółć") + "\r\nb");
  d.SetText("x\r\ny\rz\nw");
  EXPECT_EQ(d.Edit1->toPlainText(), "x\ny\nz\nw");
  EXPECT_EQ(d.Text(), "x\r\ny\r\nz\r\nw");

  d.SetText(std::string(67, 'a'));
  QTest::keyClick(d.Edit1, Qt::Key_End);
  QTest::keyClick(d.Edit1, Qt::Key_Return);  // 69
  QTest::keyClick(d.Edit1, Qt::Key_Return);  // would be 71
  EXPECT_EQ(d.Text(), std::string(67, 'a') + "\r\n");
  QTest::keyClicks(d.Edit1, "bc");
  EXPECT_EQ(d.Text(), std::string(67, 'a') + "\r\nb");
}

TEST(StatusDialog, TheSeventyFirstCharacterCannotBeTypedNorPasted) {
  TFStat d;
  QTest::keyClicks(d.Edit1, QString(69, QLatin1Char('a')));
  Type(d.Edit1, QString::fromUtf8("ąę"));
  EXPECT_EQ(d.Text(), std::string(69, 'a') + T("ą"));
  // Not at the end either: the text stays as it was.
  QTest::keyClick(d.Edit1, Qt::Key_Home);
  QTest::keyClicks(d.Edit1, "z");
  EXPECT_EQ(d.Text(), std::string(69, 'a') + T("ą"));

  QTest::keyClick(d.Edit1, Qt::Key_Backspace);  // at the start: nothing
  QTest::keyClick(d.Edit1, Qt::Key_End);
  for (int i = 0; i < 5; ++i) QTest::keyClick(d.Edit1, Qt::Key_Backspace);
  ASSERT_EQ(d.Text(), std::string(65, 'a'));
  QApplication::clipboard()->setText(QStringLiteral("123456789"));
  d.Edit1->paste();
  EXPECT_EQ(d.Text(), std::string(65, 'a') + "12345");
  EXPECT_EQ(d.Edit1->textCursor().position(), 70);

  // A longer stored description is shown whole and may only shrink.
  d.SetText(std::string(80, 'q'));
  EXPECT_EQ(d.Text(), std::string(80, 'q'));
  QTest::keyClick(d.Edit1, Qt::Key_End);
  QTest::keyClicks(d.Edit1, "r");
  EXPECT_EQ(d.Text(), std::string(80, 'q'));
  QTest::keyClick(d.Edit1, Qt::Key_Backspace);
  EXPECT_EQ(d.Text(), std::string(79, 'q'));
}

// A pasted description: a face goes as its shorthand, what Windows-1250
// lacks is left out and named under the box, the limit counts what stays,
// and one undo takes the whole paste back.
TEST(StatusDialog, PastedDescriptionKeepsToWindows1250AndNamesWhatItLeftOut) {
  TFStat d;
  d.show();
  d.SetText(std::string(60, 'a'));
  QTest::keyClick(d.Edit1, Qt::Key_End);
  QApplication::clipboard()->setText(QString::fromUtf8(" 🙂 Ж 😂 …end!"));
  d.Edit1->paste();
  EXPECT_EQ(d.Text(), std::string(60, 'a') + " :)   \x85" "end");
  const QLabel* notice = d.Edit1Fitter->Notice();
  ASSERT_TRUE(notice);
  EXPECT_TRUE(notice->isVisible());
  EXPECT_EQ(notice->text(), QString::fromUtf8("Pominięto znaki, których Gadu-Gadu nie przenosi: Ж 😂"));
  EXPECT_TRUE(d.rect().contains(notice->geometry()));
  EXPECT_GE(notice->y(), d.Edit1->geometry().bottom()) << "under the box, where there is room";
  d.Edit1->undo();
  EXPECT_EQ(d.Text(), std::string(60, 'a'));
}
