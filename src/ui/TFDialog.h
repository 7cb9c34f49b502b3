#pragma once
// The message box window: the text at the right of a large shaded glyph,
// "Rozumiem" for warnings and notices, "Tak" / "Nie" for questions. Created
// and destroyed by every ShowSkinnedMessageBox call.

#include <QLabel>
#include <string>

#include "ui/TSkinnedForm.h"

class TNapisButon;

class TFDialog : public TSkinnedForm {
  Q_OBJECT
 public:
  explicit TFDialog(QWidget* parent = nullptr);

  // Sets up the window for one message: buttons and caption by kind, the
  // text, the tag (kind + 1) and the height (the label's height + 80).
  void Prepare(const std::string& text, int kind);
  int tag() const { return tag_; }

  void ApplyColours() override;

  QLabel* TreS;
  TNapisButon* NapisTak;
  TNapisButon* NapisNie;
  TNapisButon* NapisOk;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void placeButtons();

  int tag_ = 1;
};

// Shows the message modally and returns true only when a question (kind 1)
// is answered "Tak"; every other way of closing gives false.
bool ShowSkinnedMessageBox(const std::string& text, int kind);

// Makes MessageBox (platform/MessageBox.h) show the skinned box; called once
// at start.
void InstallSkinnedMessageBox();
