#pragma once
// The window size dialog: a width and a height, each a whole number from
// 200 to 2999; "Zatwierdź" is enabled only while both are. The edits take
// digits and Backspace only; Enter confirms when "Zatwierdź" is enabled.
// Used for the chat windows and the main window alike.

#include "ui/TSkinnedForm.h"

class QLabel;
class QLineEdit;
class TButon;
class TNapisButon;

class TFRozm : public TSkinnedForm {
  Q_OBJECT
 public:
  static constexpr int kMin = 200;
  static constexpr int kMax = 2999;

  explicit TFRozm(QWidget* parent = nullptr);

  // Fills the edits with the current size, enables "Zatwierdź" and selects
  // the width, which takes the focus when the window shows.
  void Prepare(int width, int height);
  // The values as typed; text that does not read as a number counts as 0.
  int Szerokosc() const;
  int Wysokosc() const;
  static int Value(const QString& text);
  static bool Valid(int value) { return value >= kMin && value <= kMax; }

  QLineEdit* X;
  QLineEdit* Y;
  QLabel* XLabel;
  QLabel* YLabel;
  TNapisButon* NapisOk;
  TNapisButon* NapisAnuluj;
  TButon* BZamknij;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Changed();
};

// Shows the dialog modally, centred on the screen, with width and height
// filled in; true when confirmed, and then they hold the new size.
bool AskWindowSize(int& width, int& height);
