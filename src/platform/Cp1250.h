#pragma once
// The system's text is Windows-1250 bytes held in std::string, on screen, on
// disk and on the wire. Conversion to Unicode happens only at the edges: where
// Qt shows a text, and where the source code spells a Polish text.

#include <QString>
#include <cstddef>
#include <string>
#include <string_view>

namespace cp1250 {

// The Unicode character of one byte. The five bytes the code page leaves
// undefined (0x81, 0x83, 0x88, 0x90, 0x98) map to the C1 control of the same
// value, so that every byte survives a round trip.
char32_t toUnicode(unsigned char byte);

// The byte of a Unicode character, or '?' when the code page has none.
unsigned char fromUnicode(char32_t ch);

std::string toUtf8(std::string_view text);
// One Unicode character appended to out in UTF-8.
void appendUtf8(std::string& out, char32_t c);
std::string fromUtf8(std::string_view utf8);

QString toQString(std::string_view text);
std::string fromQString(const QString& text);

// Text of today's network is Unicode, and a character the code page lacks
// must not be lost on its way through the program, which holds Windows-1250.
// Such a character is carried as a "wide" mark: the byte 0x98, which the code
// page leaves undefined, and the code point in six upper-case hex digits
// ("\x98" "01F642" for the slightly smiling face); no punctuation, so that
// a mark never splits a field of a ";"-separated list. The marks are read back
// wherever text becomes Unicode (toQString, toUtf8), and the archive writes
// them as character references. A byte 0x98 that does not start a valid mark
// stays the control character it always was.
constexpr char kWideMark = '\x98';
constexpr size_t kWideDigits = 6;

// Like fromUtf8 / fromQString, but what the code page lacks becomes a wide
// mark instead of '?'. Control characters other than CR, LF and the tab, and
// the marks that override the direction of text, are dropped: they come from
// the network and could only disguise what the text says.
std::string fromUtf8Wide(std::string_view utf8);
std::string fromQStringWide(const QString& text);

// The length of a wide mark starting at text[at], or 0 when none does.
size_t wideMarkLength(std::string_view text, size_t at, char32_t* codePoint = nullptr);
// Characters of text, a wide mark counting one.
size_t characterCount(std::string_view text);
// The longest start of text of at most maxBytes bytes that ends between
// characters (never inside a wide mark).
size_t cutBefore(std::string_view text, size_t maxBytes);
// Whether text holds a wide mark.
bool hasWide(std::string_view text);

}  // namespace cp1250

// A Polish text of the program, written in UTF-8 in the source and held as
// Windows-1250 bytes: T("nie połączony").
inline std::string T(std::string_view utf8) { return cp1250::fromUtf8(utf8); }
