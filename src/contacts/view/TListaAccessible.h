#pragma once
// What assistive technology is told of the contact list: a list whose items
// are the contacts in display order, each named as SpokenContact says it,
// the selected one selected (and focused while the list has the focus), a
// double-click as the item's default action. Items are made only when a
// screen reader asks for them and are known by the contact's number, so an
// item stays the same contact while the list is sorted anew.
//
// The list tells the bridge of its changes through ListChanged: a contact's
// new status or description changes its item's name (and is a notice while
// the contact is the focused one), contacts coming, going or moving change
// the list, a new selection moves the focus. Which contact is selected the
// list answers as a table of one column whose cells are the items.

#include <QAccessibleWidget>
#include <QPointer>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/ActionLeafAccessible.h"

class TLista;

class TListaAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit TListaAccessible(TLista* list);
  ~TListaAccessible() override;

  QString text(QAccessible::Text t) const override;
  QAccessible::State state() const override;
  int childCount() const override;
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // Which contact is selected, asked as of a table of one column: the
  // only way the desktop's bridge asks a list for its selection.
  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override;
  int selectedCellCount() const override;
  QList<QAccessibleInterface*> selectedCells() const override;
  QString columnDescription(int) const override { return {}; }
  QString rowDescription(int) const override { return {}; }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return selectedCellCount(); }
  int columnCount() const override { return 1; }
  int rowCount() const override { return childCount(); }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override;
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int row) const override;
  bool selectRow(int row) override;
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  // The items are known by their contacts' numbers: nothing to redo.
  void modelChange(QAccessibleTableModelChangeEvent*) override {}

  // Nothing unless assistive technology is active; then the events for
  // what changed since the list last told.
  static void ListChanged(TLista* list);
  // The list took the focus: the selected contact has it.
  static void FocusIn(TLista* list);
  static QAccessibleInterface* Factory(const QString& className, QObject* object);

 private:
  struct Shown {
    uint32_t numer;
    std::string spoken;
  };
  std::vector<Shown> Now() const;
  void Changed();
  QAccessibleInterface* ItemFor(uint32_t numer) const;
  TLista* list() const;

  std::vector<Shown> shown_;
  uint32_t selected_ = 0;
  bool anySelected_ = false;
  mutable std::unordered_map<uint32_t, QAccessible::Id> items_;
};

// One contact of the list, a cell of the list's one column.
class TListaItemAccessible : public ActionLeafAccessible, public QAccessibleTableCellInterface {
 public:
  TListaItemAccessible(TLista* list, uint32_t numer);

  uint32_t Numer() const { return numer_; }
  // Its list position now, or -1 once the contact is gone.
  int Position() const;

  bool isValid() const override;
  QWindow* window() const override;
  QAccessibleInterface* parent() const override;
  QString text(QAccessible::Text t) const override;
  QRect rect() const override;
  QAccessible::Role role() const override { return QAccessible::ListItem; }
  QAccessible::State state() const override;
  void* interface_cast(QAccessible::InterfaceType type) override;

  // Its row of the list's table.
  bool isSelected() const override;
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return 0; }
  int rowIndex() const override { return Position(); }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override;

  QStringList actionNames() const override;
  QString localizedActionDescription(const QString& actionName) const override;
  void doAction(const QString& actionName) override;
  QStringList keyBindingsForAction(const QString& actionName) const override;

 private:
  QPointer<TLista> list_;
  uint32_t numer_;
};
