#include "formats/number_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <system_error>
#include <type_traits>
#include <utility>

#include "common/error.h"
#include "formats/digit_pairs.h"

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
  const auto result =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                    std::chars_format::scientific, std::max(0, significantDigits - 1));
  return ParseScientific(buffer.data(), result.ptr);
}

void RequireFinite(double value) {
  if (!std::isfinite(value)) {
    throw KorvagridError("число не может быть записано: " + std::to_string(value));
  }
}

bool IsPlaceholder(char c) { return c == '0' || c == '#'; }

// The common case without going through decimal digits: |value|·10^decimals
// as a double differs from the shortest decimal of |value| scaled the same
// way by under 2.3e-16 of itself, so unless its fraction lies within that of
// one half, rounding the scaled double rounds the decimal value the same way.
// Returns false (nothing written) when the exact route must decide.
bool RoundDecimalFast(double value, int decimals, RoundedDecimal& out) {
  const std::optional<std::uint64_t> rounded = ScaledHalfAwayFromZero(value, decimals);
  if (!rounded) return false;
  const std::uint64_t n = *rounded;

  std::array<char, 24> buffer{};
  const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), n);
  const std::string_view digits(buffer.data(),
                                static_cast<std::size_t>(written.ptr - buffer.data()));
  const auto d = static_cast<std::size_t>(decimals);
  if (n == 0) {
    out.integerDigits.clear();
  } else if (digits.size() > d) {
    out.integerDigits.assign(digits.substr(0, digits.size() - d));
    out.fractionDigits.assign(digits.substr(digits.size() - d));
  } else {
    out.integerDigits.clear();
    out.fractionDigits.assign(d - digits.size(), '0');
    out.fractionDigits.append(digits);
  }
  out.negative = std::signbit(value) && n != 0;
  return true;
}

}  // namespace

RoundedDecimal RoundDecimal(double value, int decimals) {
  RequireFinite(value);
  RoundedDecimal out;
  out.fractionDigits.assign(static_cast<std::size_t>(std::max(0, decimals)), '0');
  if (value == 0.0) return out;
  if (RoundDecimalFast(value, decimals, out)) return out;

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
    out.integerDigits.erase(
        0, firstNonZero == std::string::npos ? out.integerDigits.size() : firstNonZero);
  }
  for (int j = 0; j < decimals; ++j) {
    const std::int64_t q = pointPos + j;
    out.fractionDigits[static_cast<std::size_t>(j)] =
        (q >= 0 && q < len) ? digits[static_cast<std::size_t>(q)] : '0';
  }
  const bool allZero =
      out.integerDigits.empty() && out.fractionDigits.find_first_not_of('0') == std::string::npos;
  out.negative = std::signbit(value) && !allZero;
  return out;
}

namespace {

// The digits of a rounded value as views: the integer part without leading
// zeros (empty for 0) and exactly `decimals` fraction digits.
struct DigitViews {
  bool negative = false;
  std::string_view integerDigits;
  std::string_view fractionDigits;
};

// Writes the rounded digits into the mask (see Format).
std::string RenderMask(const DigitViews& d, std::string_view mask, char decimalSeparator) {
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
  int minDecimals = 0;
  int decimals = 0;
  for (const char c : fracMask) {
    if (!IsPlaceholder(c)) continue;
    ++decimals;
    if (c == '0') minDecimals = decimals;
  }

  // The integer digits padded with leading zeros to the "0" placeholders.
  const int given = static_cast<int>(d.integerDigits.size());
  const int padding = std::max(0, minIntDigits - given);
  const int intCount = given + padding;
  const auto intDigit = [&](int i) {
    return i < padding ? '0' : d.integerDigits[static_cast<std::size_t>(i - padding)];
  };
  std::string_view fracDigits = d.fractionDigits;
  while (static_cast<int>(fracDigits.size()) > minDecimals && fracDigits.back() == '0') {
    fracDigits.remove_suffix(1);
  }

  // The text is built in a local buffer and copied once; long ones (huge
  // values) fall back to a growing string.
  std::array<char, 64> local{};
  std::string big;
  std::size_t used = 0;
  const bool fits = mask.size() + static_cast<std::size_t>(intCount) + 2 <= local.size();
  struct Writer {
    std::array<char, 64>& local;
    std::string& big;
    std::size_t& used;
    bool fits;
    void push_back(char c) {
      if (fits) {
        local[used++] = c;
      } else {
        big.push_back(c);
      }
    }
  } out{local, big, used, fits};
  if (d.negative) out.push_back('-');

  // Integer part: digits right-aligned to the placeholders; surplus digits at
  // the first placeholder.
  const int surplus = intCount - intPlaceholders;
  int slot = 0;
  for (const char c : intMask) {
    if (IsPlaceholder(c)) {
      const int index = slot + surplus;
      if (slot == 0 && surplus > 0) {
        for (int i = 0; i <= surplus; ++i) out.push_back(intDigit(i));
      } else if (index >= 0) {
        out.push_back(intDigit(index));
      }
      ++slot;
    } else if (c != ',') {
      out.push_back(c);
    }
  }
  if (intPlaceholders == 0) {
    for (int i = 0; i < intCount; ++i) out.push_back(intDigit(i));
  }

  const auto result = [&] { return fits ? std::string(local.data(), used) : big; };
  if (point == std::string_view::npos) return result();
  if (!fracDigits.empty()) out.push_back(decimalSeparator);
  slot = 0;
  for (const char c : fracMask) {
    if (IsPlaceholder(c)) {
      if (slot < static_cast<int>(fracDigits.size()))
        out.push_back(fracDigits[static_cast<std::size_t>(slot)]);
      ++slot;
    } else if (c != ',') {
      out.push_back(c);
    }
  }
  (void)decimals;
  return result();
}

// A simple mask written straight from the digits, appended to `out`.
void RenderSimple(std::string& out, const DigitViews& d, const NumberMask::Shape& shape,
                  char decimalSeparator) {
  const auto given = static_cast<int>(d.integerDigits.size());
  const int padding = std::max(0, shape.minIntDigits - given);
  std::string_view fraction = d.fractionDigits;
  while (static_cast<int>(fraction.size()) > shape.minDecimals && fraction.back() == '0') {
    fraction.remove_suffix(1);
  }
  // Written into a local buffer and appended once.
  std::array<char, 96> local;  // not cleared: only the written part is read
  const std::size_t needed = 1 + static_cast<std::size_t>(padding) + d.integerDigits.size() + 1 +
                             fraction.size() + shape.tail.size();
  if (needed > local.size()) {
    if (d.negative) out.push_back('-');
    out.append(static_cast<std::size_t>(padding), '0');
    out.append(d.integerDigits);
    if (!shape.hasPoint) return;
    if (!fraction.empty()) {
      out.push_back(decimalSeparator);
      out.append(fraction);
    }
    for (const char c : shape.tail) {
      if (c != ',') out.push_back(c);
    }
    return;
  }
  char* p = local.data();
  if (d.negative) *p++ = '-';
  for (int i = 0; i < padding; ++i) *p++ = '0';
  p = std::copy(d.integerDigits.begin(), d.integerDigits.end(), p);
  if (shape.hasPoint) {
    if (!fraction.empty()) {
      *p++ = decimalSeparator;
      p = std::copy(fraction.begin(), fraction.end(), p);
    }
    for (const char c : shape.tail) {
      if (c != ',') *p++ = c;
    }
  }
  out.append(local.data(), static_cast<std::size_t>(p - local.data()));
}

// The longest text of a simple mask written from an integer: a minus, up to
// 20 integer digits, the separator, up to 15 decimals and a tail of up to 16.
// The digits are written into a buffer that ends at kSimpleDigitsEnd, and
// copied in blocks of 20 and 15 characters: every block stays within the
// buffer and within the room of the text.
constexpr int kMaxSimpleIntDigits = 20;
constexpr int kMaxSimpleDecimals = 15;
constexpr std::size_t kMaxSimpleTail = 16;
constexpr int kSimpleDigitsEnd = kMaxSimpleIntDigits + kMaxSimpleDecimals;
static_assert(1 + kMaxSimpleIntDigits + 1 + kMaxSimpleDecimals + kMaxSimpleTail <= kFormatIntoRoom);

// A simple mask written straight from the rounded value n = |value|·10^decimals
// (the digits of RenderSimple without going through digit strings) at `p`;
// nullptr, with nothing written, for the rare shapes longer than
// kFormatIntoRoom.
char* WriteSimpleFromInteger(char* p, std::uint64_t n, bool negative,
                             const NumberMask::Shape& shape, char decimalSeparator) {
  if (shape.minIntDigits > kMaxSimpleIntDigits || shape.decimals > kMaxSimpleDecimals ||
      shape.tail.size() > kMaxSimpleTail) {
    return nullptr;
  }
  // All digits of n at once, padded with zeros to the integer part's "0"
  // placeholders and the decimals; the last `decimals` of them are the
  // fraction, the others the integer part (none for 0). The parts are copied
  // as blocks of their largest size (a library call per part would cost
  // more than the digits), which the buffer and the room after `p` hold.
  std::array<char, kSimpleDigitsEnd + kMaxSimpleIntDigits> digits{};
  const char* const end = digits.data() + kSimpleDigitsEnd;
  const char* const first = detail::WriteDigitsBackwards(digits.data() + kSimpleDigitsEnd, n,
                                                 shape.minIntDigits + shape.decimals);
  const char* const point = end - shape.decimals;
  if (negative) *p++ = '-';
  std::memcpy(p, first, kMaxSimpleIntDigits);
  p += point - first;
  if (!shape.hasPoint) return p;
  // The fraction, trailing zeros dropped down to the "0" placeholders.
  const char* fractionEnd = end;
  while (fractionEnd - point > shape.minDecimals && fractionEnd[-1] == '0') --fractionEnd;
  if (fractionEnd != point) {
    *p++ = decimalSeparator;
    std::memcpy(p, point, kMaxSimpleDecimals);
    p += fractionEnd - point;
  }
  for (const char c : shape.tail) {
    if (c != ',') *p++ = c;
  }
  return p;
}

void Render(std::string& out, const DigitViews& d, std::string_view mask, const NumberMask::Shape& shape,
            char decimalSeparator) {
  if (shape.simple) {
    RenderSimple(out, d, shape, decimalSeparator);
  } else {
    out += RenderMask(d, mask, decimalSeparator);
  }
}

}  // namespace

std::string Format(double value, std::string_view mask, char decimalSeparator) {
  std::string out;
  FormatTo(out, value, mask, decimalSeparator);
  return out;
}

void FormatTo(std::string& out, double value, std::string_view mask, char decimalSeparator) {
  FormatTo(out, value, NumberMask(mask), decimalSeparator);
}

void FormatTo(std::string& out, double value, const NumberMask& numberMask, char decimalSeparator) {
  RequireFinite(value);
  const std::string_view mask = numberMask.text();
  const NumberMask::Shape& shape = numberMask.shape();
  const int decimals = shape.decimals;
  // Fast route: the rounded value as one integer, its digits in a local buffer.
  if (const std::optional<std::uint64_t> rounded = ScaledHalfAwayFromZero(value, decimals)) {
    const std::uint64_t n = *rounded;
    const bool negative = std::signbit(value) && n != 0;
    if (shape.simple) {
      std::array<char, kFormatIntoRoom> local;  // not cleared: only the written part is read
      if (const char* end = WriteSimpleFromInteger(local.data(), n, negative, shape, decimalSeparator)) {
        out.append(local.data(), static_cast<std::size_t>(end - local.data()));
        return;
      }
    }
    std::array<char, 40> buffer;                   // not cleared: only the written part is read
    char* const start = buffer.data() + decimals;  // room for leading fraction zeros
    const auto written = std::to_chars(start, buffer.data() + buffer.size(), n);
    const auto count = static_cast<int>(written.ptr - start);
    DigitViews views;
    views.negative = negative;
    if (n == 0) {
      std::fill(buffer.data(), start, '0');
      views.fractionDigits = std::string_view(buffer.data(), static_cast<std::size_t>(decimals));
    } else if (count > decimals) {
      views.integerDigits = std::string_view(start, static_cast<std::size_t>(count - decimals));
      views.fractionDigits =
          std::string_view(written.ptr - decimals, static_cast<std::size_t>(decimals));
    } else {
      // Fewer digits than decimals: leading fraction zeros go in front.
      char* const first = written.ptr - decimals;
      std::fill(first, start, '0');
      views.fractionDigits = std::string_view(first, static_cast<std::size_t>(decimals));
    }
    Render(out, views, mask, shape, decimalSeparator);
    return;
  }
  const RoundedDecimal rounded = RoundDecimal(value, decimals);
  Render(out, {rounded.negative, rounded.integerDigits, rounded.fractionDigits}, mask, shape,
         decimalSeparator);
}

char* FormatInto(char* p, double value, const NumberMask& numberMask, char decimalSeparator) {
  const NumberMask::Shape& shape = numberMask.shape();
  if (!shape.simple) return nullptr;
  const std::optional<std::uint64_t> rounded = ScaledHalfAwayFromZero(value, shape.decimals);
  if (!rounded) return nullptr;  // not finite, or the exact decimal route decides
  const bool negative = std::signbit(value) && *rounded != 0;
  return WriteSimpleFromInteger(p, *rounded, negative, shape, decimalSeparator);
}

double RoundToSignificant(double value, int significantDigits) {
  if (!std::isfinite(value) || value == 0.0) return value;
  std::array<char, 64> buffer{};
  const auto written =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
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
