#include "ui/TSkinnedFormAccessible.h"

#include "ui/TFDialog.h"
#include "ui/TSkinnedForm.h"

TSkinnedFormAccessible::TSkinnedFormAccessible(TSkinnedForm* form) : QAccessibleWidget(form, QAccessible::Window) {}

QAccessibleInterface* TSkinnedFormAccessible::Factory(const QString& className, QObject* object) {
  if ((className == QLatin1String("TSkinnedForm") || className == QLatin1String("TFDialog")) && object &&
      object->isWidgetType())
    return new TSkinnedFormAccessible(static_cast<TSkinnedForm*>(object));
  return nullptr;
}

QAccessible::Role TSkinnedFormAccessible::role() const {
  if (qobject_cast<TFDialog*>(widget())) return QAccessible::AlertMessage;
  const auto* form = static_cast<const TSkinnedForm*>(widget());
  return form->windowType() == Qt::Dialog || form->inModalLoop() ? QAccessible::Dialog : QAccessible::Window;
}

QString TSkinnedFormAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return widget()->windowTitle();
  if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
    if (auto* box = qobject_cast<TFDialog*>(widget())) return box->TreS->text();
  return QAccessibleWidget::text(t);
}
