#include "ui/TButon.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "ui/Skin.h"
#include "ui/TImageList.h"
#include "ui/Tint.h"

TButon::TButon(QWidget* parent) : QWidget(parent) {
  resize(18, 18);
  setFocusPolicy(Qt::TabFocus);
}

void TButon::SetIL(const TImageList* il) {
  il_ = il;
  if (prepared_) rebuildFace();
  update();
}

void TButon::SetNumer(uint8_t numer) {
  if (numer == numer_) return;
  numer_ = numer;
  rebuildFace();
  repaint();
}

void TButon::Recolour() {
  rebuildFace();
  update();
}

uint32_t TButon::DiscColour(int n) { return ((14u - 2u * n) * 0xA45FE3u) & 0x1FFFFFFu; }

void TButon::rebuildFace() {
  face_ = QImage(qMax(1, width()), qMax(1, height()), QImage::Format_RGB32);
  face_.fill(Qt::black);
  if (il_) {
    QPainter p(&face_);
    il_->Draw(p, 0, 0, numer_);
  }
  // Buttons in the title strip sit on the lighter frame shade: a half offset
  // keeps their pictures from turning into background.
  TintWithBackground(face_, y() <= 4 ? 0.5f : 0.0f);
  prepared_ = true;
}

void TButon::paintEvent(QPaintEvent*) {
  if (!prepared_) rebuildFace();
  QPainter p(this);
  p.drawImage(0, 0, face_);
  if (pressed_) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    const int cx = (width() / 2) & 0xFF, cy = (height() / 2) & 0xFF;
    for (int n = 6; n >= 1; --n) {
      p.setBrush(Kolor(DiscColour(n)));
      p.drawEllipse(QRect(cx - n, cy - n, 2 * n, 2 * n));
    }
  }
  if (focusShown_) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Kolor(Skin::get().colours().dimmedText), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void TButon::Press() {
  if (!isEnabled()) return;
  QPointer<TButon> self(this);
  emit OnMouseDown(Qt::LeftButton);
  if (self) emit OnClick();  // a handler may have closed the window
}

void TButon::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Space && !e->isAutoRepeat() && isEnabled()) {
    Press();
    return;
  }
  QWidget::keyPressEvent(e);
}

void TButon::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  focusShown_ = e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason;
  update();
}

void TButon::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  focusShown_ = false;
  update();
}

void TButon::mousePressEvent(QMouseEvent* e) {
  QWidget::mousePressEvent(e);
  if (e->button() == Qt::LeftButton) {
    pressed_ = true;
    armed_ = true;
    repaint();
  }
  emit OnMouseDown(e->button());
}

void TButon::mouseReleaseEvent(QMouseEvent* e) {
  QWidget::mouseReleaseEvent(e);
  const bool click = armed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
  if (e->button() == Qt::LeftButton) armed_ = false;
  pressed_ = false;
  repaint();
  if (click) emit OnClick();
}

void TButon::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (prepared_) rebuildFace();
}

void TButon::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  if (prepared_) rebuildFace();  // the tint offset depends on the top
}
