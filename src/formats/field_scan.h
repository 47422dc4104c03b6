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
  std::string substituted;
  std::size_t fieldStart = 0;
  std::size_t fieldLength = 0;
  bool needsSubstitution = false;
  int k = 0;
  bool pending = false;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (pending && fieldLength != 0) {
      std::string_view field = text.substr(fieldStart, fieldLength);
      if (needsSubstitution) {
        substituted.assign(field);
        for (char& c : substituted) {
          if (c == otherSeparator) c = decimalSeparator;
        }
        field = substituted;
      }
      const bool stop = finish(k, field);
      fieldLength = 0;
      needsSubstitution = false;
      if (stop) return i;
    }
    const char c = text[i];
    if (IsNumberChar(c)) {
      if (fieldLength == 0) fieldStart = i;
      ++fieldLength;
      if (substitute && c == otherSeparator) needsSubstitution = true;
      pending = false;
    } else if (fieldLength != 0 && !pending) {
      ++k;
      pending = true;
    }
  }
  return text.size();
}

}  // namespace korvagrid::detail
