#pragma once
// The small prompt window: one labelled edit and a confirm button. It asks
// for the password of an identity that keeps none (every login, also the
// automatic ones), and serves the settings dialog as the number prompt and
// as the password editor.

#include <string>

#include "ui/TSkinnedForm.h"

class InputFitter;
class QLabel;
class QLineEdit;
class QProxyStyle;
class TNapisButon;

class TFBoks : public TSkinnedForm {
  Q_OBJECT
 public:
  explicit TFBoks(QWidget* parent = nullptr);
  ~TFBoks() override;

  // Caption, label text and the edit's starting text, Windows-1250; a masked
  // edit shows every character as "+".
  void Prepare(const std::string& caption, const std::string& label, bool masked,
               const std::string& text = {});
  // The edit's text as Windows-1250 bytes.
  std::string Text() const;

  QLineEdit* Et;
  InputFitter* EtFitter;
  QLabel* EtLabel;
  TNapisButon* But;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool EtKeyPress(int key);

  QProxyStyle* plusStyle_;
};

// Shows the prompt modally, centred on the screen, and returns the text of
// the edit however the window was closed: a closed window is the empty text.
std::string AskInBoks(const std::string& caption, const std::string& label, bool masked,
                      const std::string& text = {});

// The login's question: "Wprowadź hasło", masked, starting empty.
std::string AskPassword();
