// The readers of today's network against what a hostile server may send:
// the status entries, a received message (its offsets and both text parts,
// the HTML reduced by the whitelist reader) and the server's contact list
// (zlib inflated under a bound). Whatever comes, the program's text that
// results must be what the rest of the program can hold: no control
// character but CR, LF and the tab, every 0x98 byte the start of a valid
// wide mark, and no mark for a character the code page has; read back as
// UTF-8 it must be valid. The HTML reader alone must give back a text
// without markup as it came, but for its line ends.
//
// Input: a selector byte, then the payload.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "platform/Cp1250.h"
#include "protocol/HtmlText.h"
#include "protocol/Packets80.h"

namespace {

void CheckProgramText(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    FUZZ_REQUIRE(c >= 0x20 || c == '\r' || c == '\n' || c == '\t', "a control character in the text");
    if (text[i] == cp1250::kWideMark) {
      const size_t n = cp1250::wideMarkLength(text, i);
      FUZZ_REQUIRE(n > 0, "a 0x98 byte that starts no wide mark");
      i += n - 1;
    }
  }
  const std::string utf8 = cp1250::toUtf8(text);
  const QString back = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  FUZZ_REQUIRE(back.toUtf8().toStdString() == utf8, "the text is no valid UTF-8 once read back");
  FUZZ_REQUIRE(cp1250::fromQStringWide(back) == text, "the text does not survive a round trip");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string payload(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 4) {
    case 0:
      for (const gg80::StatusEntry& e : gg80::ParseStatusEntries(payload)) CheckProgramText(e.description);
      break;
    case 1:
      if (const auto m = gg80::ParseReceivedMessage(payload)) {
        FUZZ_REQUIRE(payload.size() >= 24, "a message shorter than its fixed fields was read");
        CheckProgramText(m->text);
      }
      break;
    case 2:
      if (const auto r = gg80::ParseUserlistReply(payload)) {
        FUZZ_REQUIRE(r->content.size() <= (8u << 20) + 16384, "the inflated list passed its bound");
        CheckProgramText(cp1250::fromUtf8Wide(r->content));
      }
      break;
    default: {
      const std::string text = HtmlToText(payload);
      FUZZ_REQUIRE(text.size() <= payload.size() * 3 + 16, "the text grew beyond its references");
      // Without tags and references the text is the input, its line ends
      // made CR LF and the last ones dropped.
      if (payload.find_first_of("<&") == std::string::npos) {
        std::string expected;
        for (size_t i = 0; i < payload.size(); ++i) {
          if (payload[i] == '\r' || payload[i] == '\n') {
            expected += "\r\n";
            if (payload[i] == '\r' && i + 1 < payload.size() && payload[i + 1] == '\n') ++i;
          } else {
            expected += payload[i];
          }
        }
        while (expected.size() >= 2 && expected.compare(expected.size() - 2, 2, "\r\n") == 0)
          expected.resize(expected.size() - 2);
        FUZZ_REQUIRE(text == expected, "text without markup changed by the reader");
      }
      CheckProgramText(cp1250::fromUtf8Wide(text));
      break;
    }
  }
  return 0;
}
