#pragma once
// The status dialog: three status buttons, the description box and the
// check box that says whether the chosen status carries the description.
// Created once with the main window and kept; the main window fills it
// before every showing and reads the choice afterwards.

#include <cstdint>
#include <string>

#include "ui/TSkinnedForm.h"

class InputFitter;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class TButon;

class TFStat : public TSkinnedForm {
  Q_OBJECT
 public:
  // What the description may hold, counted as it goes out: Windows-1250
  // bytes with every line break as CR LF.
  static constexpr int kMaxOpis = 70;

  explicit TFStat(QWidget* parent = nullptr);

  // The box's text as Windows-1250 with CR LF line breaks, and back. Setting
  // it is not typing: a longer stored description is shown whole.
  std::string Text() const;
  void SetText(const std::string& text);

  // The status chosen by the last status button: its picture number, one
  // more when the description goes with it.
  uint8_t Wybor() const { return wybor_; }

  // Shared by the three status buttons.
  void butStatusClick(const TButon* sender);
  // Keeps the check box in step with the text.
  void Edit1Change();

  QLabel* Label1;
  QCheckBox* CheckBox1;
  QPlainTextEdit* Edit1;
  InputFitter* Edit1Fitter;
  TButon* Buton1;  // available
  TButon* Buton2;  // back soon
  TButon* Buton3;  // not here
  TButon* BZamknij;

 private:
  uint8_t wybor_ = 0;
};
