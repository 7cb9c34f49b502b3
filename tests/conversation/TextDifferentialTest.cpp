// The archive conversion and the conversation layout against a plain
// reference written straight from the rules, on many generated messages and
// widths. The reference edits its text in place, searches from the front of
// what is left and measures whole words, as the rules read; slow, but plainly
// right. Every field of every entry must come out the same, after a message
// is added and after each change of width.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/Noon.h"
#include "conversation/ConversationLayout.h"
#include "conversation/Emoticons.h"
#include "conversation/MessageText.h"
#include "platform/Cp1250.h"

namespace {

// ---- the reference ------------------------------------------------------

bool StartsAt(const std::string& text, std::size_t at, std::string_view what) {
  return text.compare(at, what.size(), what) == 0;
}

void RefReplaceShorthands(std::string& text) {
  bool inAddress = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (StartsAt(text, i, "://") || StartsAt(text, i, "www.")) inAddress = true;
    const char c = text[i];
    if (c == '\n' || c == '\r' || c == ' ' || c == '<') inAddress = false;
    if (inAddress) continue;
    for (const Skrot& s : kSkroty)
      if (StartsAt(text, i, s.skrot)) text.replace(i, s.skrot.size(), s.token);
  }
}

std::string RefAttribute(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '"') out += "&quot;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out;
}

std::string RefReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t p = 0; (p = text.find(from, p)) != std::string::npos; p += to.size()) text.replace(p, from.size(), to);
  return text;
}

std::string RefMessageToHtml(std::string text, const PictureExists& exists) {
  std::erase_if(text, [](char c) { return c == '\x01' || c == '\x02'; });
  RefReplaceShorthands(text);
  std::size_t p = 0;
  while (p < text.size()) {
    if (text[p] == '<') {
      std::size_t close = 0;
      std::string name;
      if (FindPictureTag(text, p, close, name) && exists(name)) {
        const std::string markup = "\x01img align=bottom src=\"../ikony/" + RefAttribute(name) + ".bmp\"\x02";
        text.replace(p, close + 1 - p, markup);
        p += markup.size();
      } else {
        ++p;
      }
      continue;
    }
    AddressBounds b;
    if (!FindAddress(text, p, b)) {
      ++p;
      continue;
    }
    const std::string address = text.substr(b.start, b.end - b.start);
    if (!b.foundByWww && !IsLinkScheme(text.substr(b.start, p - b.start))) {
      p = b.end;
      continue;
    }
    const std::string markup = "\x01" "a href=\"" + RefAttribute((b.foundByWww ? "http://" : "") + address) +
                               "\"\x02" + RefAttribute(address) + "\x01/a\x02";
    text.replace(b.start, b.end - b.start, markup);
    p = b.start + markup.size();
  }
  text = RefReplaceAll(text, "<", "&lt;");
  text = RefReplaceAll(text, ">", "&gt;");
  text = RefReplaceAll(text, "\x01", "<");
  text = RefReplaceAll(text, "\x02", ">");
  return RefReplaceAll(text, "\r\n", "<br>");
}

int16_t Clamp16(int v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

std::string RefCaption(LayoutMeasure& m, const std::string& address) {
  if (m.TextWidth(address) < kCaptionLimit) return address;
  for (std::size_t n = address.size(); n-- > 0;)
    if (m.TextWidth(address.substr(0, n) + "...") < kCaptionLimit) return address.substr(0, n) + "...";
  return "...";
}

Wiersz RefLayout(LayoutMeasure& m, const std::string& text, uint32_t time, uint8_t kind, int textAreaWidth,
                 int32_t today) {
  Wiersz w;
  w.Text = text;
  w.Time = time;
  w.Kind = kind;
  w.TimeLabel = TimeLabelFor(time, kind, today);  // on a clock at UTC
  const int firstWidth = std::max(0, textAreaWidth - m.LabelWidth(w.TimeLabel) - 5);
  const int laterWidth = std::max(0, textAreaWidth - 5);

  std::string work = text + "\r\n";
  std::erase(work, '\x01');
  RefReplaceShorthands(work);
  std::size_t p = 0;
  while (p < work.size()) {
    if (work[p] == '<') {
      std::size_t close = 0;
      std::string name;
      int width = 0, height = 0;
      if (FindPictureTag(work, p, close, name) && m.PictureSize(name, width, height)) {
        work.replace(p, close + 1 - p, 1, '\x01');
        w.Objects.push_back({name, InlineKind::Picture, Clamp16(width), Clamp16(height + 1), 0, 0});
      }
      ++p;
      continue;
    }
    AddressBounds b;
    if (!FindAddress(work, p, b)) {
      ++p;
      continue;
    }
    if (!b.foundByWww && !IsLinkScheme(work.substr(b.start, p - b.start))) {
      p = b.end;
      continue;
    }
    const std::string address = work.substr(b.start, b.end - b.start);
    Odnosnik link{RefCaption(m, address), (b.foundByWww ? "http://" : "") + address, address};
    w.Objects.push_back({"|" + std::to_string(w.Links.size()), InlineKind::Link, Clamp16(m.TextWidth(link.Caption)),
                         Clamp16(m.TextHeight(link.Caption)), 0, 0});
    w.Links.push_back(link);
    work.replace(b.start, b.end - b.start, 1, '\x01');
    p = b.start + 1;
  }

  int height = 8;
  int avail = firstWidth;
  std::size_t object = 0;
  for (std::size_t pos = 0, crlf; (crlf = work.find("\r\n", pos)) != std::string::npos; pos = crlf + 2) {
    std::string para = work.substr(pos, crlf - pos);
    bool firstOfPara = true;
    while (firstOfPara || !para.empty()) {
      firstOfPara = false;
      std::string line;
      int x = 0, lineHeight = kMinLineHeight;
      bool placed = false;
      while (!para.empty()) {
        const std::size_t s = para.find(' ');
        const std::size_t o = para.find('\x01');
        std::string piece, sep;
        bool isObject = false;
        if (o != std::string::npos && (s == std::string::npos || o < s)) {
          if (o == 0) {
            isObject = object < w.Objects.size();
            piece = "\x01";
            if (para.size() > 1 && para[1] == ' ') sep = " ";
          } else {
            piece = para.substr(0, o);
          }
        } else if (s != std::string::npos) {
          if (s == 0) piece = " ";
          else piece = para.substr(0, s), sep = " ";
        } else {
          piece = para;
        }
        bool hyphen = false;
        int width = isObject ? w.Objects[object].Width : m.TextWidth(piece);
        if (!isObject && width > avail && piece.size() > 1) {
          // The longest head that fits with its hyphen, one byte at least.
          std::size_t n = 1;
          while (n + 1 < piece.size() && x + m.TextWidth(piece.substr(0, n + 1) + kSoftHyphen) <= avail) ++n;
          piece.resize(n);
          width = m.TextWidth(piece + kSoftHyphen);
          sep.clear();
          hyphen = true;
        }
        if (x + width > avail && placed) break;
        if (isObject) {
          InlineObject& obj = w.Objects[object++];
          obj.X = Clamp16(x);
          obj.Y = height - 4;
          lineHeight = std::max<int>(lineHeight, obj.Height);
          x += width + (sep.empty() ? 0 : m.TextWidth(sep));
        } else {
          x += m.TextWidth(piece + sep + (hyphen ? std::string(1, kSoftHyphen) : std::string()));
        }
        line += piece + sep;
        if (hyphen) line += kSoftHyphen;
        para.erase(0, piece.size() + sep.size());
        placed = true;
      }
      w.Lines.push_back(line);
      height += lineHeight;
      avail = laterWidth;
    }
  }
  w.Height = height;
  return w;
}

// ---- measures and messages ----------------------------------------------

// Widths per byte drawn at random (1 to 12 pixels), and, for the second kind
// (5 to 12), a few pairs of letters set 2 pixels closer, as a font's kerning
// does: widths no longer add up piece by piece, but a longer text is never
// narrower, nor is a longer head of a word with its hyphen.
class RandomMeasure : public LayoutMeasure {
 public:
  RandomMeasure(uint32_t seed, bool kerning) : kerning_(kerning) {
    std::mt19937 rng(seed);
    for (int& w : widths_) w = kerning ? 5 + int(rng() % 8) : 1 + int(rng() % 12);
  }
  int TextWidth(const std::string& text) override {
    int width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      width += widths_[static_cast<unsigned char>(text[i])];
      if (kerning_ && i > 0 && (static_cast<unsigned char>(text[i - 1]) + static_cast<unsigned char>(text[i])) % 7 == 0)
        width -= 2;
    }
    return width;
  }
  int TextHeight(const std::string&) override { return 13; }
  int LabelWidth(const std::string& text) override { return 4 * static_cast<int>(text.size()); }
  bool PictureSize(const std::string& name, int& width, int& height) override {
    static const std::map<std::string, std::pair<int, int>> kPictures{
        {"usmiech", {18, 18}}, {"kwiatek", {20, 30}}, {"|0", {12, 40}}, {"wesoly", {300, 5}}};
    const auto it = kPictures.find(name);
    if (it == kPictures.end()) return false;
    width = it->second.first;
    height = it->second.second;
    return true;
  }

 private:
  bool kerning_;
  int widths_[256];
};

PictureExists SomePictures() {
  return [](const std::string& name) { return name == "usmiech" || name == "kwiatek" || name == "|0"; };
}

std::string Message(std::mt19937& rng) {
  static const std::vector<std::string> kPieces = {
      "a", "b", "x", "ab", "slowo", "MMM", " ", " ", " ", "  ", "\r\n", "\r", "\n", ":)", ":-)", ";)", ":P",
      ":D", "]:->", ":>", "!!", "??", "8|", ":o", ":/", ":*", ":[", ":]", ":(", ";(", ":|", "<", ">", "<usmiech>",
      "<Kwiatek>", "<|0>", "<nieznany>", "<>", "://", "www.", "http://", "https://x.pl/", "ftp://", "javascript://",
      "x://a<", "x://a>", "b>", "www.wp.pl", "http://a.pl/:)", "\x01", "\x02", "|", "/", ".", "\xAD", T("ś"), T("<Uśmiech>"), "\"",
      "&", "h", "t", "p", ":", "w"};
  std::string text;
  const int count = int(rng() % 40);
  for (int i = 0; i < count; ++i) {
    const unsigned r = rng() % 100;
    if (r < 4) {
      text += std::string(20 + rng() % 150, char('a' + rng() % 26));  // a word longer than a line
    } else if (r < 6) {
      text += "http://example.com/" + std::string(rng() % 120, 'q');  // a caption to shorten
    } else {
      text += kPieces[rng() % kPieces.size()];
    }
  }
  return text;
}

std::string Shown(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) out += char(c);
    else out += "\\x" + std::string(1, "0123456789abcdef"[c >> 4]) + "0123456789abcdef"[c & 15];
  }
  return out;
}

void ExpectSameEntry(const Wiersz& got, const Wiersz& want) {
  EXPECT_EQ(got.TimeLabel, want.TimeLabel);
  EXPECT_EQ(got.Lines, want.Lines);
  EXPECT_EQ(got.Height, want.Height);
  ASSERT_EQ(got.Objects.size(), want.Objects.size());
  for (std::size_t i = 0; i < got.Objects.size(); ++i) {
    const InlineObject &g = got.Objects[i], &r = want.Objects[i];
    EXPECT_TRUE(g.Name == r.Name && g.Kind == r.Kind && g.Width == r.Width && g.Height == r.Height &&
                g.X == r.X && g.Y == r.Y)
        << "object " << i << ": " << g.Name << " " << int(g.Kind) << " " << g.Width << "x" << g.Height << " at "
        << g.X << "," << g.Y << ", wanted " << r.Name << " " << int(r.Kind) << " " << r.Width << "x" << r.Height
        << " at " << r.X << "," << r.Y;
  }
  ASSERT_EQ(got.Links.size(), want.Links.size());
  for (std::size_t i = 0; i < got.Links.size(); ++i) {
    EXPECT_EQ(got.Links[i].Caption, want.Links[i].Caption);
    EXPECT_EQ(got.Links[i].Url, want.Links[i].Url);
  }
}

}  // namespace

TEST(TextDifferential, ArchiveConversionMatchesTheReference) {
  std::mt19937 rng(20261208);
  const PictureExists pictures = SomePictures();
  for (int i = 0; i < 5000; ++i) {
    const std::string text = Message(rng);
    SCOPED_TRACE(Shown(text));
    std::string html = text;
    MessageToHtml(html, pictures);
    ASSERT_EQ(html, RefMessageToHtml(text, pictures));
  }
}

// A conversation laid out at one width, then at others, and again after the
// date moved on: each time every entry as the reference lays it out alone.
TEST(TextDifferential, LayoutMatchesTheReferenceAtEveryWidth) {
  for (const bool kerning : {false, true}) {
    SCOPED_TRACE(kerning ? "kerning" : "widths per byte");
    std::mt19937 rng(kerning ? 7 : 8);
    RandomMeasure measure(kerning ? 17 : 18, kerning);
    int32_t today = DayNumber(2026, 12, 8);
    ConversationLayout view(measure, [&] { return today; }, [](int64_t t) { return t; });
    view.SetTextAreaWidth(284);
    std::vector<std::string> texts;
    for (int i = 0; i < 2000; ++i) {
      texts.push_back(Message(rng));
      const uint32_t time = kNoon - (i % 3) * 86400;
      view.AddMessage(texts.back(), time, uint8_t(i % 4));
      SCOPED_TRACE(Shown(texts.back()));
      ExpectSameEntry(view.Messages().back(), RefLayout(measure, texts.back(), time, uint8_t(i % 4), 284, today));
      if (HasFatalFailure()) return;
    }
    for (const int width : {100, 0, 8, 1000, 30, 284, 61}) {
      if (width == 61) {
        // Today's messages become yesterday's: their labels grow a date,
        // which leaves less room on the first line.
        ++today;
        for (std::size_t i = 0; i < texts.size(); i += 2) {
          view.LayoutMessage(i);
          const Wiersz& got = view.Messages()[i];
          SCOPED_TRACE("next day: " + Shown(texts[i]));
          ExpectSameEntry(got, RefLayout(measure, texts[i], got.Time, got.Kind, 284, today));
          if (HasFatalFailure()) return;
        }
      }
      view.SetTextAreaWidth(width);
      int64_t total = 0;
      for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE("width " + std::to_string(width) + ": " + Shown(texts[i]));
        const Wiersz& got = view.Messages()[i];
        ExpectSameEntry(got, RefLayout(measure, texts[i], got.Time, got.Kind, width, today));
        total += got.Height;
        ASSERT_EQ(view.Ends()[i], total);
        if (HasFatalFailure()) return;
      }
      EXPECT_EQ(view.TotalHeight(), total);
    }
  }
}

// Shorthand replacement alone, and the scan on hostile shapes built of what
// the generator draws from, each thousands of bytes long.
TEST(TextDifferential, LongRunsMatchTheReference) {
  const std::string units[] = {":)", "x://a<", "a>b://c", "www.", ":/:/", "]:->", "<<usmiech>", "http://a<b",
                               "ab://", "<a\r>", ":-):)", "x://a>http://b<"};
  const PictureExists pictures = SomePictures();
  for (const std::string& unit : units) {
    std::string text;
    while (text.size() < 6000) text += unit;
    SCOPED_TRACE(unit);
    std::string replaced = text, ref = text;
    ReplaceShorthands(replaced);
    RefReplaceShorthands(ref);
    EXPECT_EQ(replaced, ref);
    std::string html = text;
    MessageToHtml(html, pictures);
    EXPECT_EQ(html, RefMessageToHtml(text, pictures));
  }
}

// Words longer than the layout measures whole when a message is added, and
// wider than 16 bits of pixels, cut line by line as the reference cuts them.
TEST(TextDifferential, WordsBeyondWhatIsMeasuredWhole) {
  class Wide : public RandomMeasure {
   public:
    Wide() : RandomMeasure(5, false) {}
    int TextWidth(const std::string& text) override { return 50 * static_cast<int>(text.size()); }
  } measure;
  ConversationLayout view(measure, [] { return 0; }, [](int64_t t) { return t; });
  // 1,400 bytes of 50 pixels: 70,000 pixels.
  const std::string text = std::string(1400, 'M') + " :) " + std::string(1100, 'a') + "\xAD" + std::string(30, 'b') +
                           "\r\n" + std::string(2000, 'c');
  for (const int width : {400, 37, 0, 3000, 68000, 200000}) {
    view.SetTextAreaWidth(width);
    if (view.Messages().empty()) view.AddMessage(text, 0, Received);
    SCOPED_TRACE(width);
    ExpectSameEntry(view.Messages()[0], RefLayout(measure, text, 0, Received, width, 0));
  }
}
