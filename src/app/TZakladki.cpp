#include "app/TZakladki.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/Tint.h"

namespace {

constexpr int kTabGap = 2;
constexpr int kTabPadding = 12;

}  // namespace

TZakladki::TZakladki(QWidget* parent) : QWidget(parent) {}

int TZakladki::AddPage(QWidget* page, const QString& caption) {
  page->setParent(this);
  page->setGeometry(0, kTabHeight + 2, width(), height() - kTabHeight - 2);
  page->hide();
  pages_.push_back({page, caption});
  update();
  return Count() - 1;
}

QRect TZakladki::TabRect(int index) const {
  static const QFontMetrics metrics(SmallFont());
  int x = 0;
  for (int i = 0; i < index; ++i) x += metrics.horizontalAdvance(pages_[i].caption) + kTabPadding + kTabGap;
  return QRect(x, 0, metrics.horizontalAdvance(pages_[index].caption) + kTabPadding, kTabHeight);
}

void TZakladki::SetActivePage(int index) {
  if (index < 0 || index >= Count()) return;
  for (int i = 0; i < Count(); ++i)
    if (i != index) pages_[i].page->hide();
  active_ = index;
  pages_[index].page->show();
  update();
  emit PageShown(index);
}

// Each tab is a button: raised, or pressed in while its page is shown.
void TZakladki::paintEvent(QPaintEvent*) {
  const DerivedColours& d = Skin::get().colours();
  QPainter p(this);
  for (int i = 0; i < Count(); ++i) {
    const QRect r = TabRect(i);
    const bool shown = i == active_;
    if (shown) p.fillRect(r.adjusted(2, 2, -2, -2), Kolor(d.frameShade[0]));
    const QColor light = Kolor(shown ? d.frameShade[0] : d.frameShade[2]);
    const QColor dark = Kolor(shown ? d.frameShade[2] : d.frameShade[0]);
    for (int a = 0; a < 2; ++a) {
      const QRect ring = r.adjusted(a, a, -a, -a);
      p.fillRect(ring.left(), ring.top(), ring.width(), 1, light);
      p.fillRect(ring.left(), ring.top(), 1, ring.height(), light);
      p.fillRect(ring.left(), ring.bottom(), ring.width(), 1, dark);
      p.fillRect(ring.right(), ring.top(), 1, ring.height(), dark);
    }
    if (drawTab_) drawTab_(p, i, r, shown);
  }
}

void TZakladki::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton)
    for (int i = 0; i < Count(); ++i)
      if (TabRect(i).contains(e->position().toPoint())) {
        if (i != active_) SetActivePage(i);
        return;
      }
  QWidget::mousePressEvent(e);
}

void TZakladki::resizeEvent(QResizeEvent*) {
  for (const Entry& e : pages_) e.page->setGeometry(0, kTabHeight + 2, width(), height() - kTabHeight - 2);
}
