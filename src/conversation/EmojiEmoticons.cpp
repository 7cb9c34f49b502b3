#include "conversation/EmojiEmoticons.h"

#include <string_view>

#include "conversation/Emoticons.h"

namespace {

// Emoji by the picture they look like most, by its name in the emoticon
// table. Pictures without a fitting emoji ("bokiem", "ke", "spadaj") are
// left out.
struct EmojiOf {
  std::u32string_view emoji;
  std::string_view obrazek;
};
constexpr EmojiOf kEmoji[] = {
    {U"\U0001F642", "usmiech"},    {U"\u263A", "usmiech"},       {U"\U0001F60A", "usmiech"},
    {U"\U0001F609", "mruga"},      {U"\U0001F61B", "z jezorem"}, {U"\U0001F61C", "z jezorem"},
    {U"\U0001F61D", "z jezorem"},  {U"\U0001F600", "szczerzy"},  {U"\U0001F603", "szczerzy"},
    {U"\U0001F604", "szczerzy"},   {U"\U0001F601", "szczerzy"},  {U"\U0001F602", "lol"},
    {U"\U0001F606", "lol"},        {U"\U0001F923", "rotfl"},     {U"\U0001F620", "zly"},
    {U"\U0001F621", "zly"},        {U"\U0001F641", "smutny"},    {U"\u2639", "smutny"},
    {U"\U0001F61E", "smutny"},     {U"\U0001F61F", "smutny"},    {U"\U0001F615", "kwasny"},
    {U"\U0001FAE4", "kwasny"},     {U"\U0001F610", "niewyrazny"}, {U"\U0001F611", "niewyrazny"},
    {U"\U0001F60F", "chytry"},     {U"\U0001F608", "diabelek"},  {U"\U0001F47F", "diabelek"},
    {U"\u2757", "wykrzyknik"},     {U"\u2755", "wykrzyknik"},    {U"\u203C", "wykrzyknik"},
    {U"\u2753", "pytajnik"},       {U"\u2754", "pytajnik"},      {U"\u2047", "pytajnik"},
    {U"\U0001F622", "placze"},     {U"\U0001F62D", "placze"},    {U"\U0001F915", "auu"},
    {U"\U0001F912", "chory"},      {U"\U0001F922", "chory"},     {U"\U0001F92E", "chory"},
    {U"\U0001F637", "chory"},      {U"\U0001F607", "aniolek"},   {U"\U0001F47C", "aniolek"},
    {U"\U0001F628", "boje sie"},   {U"\U0001F630", "boje sie"},  {U"\U0001F631", "boje sie"},
    {U"\U0001FAE5", "niemamnie"},  {U"\U0001F633", "wstydnis"},  {U"\U0001F92F", "urwanie glowy"},
    {U"\U0001F634", "spiacy"},     {U"\U0001F62A", "spiacy"},    {U"\U0001F971", "spiacy"},
    {U"\U0001F617", "gwizdze"},    {U"\U0001F928", "co jest"},   {U"\U0001F60E", "cwaniak"},
    {U"\U0001F62E", "wow"},        {U"\U0001F62F", "wow"},       {U"\U0001F632", "wow"},
    {U"\U0001F618", "calus"},      {U"\U0001F61A", "calus"},     {U"\U0001F619", "calus"},
    {U"\U0001F48B", "calus"},      {U"\u2764", "serce"},         {U"\u2665", "serce"},
    {U"\U0001F495", "serduszka"},  {U"\U0001F49E", "serduszka"}, {U"\U0001F338", "kwiatek"},
    {U"\U0001F337", "kwiatek"},    {U"\U0001F339", "kwiatek"},   {U"\U0001F33A", "kwiatek"},
    {U"\U0001F33C", "kwiatek"},    {U"\U0001F47D", "alien"},     {U"\U0001F9D9", "czarodziej"},
    {U"\U0001F52A", "killer"},     {U"\U0001F385", "mikolaj"},   {U"\U0001F913", "okularnik"},
    {U"\U0001F3F4\u200D\u2620", "pirat"}, {U"\U0001F977", "zorro"}, {U"\U0001F340", "koniczynka"},
    {U"\u2618", "koniczynka"},     {U"\U0001F431", "kot"},       {U"\U0001F408", "kot"},
    {U"\U0001F63A", "kot"},        {U"\U0001F638", "kot"},       {U"\U0001F6D1", "stop"},
    {U"\u26D4", "stop"},           {U"\u27A1", "strzalka"},
};

std::vector<TextFitter::Replacement> Emoji(bool shorthandsOnly) {
  std::vector<TextFitter::Replacement> out;
  for (const EmojiOf& e : kEmoji)
    for (const Emotikon& row : kEmotikony) {
      if (row.obrazek != e.obrazek) continue;
      if (!shorthandsOnly || row.tekst.front() != '<') out.push_back({std::u32string(e.emoji), std::string(row.tekst)});
      break;
    }
  return out;
}

}  // namespace

std::vector<TextFitter::Replacement> EmojiAsEmoticons() { return Emoji(false); }

std::vector<TextFitter::Replacement> EmojiAsShorthands() { return Emoji(true); }
