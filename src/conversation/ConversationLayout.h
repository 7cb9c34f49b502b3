#pragma once
// The layout of a conversation view, apart from any painting: one box per
// message, oldest at the top, with its time label, its text broken into lines
// around inline pictures and links, and the box heights. Also the arithmetic
// the view shares between painting and the mouse: which boxes are visible,
// where the scroll thumb sits, what a drag on the scroll strip scrolls to and
// which link lies under the pointer.
//
// Text is Windows-1250 bytes. Every inline object stands in a line as the one
// byte 0x01; the objects of a message are kept in the order of those bytes.
//
// Measuring is asked of a LayoutMeasure, so the layout runs the same with the
// window system's fonts and with the fixed widths of a test. What does not
// depend on the width (the inline objects, the pieces a message breaks into
// and their widths) is found once per message; a new width only breaks the
// lines again, so a resize of a long conversation costs little.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The kind of a message entry: what became of it (MessageKind of the message
// box is another thing).
enum DeliveryState : uint8_t { Received = 0, Delivered = 1, Queued = 2, NotDelivered = 3 };

enum class InlineKind : uint8_t { Picture, Link };

// A picture or a link inside a message. Name: the picture's normalised name
// ("usmiech"), or "|" + the index of the link in Links. Kind tells them apart:
// a picture may well be named "|0".
struct InlineObject {
  std::string Name;
  InlineKind Kind = InlineKind::Picture;
  int16_t Width = 0;
  int16_t Height = 0;
  int16_t X = 0;  // from the left edge of the text area, which starts 2 pixels into the box
  int32_t Y = 0;  // from the top of the box to the top of the object's line
};

struct Odnosnik {
  std::string Caption;  // what the box shows, shortened when the address is long
  std::string Url;      // what a click opens
  std::string Address;  // as the message has it: what a copy of the text holds
};

// An inserted hyphen: the character at of line Lines[line] is the hyphen the
// layout put after the head of a broken word, which is not in the text.
struct LineHyphen {
  uint32_t line = 0;
  uint32_t at = 0;
};

struct Wiersz {
  std::string Text;  // as received or sent
  uint32_t Time = 0;  // seconds since 1970 UTC: the sender's stamp, or when the server acknowledged
  uint8_t Kind = Received;
  std::vector<std::string> Lines;
  std::vector<InlineObject> Objects;
  std::vector<Odnosnik> Links;
  std::string TimeLabel;
  int32_t Height = 0;  // a message as long as the largest packet is far taller than 16 bits
  // Where each line starts in the message's laid-out text
  // (ConversationLayout::LaidOutText), and the hyphens put into the lines:
  // a selection is kept in that text, whatever the width.
  std::vector<uint32_t> LineStarts;
  std::vector<LineHyphen> Hyphens;
};

// A place between two characters of a conversation: before byte offset of
// the laid-out text of message (its text with one placeholder per object).
struct TextPosition {
  std::size_t message = 0;
  std::size_t offset = 0;
  friend auto operator<=>(const TextPosition&, const TextPosition&) = default;
};

// The answers must stay the same for the life of a layout: it keeps what it
// measured. A longer text is taken to be no narrower than its beginning, so a
// long word is measured only as far as a line can hold.
class LayoutMeasure {
 public:
  virtual ~LayoutMeasure() = default;
  // Width of text in the message font. 0xAD counts as the visible hyphen
  // that ends the line of a broken word, and is drawn as one.
  virtual int TextWidth(const std::string& text) = 0;
  // Height of a line of text in the message font (a link caption's height).
  virtual int TextHeight(const std::string& text) = 0;
  // Width of a time label in the small font.
  virtual int LabelWidth(const std::string& text) = 0;
  // The size of the picture "ikony/" + name + ".bmp"; false when there is none.
  virtual bool PictureSize(const std::string& name, int& width, int& height) = 0;
};

// A view holding more than this many messages is emptied before the next
// one is added: the history of a chat window is not kept for ever.
inline constexpr std::size_t kMaxMessages = 30000;
// A link caption stays narrower than this.
inline constexpr int kCaptionLimit = 200;
// The right-hand strip of the view that belongs to the scroll bar.
inline constexpr int kScrollStrip = 16;
inline constexpr int kMinLineHeight = 15;
inline constexpr char kPlaceholder = '\x01';
inline constexpr char kSoftHyphen = '\xAD';

// Days from 1899-12-30 (the calendar the stored times are counted against)
// to the given date, and back.
int32_t DayNumber(int year, int month, int day);
void DateOfDay(int32_t dayNumber, int& year, int& month, int& day);

// The local wall clock of a moment (LocalWallSeconds of the machine's zone):
// seconds since 1970 UTC in, seconds since 1970 on the local clock out.
using LocalWall = std::function<int64_t(int64_t utcSeconds)>;

// "h:nn", then ", d.mm.yyyy" when the day is not today, with "(oczekuje) " or
// "(nie dostarczono) " in front for those kinds. localSeconds: the message's
// time on the local clock, for every kind alike.
std::string TimeLabelFor(int64_t localSeconds, uint8_t kind, int32_t today);

// What one paint needs: whether the scroll bar shows, where its thumb is, the
// top of the first box and the range of boxes that reach into the view.
struct PaintPlan {
  bool scrollBar = false;
  int thumbY = 0;
  int64_t firstTop = 0;   // top of box 0, negative when scrolled out above
  std::size_t first = 0;  // boxes [first, last) are visible
  std::size_t last = 0;
  int64_t TopOf(const std::vector<int64_t>& ends, std::size_t i) const {
    return firstTop + (i == 0 ? 0 : ends[i - 1]);
  }
};

class ConversationLayout {
 public:
  // today: the local date as a day number (DayNumber), asked at every layout;
  // wall: the local clock the time labels are read on, the machine's zone
  // unless a test fixes one.
  ConversationLayout(LayoutMeasure& measure, std::function<int32_t()> today, LocalWall wall = {});

  // Width of the text area (control width - kScrollStrip). Changing it lays
  // out every message again.
  void SetTextAreaWidth(int width);
  int TextAreaWidth() const { return textAreaWidth_; }

  // Appends and lays out one message; a view holding more than kMaxMessages
  // is emptied first. ScrollOffset is kept: a view at the bottom stays there,
  // one scrolled up keeps its distance from the bottom.
  void AddMessage(const std::string& text, uint32_t time, uint8_t kind);
  // The time label and the lines of one message for the current width and
  // today's date.
  void LayoutMessage(std::size_t index);
  void ClearMessages();

  const std::vector<Wiersz>& Messages() const { return messages_; }
  int64_t TotalHeight() const {
    const std::vector<int64_t>& ends = Ends();
    return ends.empty() ? 0 : ends.back();
  }
  // Bottom edge of every box, counted from the top of the first.
  const std::vector<int64_t>& Ends() const {
    if (endsValid_ < ends_.size()) RecomputeEnds();
    return ends_;
  }

  // Pixels by which the view is scrolled up from the bottom.
  int64_t ScrollOffset() const { return scrollOffset_; }
  void SetScrollOffset(int64_t offset) { scrollOffset_ = offset < 0 ? 0 : offset; }
  bool ScrollBarVisible() const { return scrollBarVisible_; }
  bool Dragging() const { return dragging_; }

  // Clamps ScrollOffset to the content, sets ScrollBarVisible (and drops
  // Dragging when there is no bar) and returns the geometry of a paint of a
  // view of the given height.
  PaintPlan Plan(int height);

  // Left button down at (x, y): on the scroll strip with the bar shown it
  // starts a drag and scrolls (true: repaint). Elsewhere it returns false and
  // leaves the link look-up to LinkAt.
  bool PressScrollStrip(int x, int y, int height);
  // The pointer moved with the bar shown and a drag on; true when scrolled.
  bool DragTo(int y, int height);
  void Release() { dragging_ = false; }

  // The link under the pointer, or null.
  const Odnosnik* LinkAt(int x, int y, int height) const;
  // True when the pointer is on the text area of a message box.
  bool InBox(int x, int y, int height) const;

  // Scrolls by pixels (up, toward the oldest, when positive), within the
  // content of a view of the given height.
  void ScrollBy(int64_t pixels, int height);

  // The message's text as it is laid out: Text with one placeholder per
  // object, each paragraph ended by CR LF. TextLength leaves out the last
  // CR LF, which is the layout's own.
  const std::string& LaidOutText(std::size_t message) const { return prepared_[message].work; }
  std::size_t TextLength(std::size_t message) const { return prepared_[message].work.size() - 2; }
  // The offset in the laid-out text of character at of line `line` (of an
  // inserted hyphen: of the character after it).
  std::size_t LineOffset(std::size_t message, std::size_t line, std::size_t at) const;

  // The place nearest to the pointer (between characters): above the
  // content, the start; below it, the end; beside a line, its start or end.
  // With charUnder, the place before the character under the pointer.
  TextPosition PositionAt(int x, int y, int height, bool charUnder = false) const;
  // The word around the character at pos: letters up to a space, a line
  // break or a picture or link (each of which is a word of its own), or a
  // run of spaces.
  std::pair<TextPosition, TextPosition> WordAt(TextPosition pos) const;

  // The selection: from anchor to focus, either way round. Kept across
  // layouts at other widths and while messages are added; dropped when the
  // view is emptied.
  void Select(TextPosition anchor, TextPosition focus);
  void SelectAll();
  void ClearSelection() { selected_ = false; }
  bool HasSelection() const;
  TextPosition Anchor() const { return anchor_; }
  // The selection in order; empty when there is none.
  std::pair<TextPosition, TextPosition> Selection() const;
  // The characters [first, second) of the line that the selection holds.
  std::pair<std::size_t, std::size_t> SelectedInLine(std::size_t message, std::size_t line) const;
  // The time label is selected with its message when the selection holds
  // more than one message.
  bool LabelSelected(std::size_t message) const;
  // What a copy holds, Windows-1250, lines ended by "\n": the text of each
  // message as written, a picture as its shorthand (":)", "<kwiatek>"), a
  // link as its address; across messages each begins with its time label
  // on a line of its own.
  std::string SelectedText() const;
  // The whole text of one message as a copy holds it.
  std::string CopiedText(std::size_t message) const { return CopyOf(message, 0, TextLength(message)); }

 private:
  // The widths of a piece of a paragraph as the line breaking takes it (a
  // word with the one space after it, a space of its own, a word ending
  // before an object, or an object with a space after it): of the piece
  // alone, and with its space, which is what x moves on by. kUnknown for an
  // object (its width is its own), and for a piece wider than any line or
  // of a width no 16 bits hold; those are measured when placed.
  struct Widths {
    uint16_t width = kUnknown;
    uint16_t advance = kUnknown;
  };
  static constexpr uint16_t kUnknown = 0xFFFF;
  static constexpr int kMeasuredWidth = 0xFFFE;
  // What a message's layout keeps apart from its width.
  struct Prepared {
    std::string work;  // the text with one placeholder per object, CR LF after each paragraph
    std::vector<Widths> widths;  // of each piece, through all paragraphs
    int32_t labelDay = 0;        // the day the time label was made for, once labelKnown
    int labelWidth = 0;
    int brokenAt = 0;            // the width the lines are for, once broken
    bool labelKnown = false;
    bool broken = false;
  };
  int32_t Today() const { return today_ ? today_() : 0; }
  int SpaceWidth();
  void Prepare(std::size_t index);
  void BuildInlineObjects(std::string& text, Wiersz& w);
  void CutPieces(Prepared& prep, const Wiersz& w);
  void LayOut(std::size_t index, int32_t today);
  void BreakLines(Wiersz& w, const Prepared& prep, int firstWidth, int laterWidth);
  int Width(const char* text, std::size_t size);
  // The width of text when it is at most limit (true); otherwise a length
  // whose beginning is wider (over). Measures from first bytes on.
  bool WidthUpTo(const char* text, std::size_t size, int limit, int& width, std::size_t& over, std::size_t first);
  std::string Caption(const std::string& address);
  void RecomputeEnds() const;
  int64_t FirstTop(int height) const { return scrollOffset_ - TotalHeight() + height; }
  // The height of each line of a message (a picture may make one taller).
  std::vector<int> LineHeights(const Wiersz& w) const;
  std::string CopyOf(std::size_t message, std::size_t from, std::size_t to) const;
  void ScrollTo(int y, int height);

  LayoutMeasure& measure_;
  LocalWall wall_;
  std::function<int32_t()> today_;
  int textAreaWidth_ = 0;
  bool spaceKnown_ = false;
  int spaceWidth_ = 0;
  std::vector<Wiersz> messages_;
  std::vector<Prepared> prepared_;
  // Summed when asked for: laying out every message one by one must not sum
  // the rest of the conversation each time.
  mutable std::vector<int64_t> ends_;
  mutable std::size_t endsValid_ = 0;
  int64_t scrollOffset_ = 0;
  TextPosition anchor_, focus_;
  bool selected_ = false;
  bool scrollBarVisible_ = false;
  bool dragging_ = false;
};
