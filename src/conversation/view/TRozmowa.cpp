#include "conversation/view/TRozmowa.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QImageReader>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <unordered_map>

#include "conversation/view/TPodreczne.h"
#include "conversation/view/TRozmowaAccessible.h"
#include "platform/Cp1250.h"
#include "platform/desktop/ShellOpen.h"
#include "ui/Skin.h"
#include "ui/SkinFonts.h"
#include "ui/Tint.h"

namespace {

// The soft hyphen that ends the line of a broken word must show; Qt draws
// U+00AD only where it breaks a line itself, so it is drawn as a hyphen.
QString Shown(const std::string& text) {
  QString s = cp1250::toQString(text);
  s.replace(QChar(0x00AD), QLatin1Char('-'));
  return s;
}

// The local date for the time labels. Every layout asks for it, and the
// time-zone rules behind the local date cost a look at the zone file each
// time; so the day is worked out once, with the moments it starts and ends,
// and until one of them is passed only the clock is read.
class LocalDay {
 public:
  int32_t Today() {
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (now < from_ || now >= to_) {
      const QDate d = QDateTime::fromSecsSinceEpoch(now).date();
      from_ = QDateTime(d, QTime(0, 0)).toSecsSinceEpoch();
      to_ = QDateTime(d.addDays(1), QTime(0, 0)).toSecsSinceEpoch();
      day_ = DayNumber(d.year(), d.month(), d.day());
    }
    return day_;
  }

 private:
  qint64 from_ = 1, to_ = 0;
  int32_t day_ = 0;
};

constexpr uint32_t kTrack = 0x555555;
constexpr uint32_t kThumb = 0x0000DA, kThumbEdge = 0x000075;
constexpr uint32_t kThumbDragged = 0x00A8DA, kThumbDraggedEdge = 0x005475;

}  // namespace

class TRozmowa::Measure : public LayoutMeasure {
 public:
  explicit Measure(TRozmowa& view) : view_(view) {}
  // The words of a conversation repeat; shaping one costs more than looking
  // it up. Long texts (heads of cut words, whole paragraphs) are measured
  // each time, and the remembered widths are forgotten now and then so that
  // a flood of strangers' words cannot grow them without end.
  int TextWidth(const std::string& text) override { return Cached(words_, text, view_.textMetrics_); }
  int TextHeight(const std::string&) override { return view_.textMetrics_.height(); }
  int LabelWidth(const std::string& text) override { return Cached(labels_, text, view_.labelMetrics_); }
  // Only the header is read, once per name and view: measuring must not push
  // the picture being painted out of the one-entry cache, and a message full
  // of emoticons must not open their files again and again. A picture added
  // or removed while the window is open is seen by the next chat window.
  bool PictureSize(const std::string& name, int& width, int& height) override {
    auto it = sizes_.find(name);
    if (it == sizes_.end()) it = sizes_.emplace(name, QImageReader(view_.PicturePath(name)).size()).first;
    if (!it->second.isValid()) return false;
    width = it->second.width();
    height = it->second.height();
    return true;
  }

 private:
  static constexpr std::size_t kLongestKept = 64;
  static constexpr std::size_t kKept = 1 << 14;
  static int Cached(std::unordered_map<std::string, int>& cache, const std::string& text, const QFontMetrics& metrics) {
    if (text.size() > kLongestKept) return metrics.horizontalAdvance(Shown(text));
    if (const auto it = cache.find(text); it != cache.end()) return it->second;
    if (cache.size() >= kKept) cache.clear();
    const int width = metrics.horizontalAdvance(Shown(text));
    cache.emplace(text, width);
    return width;
  }

  TRozmowa& view_;
  std::map<std::string, QSize> sizes_;
  std::unordered_map<std::string, int> words_;
  std::unordered_map<std::string, int> labels_;
};

TRozmowa::TRozmowa(ShellOpen& shell, const QString& programDir, QWidget* parent)
    : QWidget(parent),
      shell_(shell),
      programDir_(programDir),
      textFont_(SansSerifFont()),
      linkFont_(SansSerifFont()),
      labelFont_(SmallFont()),
      textMetrics_(textFont_),
      labelMetrics_(labelFont_),
      measure_(std::make_unique<Measure>(*this)),
      layout_(*measure_, [this] { return today_(); }) {
  linkFont_.setUnderline(true);
  today_ = [day = LocalDay()]() mutable { return day.Today(); };
  layout_.SetTextAreaWidth(TextAreaWidth());
  setMouseTracking(true);  // the pointer's shape follows links and text
  autoScroll_.setInterval(30);
  connect(&autoScroll_, &QTimer::timeout, this, [this] { AutoScroll(); });
}

TRozmowa::~TRozmowa() = default;

QString TRozmowa::PicturePath(const std::string& name) const {
  return programDir_ + QStringLiteral("/ikony/") + cp1250::toQString(name) + QStringLiteral(".bmp");
}

void TRozmowa::SetToday(std::function<int32_t()> today) { today_ = std::move(today); }

// A hidden window gets its resize event only when shown; the layout follows
// the width whenever it is used.
void TRozmowa::SyncWidth() { layout_.SetTextAreaWidth(TextAreaWidth()); }

void TRozmowa::AddMessage(const std::string& text, uint32_t time, uint8_t kind) {
  SyncWidth();
  const bool had = layout_.HasSelection();
  const int64_t before = layout_.TotalHeight();
  const std::size_t count = layout_.Messages().size();
  layout_.AddMessage(text, time, kind);
  const bool emptied = layout_.Messages().size() <= count;
  if (emptied) {
    // The view was emptied first: nothing is selected any more.
    selecting_ = false;
    autoScroll_.stop();
    if (had) emit SelectionChanged();
  } else if (selecting_) {
    // While a selection is being drawn the text under the pointer stays
    // where it is; otherwise the view keeps its distance from the bottom.
    layout_.SetScrollOffset(layout_.ScrollOffset() + layout_.TotalHeight() - before);
  }
  update();
  TRozmowaAccessible::MessageAdded(this, emptied);
}

void TRozmowa::LayoutMessage(std::size_t index) {
  SyncWidth();
  layout_.LayoutMessage(index);
  update();
}

QRect TRozmowa::MessageRect(std::size_t message) const {
  const std::vector<int64_t>& ends = layout_.Ends();
  if (message >= ends.size()) return {};
  const int64_t excess = std::max<int64_t>(0, layout_.TotalHeight() - height());
  const int64_t top = std::min(layout_.ScrollOffset(), excess) - excess + (message == 0 ? 0 : ends[message - 1]);
  const int64_t bottom = std::clamp<int64_t>(top + layout_.Messages()[message].Height, -0x3FFFFFFF, 0x3FFFFFFF);
  const int64_t clampedTop = std::clamp<int64_t>(top, -0x3FFFFFFF, 0x3FFFFFFF);
  return QRect(QPoint(0, static_cast<int>(clampedTop)), QPoint(TextAreaWidth() - 1, static_cast<int>(bottom) - 1));
}

void TRozmowa::OpenLink(std::size_t message, std::size_t link) {
  const std::vector<Wiersz>& messages = layout_.Messages();
  if (message < messages.size() && link < messages[message].Links.size())
    shell_.Open(cp1250::toQString(messages[message].Links[link].Url), QString());
}

void TRozmowa::SetScrollOffset(int64_t offset) {
  layout_.SetScrollOffset(offset);
  update();
}

void TRozmowa::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  SyncWidth();
}

const QImage& TRozmowa::LoadPicture(const std::string& name, uint32_t colour) {
  const QString path = PicturePath(name);
  if (path == cachedName_ && colour == cachedColour_) return pictureCache_;
  // A picture removed since the layout leaves its place filled with the box
  // colour and nothing more.
  pictureCache_ = QImage(path).convertToFormat(QImage::Format_RGB32);
  if (colour != kNoTint) TintBitmap(pictureCache_, colour, 0);
  cachedName_ = path;
  cachedColour_ = colour;
  return pictureCache_;
}

void TRozmowa::paintEvent(QPaintEvent*) {
  SyncWidth();
  const int h = height();
  const PaintPlan plan = layout_.Plan(h);
  const std::vector<Wiersz>& messages = layout_.Messages();
  if (messages.empty()) return;  // the parent's background shows

  QPainter p(this);
  const int taw = TextAreaWidth();
  if (plan.scrollBar) {
    p.fillRect(QRect(taw + 4, 0, 4, h), Kolor(kTrack));
    const bool dragging = layout_.Dragging();
    p.setPen(Kolor(dragging ? kThumbDraggedEdge : kThumbEdge));
    p.setBrush(Kolor(dragging ? kThumbDragged : kThumb));
    p.drawEllipse(QRect(taw + 2, plan.thumbY - 4, 7, 7));
    p.setBrush(Qt::NoBrush);
  }

  const ColourScheme& scheme = Skin::get().scheme();
  const DerivedColours& colours = Skin::get().colours();
  const int textAscent = textMetrics_.ascent();
  const std::vector<int64_t>& ends = layout_.Ends();
  const bool anySelection = layout_.HasSelection();
  const QColor highlight = palette().color(QPalette::Highlight);
  const QColor highlightedText = palette().color(QPalette::HighlightedText);
  for (std::size_t i = plan.first; i < plan.last; ++i) {
    const Wiersz& w = messages[i];
    const int top = static_cast<int>(plan.TopOf(ends, i));
    const int bottom = top + w.Height - 1;
    const int kind = std::min<int>(w.Kind, NotDelivered);
    const uint32_t box = colours.messageShades[kind][3];

    p.fillRect(QRect(0, top, taw, w.Height), Kolor(box));
    // The outermost line is the shade nearest the window background.
    for (int j = 0; j < 3; ++j) {
      p.setPen(Kolor(colours.messageShades[kind][j]));
      p.drawLine(0, top + j, taw - 1, top + j);
      p.drawLine(0, bottom - j, taw - 1, bottom - j);
    }

    const QColor textColour = Kolor(kind == Received ? scheme.tekst : colours.dimmedText);
    const QColor linkColour = Kolor(scheme.tekst);
    int lineTop = top + 4;
    std::size_t object = 0;
    for (std::size_t l = 0; l < w.Lines.size(); ++l) {
      const std::string& line = w.Lines[l];
      // A message as long as the largest packet has thousands of lines: those
      // well above the view only move the next line down, those well below
      // end the box (a line's glyphs may reach a little past its height).
      if (lineTop >= h + kMinLineHeight) break;
      int x = 2;
      int lineHeight = kMinLineHeight;
      {
        std::size_t next = object;
        for (std::size_t o = line.find(kPlaceholder); o != std::string::npos; o = line.find(kPlaceholder, o + 1))
          if (next < w.Objects.size()) lineHeight = std::max<int>(lineHeight, w.Objects[next++].Height);
        if (lineTop < 0 && lineTop + lineHeight + kMinLineHeight <= 0) {
          lineTop += lineHeight;
          object = next;
          continue;
        }
      }
      // The characters [selFrom, selTo) of the line are selected: drawn on
      // the desktop's selection colour, as the entry field draws its own.
      const auto [selFrom, selTo] = anySelection ? layout_.SelectedInLine(i, l) : std::pair<std::size_t, std::size_t>{};
      std::size_t pos = 0;
      while (pos <= line.size()) {
        const std::size_t o = line.find(kPlaceholder, pos);
        const std::size_t end = o == std::string::npos ? line.size() : o;
        if (end > pos) {
          const QString piece = Shown(line.substr(pos, end - pos));
          p.setFont(textFont_);
          p.setPen(textColour);
          p.drawText(x, lineTop + textAscent, piece);
          const std::size_t a = std::max(selFrom, pos), b = std::min(selTo, end);
          if (a < b) {
            // The same glyphs in the same places, over the selection colour.
            // Measured by bytes, not by the piece's characters: a wide mark
            // is several bytes of one character.
            const int xa = x + textMetrics_.horizontalAdvance(Shown(line.substr(pos, a - pos)));
            const int xb = x + textMetrics_.horizontalAdvance(Shown(line.substr(pos, b - pos)));
            const QRect r(xa, lineTop, xb - xa, lineHeight);
            p.fillRect(r, highlight);
            p.save();
            p.setClipRect(r);
            p.setPen(highlightedText);
            p.drawText(x, lineTop + textAscent, piece);
            p.restore();
          }
          x += textMetrics_.horizontalAdvance(piece);
        }
        if (o == std::string::npos) break;
        pos = o + 1;
        if (object >= w.Objects.size()) continue;
        const InlineObject& obj = w.Objects[object++];
        const bool selected = selFrom <= o && o < selTo;
        if (obj.Kind == InlineKind::Link) {
          const std::size_t link = std::strtoul(obj.Name.c_str() + 1, nullptr, 10);
          if (link < w.Links.size()) {
            if (selected) p.fillRect(QRect(x, lineTop, obj.Width, lineHeight), highlight);
            p.setFont(linkFont_);
            p.setPen(selected ? highlightedText : linkColour);
            p.drawText(x, lineTop + textAscent, Shown(w.Links[link].Caption));
          }
        } else if (lineTop >= -(obj.Height - 1) && lineTop < h) {
          const QImage& picture = LoadPicture(obj.Name, box);
          p.fillRect(QRect(x, lineTop, obj.Width, obj.Height - 1), Kolor(box));
          if (!picture.isNull()) p.drawImage(x, lineTop, picture);
          if (selected) {
            QColor veil = highlight;
            veil.setAlpha(128);
            p.fillRect(QRect(x, lineTop, obj.Width, lineHeight), veil);
          }
        }
        x += obj.Width;
      }
      lineTop += lineHeight;
    }

    p.setFont(labelFont_);
    const QString label = Shown(w.TimeLabel);
    const int labelX = taw - 2 - labelMetrics_.horizontalAdvance(label);
    const bool labelSelected = anySelection && layout_.LabelSelected(i);
    if (labelSelected)
      p.fillRect(QRect(labelX, top + 2, labelMetrics_.horizontalAdvance(label), labelMetrics_.height()), highlight);
    p.setPen(labelSelected ? highlightedText : Kolor(kind == NotDelivered ? scheme.komunikat : scheme.czas));
    p.drawText(labelX, top + 2 + labelMetrics_.ascent(), label);
  }
}

void TRozmowa::Select(TextPosition anchor, TextPosition focus) {
  const auto before = layout_.Selection();
  layout_.Select(anchor, focus);
  if (layout_.Selection() != before) {
    update();
    emit SelectionChanged();
  }
}

void TRozmowa::ClearSelection() {
  if (!layout_.HasSelection()) {
    layout_.ClearSelection();
    return;
  }
  layout_.ClearSelection();
  update();
  emit SelectionChanged();
}

void TRozmowa::SelectAll() {
  SyncWidth();
  if (layout_.Messages().empty()) return;
  const std::size_t last = layout_.Messages().size() - 1;
  Select({0, 0}, {last, layout_.TextLength(last)});
  OfferPrimary();
}

QString TRozmowa::SelectedText() const { return cp1250::toQString(layout_.SelectedText()); }

bool TRozmowa::CopySelection() {
  if (!layout_.HasSelection()) return false;
  QGuiApplication::clipboard()->setText(SelectedText());
  return true;
}

// On X11 and Wayland what is selected can be pasted with the middle button.
void TRozmowa::OfferPrimary() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (layout_.HasSelection() && clipboard->supportsSelection())
    clipboard->setText(SelectedText(), QClipboard::Selection);
}

void TRozmowa::ScrollBy(int64_t pixels) {
  SyncWidth();
  const int64_t before = layout_.ScrollOffset();
  layout_.ScrollBy(pixels, height());
  if (layout_.ScrollOffset() != before) update();
}

void TRozmowa::PageUp() { ScrollBy(std::max(kMinLineHeight, height() - kMinLineHeight)); }
void TRozmowa::PageDown() { ScrollBy(-std::max(kMinLineHeight, height() - kMinLineHeight)); }
void TRozmowa::ScrollToOldest() { ScrollBy(layout_.TotalHeight()); }
void TRozmowa::ScrollToNewest() { ScrollBy(-layout_.TotalHeight()); }

void TRozmowa::UpdateCursor(QPoint pos) {
  Qt::CursorShape shape = Qt::ArrowCursor;
  if (layout_.ScrollBarVisible() && pos.x() > TextAreaWidth()) shape = Qt::ArrowCursor;
  else if (layout_.LinkAt(pos.x(), pos.y(), height())) shape = Qt::PointingHandCursor;
  else if (layout_.InBox(pos.x(), pos.y(), height())) shape = Qt::IBeamCursor;
  if (cursor().shape() != shape) setCursor(shape);
}

void TRozmowa::ExtendTo(QPoint pos) {
  Select(layout_.Anchor(), layout_.PositionAt(pos.x(), pos.y(), height()));
}

// A drag above or below the view scrolls it, the faster the farther out the
// pointer is, and the selection follows.
void TRozmowa::AutoScroll() {
  if (!selecting_) {
    autoScroll_.stop();
    return;
  }
  const int y = pointer_.y();
  const int out = y < 0 ? -y : y >= height() ? y - height() + 1 : 0;
  if (out == 0) {
    autoScroll_.stop();
    return;
  }
  const int step = std::clamp(out / 2 + 2, 2, 60);
  ScrollBy(y < 0 ? step : -step);
  ExtendTo(pointer_);
}

void TRozmowa::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  SyncWidth();
  const QPoint at = event->position().toPoint();
  if (layout_.PressScrollStrip(at.x(), at.y(), height())) {
    update();
    return;
  }
  // A third click soon after a double click selects the whole message.
  if (doubleClick_.isValid() && doubleClick_.elapsed() < QApplication::doubleClickInterval() &&
      (at - doubleClickAt_).manhattanLength() <= QApplication::startDragDistance()) {
    doubleClick_.invalidate();
    const TextPosition pos = layout_.PositionAt(at.x(), at.y(), height(), true);
    if (!layout_.Messages().empty()) {
      Select({pos.message, 0}, {pos.message, layout_.TextLength(pos.message)});
      OfferPrimary();
    }
    return;
  }
  selecting_ = true;
  moved_ = false;
  pressAt_ = pointer_ = at;
  const Odnosnik* link = layout_.LinkAt(at.x(), at.y(), height());
  pressUrl_ = link ? link->Url : std::string();
  const TextPosition pos = layout_.PositionAt(at.x(), at.y(), height());
  if ((event->modifiers() & Qt::ShiftModifier) && layout_.HasSelection()) {
    moved_ = true;  // Shift+click extends the selection, and opens nothing
    Select(layout_.Anchor(), pos);
  } else {
    Select(pos, pos);
  }
}

void TRozmowa::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (layout_.DragTo(at.y(), height())) {
    update();
    return;
  }
  if (!selecting_ || !(event->buttons() & Qt::LeftButton)) {
    UpdateCursor(at);
    return;
  }
  pointer_ = at;
  if (!moved_ && (at - pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
  moved_ = true;
  ExtendTo(at);
  if ((at.y() < 0 || at.y() >= height()) && !autoScroll_.isActive()) autoScroll_.start();
}

void TRozmowa::mouseReleaseEvent(QMouseEvent* event) {
  layout_.Release();
  update();
  if (event->button() == Qt::LeftButton && selecting_) {
    selecting_ = false;
    autoScroll_.stop();
    const QPoint at = event->position().toPoint();
    // A click that selected nothing opens the link it was on.
    if (!moved_ && !pressUrl_.empty() && !layout_.HasSelection()) {
      const Odnosnik* link = layout_.LinkAt(at.x(), at.y(), height());
      if (link && link->Url == pressUrl_) shell_.Open(cp1250::toQString(link->Url), QString());
    }
    OfferPrimary();
  }
  QWidget::mouseReleaseEvent(event);
}

void TRozmowa::mouseDoubleClickEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() != Qt::LeftButton || (layout_.ScrollBarVisible() && at.x() > TextAreaWidth())) {
    QWidget::mouseDoubleClickEvent(event);  // a press, as on the scroll strip
    return;
  }
  SyncWidth();
  if (!layout_.InBox(at.x(), at.y(), height())) return;
  const auto [from, to] = layout_.WordAt(layout_.PositionAt(at.x(), at.y(), height(), true));
  selecting_ = false;
  Select(from, to);
  OfferPrimary();
  doubleClick_.start();
  doubleClickAt_ = at;
}

void TRozmowa::wheelEvent(QWheelEvent* event) {
  SyncWidth();
  if (layout_.TotalHeight() <= height()) {
    event->ignore();
    return;
  }
  int64_t pixels = 0;
  if (!event->pixelDelta().isNull()) {
    // A touchpad says how far the content should move.
    pixels = event->pixelDelta().y();
    wheelRest_ = 0;
  } else {
    // A notch (120) moves the desktop's lines per notch, a line being the
    // height of a line of text; a finer wheel moves a part of that.
    wheelRest_ += event->angleDelta().y() / 120.0 * QApplication::wheelScrollLines() * kMinLineHeight;
    pixels = static_cast<int64_t>(wheelRest_);
    wheelRest_ -= static_cast<double>(pixels);
  }
  ScrollBy(pixels);
  if (selecting_ && moved_) ExtendTo(pointer_);
  event->accept();
}

void TRozmowa::ShowContextMenu(const QPoint& globalPos) {
  if (!menu_) {
    menu_ = new TPodreczne(this);
    menu_->setObjectName(QStringLiteral("MenuRozmowy"));
    Kopiuj = menu_->addAction(QStringLiteral("Kopiuj\tCtrl+C"));
    Kopiuj->setObjectName(QStringLiteral("Kopiuj"));
    connect(Kopiuj, &QAction::triggered, this, [this] { CopySelection(); });
    ZaznaczWszystko = menu_->addAction(QStringLiteral("Zaznacz wszystko"));
    ZaznaczWszystko->setObjectName(QStringLiteral("ZaznaczWszystko"));
    connect(ZaznaczWszystko, &QAction::triggered, this, [this] { SelectAll(); });
  }
  Kopiuj->setEnabled(layout_.HasSelection());
  ZaznaczWszystko->setEnabled(!layout_.Messages().empty());
  menu_->popup(globalPos);
}

void TRozmowa::contextMenuEvent(QContextMenuEvent* event) {
  ShowContextMenu(event->globalPos());
  event->accept();
}
