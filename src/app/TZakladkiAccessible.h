#pragma once
// What assistive technology is told of the settings dialog's tabs: a tab
// list whose tabs are named by their captions, the shown one selected, each
// shown by its action; the pages follow as the control's other children.

#include <QAccessibleWidget>
#include <QPointer>
#include <vector>

#include "ui/ActionLeafAccessible.h"

class TZakladki;

class TZakladkiAccessible : public QAccessibleWidget {
 public:
  explicit TZakladkiAccessible(TZakladki* tabs);
  ~TZakladkiAccessible() override;

  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;

  static QAccessibleInterface* Factory(const QString& className, QObject* object);

 private:
  TZakladki* tabs() const;
  mutable std::vector<QAccessible::Id> tabIds_;
};

class TZakladkaAccessible : public ActionLeafAccessible {
 public:
  TZakladkaAccessible(TZakladki* tabs, int index);

  int Index() const { return index_; }

  bool isValid() const override;
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QString text(QAccessible::Text t) const override;
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::PageTab; }
  QAccessible::State state() const override;

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QPointer<TZakladki> tabs_;
  int index_;
};
