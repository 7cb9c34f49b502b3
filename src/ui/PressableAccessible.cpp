#include "ui/PressableAccessible.h"

#include <QMetaObject>
#include <QWidget>

void PressLater(QWidget* widget, std::function<void()> press) {
  // Dropped with the widget if it goes before the queue is reached.
  QMetaObject::invokeMethod(widget, std::move(press), Qt::QueuedConnection);
}

QStringList PressableAccessible::actionNames() const {
  QStringList names = QAccessibleWidget::actionNames();
  if (widget()->isEnabled()) names.prepend(pressAction());
  return names;
}

void PressableAccessible::doAction(const QString& actionName) {
  if (actionName != pressAction()) {
    QAccessibleWidget::doAction(actionName);
    return;
  }
  // The interface goes with its widget, and the queued call with it too.
  PressLater(widget(), [this] { Press(); });
}

QStringList PressableAccessible::keyBindingsForAction(const QString& actionName) const {
  if (actionName == pressAction() && (widget()->focusPolicy() & Qt::TabFocus)) return {QStringLiteral("Space")};
  return QAccessibleWidget::keyBindingsForAction(actionName);
}
