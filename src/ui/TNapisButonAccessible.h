#pragma once
// What assistive technology is told of a caption button: a push button named
// by its caption (its hint describes it), that the screen reader can press.

#include <QAccessibleWidget>

class TNapisButon;

class TNapisButonAccessible : public QAccessibleWidget {
 public:
  explicit TNapisButonAccessible(TNapisButon* button);

  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;

  static QAccessibleInterface* Factory(const QString& className, QObject* object);

 private:
  TNapisButon* button() const;
};
