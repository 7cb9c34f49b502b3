#include <gtest/gtest.h>
#include <iconv.h>

#include "platform/Cp1250.h"

namespace {

// glibc's converter is the independent reference: it knows the code page
// without our table.
struct Iconv {
  iconv_t cd = iconv_open("UTF-32LE", "CP1250");
  ~Iconv() { iconv_close(cd); }
  // The character of one byte, or -1 where glibc has none.
  long charOf(unsigned char b) {
    char in[1] = {static_cast<char>(b)};
    char out[8];
    char* ip = in;
    char* op = out;
    size_t il = 1, ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1)) return -1;
    EXPECT_EQ(ol, sizeof out - 4);
    return static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8 |
           static_cast<unsigned char>(out[2]) << 16 | static_cast<unsigned char>(out[3]) << 24;
  }
};

}  // namespace

TEST(Cp1250, EveryByteMatchesIconvAndRoundTrips) {
  Iconv ref;
  ASSERT_NE(ref.cd, reinterpret_cast<iconv_t>(-1));
  int undefined = 0;
  for (int b = 0; b < 256; ++b) {
    long expected = ref.charOf(static_cast<unsigned char>(b));
    char32_t got = cp1250::toUnicode(static_cast<unsigned char>(b));
    if (expected < 0) {
      // Bytes the code page leaves open keep their own value.
      EXPECT_EQ(got, char32_t(b)) << "byte " << b;
      ++undefined;
    } else {
      EXPECT_EQ(got, char32_t(expected)) << "byte " << b;
    }
    EXPECT_EQ(cp1250::fromUnicode(got), b) << "byte " << b;
  }
  EXPECT_EQ(undefined, 5);
}

TEST(Cp1250, Utf8AndQStringBothWays) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(cp1250::fromUtf8(cp1250::toUtf8(all)), all);
  EXPECT_EQ(cp1250::fromQString(cp1250::toQString(all)), all);

  const std::string polish = T("Zażółć gęślą jaźń ŁĄĘ");
  EXPECT_EQ(polish, "Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1 \xA3\xA5\xCA");
  EXPECT_EQ(cp1250::toQString(polish), QString::fromUtf8("Zażółć gęślą jaźń ŁĄĘ"));
}

TEST(Cp1250, CharactersWithoutAByteBecomeQuestionMarks) {
  EXPECT_EQ(cp1250::fromUtf8("a\xE2\x82\xAC"), "a\x80");       // euro sign exists
  EXPECT_EQ(cp1250::fromUtf8("\xE6\x97\xA5x"), "?x");           // CJK has none
  EXPECT_EQ(cp1250::fromUtf8("\xF0\x9F\x98\x80"), "?");         // emoji, 4 bytes
  EXPECT_EQ(cp1250::fromQString(QString::fromUtf8("ÿ€ńñ")), "?\x80\xF1?");
  EXPECT_EQ(cp1250::fromUtf8("\xC5"), "?");                     // cut-off sequence
  EXPECT_EQ(cp1250::fromUtf8("\x80" "a"), "?a");                 // stray continuation
}
