#include "ui/TrayIcon.h"

#include <QCursor>
#include <QPixmap>

#include "platform/Cp1250.h"
#include "ui/Skin.h"
#include "ui/TPupa.h"

namespace {

QString Cut(const std::string& text, std::size_t max) {
  return cp1250::toQString(text.size() > max ? text.substr(0, max) : text);
}

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
  // The fixed items open modal loops (the status dialog, the closing
  // question): they run once the menu's own handling of the click has
  // returned, so that nothing the loops deliver (a new chat rebuilding the
  // menu) changes the menu under it.
  connect(pupa_->ResetOkno, &QAction::triggered, this, [this] {
    if (events_.resetOkno) events_.resetOkno();
  }, Qt::QueuedConnection);
  connect(pupa_->ZmienStatus, &QAction::triggered, this, [this] {
    if (events_.zmienStatus) events_.zmienStatus();
  }, Qt::QueuedConnection);
  connect(pupa_->Zakoncz, &QAction::triggered, this, [this] {
    if (events_.zakoncz) events_.zakoncz();
  }, Qt::QueuedConnection);
  // The menu is not handed to the icon: a desktop that is given one draws it
  // itself, without the program's colours, pictures and bold items.
  // Shown from the start; a tray that appears later takes the icon then.
  ikona_.show();
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
    options_.notify(title.substr(0, kTitleMax), text.substr(0, kTextMax), timeoutMs);
  }
}

void TrayIcon::SetChats(std::vector<ChatItem> chats) { pupa_->SetChats(chats); }

void TrayIcon::SetOwnStatus(uint8_t statusIndex) { pupa_->SetOwnStatus(statusIndex); }

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
