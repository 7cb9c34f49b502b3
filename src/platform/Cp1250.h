#pragma once
// The system's text is Windows-1250 bytes held in std::string, on screen, on
// disk and on the wire. Conversion to Unicode happens only at the edges: where
// Qt shows a text, and where the source code spells a Polish text.

#include <QString>
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
std::string fromUtf8(std::string_view utf8);

QString toQString(std::string_view text);
std::string fromQString(const QString& text);

}  // namespace cp1250

// A Polish text of the program, written in UTF-8 in the source and held as
// Windows-1250 bytes: T("nie połączony").
inline std::string T(std::string_view utf8) { return cp1250::fromUtf8(utf8); }
