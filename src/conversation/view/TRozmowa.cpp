#include "conversation/view/TRozmowa.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <unordered_map>

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

TRozmowa::TRozmowa(ShellOpen& shell, const QString& programDir, int16_t timeBias, QWidget* parent)
    : QWidget(parent),
      shell_(shell),
      programDir_(programDir),
      textFont_(SansSerifFont()),
      linkFont_(SansSerifFont()),
      labelFont_(SmallFont()),
      textMetrics_(textFont_),
      labelMetrics_(labelFont_),
      measure_(std::make_unique<Measure>(*this)),
      layout_(*measure_, timeBias, [this] { return today_(); }) {
  linkFont_.setUnderline(true);
  today_ = [day = LocalDay()]() mutable { return day.Today(); };
  layout_.SetTextAreaWidth(TextAreaWidth());
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
  layout_.AddMessage(text, time, kind);
  update();
}

void TRozmowa::LayoutMessage(std::size_t index) {
  SyncWidth();
  layout_.LayoutMessage(index);
  update();
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
    for (const std::string& line : w.Lines) {
      // A message as long as the largest packet has thousands of lines: those
      // well above the view only move the next line down, those well below
      // end the box (a line's glyphs may reach a little past its height).
      if (lineTop >= h + kMinLineHeight) break;
      int x = 2;
      int lineHeight = kMinLineHeight;
      if (lineTop < 0) {
        std::size_t next = object;
        for (std::size_t o = line.find(kPlaceholder); o != std::string::npos; o = line.find(kPlaceholder, o + 1))
          if (next < w.Objects.size()) lineHeight = std::max<int>(lineHeight, w.Objects[next++].Height);
        if (lineTop + lineHeight + kMinLineHeight <= 0) {
          lineTop += lineHeight;
          object = next;
          continue;
        }
        lineHeight = kMinLineHeight;
      }
      std::size_t pos = 0;
      while (pos <= line.size()) {
        const std::size_t o = line.find(kPlaceholder, pos);
        const std::size_t end = o == std::string::npos ? line.size() : o;
        if (end > pos) {
          const QString piece = Shown(line.substr(pos, end - pos));
          p.setFont(textFont_);
          p.setPen(textColour);
          p.drawText(x, lineTop + textAscent, piece);
          x += textMetrics_.horizontalAdvance(piece);
        }
        if (o == std::string::npos) break;
        pos = o + 1;
        if (object >= w.Objects.size()) continue;
        const InlineObject& obj = w.Objects[object++];
        if (obj.Kind == InlineKind::Link) {
          const std::size_t link = std::strtoul(obj.Name.c_str() + 1, nullptr, 10);
          if (link < w.Links.size()) {
            p.setFont(linkFont_);
            p.setPen(linkColour);
            p.drawText(x, lineTop + textAscent, Shown(w.Links[link].Caption));
          }
        } else if (lineTop >= -(obj.Height - 1) && lineTop < h) {
          const QImage& picture = LoadPicture(obj.Name, box);
          p.fillRect(QRect(x, lineTop, obj.Width, obj.Height - 1), Kolor(box));
          if (!picture.isNull()) p.drawImage(x, lineTop, picture);
        }
        x += obj.Width;
        lineHeight = std::max<int>(lineHeight, obj.Height);
      }
      lineTop += lineHeight;
    }

    p.setFont(labelFont_);
    p.setPen(Kolor(kind == NotDelivered ? scheme.komunikat : scheme.czas));
    const QString label = Shown(w.TimeLabel);
    p.drawText(taw - 2 - labelMetrics_.horizontalAdvance(label), top + 2 + labelMetrics_.ascent(), label);
  }
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
  if (const Odnosnik* link = layout_.LinkAt(at.x(), at.y(), height()))
    shell_.Open(cp1250::toQString(link->Url), QString());
}

void TRozmowa::mouseMoveEvent(QMouseEvent* event) {
  if (layout_.DragTo(event->position().toPoint().y(), height())) update();
}

void TRozmowa::mouseReleaseEvent(QMouseEvent* event) {
  layout_.Release();
  update();
  QWidget::mouseReleaseEvent(event);
}
