#include "formats/number_parse.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "common/error.h"

namespace korvagrid {

std::optional<double> TryParseNumber(std::string_view text, char decimalSeparator) {
  // Normalised into a buffer that std::from_chars reads: an optional '-', a
  // leading '0' where the text starts with its separator, digits and '.'.
  constexpr std::size_t kLocalSize = 64;
  std::array<char, kLocalSize> local{};
  std::string big;
  char* buffer = local.data();
  if (text.size() + 2 > kLocalSize) {
    big.resize(text.size() + 2);
    buffer = big.data();
  }
  std::size_t used = 0;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    if (text[i] == '-') buffer[used++] = '-';
    ++i;
  }
  bool seenSeparator = false;
  bool seenDigit = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      buffer[used++] = c;
      seenDigit = true;
    } else if (c == decimalSeparator && !seenSeparator) {
      if (!seenDigit) buffer[used++] = '0';  // ".5" is 0.5
      buffer[used++] = '.';
      seenSeparator = true;
    } else {
      return std::nullopt;
    }
  }
  if (!seenDigit) return std::nullopt;
  if (buffer[used - 1] == '.') --used;  // "5." is 5
  double value = 0.0;
  const char* const last = buffer + used;
  const auto [end, error] = std::from_chars(buffer, last, value, std::chars_format::fixed);
  if (error != std::errc{} || end != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

double ParseNumber(std::string_view text, char decimalSeparator) {
  if (const std::optional<double> value = TryParseNumber(text, decimalSeparator)) return *value;
  throw KorvagridError("не число: «" + std::string(text) + "»");
}

double ParseFieldNumber(std::string_view text, char decimalSeparator) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return ParseNumber(std::string_view{}, decimalSeparator);
  const std::size_t last = text.find_last_not_of(' ');
  return ParseNumber(text.substr(first, last - first + 1), decimalSeparator);
}

}  // namespace korvagrid
