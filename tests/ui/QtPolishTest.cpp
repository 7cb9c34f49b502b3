#include "ui/QtPolish.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTranslator>
#include <memory>

namespace {

QStringList Captions(QMenu* menu) {
  QStringList c;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) c << a->text().remove(u'&').section(u'\t', 0, 0);
  return c;
}

}  // namespace

// The edit boxes' own context menus speak Polish, as everything else does.
TEST(QtPolish, TheEditBoxesContextMenusArePolish) {
  ASSERT_TRUE(InstallQtPolish(*qApp)) << "Qt's Polish translation (qt6-translations-l10n) is not installed";
  QLineEdit line;
  QPlainTextEdit box;
  const std::unique_ptr<QMenu> lineMenu(line.createStandardContextMenu());
  const std::unique_ptr<QMenu> boxMenu(box.createStandardContextMenu());
  for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(t);
    delete t;
  }
  const QStringList polish{QString::fromUtf8("Cofnij"), QString::fromUtf8("Przywróć"), "Wytnij", "Skopiuj", "Wklej",
                           QString::fromUtf8("Usuń"), "Zaznacz wszystko"};
  EXPECT_EQ(Captions(lineMenu.get()), polish);
  EXPECT_EQ(Captions(boxMenu.get()), polish);
}
