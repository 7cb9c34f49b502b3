#pragma once
// A part of a drawn control that has no widget of its own (a row of a list,
// a link in a message, a tab) and that a screen reader can press: it has no
// object and no children, and its text is not edited.

#include <QAccessible>

class ActionLeafAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  QObject* object() const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  void setText(QAccessible::Text, const QString&) override {}
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
};
