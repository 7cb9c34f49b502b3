#pragma once
// What assistive technology is told of a circle of the main window: a button
// named by what it shows in words (the connection's state, whether
// reconnection is on), pressed as a click presses it.

#include "ui/PressableAccessible.h"

class TShape;

class TShapeAccessible : public PressableAccessible {
 public:
  explicit TShapeAccessible(TShape* shape);

  QString text(QAccessible::Text t) const override;

  static QAccessibleInterface* Factory(const QString& className, QObject* object);

 protected:
  void Press() override;
};
