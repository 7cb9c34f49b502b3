#pragma once
// The about window "Informacje o programie": the logo, the program's name,
// its version, "freeware", the components it is built with, where to read
// about it and where to report a fault.

#include "ui/TSkinnedForm.h"

class QLabel;
class QPlainTextEdit;
class TButon;

class TFInfo : public TSkinnedForm {
  Q_OBJECT
 public:
  explicit TFInfo(QWidget* parent = nullptr);

  QLabel* Logo;
  QLabel* Nazwa;
  QLabel* Wersja;
  QLabel* Freeware;
  QPlainTextEdit* Skladniki;  // read only
  QLabel* StronaLabel;
  QLabel* Strona;
  QLabel* KontaktLabel;
  QLabel* Kontakt;
  TButon* BZamknij;

  void ApplyColours() override;
};

// The about window, modal, centred, with its version set; freed when closed.
void ShowAbout();
