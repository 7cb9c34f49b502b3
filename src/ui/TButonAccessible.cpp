#include "ui/TButonAccessible.h"

#include <QMetaObject>

#include "ui/TButon.h"

void PressLater(QWidget* widget, std::function<void()> press) {
  // Dropped with the widget if it goes before the queue is reached.
  QMetaObject::invokeMethod(widget, std::move(press), Qt::QueuedConnection);
}

TButonAccessible::TButonAccessible(TButon* button) : QAccessibleWidget(button, QAccessible::Button) {}

TButon* TButonAccessible::button() const { return static_cast<TButon*>(widget()); }

QAccessibleInterface* TButonAccessible::Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("TButon") && object && object->isWidgetType())
    return new TButonAccessible(static_cast<TButon*>(object));
  return nullptr;
}

// The hint names the button; a name given of its own (the state in words,
// or a name for a button without a hint) comes first, and the hint then
// describes it.
QString TButonAccessible::text(QAccessible::Text t) const {
  const QString own = widget()->accessibleName(), hint = widget()->toolTip();
  switch (t) {
    case QAccessible::Name: return own.isEmpty() ? hint : own;
    case QAccessible::Description: {
      const QString d = widget()->accessibleDescription();
      if (!d.isEmpty()) return d;
      return own.isEmpty() || hint == own ? QString() : hint;
    }
    default: return QAccessibleWidget::text(t);
  }
}

QAccessible::State TButonAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.pressed = button()->pressed();
  return s;
}

QStringList TButonAccessible::actionNames() const {
  QStringList names = QAccessibleWidget::actionNames();
  if (widget()->isEnabled()) names.prepend(pressAction());
  return names;
}

void TButonAccessible::doAction(const QString& actionName) {
  if (actionName != pressAction()) {
    QAccessibleWidget::doAction(actionName);
    return;
  }
  TButon* b = button();
  PressLater(b, [b] { b->Press(); });
}

QStringList TButonAccessible::keyBindingsForAction(const QString& actionName) const {
  if (actionName == pressAction()) return {QStringLiteral("Space")};
  return QAccessibleWidget::keyBindingsForAction(actionName);
}
