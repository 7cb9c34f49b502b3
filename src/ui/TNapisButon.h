#pragma once
// The caption button: a bevel of nested rectangles in the frame shades with a
// centred caption. With Modal != 0 a click ends the owning window's modal run
// with that result (TSkinnedForm::SetModalResult). Tab reaches it; Space
// presses it then, and a dotted frame inside the bevel shows the focus.

#include <QWidget>
#include <string>

class TNapisButon : public QWidget {
  Q_OBJECT
 public:
  explicit TNapisButon(QWidget* parent = nullptr);

  // The caption, Windows-1250 text.
  const std::string& Napis() const { return napis_; }
  void SetNapis(const std::string& napis);
  int Modal() const { return modal_; }
  void SetModal(int modal) { modal_ = modal; }

  bool pressed() const { return pressed_; }

  // Raises OnClick, then, when Modal is not 0, sets the owning window's modal
  // result to it. A left click on the button and Enter in a dialog run this.
  void Click();

 signals:
  void OnClick();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The focus frame shows only when the keyboard brought the focus: a
  // window that opens with the focus on a button draws no frame on it.
  bool focusShown_ = false;
  std::string napis_;
  QString shown_;
  int modal_ = 0;
  bool pressed_ = false;
  bool armed_ = false;
};
