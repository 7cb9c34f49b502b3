#include "ui/TPupa.h"

#include <QPaintEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include "platform/Cp1250.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/SkinRecolourable.h"
#include "ui/Tint.h"

namespace {

constexpr int kItemHeight = 19;       // a 16-pixel picture at top + 1, and room below it
constexpr int kSeparatorHeight = 8;   // three lines at the top, three at the bottom
constexpr int kTextLeft = 20;
constexpr int kTextTop = 2;
constexpr int kRightMargin = 12;

QString Caption(const QString& text) {
  QString c = text;
  c.remove(QLatin1Char('&'));
  return c;
}

// The sizes of the items as the drawing below needs them; everything else
// as the desktop's style has it.
class PupaStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    switch (metric) {
      case PM_MenuPanelWidth: return 1;
      case PM_MenuHMargin:
      case PM_MenuVMargin: return 0;
      default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    if (type == CT_MenuItem)
      if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
        if (item->menuItemType == QStyleOptionMenuItem::Separator) return {kTextLeft, kSeparatorHeight};
        const int text = QFontMetrics(item->font).horizontalAdvance(Caption(item->text));
        return {kTextLeft + text + kRightMargin, kItemHeight};
      }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
  }
};

QAction* Fixed(TPupa* menu, const char* name, const char* caption) {
  QAction* a = menu->addAction(QString::fromUtf8(caption));
  a->setObjectName(QString::fromLatin1(name));
  SetTag(a, 0);
  return a;
}

}  // namespace

TPupa::TPupa(QWidget* parent) : QMenu(parent), style_(std::make_unique<PupaStyle>()) {
  setObjectName(QStringLiteral("Pupa"));
  setStyle(style_.get());
  setFont(SansSerifFont());
  Przerwa = addSeparator();
  Przerwa->setObjectName(QStringLiteral("Przerwa"));
  SetTag(Przerwa, 0);
  ResetOkno = Fixed(this, "ResetOkno", "Resetuj okno");
  ZmienStatus = Fixed(this, "ZmienStatus", "Zmień status...");
  Zakoncz = Fixed(this, "Zakoncz", "Zakończ");
}

// Back to the application's style before the menu's own goes.
TPupa::~TPupa() { setStyle(nullptr); }

void TPupa::SetChats(const std::vector<Tray::ChatItem>& chats) {
  while (!actions().isEmpty() && Tag(actions().first()) > 0) {
    QAction* first = actions().first();
    removeAction(first);
    delete first;
  }
  // Each new item goes to the top: the newest chat stands first.
  for (size_t i = 0; i < chats.size(); ++i) {
    const Tray::ChatItem& chat = chats[i];
    auto* a = new QAction(cp1250::toQString(chat.caption), this);
    const int index = static_cast<int>(i);
    SetTag(a, index + 1);
    a->setData(chat.picture);
    QFont f = font();
    f.setBold(chat.bold);
    a->setFont(f);
    connect(a, &QAction::triggered, this, [this, index] { emit ChatChosen(index); });
    insertAction(actions().first(), a);
  }
}

void TPupa::SetOwnStatus(uint8_t statusIndex) {
  ownStatus_ = statusIndex;
  update();
}

int TPupa::Picture(const QAction* item) const {
  if (item == ZmienStatus) return ownStatus_;
  if (Tag(item) > 0) return item->data().toInt();
  return -1;
}

void TPupa::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  const DerivedColours& d = Skin::get().colours();
  p.fillRect(rect(), Kolor(Skin::get().scheme().tlo));
  p.setPen(Kolor(d.frameShade[2]));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
  for (QAction* a : actions()) {
    const QRect r = actionGeometry(a);
    if (r.isValid() && event->rect().intersects(r)) DrawItem(p, a, r, a == activeAction());
  }
}

void TPupa::DrawItem(QPainter& p, const QAction* item, const QRect& r, bool highlighted) const {
  const ColourScheme& s = Skin::get().scheme();
  const DerivedColours& d = Skin::get().colours();
  if (item->isSeparator()) {
    p.fillRect(r, Kolor(kButtonFace));
    for (int i = 0; i < 3; ++i) {
      p.fillRect(r.left(), r.top() + i, r.width(), 1, Kolor(d.frameShade[i]));
      p.fillRect(r.left(), r.bottom() - i, r.width(), 1, Kolor(d.frameShade[i]));
    }
    return;
  }
  const uint32_t fill = highlighted ? d.frameShade[0] : s.tlo;
  p.fillRect(r, Kolor(fill));
  const int picture = Picture(item);
  const TImageList& il = Skin::get().IL();
  if (picture >= 0 && picture < il.count()) {
    // Tinted toward the item's fill, as the list's icons are toward theirs.
    QImage face(il.size(), QImage::Format_RGB32);
    face.fill(Qt::black);
    {
      QPainter fp(&face);
      il.Draw(fp, 0, 0, picture);
    }
    TintBitmap(face, fill, 0.0f);
    p.drawImage(r.left() + 1, r.top() + 1, face);
  }
  const QFont f = item->font().resolve(font());
  p.setFont(f);
  p.setPen(Kolor(highlighted ? s.tekst : d.dimmedText));
  p.drawText(QPoint(r.left() + kTextLeft, r.top() + kTextTop + QFontMetrics(f).ascent()), Caption(item->text()));
}
