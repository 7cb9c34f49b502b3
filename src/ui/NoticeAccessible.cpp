#include "ui/NoticeAccessible.h"

#include <QVariant>

namespace {

// Where a window keeps the id of its notice.
constexpr const char* kNoticeId = "wmNoticeAccessible";

}  // namespace

NoticeAccessible::NoticeAccessible(QWidget* owner) : owner_(owner) {}

NoticeAccessible* NoticeAccessible::Of(QWidget* owner) {
  if (!owner) return nullptr;
  const QVariant id = owner->window()->property(kNoticeId);
  return id.isValid() ? static_cast<NoticeAccessible*>(QAccessible::accessibleInterface(id.value<QAccessible::Id>()))
                      : nullptr;
}

void NoticeAccessible::Announce(QWidget* owner, const QString& text) {
  if (!QAccessible::isActive() || !owner || text.isEmpty()) return;
  QWidget* window = owner->window();
  NoticeAccessible* notice = Of(window);
  if (!notice) {
    notice = new NoticeAccessible(window);
    const QAccessible::Id id = QAccessible::registerAccessibleInterface(notice);
    window->setProperty(kNoticeId, QVariant::fromValue(id));
    QObject::connect(window, &QObject::destroyed, [id] { QAccessible::deleteAccessibleInterface(id); });
  }
  notice->text_ = text;
  // Hidden and shown again: each notice appears anew, also one that says
  // what the last one said.
  QAccessibleEvent hidden(notice, QAccessible::ObjectHide);
  QAccessible::updateAccessibility(&hidden);
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
