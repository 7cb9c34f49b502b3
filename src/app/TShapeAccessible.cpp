#include "app/TShapeAccessible.h"

#include "app/TShape.h"
#include "ui/TButonAccessible.h"

TShapeAccessible::TShapeAccessible(TShape* shape) : QAccessibleWidget(shape, QAccessible::Button) {}

QAccessibleInterface* TShapeAccessible::Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("TShape") && object && object->isWidgetType())
    return new TShapeAccessible(static_cast<TShape*>(object));
  return nullptr;
}

QString TShapeAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return widget()->toolTip();
  // The hint begins the name already.
  if (t == QAccessible::Description) return widget()->accessibleDescription();
  return QAccessibleWidget::text(t);
}

QStringList TShapeAccessible::actionNames() const {
  QStringList names = QAccessibleWidget::actionNames();
  if (widget()->isEnabled()) names.prepend(pressAction());
  return names;
}

void TShapeAccessible::doAction(const QString& actionName) {
  if (actionName != pressAction()) {
    QAccessibleWidget::doAction(actionName);
    return;
  }
  auto* shape = static_cast<TShape*>(widget());
  PressLater(shape, [shape] {
    if (shape->isEnabled() && shape->OnMouseDown) shape->OnMouseDown(Qt::LeftButton);
  });
}
