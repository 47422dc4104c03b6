#include "formats/signs.h"

#include <array>

#include "common/ascii.h"
#include "common/error.h"

namespace korvagrid {
namespace {

// UTF-8 forms of the dashes read as a minus before a number.
constexpr std::array<std::string_view, 8> kMinusDashes{
    "\xE2\x88\x92",  // U+2212 MINUS SIGN
    "\xE2\x80\x90",  // U+2010 HYPHEN
    "\xE2\x80\x91",  // U+2011 NON-BREAKING HYPHEN
    "\xE2\x80\x92",  // U+2012 FIGURE DASH
    "\xE2\x80\x93",  // U+2013 EN DASH
    "\xE2\x80\x94",  // U+2014 EM DASH
    "\xEF\xB9\xA3",  // U+FE63 SMALL HYPHEN-MINUS
    "\xEF\xBC\x8D",  // U+FF0D FULLWIDTH HYPHEN-MINUS
};

bool StartsNumber(char c) { return (c >= '0' && c <= '9') || c == '.' || c == ','; }

// Length of the dash at `i` that counts as a minus, 0 when there is none.
std::size_t MinusDashAt(std::string_view text, std::size_t i) {
  for (const std::string_view dash : kMinusDashes) {
    if (text.substr(i, dash.size()) == dash) {
      const std::size_t next = i + dash.size();
      return next < text.size() && StartsNumber(text[next]) ? dash.size() : 0;
    }
  }
  return 0;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Length of the letter starting at `i`: 1 for ASCII, 2 for a Cyrillic letter
// of the block U+0400..U+04FF, 0 for anything else.
std::size_t LetterAt(std::string_view text, std::size_t i) {
  if (IsAsciiLetter(text[i])) return 1;
  const auto lead = static_cast<unsigned char>(text[i]);
  if ((lead == 0xD0 || lead == 0xD1 || lead == 0xD2 || lead == 0xD3) && i + 1 < text.size() &&
      (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
    return 2;
  }
  return 0;
}

constexpr std::array<std::string_view, 6> kSouthWestMarks{
    "S", "W", "\xD0\xAE" /* Ю */, "\xD0\x97" /* З */, "\xD1\x8E" /* ю */, "\xD0\xB7" /* з */};

}  // namespace

bool MayHoldUnicodeMinus(std::string_view text) {
  // Most lines are plain ASCII; every dash starts with one of two bytes.
  if (AsciiPrefix(text) == text.size()) return false;
  return text.find('\xE2') != std::string_view::npos || text.find('\xEF') != std::string_view::npos;
}

std::string WithAsciiMinus(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (const std::size_t dash = MinusDashAt(text, i); dash != 0) {
      out.push_back('-');
      i += dash;
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

std::optional<std::string_view> SouthOrWestMark(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = LetterAt(text, i);
    if (length == 0) {
      ++i;
      continue;
    }
    // A word: a run of letters.
    const std::size_t start = i;
    while (i < text.size() && (length = LetterAt(text, i)) != 0) i += length;
    const std::string_view word = text.substr(start, i - start);
    for (const std::string_view mark : kSouthWestMarks) {
      if (word == mark) return mark;
    }
  }
  return std::nullopt;
}

void RequireNorthEast(std::string_view text) {
  if (const std::optional<std::string_view> mark = SouthOrWestMark(text)) {
    const bool south = *mark == "S" || *mark == "\xD0\xAE" || *mark == "\xD1\x8E";
    throw KorvagridError(std::string(south ? "южная широта" : "западная долгота") + " («" +
                         std::string(*mark) +
                         "»): системы координат охватывают только северное и восточное полушария");
  }
}

}  // namespace korvagrid
