#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

#include "conversation/EmojiEmoticons.h"
#include "conversation/Emoticons.h"
#include "conversation/MessageText.h"
#include "platform/Cp1250.h"

namespace {

PictureExists Pictures(std::set<std::string> names) {
  return [names = std::move(names)](const std::string& n) { return names.count(n) > 0; };
}
PictureExists NoPictures() { return Pictures({}); }
PictureExists EveryPicture() {
  return [](const std::string&) { return true; };
}

std::string Html(std::string text, const PictureExists& exists) {
  MessageToHtml(text, exists);
  return text;
}

std::string Img(const std::string& name) {
  std::string img = "<img align=bottom src=\"../ikony/";
  return img.append(name).append(".bmp\">");
}

// Every tag in the fragment must be one the conversion generates, with no
// quotation mark or angle bracket inside its attribute value.
void ExpectOnlyGeneratedMarkup(const std::string& html, const std::string& input) {
  static const std::regex kAllowed(
      R"(br|/a|a href="[^"<>]*"|img align=bottom src="\.\./ikony/[^"<>]*\.bmp")");
  std::size_t p = 0;
  while ((p = html.find('<', p)) != std::string::npos) {
    std::size_t close = html.find('>', p);
    ASSERT_NE(close, std::string::npos) << "unclosed '<' for input: " << input << "\n" << html;
    std::string tag = html.substr(p + 1, close - p - 1);
    EXPECT_TRUE(std::regex_match(tag, kAllowed))
        << "foreign markup <" << tag << "> for input: " << input << "\n" << html;
    p = close + 1;
  }
  EXPECT_EQ(html.find('\x01'), std::string::npos);
  EXPECT_EQ(html.find('\x02'), std::string::npos);
}

}  // namespace

TEST(EmoticonTable, EveryRowInsertsTextThatComesBackAsItsPicture) {
  ASSERT_EQ(kEmotikony.size(), 45u);
  EXPECT_EQ(kEmotikony.front().obrazek, "usmiech");
  EXPECT_EQ(kEmotikony.front().tekst, ":)");
  EXPECT_EQ(kEmotikony.back().obrazek, "strzalka");
  EXPECT_EQ(kEmotikony.back().tekst, "<strzalka>");
  std::set<std::string_view> names;
  for (const Emotikon& e : kEmotikony) {
    names.insert(e.obrazek);
    std::string token = "<";
    token.append(e.obrazek).append(">");
    if (e.tekst.front() == '<') {
      EXPECT_EQ(e.tekst, token);
    } else {
      std::string text(e.tekst);
      ReplaceShorthands(text);
      EXPECT_EQ(text, token) << e.obrazek;
    }
    // What the picker inserts becomes the picture in the archive.
    EXPECT_EQ(Html(std::string(e.tekst), Pictures({std::string(e.obrazek)})),
              Img(std::string(e.obrazek)));
  }
  EXPECT_EQ(names.size(), 45u);
}

TEST(MessageToHtml, ShorthandsBecomePicturesOnlyWhenTheFileExists) {
  EXPECT_EQ(Html(":)", Pictures({"usmiech"})), Img("usmiech"));
  EXPECT_EQ(Html(":)", NoPictures()), "&lt;usmiech&gt;");
  EXPECT_EQ(Html(":-)", Pictures({"usmiech"})), "&lt;wesoly&gt;");
  EXPECT_EQ(Html("]:->", NoPictures()), "&lt;diabelek&gt;");
  EXPECT_EQ(Html(":>", NoPictures()), "&lt;chytry&gt;");
  // Exact, case-sensitive comparison.
  EXPECT_EQ(Html(":p :O", EveryPicture()), ":p :O");
  EXPECT_EQ(Html("", EveryPicture()), "");
  EXPECT_EQ(Html("a:)b:(c", Pictures({"usmiech", "smutny"})),
            std::string("a") + Img("usmiech") + "b" + Img("smutny") + "c");
}

TEST(MessageToHtml, TagNamesAreNormalisedBeforeTheFileTest) {
  EXPECT_EQ(Html(T("<Uśmiech>"), Pictures({"usmiech"})), Img("usmiech"));
  EXPECT_EQ(Html("<u.s/m:i?e\\ch>", Pictures({"usmiech"})), Img("usmiech"));
  EXPECT_EQ(NormalisePictureName(T("ŚŹŁĄŻĆĘŃ")), "szlazcen");
  EXPECT_EQ(NormalisePictureName(T("Ó")), T("ó"));
  EXPECT_EQ(Html("<>", EveryPicture()), "&lt;&gt;");
  EXPECT_EQ(Html("<./:?>", EveryPicture()), "&lt;./:?&gt;");
  // A "<" never closed, and one followed by another tag first.
  EXPECT_EQ(Html("<b and more", EveryPicture()), "&lt;b and more");
  EXPECT_EQ(Html("<a <kot>", Pictures({"kot"})), std::string("&lt;a ") + Img("kot"));
  // A CR ends the search for ">", an LF does not.
  EXPECT_EQ(Html("<ko\rt>", EveryPicture()), "&lt;ko\rt&gt;");
  EXPECT_EQ(Html("<ko\nt>", EveryPicture()), Img("ko\nt"));
  EXPECT_EQ(Html("<b>bold</b>", NoPictures()), "&lt;b&gt;bold&lt;/b&gt;");
}

TEST(MessageToHtml, LineBreaksAndPlainText) {
  EXPECT_EQ(Html("a\r\nb", NoPictures()), "a<br>b");
  EXPECT_EQ(Html("a\rb\nc", NoPictures()), "a\rb\nc");
  EXPECT_EQ(Html("a\r\r\nb", NoPictures()), "a\r<br>b");
  EXPECT_EQ(Html("Tom & \"Jerry\" 'x'", NoPictures()), "Tom & \"Jerry\" 'x'");
}

TEST(MessageToHtml, AddressesBecomeLinks) {
  EXPECT_EQ(Html("see http://wp.pl/a?b=1&c=2 now", NoPictures()),
            "see <a href=\"http://wp.pl/a?b=1&c=2\">http://wp.pl/a?b=1&c=2</a> now");
  EXPECT_EQ(Html("www.wp.pl", NoPictures()), "<a href=\"http://www.wp.pl\">www.wp.pl</a>");
  EXPECT_EQ(Html("HTTPS://X.PL\r\nftp://f.pl", NoPictures()),
            "<a href=\"HTTPS://X.PL\">HTTPS://X.PL</a><br><a href=\"ftp://f.pl\">ftp://f.pl</a>");
  // A smile glued to the address belongs to it; one after the space does not.
  EXPECT_EQ(Html("http://x.pl/:) :)", Pictures({"usmiech"})),
            std::string("<a href=\"http://x.pl/:)\">http://x.pl/:)</a> ") + Img("usmiech"));
  // The address starts after ">", and ends before "<".
  EXPECT_EQ(Html("a>http://x.pl<kot>", Pictures({"kot"})),
            std::string("a&gt;<a href=\"http://x.pl\">http://x.pl</a>") + Img("kot"));
  EXPECT_EQ(Html(":)http://x.pl", Pictures({"usmiech"})),
            Img("usmiech") + "<a href=\"http://x.pl\">http://x.pl</a>");
}

TEST(MessageToHtml, AddressBoundsIncludeLettersGluedBeforeTheScheme) {
  std::string text = "go abchttp://x.pl/y z";
  AddressBounds b;
  ASSERT_TRUE(FindAddress(text, text.find("://"), b));
  EXPECT_EQ(text.substr(b.start, b.end - b.start), "abchttp://x.pl/y");
  EXPECT_FALSE(b.foundByWww);
  // "abchttp" is no scheme a link may have.
  EXPECT_EQ(Html(text, NoPictures()), text);
}

TEST(MessageToHtml, OtherSchemesStayText) {
  EXPECT_EQ(Html("javascript://%0aalert(1)", NoPictures()), "javascript://%0aalert(1)");
  EXPECT_EQ(Html("JavaScript://x", NoPictures()), "JavaScript://x");
  EXPECT_EQ(Html("file:///etc/passwd", NoPictures()), "file:///etc/passwd");
  EXPECT_EQ(Html("data://<b>", NoPictures()), "data://&lt;b&gt;");
  // The whole refused address is text: a "www." inside it makes no link.
  EXPECT_EQ(Html("javascript://www.x.pl/", NoPictures()), "javascript://www.x.pl/");
  EXPECT_EQ(Html("javascript:alert(1)", NoPictures()), "javascript:alert(1)");
  EXPECT_EQ(Html("://x", NoPictures()), "://x");
}

TEST(MessageToHtml, AddressesCannotBreakOutOfTheAnchor) {
  EXPECT_EQ(Html("http://x\"onmouseover=\"alert(1)", NoPictures()),
            "<a href=\"http://x&quot;onmouseover=&quot;alert(1)\">"
            "http://x&quot;onmouseover=&quot;alert(1)</a>");
  EXPECT_EQ(Html("http://x/\"><script>alert(1)</script>", NoPictures()),
            "<a href=\"http://x/&quot;&gt;\">http://x/&quot;&gt;</a>"
            "&lt;script&gt;alert(1)&lt;/script&gt;");
  EXPECT_EQ(Html("x<y http://a.pl", NoPictures()), "x&lt;y <a href=\"http://a.pl\">http://a.pl</a>");
}

TEST(MessageToHtml, MarkerBytesFromTheSenderAreDropped) {
  EXPECT_EQ(Html("\x01script\x02" "alert(1)\x01/script\x02", NoPictures()), "scriptalert(1)/script");
  EXPECT_EQ(Html("\x01img src=x onerror=alert(1)\x02", EveryPicture()),
            "img src=x onerror=alert(1)");
}

TEST(MessageToHtml, PictureNamesCannotBreakOutOfTheImage) {
  EXPECT_EQ(Html("<a\" onerror=\"alert(1)>", EveryPicture()),
            Img("a&quot; onerror=&quot;alert(1)"));
  EXPECT_EQ(Html("<img src=x onerror=alert(1)>", NoPictures()),
            "&lt;img src=x onerror=alert(1)&gt;");
}

TEST(MessageToHtml, HostileInputsProduceOnlyGeneratedMarkup) {
  const std::string inputs[] = {
      "<script>alert(1)</script>",
      "<SCRIPT SRC=http://evil/x.js></SCRIPT>",
      "<img src=x onerror=alert(1)>",
      "<a href=\"javascript:alert(1)\">klik</a>",
      "javascript:alert(document.cookie)",
      "javascript://%0Aalert(1)",
      "http://x\"onmouseover=\"alert(1)",
      "http://x'onmouseover='alert(1)",
      "www.x.pl\"><script>alert(1)</script>",
      "http://a.pl/<script>",
      "<http://evil/\"onerror=\"x>",
      "\"><svg onload=alert(1)>",
      "\x01script\x02\x01/script\x02",
      "<<<>>>\"\"'&&",
      "<:)\">:(<:->",
      "www.\"www.\"://\"://",
      "</p></body><iframe src=//evil>",
      "<style>body{display:none}</style>",
      "<!-- ",
      "a\r\n<b\r\n>c http://x\r\n.pl\"",
  };
  for (const std::string& input : inputs) {
    ExpectOnlyGeneratedMarkup(Html(input, NoPictures()), input);
    ExpectOnlyGeneratedMarkup(Html(input, EveryPicture()), input);
  }
}

// Emoji typed or pasted into a message go as the emoticons' own text and
// come back as their pictures; a description takes only the shorthands
// everybody reads as faces.
TEST(EmojiEmoticons, EmojiGoAsTheTextOfTheirPicturesAndComeBackAsThem) {
  const auto fit = [](const std::vector<TextFitter::Replacement>& emoji, const char* utf8) {
    return TextFitter(TextFitter::Forms::kPlain, emoji).Fit(QString::fromUtf8(utf8).toStdU32String());
  };
  const TextFitter::Result message = fit(EmojiAsEmoticons(), "Hej🙂 😀😉 😛, 😢 ❤️ 😂 🐈‍⬛ 🏴‍☠️ 👍");
  EXPECT_EQ(message.text, "Hej:) :D;) :P, ;( <serce> <lol> <kot> <pirat> ");
  ASSERT_EQ(message.refused.size(), 1u);
  EXPECT_EQ(message.refused[0], U"\U0001F44D");
  EXPECT_EQ(Html(message.text, EveryPicture()),
            "Hej" + Img("usmiech") + " " + Img("szczerzy") + Img("mruga") + " " + Img("z jezorem") + ", " +
                Img("placze") + " " + Img("serce") + " " + Img("lol") + " " + Img("kot") + " " + Img("pirat") + " ");

  const TextFitter::Result opis = fit(EmojiAsShorthands(), "w pracy 🙂 😂");
  EXPECT_EQ(opis.text, "w pracy :) ");
  EXPECT_EQ(opis.refused, std::vector<std::u32string>{U"\U0001F602"});
}
