#include "app/TFMain.h"

#include <QCheckBox>
#include <algorithm>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QWheelEvent>

#include "app/Geometry.h"
#include "app/TFStat.h"
#include "app/TFUsta.h"
#include "app/TShape.h"
#include "contacts/ContactListLayout.h"
#include "contacts/view/TFPuk.h"
#include "contacts/view/TLista.h"
#include "conversation/view/ChatWindows.h"
#include "platform/Tray.h"
#include "platform/desktop/DesktopNotifications.h"
#include "platform/desktop/ShellOpen.h"
#include "platform/desktop/SoundEffect.h"
#include "platform/desktop/WindowPlace.h"
#include "platform/Cp1250.h"
#include "platform/MessageBox.h"
#include "protocol/StatusMap.h"
#include "ui/Anchors.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/SkinRecolourable.h"
#include "ui/TFBoks.h"
#include "ui/TButon.h"
#include "ui/TNapisButon.h"
#include "ui/TrayIcon.h"

namespace {

void PlaceAt(QWidget* w, const Place& p, int width, int height) { ::PlaceAt(w, p, TFMain::kDesign, width, height); }

struct StateLook {
  uint32_t pen, brush;
  const char* caption;
};

StateLook LookOf(uint8_t state) {
  switch (state) {
    case conn::kNiePolaczony: return {0x000080, 0x0000FF, "nie połączony"};
    case conn::kLaczenie: return {0x008080, 0x00FFFF, "trwa łączenie"};
    case conn::kPolaczony: return {0x008000, 0x00FF00, "połączony"};
    default: return {0x808080, 0xC0C0C0, "brak ustawień"};
  }
}

TButon* Button(QWidget* parent, const char* name, const TImageList& list, uint8_t picture,
               const char* hint) {
  auto* b = new TButon(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->SetIL(&list);
  b->SetNumer(picture);
  if (hint) b->setToolTip(QString::fromUtf8(hint));
  return b;
}

}  // namespace

TFMain::TFMain(const Options& options)
    : TSkinnedForm(nullptr, Qt::WindowStaysOnTopHint),
      folders_(options.folders),
      archive_(folders_.DataDir() + QStringLiteral("/osoby"), PictureFileCheck(folders_.ProgramDir()),
               [this](uint32_t number) { return DisplayName(number); }),
      identities_(*this, folders_.DataDir()) {
  static_assert(kOwnMessageBit == kWlasnaWiadomosc);
  SetMainWindow(this);
  if (!options.tray) {
    ownNotifications_ = std::make_unique<DesktopNotifications>();
    TrayIcon::Options tray;
    tray.notify = [this](const std::string& title, const std::string& text, int timeoutMs) {
      ownNotifications_->Notify(title, text, timeoutMs);
    };
    ownTray_ = std::make_unique<TrayIcon>(std::move(tray));
  }
  if (!options.sound) ownSound_ = std::make_unique<SoundEffect>(folders_.ProgramDir() + QStringLiteral("/notify.wav"));
  if (!options.shell) ownShell_ = std::make_unique<DesktopShellOpen>();
  tray_ = options.tray ? options.tray : ownTray_.get();
  sound_ = options.sound ? options.sound : ownSound_.get();
  shell_ = options.shell ? options.shell : ownShell_.get();

  connection_ = std::make_unique<ConnectionManager>(options.net ? *options.net : QtNet(), *this,
                                                    *this);
  session_ = std::make_unique<Session>(*connection_, *this);
  session_->SetPassword(&state_.haslo);
  // An identity without a stored password is asked at every login.
  session_->SetPasswordPrompt(&AskPassword);
  session_->SetContactNumbers([this] {
    // Storage order, not display order.
    std::vector<uint32_t> numbers;
    for (int r = 0; r < contacts_.Count(); ++r) numbers.push_back(contacts_.Record(r).numer);
    return numbers;
  });
  TimerUr.setInterval(options.timerUrMs);
  Timer1.setInterval(options.timer1Ms);
  connect(&TimerUr, &QTimer::timeout, this, [this] { connection_->TimerUrTimer(); });
  connect(&Timer1, &QTimer::timeout, this, [this] { connection_->Timer1Timer(); });
  Timer1.start();
  CreateComponents();
  FPuk = std::make_unique<TFPuk>();
  connect(FPuk.get(), &TFPuk::Changed, this, [this] { UpdateKnockIndicator(); });
  connect(FPuk.get(), &TFPuk::AddRequested, this, [this] { AddContact(AddOrigin::kPukanie); });
  FormCreate(options);

  chats_ = std::make_unique<ChatWindows>(ChatWindows::Setup{
      *shell_, folders_.ProgramDir(), [this](uint32_t number) { return DisplayName(number); }, *this,
      *tray_});
  events_ = std::make_unique<IncomingEvents>(
      *connection_, *session_, IncomingEvents::Services{*this, *chats_, *this, *sound_, *tray_});
  ConnectTray();
  connection_->SetPacketHandler(
      [this](uint32_t type, const std::string& payload) { events_->DispatchPacket(type, payload); });
  connection_->SetOnConnectionEnded([this] {
    contacts_.ResetStatuses();
    RepaintContactList();
    events_->AbandonPending();
    if (FUsta) FUsta->ServerList().ConnectionEnded();
  });
  connect(FPuk.get(), &TFPuk::OpenChatRequested, this, [this](uint32_t number) { chats_->OpenChat(number); });
  FUsta = std::make_unique<TFUsta>(*this, this);
  events_->SetUserlistHandler([this](const std::string& payload) { FUsta->ServerList().OnReply(payload); });
}

// A tray given by the caller may outlive the window: it forgets its events.
TFMain::~TFMain() { tray_->SetEvents({}); }

void TFMain::FormCreate(const Options& options) {
  QDir::setCurrent(folders_.DataDir());
  // A failure shows later, when files are used.
  QDir(folders_.DataDir()).mkdir(QStringLiteral("osoby"));
  for (const QString& arg : options.arguments)
    if (arg.toLower() == QLatin1String("autostart")) startHidden_ = true;

  const WindowGeometry g = DefaultWindowGeometry();
  config_.lewy = g.left;
  config_.gorny = g.top;
  config_.szerokosc = g.width;
  config_.wysokosc = g.height;
  if (!LoadConfig(IniPath(), config_))
    MessageBox(T("Nie udało się odczytać pliku Wirmelak.ini."), kOstrzezenie);
  if (PlatformTellsWindowPlace()) move(config_.lewy, config_.gorny);
  setFixedSize(config_.szerokosc, config_.wysokosc);
  KeepOnScreens();
  connection_->SetLookupHost(config_.serwer);
  connection_->SetProtocol(config_.protokol);
  ReadTrustedCertificates();
  session_->SetClock(&IncomingEvents::SecondsNow);

  setWindowTitle(QString::fromUtf8(kCaption));
  // The display starts from "not configured"; forcing it paints once.
  ShowConnectionState(conn::kNieSkonfigurowany);
  ShowAutoReconnect(false);
}

void TFMain::CreateComponents() {
  // The list first: the scroll buttons at its corner stay above it.
  ListaK = new TLista(contacts_, this);
  ListaK->setObjectName(QStringLiteral("ListaK"));
  ListaK->SetIL(&Skin::get().IL());
  connect(ListaK, &TLista::NaZmiane, this, [this] { ListaKNaZmiane(); });
  connect(ListaK, &TLista::PodwojnyKlik, this, [this](TLista*, uint16_t Numer) { ListaKPodwojnyKlik(Numer); });

  Dialog = new TShape(this);
  Dialog->setObjectName(QStringLiteral("Dialog"));
  Dialog->setToolTip(QString::fromUtf8("Stan połączenia"));
  Dialog->OnMouseDown = [this](Qt::MouseButton b) {
    connection_->DialogMouseDown(Sender::Dialog, b == Qt::LeftButton);
  };
  NaTajmer = new TShape(this);
  NaTajmer->setObjectName(QStringLiteral("NaTajmer"));
  NaTajmer->setToolTip(QString::fromUtf8("Automatyczne ponawianie połączenia"));
  NaTajmer->OnMouseDown = [this](Qt::MouseButton) { connection_->NaTajmerMouseDown(); };
  DiaLab = new QLabel(this);
  DiaLab->setObjectName(QStringLiteral("DiaLab"));
  DiaLab->setFont(SmallFont());

  const Skin& skin = Skin::get();
  BZamknij = Button(this, "BZamknij", skin.IL(), 6, "Zamknij program");
  Buton1 = Button(this, "Buton1", skin.IL(), 7, "Zminimalizuj do paska zadań");
  ButonPlus = Button(this, "ButonPlus", skin.IL(), 9, "Dodaj znajomego");
  ButonMinus = Button(this, "ButonMinus", skin.IL(), 10, "Usuń znajomego");
  ButonEdycja = Button(this, "ButonEdycja", skin.IL(), 11, "Edytuj znajomego");
  butStatus = Button(this, "butStatus", skin.ILDuze(), 0, "Aktualny status");
  Buton5 = Button(this, "Buton5", skin.IL(), 13, nullptr);
  Buton4 = Button(this, "Buton4", skin.IL(), 14, nullptr);
  ButPuk = Button(this, "ButPuk", skin.IL(), 15, nullptr);
  Buton3 = Button(this, "Buton3", skin.ILDuze(), 6, "Ustawienia");
  Buton5->setAccessibleName(QString::fromUtf8("Przewiń listę w górę"));
  Buton4->setAccessibleName(QString::fromUtf8("Przewiń listę w dół"));
  Buton5->hide();
  Buton4->hide();
  ButPuk->hide();
  connect(ButonPlus, &TButon::OnClick, this, [this] { ButonPlusClick(); });
  connect(ButonEdycja, &TButon::OnClick, this, [this] { ButonEdycjaClick(); });
  connect(ButonMinus, &TButon::OnClick, this, [this] { ButonMinusClick(); });
  connect(ButPuk, &TButon::OnClick, this, [this] { ButPukClick(); });
  connect(Buton5, &TButon::OnMouseDown, this, [this] { Buton5MouseDown(); });
  connect(Buton4, &TButon::OnMouseDown, this, [this] { Buton4MouseDown(); });
  connect(butStatus, &TButon::OnClick, this, [this] { butStatusClick(); });
  connect(Buton3, &TButon::OnClick, this, [this] { SpeedButton7Click(); });
  LStat = new QLabel(this);
  LStat->setObjectName(QStringLiteral("LStat"));
  LStat->setFont(SmallFont());
  LStat->setTextFormat(Qt::PlainText);
  LStat->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  LStat->setText(QString::fromUtf8("nie ma mnie"));
  // Until ShowOwnStatus first runs (it does not at a start without a
  // description), the button says the status the label shows.
  butStatus->setAccessibleName(QString::fromUtf8("Aktualny status: ") + LStat->text());
  SetTag(LStat, 0);
  LOpis = new QLabel(this);
  LOpis->setObjectName(QStringLiteral("LOpis"));
  LOpis->setFont(SmallFont());
  LOpis->setTextFormat(Qt::PlainText);  // the user's own words
  LOpis->setAlignment(Qt::AlignRight | Qt::AlignTop);
  LOpis->setWordWrap(true);
  LOpis->setToolTip(QString::fromUtf8("Aktualny opis"));
  SetTag(LOpis, 3);  // in the colour of descriptions
  ArchBut = new TNapisButon(this);
  ArchBut->setObjectName(QStringLiteral("ArchBut"));
  ArchBut->SetNapis("archiwum");
  ArchBut->setToolTip(QString::fromUtf8("Otwórz archiwum wiadomości"));
  connect(BZamknij, &TButon::OnClick, this, [this] { close(); });
  connect(Buton1, &TButon::OnClick, this, [this] { SpeedButton5Click(); });
  CreateChrome();
  connect(ArchBut, &TNapisButon::OnClick, this, [this] { ArchButClick(); });
  // The window takes the wheel before any of its components does.
  for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->installEventFilter(this);
  FStat = new TFStat(this);
}

void TFMain::PlaceComponents() {
  const int w = width(), h = height();
  PlaceChrome();
  PlaceAt(BZamknij, {3, 3, 16, 16, kLeftTop}, w, h);
  PlaceAt(Buton1, {229, 3, 16, 16, kRightTop}, w, h);
  PlaceAt(ListaK, {6, 24, 238, 421, kAll}, w, h);
  PlaceAt(Buton5, {226, 411, 16, 16, kRightBottom}, w, h);
  PlaceAt(Buton4, {226, 427, 16, 16, kRightBottom}, w, h);
  PlaceAt(ButonPlus, {186, 453, 15, 16, kRightBottom}, w, h);
  PlaceAt(ButonMinus, {206, 453, 16, 16, kRightBottom}, w, h);
  PlaceAt(ButonEdycja, {226, 453, 16, 16, kRightBottom}, w, h);
  PlaceAt(Dialog, {16, 460, 17, 17, kLeftBottom}, w, h);
  PlaceAt(NaTajmer, {32, 460, 9, 9, kLeftBottom}, w, h);
  PlaceAt(butStatus, {124, 463, 32, 32, kRightBottom}, w, h);
  PlaceAt(DiaLab, {16, 476, 100, 13, kLeftBottom}, w, h);
  PlaceAt(ArchBut, {184, 475, 60, 20, kRightBottom}, w, h);
  PlaceAt(LStat, {106, 500, 68, 11, kRightBottom}, w, h);
  PlaceAt(LOpis, {8, 520, 163, 21, kLeftRightBottom}, w, h);
  PlaceAt(ButPuk, {202, 504, 16, 16, kRightBottom}, w, h);
  PlaceAt(Buton3, {226, 507, 16, 32, kRightBottom}, w, h);
}

void TFMain::resizeEvent(QResizeEvent*) { PlaceComponents(); }

// After every paint of a non-empty list: the arrows show where there is
// something to scroll to.
void TFMain::ListaKNaZmiane() {
  const int64_t content = ListaK->ContentHeight();
  Buton4->setVisible(MoreBelow(ListaK->height(), content));
  Buton5->setVisible(ListaK->OdGory() != 0);
}

void TFMain::Buton5MouseDown() { ListaK->SetOdGory(ScrollPageUp(ListaK->OdGory(), ListaK->height())); }

void TFMain::Buton4MouseDown() {
  ListaK->SetOdGory(ScrollPageDown(ListaK->OdGory(), ListaK->height(), ListaK->ContentHeight()));
}

// The wheel moves the list only as far as an arrow is there to show it can.
void TFMain::FormMouseWheelUp() {
  if (!Buton5->isHidden()) ListaK->SetOdGory(ScrollWheelUp(ListaK->OdGory()));
}

void TFMain::FormMouseWheelDown() {
  if (!Buton4->isHidden())
    ListaK->SetOdGory(ScrollWheelDown(ListaK->OdGory(), ListaK->height(), ListaK->ContentHeight()));
}

// Wherever the mouse is over the window: over a component the window's
// filter takes the wheel first. One step per notch; finer wheels add up to
// notches.
bool TFMain::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::Wheel) {
    wheelEvent(static_cast<QWheelEvent*>(e));
    return true;
  }
  return TSkinnedForm::eventFilter(watched, e);
}

void TFMain::wheelEvent(QWheelEvent* e) {
  wheelDelta_ += e->angleDelta().y();
  while (wheelDelta_ >= QWheelEvent::DefaultDeltasPerStep) {
    wheelDelta_ -= QWheelEvent::DefaultDeltasPerStep;
    FormMouseWheelUp();
  }
  while (wheelDelta_ <= -QWheelEvent::DefaultDeltasPerStep) {
    wheelDelta_ += QWheelEvent::DefaultDeltasPerStep;
    FormMouseWheelDown();
  }
  e->accept();
}

void TFMain::LoadDefaultIdentity() {
  // Without one the program simply runs with no identity.
  identities_.LoadIdentity(identities_.ReadLastIdentity());
}

void TFMain::SetIdentity(uint32_t number, std::string password) {
  state_.numer = number;
  state_.haslo = std::move(password);
  connection_->SetConnectionState(number ? conn::kNiePolaczony : conn::kNieSkonfigurowany);
}

void TFMain::StartAutoConnect() {
  if (state_.numer != 0 && !state_.haslo.empty()) connection_->SetAutoReconnect(config_.autowolit);
}

WindowGeometry TFMain::DefaultWindowGeometry() const {
  QScreen* primary = QGuiApplication::primaryScreen();
  return DefaultGeometry(primary ? primary->availableGeometry() : QRect(0, 0, 1024, 768));
}

void TFMain::ApplyDefaultGeometry() {
  const WindowGeometry g = DefaultWindowGeometry();
  // Where the compositor places windows, the program has no place to give.
  if (PlatformTellsWindowPlace()) move(g.left, g.top);
  setFixedSize(g.width, g.height);
}

void TFMain::KeepOnScreens() {
  QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary || !PlatformTellsWindowPlace()) return;
  std::vector<QRect> areas;
  for (QScreen* screen : QGuiApplication::screens()) areas.push_back(screen->availableGeometry());
  const WindowGeometry g = ::KeepOnScreens({x(), y(), width(), height()}, areas, primary->availableGeometry());
  move(g.left, g.top);
}

bool TFMain::Today() const {
  return (connection_->HasSocket() ? connection_->ConnectionProtocol() : connection_->ChosenProtocol()) ==
         Protocol::kGG8;
}

void TFMain::ReadTrustedCertificates() {
  QFile file(folders_.DataDir() + QStringLiteral("/zaufane.pem"));
  // No file is the usual case: only the system's certificates are trusted.
  const QByteArray pem = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  connection_->SetTrustedCertificates(pem.toStdString());
}

void TFMain::ShowConnectionState(uint8_t state) {
  if (state == conn::kLaczenie) ReadTrustedCertificates();
  const StateLook look = LookOf(state);
  Dialog->SetColours(look.pen, look.brush);
  DiaLab->setText(QString::fromUtf8(look.caption));
  // Said in words to a screen reader, which sees no colours.
  Dialog->setAccessibleName(QString::fromUtf8("Stan połączenia: ") + DiaLab->text());
  const bool enabled = state < 128;
  for (QWidget* w : {static_cast<QWidget*>(ButonPlus), static_cast<QWidget*>(ButonMinus),
                     static_cast<QWidget*>(ButonEdycja), static_cast<QWidget*>(butStatus),
                     static_cast<QWidget*>(ArchBut), static_cast<QWidget*>(Dialog)})
    w->setEnabled(enabled);
  // The session a connection speaks decides what the list tab offers.
  if (FUsta) FUsta->RefreshServerListTab();
}

void TFMain::ShowAutoReconnect(bool on) {
  NaTajmer->SetColours(on ? 0xFFFFFF : 0x808080, on ? 0xFFFFFF : 0x808080);
  NaTajmer->setAccessibleName(QString::fromUtf8(on ? "Automatyczne ponawianie połączenia: włączone"
                                                   : "Automatyczne ponawianie połączenia: wyłączone"));
  if (on)
    TimerUr.start();
  else
    TimerUr.stop();
}

void TFMain::RepaintContactList() { ListaK->Refresh(); }

void TFMain::butStatusClick() {
  if (connection_->State() == conn::kNieSkonfigurowany) return;
  FStat->SetText(state_.opis);
  FStat->CheckBox1->setChecked(state_.status & 1);
  if (FStat->ShowModal() != kMrOk) return;
  const uint8_t v = FStat->Wybor();
  state_.opis = (v & 1) ? FStat->Text() : std::string();
  // The state is read again: the connection may have changed while the
  // dialog was up.
  if (connection_->State() == conn::kPolaczony) session_->SendNewStatus(v, true, state_.opis);
  ShowOwnStatus(v);
  // While connecting nothing is sent: the login carries the own status.
  if (connection_->State() == conn::kNiePolaczony)
    connection_->DialogMouseDown(Sender::ButStatus, true);
}

// A description may hold CR LF; the label ends its lines at a plain LF.
void TFMain::ShowOwnStatus(uint8_t statusIndex) {
  butStatus->SetNumer(statusIndex);
  if (statusIndex & 1) {
    QString opis = cp1250::toQString(state_.opis);
    opis.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    LOpis->setText(opis);
  } else {
    LOpis->clear();
  }
  std::string label;
  if (status::Label(statusIndex, true, label)) LStat->setText(cp1250::toQString(label));
  butStatus->setAccessibleName(QString::fromUtf8("Aktualny status: ") + LStat->text());
  state_.status = statusIndex;
  tray_->SetOwnStatus(statusIndex);
}

// The settings dialog is made last of all; until then there is nothing of
// it to update.
void TFMain::ShowColourSwatches() {
  if (FUsta) FUsta->ShowColourSwatches();
}
void TFMain::RefreshIdentityTab() {
  if (FUsta) FUsta->RefreshIdentityTab();
}

void TFMain::SpeedButton7Click() {
  FUsta->CBAD->setChecked(config_.autowolit);
  FUsta->RefreshIdentityTab();
  FUsta->ShowColourSwatches();
  FUsta->ShowModal();
}
void TFMain::CloseChatWindows() { chats_->CloseAll(); }

void TFMain::CloseConnection() {
  events_->AbandonPending();
  connection_->CloseSocket();
}
// The list's icons are tinted with the scheme: the window's recolouring
// rebuilds them along with the buttons' faces.
void TFMain::ApplyColourScheme() {
  ::ApplyColourScheme(state_.kolory);
  if (FUsta) FUsta->AfterColourScheme();
}

bool TFMain::ArchiveExists(const std::string& name) { return archive_.Exists(name); }
bool TFMain::OpenArchive(const std::string& name) { return archive_.OpenExisting(name); }
bool TFMain::CreateArchive(const std::string& name) { return archive_.CreateArchive(name); }
void TFMain::CloseArchive() { archive_.Close(); }

void TFMain::ArchButClick() {
  ::ArchButClick(state_.numer, folders_.DataDir(), *shell_);
}
