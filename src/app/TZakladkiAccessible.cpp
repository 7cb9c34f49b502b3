#include "app/TZakladkiAccessible.h"

#include "app/TZakladki.h"
#include "ui/PressableAccessible.h"

TZakladkiAccessible::TZakladkiAccessible(TZakladki* tabs) : QAccessibleWidget(tabs, QAccessible::PageTabList) {}

TZakladkiAccessible::~TZakladkiAccessible() {
  for (QAccessible::Id id : tabIds_) QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* TZakladkiAccessible::Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("TZakladki") && object && object->isWidgetType())
    return new TZakladkiAccessible(static_cast<TZakladki*>(object));
  return nullptr;
}

TZakladki* TZakladkiAccessible::tabs() const { return static_cast<TZakladki*>(widget()); }

int TZakladkiAccessible::childCount() const { return tabs()->Count() + QAccessibleWidget::childCount(); }

QAccessibleInterface* TZakladkiAccessible::child(int index) const {
  const int count = tabs()->Count();
  if (index < 0) return nullptr;
  if (index >= count) return QAccessibleWidget::child(index - count);
  while (static_cast<int>(tabIds_.size()) <= index)
    tabIds_.push_back(QAccessible::registerAccessibleInterface(
        new TZakladkaAccessible(tabs(), static_cast<int>(tabIds_.size()))));
  return QAccessible::accessibleInterface(tabIds_[index]);
}

int TZakladkiAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (const auto* tab = dynamic_cast<const TZakladkaAccessible*>(child))
    return tab->Index() < static_cast<int>(tabIds_.size()) ? tab->Index() : -1;
  const int i = QAccessibleWidget::indexOfChild(child);
  return i < 0 ? -1 : i + tabs()->Count();
}

TZakladkaAccessible::TZakladkaAccessible(TZakladki* tabs, int index) : tabs_(tabs), index_(index) {}

bool TZakladkaAccessible::isValid() const { return tabs_ && index_ < tabs_->Count(); }

QWindow* TZakladkaAccessible::window() const { return tabs_ ? tabs_->window()->windowHandle() : nullptr; }

QAccessibleInterface* TZakladkaAccessible::parent() const {
  return tabs_ ? QAccessible::queryAccessibleInterface(tabs_.data()) : nullptr;
}

QString TZakladkaAccessible::text(QAccessible::Text t) const {
  return t == QAccessible::Name && isValid() ? tabs_->Caption(index_) : QString();
}

QRect TZakladkaAccessible::rect() const {
  if (!isValid()) return {};
  const QRect r = tabs_->TabRect(index_);
  return QRect(tabs_->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State TZakladkaAccessible::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  s.selectable = true;
  s.selected = tabs_->ActivePage() == index_;
  s.invisible = !tabs_->isVisible();
  return s;
}

void TZakladkaAccessible::doAction(const QString& actionName) {
  if (actionName != pressAction() || !isValid()) return;
  TZakladki* tabs = tabs_;
  PressLater(tabs, [tabs, index = index_] {
    if (index != tabs->ActivePage()) tabs->SetActivePage(index);
  });
}
