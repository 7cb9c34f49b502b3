#pragma once
// The window of one conversation: the conversation view above the entry
// field Memo1, a close, a size and a hide button in the title strip and the
// emoticon picker's button beside the entry. Enter sends what is typed while
// connected; the user's own message shows in the view only once the server
// has acknowledged it.
//
// A hidden window costs little more than its conversation: its native
// window, its buttons and its entry field are made only when it is first
// shown (or BuildComponents is called).

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/DeferredRelease.h"
#include "ui/TSkinnedForm.h"

class InputFitter;
class QKeyEvent;
class QPlainTextEdit;
class ShellOpen;
class TButon;
class TRozmowa;

class TFCzat : public TSkinnedForm {
  Q_OBJECT
 public:
  // What a chat window needs of the connection.
  class Outgoing {
   public:
    virtual ~Outgoing() = default;
    virtual bool Connected() const = 0;
    virtual void SendChatMessage(uint32_t number, std::string text) = 0;
    // Today's network carries every character: the entry keeps what is
    // typed whole rather than fitting it to Windows-1250.
    virtual bool Today() const { return false; }
  };

  // The most a message may hold, counted in characters: a line break (CR
  // LF) counts two. In the 2005 session they are the Windows-1250 bytes
  // that are sent.
  static constexpr int kMaxMessage = 1980;

  // programDir holds ikony/.
  TFCzat(uint32_t number, ShellOpen& shell, const QString& programDir, Outgoing& outgoing);
  ~TFCzat() override;

  // Makes the buttons and Memo1, once; showing the window does it first.
  void BuildComponents();
  bool ComponentsBuilt() const { return Memo1 != nullptr; }

  uint32_t Number() const;
  // The window's index in the chat window registry.
  int Tag = 0;
  // Made for a number that was not a contact.
  bool ForStranger = false;

  // Hides the window and frees it once none of its calls that wait in a
  // loop (the emoticon picker, the size dialog) is on the stack.
  void Release();

  // The window holds a message the user has not seen yet.
  bool Nowy() const { return nowy_; }
  void SetNowy(bool nowy);

  // Memo1's text as it is sent: Windows-1250 bytes, line breaks as CR LF;
  // in today's network what the code page lacks as wide marks.
  std::string EntryText() const;

  void BZamknijClick() { close(); }
  // Hides the window where something brings it back (CanHide), else
  // minimises it.
  void Buton1Click();
  std::function<bool()> CanHide;
  void Buton2Click();
  void Buton3Click();
  // Sets the client size; the view follows it and lays out again.
  void SetClientSize(int width, int height);

  TRozmowa* Rozmowa;
  // Null until the components are built.
  TButon* BZamknij = nullptr;
  TButon* Buton1 = nullptr;
  TButon* Buton2 = nullptr;
  TButon* Buton3 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  // Keeps Memo1 to what the network carries, within kMaxMessage.
  InputFitter* Memo1Fitter = nullptr;

  void setVisible(bool visible) override;

 signals:
  // The new-message flag changed: the tray's animation follows all windows.
  void NowyChanged();
  // The window was closed; its registry drops it and frees it.
  void Closed(TFCzat* window);

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Memo1KeyDown(QKeyEvent* key);
  void PlaceComponents();

  QString programDir_;
  Outgoing& outgoing_;
  bool nowy_ = false;
  // The last selection made was the view's, not the entry's: Ctrl+C copies it.
  bool viewSelectedLast_ = false;
  DeferredRelease release_{*this};
};
