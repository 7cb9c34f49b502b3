#include "app/TShapeAccessible.h"

#include "app/TShape.h"

TShapeAccessible::TShapeAccessible(TShape* shape) : PressableAccessible(shape) {}

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

void TShapeAccessible::Press() {
  auto* shape = static_cast<TShape*>(widget());
  if (shape->isEnabled() && shape->OnMouseDown) shape->OnMouseDown(Qt::LeftButton);
}
