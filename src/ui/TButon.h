#pragma once
// The image button: one picture of an image list, tinted toward the scheme's
// background; six coloured discs at its centre while it is held down. Tab
// reaches it; Space presses it then, and a dotted frame shows the focus.

#include <QImage>
#include <QWidget>
#include <cstdint>

#include "ui/SkinRecolourable.h"

class TImageList;

class TButon : public QWidget, public TSkinRecolourable {
  Q_OBJECT
 public:
  explicit TButon(QWidget* parent = nullptr);

  // The list the picture comes from (usually Skin::get().IL() or ILDuze());
  // not owned, it must outlive the button. Null shows a black face.
  const TImageList* IL() const { return il_; }
  void SetIL(const TImageList* il);
  uint8_t Numer() const { return numer_; }
  // A new number rebuilds the face and repaints; the current one does nothing.
  void SetNumer(uint8_t numer);

  bool pressed() const { return pressed_; }
  // The tinted picture as last built (null before the first paint).
  const QImage& face() const { return face_; }

  // What Space does: OnMouseDown with the left button, then OnClick; nothing
  // while disabled. The accessibility action presses the button this way.
  void Press();

  // Rebuilds the face with the current scheme (run by ApplyColourScheme).
  void Recolour() override;

  // The colour of disc n (1..6) while pressed, as the program's value: bit 24
  // may be set, in which case the low 24 bits are what is drawn.
  static uint32_t DiscColour(int n);

 signals:
  void OnClick();
  // Every press, with any button, before the button is released: for
  // buttons that act at once (the list's scroll arrows).
  void OnMouseDown(Qt::MouseButton button);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  // The focus frame shows only when the keyboard brought the focus: a
  // window that opens with the focus on a button draws no frame on it.
  bool focusShown_ = false;
  void rebuildFace();

  const TImageList* il_ = nullptr;
  uint8_t numer_ = 0;
  bool pressed_ = false;
  bool armed_ = false;  // a left press began on the button
  bool prepared_ = false;
  QImage face_;
};
