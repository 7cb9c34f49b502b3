#include "contacts/view/TLista.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <QPainter>

#include "contacts/view/TListaAccessible.h"
#include "platform/Cp1250.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/TImageList.h"
#include "ui/Tint.h"

namespace {

constexpr int kIconSize = 16;

QFont NameFont(bool bold) {
  QFont f = SansSerifFont();
  f.setBold(bold);
  return f;
}

// The selection colour: the frame shade halfway between the background and
// the button face.
uint32_t SelectionColour() { return Skin::get().colours().frameShade[1]; }

// Black is the icons' transparent colour, as it was of the bitmaps they were
// designed as; after the tint only pixels that were black on a black
// background are left black.
QPixmap WithBlackTransparent(QImage image) {
  image = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if ((line[x] & 0x00FFFFFF) == 0) line[x] = 0;
  }
  return QPixmap::fromImage(image);
}

// Writes text with its top-left corner at (x, top), as the layout places it.
void WriteAt(QPainter& p, int x, int top, const std::string& text) {
  p.drawText(QPoint(x, top + p.fontMetrics().ascent()), cp1250::toQString(text));
}

}  // namespace

TLista::TLista(ContactStore& store, QWidget* parent) : QWidget(parent), store_(store) {
  // Nothing of its own behind the rows: the window's background shows.
  setAutoFillBackground(false);
  setFocusPolicy(Qt::StrongFocus);
}

void TLista::SetOdGory(uint32_t odGory) {
  if (odGory == odGory_) return;
  odGory_ = odGory;
  layoutStale_ = true;
  update();
}

void TLista::SetIL(const TImageList* il) { il_ = il; }

void TLista::RebuildIcons() {
  if (!il_) return;
  normalIcons_.clear();
  selectedIcons_.clear();
  const uint32_t background = Skin::get().scheme().tlo;
  const uint32_t selection = SelectionColour();
  for (int i = 0; i < il_->count(); ++i) {
    QImage normal(kIconSize, kIconSize, QImage::Format_RGB32);
    normal.fill(Qt::black);
    {
      QPainter p(&normal);
      il_->Draw(p, 0, 0, i);
    }
    QImage selected = normal.copy();
    TintBitmap(normal, background, 0.0f);
    TintBitmap(selected, selection, 0.0f);
    normalIcons_.push_back(WithBlackTransparent(normal));
    selectedIcons_.push_back(WithBlackTransparent(selected));
  }
}

void TLista::Recolour() {
  RebuildIcons();
  update();
}

void TLista::Refresh() {
  layoutStale_ = true;
  update();
  Announce();
}

void TLista::Announce() { TListaAccessible::ListChanged(this); }

int TLista::DescriptionWidth(const std::string& text) {
  static const QFontMetrics metrics(SmallFont());
  return metrics.horizontalAdvance(cp1250::toQString(text));
}

const ContactListLayout& TLista::Layout() {
  if (layoutStale_ || layoutWidth_ != width() || layoutOffset_ != odGory_ ||
      layoutSelected_ != store_.Selected() || layoutCount_ != store_.Count()) {
    const int64_t previousEnd = layout_.contentEnd;
    layout_ = LayOutContactList(store_, width(), odGory_, &TLista::DescriptionWidth);
    // An emptied list keeps its offset, as its arrows keep their state; the
    // rows that come next bring it back into range.
    if (const uint32_t inRange = store_.Count() == 0 ? odGory_ : OffsetInRange(odGory_, height(), layout_.contentEnd);
        inRange != odGory_) {
      odGory_ = inRange;
      layout_ = LayOutContactList(store_, width(), odGory_, &TLista::DescriptionWidth);
    }
    if (store_.Count() == 0) layout_.contentEnd = previousEnd;
    layoutStale_ = false;
    layoutWidth_ = width();
    layoutOffset_ = odGory_;
    layoutSelected_ = store_.Selected();
    layoutCount_ = store_.Count();
  }
  return layout_;
}

int64_t TLista::ContentHeight() { return Layout().contentEnd; }

void TLista::paintEvent(QPaintEvent*) {
  if (store_.Count() == 0) return;
  const ContactListLayout& layout = Layout();
  const ColourScheme& scheme = Skin::get().scheme();
  const DerivedColours& colours = Skin::get().colours();
  const QColor selection = Kolor(SelectionColour());
  const int w = width(), h = height();
  {
    QPainter p(this);
    for (const ContactRow& row : layout.rows) {
      if (row.bottom < 0 || row.y >= h) continue;  // wholly outside the control
      const int y = static_cast<int>(row.y);
      if (row.selected) {
        p.fillRect(0, y, w, kRowHeight, selection);
        p.setPen(Kolor(scheme.tekst));
      } else {
        p.setPen(Kolor(colours.dimmedText));
      }
      p.setFont(NameFont(row.bold));
      WriteAt(p, kTextLeft, y + 2, row.name);
      if (il_ && row.icon < IconCount())
        p.drawPixmap(kIconLeft, y + 1, row.selected ? selectedIcons_[row.icon] : normalIcons_[row.icon]);
      if (!row.lines.empty()) {
        p.setFont(SmallFont());
        p.setPen(Kolor(scheme.opis));
        for (const DescriptionLine& line : row.lines) {
          if (line.y + kDescriptionLine <= 0 || line.y >= h) continue;
          const int ly = static_cast<int>(line.y);
          if (row.selected) p.fillRect(0, ly, w, kDescriptionLine, selection);
          WriteAt(p, kTextLeft, ly - 3, line.text);
        }
      }
    }
  }
  emit NaZmiane(this);
}

void TLista::selectAt(int y) {
  store_.SetSelected(PositionAt(Layout(), y));
  layoutStale_ = true;
  update();
  Announce();
}

// Any button selects; the press goes no further (the window would start a
// drag or show its own reaction).
void TLista::mousePressEvent(QMouseEvent* e) {
  selectAt(e->position().toPoint().y());
  e->accept();
}

// The second press of a double-click arrives here instead of as a press: it
// selects as a press does, then reports the row.
void TLista::mouseDoubleClickEvent(QMouseEvent* e) {
  selectAt(e->position().toPoint().y());
  e->accept();
  if (e->button() != Qt::LeftButton) return;
  const int p = store_.Selected();
  if (p >= 0) emit PodwojnyKlik(this, static_cast<uint16_t>(store_.RecordAt(p)));
}

void TLista::Select(int p) {
  if (store_.Count() == 0) return;
  store_.SetSelected(std::clamp(p, 0, store_.Count() - 1));
  layoutStale_ = true;
  for (const ContactRow& row : Layout().rows)
    if (row.selected) SetOdGory(OffsetShowing(odGory_, height(), row.y, row.bottom + 1));
  update();
  Announce();
}

void TLista::Open() {
  const int p = store_.Selected();
  if (p >= 0) emit PodwojnyKlik(this, static_cast<uint16_t>(store_.RecordAt(p)));
}

void TLista::keyPressEvent(QKeyEvent* e) {
  const int p = store_.Selected();
  switch (e->key()) {
    case Qt::Key_Up: Select(p < 0 ? store_.Count() - 1 : p - 1); break;
    case Qt::Key_Down: Select(p + 1); break;
    case Qt::Key_Home: Select(0); break;
    case Qt::Key_End: Select(store_.Count() - 1); break;
    case Qt::Key_PageUp: SetOdGory(ScrollPageUp(odGory_, height())); break;
    case Qt::Key_PageDown: SetOdGory(ScrollPageDown(odGory_, height(), ContentHeight())); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: Open(); break;
    default: QWidget::keyPressEvent(e); return;
  }
  e->accept();
}

// A screen reader hears the selected contact when the list takes the focus.
void TLista::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  TListaAccessible::FocusIn(this);
}

void TLista::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  layoutStale_ = true;
}
