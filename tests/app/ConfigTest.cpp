#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <climits>

#include "app/Config.h"

namespace {
Config Read(const std::string& text) {
  Config c;
  c.lewy = c.gorny = c.szerokosc = c.wysokosc = 7;  // the defaults before the file
  ApplyConfigText(text, c);
  return c;
}
}  // namespace

TEST(Config, ValuesAreWholeDecimalIntegers) {
  EXPECT_EQ(ConfigValue("100"), 100);
  EXPECT_EQ(ConfigValue("-20"), -20);
  EXPECT_EQ(ConfigValue("+5"), 5);
  EXPECT_EQ(ConfigValue("100 "), -1);
  EXPECT_EQ(ConfigValue("1x"), -1);
  EXPECT_EQ(ConfigValue(""), -1);
  EXPECT_EQ(ConfigValue("99999999999"), -1);
  // One sign at most, and a sign needs digits.
  for (const char* odd : {"+-5", "-+5", "++5", "--5", "+", "-", " 5", "5-", "0x10", "1e3"})
    EXPECT_EQ(ConfigValue(odd), -1) << odd;
  // The ends of int, and one past them.
  EXPECT_EQ(ConfigValue("2147483647"), 2147483647);
  EXPECT_EQ(ConfigValue("-2147483648"), INT_MIN);
  EXPECT_EQ(ConfigValue("2147483648"), -1);
  EXPECT_EQ(ConfigValue("-2147483649"), -1);
  EXPECT_EQ(ConfigValue("-007"), -7);
}

TEST(Config, KeysAndBlanks) {
  EXPECT_EQ(Read("lewy = 100\r\n").lewy, 100);
  EXPECT_EQ(Read("lewy=100\r\n").lewy, 100);
  EXPECT_EQ(Read("LEWY   =   100\r\n").lewy, 100);  // capitals count
  EXPECT_EQ(Read("lewy = 100 \r\n").lewy, 7);       // a blank after the digits
  EXPECT_EQ(Read(" lewy = 100\r\n").lewy, 7);       // a blank before the key
  EXPECT_EQ(Read("lewy = -5\r\n").lewy, 7);         // a negative edge is ignored
  EXPECT_EQ(Read("szerokosc = 0\r\n").szerokosc, 0);  // zero is applied
  EXPECT_EQ(Read("; lewy = 100\r\n").lewy, 7);
  EXPECT_EQ(Read("x; lewy = 100\r\nlewy = 3").lewy, 3);  // later lines win; LF or none
  EXPECT_EQ(Read("lewy 100\r\n= 5\r\n").lewy, 7);       // no key matches
}

TEST(Config, AutoConnectIsOnExactlyForOne) {
  EXPECT_TRUE(Read("").autowolit);
  EXPECT_TRUE(Read("autowolit = 1").autowolit);
  EXPECT_FALSE(Read("autowolit = 2").autowolit);
  EXPECT_FALSE(Read("autowolit = 0").autowolit);
  EXPECT_FALSE(Read("autowolit = tak").autowolit);
}

TEST(Config, ServerKey) {
  EXPECT_EQ(Read("").serwer, "appmsg.gadu-gadu.pl");
  EXPECT_EQ(Read("serwer = 127.0.0.1:5000 \r\n").serwer, "127.0.0.1:5000");
  EXPECT_EQ(Read("Serwer =\r\n").serwer, "appmsg.gadu-gadu.pl");
}

TEST(Config, WrittenAsSevenLinesAndReadBack) {
  Config c;
  c.protokol = Protocol::k2005;  // the file as the 2005 session writes it
  c.lewy = -30;
  c.gorny = 12;
  c.szerokosc = 250;
  c.wysokosc = 550;
  c.autowolit = false;
  c.protokol = Protocol::k2005;  // the 2005 session's file stays as it was
  EXPECT_EQ(FormatConfig(c),
            "; Plik konfiguracji programu Wirmelak\r\n\r\nlewy = -30\r\ngorny = 12\r\n"
            "szerokosc = 250\r\nwysokosc = 550\r\nautowolit = 0\r\n");
  c.serwer = "localhost:8080";
  c.protokol = Protocol::kGG8;
  const std::string withServer = FormatConfig(c);
  EXPECT_EQ(withServer.substr(withServer.find("autowolit")),
            "autowolit = 0\r\nserwer = localhost:8080\r\nprotokol = GG8\r\n");

  QTemporaryDir dir;
  const std::string path = dir.filePath("Wirmelak.ini").toStdString();
  ASSERT_TRUE(SaveConfig(path, c));
  Config back;
  back.lewy = 999;
  ASSERT_TRUE(LoadConfig(path, back));
  EXPECT_EQ(back.lewy, 999);  // the negative edge written is not applied again
  back.lewy = c.lewy;
  EXPECT_EQ(back, c);
}

TEST(Config, MissingFileKeepsDefaultsAndAFailedWriteIsReported) {
  QTemporaryDir dir;
  Config c;
  c.lewy = 5;
  ASSERT_TRUE(LoadConfig(dir.filePath("none.ini").toStdString(), c));
  EXPECT_EQ(c.lewy, 5);
  EXPECT_EQ(c.protokol, Protocol::kGG8);  // a first start takes today's network
  // A file of the 2005 session has no such line, and keeps its session.
  const std::string old = dir.filePath("old.ini").toStdString();
  ASSERT_TRUE(SaveConfig(old, Config{.protokol = Protocol::k2005}));
  ASSERT_TRUE(LoadConfig(old, c));
  EXPECT_EQ(c.protokol, Protocol::k2005);
  EXPECT_FALSE(SaveConfig(dir.filePath("no/such/folder/Wirmelak.ini").toStdString(), c));
}
