#include "formats/number_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <system_error>

#include "common/error.h"

namespace korvagrid {
namespace {

// A finite non-negative double as decimal digits d1 d2 d3 ... (d1 not zero
// unless the value is zero) and the exponent e of d1: value = d1.d2d3... × 10^e.
struct DecimalForm {
  std::string digits;
  int exponent = 0;
};

// Reads the output of std::to_chars in scientific form ("6.0123e+06").
DecimalForm ParseScientific(const char* first, const char* last) {
  DecimalForm form;
  const char* p = first;
  for (; p != last && *p != 'e'; ++p) {
    if (*p != '.') form.digits.push_back(*p);
  }
  if (p != last) {
    ++p;  // 'e'
    if (p != last && *p == '+') ++p;
    std::from_chars(p, last, form.exponent);
  }
  return form;
}

// Shortest round-trip decimal digits of |value|.
DecimalForm ShortestForm(double value) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                    std::chars_format::scientific);
  return ParseScientific(buffer.data(), result.ptr);
}

// |value| with `significantDigits` digits (correctly rounded by to_chars).
DecimalForm SignificantForm(double value, int significantDigits) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                    std::chars_format::scientific, std::max(0, significantDigits - 1));
  return ParseScientific(buffer.data(), result.ptr);
}

void RequireFinite(double value) {
  if (!std::isfinite(value)) {
    throw KorvagridError("число не может быть записано: " + std::to_string(value));
  }
}

bool IsPlaceholder(char c) { return c == '0' || c == '#'; }

}  // namespace

RoundedDecimal RoundDecimal(double value, int decimals) {
  RequireFinite(value);
  RoundedDecimal out;
  out.fractionDigits.assign(static_cast<std::size_t>(std::max(0, decimals)), '0');
  if (value == 0.0) return out;

  DecimalForm form = ShortestForm(value);
  // Digits of form.digits before the decimal point.
  std::int64_t pointPos = static_cast<std::int64_t>(form.exponent) + 1;
  const std::int64_t keep = pointPos + std::max(0, decimals);
  if (keep < 0) return out;  // below half of the last written decimal

  std::string& digits = form.digits;
  if (keep < static_cast<std::int64_t>(digits.size())) {
    const bool roundUp = digits[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(keep));
    if (roundUp) {
      std::size_t i = digits.size();
      while (i > 0 && digits[i - 1] == '9') {
        digits[i - 1] = '0';
        --i;
      }
      if (i == 0) {
        digits.insert(digits.begin(), '1');
        ++pointPos;
      } else {
        ++digits[i - 1];
      }
    }
  }

  const auto len = static_cast<std::int64_t>(digits.size());
  if (pointPos > 0) {
    for (std::int64_t q = 0; q < pointPos; ++q) {
      out.integerDigits.push_back(q < len ? digits[static_cast<std::size_t>(q)] : '0');
    }
    const std::size_t firstNonZero = out.integerDigits.find_first_not_of('0');
    out.integerDigits.erase(0, firstNonZero == std::string::npos ? out.integerDigits.size() : firstNonZero);
  }
  for (int j = 0; j < decimals; ++j) {
    const std::int64_t q = pointPos + j;
    out.fractionDigits[static_cast<std::size_t>(j)] =
        (q >= 0 && q < len) ? digits[static_cast<std::size_t>(q)] : '0';
  }
  const bool allZero = out.integerDigits.empty() &&
                       out.fractionDigits.find_first_not_of('0') == std::string::npos;
  out.negative = std::signbit(value) && !allZero;
  return out;
}

std::string Format(double value, std::string_view mask, char decimalSeparator) {
  const std::size_t point = mask.find('.');
  const std::string_view intMask = mask.substr(0, point);
  const std::string_view fracMask =
      point == std::string_view::npos ? std::string_view{} : mask.substr(point + 1);

  // Placeholder counts that the rendering needs.
  int intPlaceholders = 0;
  int minIntDigits = 0;
  for (const char c : intMask) {
    if (!IsPlaceholder(c)) continue;
    ++intPlaceholders;
    if (c == '0' || minIntDigits > 0) ++minIntDigits;
  }
  int decimals = 0;
  int minDecimals = 0;
  for (const char c : fracMask) {
    if (!IsPlaceholder(c)) continue;
    ++decimals;
    if (c == '0') minDecimals = decimals;
  }

  const RoundedDecimal rounded = RoundDecimal(value, decimals);
  std::string intDigits = rounded.integerDigits;
  if (static_cast<int>(intDigits.size()) < minIntDigits) {
    intDigits.insert(0, static_cast<std::size_t>(minIntDigits) - intDigits.size(), '0');
  }
  std::string_view fracDigits = rounded.fractionDigits;
  while (static_cast<int>(fracDigits.size()) > minDecimals && fracDigits.back() == '0') {
    fracDigits.remove_suffix(1);
  }

  std::string out;
  out.reserve(mask.size() + intDigits.size() + 4);
  if (rounded.negative) out.push_back('-');

  // Integer part: digits right-aligned to the placeholders; surplus digits at
  // the first placeholder.
  const int surplus = static_cast<int>(intDigits.size()) - intPlaceholders;
  int slot = 0;
  for (const char c : intMask) {
    if (IsPlaceholder(c)) {
      const int index = slot + surplus;
      if (slot == 0 && surplus > 0) {
        out.append(intDigits, 0, static_cast<std::size_t>(surplus) + 1);
      } else if (index >= 0) {
        out.push_back(intDigits[static_cast<std::size_t>(index)]);
      }
      ++slot;
    } else if (c != ',') {
      out.push_back(c);
    }
  }
  if (intPlaceholders == 0) out += intDigits;

  if (point == std::string_view::npos) return out;
  if (!fracDigits.empty()) out.push_back(decimalSeparator);
  slot = 0;
  for (const char c : fracMask) {
    if (IsPlaceholder(c)) {
      if (slot < static_cast<int>(fracDigits.size())) out.push_back(fracDigits[static_cast<std::size_t>(slot)]);
      ++slot;
    } else if (c != ',') {
      out.push_back(c);
    }
  }
  return out;
}

double RoundToSignificant(double value, int significantDigits) {
  if (!std::isfinite(value) || value == 0.0) return value;
  std::array<char, 64> buffer{};
  const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                     std::chars_format::scientific, std::max(0, significantDigits - 1));
  double result = value;
  std::from_chars(buffer.data(), written.ptr, result);
  return result;
}

std::string PlainDecimal(double value, int significantDigits) {
  RequireFinite(value);
  if (value == 0.0) return "0";
  DecimalForm form = SignificantForm(value, significantDigits);
  std::string& digits = form.digits;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out;
  if (std::signbit(value)) out.push_back('-');
  if (form.exponent >= 0) {
    const auto intCount = static_cast<std::size_t>(form.exponent) + 1;
    if (digits.size() <= intCount) {
      out += digits;
      out.append(intCount - digits.size(), '0');
    } else {
      out.append(digits, 0, intCount);
      out.push_back('.');
      out.append(digits, intCount, std::string::npos);
    }
  } else {
    out += "0.";
    out.append(static_cast<std::size_t>(-form.exponent - 1), '0');
    out += digits;
  }
  return out;
}

}  // namespace korvagrid
