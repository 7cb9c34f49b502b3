#include "ui/QtPolish.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTranslator>
#include <memory>

// The edit boxes' own context menus speak Polish, as everything else does.
TEST(QtPolish, TheEditBoxesContextMenusArePolish) {
  ASSERT_TRUE(InstallQtPolish(*qApp)) << "Qt's Polish translation (qt6-translations-l10n) is not installed";
  QPlainTextEdit box;
  const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
  for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
    QCoreApplication::removeTranslator(t);
    delete t;
  }
  QStringList captions;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) captions << a->text().remove(u'&').section(u'\t', 0, 0);
  EXPECT_EQ(captions, (QStringList{QString::fromUtf8("Cofnij"), QString::fromUtf8("Przywróć"), "Wytnij", "Skopiuj",
                                   "Wklej", QString::fromUtf8("Usuń"), "Zaznacz wszystko"}));
}
