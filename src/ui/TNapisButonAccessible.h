#pragma once
// What assistive technology is told of a caption button: a push button named
// by its caption (its hint describes it), that the screen reader can press.

#include "ui/PressableAccessible.h"

class TNapisButon;

class TNapisButonAccessible : public PressableAccessible {
 public:
  explicit TNapisButonAccessible(TNapisButon* button);

  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;

  static QAccessibleInterface* Factory(const QString& className, QObject* object);

 protected:
  void Press() override;

 private:
  TNapisButon* button() const;
};
