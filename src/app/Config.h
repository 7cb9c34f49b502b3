#pragma once
// "Wirmelak.ini": what belongs to the installation rather than to an
// identity. One "key = value" per line, CR LF line ends, Windows-1250.

#include <string>
#include <string_view>

#include "protocol/ConnectionManager.h"

struct Config {
  static constexpr const char* kFileName = "Wirmelak.ini";
  static constexpr const char* kDefaultServer = "appmsg.gadu-gadu.pl";

  int lewy = 0;        // left edge of the main window
  int gorny = 0;       // top edge
  int szerokosc = 0;   // client width
  int wysokosc = 0;    // client height
  bool autowolit = true;
  std::string serwer = kDefaultServer;  // host or host:port of the server lookup
  // Which session the program speaks. A first start (no file) takes today's
  // network; a file without the line keeps the 2005 session it was made for.
  Protocol protokol = Protocol::kGG8;

  bool operator==(const Config&) const = default;
};

// A whole decimal integer with one optional sign that fits an int, else -1
// (trailing blanks and other characters included, a lone sign, empty text).
int ConfigValue(std::string_view text);

// Applies the lines of a file onto config: geometry values of 0 or more are
// taken, negative ones ignored; autowolit is on exactly for 1; later lines win.
void ApplyConfigText(std::string_view text, Config& config);

// The file as written: seven lines, an eighth for a server other than the
// default, and after it "protokol = GG8" for today's network.
std::string FormatConfig(const Config& config);

// Reads path onto config; a missing file leaves it as it is, an existing one
// starts from the 2005 session. False when the
// file exists but cannot be read.
bool LoadConfig(const std::string& path, Config& config);

// Writes a temporary file, flushed, and renames it over path, so a failed
// write, a crash or a kill never destroys the previous file. False on failure.
bool SaveConfig(const std::string& path, const Config& config);
