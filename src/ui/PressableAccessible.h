#pragma once
// What assistive technology is told of a drawn control a click presses (an
// image or caption button, a circle, a colour swatch): a push button whose
// press action does what the click does. The press runs after the request
// has been answered: it may open a modal loop, and that loop must not run
// inside the bridge's handling of the request.

#include <QAccessibleWidget>
#include <functional>

class PressableAccessible : public QAccessibleWidget {
 public:
  explicit PressableAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Button) {}

  QStringList actionNames() const override;
  void doAction(const QString& actionName) override;
  // Space presses a control the keyboard reaches.
  QStringList keyBindingsForAction(const QString& actionName) const override;

 protected:
  // What the click does; called from the event loop while the widget lives.
  virtual void Press() = 0;
};

// Runs press from the event loop, unless the widget has gone by then.
void PressLater(QWidget* widget, std::function<void()> press);
