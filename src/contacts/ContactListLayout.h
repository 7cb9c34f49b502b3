#pragma once
// Where the contact list puts each thing: rows of 18 pixels (status icon,
// display name) followed, for statuses with a description, by the
// description word-wrapped into 10-pixel lines. Kept apart from painting so
// that the wrapping and the scrolling can be checked without a window; the
// list control paints exactly what this returns.
//
// Coordinates are those of the control: y = 0 is its top, rows start at
// -offset. They are 64-bit so that no offset the control can hold overflows.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "contacts/Kontakt.h"

class ContactStore;

// The width in pixels of a Windows-1250 text in the description font.
using TextMeasure = std::function<int(const std::string&)>;

inline constexpr int kRowHeight = 18;          // icon and name
inline constexpr int kDescriptionLine = 10;    // each line of a description
inline constexpr int kTextLeft = 20;           // names and descriptions
inline constexpr int kIconLeft = 1;
inline constexpr char kLineBreakMark = '\xAC';  // the not-sign of Windows-1250

struct DescriptionLine {
  int64_t y = 0;  // top of the line's 10-pixel band; the text stands 3 above it
  std::string text;
};

struct ContactRow {
  int position = 0;   // list position
  int record = 0;     // record index shown there
  int64_t y = 0;      // top of the 18-pixel band
  std::string name;   // display name
  int icon = 0;       // picture number: the status index
  bool bold = false;  // present
  bool selected = false;
  std::vector<DescriptionLine> lines;
  int64_t bottom = 0;  // last pixel of the row, description included
};

struct ContactListLayout {
  std::vector<ContactRow> rows;
  // Just below the last row. Negative when the list is scrolled beyond its
  // end (contacts were removed while scrolled down).
  int64_t contentEnd = 0;
};

// The description as lines. Blanks and control characters around it are
// dropped. On an unselected row a line break shows as "¬ " and the text
// flows on; on the selected one it ends the line. A line holds as many words
// as fit in width - 20; a word too wide for an empty line stands alone. An
// empty (or blank) description still gives one empty line.
std::vector<std::string> WrapDescription(const std::string& opis, bool selected, int width,
                                         const TextMeasure& measure);

// The rows of the records in display order; `selected` is a list position
// or -1.
ContactListLayout LayOutContactList(const std::vector<const TKontakt*>& inOrder, int selected,
                                    int width, uint32_t offset, const TextMeasure& measure);
ContactListLayout LayOutContactList(const ContactStore& store, int width, uint32_t offset,
                                    const TextMeasure& measure);

// The list position a click at y selects: the first row whose bottom is
// below y, or -1 under the last row.
int PositionAt(const ContactListLayout& layout, int64_t y);

// Scrolling by the arrow buttons and the wheel. `height` is the control's
// height and `contentEnd` the layout's. Each returns the new offset; none
// goes below 0 or wraps past the 32-bit range, and none moves the list
// further than needed to bring the last row's bottom to the control's.
//
// Page up: back by height - 50, or to the top.
uint32_t ScrollPageUp(uint32_t offset, int height);
// Page down: on by height - 50, or by what remains below, whichever is less;
// nothing when everything below is already shown.
uint32_t ScrollPageDown(uint32_t offset, int height, int64_t contentEnd);
// Wheel: 20 pixels, or to the top / to the end.
uint32_t ScrollWheelUp(uint32_t offset);
uint32_t ScrollWheelDown(uint32_t offset, int height, int64_t contentEnd);
// Something lies below the control's bottom (the down button shows).
inline bool MoreBelow(int height, int64_t contentEnd) { return height < contentEnd; }
// After the list shrank (contacts removed, another identity, an import)
// while it was scrolled: the offset that brings the last row's bottom back
// to the control's bottom, or the top when everything fits.
uint32_t OffsetInRange(uint32_t offset, int height, int64_t contentEnd);
// The offset that shows the rows from top to bottom (control coordinates),
// moving as little as it can; the top wins when they do not fit.
uint32_t OffsetShowing(uint32_t offset, int height, int64_t top, int64_t bottom);
