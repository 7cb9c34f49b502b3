#include "contacts/view/TListaAccessible.h"

#include <QAccessible>
#include <QTimer>

#include "contacts/SpokenContact.h"
#include "contacts/view/TLista.h"
#include "platform/Cp1250.h"
#include "ui/NoticeAccessible.h"
#include "ui/PressableAccessible.h"

TListaAccessible::TListaAccessible(TLista* list) : QAccessibleWidget(list, QAccessible::List) {
  shown_ = Now();
  const ContactStore& store = list->Contacts();
  anySelected_ = store.Selected() >= 0;
  if (anySelected_) selected_ = store.Record(store.RecordAt(store.Selected())).numer;
}

TListaAccessible::~TListaAccessible() {
  for (const auto& [numer, id] : items_) QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* TListaAccessible::Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("TLista") && object && object->isWidgetType())
    return new TListaAccessible(static_cast<TLista*>(object));
  return nullptr;
}

TLista* TListaAccessible::list() const { return static_cast<TLista*>(widget()); }

QString TListaAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return QStringLiteral("Znajomi");
  return QAccessibleWidget::text(t);
}

QAccessible::State TListaAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.readOnly = true;
  return s;
}

int TListaAccessible::childCount() const { return list()->Contacts().Count(); }

QAccessibleInterface* TListaAccessible::ItemFor(uint32_t numer) const {
  if (const auto it = items_.find(numer); it != items_.end()) return QAccessible::accessibleInterface(it->second);
  auto* item = new TListaItemAccessible(list(), numer);
  items_.emplace(numer, QAccessible::registerAccessibleInterface(item));
  return item;
}

QAccessibleInterface* TListaAccessible::child(int index) const {
  const ContactStore& store = list()->Contacts();
  if (index < 0 || index >= store.Count()) return nullptr;
  return ItemFor(store.Record(store.RecordAt(index)).numer);
}

int TListaAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const auto* item = dynamic_cast<const TListaItemAccessible*>(child);
  if (!item) return -1;
  const auto it = items_.find(item->Numer());
  if (it == items_.end() || QAccessible::accessibleInterface(it->second) != child) return -1;
  return item->Position();
}

QAccessibleInterface* TListaAccessible::childAt(int x, int y) const {
  const QPoint at = list()->mapFromGlobal(QPoint(x, y));
  if (!list()->rect().contains(at)) return nullptr;
  const int p = PositionAt(list()->Layout(), at.y());
  return p >= 0 ? child(p) : nullptr;
}

QAccessibleInterface* TListaAccessible::focusChild() const {
  const int p = list()->Contacts().Selected();
  return p >= 0 && list()->hasFocus() ? child(p) : nullptr;
}

void* TListaAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* TListaAccessible::cellAt(int row, int column) const { return column == 0 ? child(row) : nullptr; }

int TListaAccessible::selectedCellCount() const { return list()->Contacts().Selected() >= 0 ? 1 : 0; }

QList<QAccessibleInterface*> TListaAccessible::selectedCells() const {
  const int p = list()->Contacts().Selected();
  return p >= 0 ? QList<QAccessibleInterface*>{child(p)} : QList<QAccessibleInterface*>{};
}

QList<int> TListaAccessible::selectedRows() const {
  const int p = list()->Contacts().Selected();
  return p >= 0 ? QList<int>{p} : QList<int>{};
}

bool TListaAccessible::isRowSelected(int row) const { return row >= 0 && list()->Contacts().Selected() == row; }

bool TListaAccessible::selectRow(int row) {
  if (row < 0 || row >= childCount()) return false;
  list()->Select(row);
  return true;
}

std::vector<TListaAccessible::Shown> TListaAccessible::Now() const {
  const ContactStore& store = list()->Contacts();
  std::vector<Shown> now;
  now.reserve(store.Count());
  for (int p = 0; p < store.Count(); ++p) {
    const TKontakt& k = store.Record(store.RecordAt(p));
    now.push_back({k.numer, SpokenContact(k)});
  }
  return now;
}

void TListaAccessible::ListChanged(TLista* list) {
  if (!QAccessible::isActive()) return;
  if (auto* iface = dynamic_cast<TListaAccessible*>(QAccessible::queryAccessibleInterface(list))) iface->Changed();
}

// The widget's own focus event is sent once its focus-in handler has run: the
// item's comes after it, from the event loop, so that a reader settles on
// the contact rather than on the list.
void TListaAccessible::FocusIn(TLista* list) {
  if (!QAccessible::isActive()) return;
  QTimer::singleShot(0, list, [list] {
    auto* iface = dynamic_cast<TListaAccessible*>(QAccessible::queryAccessibleInterface(list));
    if (!iface || !QAccessible::isActive()) return;
    iface->Changed();
    if (QAccessibleInterface* item = iface->focusChild()) {
      QAccessibleEvent focus(item, QAccessible::Focus);
      QAccessible::updateAccessibility(&focus);
    }
  });
}

void TListaAccessible::Changed() {
  std::vector<Shown> now = Now();
  const ContactStore& store = list()->Contacts();
  struct Before {
    std::size_t position;
    const std::string* spoken;
  };
  std::unordered_map<uint32_t, Before> before;
  for (std::size_t p = 0; p < shown_.size(); ++p) before.emplace(shown_[p].numer, Before{p, &shown_[p].spoken});
  bool reordered = now.size() != shown_.size();
  // Contacts that went to another place because what they say changed (a
  // new status sorts a contact among others of its kind): the reader is told
  // each left its old place and came to its new one, once the list is new.
  std::vector<uint32_t> moved;
  for (std::size_t p = 0; p < now.size(); ++p) {
    if (!reordered && now[p].numer != shown_[p].numer) reordered = true;
    const auto was = before.find(now[p].numer);
    if (was == before.end()) continue;
    const Before b = was->second;
    before.erase(was);
    if (*b.spoken == now[p].spoken || !items_.count(now[p].numer)) continue;
    // A new status or description: the item says it anew, wherever it went.
    QAccessibleEvent named(ItemFor(now[p].numer), QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    // Readers pass over a list item's new name, even the focused one's: what
    // the focused contact now says is a notice as well.
    if (list()->hasFocus() && store.Selected() == static_cast<int>(p))
      NoticeAccessible::Announce(list(), cp1250::toQString(now[p].spoken));
    if (b.position != p) moved.push_back(now[p].numer);
  }
  // What is left went away: its item goes with it.
  for (const auto& [numer, b] : before) {
    if (const auto it = items_.find(numer); it != items_.end()) {
      QAccessible::deleteAccessibleInterface(it->second);
      items_.erase(it);
    }
  }
  shown_ = std::move(now);
  if (reordered) {
    QAccessibleTableModelChangeEvent reset(this, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
  }
  for (uint32_t numer : moved) {
    QAccessibleInterface* item = ItemFor(numer);
    QAccessibleEvent left(item, QAccessible::ObjectDestroyed);
    QAccessible::updateAccessibility(&left);
    QAccessibleEvent came(item, QAccessible::ObjectCreated);
    QAccessible::updateAccessibility(&came);
  }

  const bool anySelected = store.Selected() >= 0;
  const uint32_t selected = anySelected ? store.Record(store.RecordAt(store.Selected())).numer : 0;
  if (anySelected == anySelected_ && selected == selected_) return;
  anySelected_ = anySelected;
  selected_ = selected;
  if (!anySelected) return;
  QAccessibleInterface* item = ItemFor(selected);
  QAccessibleEvent chosen(item, QAccessible::Selection);
  QAccessible::updateAccessibility(&chosen);
  if (list()->hasFocus()) {
    QAccessibleEvent focus(item, QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
  }
}

TListaItemAccessible::TListaItemAccessible(TLista* list, uint32_t numer) : list_(list), numer_(numer) {}

int TListaItemAccessible::Position() const {
  if (!list_) return -1;
  const ContactStore& store = list_->Contacts();
  const int r = store.FindByNumber(numer_);
  return r < 0 ? -1 : store.PositionOf(r);
}

bool TListaItemAccessible::isValid() const { return Position() >= 0; }

QWindow* TListaItemAccessible::window() const {
  return list_ ? list_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* TListaItemAccessible::parent() const {
  return list_ ? QAccessible::queryAccessibleInterface(list_.data()) : nullptr;
}

QString TListaItemAccessible::text(QAccessible::Text t) const {
  if (t != QAccessible::Name || !list_) return {};
  const ContactStore& store = list_->Contacts();
  const int r = store.FindByNumber(numer_);
  return r < 0 ? QString() : cp1250::toQString(SpokenContact(store.Record(r)));
}

void* TListaItemAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::TableCellInterface) return static_cast<QAccessibleTableCellInterface*>(this);
  return ActionLeafAccessible::interface_cast(type);
}

bool TListaItemAccessible::isSelected() const {
  const int p = Position();
  return p >= 0 && list_->Contacts().Selected() == p;
}

QAccessibleInterface* TListaItemAccessible::table() const { return parent(); }

QRect TListaItemAccessible::rect() const {
  const int p = Position();
  if (p < 0) return {};
  for (const ContactRow& row : list_->Layout().rows)
    if (row.position == p) {
      const QPoint topLeft = list_->mapToGlobal(QPoint(0, static_cast<int>(row.y)));
      return QRect(topLeft, QSize(list_->width(), static_cast<int>(row.bottom - row.y + 1)));
    }
  return {};
}

QAccessible::State TListaItemAccessible::state() const {
  QAccessible::State s;
  const int p = Position();
  if (p < 0) {
    s.invalid = true;
    return s;
  }
  s.selectable = true;
  s.focusable = true;
  s.selected = list_->Contacts().Selected() == p;
  s.focused = s.selected && list_->hasFocus();
  s.invisible = !list_->isVisible();
  const QRect r = rect();
  s.offscreen = !r.intersects(QRect(list_->mapToGlobal(QPoint(0, 0)), list_->size()));
  return s;
}

QStringList TListaItemAccessible::actionNames() const { return {pressAction(), setFocusAction()}; }

QString TListaItemAccessible::localizedActionDescription(const QString& actionName) const {
  if (actionName == pressAction()) return QStringLiteral("Otwórz rozmowę");
  if (actionName == setFocusAction()) return QStringLiteral("Zaznacz");
  return {};
}

// Both run after the request is answered: opening a chat may show a box.
void TListaItemAccessible::doAction(const QString& actionName) {
  if (!list_ || Position() < 0) return;
  TLista* list = list_;
  const uint32_t numer = numer_;
  const bool open = actionName == pressAction();
  if (!open && actionName != setFocusAction()) return;
  PressLater(list, [list, numer, open] {
    const ContactStore& store = list->Contacts();
    const int r = store.FindByNumber(numer);
    if (r < 0) return;
    list->setFocus();
    list->Select(store.PositionOf(r));
    if (open) list->Open();
  });
}

QStringList TListaItemAccessible::keyBindingsForAction(const QString& actionName) const {
  if (actionName == pressAction()) return {QStringLiteral("Return")};
  return {};
}
