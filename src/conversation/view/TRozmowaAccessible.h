#pragma once
// What assistive technology is told of a conversation: a read-only list of
// its messages, oldest first, each an item named as SpokenMessage says it
// (who, when and what became of it, the text with emoticons as their
// shorthand) and readable as text, with its links as link objects that open
// as a click opens them. A new message is told to the bridge as a new item.
// Items are made only when a screen reader asks for them: a conversation of
// thousands of messages costs nothing more while none is listening.

#include <QAccessibleWidget>
#include <QPointer>
#include <cstddef>
#include <map>
#include <utility>

#include "ui/ActionLeafAccessible.h"

class TRozmowa;

class TRozmowaAccessible : public QAccessibleWidget {
 public:
  explicit TRozmowaAccessible(TRozmowa* view);
  ~TRozmowaAccessible() override;

  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;

  // The item of link `link` of message `message`, made when first asked.
  QAccessibleInterface* LinkItem(std::size_t message, std::size_t link) const;

  // The view took a message; emptied: it dropped its history first.
  // Nothing unless assistive technology is active.
  static void MessageAdded(TRozmowa* view, bool emptied);
  static QAccessibleInterface* Factory(const QString& className, QObject* object);

 private:
  TRozmowa* view() const;
  void Forget();

  mutable std::map<std::size_t, QAccessible::Id> messages_;
  mutable std::map<std::pair<std::size_t, std::size_t>, QAccessible::Id> links_;
};

// One message: a list item with its words as text and its links as children.
class TRozmowaMessageAccessible : public QAccessibleInterface, public QAccessibleTextInterface {
 public:
  TRozmowaMessageAccessible(TRozmowa* view, std::size_t message);

  std::size_t Message() const { return message_; }

  bool isValid() const override;
  QObject* object() const override { return nullptr; }
  QWindow* window() const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int index) const override;
  int childCount() const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // Read-only text: no caret, no selection of its own.
  void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

 private:
  QString Spoken() const;
  const TRozmowaAccessible* list() const;

  QPointer<TRozmowa> view_;
  std::size_t message_;
};

// A link of a message: its address as the message has it; pressing it
// opens what a click opens.
class TRozmowaLinkAccessible : public ActionLeafAccessible {
 public:
  TRozmowaLinkAccessible(TRozmowa* view, std::size_t message, std::size_t link);

  std::size_t Message() const { return message_; }
  std::size_t Link() const { return link_; }

  bool isValid() const override;
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QString text(QAccessible::Text t) const override;
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::Link; }
  QAccessible::State state() const override;

  QStringList actionNames() const override { return {pressAction()}; }
  QString localizedActionDescription(const QString& actionName) const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QPointer<TRozmowa> view_;
  std::size_t message_;
  std::size_t link_;
};
