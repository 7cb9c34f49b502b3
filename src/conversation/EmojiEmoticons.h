#pragma once
// The emoji that match a picture of the emoticon table, as the text that
// stands for that picture: a Unicode smile typed or pasted into a message
// becomes ":)", which every program of the network draws as the smile.

#include <vector>

#include "platform/TextFitter.h"

// Every emoji with a picture: its shorthand (":)") or its token ("<lol>").
std::vector<TextFitter::Replacement> EmojiAsEmoticons();

// Only those whose picture has an ASCII shorthand: text that is read rather
// than drawn (a status description) takes ":)", never "<lol>".
std::vector<TextFitter::Replacement> EmojiAsShorthands();
