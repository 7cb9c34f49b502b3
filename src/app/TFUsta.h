#pragma once
// The settings dialog "Ustawienia": identities and the password, the
// server's copy of the contact list, starting with the session and
// auto-connect, and the colour scheme, one tab each. Created with the main
// window and kept for the run; the main window's settings button shows it
// modally, always on its identities tab.
//
// The work behind the buttons lives elsewhere (IdentityActions, the server
// list exchange, the autostart entry, the identity store); the windows it
// would open (the prompt, the colour picker) are seams a test can replace.
// Its handlers are spread over one file per tab.

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/IdentityActions.h"
#include "protocol/ServerListExchange.h"
#include "ui/TSkinnedForm.h"

class QCheckBox;
class QLabel;
class QListWidget;
class TButon;
class TFMain;
class TNapisButon;
class TZakladki;
struct ColourScheme;

class TFUsta : public TSkinnedForm, private ServerListExchange::Host {
  Q_OBJECT
 public:
  // The colour picker: the chosen colour, or nothing when it was cancelled.
  using ColourPicker = std::function<std::optional<uint32_t>(uint32_t initial)>;

  static constexpr int kClientWidth = 300;
  static constexpr int kClientHeight = 298;

  explicit TFUsta(TFMain& main, QWidget* parent = nullptr);
  ~TFUsta() override;

  void SetPrompt(IdentityActions::Prompt prompt) { prompt_ = std::move(prompt); }
  void SetColourPicker(ColourPicker picker) { picker_ = std::move(picker); }
  // The command the autostart entry runs (by default the running program's,
  // as its folders name it).
  void SetProgramPath(const QString& path) { programPath_ = path; }

  ServerListExchange& ServerList() { return serverList_; }

  // Showing: the identities tab comes to the front; showing any tab puts
  // the background image behind it and reads the autostart entry.
  void FormShow();
  void Tab1Show();
  void KontrollDrawTab(QPainter& painter, int index, const QRect& rect, bool active);

  // Identities.
  void RefreshIdentityTab();
  // The number of the selected line, empty when none is selected.
  std::string SelectedIdentity() const;
  void HasloButonClick();
  void SpeedButton1Click();  // create
  void NapisButon9Click();   // make default
  void SpeedButton3Click();  // delete
  void SpeedButton2Click();  // load

  // The server's copy of the contact list.
  void NapisButon4Click();  // import
  void NapisButon5Click();  // export
  void NapisButon6Click();  // delete
  // Export and delete are off in today's network (the connection's session
  // while there is one, else the chosen one), with the reason on the tab;
  // the session's check box follows the configuration.
  void RefreshServerListTab();

  // Starting with the session, auto-connect.
  void RefreshAutostartTab();
  void RejestrWpisz();
  void CBADClick();
  // Today's network or the 2005 session, from the next connection on.
  void CBGG8Click();

  // Colours.
  void ShowColourSwatches();
  void SzTloClick();
  void SzTextClick();
  void SzOpisClick();
  void SzBladClick();
  void SzWyslClick();
  void SzOdebClick();
  void SzCzasuClick();
  void SzTekstClick();
  void NapisButon1Click();  // default colours
  void NapisButon7Click();  // invert

  void BZamknijClick();

  // Recolours what the base does not know of: the background image, the
  // autostart text in the text colour, the progress line.
  void ApplyColours() override;
  // The last step of applying a scheme: a visible dialog is hidden and shown
  // again, keeping the tab it shows.
  void AfterColourScheme();

  // Components, named as the rest of the program knows them.
  TButon* BZamknij;
  TZakladki* Kontroll;
  QLabel* ImaBak;
  QWidget* Tab1;
  QWidget* Tab2;
  QWidget* Tab3;
  QWidget* TabSheet1;
  // Tożsamości
  QLabel* ENumer;
  QLabel* EHaslo;
  TNapisButon* HasloButon;
  QLabel* Label1;
  QListWidget* Okuna;
  TNapisButon* NapisButon8;
  TNapisButon* NapisButon9;
  TNapisButon* NapisButon3;
  TNapisButon* NapisButon2;
  // Lista kontaktów
  QLabel* Label2;
  TNapisButon* NapisButon4;
  TNapisButon* NapisButon5;
  TNapisButon* NapisButon6;
  QLabel* LDzis;  // why export and delete are off
  // Systemowe
  QLabel* LReg;
  TNapisButon* RegButon;  // its tag: 1 write, -1 delete, 0 nothing
  QCheckBox* CBAD;
  QCheckBox* CBGG8;
  QLabel* LGG8;  // what the check box means
  QLabel* Label3;
  // Kolory
  QWidget* SzTlo;
  QCheckBox* SzTekst;
  QWidget* SzText;
  QWidget* SzOpis;
  QWidget* SzBlad;
  QWidget* SzWysl;
  QWidget* SzOdeb;
  QWidget* SzCzasu;
  TNapisButon* NapisButon1;
  TNapisButon* NapisButon7;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildTab1();
  void BuildTab2();
  void BuildTab3();
  void BuildTabSheet1();
  void PaintImaBak();
  void SwatchClick(QWidget* swatch, uint32_t ColourScheme::*colour);

  // ServerListExchange::Host
  bool Connected() const override;
  bool Today() const override;
  void Send(const std::string& packet) override;
  void ShowProgress(const std::string& text) override;
  void ShowIdle() override;
  void ImportServerList(const std::string& text) override;

  TFMain& main_;
  IdentityActions::Prompt prompt_;
  ColourPicker picker_;
  QString programPath_;
  IdentityActions identities_;
  ServerListExchange serverList_;
  bool lRegInTextColour_ = false;
  bool reshowing_ = false;
};

// A swatch shows one colour of the scheme and is clicked to change it.
void PaintSwatch(QWidget* swatch, uint32_t colour);
// What a screen reader is told of a swatch, for QAccessible::installFactory.
class QAccessibleInterface;
QAccessibleInterface* SwatchAccessibleFactory(const QString& className, QObject* object);
