#pragma once

#include <string>
#include <string_view>

namespace torvane {

// A text as a message quotes it: short, and unable to mislead. Each control,
// format or other invisible character (kShownAsEscapes in quoted_text.cpp), and
// each byte that starts no well-formed UTF-8 sequence, shows as an escape.
// Isolated, for a window's message, the quote is a first-strong isolate, FSI
// (U+2068) ... PDI (U+2069), so that a right-to-left text stays inside it and
// the message's own words keep their order; Plain is for a terminal, and Ascii
// for one that may not read UTF-8, every other character escaped. A long
// text is cut after 40 characters as shown, an escape counted by its length,
// never inside an escape or a character:
//   Enter HP          -> "<FSI>Enter HP<PDI>"
//   U+202E, 300       -> "<FSI><U+202E>300<PDI>"
//   the byte 0xFF     -> "<FSI><0xFF><PDI>"
//   a megabyte of 7s  -> "<FSI>777...7<PDI>..." (1048576 bytes)   forty 7s shown
//   Enter HP, Plain   -> "Enter HP"
//   fée, Ascii        -> "f<U+00E9>e"
enum class Quote { Isolated, Plain, Ascii };
std::string quotedText(std::string_view text, Quote quote = Quote::Isolated);

}  // namespace torvane
