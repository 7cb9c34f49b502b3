#pragma once
// The main window. It lives for the whole run and holds the process-wide
// state: the identity, the connection and its timers, the configuration.

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "app/Config.h"
#include "protocol/ConnectionManager.h"
#include "protocol/Session.h"

class QLabel;
class QPushButton;
class TShape;

class TFMain : public QWidget,
               public ConnectionManager::View,
               public ConnectionManager::Identity {
 public:
  struct Options {
    QString programDir;   // the folder every relative file name is resolved in
    QStringList arguments;  // the command line without the program name
    NetFactory* net = nullptr;  // the real transport when null
    int timerUrMs = 2000;
    int timer1Ms = 120000;
  };

  static constexpr const char* kCaption = "Wirmelak v1.2++";

  explicit TFMain(const Options& options);
  ~TFMain() override;

  ConnectionManager& Connection() { return *connection_; }
  Session& Outgoing() { return *session_; }
  Config& Configuration() { return config_; }
  bool StartHidden() const { return startHidden_; }
  int16_t TimeZoneBias() const { return timeZone_; }
  bool ShutdownFlag() const { return shutdown_; }

  // The current identity; 0 means none. Set directly until identities are
  // loaded from their files.
  void SetIdentity(uint32_t number, std::string password);
  uint32_t OwnNumber() const override { return number_; }
  const std::string& Password() const { return password_; }
  uint8_t OwnStatus() const override { return ownStatus_; }
  const std::string& Description() const override { return description_; }
  void SetOwnStatus(uint8_t statusIndex) override { ownStatus_ = statusIndex; }
  void SetDescription(std::string d) { description_ = std::move(d); }

  // Start-up, step 6: with a number and a stored password the automatic
  // reconnection follows the auto-connect flag.
  void StartAutoConnect();

  void ApplyDefaultGeometry();
  void SaveOnExit();
  // Asks, unless the session is ending; true when the program may close.
  bool FormCloseQuery();
  // The end of the user's session: save, tell the server, close unasked.
  void WMQueryEndSession();

  // Components, named as the rest of the program knows them.
  TShape* Dialog = nullptr;
  TShape* NaTajmer = nullptr;
  QLabel* DiaLab = nullptr;
  QPushButton* BZamknij = nullptr;
  QPushButton* Buton1 = nullptr;
  QPushButton* ButonPlus = nullptr;
  QPushButton* ButonMinus = nullptr;
  QPushButton* ButonEdycja = nullptr;
  QPushButton* butStatus = nullptr;
  QPushButton* ArchBut = nullptr;
  QTimer TimerUr;
  QTimer Timer1;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void FormCreate(const Options& options);
  void CreateComponents();
  void PlaceComponents();
  void ShowConnectionState(uint8_t state) override;
  void ShowAutoReconnect(bool on) override;
  void DispatchPacket(uint32_t type, const std::string& payload);

  std::unique_ptr<ConnectionManager> connection_;
  std::unique_ptr<Session> session_;
  Config config_;
  uint32_t number_ = 0;
  std::string password_;
  std::string description_;
  uint8_t ownStatus_ = 0;
  int16_t timeZone_ = -60;
  bool startHidden_ = false;
  bool shutdown_ = false;
  bool closing_ = false;
};
