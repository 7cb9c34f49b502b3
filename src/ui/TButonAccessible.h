#pragma once
// What assistive technology is told of an image button: a push button named
// by its accessible name, else by its hint, that the screen reader can press.

#include "ui/PressableAccessible.h"

class TButon;

class TButonAccessible : public PressableAccessible {
 public:
  explicit TButonAccessible(TButon* button);

  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;

  // For QAccessible::installFactory.
  static QAccessibleInterface* Factory(const QString& className, QObject* object);

 protected:
  void Press() override;

 private:
  TButon* button() const;
};
