#include "conversation/ConversationLayout.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "conversation/Emoticons.h"
#include "conversation/MessageText.h"
#include "platform/Cp1250.h"
#include "platform/TimeZone.h"

namespace {

constexpr int32_t kDaysTo1970 = 25569;  // 1899-12-30 to 1970-01-01
constexpr int64_t kSecondsPerDay = 86400;

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Halves go to the even neighbour, as the original arithmetic did.
// The bytes of the character at text[at]: a wide mark is one character.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  const std::size_t n = cp1250::wideMarkLength(text, at);
  return n ? n : 1;
}

int64_t RoundEven(double v) { return static_cast<int64_t>(std::nearbyint(v)); }

int16_t Clamp16(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767)); }
int32_t Clamp32(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// A picture as the emoticon table writes it (":)" for "usmiech"); one the
// table does not offer as its tag.
std::string PictureShorthand(const std::string& name) {
  for (const Emotikon& e : kEmotikony)
    if (e.obrazek == name) return std::string(e.tekst);
  return "<" + name + ">";
}

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

std::string TimeLabelFor(int64_t localSeconds, uint8_t kind, int32_t today) {
  const int64_t seconds = localSeconds;
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

ConversationLayout::ConversationLayout(LayoutMeasure& measure, std::function<int32_t()> today, LocalWall wall)
    : measure_(measure), wall_(wall ? std::move(wall) : LocalWall(&LocalWallSeconds)), today_(std::move(today)) {}

void ConversationLayout::SetTextAreaWidth(int width) {
  if (width == textAreaWidth_) return;
  textAreaWidth_ = width;
  const int32_t today = Today();
  for (std::size_t i = 0; i < messages_.size(); ++i) LayOut(i, today);
}

void ConversationLayout::ClearMessages() {
  messages_.clear();
  prepared_.clear();
  ends_.clear();
  endsValid_ = 0;
  scrollOffset_ = 0;
  scrollBarVisible_ = false;
  dragging_ = false;
  selected_ = false;
}

void ConversationLayout::AddMessage(const std::string& text, uint32_t time, uint8_t kind) {
  // The whole history goes at once rather than trimming the oldest entries.
  if (messages_.size() > kMaxMessages) ClearMessages();
  Wiersz w;
  w.Text = text;
  w.Time = time;
  w.Kind = kind;
  messages_.push_back(std::move(w));
  prepared_.emplace_back();
  ends_.push_back(0);
  Prepare(messages_.size() - 1);
  LayOut(messages_.size() - 1, Today());
}

void ConversationLayout::LayoutMessage(std::size_t index) {
  if (index >= messages_.size()) return;
  LayOut(index, Today());
}

void ConversationLayout::LayOut(std::size_t index, int32_t today) {
  Wiersz& w = messages_[index];
  Prepared& prep = prepared_[index];
  // The label changes only with the date; the lines only with the label and
  // the width. Asked again for the same, the layout stays as it is.
  if (!prep.labelKnown || prep.labelDay != today) {
    // Received and own times alike are moments, read on the local clock:
    // a reply sorts after what it answers wherever the machine is.
    std::string label = TimeLabelFor(wall_(w.Time), w.Kind, today);
    prep.labelKnown = true;
    prep.labelDay = today;
    if (label != w.TimeLabel || !prep.broken) {
      w.TimeLabel = std::move(label);
      prep.labelWidth = measure_.LabelWidth(w.TimeLabel);
      prep.broken = false;
    }
  }
  if (prep.broken && prep.brokenAt == textAreaWidth_) return;

  // The first line leaves room for the time label in the box's top right
  // corner. A view too narrow for any text gets width 0, where every piece
  // sits alone on its own line.
  const int firstWidth = std::max(0, Clamp32(int64_t{textAreaWidth_} - prep.labelWidth - 5));
  const int laterWidth = std::max(0, Clamp32(int64_t{textAreaWidth_} - 5));
  const int32_t before = w.Height;
  BreakLines(w, prep, firstWidth, laterWidth);
  prep.broken = true;
  prep.brokenAt = textAreaWidth_;
  if (w.Height != before) endsValid_ = std::min(endsValid_, index);
}

int ConversationLayout::Width(const char* text, std::size_t size) {
  return measure_.TextWidth(std::string(text, size));
}

bool ConversationLayout::WidthUpTo(const char* text, std::size_t size, int limit, int& width, std::size_t& over,
                                   std::size_t first) {
  // Ever longer beginnings, doubling, until one is too wide or the whole
  // text is measured: a word of a megabyte costs what a line holds.
  std::size_t length = std::min(size, first);
  for (;;) {
    const int w = Width(text, length);
    if (length == size) width = w;
    if (w > limit) {
      over = length;
      return false;
    }
    if (length == size) return true;
    length = std::min(size, length * 2);
  }
}

std::string ConversationLayout::Caption(const std::string& address) {
  int width = 0;
  std::size_t over = 0;
  if (WidthUpTo(address.data(), address.size(), kCaptionLimit - 1, width, over, 64)) return address;
  // The longest prefix that, with "...", stays under the limit. Widths grow
  // with the prefix, so the search may halve, and none reaching as far as
  // the beginning found too wide can do.
  std::size_t lo = 0, hi = over - 1;
  while (lo < hi) {
    const std::size_t mid = (lo + hi + 1) / 2;
    if (measure_.TextWidth(address.substr(0, mid) + "...") < kCaptionLimit) lo = mid;
    else hi = mid - 1;
  }
  return address.substr(0, cp1250::cutBefore(address, lo)) + "...";
}

void ConversationLayout::Prepare(std::size_t index) {
  Wiersz& w = messages_[index];
  Prepared& prep = prepared_[index];
  prep.work = w.Text + "\r\n";
  BuildInlineObjects(prep.work, w);
  CutPieces(prep, w);
}

void ConversationLayout::BuildInlineObjects(std::string& text, Wiersz& w) {
  // A sender's own 0x01 bytes would be taken for placeholders and shift every
  // object after them.
  std::erase(text, kPlaceholder);
  ReplaceShorthands(text);
  w.Objects.clear();
  w.Links.clear();

  std::string work;
  work.reserve(text.size());
  std::size_t copied = 0;
  int width = 0, height = 0;
  // As in the archive: javascript://, file:// and the like stay text, so a
  // stranger's message cannot have the desktop open them.
  ScanMarkup(
      text, [&](const std::string& name) { return measure_.PictureSize(name, width, height); },
      [&](const MarkupItem& item) {
        work.append(text, copied, item.start - copied);
        work += kPlaceholder;
        copied = item.end;
        InlineObject o;
        if (item.link) {
          const std::string address = text.substr(item.start, item.end - item.start);
          Odnosnik link;
          link.Url = (item.foundByWww ? "http://" : "") + address;
          link.Caption = Caption(address);
          link.Address = address;
          o.Kind = InlineKind::Link;
          o.Name = '|';
          o.Name += std::to_string(w.Links.size());
          o.Width = Clamp16(measure_.TextWidth(link.Caption));
          o.Height = Clamp16(measure_.TextHeight(link.Caption));
          w.Links.push_back(std::move(link));
        } else {
          o.Name = item.name;
          o.Width = Clamp16(width);
          o.Height = Clamp16(int64_t{height} + 1);
        }
        w.Objects.push_back(std::move(o));
      });
  work.append(text, copied);
  text.swap(work);
}

namespace {

// A piece taken from the front of what is left of a paragraph (which ends
// at end): an object and the space after it, a space alone, the text before
// an object, or a word and the space after it.
struct PieceCut {
  std::size_t size = 0;
  bool space = false;
};

PieceCut PieceAt(const std::string& text, std::size_t i, std::size_t end) {
  const char c = text[i];
  if (c == kPlaceholder) return {1, i + 1 < end && text[i + 1] == ' '};
  if (c == ' ') return {1, false};
  std::size_t j = i;
  while (j < end && text[j] != ' ' && text[j] != kPlaceholder) ++j;
  return {j - i, j < end && text[j] == ' '};
}

}  // namespace

int ConversationLayout::SpaceWidth() {
  if (!spaceKnown_) spaceWidth_ = measure_.TextWidth(" ");
  spaceKnown_ = true;
  return spaceWidth_;
}

void ConversationLayout::CutPieces(Prepared& prep, const Wiersz& w) {
  const std::string& text = prep.work;
  prep.widths.clear();
  std::size_t objects = 0;
  auto kept = [](int width) { return width >= 0 && width <= kMeasuredWidth ? static_cast<uint16_t>(width) : kUnknown; };
  std::size_t pos = 0;
  for (std::size_t crlf; (crlf = text.find("\r\n", pos)) != std::string::npos; pos = crlf + 2) {
    for (std::size_t i = pos; i < crlf;) {
      const PieceCut piece = PieceAt(text, i, crlf);
      Widths widths;
      if (piece.size == 1 && text[i] == kPlaceholder && objects < w.Objects.size()) {
        ++objects;  // an object's width is its own
      } else {
        std::size_t over = 0;
        int width = 0;
        if (WidthUpTo(text.data() + i, piece.size, kMeasuredWidth, width, over, 1024)) {
          widths.width = kept(width);
          widths.advance = piece.space ? kept(Width(text.data() + i, piece.size + 1)) : widths.width;
        }
      }
      prep.widths.push_back(widths);
      i += piece.size + piece.space;
    }
  }
  // Kept for as long as the message: no room to spare.
  prep.widths.shrink_to_fit();
}

void ConversationLayout::BreakLines(Wiersz& w, const Prepared& prep, int firstWidth, int laterWidth) {
  const std::string& text = prep.work;
  int64_t height = 8;  // 4 pixels of margin above and below the text
  int avail = firstWidth;
  std::size_t object = 0;
  std::size_t lineCount = 0;
  std::size_t k = 0;  // the piece, counted through all paragraphs
  w.Hyphens.clear();
  std::size_t pos = 0;
  for (std::size_t crlf; (crlf = text.find("\r\n", pos)) != std::string::npos; pos = crlf + 2) {
    std::size_t i = pos;  // where piece k starts
    PieceCut piece;
    // What is gone of piece k when a word was cut at the end of a line.
    std::size_t cut = 0;
    // An empty paragraph still takes a line: the blank line the sender typed.
    bool firstOfPara = true;
    while (firstOfPara || i < crlf) {
      firstOfPara = false;
      // The strings of the last layout keep their room.
      if (lineCount == w.Lines.size()) w.Lines.emplace_back();
      if (lineCount == w.LineStarts.size()) w.LineStarts.emplace_back();
      w.LineStarts[lineCount] = static_cast<uint32_t>(i + cut);
      std::string& line = w.Lines[lineCount++];
      line.clear();
      // Wide enough for whatever a measure answers.
      int64_t x = 0;
      int lineHeight = kMinLineHeight;
      bool placed = false;
      while (i < crlf) {
        if (cut == 0) piece = PieceAt(text, i, crlf);
        const char* at = text.data() + i + cut;
        const std::size_t size = piece.size - cut;
        const Widths& known = prep.widths[k];
        const bool isObject = cut == 0 && size == 1 && *at == kPlaceholder && object < w.Objects.size();
        int width = 0;
        int64_t advance = 0;
        bool tooWide = false;
        std::size_t over = size;
        if (isObject) {
          width = w.Objects[object].Width;
          advance = int64_t{width} + (piece.space ? SpaceWidth() : 0);
        } else if (cut == 0 && known.width != kUnknown) {
          width = known.width;
          tooWide = width > avail;
        } else {
          // A piece wider than any line, or what is left of one after a cut,
          // is measured only as far as this line could hold.
          tooWide = !WidthUpTo(at, size, avail, width, over, 16);
        }
        if (!isObject && tooWide && size > 1) {
          // A word wider than a whole line is cut to fill what is left of
          // this one, with a hyphen; the rest goes on in the paragraph. The
          // longest such head is wanted (one byte when none fits); widths
          // grow with the head, so the search may halve, and no head as long
          // as a beginning found too wide fits.
          if (over == size) WidthUpTo(at, size, avail, width, over, 16);
          std::size_t lo = 1, hi = std::min(over, size) - 1;
          std::string head;
          while (lo < hi) {
            const std::size_t mid = (lo + hi + 1) / 2;
            head.assign(at, mid);
            head += kSoftHyphen;
            if (x + measure_.TextWidth(head) <= avail) lo = mid;
            else hi = mid - 1;
          }
          // Between characters, at least one of them.
          lo = cp1250::cutBefore(std::string_view(at, size), lo);
          if (lo == 0) lo = CharacterLength(std::string_view(at, size), 0);
          head.assign(at, lo);
          head += kSoftHyphen;
          width = measure_.TextWidth(head);
          // The head is placed whole or not at all.
          if (x + width > avail && placed) break;
          line.append(at, lo);
          w.Hyphens.push_back({static_cast<uint32_t>(lineCount - 1), static_cast<uint32_t>(line.size())});
          line += kSoftHyphen;
          x += width;
          cut += lo;
          placed = true;
          continue;
        }

        // A piece that cannot fit even on an empty line is placed alone, so
        // that a very narrow view still ends its layout.
        if (x + width > avail && placed) break;

        if (isObject) {
          InlineObject& obj = w.Objects[object++];
          obj.X = Clamp16(x);
          obj.Y = Clamp32(height - 4);
          lineHeight = std::max<int>(lineHeight, obj.Height);
        } else if (cut == 0 && known.advance != kUnknown) {
          advance = known.advance;
        } else {
          advance = piece.space ? Width(at, size + 1) : width;
        }
        x += advance;
        line.append(at, size + (piece.space ? 1 : 0));
        i += piece.size + piece.space;
        ++k;
        cut = 0;
        placed = true;
      }
      height += lineHeight;
      avail = laterWidth;
    }
  }
  w.Lines.resize(lineCount);
  w.LineStarts.resize(lineCount);
  w.Height = Clamp32(height);
}

void ConversationLayout::RecomputeEnds() const {
  int64_t end = endsValid_ == 0 ? 0 : ends_[endsValid_ - 1];
  for (std::size_t i = endsValid_; i < messages_.size(); ++i) {
    end += messages_[i].Height;
    ends_[i] = end;
  }
  endsValid_ = messages_.size();
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
  const std::vector<int64_t>& ends = Ends();
  const auto firstVisible = std::lower_bound(ends.begin(), ends.end(), 1 - plan.firstTop);
  plan.first = static_cast<std::size_t>(firstVisible - ends.begin());
  plan.last = plan.first;
  while (plan.last < messages_.size() && plan.TopOf(ends, plan.last) <= height) ++plan.last;
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
  const std::vector<int64_t>& ends = Ends();
  const auto it = std::upper_bound(ends.begin(), ends.end(), y - firstTop);
  if (it == ends.end()) return nullptr;
  const std::size_t i = static_cast<std::size_t>(it - ends.begin());
  const Wiersz& w = messages_[i];
  const int64_t top = firstTop + (i == 0 ? 0 : ends[i - 1]);
  if (!(top < y && y < top + w.Height)) return nullptr;
  for (const InlineObject& o : w.Objects) {
    if (o.Kind != InlineKind::Link) continue;
    const int64_t oy = top + o.Y;
    if (!(oy < y && y < oy + o.Height)) continue;
    if (!(o.X + 2 < x && x < o.X + 2 + o.Width)) continue;
    const std::size_t link = std::strtoul(o.Name.c_str() + 1, nullptr, 10);
    if (link < w.Links.size()) return &w.Links[link];
  }
  return nullptr;
}

bool ConversationLayout::InBox(int x, int y, int height) const {
  if (messages_.empty() || x < 0 || x >= textAreaWidth_) return false;
  const int64_t rel = int64_t{y} - FirstTop(height);
  return rel >= 0 && rel < TotalHeight();
}

void ConversationLayout::ScrollBy(int64_t pixels, int height) {
  const int64_t excess = std::max<int64_t>(0, TotalHeight() - height);
  scrollOffset_ = std::clamp<int64_t>(scrollOffset_ + pixels, 0, excess);
}

std::size_t ConversationLayout::LineOffset(std::size_t message, std::size_t line, std::size_t at) const {
  const Wiersz& w = messages_[message];
  if (line >= w.LineStarts.size()) return TextLength(message);
  std::size_t offset = w.LineStarts[line] + at;
  // The hyphens of the line before at are not in the text; a hyphen itself
  // stands where the rest of its word goes on.
  auto h = std::lower_bound(w.Hyphens.begin(), w.Hyphens.end(), line,
                            [](const LineHyphen& hy, std::size_t l) { return hy.line < l; });
  for (; h != w.Hyphens.end() && h->line == line && h->at < at; ++h) --offset;
  return std::min(offset, TextLength(message));
}

std::vector<int> ConversationLayout::LineHeights(const Wiersz& w) const {
  std::vector<int> heights;
  heights.reserve(w.Lines.size());
  std::size_t object = 0;
  for (const std::string& line : w.Lines) {
    int h = kMinLineHeight;
    for (char c : line)
      if (c == kPlaceholder && object < w.Objects.size()) h = std::max<int>(h, w.Objects[object++].Height);
    heights.push_back(h);
  }
  return heights;
}

TextPosition ConversationLayout::PositionAt(int x, int y, int height, bool charUnder) const {
  if (messages_.empty()) return {};
  const int64_t firstTop = FirstTop(height);
  const std::vector<int64_t>& ends = Ends();
  const int64_t rel = int64_t{y} - firstTop;
  if (rel < 0) return {0, 0};
  const auto it = std::upper_bound(ends.begin(), ends.end(), rel);
  if (it == ends.end()) return {messages_.size() - 1, TextLength(messages_.size() - 1)};
  const std::size_t i = static_cast<std::size_t>(it - ends.begin());
  const Wiersz& w = messages_[i];
  if (w.Lines.empty()) return {i, 0};
  // The line at that height; the margins above and below belong to the
  // first and the last line.
  const int64_t inBox = rel - (i == 0 ? 0 : ends[i - 1]);
  const std::vector<int> heights = LineHeights(w);
  std::size_t line = 0;
  std::size_t object = 0;  // the first object of the line
  for (int64_t lineTop = 4; line + 1 < w.Lines.size() && inBox >= lineTop + heights[line]; ++line) {
    lineTop += heights[line];
    object += static_cast<std::size_t>(std::count(w.Lines[line].begin(), w.Lines[line].end(), kPlaceholder));
  }

  // Along the line: each run of text is measured only as far as needed, the
  // widths of its beginnings growing with their length.
  const std::string& text = w.Lines[line];
  int64_t left = 2;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == kPlaceholder) {
      const int width = object < w.Objects.size() ? w.Objects[object++].Width : 0;
      if (x < left + (charUnder ? width : width / 2)) return {i, LineOffset(i, line, pos)};
      left += width;
      ++pos;
      continue;
    }
    std::size_t end = text.find(kPlaceholder, pos);
    if (end == std::string::npos) end = text.size();
    const int64_t runWidth = measure_.TextWidth(text.substr(pos, end - pos));
    if (x < left + runWidth) {
      // The longest beginning that ends left of the pointer.
      std::size_t lo = 0, hi = end - pos;
      while (lo < hi) {
        const std::size_t mid = (lo + hi + 1) / 2;
        if (left + measure_.TextWidth(text.substr(pos, mid)) <= x) lo = mid;
        else hi = mid - 1;
      }
      // A position between the bytes of a wide mark is none.
      const std::string_view run(text.data() + pos, end - pos);
      lo = cp1250::cutBefore(run, lo);
      std::size_t at = lo;
      if (!charUnder && lo < end - pos) {
        // Nearer the end of that character than its start: after it.
        const std::size_t next = lo + CharacterLength(run, lo);
        const int64_t before = left + measure_.TextWidth(text.substr(pos, lo));
        const int64_t after = left + measure_.TextWidth(text.substr(pos, next));
        if (x - before > after - x) at = next;
      }
      return {i, LineOffset(i, line, pos + at)};
    }
    left += runWidth;
    pos = end;
  }
  return {i, LineOffset(i, line, text.size())};
}

namespace {
int CharClass(char c) {
  if (c == ' ' || c == '\r' || c == '\n' || c == '\t') return 0;
  if (c == kPlaceholder) return 1;
  return 2;
}
}  // namespace

std::pair<TextPosition, TextPosition> ConversationLayout::WordAt(TextPosition pos) const {
  if (pos.message >= messages_.size()) return {pos, pos};
  const std::string& text = LaidOutText(pos.message);
  const std::size_t length = TextLength(pos.message);
  if (length == 0) return {pos, pos};
  std::size_t o = std::min(pos.offset, length - 1);
  const int cls = CharClass(text[o]);
  if (cls == 1) return {{pos.message, o}, {pos.message, o + 1}};
  // A line break is no word: the word before it, if any, is.
  if (text[o] == '\r' || text[o] == '\n') {
    if (o == 0 || CharClass(text[o - 1]) != 2) return {{pos.message, o}, {pos.message, o}};
    --o;
  }
  const int c = CharClass(text[o]);
  std::size_t from = o, to = o + 1;
  auto same = [&](std::size_t k) { return CharClass(text[k]) == c && (c != 0 || text[k] == ' ' || text[k] == '\t'); };
  while (from > 0 && same(from - 1)) --from;
  while (to < length && same(to)) ++to;
  return {{pos.message, from}, {pos.message, to}};
}

void ConversationLayout::Select(TextPosition anchor, TextPosition focus) {
  anchor_ = anchor;
  focus_ = focus;
  selected_ = !messages_.empty();
}

void ConversationLayout::SelectAll() {
  if (messages_.empty()) return;
  Select({0, 0}, {messages_.size() - 1, TextLength(messages_.size() - 1)});
}

std::pair<TextPosition, TextPosition> ConversationLayout::Selection() const {
  if (!selected_ || messages_.empty()) return {};
  TextPosition from = std::min(anchor_, focus_), to = std::max(anchor_, focus_);
  const std::size_t last = messages_.size() - 1;
  if (to.message > last) to = {last, TextLength(last)};
  if (from.message > last) return {};
  from.offset = std::min(from.offset, TextLength(from.message));
  to.offset = std::min(to.offset, TextLength(to.message));
  // A selection that ends at the very start of a message holds nothing of
  // it, and one that starts at the very end of one nothing of that.
  if (to.message > from.message && to.offset == 0) to = {to.message - 1, TextLength(to.message - 1)};
  if (to.message > from.message && from.offset == TextLength(from.message)) from = {from.message + 1, 0};
  if (!(from < to)) return {};
  return {from, to};
}

bool ConversationLayout::HasSelection() const {
  const auto [from, to] = Selection();
  return from < to;
}

std::pair<std::size_t, std::size_t> ConversationLayout::SelectedInLine(std::size_t message, std::size_t line) const {
  const auto [from, to] = Selection();
  if (!(from < to) || message < from.message || message > to.message) return {0, 0};
  const std::size_t a = message == from.message ? from.offset : 0;
  const std::size_t b = message == to.message ? to.offset : TextLength(message);
  const Wiersz& w = messages_[message];
  if (line >= w.Lines.size()) return {0, 0};
  const std::size_t size = w.Lines[line].size();
  auto h = std::lower_bound(w.Hyphens.begin(), w.Hyphens.end(), line,
                            [](const LineHyphen& hy, std::size_t l) { return hy.line < l; });
  std::size_t first = size, last = size;
  std::size_t offset = w.LineStarts[line];
  bool previous = false;
  for (std::size_t c = 0; c < size; ++c) {
    bool in;
    if (h != w.Hyphens.end() && h->line == line && h->at == c) {
      in = previous;  // an inserted hyphen goes with the head before it
      ++h;
    } else {
      in = a <= offset && offset < b;
      ++offset;
    }
    if (in && first == size) first = c;
    if (!in && previous) last = c;
    previous = in;
  }
  if (first == size) return {0, 0};
  return {first, std::max(first, last)};
}

bool ConversationLayout::LabelSelected(std::size_t message) const {
  const auto [from, to] = Selection();
  return from < to && from.message != to.message && message >= from.message && message <= to.message;
}

std::string ConversationLayout::CopyOf(std::size_t message, std::size_t from, std::size_t to) const {
  const Wiersz& w = messages_[message];
  const std::string& text = LaidOutText(message);
  std::size_t object = static_cast<std::size_t>(std::count(text.begin(), text.begin() + from, kPlaceholder));
  std::string out;
  for (std::size_t k = from; k < to; ++k) {
    const char c = text[k];
    if (c == kPlaceholder) {
      if (object >= w.Objects.size()) continue;
      const InlineObject& o = w.Objects[object++];
      if (o.Kind == InlineKind::Link) {
        const std::size_t link = std::strtoul(o.Name.c_str() + 1, nullptr, 10);
        if (link < w.Links.size()) out += w.Links[link].Address;
      } else {
        out += PictureShorthand(o.Name);
      }
    } else if (c == '\r' && k + 1 < text.size() && text[k + 1] == '\n') {
      out += '\n';
      ++k;
    } else {
      out += c;
    }
  }
  return out;
}

std::string ConversationLayout::SelectedText() const {
  const auto [from, to] = Selection();
  if (!(from < to)) return {};
  if (from.message == to.message) return CopyOf(from.message, from.offset, to.offset);
  std::string out;
  for (std::size_t m = from.message; m <= to.message; ++m) {
    if (m != from.message) out += '\n';
    out += messages_[m].TimeLabel;
    out += '\n';
    out += CopyOf(m, m == from.message ? from.offset : 0, m == to.message ? to.offset : TextLength(m));
  }
  return out;
}
