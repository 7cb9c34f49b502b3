#pragma once
// What assistive technology is told of an image button: a push button named
// by its accessible name, else by its hint, that the screen reader can press.

#include <QAccessibleWidget>
#include <functional>

class TButon;

class TButonAccessible : public QAccessibleWidget {
 public:
  explicit TButonAccessible(TButon* button);

  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;
  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;

  // For QAccessible::installFactory.
  static QAccessibleInterface* Factory(const QString& className, QObject* object);

 private:
  TButon* button() const;
};

// The press of a button asked for over the accessibility bus runs after the
// request has been answered: the button's action may open a modal loop, and
// that loop must not run inside the bridge's handling of the request.
void PressLater(QWidget* widget, std::function<void()> press);
