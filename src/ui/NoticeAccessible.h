#pragma once
// A notice for a screen reader: something the user should hear now that is
// not where the focus is (a message that came). It is an object of the
// notification role that appears: readers speak such an object, its role
// and its name, when it is shown, wherever the focus is. Each notice is an
// object of its own, of the window it is said in, which keeps its last few;
// it has no widget and nothing is drawn. Nothing at all happens while no assistive technology
// is on.

#include <QAccessible>
#include <QPointer>
#include <QWidget>

class NoticeAccessible : public QAccessibleInterface {
 public:
  explicit NoticeAccessible(QWidget* owner);

  // Tells the reader `text` as a notice of owner's window (which may be
  // hidden, as a chat taking a message in the background is).
  static void Announce(QWidget* owner, const QString& text);
  // The last notice of owner's window, or null while it has said nothing.
  static NoticeAccessible* Of(QWidget* owner);

  bool isValid() const override { return !owner_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override { return {}; }
  QAccessible::Role role() const override { return QAccessible::Notification; }
  QAccessible::State state() const override;

 private:
  QPointer<QWidget> owner_;
  QString text_;
};
