#pragma once
// Signs and hemispheres in pasted coordinate text.
//
// Text pasted from word processors and web pages writes a minus as U+2212
// MINUS SIGN or as one of the Unicode dashes. The field scan only knows the
// ASCII "-", so such a sign would be taken as a separator and the value would
// silently lose its sign. A dash counts as a minus where a digit or a decimal
// separator follows it; elsewhere ("55.7 – 37.6") it stays a separator.
//
// Hemisphere letters are separators for the field scan, so "55°45'S" would be
// read as northern latitude. The catalogue's systems lie in the northern and
// eastern hemispheres: a latitude marked S (or Cyrillic "Ю", south) or a
// longitude marked W ("З", west) is refused instead of being read wrongly.
#include <optional>
#include <string>
#include <string_view>

namespace korvagrid {

// True when `text` holds a byte that may start one of the dashes read as a
// minus (a cheap test that lets ordinary lines skip the rewriting).
bool MayHoldUnicodeMinus(std::string_view text);

// `text` with every dash that stands before a digit, "." or "," replaced by
// "-": U+2212, U+2010 to U+2014, U+FE63, U+FF0D.
std::string WithAsciiMinus(std::string_view text);

// The letter that marks a southern latitude or a western longitude ("S",
// "W", "Ю", "З", "ю", "з") where it stands alone as a word in `text` (letters
// on both sides make it part of a word, not a mark); std::nullopt when none.
std::optional<std::string_view> SouthOrWestMark(std::string_view text);

// Throws KorvagridError naming the mark when `text` holds one.
void RequireNorthEast(std::string_view text);

}  // namespace korvagrid
