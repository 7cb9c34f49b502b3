// The main window's chrome: the title strip's buttons beside the close
// button, the tray icon and its menu, and keeping every window within reach
// where the desktop has no tray.

#include <QFile>

#include "app/TFMain.h"
#include "contacts/ContactStore.h"
#include "conversation/view/ChatWindows.h"
#include "platform/Tray.h"
#include "ui/Anchors.h"
#include "ui/Skin.h"
#include "ui/TButon.h"
#include "ui/TFInfo.h"
#include "ui/TFRozm.h"
#include "contacts/view/TLista.h"

namespace {

TButon* ChromeButton(QWidget* parent, const char* name, const TImageList& list, uint8_t picture,
                     const char* hint) {
  auto* b = new TButon(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->SetIL(&list);
  b->SetNumer(picture);
  b->setToolTip(QString::fromUtf8(hint));
  return b;
}

// Shown (also out of its minimised state), raised and given the focus.
void BringToFront(QWidget* w) {
  w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
  w->show();
  w->raise();
  w->activateWindow();
}

}  // namespace

void TFMain::CreateChrome() {
  const Skin& skin = Skin::get();
  Buton2 = ChromeButton(this, "Buton2", skin.IL(), 8, "Zmień rozmiar okna");
  Buton6 = ChromeButton(this, "Buton6", skin.IL(), 12, "Informacje o autorze");
  connect(Buton2, &TButon::OnClick, this, [this] { SpeedButton6Click(); });
  connect(Buton6, &TButon::OnClick, this, [this] { Buton6Click(); });
}

void TFMain::PlaceChrome() {
  const int w = width(), h = height();
  ::PlaceAt(Buton2, {211, 3, 16, 16, kRightTop}, kDesign, w, h);
  ::PlaceAt(Buton6, {193, 3, 16, 16, kRightTop}, kDesign, w, h);
}

void TFMain::ConnectTray() {
  Tray::Events e;
  e.click = [this] { IkonaClick(); };
  e.chatItem = [this](int chat) {
    if (chat >= 0 && chat < chats_->Count()) chats_->ShowChat(chat);
  };
  e.resetOkno = [this] { ResetOknoClick(); };
  e.zmienStatus = [this] { butStatusClick(); };
  e.zakoncz = [this] { ZakonczClick(); };
  // Names, statuses and new messages change while the menu is closed.
  e.menuOpening = [this] { RebuildTrayChats(); };
  e.availabilityChanged = [this](bool available) { TrayAvailabilityChanged(available); };
  tray_->SetEvents(std::move(e));
  chats_->SetOnChanged([this] { RebuildTrayChats(); });
  tray_->SetOwnStatus(state_.status);
  RebuildTrayChats();
}

// An identity switch closed the chats: the animation stops on the resting
// picture and the menu loses their items.
void TFMain::ResetTray() {
  tray_->SetAnimation(false);
  RebuildTrayChats();
}

void TFMain::SpeedButton5Click() {
  if (tray_->Available())
    hide();
  else
    showMinimized();
}

void TFMain::SpeedButton6Click() {
  int w = width(), h = height();
  if (!AskWindowSize(w, h)) return;
  setFixedSize(w, h);
  update();
  ListaK->Refresh();
}

void TFMain::Buton6Click() { ShowAbout(); }

void TFMain::IkonaClick() { BringToFront(this); }

void TFMain::ResetOknoClick() {
  ApplyDefaultGeometry();
  update();
  ListaK->Refresh();
}

void TFMain::RebuildTrayChats() {
  std::vector<Tray::ChatItem> items;
  for (int i = 0; i < chats_->Count(); ++i) {
    const TFCzat* chat = chats_->At(i);
    const int r = contacts_.FindByNumber(chat->Number());
    Tray::ChatItem item;
    item.caption = r >= 0 ? contacts_.Record(r).wyswietl : std::to_string(chat->Number());
    item.picture = r >= 0 ? contacts_.Record(r).status : -1;
    item.bold = chat->Nowy();
    items.push_back(std::move(item));
  }
  tray_->SetChats(std::move(items));
}

void TFMain::TrayAvailabilityChanged(bool available) {
  if (available) return;
  if (isHidden() && !closing_) showMinimized();
  chats_->MinimiseHiddenNew();
}

void TFMain::ShowAtStart() {
  if (!startHidden_)
    show();
  else if (!tray_->Available())
    showMinimized();
}

bool TFMain::HoldsDefaultIdentity() const {
  if (state_.numer == 0) return false;
  QFile osoba(folders_.DataDir() + QStringLiteral("/osoba"));
  if (!osoba.open(QIODevice::ReadOnly)) return false;
  return osoba.readLine(16).trimmed() == QByteArray::number(state_.numer);
}

bool TFMain::ShowOnRequest() {
  if (!HoldsDefaultIdentity()) return false;
  BringToFront(this);
  return true;
}
