#pragma once
// What assistive technology is told of a skinned window: a window named by
// its caption, a dialog while it belongs to another window, and the message
// box an alert whose description is its text, as a screen reader reads a
// message box when it comes up.

#include <QAccessibleWidget>

class TSkinnedForm;

class TSkinnedFormAccessible : public QAccessibleWidget {
 public:
  explicit TSkinnedFormAccessible(TSkinnedForm* form);

  QAccessible::Role role() const override;
  QString text(QAccessible::Text t) const override;

  static QAccessibleInterface* Factory(const QString& className, QObject* object);
};
