#include "conversation/view/TPodreczne.h"

#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/Tint.h"

namespace {

constexpr int kItemHeight = 19, kTextLeft = 20, kGap = 24, kRightMargin = 12;

// The sizes the drawing below needs; everything else as the desktop's style
// has it.
class PodreczneStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    if (metric == PM_MenuPanelWidth) return 1;
    if (metric == PM_MenuHMargin || metric == PM_MenuVMargin) return 0;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    if (type == CT_MenuItem)
      if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
        const QFontMetrics m(item->font);
        const QStringList parts = item->text.split(QLatin1Char('\t'));
        int width = kTextLeft + m.horizontalAdvance(parts.value(0)) + kRightMargin;
        if (parts.size() > 1) width += kGap + m.horizontalAdvance(parts.value(1));
        return {width, kItemHeight};
      }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
  }
};

}  // namespace

TPodreczne::TPodreczne(QWidget* parent) : QMenu(parent), style_(std::make_unique<PodreczneStyle>()) {
  setStyle(style_.get());
  setFont(SansSerifFont());
}

// Back to the application's style before the menu's own goes.
TPodreczne::~TPodreczne() { setStyle(nullptr); }

void TPodreczne::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const ColourScheme& s = Skin::get().scheme();
  const DerivedColours& d = Skin::get().colours();
  p.fillRect(rect(), Kolor(s.tlo));
  p.setPen(Kolor(d.frameShade[2]));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  p.setFont(font());
  const int ascent = fontMetrics().ascent();
  for (QAction* a : actions()) {
    const QRect r = actionGeometry(a);
    const bool lit = a == activeAction() && a->isEnabled();
    p.fillRect(r, Kolor(lit ? d.frameShade[0] : s.tlo));
    p.setPen(Kolor(!a->isEnabled() ? d.frameShade[2] : lit ? s.tekst : d.dimmedText));
    const QStringList parts = a->text().split(QLatin1Char('\t'));
    const int base = r.top() + 2 + ascent;
    p.drawText(QPoint(r.left() + kTextLeft, base), parts.value(0));
    if (parts.size() > 1) {
      const int w = fontMetrics().horizontalAdvance(parts.value(1));
      p.drawText(QPoint(r.right() - kRightMargin - w, base), parts.value(1));
    }
  }
}
