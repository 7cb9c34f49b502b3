#pragma once
// The text of one message turned into the HTML fragment the archive stores:
// shorthands become emoticon tokens, tokens naming an existing picture become
// images, web addresses become links, other angle brackets are escaped and
// CR LF becomes "<br>". The conversation view reuses the recognition rules
// (shorthands, address bounds, picture names) and builds inline objects.
//
// Text is Windows-1250 bytes. The archive is opened in a browser and holds
// strangers' messages, so nothing a sender types may become markup of its own:
// the two bytes used as markers of generated markup are dropped from the input,
// addresses are written into attributes with character references, and only
// http, https and ftp addresses become links.

#include <QString>
#include <cstddef>
#include <functional>
#include <string>

// Answers whether the picture "ikony/" + name + ".bmp" exists; name is the
// normalised tag name, Windows-1250.
using PictureExists = std::function<bool(const std::string& name)>;

// The check the program uses: the picture file in programDir/ikony.
PictureExists PictureFileCheck(const QString& programDir);

// Replaces every shorthand outside a web address by its token, in place.
void ReplaceShorthands(std::string& text);

// Lower-cases a tag name (Polish capitals too), drops ". / : ? \" and folds
// "ś ź ł ą ż ć ę ń" to plain letters. May return an empty name.
std::string NormalisePictureName(const std::string& name);

// A tag "<" name ">" starting at index at (text[at] == '<'), with no CR or
// other "<" before its ">": true when its normalised name is not empty; close
// is then the index of the ">" and name the normalised name. Whether a picture
// of that name exists is the caller's question.
bool FindPictureTag(const std::string& text, std::size_t at, std::size_t& close, std::string& name);

// The bounds of a web address whose "://" or "www." starts at index at
// (0-based): [start, end). found by "www." means the link needs "http://".
// A "://" address reaches back to the previous space, line break, ">" or
// generated markup, so letters glued before the scheme belong to it; it ends
// before the next space, line break, "<" or generated markup.
struct AddressBounds {
  std::size_t start = 0;
  std::size_t end = 0;
  bool foundByWww = false;
};
// True when "://" or "www." starts at index at; fills bounds.
bool FindAddress(const std::string& text, std::size_t at, AddressBounds& bounds);

// True for the schemes that may become a link: http, https, ftp (any case).
bool IsLinkScheme(const std::string& scheme);

// What the markup scan of a message finds: a picture tag or a web address
// that becomes a link, standing for text[start, end).
struct MarkupItem {
  bool link = false;
  std::size_t start = 0;
  std::size_t end = 0;
  bool foundByWww = false;  // a link whose target needs "http://" in front
  std::string name;         // a picture's normalised name
};

// The scan the archive conversion and the conversation view share, over a
// text whose shorthands are replaced: left to right, a tag whose normalised
// name isPicture accepts becomes a picture, an address of a link scheme a
// link, each item replacing what it stands for, so that the scan goes on
// after it and a later "://" address reaches back no further than its end.
// found is called for each item in order, for a picture right after
// isPicture accepted its name. Addresses of other schemes stay text. Takes
// time in proportion to the text.
void ScanMarkup(const std::string& text, const std::function<bool(const std::string& name)>& isPicture,
                const std::function<void(const MarkupItem& item)>& found);

// Converts one message to its HTML fragment, in place. An empty text stays empty.
void MessageToHtml(std::string& text, const PictureExists& pictureExists);

// "<" and ">" written as character references; everything else unchanged.
std::string EscapeAngleBrackets(const std::string& text);

// Every wide mark (a character the code page lacks) written as its numeric
// character reference, "&#x1F642;", which a browser shows whatever the page's
// code page; in place.
void WideToReferences(std::string& html);
