// What the user types or pastes, fitted to the code page the network
// carries, with and without the plain forms and with the emoji that go as
// emoticons. Whatever the characters, the fitted text holds no control other
// than the line breaks and the tab (the archive marks its lines with two of
// them) and no byte the code page leaves undefined; fitting it again changes
// nothing; what was left out is named once, and none of it is something the
// code page could have carried.
//
// Each three bytes of the input make one character, surrogates and the
// unassigned included, steered now and then towards the emoji, the joiners,
// the marks and the selectors where the fitter's rules live.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "conversation/EmojiEmoticons.h"
#include "platform/Cp1250.h"
#include "platform/TextFitter.h"

namespace {

std::u32string Characters(FuzzedDataProvider& in) {
  static constexpr char32_t kNear[] = {0x1F600, 0x200D, 0x0301, 0xFE0F, 0x1F3FB, 0x1F1E6, 0xE0061, 0x2764, 0x0065};
  std::u32string text;
  while (in.remaining_bytes() >= 3) {
    const uint8_t how = in.ConsumeIntegral<uint8_t>();
    const uint16_t value = in.ConsumeIntegral<uint16_t>();
    if (how < 96)
      text += static_cast<char32_t>((uint32_t(how) << 16 | value) % 0x110000);
    else
      text += kNear[how % std::size(kNear)] + value % 32;
  }
  return text;
}

void Check(const TextFitter& fitter, const std::u32string& text) {
  const TextFitter::Result r = fitter.Fit(text);
  std::u32string back;
  for (unsigned char b : r.text) {
    FUZZ_REQUIRE(b >= 0x20 || b == '\t' || b == '\n' || b == '\r', "a control character in the fitted text");
    FUZZ_REQUIRE(b != 0x81 && b != 0x83 && b != 0x88 && b != 0x90 && b != 0x98, "a byte the code page leaves undefined");
    back += cp1250::toUnicode(b);
  }
  const TextFitter::Result again = fitter.Fit(back);
  FUZZ_REQUIRE(again.text == r.text, "fitting the fitted text changed it");
  FUZZ_REQUIRE(again.refused.empty(), "the fitted text had something left out");
  for (size_t i = 0; i < r.refused.size(); ++i) {
    const std::u32string& what = r.refused[i];
    FUZZ_REQUIRE(!what.empty(), "an empty piece named as left out");
    FUZZ_REQUIRE(what[0] == U'?' || cp1250::fromUnicode(what[0]) == '?', "the code page's own character left out");
    FUZZ_REQUIRE(std::count(r.refused.begin(), r.refused.end(), what) == 1, "a piece named twice as left out");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TextFitter exact(TextFitter::Forms::kExact);
  static const TextFitter plain(TextFitter::Forms::kPlain);
  static const TextFitter emoticons(TextFitter::Forms::kPlain, EmojiAsShorthands());
  FuzzedDataProvider in(data, size);
  const std::u32string text = Characters(in);
  Check(exact, text);
  Check(plain, text);
  Check(emoticons, text);
  return 0;
}
