// The configuration file: a file of any bytes loads, writes and loads again
// to the same settings, and writing those gives the same file. Every value
// the file holds is also read against a plain reading of the promise: a
// whole decimal number with one optional sign, else -1.

#include <QFile>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "FuzzFolder.h"
#include "app/Config.h"

namespace {

int ReferenceValue(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return -1;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
    if (value > int64_t(1) << 32) return -1;
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return -1;
  return int(value);
}

const std::string& ConfigPath() {
  static FuzzFolder folder;
  static const std::string path = (folder.Path() + "/" + Config::kFileName).toStdString();
  return path;
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  QFile f(QString::fromStdString(path));
  FUZZ_REQUIRE(f.open(QIODevice::WriteOnly), "cannot write the test file");
  f.write(bytes.data(), qint64(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // The text after each "=" as a value (the parser skips blanks after it).
  for (size_t eq = input.find('='); eq != std::string_view::npos; eq = input.find('=', eq + 1)) {
    std::string_view value = input.substr(eq + 1);
    value = value.substr(0, value.find_first_of("\r\n"));
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    FUZZ_REQUIRE(ConfigValue(value) == ReferenceValue(value), "ConfigValue breaks its promise");
  }

  const std::string& path = ConfigPath();
  WriteBytes(path, input);
  Config loaded;
  FUZZ_REQUIRE(LoadConfig(path, loaded), "an existing file could not be read");
  FUZZ_REQUIRE(SaveConfig(path, loaded), "the settings could not be written");
  Config again;
  FUZZ_REQUIRE(LoadConfig(path, again), "the written file could not be read");
  FUZZ_REQUIRE(again == loaded, "load, write, load changed the settings");
  FUZZ_REQUIRE(FormatConfig(again) == FormatConfig(loaded), "the same settings wrote another file");
  return 0;
}
