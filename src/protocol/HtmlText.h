#pragma once
// The HTML part of a message from today's network, read as text. It comes
// from strangers too, so it is never handed to an HTML engine: a small
// reader keeps the text between the tags, turns line-breaking tags into line
// breaks and decodes character references; every tag is dropped, and what
// stands inside <script> and <style> with it.

#include <string>
#include <string_view>

// UTF-8 in, UTF-8 out, line breaks as CR LF. Never fails: a tag left open
// at the end is dropped, an unknown or broken reference stays as it stands.
// An image becomes "[obrazek]", so that the reader knows one was sent.
std::string HtmlToText(std::string_view html);
