#include "ui/TNapisButonAccessible.h"

#include "platform/Cp1250.h"
#include "ui/TNapisButon.h"
#include "ui/TSkinnedForm.h"

TNapisButonAccessible::TNapisButonAccessible(TNapisButon* button)
    : PressableAccessible(button) {}

TNapisButon* TNapisButonAccessible::button() const { return static_cast<TNapisButon*>(widget()); }

QAccessibleInterface* TNapisButonAccessible::Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("TNapisButon") && object && object->isWidgetType())
    return new TNapisButonAccessible(static_cast<TNapisButon*>(object));
  return nullptr;
}

QString TNapisButonAccessible::text(QAccessible::Text t) const {
  switch (t) {
    case QAccessible::Name: {
      if (!widget()->accessibleName().isEmpty()) return widget()->accessibleName();
      const QString caption = cp1250::toQString(button()->Napis());
      return caption.isEmpty() ? widget()->toolTip() : caption;
    }
    case QAccessible::Description:
      if (!widget()->accessibleDescription().isEmpty()) return widget()->accessibleDescription();
      return button()->Napis().empty() ? QString() : widget()->toolTip();
    default: return QAccessibleWidget::text(t);
  }
}

QAccessible::State TNapisButonAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.pressed = button()->pressed();
  // Enter in its window presses it.
  if (auto* form = qobject_cast<TSkinnedForm*>(widget()->window()); form && form->DefaultButton() == button())
    s.defaultButton = true;
  return s;
}

void TNapisButonAccessible::Press() {
  if (button()->isEnabled()) button()->Click();
}
