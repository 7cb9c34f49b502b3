#include "conversation/view/TRozmowaAccessible.h"

#include <QAccessible>
#include <algorithm>
#include <cstdlib>

#include "conversation/SpokenMessage.h"
#include "conversation/view/TRozmowa.h"
#include "platform/Cp1250.h"
#include "ui/NoticeAccessible.h"
#include "ui/PressableAccessible.h"

namespace {

// The link a link object of a message stands for, or -1.
long LinkOf(const InlineObject& o) {
  return o.Kind == InlineKind::Link ? std::strtol(o.Name.c_str() + 1, nullptr, 10) : -1;
}

}  // namespace

TRozmowaAccessible::TRozmowaAccessible(TRozmowa* view) : QAccessibleWidget(view, QAccessible::List) {}

TRozmowaAccessible::~TRozmowaAccessible() { Forget(); }

void TRozmowaAccessible::Forget() {
  for (const auto& [key, id] : links_) QAccessible::deleteAccessibleInterface(id);
  for (const auto& [key, id] : messages_) QAccessible::deleteAccessibleInterface(id);
  links_.clear();
  messages_.clear();
}

QAccessibleInterface* TRozmowaAccessible::Factory(const QString& className, QObject* object) {
  if (className == QLatin1String("TRozmowa") && object && object->isWidgetType())
    return new TRozmowaAccessible(static_cast<TRozmowa*>(object));
  return nullptr;
}

TRozmowa* TRozmowaAccessible::view() const { return static_cast<TRozmowa*>(widget()); }

QString TRozmowaAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) return QStringLiteral("Rozmowa");
  return QAccessibleWidget::text(t);
}

QAccessible::State TRozmowaAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.readOnly = true;
  return s;
}

// The view has no components of its own (its context menu is a window).
int TRozmowaAccessible::childCount() const { return static_cast<int>(view()->Messages().size()); }

QAccessibleInterface* TRozmowaAccessible::child(int index) const {
  if (index < 0 || index >= childCount()) return nullptr;
  const auto at = static_cast<std::size_t>(index);
  if (const auto it = messages_.find(at); it != messages_.end()) return QAccessible::accessibleInterface(it->second);
  auto* item = new TRozmowaMessageAccessible(view(), at);
  messages_.emplace(at, QAccessible::registerAccessibleInterface(item));
  return item;
}

int TRozmowaAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const auto* item = dynamic_cast<const TRozmowaMessageAccessible*>(child);
  if (!item) return -1;
  const auto it = messages_.find(item->Message());
  if (it == messages_.end() || QAccessible::accessibleInterface(it->second) != child) return -1;
  return static_cast<int>(item->Message());
}

QAccessibleInterface* TRozmowaAccessible::childAt(int x, int y) const {
  const QPoint at = view()->mapFromGlobal(QPoint(x, y));
  if (!view()->Layout().InBox(at.x(), at.y(), view()->height())) return nullptr;
  return child(static_cast<int>(view()->Layout().PositionAt(at.x(), at.y(), view()->height(), true).message));
}

QAccessibleInterface* TRozmowaAccessible::LinkItem(std::size_t message, std::size_t link) const {
  const auto key = std::make_pair(message, link);
  if (const auto it = links_.find(key); it != links_.end()) return QAccessible::accessibleInterface(it->second);
  auto* item = new TRozmowaLinkAccessible(view(), message, link);
  links_.emplace(key, QAccessible::registerAccessibleInterface(item));
  return item;
}

void TRozmowaAccessible::MessageAdded(TRozmowa* view, bool emptied) {
  if (!QAccessible::isActive()) return;
  auto* iface = dynamic_cast<TRozmowaAccessible*>(QAccessible::queryAccessibleInterface(view));
  if (!iface) return;
  if (emptied) {
    iface->Forget();
    QAccessibleTableModelChangeEvent reset(iface, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
  }
  // The new item, named with the whole message: what a screen reader that
  // follows the conversation reads out.
  if (QAccessibleInterface* item = iface->child(iface->childCount() - 1)) {
    QAccessibleEvent added(item, QAccessible::ObjectCreated);
    QAccessible::updateAccessibility(&added);
  }
  // Readers leave a list's new items unsaid: a message that came is also a
  // notice, heard in the chat the user is in and anywhere else alike.
  const std::size_t last = view->Messages().size() - 1;
  const Wiersz& message = view->Messages()[last];
  if (message.Kind != Received) return;
  const bool inChat = view->window()->isActiveWindow();
  NoticeAccessible::Announce(view, cp1250::toQString(MessageNotice(MessageSender(message, view->Partner),
                                                                   view->Layout().CopiedText(last), inChat)));
}

TRozmowaMessageAccessible::TRozmowaMessageAccessible(TRozmowa* view, std::size_t message)
    : view_(view), message_(message) {}

bool TRozmowaMessageAccessible::isValid() const { return view_ && message_ < view_->Messages().size(); }

QWindow* TRozmowaMessageAccessible::window() const { return view_ ? view_->window()->windowHandle() : nullptr; }

QAccessibleInterface* TRozmowaMessageAccessible::parent() const {
  return view_ ? QAccessible::queryAccessibleInterface(view_.data()) : nullptr;
}

const TRozmowaAccessible* TRozmowaMessageAccessible::list() const {
  return dynamic_cast<const TRozmowaAccessible*>(parent());
}

int TRozmowaMessageAccessible::childCount() const {
  return isValid() ? static_cast<int>(view_->Messages()[message_].Links.size()) : 0;
}

QAccessibleInterface* TRozmowaMessageAccessible::child(int index) const {
  const TRozmowaAccessible* owner = list();
  if (!owner || index < 0 || index >= childCount()) return nullptr;
  return owner->LinkItem(message_, static_cast<std::size_t>(index));
}

int TRozmowaMessageAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const auto* link = dynamic_cast<const TRozmowaLinkAccessible*>(child);
  if (!link || link->Message() != message_ || static_cast<int>(link->Link()) >= childCount()) return -1;
  return static_cast<int>(link->Link());
}

QAccessibleInterface* TRozmowaMessageAccessible::childAt(int x, int y) const {
  for (int i = 0; i < childCount(); ++i)
    if (QAccessibleInterface* link = child(i); link && link->rect().contains(x, y)) return link;
  return nullptr;
}

QString TRozmowaMessageAccessible::Spoken() const {
  if (!isValid()) return {};
  return cp1250::toQString(
      SpokenMessage(view_->Messages()[message_], view_->Partner, view_->Layout().CopiedText(message_)));
}

QString TRozmowaMessageAccessible::text(QAccessible::Text t) const {
  return t == QAccessible::Name ? Spoken() : QString();
}

QRect TRozmowaMessageAccessible::rect() const {
  if (!isValid()) return {};
  const QRect r = view_->MessageRect(message_);
  return QRect(view_->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State TRozmowaMessageAccessible::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  s.readOnly = true;
  s.invisible = !view_->isVisible();
  s.offscreen = !view_->MessageRect(message_).intersects(view_->rect());
  return s;
}

void* TRozmowaMessageAccessible::interface_cast(QAccessible::InterfaceType type) {
  return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this) : nullptr;
}

QString TRozmowaMessageAccessible::text(int startOffset, int endOffset) const {
  const QString spoken = Spoken();
  startOffset = std::clamp(startOffset, 0, static_cast<int>(spoken.size()));
  endOffset = endOffset < 0 ? static_cast<int>(spoken.size()) : std::clamp(endOffset, startOffset, static_cast<int>(spoken.size()));
  return spoken.mid(startOffset, endOffset - startOffset);
}

int TRozmowaMessageAccessible::characterCount() const { return static_cast<int>(Spoken().size()); }

QString TRozmowaMessageAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  *startOffset = offset;
  *endOffset = offset;
  return {};
}

TRozmowaLinkAccessible::TRozmowaLinkAccessible(TRozmowa* view, std::size_t message, std::size_t link)
    : view_(view), message_(message), link_(link) {}

bool TRozmowaLinkAccessible::isValid() const {
  return view_ && message_ < view_->Messages().size() && link_ < view_->Messages()[message_].Links.size();
}

QWindow* TRozmowaLinkAccessible::window() const { return view_ ? view_->window()->windowHandle() : nullptr; }

QAccessibleInterface* TRozmowaLinkAccessible::parent() const {
  if (!view_) return nullptr;
  auto* list = QAccessible::queryAccessibleInterface(view_.data());
  return list ? list->child(static_cast<int>(message_)) : nullptr;
}

QString TRozmowaLinkAccessible::text(QAccessible::Text t) const {
  if (!isValid()) return {};
  const Odnosnik& link = view_->Messages()[message_].Links[link_];
  switch (t) {
    case QAccessible::Name: return cp1250::toQString(link.Address);
    case QAccessible::Value: return cp1250::toQString(link.Url);
    default: return {};
  }
}

QRect TRozmowaLinkAccessible::rect() const {
  if (!isValid()) return {};
  const Wiersz& w = view_->Messages()[message_];
  const QRect box = view_->MessageRect(message_);
  for (const InlineObject& o : w.Objects)
    if (LinkOf(o) == static_cast<long>(link_))
      return QRect(view_->mapToGlobal(QPoint(box.left() + 2 + o.X, box.top() + o.Y)), QSize(o.Width, o.Height));
  return {};
}

QAccessible::State TRozmowaLinkAccessible::state() const {
  QAccessible::State s;
  if (!isValid()) {
    s.invalid = true;
    return s;
  }
  s.linked = true;
  s.readOnly = true;
  s.invisible = !view_->isVisible();
  s.offscreen = !view_->MessageRect(message_).intersects(view_->rect());
  return s;
}

QString TRozmowaLinkAccessible::localizedActionDescription(const QString& actionName) const {
  return actionName == pressAction() ? QStringLiteral("Otwórz odnośnik") : QString();
}

void TRozmowaLinkAccessible::doAction(const QString& actionName) {
  if (actionName != pressAction() || !isValid()) return;
  TRozmowa* view = view_;
  PressLater(view, [view, message = message_, link = link_] { view->OpenLink(message, link); });
}
