#include "platform/TextFitter.h"

#include <gtest/gtest.h>

#include <QString>

#include "platform/Cp1250.h"

namespace {

std::u32string U(const char* utf8) { return QString::fromUtf8(utf8).toStdU32String(); }
std::string Utf8(const std::u32string& s) {
  return QString::fromUcs4(s.data(), qsizetype(s.size())).toUtf8().toStdString();
}
std::vector<std::string> Refused(const TextFitter::Result& r) {
  std::vector<std::string> out;
  for (const auto& s : r.refused) out.push_back(Utf8(s));
  return out;
}

}  // namespace

// One pasted text of every kind: the code page's own characters (its
// typographic ones included) stay, the rest becomes its plain form, drops
// out unseen, or is refused and named once.
TEST(TextFitter, KeepsPlainsDropsAndRefusesEachKindOfCharacter) {
  const TextFitter fitter(TextFitter::Forms::kPlain, {{U("🙂"), ":)"}, {U("🏴‍☠"), "<pirat>"}});
  const TextFitter::Result r = fitter.Fit(
      U("Zażółć „gęślą” jaźń – “ok” — ‘a’ … • · © € ™\r\n\t"  // Windows-1250 has them all
        "a‐b−c ′x″ →← ≠ ≤ ½ x² ﬁ Ａ１ \u2003|\u202F|"              // typographic and compatibility forms
        "è ñ å ø Æ ǖ e\u0301 "                                     // accents it lacks; a composed é
        "a\u200Db\u00AD\uFEFF\x01|"                                // joiners and controls drop, the soft hyphen stays
        "🙂\uFE0F 🏴‍☠️ Привет 👍🏽 🇵🇱 日本 Ж ≮ 🙂"));
  EXPECT_EQ(cp1250::toUtf8(r.text),
            "Zażółć „gęślą” jaźń – “ok” — ‘a’ … • · © € ™\r\n\t"
            "a-b-c 'x\" -><- != <= 1/2 x2 fi A1  | |"
            "e n a o AE ü é "
            "ab\u00AD|"
            ":) <pirat>       :)");
  EXPECT_EQ(Refused(r), (std::vector<std::string>{"П", "р", "и", "в", "е", "т", "👍🏽", "🇵🇱", "日", "本", "Ж", "≮"}));
}

// A password must reach the server as typed: nothing stands in for what the
// code page lacks, and what is refused is still named to the caller.
TEST(TextFitter, ExactFormsTakeOnlyTheCodePage) {
  const TextFitter exact(TextFitter::Forms::kExact);
  const TextFitter::Result r = exact.Fit(U("hasło–1 → è\u200Dx Ж"));
  EXPECT_EQ(cp1250::toUtf8(r.text), "hasło–1  x ");
  EXPECT_EQ(Refused(r), (std::vector<std::string>{"→", "è", "Ж"}));
  // Text that fits is left exactly as it was.
  const std::string all = [] {
    std::string s = "\t\r\n";
    for (int b = 0x20; b < 0x100; ++b)
      if (b != 0x7F && b != 0x81 && b != 0x83 && b != 0x88 && b != 0x90 && b != 0x98) s += char(b);
    return s;
  }();
  const std::u32string unicode = QString::fromUtf8(cp1250::toUtf8(all)).toStdU32String();
  EXPECT_EQ(exact.Fit(unicode).text, all);
  EXPECT_EQ(TextFitter().Fit(unicode).text, all);
  EXPECT_TRUE(TextFitter().Fit(unicode).refused.empty());
}
