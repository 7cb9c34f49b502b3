#include "ui/TFRozm.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "UiTestSupport.h"
#include "platform/Cp1250.h"
#include "ui/TNapisButon.h"

namespace {

TFRozm* openDialog() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* d = qobject_cast<TFRozm*>(w); d && d->isVisible()) return d;
  return nullptr;
}

}  // namespace

using SizeDialog = SkinTest;

TEST_F(SizeDialog, LooksAsDesignedAndStartsFromTheCurrentSize) {
  TFRozm d;
  EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Rozmiar okna"));
  EXPECT_EQ(d.size(), QSize(152, 141));
  EXPECT_EQ(d.X->geometry(), QRect(72, 24, 57, 19));
  EXPECT_EQ(d.Y->geometry(), QRect(72, 48, 57, 19));
  EXPECT_EQ(d.XLabel->text(), QString::fromUtf8("szerokość"));
  EXPECT_EQ(d.YLabel->text(), QString::fromUtf8("wysokość"));
  EXPECT_LT(d.XLabel->geometry().right(), d.X->x());
  EXPECT_EQ(cp1250::toUtf8(d.NapisOk->Napis()), "Zatwierdź");
  EXPECT_EQ(d.NapisOk->Modal(), kMrOk);
  EXPECT_EQ(d.NapisOk->geometry(), QRect(16, 80, 57, 49));
  EXPECT_EQ(cp1250::toUtf8(d.NapisAnuluj->Napis()), "Anuluj");
  EXPECT_EQ(d.NapisAnuluj->Modal(), kMrCancel);
  EXPECT_EQ(d.NapisAnuluj->geometry(), QRect(80, 80, 57, 49));

  d.ApplyColours();
  EXPECT_EQ(FromQRgb(d.X->palette().color(QPalette::Base).rgb()), colours().frameShade[0]);
  EXPECT_EQ(FromQRgb(d.X->palette().color(QPalette::Text).rgb()), Skin::get().scheme().tekst);
  EXPECT_EQ(FromQRgb(d.XLabel->palette().color(QPalette::WindowText).rgb()), colours().dimmedText);

  d.Prepare(377, 290);
  EXPECT_EQ(d.X->text(), "377");
  EXPECT_EQ(d.Y->text(), "290");
  EXPECT_EQ(d.X->selectedText(), "377");
  EXPECT_TRUE(d.NapisOk->isEnabled());
}

TEST_F(SizeDialog, OnlyDigitsAreTypedAndConfirmNeedsBothInRange) {
  TFRozm d;
  d.Prepare(300, 300);
  d.show();
  QTest::keyClick(d.X, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(d.X, "2x-0 ,5");  // all but the digits go nowhere
  EXPECT_EQ(d.X->text(), "205");
  EXPECT_TRUE(d.NapisOk->isEnabled());
  QTest::keyClick(d.X, Qt::Key_Backspace);
  EXPECT_EQ(d.X->text(), "20");
  EXPECT_FALSE(d.NapisOk->isEnabled());
  for (const auto& [x, y, ok] : {std::tuple{"199", "300", false}, {"3000", "300", false}, {"200", "2999", true},
                                 {"2999", "200", true}, {"", "300", false}, {"300", "0200", true},
                                 {"300", "99999999999", false}}) {
    d.X->setText(QString::fromLatin1(x));
    d.Y->setText(QString::fromLatin1(y));
    EXPECT_EQ(d.NapisOk->isEnabled(), ok) << x << " x " << y;
  }
  // Nothing but digits comes in by the clipboard either.
  d.Y->setText(QStringLiteral("300"));
  d.Y->selectAll();
  d.Y->insert(QStringLiteral("4OO"));
  EXPECT_EQ(d.Y->text(), "300");
  d.close();
}

TEST_F(SizeDialog, EnterConfirmsOnlyAValidSize) {
  int width = 377, height = 290;
  int invalidEnterLeftItOpen = -1;
  QTimer::singleShot(0, [&] {
    TFRozm* d = openDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->focusWidget(), d->X);
    QTest::keyClicks(d->X, "3000");  // replaces the selected width
    QTest::keyClick(d->X, Qt::Key_Return);
    invalidEnterLeftItOpen = d->isVisible();
    d->X->setText(QStringLiteral("500"));
    QTest::keyClick(d->Y, Qt::Key_Backspace);
    QTest::keyClicks(d->Y, "1");
    QTest::keyClick(d->Y, Qt::Key_Enter);
    if (TFRozm* still = openDialog()) still->close();
  });
  ASSERT_TRUE(AskWindowSize(width, height));
  EXPECT_EQ(invalidEnterLeftItOpen, 1);
  EXPECT_EQ(width, 500);
  EXPECT_EQ(height, 291);

  // Cancel and the close button change nothing.
  QTimer::singleShot(0, [&] {
    TFRozm* d = openDialog();
    ASSERT_NE(d, nullptr);
    d->X->setText(QStringLiteral("800"));
    QTest::mouseClick(d->NapisAnuluj, Qt::LeftButton, {}, d->NapisAnuluj->rect().center());
    if (TFRozm* still = openDialog()) still->close();
  });
  EXPECT_FALSE(AskWindowSize(width, height));
  EXPECT_EQ(width, 500);
}
