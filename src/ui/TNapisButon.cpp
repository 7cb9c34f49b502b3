#include "ui/TNapisButon.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <cstdlib>

#include "platform/Cp1250.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/TSkinnedForm.h"
#include "ui/Tint.h"

TNapisButon::TNapisButon(QWidget* parent) : QWidget(parent) {
  resize(81, 25);
  setFocusPolicy(Qt::TabFocus);  // a click does not take the focus from an edit box
}

void TNapisButon::SetNapis(const std::string& napis) {
  napis_ = napis;
  shown_ = cp1250::toQString(napis_);
  update();
}

void TNapisButon::paintEvent(QPaintEvent*) {
  const ColourScheme& s = Skin::get().scheme();
  const DerivedColours& d = Skin::get().colours();
  // By distance from the middle ring: the background, then the shades 25 %,
  // 50 % and 75 % of the way toward the button face.
  const uint32_t byDistance[4] = {d.frameShade[2], d.frameShade[1], d.frameShade[0], s.tlo};
  QPainter p(this);
  const int rings = pressed_ ? 6 : 7;
  for (int i = 0; i < rings; ++i) {
    const QRect r(i, i, width() - 2 * i, height() - 2 * i);
    if (r.isEmpty()) break;
    p.fillRect(r, Kolor(byDistance[std::abs(i - 3)]));
  }
  if (focusShown_) {
    QPen dots(Kolor(d.dimmedText), 1, Qt::DotLine);
    p.setPen(dots);
    p.drawRect(QRect(4, 4, width() - 9, height() - 9));
  }
  if (shown_.isEmpty()) return;
  static const QFont font = SmallFont();
  static const QFontMetrics metrics(font);
  p.setFont(font);
  p.setPen(Kolor(isEnabled() ? d.dimmedText : d.frameShade[1]));
  const int x = (width() - metrics.horizontalAdvance(shown_)) / 2;
  const int y = (height() - metrics.height()) / 2;
  p.drawText(x, y + metrics.ascent(), shown_);
}

void TNapisButon::mousePressEvent(QMouseEvent* e) {
  QWidget::mousePressEvent(e);
  if (e->button() == Qt::LeftButton) {
    pressed_ = true;
    armed_ = true;
    repaint();
  }
}

void TNapisButon::mouseReleaseEvent(QMouseEvent* e) {
  QWidget::mouseReleaseEvent(e);
  const bool clicked = armed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
  if (e->button() == Qt::LeftButton) armed_ = false;
  pressed_ = false;
  repaint();
  if (clicked) Click();
}

void TNapisButon::Click() {
  QPointer<TNapisButon> self(this);
  emit OnClick();
  if (!self || modal_ == 0) return;  // the handler may have closed the window
  if (auto* form = qobject_cast<TSkinnedForm*>(window())) form->SetModalResult(modal_);
}

void TNapisButon::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Space && !e->isAutoRepeat() && isEnabled()) {
    Click();
    return;
  }
  QWidget::keyPressEvent(e);
}

void TNapisButon::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  focusShown_ = e->reason() == Qt::TabFocusReason || e->reason() == Qt::BacktabFocusReason;
  update();
}

void TNapisButon::focusOutEvent(QFocusEvent* e) {
  QWidget::focusOutEvent(e);
  focusShown_ = false;
  update();
}
