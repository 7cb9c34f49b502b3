#pragma once
// What assistive technology is told of a circle of the main window: a button
// named by what it shows in words (the connection's state, whether
// reconnection is on), pressed as a click presses it.

#include <QAccessibleWidget>

class TShape;

class TShapeAccessible : public QAccessibleWidget {
 public:
  explicit TShapeAccessible(TShape* shape);

  QString text(QAccessible::Text t) const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;

  static QAccessibleInterface* Factory(const QString& className, QObject* object);
};
