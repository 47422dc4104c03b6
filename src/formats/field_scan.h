#pragma once
// The field scan shared by the record readers (RadStr1, RadStr3, ReadAsh).
//
// Number characters are the codes 44 to 57: "," "-" "." "/" and the digits.
// Every other byte is a separator, including every byte of a multi-byte UTF-8
// character ("°", Cyrillic letters). A run of number characters is a field; a
// field is completed by the first separator after it (k, the count of
// completed fields, goes up by one) and handed over on the next character, so
// the last field of a text is only handed over when two characters follow it.
#include <cstddef>
#include <string>
#include <string_view>

namespace korvagrid::detail {

constexpr bool IsNumberChar(char c) { return c >= 44 && c <= 57; }

// The text without the spaces at both ends.
inline std::string_view TrimSpaces(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

// A field or line quoted for an error message: «text», cut after its first
// 40 characters with "…" when longer, so that a line of megabytes does not
// become a message of megabytes. The cut never splits a UTF-8 character.
inline std::string QuoteForMessage(std::string_view text) {
  constexpr std::size_t kShownCharacters = 40;
  std::size_t end = 0;
  for (std::size_t characters = 0; end < text.size(); ++end) {
    const bool startsCharacter = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
    if (startsCharacter && characters++ == kShownCharacters) break;
  }
  std::string quoted = "«";
  quoted.append(text.substr(0, end));
  if (end < text.size()) quoted.append("…");
  quoted.append("»");
  return quoted;
}

// Scans `text` from index `start`. For every completed field, on the
// character after its separator, calls finish(k, field) with k the number of
// the field (1 for the first); finish may change k and returns true to stop
// the scan. Where `substitute` is set, each `otherSeparator` becomes `decimalSeparator` inside a
// field. Returns the index of the character at which the scan stopped, or
// text.size() when it passed the end.
template <class Finish>
std::size_t ScanFields(std::string_view text, std::size_t start, bool substitute,
                       char decimalSeparator, char otherSeparator, Finish&& finish) {
  // A field is a run of number characters of the text itself; it is copied
  // (into `substituted`) only when a `otherSeparator` in it has to become `decimalSeparator`.
  // The scan goes from field to field: the separators before a field, the
  // field, then its hand-over on the character after the separator that
  // completed it.
  std::string substituted;
  const std::size_t size = text.size();
  int k = 0;
  std::size_t i = start;
  while (true) {
    while (i < size && !IsNumberChar(text[i])) ++i;
    const std::size_t fieldStart = i;
    while (i < size && IsNumberChar(text[i])) ++i;
    // Completed by the separator at i, handed over at i + 1: both must exist.
    if (i + 1 >= size) return size;
    ++k;
    std::string_view field = text.substr(fieldStart, i - fieldStart);
    if (substitute && field.find(otherSeparator) != std::string_view::npos) {
      substituted.assign(field);
      for (char& c : substituted) {
        if (c == otherSeparator) c = decimalSeparator;
      }
      field = substituted;
    }
    ++i;
    if (finish(k, field)) return i;
  }
}

}  // namespace korvagrid::detail
