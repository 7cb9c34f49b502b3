// The conversation layout with a measure of its own (every byte its own
// width, some of them 0; pictures for about half of all names, hostile ones
// included). However the text and the view width, the layout ends, and:
// every 0x01 in the lines is the next object, placed where the line's widths
// put it; every line fits its width or holds one piece alone; a message's
// height is 8 plus its line heights (each the tallest object or 15), clipped
// to what its type holds; links (told by their kind: a picture may be named
// "|0") are numbered in order, point at http, https or ftp and are what the
// pointer finds over them, pictures are not; box ends add up;
// a paint covers exactly the boxes that reach into the view.
//
// Input: the view width, the width table, a second view width and scroll
// offset, then messages separated by zero bytes (a received text ends at its
// first zero byte), each led by a byte choosing its kind.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "conversation/ConversationLayout.h"

namespace {

class Measure : public LayoutMeasure {
 public:
  explicit Measure(uint8_t seed) {
    for (int b = 0; b < 256; ++b) width_[b] = ((b * (seed | 1) + seed) >> 2) % 13;
  }
  int Byte(char c) const { return width_[static_cast<unsigned char>(c)]; }
  int TextWidth(const std::string& text) override {
    int w = 0;
    for (char c : text) w += Byte(c);
    return w;
  }
  int TextHeight(const std::string& text) override { return 11 + (text.empty() ? 0 : text[0] & 7); }
  int LabelWidth(const std::string& text) override { return 5 * int(text.size()); }
  bool PictureSize(const std::string& name, int& width, int& height) override {
    unsigned h = 0;
    for (char c : name) h = h * 31 + static_cast<unsigned char>(c);
    if (h & 1) return false;
    width = int(h >> 1) % 40;
    height = int(h >> 7) % 30;
    pictures[name] = {width, height};
    return true;
  }
  std::map<std::string, std::pair<int, int>> pictures;  // every picture said to exist

 private:
  int width_[256];
};

bool IsLink(const InlineObject& o) { return o.Kind == InlineKind::Link; }

bool StartsWithNoCase(const std::string& s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

int16_t Clamp16(int v) { return int16_t(std::clamp(v, -32768, 32767)); }

// One piece alone: an object, a blank, or a word (broken or not), maybe with
// the blank that followed it.
bool OnePiece(std::string line) {
  if (line.size() > 1 && line.back() == ' ') line.pop_back();
  if (line == "\x01" || line == " ") return true;
  return line.find_first_of(" \x01") == std::string::npos;
}

void CheckLink(Measure& m, const Odnosnik& link) {
  FUZZ_REQUIRE(StartsWithNoCase(link.Url, "http://") || StartsWithNoCase(link.Url, "https://") ||
                   StartsWithNoCase(link.Url, "ftp://"),
               "a link to something other than http, https or ftp");
  // The caption is the address as typed ("www." ones have "http://" added to
  // the link), or its longest head that stays under the limit, with "...".
  // A scheme never starts with "w", so the caption tells the two apart.
  const std::string& caption = link.Caption;
  const bool www = link.Url.rfind("http://www.", 0) == 0 && !caption.empty() && caption[0] == 'w';
  const std::string address = www ? link.Url.substr(7) : link.Url;
  if (m.TextWidth(address) < kCaptionLimit) {
    FUZZ_REQUIRE(caption == address, "a narrow address was shortened");
    return;
  }
  FUZZ_REQUIRE(caption.size() >= 3 && caption.compare(caption.size() - 3, 3, "...") == 0,
               "a wide caption was not shortened");
  const std::string head = caption.substr(0, caption.size() - 3);
  FUZZ_REQUIRE(m.TextWidth(caption) < kCaptionLimit, "a shortened caption is too wide");
  if (head.empty()) return;  // "...": whichever the address, nothing of it fits
  FUZZ_REQUIRE(head.size() < address.size() && address.compare(0, head.size(), head) == 0,
               "the caption is not a head of the address");
  FUZZ_REQUIRE(m.TextWidth(address.substr(0, head.size() + 1) + "...") >= kCaptionLimit,
               "a caption was shortened more than needed");
}

void CheckMessage(ConversationLayout& view, Measure& m, size_t index) {
  const Wiersz& w = view.Messages()[index];
  FUZZ_REQUIRE(!w.Lines.empty(), "a message without a line");
  const int area = view.TextAreaWidth();
  const int firstWidth = std::max(0, area - m.LabelWidth(w.TimeLabel) - 5);
  const int laterWidth = std::max(0, area - 5);

  size_t object = 0;
  size_t links = 0;
  int64_t height = 8;
  for (size_t l = 0; l < w.Lines.size(); ++l) {
    const std::string& line = w.Lines[l];
    int x = 0;
    int lineHeight = kMinLineHeight;
    for (char c : line) {
      if (c != kPlaceholder) {
        x += m.Byte(c);
        continue;
      }
      FUZZ_REQUIRE(object < w.Objects.size(), "more placeholders than objects");
      const InlineObject& o = w.Objects[object++];
      FUZZ_REQUIRE(o.X == Clamp16(x), "an object is not where its line puts it");
      FUZZ_REQUIRE(o.Y == height - 4, "an object is not at the top of its line");
      x += o.Width;
      lineHeight = std::max<int>(lineHeight, o.Height);
    }
    const int avail = l == 0 ? firstWidth : laterWidth;
    const int trailing = line.size() > 1 && line.back() == ' ' ? m.Byte(' ') : 0;
    FUZZ_REQUIRE(x - trailing <= avail || OnePiece(line), "a line is wider than its width");
    height += lineHeight;
  }
  FUZZ_REQUIRE(object == w.Objects.size(), "objects without a placeholder");
  constexpr int64_t kMostHeight = std::numeric_limits<decltype(w.Height)>::max();
  FUZZ_REQUIRE(w.Height == std::min<int64_t>(height, kMostHeight), "the height is not 8 plus the line heights");

  for (const InlineObject& o : w.Objects) {
    if (IsLink(o)) {
      FUZZ_REQUIRE(o.Name == "|" + std::to_string(links), "links are not numbered in order");
      FUZZ_REQUIRE(links < w.Links.size(), "a link object without its link");
      const Odnosnik& link = w.Links[links++];
      FUZZ_REQUIRE(o.Width == Clamp16(m.TextWidth(link.Caption)), "a link is not as wide as its caption");
      CheckLink(m, link);
    } else {
      const auto p = m.pictures.find(o.Name);
      FUZZ_REQUIRE(p != m.pictures.end(), "a picture nobody said exists");
      FUZZ_REQUIRE(o.Width == Clamp16(p->second.first) && o.Height == Clamp16(p->second.second + 1),
                   "a picture of another size");
    }
  }
  FUZZ_REQUIRE(links == w.Links.size(), "links without an object");
}

void CheckView(ConversationLayout& view, Measure& m, int64_t scroll) {
  const auto& messages = view.Messages();
  const auto& ends = view.Ends();
  FUZZ_REQUIRE(ends.size() == messages.size(), "not one end per box");
  int64_t end = 0;
  for (size_t i = 0; i < messages.size(); ++i) {
    CheckMessage(view, m, i);
    end += messages[i].Height;
    FUZZ_REQUIRE(ends[i] == end, "box ends do not add up");
  }
  FUZZ_REQUIRE(view.TotalHeight() == end, "the total height is not the last end");

  // The whole content in one view: what the pointer finds over each object.
  const int total = int(view.TotalHeight());
  view.SetScrollOffset(0);
  for (size_t i = 0; i < messages.size(); ++i) {
    const Wiersz& w = messages[i];
    const int64_t top = i == 0 ? 0 : ends[i - 1];
    size_t link = 0;
    for (const InlineObject& o : w.Objects) {
      const bool isLink = IsLink(o);
      const bool reachable = o.Width >= 2 && o.Height >= 2 && o.Y + o.Height < w.Height;
      if (reachable) {
        const Odnosnik* found = view.LinkAt(o.X + 3, int(top + o.Y + 1), total);
        if (isLink) FUZZ_REQUIRE(found == &w.Links[link], "the pointer over a link finds another");
        else FUZZ_REQUIRE(found == nullptr, "the pointer over a picture finds a link");
      }
      if (isLink) ++link;
    }
  }

  // Paints of a few view heights, scrolled as the input says.
  for (int height : {8, 40, 333, total}) {
    view.SetScrollOffset(scroll);
    const PaintPlan plan = view.Plan(height);
    const int64_t excess = view.TotalHeight() - height;
    FUZZ_REQUIRE(plan.scrollBar == (excess > 0), "a scroll bar without excess or none with it");
    FUZZ_REQUIRE(view.ScrollOffset() >= 0 && view.ScrollOffset() <= std::max<int64_t>(0, excess),
                 "scrolled beyond the content");
    if (plan.scrollBar) FUZZ_REQUIRE(plan.thumbY >= 4 && plan.thumbY <= std::max(4, height - 4), "the thumb is off its track");
    FUZZ_REQUIRE(plan.first <= plan.last && plan.last <= messages.size(), "boxes to paint out of range");
    for (size_t i = 0; i < messages.size(); ++i) {
      const int64_t top = plan.TopOf(ends, i);
      const bool reaches = top + messages[i].Height >= 1 && top <= height;
      const bool painted = i >= plan.first && i < plan.last;
      FUZZ_REQUIRE(reaches == painted, "a paint misses a box in the view or paints one outside it");
    }
  }
}

// Every line is its stretch of the laid-out text with the layout's hyphens
// put in, so that a selection kept in that text is found again at any width;
// the pointer always lands in the text, and a copy of it all can be made.
void CheckSelection(ConversationLayout& view, int height) {
  const std::vector<Wiersz>& messages = view.Messages();
  for (std::size_t i = 0; i < messages.size(); ++i) {
    const Wiersz& w = messages[i];
    const std::string& text = view.LaidOutText(i);
    FUZZ_REQUIRE(w.LineStarts.size() == w.Lines.size(), "a line without its start");
    std::size_t hyphen = 0;
    for (std::size_t l = 0; l < w.Lines.size(); ++l) {
      std::string bare;
      for (std::size_t c = 0; c < w.Lines[l].size(); ++c) {
        if (hyphen < w.Hyphens.size() && w.Hyphens[hyphen].line == l && w.Hyphens[hyphen].at == c) {
          FUZZ_REQUIRE(w.Lines[l][c] == kSoftHyphen, "an inserted hyphen is not a hyphen");
          ++hyphen;
          continue;
        }
        bare += w.Lines[l][c];
      }
      FUZZ_REQUIRE(text.compare(w.LineStarts[l], bare.size(), bare) == 0, "a line is not its stretch of the text");
      FUZZ_REQUIRE(view.LineOffset(i, l, w.Lines[l].size()) <= view.TextLength(i), "a line ends past the text");
    }
    FUZZ_REQUIRE(hyphen == w.Hyphens.size(), "a hyphen outside its line");
  }
  if (messages.empty()) return;
  for (int y = -20; y < height + 20; y += 7) {
    const TextPosition p = view.PositionAt(y * 3, y, height);
    FUZZ_REQUIRE(p.message < messages.size() && p.offset <= view.TextLength(p.message), "the pointer outside the text");
    const auto word = view.WordAt(p);
    FUZZ_REQUIRE(word.first <= word.second, "a word ends before it starts");
  }
  view.SelectAll();
  const std::string all = view.SelectedText();
  FUZZ_REQUIRE(view.HasSelection() == !all.empty(), "a selection copies nothing, or nothing copies something");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  Measure measure(data[1]);
  ConversationLayout view(measure, [] { return DayNumber(2026, 12, 8); }, [](int64_t t) { return t; });
  view.SetTextAreaWidth(data[0] * 3 - 20);
  const std::string_view rest(reinterpret_cast<const char*>(data + 4), size - 4);
  size_t from = 0;
  while (from <= rest.size()) {
    size_t zero = rest.find('\0', from);
    if (zero == std::string_view::npos) zero = rest.size();
    std::string_view text = rest.substr(from, zero - from);
    uint8_t kind = Received;
    if (!text.empty()) {
      kind = uint8_t(text[0]) & 3;
      text.remove_prefix(1);
    }
    view.AddMessage(std::string(text), 1796731200u - uint32_t(kind) * 90000u, kind);
    from = zero + 1;
  }
  const int64_t scroll = int64_t(data[3]) * 37;
  CheckView(view, measure, scroll);
  CheckSelection(view, 120);
  view.SetTextAreaWidth(data[2] * 3 - 20);
  CheckView(view, measure, scroll);
  CheckSelection(view, 120);
  return 0;
}
