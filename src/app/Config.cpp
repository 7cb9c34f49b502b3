#include "app/Config.h"

#include <QFile>
#include <climits>
#include <cstdint>

#include "platform/SafeSave.h"

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void ApplyLine(std::string_view line, Config& config) {
  if (line.empty() || line[0] == ';') return;
  const size_t eq = line.find('=');
  if (eq == std::string_view::npos) return;  // an empty key matches nothing
  std::string_view key = line.substr(0, eq);
  while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
  std::string_view valueText = line.substr(eq + 1);
  while (!valueText.empty() && IsBlank(valueText.front())) valueText.remove_prefix(1);

  const std::string k = Lower(key);
  const int value = ConfigValue(valueText);
  if (k == "lewy") {
    if (value >= 0) config.lewy = value;
  } else if (k == "gorny") {
    if (value >= 0) config.gorny = value;
  } else if (k == "szerokosc") {
    if (value >= 0) config.szerokosc = value;
  } else if (k == "wysokosc") {
    if (value >= 0) config.wysokosc = value;
  } else if (k == "autowolit") {
    config.autowolit = value == 1;
  } else if (k == "serwer") {
    while (!valueText.empty() && IsBlank(valueText.back())) valueText.remove_suffix(1);
    config.serwer = valueText.empty() ? Config::kDefaultServer : std::string(valueText);
  } else if (k == "protokol") {
    while (!valueText.empty() && IsBlank(valueText.back())) valueText.remove_suffix(1);
    config.protokol = Lower(valueText) == "gg8" ? Protocol::kGG8 : Protocol::k2005;
  }
}

}  // namespace

int ConfigValue(std::string_view text) {
  // from_chars takes its own "-", so a "+" stripped in front of it would let
  // "+-5" through: the sign and the digits are read here instead.
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty()) return -1;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
    if (value > int64_t{INT_MAX} + 1) return -1;  // beyond int either way
  }
  if (negative) value = -value;
  return value >= INT_MIN && value <= INT_MAX ? int(value) : -1;
}

void ApplyConfigText(std::string_view text, Config& config) {
  while (!text.empty()) {
    const size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ApplyLine(line, config);
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
}

std::string FormatConfig(const Config& c) {
  std::string out = "; Plik konfiguracji programu Wirmelak\r\n\r\n";
  out += "lewy = " + std::to_string(c.lewy) + "\r\n";
  out += "gorny = " + std::to_string(c.gorny) + "\r\n";
  out += "szerokosc = " + std::to_string(c.szerokosc) + "\r\n";
  out += "wysokosc = " + std::to_string(c.wysokosc) + "\r\n";
  out += std::string("autowolit = ") + (c.autowolit ? "1" : "0") + "\r\n";
  if (c.serwer != Config::kDefaultServer) out += "serwer = " + c.serwer + "\r\n";
  if (c.protokol == Protocol::kGG8) out += "protokol = GG8\r\n";
  return out;
}

bool LoadConfig(const std::string& path, Config& config) {
  QFile file(QString::fromLocal8Bit(path.c_str()));
  if (!file.exists()) return true;
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QByteArray data = file.readAll();
  config.protokol = Protocol::k2005;
  ApplyConfigText(std::string_view(data.constData(), static_cast<size_t>(data.size())), config);
  return true;
}

bool SaveConfig(const std::string& path, const Config& config) {
  return SaveFileSafely(QString::fromLocal8Bit(path.c_str()), FormatConfig(config));
}
