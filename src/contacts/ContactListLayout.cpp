#include "contacts/ContactListLayout.h"

#include <algorithm>
#include <limits>

#include "contacts/ContactStore.h"

namespace {

bool Blank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trimmed(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && Blank(s[b])) ++b;
  while (e > b && Blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// CR LF and a lone LF become CR, then every CR becomes "¬ ".
std::string MarkLineBreaks(const std::string& s) {
  std::string out;
  out.reserve(s.size() + 8);
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      out += kLineBreakMark;
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

// A page is the control's height less 50; a control smaller than that still
// moves by a pixel, so that the buttons never stop working.
int64_t Page(int height) { return std::max<int64_t>(int64_t{height} - 50, 1); }

uint32_t Clamped(int64_t v) {
  return static_cast<uint32_t>(std::clamp<int64_t>(v, 0, std::numeric_limits<uint32_t>::max()));
}

}  // namespace

std::vector<std::string> WrapDescription(const std::string& opis, bool selected, int width,
                                         const TextMeasure& measure) {
  std::string text = Trimmed(opis) + ' ';
  if (!selected) text = MarkLineBreaks(text);
  const int room = width - kTextLeft;
  std::vector<std::string> lines;
  size_t at = 0;  // start of what remains of text
  while (at < text.size()) {
    std::string line;
    while (at < text.size()) {
      size_t end = text.find_first_of(" \r\n", at);
      if (end == std::string::npos) end = text.size();
      const std::string word = text.substr(at, end - at);
      std::string candidate = line;
      if (!line.empty()) candidate += ' ';
      candidate += word;
      if (!line.empty() && measure(candidate) > room) break;  // the word opens the next line
      line = std::move(candidate);
      const bool breakHere = end < text.size() && (text[end] == '\r' || text[end] == '\n');
      at = std::min(end + 1, text.size());
      while (at < text.size() && Blank(text[at])) ++at;
      if (breakHere) break;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

ContactListLayout LayOutContactList(const std::vector<const TKontakt*>& inOrder, int selected,
                                    int width, uint32_t offset, const TextMeasure& measure) {
  ContactListLayout layout;
  layout.rows.reserve(inOrder.size());
  int64_t y = -int64_t{offset};
  for (size_t i = 0; i < inOrder.size(); ++i) {
    const TKontakt& k = *inOrder[i];
    ContactRow row;
    row.position = static_cast<int>(i);
    row.y = y;
    row.name = k.wyswietl;
    row.icon = k.status;
    row.bold = k.Obecny();
    row.selected = static_cast<int>(i) == selected;
    y += kRowHeight;
    if (k.MaOpis()) {
      for (std::string& text : WrapDescription(k.opis, row.selected, width, measure)) {
        row.lines.push_back({y, std::move(text)});
        y += kDescriptionLine;
      }
    }
    row.bottom = y - 1;
    layout.rows.push_back(std::move(row));
  }
  layout.contentEnd = y;
  return layout;
}

ContactListLayout LayOutContactList(const ContactStore& store, int width, uint32_t offset,
                                    const TextMeasure& measure) {
  std::vector<const TKontakt*> inOrder;
  inOrder.reserve(store.Count());
  for (int p = 0; p < store.Count(); ++p) inOrder.push_back(&store.Record(store.RecordAt(p)));
  ContactListLayout layout = LayOutContactList(inOrder, store.Selected(), width, offset, measure);
  for (ContactRow& row : layout.rows) row.record = store.RecordAt(row.position);
  return layout;
}

int PositionAt(const ContactListLayout& layout, int64_t y) {
  for (const ContactRow& row : layout.rows)
    if (row.bottom > y) return row.position;
  return -1;
}

uint32_t ScrollPageUp(uint32_t offset, int height) {
  const int64_t page = Page(height);
  return offset > page ? Clamped(offset - page) : 0;
}

uint32_t ScrollPageDown(uint32_t offset, int height, int64_t contentEnd) {
  if (!MoreBelow(height, contentEnd)) return offset;
  const int64_t below = contentEnd - height;
  const int64_t page = Page(height);
  return Clamped(int64_t{offset} + std::min(page, below));
}

uint32_t ScrollWheelUp(uint32_t offset) { return offset <= 20 ? 0 : offset - 20; }

uint32_t ScrollWheelDown(uint32_t offset, int height, int64_t contentEnd) {
  if (!MoreBelow(height, contentEnd)) return offset;
  const int64_t below = contentEnd - height;
  return Clamped(int64_t{offset} + std::min<int64_t>(20, below));
}

uint32_t OffsetInRange(uint32_t offset, int height, int64_t contentEnd) {
  if (offset == 0 || contentEnd >= height) return offset;
  return Clamped(std::max<int64_t>(0, int64_t{offset} - (height - contentEnd)));
}

uint32_t OffsetShowing(uint32_t offset, int height, int64_t top, int64_t bottom) {
  int64_t moved = offset;
  if (bottom > height) moved += bottom - height;
  if (top - (moved - offset) < 0) moved = int64_t{offset} + top;
  return Clamped(std::max<int64_t>(0, moved));
}
