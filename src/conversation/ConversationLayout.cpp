#include "conversation/ConversationLayout.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "conversation/MessageText.h"

namespace {

constexpr int32_t kDaysTo1970 = 25569;  // 1899-12-30 to 1970-01-01
constexpr int64_t kSecondsPerDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Halves go to the even neighbour, as the original arithmetic did.
int64_t RoundEven(double v) { return static_cast<int64_t>(std::nearbyint(v)); }

int16_t Clamp16(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

}  // namespace

int32_t DayNumber(int year, int month, int day) {
  using namespace std::chrono;
  const sys_days d = year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                    std::chrono::day{static_cast<unsigned>(day)}};
  return static_cast<int32_t>(d.time_since_epoch().count()) + kDaysTo1970;
}

void DateOfDay(int32_t dayNumber, int& year, int& month, int& day) {
  using namespace std::chrono;
  const year_month_day ymd{sys_days{days{dayNumber - kDaysTo1970}}};
  year = static_cast<int>(ymd.year());
  month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  day = static_cast<int>(static_cast<unsigned>(ymd.day()));
}

std::string TimeLabelFor(uint32_t time, uint8_t kind, int16_t timeBias, int32_t today) {
  int64_t seconds = time;
  // The bias is UTC minus local time: a received timestamp (UTC) is moved to
  // the local clock; own messages were stamped with the local clock already.
  if (kind == Received) seconds -= static_cast<int64_t>(timeBias) * 60;
  const int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const int64_t inDay = seconds - days * kSecondsPerDay;
  const int32_t dayNumber = static_cast<int32_t>(days + kDaysTo1970);

  char buf[64];
  std::snprintf(buf, sizeof buf, "%d:%02d", static_cast<int>(inDay / 3600), static_cast<int>(inDay % 3600 / 60));
  std::string label = buf;
  if (dayNumber != today) {
    int y = 0, m = 0, d = 0;
    DateOfDay(dayNumber, y, m, d);
    std::snprintf(buf, sizeof buf, ", %d.%02d.%04d", d, m, y);
    label += buf;
  }
  if (kind == Queued) label = "(oczekuje) " + label;
  else if (kind == NotDelivered) label = "(nie dostarczono) " + label;
  return label;
}

ConversationLayout::ConversationLayout(LayoutMeasure& measure, int16_t timeBias, std::function<int32_t()> today)
    : measure_(measure), timeBias_(timeBias), today_(std::move(today)) {}

void ConversationLayout::SetTextAreaWidth(int width) {
  if (width == textAreaWidth_) return;
  textAreaWidth_ = width;
  for (std::size_t i = 0; i < messages_.size(); ++i) LayoutMessage(i);
}

void ConversationLayout::ClearMessages() {
  messages_.clear();
  ends_.clear();
  scrollOffset_ = 0;
  scrollBarVisible_ = false;
  dragging_ = false;
}

void ConversationLayout::AddMessage(const std::string& text, uint32_t time, uint8_t kind) {
  // The whole history goes at once rather than trimming the oldest entries.
  if (messages_.size() > kMaxMessages) ClearMessages();
  Wiersz w;
  w.Text = text;
  w.Time = time;
  w.Kind = kind;
  messages_.push_back(std::move(w));
  ends_.push_back(ends_.empty() ? 0 : ends_.back());
  LayoutMessage(messages_.size() - 1);
}

void ConversationLayout::LayoutMessage(std::size_t index) {
  if (index >= messages_.size()) return;
  Wiersz& w = messages_[index];
  w.Lines.clear();
  w.TimeLabel = TimeLabelFor(w.Time, w.Kind, timeBias_, today_ ? today_() : 0);

  // The first line leaves room for the time label in the box's top right
  // corner. A view too narrow for any text gets width 0, where every piece
  // sits alone on its own line.
  const int labelWidth = measure_.LabelWidth(w.TimeLabel);
  const int firstWidth = std::max(0, textAreaWidth_ - labelWidth - 5);
  const int laterWidth = std::max(0, textAreaWidth_ - 5);

  std::string work = w.Text + "\r\n";
  BuildInlineObjects(work, w);
  BreakLines(work, w, firstWidth, laterWidth);
  RecomputeEnds(index);
}

std::string ConversationLayout::Caption(const std::string& address) {
  if (measure_.TextWidth(address) < kCaptionLimit) return address;
  // The longest prefix that, with "...", stays under the limit. Widths grow
  // with the prefix, so the search may halve.
  std::size_t lo = 0, hi = address.size();
  while (lo < hi) {
    const std::size_t mid = (lo + hi + 1) / 2;
    if (measure_.TextWidth(address.substr(0, mid) + "...") < kCaptionLimit) lo = mid;
    else hi = mid - 1;
  }
  return address.substr(0, lo) + "...";
}

void ConversationLayout::BuildInlineObjects(std::string& text, Wiersz& w) {
  // A sender's own 0x01 bytes would be taken for placeholders and shift every
  // object after them.
  std::erase(text, kPlaceholder);
  ReplaceShorthands(text);
  w.Objects.clear();
  w.Links.clear();

  std::size_t p = 0;
  while (p < text.size()) {
    if (text[p] == '<') {
      std::size_t close = 0;
      std::string name;
      int width = 0, height = 0;
      if (FindPictureTag(text, p, close, name) && measure_.PictureSize(name, width, height)) {
        text.replace(p, close + 1 - p, 1, kPlaceholder);
        InlineObject o;
        o.Name = name;
        o.Width = Clamp16(width);
        o.Height = Clamp16(height + 1);
        w.Objects.push_back(std::move(o));
      }
      // A tag naming no picture stays as typed.
      ++p;
      continue;
    }
    AddressBounds b;
    if (!FindAddress(text, p, b)) {
      ++p;
      continue;
    }
    if (!b.foundByWww && !IsLinkScheme(text.substr(b.start, p - b.start))) {
      // As in the archive: javascript://, file:// and the like stay text, so a
      // stranger's message cannot have the desktop open them.
      p = b.end;
      continue;
    }
    const std::string address = text.substr(b.start, b.end - b.start);
    Odnosnik link;
    link.Url = (b.foundByWww ? "http://" : "") + address;
    link.Caption = Caption(address);
    InlineObject o;
    o.Name = '|';
    o.Name += std::to_string(w.Links.size());
    o.Width = Clamp16(measure_.TextWidth(link.Caption));
    o.Height = Clamp16(measure_.TextHeight(link.Caption));
    w.Links.push_back(std::move(link));
    w.Objects.push_back(std::move(o));
    text.replace(b.start, b.end - b.start, 1, kPlaceholder);
    p = b.start + 1;
  }
}

void ConversationLayout::BreakLines(const std::string& text, Wiersz& w, int firstWidth, int laterWidth) {
  int height = 8;  // 4 pixels of margin above and below the text
  int avail = firstWidth;
  std::size_t object = 0;
  std::size_t pos = 0;
  for (std::size_t crlf; (crlf = text.find("\r\n", pos)) != std::string::npos; pos = crlf + 2) {
    std::string para = text.substr(pos, crlf - pos);
    // An empty paragraph still takes a line: the blank line the sender typed.
    bool firstOfPara = true;
    while (firstOfPara || !para.empty()) {
      firstOfPara = false;
      std::string line;
      int x = 0;
      int lineHeight = kMinLineHeight;
      bool placed = false;
      while (!para.empty()) {
        const std::size_t s = para.find(' ');
        const std::size_t o = para.find(kPlaceholder);
        std::string piece, sep;
        bool isObject = false;
        if (o != std::string::npos && (s == std::string::npos || o < s)) {
          if (o == 0) {
            isObject = object < w.Objects.size();
            piece = para.substr(0, 1);
            if (para.size() > 1 && para[1] == ' ') sep.assign(1, ' ');
          } else {
            piece = para.substr(0, o);
          }
        } else if (s != std::string::npos) {
          if (s == 0) piece.assign(1, ' ');
          else {
            piece = para.substr(0, s);
            sep.assign(1, ' ');
          }
        } else {
          piece = para;
        }

        bool hyphen = false;
        int width = 0;
        if (isObject) {
          width = w.Objects[object].Width;
        } else {
          width = measure_.TextWidth(piece);
          if (width > avail && piece.size() > 1) {
            // A word wider than a whole line is cut to fill what is left of
            // this one, with a hyphen; the rest goes on in the paragraph. The
            // longest such head is wanted (one byte when none fits); widths
            // grow with the head, so the search may halve.
            std::size_t lo = 1, hi = piece.size() - 1;
            while (lo < hi) {
              const std::size_t mid = (lo + hi + 1) / 2;
              if (x + measure_.TextWidth(piece.substr(0, mid) + kSoftHyphen) <= avail) lo = mid;
              else hi = mid - 1;
            }
            piece.resize(lo);
            width = measure_.TextWidth(piece + kSoftHyphen);
            sep.clear();
            hyphen = true;
          }
        }

        // A piece that cannot fit even on an empty line is placed alone, so
        // that a very narrow view still ends its layout.
        if (x + width > avail && placed) break;

        if (isObject) {
          InlineObject& obj = w.Objects[object];
          obj.X = Clamp16(x);
          obj.Y = height - 4;
          lineHeight = std::max<int>(lineHeight, obj.Height);
          x += width + (sep.empty() ? 0 : measure_.TextWidth(sep));
          ++object;
        } else {
          x += measure_.TextWidth(piece + sep + (hyphen ? std::string(1, kSoftHyphen) : std::string()));
        }
        line += piece;
        line += sep;
        if (hyphen) line += kSoftHyphen;
        para.erase(0, piece.size() + sep.size());
        placed = true;
      }
      w.Lines.push_back(std::move(line));
      height += lineHeight;
      avail = laterWidth;
    }
  }
  w.Height = static_cast<uint16_t>(std::min(height, 0xFFFF));
}

void ConversationLayout::RecomputeEnds(std::size_t from) {
  int64_t end = from == 0 ? 0 : ends_[from - 1];
  for (std::size_t i = from; i < messages_.size(); ++i) {
    end += messages_[i].Height;
    ends_[i] = end;
  }
}

PaintPlan ConversationLayout::Plan(int height) {
  PaintPlan plan;
  scrollBarVisible_ = false;
  const int64_t excess = TotalHeight() - height;
  if (excess <= 0) scrollOffset_ = 0;
  else if (scrollOffset_ > excess) scrollOffset_ = excess;
  // Short content sits on the bottom edge; scrolled content shows its last
  // box scrollOffset_ pixels below the bottom.
  plan.firstTop = scrollOffset_ - excess;
  if (excess > 0) {
    plan.scrollBar = true;
    plan.thumbY = static_cast<int>(
        RoundEven((1.0 - static_cast<double>(scrollOffset_) / static_cast<double>(excess)) * (height - 8) + 4));
    scrollBarVisible_ = true;
  } else {
    dragging_ = false;
  }
  // The first box whose bottom row (end - 1) is at or below the top edge.
  const auto firstVisible = std::lower_bound(ends_.begin(), ends_.end(), 1 - plan.firstTop);
  plan.first = static_cast<std::size_t>(firstVisible - ends_.begin());
  plan.last = plan.first;
  while (plan.last < messages_.size() && plan.TopOf(ends_, plan.last) <= height) ++plan.last;
  return plan;
}

void ConversationLayout::ScrollTo(int y, int height) {
  // The top of the track shows the oldest content, the bottom the newest.
  const int track = height - 8;
  y = std::clamp(y, 4, std::max(4, height - 4));
  const double along = track > 0 ? static_cast<double>(y - 4) / track : 0.0;
  scrollOffset_ = std::max<int64_t>(0, RoundEven((1.0 - along) * static_cast<double>(TotalHeight() - height)));
}

bool ConversationLayout::PressScrollStrip(int x, int y, int height) {
  if (!scrollBarVisible_ || x <= textAreaWidth_) return false;
  dragging_ = true;
  ScrollTo(y, height);
  return true;
}

bool ConversationLayout::DragTo(int y, int height) {
  if (!scrollBarVisible_ || !dragging_) return false;
  ScrollTo(y, height);
  return true;
}

const Odnosnik* ConversationLayout::LinkAt(int x, int y, int height) const {
  if (messages_.empty()) return nullptr;
  const int64_t firstTop = scrollOffset_ - TotalHeight() + height;
  // The box whose rows strictly surround y: top < y < top + Height.
  const auto it = std::upper_bound(ends_.begin(), ends_.end(), y - firstTop);
  if (it == ends_.end()) return nullptr;
  const std::size_t i = static_cast<std::size_t>(it - ends_.begin());
  const Wiersz& w = messages_[i];
  const int64_t top = firstTop + (i == 0 ? 0 : ends_[i - 1]);
  if (!(top < y && y < top + w.Height)) return nullptr;
  for (const InlineObject& o : w.Objects) {
    if (o.Name.empty() || o.Name[0] != '|') continue;
    const int64_t oy = top + o.Y;
    if (!(oy < y && y < oy + o.Height)) continue;
    if (!(o.X + 2 < x && x < o.X + 2 + o.Width)) continue;
    const std::size_t link = std::strtoul(o.Name.c_str() + 1, nullptr, 10);
    if (link < w.Links.size()) return &w.Links[link];
  }
  return nullptr;
}
