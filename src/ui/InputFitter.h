#pragma once
// An edit box whose text goes out as Windows-1250: whatever reaches it,
// typed, pasted, dropped or composed, is fitted by a TextFitter at once, so
// the box shows what will be sent or stored. What the network cannot carry
// is left out, and a short notice in the window names it for a few seconds
// (never a box: the user is typing). A box may also be held to a number of
// bytes as its text goes out, a line break counting two (CR LF): what was
// just typed or pasted loses its end; deleting is always possible.
//
// The fitter is attached to the box and lives as long as it.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "platform/TextFitter.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

class InputFitter : public QObject {
  Q_OBJECT
 public:
  static constexpr int kNoticeMs = 6000;

  // maxBytes 0: no limit.
  InputFitter(QPlainTextEdit* edit, TextFitter fitter, int maxBytes = 0);
  InputFitter(QLineEdit* edit, TextFitter fitter);

  // The text as the program sets it (a stored text): neither fitted nor
  // cut, so that a longer one shows whole.
  void SetText(const QString& text);
  // A masked box names nothing it left out.
  void SetNamesRefused(bool names) { namesRefused_ = names; }
  // While whole answers true, a multi-line box keeps every character as it
  // came (for a network that carries them all): nothing is fitted, and the
  // limit counts characters, one that takes two UTF-16 units counting one.
  void SetWhole(std::function<bool()> whole) { whole_ = std::move(whole); }

  // The bytes a box's text takes as it goes out.
  static int Bytes(const QString& plainText);
  // "Pominięto znaki, których Gadu-Gadu nie przenosi: Ж 😺" (UTF-16).
  static QString NoticeText(const std::vector<std::u32string>& refused, bool names);

  // Null until something was refused.
  QLabel* Notice() const;

  // Fits one text as a line edit's validator does; the refused go to Refused.
  void FitLine(QString& text, int& position);

 private:
  void PlainTextChanged();
  void Refused(const std::vector<std::u32string>& refused);

  QPointer<QWidget> edit_;
  QPlainTextEdit* plain_ = nullptr;
  TextFitter fitter_;
  int maxBytes_ = 0;
  bool namesRefused_ = true;
  std::function<bool()> whole_;
  bool busy_ = false;
  // Where the last change of a multi-line box put its characters.
  int changedAt_ = 0;
  int changedCount_ = 0;
  QPointer<QLabel> notice_;
  QTimer noticeTimer_;
};
