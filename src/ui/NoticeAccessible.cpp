#include "ui/NoticeAccessible.h"

#include <QVariant>

namespace {

// Where a window keeps the ids of its last notices, oldest first.
constexpr const char* kNoticeIds = "wmNoticeAccessibles";
// A reader asks for a notice after it is told of it: as many as may come
// at once stay to be asked for.
constexpr int kKept = 8;

}  // namespace

NoticeAccessible::NoticeAccessible(QWidget* owner) : owner_(owner) {}

NoticeAccessible* NoticeAccessible::Of(QWidget* owner) {
  if (!owner) return nullptr;
  const QVariantList ids = owner->window()->property(kNoticeIds).toList();
  return ids.isEmpty() ? nullptr
                       : static_cast<NoticeAccessible*>(QAccessible::accessibleInterface(ids.back().value<QAccessible::Id>()));
}

void NoticeAccessible::Announce(QWidget* owner, const QString& text) {
  if (!QAccessible::isActive() || !owner || text.isEmpty()) return;
  QWidget* window = owner->window();
  QVariantList ids = window->property(kNoticeIds).toList();
  if (ids.isEmpty()) {
    QObject::connect(window, &QObject::destroyed, [window] {
      for (const QVariant& id : window->property(kNoticeIds).toList())
        QAccessible::deleteAccessibleInterface(id.value<QAccessible::Id>());
    });
  }
  // A new object for each notice: readers keep what an object was named,
  // and an old object saying something new would be read with its old words.
  auto* notice = new NoticeAccessible(window);
  notice->text_ = text;
  ids.push_back(QVariant::fromValue(QAccessible::registerAccessibleInterface(notice)));
  if (ids.size() > kKept) QAccessible::deleteAccessibleInterface(ids.takeFirst().value<QAccessible::Id>());
  window->setProperty(kNoticeIds, ids);
  QAccessibleEvent shown(notice, QAccessible::ObjectShow);
  QAccessible::updateAccessibility(&shown);
}

QWindow* NoticeAccessible::window() const { return owner_ ? owner_->windowHandle() : nullptr; }

QAccessibleInterface* NoticeAccessible::parent() const {
  return owner_ ? QAccessible::queryAccessibleInterface(owner_.data()) : nullptr;
}

QString NoticeAccessible::text(QAccessible::Text t) const { return t == QAccessible::Name ? text_ : QString(); }

// Showing even in a hidden window: it is heard, not seen.
QAccessible::State NoticeAccessible::state() const {
  QAccessible::State s;
  if (!owner_) s.invalid = true;
  else s.readOnly = true;
  return s;
}
