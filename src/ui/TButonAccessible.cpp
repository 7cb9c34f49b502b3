#include "ui/TButonAccessible.h"

#include "ui/TButon.h"

TButonAccessible::TButonAccessible(TButon* button) : PressableAccessible(button) {}

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

void TButonAccessible::Press() { button()->Press(); }
