#pragma once
// The main window. It lives for the whole run and holds the process-wide
// state: the identity, the connection and its timers, the configuration.

#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/Config.h"
#include "app/Geometry.h"
#include "app/IdentityHost.h"
#include "app/IdentityStore.h"
#include "platform/ProgramFolders.h"
#include "contacts/ContactStore.h"
#include "conversation/MessageArchive.h"
#include "conversation/view/TFCzat.h"
#include "protocol/ConnectionManager.h"
#include "protocol/IncomingEvents.h"
#include "protocol/Session.h"
#include "ui/TSkinnedForm.h"

class ChatWindows;
class DesktopNotifications;
class NotifySound;
class QLabel;
class QWheelEvent;
class ShellOpen;
class Tray;
class TButon;
class TFPuk;
class TLista;
class TFStat;
class TFUsta;
class TNapisButon;
class TShape;

class TFMain : public TSkinnedForm,
               public ConnectionManager::View,
               public ConnectionManager::Identity,
               public IdentityHost,
               public IncomingEvents::Roster,
               public IncomingEvents::ArchiveSink,
               public TFCzat::Outgoing {
 public:
  struct Options {
    // ikony/ and notify.wav in the program's folder; Wirmelak.ini, osoba and
    // osoby/ in the user's, the folder every relative file name is resolved in.
    ProgramFolders folders;
    QStringList arguments;  // the command line without the program name
    NetFactory* net = nullptr;  // the real transport when null
    // The desktop's services; when null the program's own: the tray icon
    // (with the desktop's notifications where there is no tray), notify.wav
    // of the program's folder, the desktop's "open".
    Tray* tray = nullptr;
    NotifySound* sound = nullptr;
    ShellOpen* shell = nullptr;
    int timerUrMs = 2000;
    int timer1Ms = 120000;
  };

  static constexpr const char* kCaption = "Wirmelak v1.2++";
  // The design size the component places are given for.
  static constexpr QSize kDesign{250, 545};

  explicit TFMain(const Options& options);
  ~TFMain() override;

  ConnectionManager& Connection() { return *connection_; }
  Session& Outgoing() { return *session_; }
  Config& Configuration() { return config_; }
  const ProgramFolders& Folders() const { return folders_; }
  bool StartHidden() const { return startHidden_; }
  bool ShutdownFlag() const { return shutdown_; }

  IdentityStore& Identities() { return identities_; }
  MessageArchive& Archive() { return archive_; }
  ChatWindows& Chats() { return *chats_; }
  IncomingEvents& Events() { return *events_; }
  // The archive button: the identity's archive in the desktop's browser.
  void ArchButClick();
  // Start-up, step 4: the identity named in "osoba", when there is one.
  void LoadDefaultIdentity();
  // An identity given directly rather than read from its file.
  void SetIdentity(uint32_t number, std::string password);

  uint32_t OwnNumber() const override { return state_.numer; }
  const std::string& Password() const { return state_.haslo; }
  uint8_t OwnStatus() const override { return state_.status; }
  const std::string& Description() const override { return state_.opis; }
  // Also shown: the user's disconnect sets "nie ma mnie" this way.
  void SetOwnStatus(uint8_t statusIndex) override { ShowOwnStatus(statusIndex); }
  void SetDescription(std::string d) { state_.opis = std::move(d); }

  // The identity store's view of the main window.
  IdentityState& State() override { return state_; }
  ContactStore& Contacts() override { return contacts_; }
  bool ArchiveExists(const std::string& name) override;
  bool OpenArchive(const std::string& name) override;
  bool CreateArchive(const std::string& name) override;
  void CloseArchive() override;
  int ConnectionState() override { return connection_->State(); }
  void SetConnectionState(int state) override {
    connection_->SetConnectionState(static_cast<uint8_t>(state));
  }
  void SetAutoReconnect(bool on) override { connection_->SetAutoReconnect(on); }
  void SendNotAvailable(uint8_t statusIndex, const std::string& opis) override {
    session_->SendNewStatus(statusIndex, false, opis);
  }
  // Nothing pending will be acknowledged once we close.
  void CloseConnection() override;
  void ShowOwnStatus(uint8_t statusIndex) override;
  void ApplyColourScheme() override;
  void ShowColourSwatches() override;
  void RefreshIdentityTab() override;
  void RepaintContactList() override;
  void CloseChatWindows() override;
  void ResetTray() override;
  void EmptyKnockList() override;

  // Start-up, step 6: with a number and a stored password the automatic
  // reconnection follows the auto-connect flag.
  void StartAutoConnect();

  // What the incoming events need of the contacts and the archive.
  void ApplyStatus(uint32_t number, uint8_t statusIndex, const std::string& description) override;
  std::optional<std::string> DisplayName(uint32_t number) const override;
  void ArchiveMessage(uint32_t number, const std::string& text, uint32_t time) override {
    archive_.ArchiveMessage(number, text, time);
  }
  // What the chat windows need of the connection.
  bool Connected() const override { return connection_->State() == conn::kPolaczony; }
  void SendChatMessage(uint32_t number, std::string text) override {
    session_->SendChatMessage(number, std::move(text));
  }
  // Today's network: the session of the connection there is, else the one
  // the next connection will speak.
  bool Today() const override;
  // zaufane.pem beside Wirmelak.ini, handed to the connection; read again
  // as each connection starts, so a certificate placed meanwhile counts.
  void ReadTrustedCertificates();

  // The contact list's events and its scrolling; a double-click opens the
  // contact's chat window.
  void ListaKPodwojnyKlik(uint16_t Numer);
  void ListaKNaZmiane();
  void Buton5MouseDown();
  void Buton4MouseDown();
  void FormMouseWheelUp();
  void FormMouseWheelDown();

  // The status button: the status dialog, then the choice sent, shown and,
  // when not connected, a connection started.
  void butStatusClick();
  // Contact editing. Adding from the knock list fills in the selected knock
  // and drops it once the contact is in.
  enum class AddOrigin { kPrzycisk, kPukanie };
  void AddContact(AddOrigin origin);
  void ButonPlusClick() { AddContact(AddOrigin::kPrzycisk); }
  void ButonEdycjaClick();
  void ButonMinusClick();

  // The knock list: strangers' status notices, announced by ButPuk.
  void AddKnock(uint32_t numer);
  void UpdateKnockIndicator();
  void ButPukClick();
  TFPuk& Knocks() { return *FPuk; }

  // The settings button: the settings dialog, modally, on its first tab.
  void SpeedButton7Click();
  TFUsta& Settings() { return *FUsta; }
  // Replaces the contact list with the one of the server's list text, with
  // the questions and notices of an import.
  void ImportServerList(const std::string& text);

  // The default size, and the default place where the platform lets the
  // program place windows.
  void ApplyDefaultGeometry();
  // A saved place on no present screen comes onto the primary one.
  void KeepOnScreens();
  // Saves the configuration and the identity and tells the server the user
  // leaves. On the user's close a file that could not be written is named
  // in a question: closing anyway gives up what it would have held, staying
  // (the default) gives false with nothing sent. At the end of the session
  // the failure goes to standard error and it always goes on to the end.
  bool SaveOnExit();
  // The session manager's checkpoint: everything saved, the program runs
  // on. A failure is told in a box when mayAsk, asked only then, allows it,
  // else on standard error.
  void SaveCheckpoint(const std::function<bool()>& mayAsk);
  // Asks, unless the session is ending; true when the program may close.
  bool FormCloseQuery();
  // The end of the user's session: save, tell the server, close unasked.
  void WMQueryEndSession();

  // The chrome: the title strip's buttons, the tray icon and its menu.
  // Buton1: hidden where a tray brings the window back, else minimised.
  void SpeedButton5Click();
  void SpeedButton6Click();  // Buton2: the window size dialog
  void Buton6Click();        // the about window
  void IkonaClick();         // to the front when visible, shown when hidden
  void ResetOknoClick();
  void ZakonczClick() { close(); }
  // The tray menu's chat items, from the chat windows as they are now.
  void RebuildTrayChats();
  // The tray came or went: without one, nothing stays hidden that only it
  // could bring back.
  void TrayAvailabilityChanged(bool available);
  // Start-up, last step: shown, or with "autostart" hidden where a tray
  // brings it back and minimised where none does.
  void ShowAtStart();
  // Another copy started in the folder asks: shown (when this copy holds the
  // folder's default identity) and true, or nothing and false.
  bool ShowOnRequest();

  // Components, named as the rest of the program knows them.
  TShape* Dialog = nullptr;
  TShape* NaTajmer = nullptr;
  QLabel* DiaLab = nullptr;
  TButon* BZamknij = nullptr;
  TButon* Buton1 = nullptr;
  TButon* Buton2 = nullptr;  // the window size
  TButon* Buton6 = nullptr;  // about the program
  TButon* ButonPlus = nullptr;
  TButon* ButonMinus = nullptr;
  TButon* ButonEdycja = nullptr;
  TButon* butStatus = nullptr;
  TNapisButon* ArchBut = nullptr;
  TLista* ListaK = nullptr;
  TButon* Buton5 = nullptr;  // scroll the list up
  TButon* Buton4 = nullptr;  // scroll the list down
  QLabel* LStat = nullptr;
  QLabel* LOpis = nullptr;
  TFStat* FStat = nullptr;
  TButon* ButPuk = nullptr;  // knocks waiting; hidden while there are none
  TButon* Buton3 = nullptr;  // settings
  QTimer TimerUr;
  QTimer Timer1;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void FormCreate(const Options& options);
  WindowGeometry DefaultWindowGeometry() const;
  void CreateComponents();
  void PlaceComponents();
  void ShowConnectionState(uint8_t state) override;
  void ShowAutoReconnect(bool on) override;
  void CreateChrome();
  // What SaveFiles could not write.
  static constexpr unsigned kIniUnsaved = 1;
  static constexpr unsigned kIdentityUnsaved = 2;
  // The configuration file and the identity; what could not be written (0
  // when all was), told to nobody yet.
  unsigned SaveFiles();
  std::string NotSavedText(unsigned unsaved) const;
  static std::string LostText(unsigned unsaved);
  // Wirmelak.ini in the user's folder, whatever the working folder is.
  std::string IniPath() const;
  void PlaceChrome();
  void ConnectTray();
  bool HoldsDefaultIdentity() const;

  std::unique_ptr<DesktopNotifications> ownNotifications_;
  std::unique_ptr<Tray> ownTray_;
  std::unique_ptr<NotifySound> ownSound_;
  std::unique_ptr<ShellOpen> ownShell_;
  Tray* tray_;
  NotifySound* sound_;
  ShellOpen* shell_;
  std::unique_ptr<ConnectionManager> connection_;
  std::unique_ptr<Session> session_;
  Config config_;
  ProgramFolders folders_;
  IdentityState state_;
  ContactStore contacts_;
  MessageArchive archive_;
  IdentityStore identities_;
  bool startHidden_ = false;
  bool shutdown_ = false;
  bool closing_ = false;
  std::unique_ptr<TFPuk> FPuk;  // created with the window, kept for the run
  std::unique_ptr<ChatWindows> chats_;
  std::unique_ptr<IncomingEvents> events_;
  int wheelDelta_ = 0;  // part of a wheel notch not yet scrolled
  // Last: it goes first, while everything it uses is still there.
  std::unique_ptr<TFUsta> FUsta;
};
