#include "formats/number_parse.h"

#include <charconv>
#include <cmath>
#include <string>

#include "common/error.h"

namespace korvagrid {

std::optional<double> TryParseNumber(std::string_view text, char numP) {
  // Normalise into a buffer that std::from_chars reads: sign, digits, '.'.
  std::string buffer;
  buffer.reserve(text.size() + 1);
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    if (text[i] == '-') buffer.push_back('-');
    ++i;
  }
  bool seenSeparator = false;
  bool seenDigit = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      buffer.push_back(c);
      seenDigit = true;
    } else if (c == numP && !seenSeparator) {
      buffer.push_back('.');
      seenSeparator = true;
    } else {
      return std::nullopt;
    }
  }
  if (!seenDigit) return std::nullopt;
  if (buffer.back() == '.') buffer.pop_back();  // "5." is 5
  const char* first = buffer.data();
  const char* last = buffer.data() + buffer.size();
  if (*first == '.' || (buffer.size() > 1 && buffer[0] == '-' && buffer[1] == '.')) {
    buffer.insert(buffer[0] == '-' ? 1 : 0, 1, '0');  // ".5" is 0.5
    first = buffer.data();
    last = buffer.data() + buffer.size();
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
  if (error != std::errc{} || end != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

double ParseNumber(std::string_view text, char numP) {
  if (const std::optional<double> value = TryParseNumber(text, numP)) return *value;
  throw KorvagridError("не число: «" + std::string(text) + "»");
}

double ParseFieldNumber(std::string_view text, char numP) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return ParseNumber(std::string_view{}, numP);
  const std::size_t last = text.find_last_not_of(' ');
  return ParseNumber(text.substr(first, last - first + 1), numP);
}

}  // namespace korvagrid
