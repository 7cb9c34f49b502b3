#include "app/IdentityFile.h"

#include <algorithm>

namespace identity_file {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  size_t Left() const { return bytes_.size() - pos_; }
  bool Word(uint32_t& out) {
    if (Left() < 4) return false;
    const auto* b = reinterpret_cast<const uint8_t*>(bytes_.data() + pos_);
    out = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    pos_ += 4;
    return true;
  }
  bool Bytes(size_t n, std::string_view& out) {
    if (Left() < n) return false;
    out = bytes_.substr(pos_, n);
    pos_ += n;
    return true;
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

uint32_t Le32(std::string_view b) {
  const auto* p = reinterpret_cast<const uint8_t*>(b.data());
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutWord(std::string& out, uint32_t w) {
  out += static_cast<char>(w & 0xFF);
  out += static_cast<char>((w >> 8) & 0xFF);
  out += static_cast<char>((w >> 16) & 0xFF);
  out += static_cast<char>((w >> 24) & 0xFF);
}

uint32_t Tag(uint8_t kind, size_t length) {
  return 0x80000000u | uint32_t(kind) << 8 | uint32_t(length & 0xFF);
}

}  // namespace

std::optional<Content> Parse(std::string_view bytes) {
  Reader in(bytes);
  Content c;
  uint32_t word = 0;
  for (;;) {
    if (!in.Word(word)) return std::nullopt;
    if ((word & 0x80000000u) == 0) break;
    const uint8_t kind = static_cast<uint8_t>(word >> 8);
    std::string_view payload;
    if (!in.Bytes(word & 0xFF, payload)) return std::nullopt;
    if (kind == kOpis) {
      c.opis = std::string(payload);
      continue;
    }
    if (payload.size() < 4) continue;
    const uint32_t colour = Le32(payload);
    switch (kind) {
      case kTlo: c.tlo = colour; break;
      case kTekst: c.tekst = colour; break;
      case kOpisKolor: c.opisKolor = colour; break;
      case kKomunikat: c.komunikat = colour; break;
      case kCzas: c.czas = colour; break;
      case kOdebrane: c.odebrane = colour; break;
      case kWyslane: c.wyslane = colour; break;
      default: break;
    }
  }
  if (word == 0) return std::nullopt;
  c.numer = word;
  std::string_view block;
  if (!in.Bytes(kBlokHasla, block)) return std::nullopt;
  c.blokHasla = std::string(block);
  if (in.Left() % TKontakt::kRozmiar != 0) return std::nullopt;
  c.kontakty.reserve(in.Left() / TKontakt::kRozmiar);
  std::string_view record;
  while (in.Bytes(TKontakt::kRozmiar, record)) c.kontakty.push_back(TKontakt::Parse(record));
  return c;
}

std::string Build(const std::string& opis, const ColourScheme& kolory, uint32_t numer,
                  const std::string& blokHasla, const std::vector<TKontakt>& kontakty) {
  std::string out;
  out.reserve(64 + opis.size() + kBlokHasla + kontakty.size() * TKontakt::kRozmiar);
  if (!opis.empty()) {
    const size_t len = std::min<size_t>(opis.size(), 255);
    PutWord(out, Tag(kOpis, len));
    out.append(opis, 0, len);
  }
  const std::pair<Kind, uint32_t> colours[] = {
      {kTlo, kolory.tlo},          {kTekst, kolory.tekst}, {kOpisKolor, kolory.opis},
      {kKomunikat, kolory.komunikat}, {kCzas, kolory.czas},   {kOdebrane, kolory.odebrane},
      {kWyslane, kolory.wyslane},
  };
  for (const auto& [kind, value] : colours) {
    PutWord(out, Tag(kind, 4));
    PutWord(out, value);
  }
  PutWord(out, numer);
  std::string block = blokHasla;
  block.resize(kBlokHasla, '0');
  out += block;
  for (const TKontakt& k : kontakty) {
    const auto bytes = k.Serialise();
    out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  return out;
}

void ApplyColours(const Content& c, ColourScheme& kolory) {
  if (c.tlo) kolory.tlo = *c.tlo;
  if (c.tekst) kolory.tekst = *c.tekst;
  if (c.opisKolor) kolory.opis = *c.opisKolor;
  if (c.komunikat) kolory.komunikat = *c.komunikat;
  if (c.czas) kolory.czas = *c.czas;
  if (c.odebrane) kolory.odebrane = *c.odebrane;
  if (c.wyslane) kolory.wyslane = *c.wyslane;
}

}  // namespace identity_file
