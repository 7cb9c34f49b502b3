#include "ui/BalloonAccessible.h"

#include <QLabel>
#include <QPushButton>

BalloonAccessible::BalloonAccessible(QWidget* balloon) : QAccessibleWidget(balloon, QAccessible::Notification) {
  for (QPushButton* close : balloon->findChildren<QPushButton*>())
    if (close->accessibleName().isEmpty()) close->setAccessibleName(QStringLiteral("Zamknij"));
}

QAccessibleInterface* BalloonAccessible::Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("QBalloonTip") && object && object->isWidgetType())
    return new BalloonAccessible(static_cast<QWidget*>(object));
  return nullptr;
}

// "Celina Żurawska: Cześć!...": the title and the text, as the labels show them.
QString BalloonAccessible::text(QAccessible::Text t) const {
  if (t != QAccessible::Name) return QAccessibleWidget::text(t);
  QStringList said;
  for (const QLabel* label : widget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
    if (!label->text().isEmpty()) said << label->text();
  return said.join(QStringLiteral(": "));
}
