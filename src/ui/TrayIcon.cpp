#include "ui/TrayIcon.h"

#include <QCursor>
#include <QPixmap>

#include "platform/Cp1250.h"
#include "platform/desktop/StatusNotifierHost.h"
#include "ui/Skin.h"
#include "ui/TPupa.h"

namespace {

// At most max characters, a wide mark (a character the code page lacks)
// counting one and never cut.
std::string CutBytes(const std::string& text, std::size_t max) {
  std::size_t end = 0;
  for (std::size_t n = 0; n < max && end < text.size(); ++n) {
    const std::size_t wide = cp1250::wideMarkLength(text, end);
    end += wide ? wide : 1;
  }
  return text.substr(0, end);
}

QString Cut(const std::string& text, std::size_t max) { return cp1250::toQString(CutBytes(text, max)); }

QSystemTrayIcon::MessageIcon IconOf(Tray::BalloonIcon icon) {
  switch (icon) {
    case Tray::BalloonIcon::kInformation: return QSystemTrayIcon::Information;
    case Tray::BalloonIcon::kWarning: return QSystemTrayIcon::Warning;
    case Tray::BalloonIcon::kError: return QSystemTrayIcon::Critical;
    default: return QSystemTrayIcon::NoIcon;
  }
}

}  // namespace

TrayIcon::TrayIcon() : TrayIcon(Options{}) {}

TrayIcon::TrayIcon(Options options) : options_(std::move(options)), pupa_(std::make_unique<TPupa>()) {
  if (!options_.available) options_.available = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
  if (!options_.hostDrawsMenu) options_.hostDrawsMenu = [] { return status_notifier::HostRegistered(); };
  available_ = options_.available();
  ikona_.setObjectName(QStringLiteral("Ikona"));
  ikona_.setToolTip(QString::fromUtf8("Komunikator Wirmelak"));
  ShowPicture(0);
  timer_.setInterval(kStepMs);
  connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
  poll_.setInterval(options_.pollMs);
  connect(&poll_, &QTimer::timeout, this, [this] { CheckAvailability(); });
  poll_.start();
  connect(&ikona_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::Trigger || why == QSystemTrayIcon::DoubleClick) IkonaClick();
    else if (why == QSystemTrayIcon::Context) IkonaContext();
  });
  connect(pupa_.get(), &TPupa::ChatChosen, this, [this](int chat) {
    if (events_.chatItem) events_.chatItem(chat);
  });
  Deliver(pupa_->ResetOkno, &Events::resetOkno);
  Deliver(pupa_->ZmienStatus, &Events::zmienStatus);
  Deliver(pupa_->Zakoncz, &Events::zakoncz);
  // Pupa is not handed to the icon: an XEmbed tray would then pop it up by
  // itself, and a host over D-Bus, which draws what it is given without the
  // program's colours and bold items, gets the plain menu instead.
  if (options_.hostDrawsMenu()) {
    hostMenu_ = std::make_unique<QMenu>();
    hostMenu_->setObjectName(QStringLiteral("HostMenu"));
    BuildHostMenu();
    // Names, statuses and new messages change while the menu is closed.
    connect(hostMenu_.get(), &QMenu::aboutToShow, this, [this] {
      if (events_.menuOpening) events_.menuOpening();
    });
    ikona_.setContextMenu(hostMenu_.get());
  }
  // Shown from the start; a tray that appears later takes the icon then.
  ikona_.show();
}

// The items open modal loops (the status dialog, the closing question) and
// change the chat windows: they run once the menu's own handling of the
// click has returned, so that nothing they or the loops do (a new chat
// rebuilding the menu) changes the menu under it.
void TrayIcon::Deliver(QAction* item, std::function<void()> Events::*event) {
  connect(item, &QAction::triggered, this, [this, event] {
    if (events_.*event) (events_.*event)();
  }, Qt::QueuedConnection);
}

void TrayIcon::BuildHostMenu() {
  hostMenu_->clear();
  const TImageList& il = Skin::get().IL();
  const auto picture = [&il](int n) { return n >= 0 && n < il.count() ? QIcon(QPixmap::fromImage(il.picture(n))) : QIcon(); };
  for (size_t i = chats_.size(); i-- > 0;) {
    // As Pupa draws it: without "&", which a host would read as a shortcut's mark.
    const QString caption = cp1250::toQString(chats_[i].caption).remove(u'&');
    QAction* a = hostMenu_->addAction(picture(chats_[i].picture), caption);
    const int chat = static_cast<int>(i);
    connect(a, &QAction::triggered, this, [this, chat] {
      if (events_.chatItem) events_.chatItem(chat);
    }, Qt::QueuedConnection);
  }
  // Pupa shows no separator above its first item either.
  if (!chats_.empty()) hostMenu_->addSeparator();
  Deliver(hostMenu_->addAction(pupa_->ResetOkno->text()), &Events::resetOkno);
  Deliver(hostMenu_->addAction(picture(ownStatus_), pupa_->ZmienStatus->text()), &Events::zmienStatus);
  Deliver(hostMenu_->addAction(pupa_->Zakoncz->text()), &Events::zakoncz);
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::ShowPicture(int index) {
  const std::vector<QImage>& cycle = Skin::get().Cycle();
  picture_ = cycle.empty() ? 0 : index % static_cast<int>(cycle.size());
  if (!cycle.empty()) ikona_.setIcon(QIcon(QPixmap::fromImage(cycle[picture_])));
}

void TrayIcon::SetAnimation(bool on) {
  if (on) {
    if (!timer_.isActive()) timer_.start();
    return;
  }
  timer_.stop();
  ShowPicture(0);
}

void TrayIcon::Step() { ShowPicture(picture_ + 1); }

void TrayIcon::ShowBalloon(const std::string& title, const std::string& text, BalloonIcon icon, int timeoutMs) {
  if (available_) {
    ikona_.showMessage(Cut(title, kTitleMax), Cut(text, kTextMax), IconOf(icon), timeoutMs);
  } else if (options_.notify) {
    options_.notify(CutBytes(title, kTitleMax), CutBytes(text, kTextMax), timeoutMs);
  }
}

void TrayIcon::SetChats(std::vector<ChatItem> chats) {
  pupa_->SetChats(chats);
  // The host learns of every change and may fetch the menu again: only a
  // real change rebuilds it.
  if (chats == chats_) return;
  chats_ = std::move(chats);
  if (hostMenu_) BuildHostMenu();
}

void TrayIcon::SetOwnStatus(uint8_t statusIndex) {
  pupa_->SetOwnStatus(statusIndex);
  if (statusIndex == ownStatus_) return;
  ownStatus_ = statusIndex;
  if (hostMenu_) BuildHostMenu();
}

void TrayIcon::SetEvents(Events events) { events_ = std::move(events); }

void TrayIcon::IkonaClick() {
  if (events_.click) events_.click();
}

void TrayIcon::IkonaContext() {
  if (events_.menuOpening) events_.menuOpening();
  pupa_->popup(QCursor::pos());
}

void TrayIcon::CheckAvailability() {
  const bool now = options_.available();
  if (now == available_) return;
  available_ = now;
  if (events_.availabilityChanged) events_.availabilityChanged(now);
}
