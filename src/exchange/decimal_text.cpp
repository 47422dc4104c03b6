#include "exchange/decimal_text.h"

#include <array>
#include <charconv>

namespace korvagrid {

void AppendDecimal(std::string& out, double value) {
  if (value == 0) {
    out += '0';
    return;
  }
  // The fixed form of the largest finite double has 309 integer digits.
  std::array<char, 400> buffer;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::fixed);
  out.append(buffer.data(), result.ptr);
}

std::string DecimalText(double value) {
  std::string text;
  AppendDecimal(text, value);
  return text;
}

}  // namespace korvagrid
