// The dialogs from the keyboard, as a user without a mouse works them: Esc
// closes every skinned dialog as its cancel, Enter presses its default
// button where it has one (never answering a question), Tab goes from field
// to field and on to the buttons, Space presses a button Tab reached.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include "ModalScript.h"
#include "app/TFMain.h"
#include "app/TFStat.h"
#include "app/TFUsta.h"
#include "contacts/view/TFNowy.h"
#include "support/ScriptedMessageBox.h"
#include "ui/TFBoks.h"
#include "ui/TFDialog.h"
#include "ui/TFInfo.h"
#include "ui/TFRozm.h"
#include "ui/TNapisButon.h"

namespace {

void Key(QWidget& w, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
  QWidget* to = w.focusWidget() ? w.focusWidget() : &w;
  QTest::keyClick(to, key, mods);
}

}  // namespace

TEST(DialogKeyboard, EscCancelsEnterPressesTheDefaultTabAndSpaceReachTheButtons) {
  ModalScript user;
  // A warning: Enter acknowledges it.
  user.Then("TFDialog", [](QWidget& w) { Key(w, Qt::Key_Return); });
  EXPECT_FALSE(ShowSkinnedMessageBox("uwaga", kOstrzezenie));
  // A question: Enter does nothing, Esc says "Nie".
  user.Then("TFDialog", [](QWidget& w) {
    Key(w, Qt::Key_Return);
    EXPECT_EQ(static_cast<TSkinnedForm&>(w).modalResult(), kMrNone) << "Enter answered a question";
    Key(w, Qt::Key_Escape);
  });
  EXPECT_FALSE(ShowSkinnedMessageBox("pytanie?", kPytanie));
  // Tab reaches "Tak", Space presses it.
  user.Then("TFDialog", [](QWidget& w) {
    Key(w, Qt::Key_Tab);
    EXPECT_EQ(w.focusWidget(), static_cast<TFDialog&>(w).NapisTak);
    Key(w, Qt::Key_Space);
  });
  EXPECT_TRUE(ShowSkinnedMessageBox("pytanie?", kPytanie));

  // The contact's data: Tab from field to field; the number takes digits
  // only, Delete and Backspace edit it; Esc cancels.
  ScriptedMessageBox box;
  {
    TFNowy d;
    user.Then("TFNowy", [&](QWidget&) {
      d.ENumer->setFocus();
      QTest::keyClicks(d.ENumer, "12a3");
      EXPECT_EQ(d.ENumer->text(), "123");
      d.ENumer->setCursorPosition(0);
      QTest::keyClick(d.ENumer, Qt::Key_Delete);
      EXPECT_EQ(d.ENumer->text(), "23");
      QTest::keyClick(d.ENumer, Qt::Key_Tab);
      EXPECT_EQ(d.focusWidget(), d.ENazwisko) << "Tab stayed in the number";
      Key(d, Qt::Key_Escape);
    });
    EXPECT_EQ(d.ShowModal(), kMrCancel);
  }
  // Esc cancels the status, size, password and about windows too.
  {
    TFStat stat;
    user.Then("TFStat", [](QWidget& w) {
      EXPECT_EQ(w.focusWidget(), static_cast<QWidget*>(static_cast<TFStat&>(w).Edit1)) << "the description takes the typing";
      Key(w, Qt::Key_Escape);
    });
    EXPECT_EQ(stat.ShowModal(), kMrCancel);
  }
  int width = 300, height = 400;
  user.Then("TFRozm", [](QWidget& w) { Key(w, Qt::Key_Escape); });
  EXPECT_FALSE(AskWindowSize(width, height));
  user.Then("TFRozm", [](QWidget& w) {
    auto& d = static_cast<TFRozm&>(w);
    d.X->setText("640");
    Key(w, Qt::Key_Return);
  });
  EXPECT_TRUE(AskWindowSize(width, height));
  EXPECT_EQ(width, 640);
  user.Then("TFBoks", [](QWidget& w) {
    QTest::keyClicks(static_cast<TFBoks&>(w).Et, "tajne");
    Key(w, Qt::Key_Escape);
  });
  EXPECT_EQ(AskPassword(), "tajne") << "the prompt's text is taken however it was closed";
  user.Then("TFInfo", [](QWidget& w) { Key(w, Qt::Key_Escape); });
  ShowAbout();
  EXPECT_EQ(user.Left(), 0u);
  EXPECT_TRUE(user.Unexpected().empty());
}
