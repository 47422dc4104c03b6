#pragma once
// Number masks: every number written to a result text goes through Format.
//
// A mask is an integer part and an optional fractional part separated by ".".
// "0" is a digit placeholder that shows a zero where the number has no digit,
// "#" one that shows nothing there; any other character is written unchanged,
// at its place in the mask, except "," (see below).
//
//  - The value is rounded to as many decimals as the fractional part has
//    placeholders, halves away from zero on the DECIMAL value: the double is
//    first written as its shortest round-trip decimal (std::to_chars), and that
//    decimal is rounded. So 2.675 gives 2.68 and 1.0005 gives 1.001 with three
//    decimals, although the nearest doubles lie just below those halves.
//  - The integer part is written with all its digits, padded with leading
//    zeros up to the number of placeholders from the first "0" before the
//    point to the point ("0#" writes 7 as "07", "0.##0" writes 0.5 as "0.500").
//    Digits beyond the placeholders go to the first placeholder.
//  - Trailing zeros of the fraction are dropped only under the "#"
//    placeholders that end the fractional part; the decimal separator is
//    written only when at least one decimal is written.
//  - A negative value gets a leading "-", unless it rounds to zero: "-0.000"
//    is never written.
//  - A "," in a mask is never written. It only occurs as the last character
//    of the waypoint longitude mask "00.#####0 ,", which therefore renders as
//    the number followed by one space ("37.603428 "); the comma that closes the
//    longitude field of a waypoint line is the first character of the text
//    that follows it (see formats/waypoints.h).
//
// Infinite and NaN values have no written form and throw KorvagridError.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "formats/digit_pairs.h"
#include "formats/powers_of_ten.h"

namespace korvagrid {

// A mask read once, for writers that write many numbers with it (the result
// lines): what the writing needs of the mask, found at compile time.
class NumberMask {
 public:
  struct Shape {
    int intPlaceholders = 0;
    int minIntDigits = 0;  // placeholders from the first "0" to the point
    int decimals = 0;
    int minDecimals = 0;  // decimals up to the last "0"
    bool hasPoint = false;
    // Placeholders only before the point, placeholders then literals after
    // it: every mask the system writes numbers with.
    bool simple = true;
    std::string_view tail;  // literals after the fraction placeholders
  };

  constexpr explicit NumberMask(std::string_view mask);

  constexpr std::string_view text() const { return text_; }
  constexpr const Shape& shape() const { return shape_; }

 private:
  static constexpr bool IsPlaceholder(char c) { return c == '0' || c == '#'; }

  std::string_view text_;
  Shape shape_;
};

std::string Format(double value, std::string_view mask, char decimalSeparator);
// The same text appended to `out` (no temporary string: the result writers use it).
void FormatTo(std::string& out, double value, std::string_view mask, char decimalSeparator);
void FormatTo(std::string& out, double value, const NumberMask& mask, char decimalSeparator);

// The room FormatInto may write.
constexpr std::size_t kFormatIntoRoom = 64;
// The text of FormatTo written at `p` for the values it writes without going
// through decimal digit strings (a simple mask, a finite value not within
// 1e-14 of a rounding half); returns the end of what it wrote, or nullptr,
// having written nothing, for any other value (FormatTo writes those). For
// writers that put a whole line together before appending it.
char* FormatInto(char* p, double value, const NumberMask& mask, char decimalSeparator);

// FormatInto for a mask fixed when the program is built (the masks of the
// result columns): the same text, written with the mask's counts as
// constants. A mask that writes every decimal of its fractional part (no "#"
// after its last "0") is written here from two integers, the integer part
// and the fraction, so that neither waits for the other's digits and the
// fraction's fixed count of digits needs no loop; any other goes to
// FormatInto. Returns nullptr, having written nothing, where FormatInto does.
template <const NumberMask& Mask>
char* FormatInto(char* p, double value, char decimalSeparator);

// |value|·10^decimals rounded half away from zero as the decimal value
// rounds, when the scaled double decides it: the scaled double differs from
// the scaled shortest decimal by under 2.3e-16 of itself, so unless its
// fraction lies within 1e-14 of one half the two round alike. std::nullopt
// when the exact decimal route must decide (near a half, 10^decimals beyond
// 1e15, the scaled value 1e15 or more, or not finite).
//
// Defined here, inline: it runs for every number of every result line, and
// inlined the optional it returns stays in registers instead of going through
// memory.
inline std::optional<std::uint64_t> ScaledHalfAwayFromZero(double value, int decimals) {
  constexpr int kMostDecimals = 15;
  if (decimals < 0 || decimals > kMostDecimals) return std::nullopt;
  const double scaled = std::fabs(value) * detail::kExactPowersOfTen[static_cast<std::size_t>(decimals)];
  if (!(scaled < 1e15)) return std::nullopt;
  // Below 1e15 the conversion to a signed integer truncates exactly: the
  // floor of a non-negative value (the signed conversion is one instruction,
  // the unsigned one a branch for values from 2^63 on, which cannot occur;
  // likewise back).
  const auto truncated = static_cast<std::int64_t>(scaled);
  const double whole = static_cast<double>(truncated);
  const double fraction = scaled - whole;
  const double margin = (scaled + 1.0) * 1e-14;
  if (std::fabs(fraction - 0.5) <= margin) return std::nullopt;
  return static_cast<std::uint64_t>(truncated) + (fraction > 0.5 ? 1U : 0U);
}

// A double rounded half away from zero on its shortest decimal form to a
// fixed number of decimals, as digit strings.
struct RoundedDecimal {
  bool negative = false;       // false when every digit is zero
  std::string integerDigits;   // no leading zeros; empty for a zero integer part
  std::string fractionDigits;  // exactly `decimals` digits
};
RoundedDecimal RoundDecimal(double value, int decimals);

// The value with at most `significantDigits` significant digits, as a double
// (the decimal text of that many digits read back). Used where a value is
// handed on as text.
double RoundToSignificant(double value, int significantDigits);

// Plain decimal text of the value with at most `significantDigits`
// significant digits, "." as separator, trailing zeros dropped, never in
// exponent form: 1e-8 gives "0.00000001", 12.34 gives "12.34", 60 gives "60".
std::string PlainDecimal(double value, int significantDigits);

constexpr NumberMask::NumberMask(std::string_view mask) : text_(mask), shape_() {
  Shape& shape = shape_;
  std::size_t i = 0;
  for (; i < mask.size() && mask[i] != '.'; ++i) {
    const char c = mask[i];
    if (!IsPlaceholder(c)) {
      shape.simple = false;
      continue;
    }
    ++shape.intPlaceholders;
    if (c == '0' || shape.minIntDigits > 0) ++shape.minIntDigits;
  }
  if (shape.intPlaceholders == 0) shape.simple = false;
  if (i == mask.size()) return;
  shape.hasPoint = true;
  std::size_t tailStart = mask.size();
  for (++i; i < mask.size(); ++i) {
    const char c = mask[i];
    if (!IsPlaceholder(c)) {
      if (tailStart == mask.size()) tailStart = i;
      continue;
    }
    if (tailStart != mask.size()) shape.simple = false;  // a placeholder after a literal
    ++shape.decimals;
    if (c == '0') shape.minDecimals = shape.decimals;
  }
  shape.tail = mask.substr(tailStart);
}

namespace detail {

// The masks written from the integer part and the fraction: a simple mask
// whose decimals are all written (at most 15 of them, as
// ScaledHalfAwayFromZero scales by) and whose integer placeholders and tail
// fit the room of FormatInto.
constexpr bool WritesAllDecimals(const NumberMask::Shape& shape) {
  return shape.simple && shape.minDecimals == shape.decimals && shape.decimals <= 15 &&
         shape.minIntDigits <= 20 && shape.tail.size() <= 16;
}

}  // namespace detail

template <const NumberMask& Mask>
char* FormatInto(char* p, double value, char decimalSeparator) {
  constexpr NumberMask::Shape kShape = Mask.shape();
  if constexpr (!detail::WritesAllDecimals(kShape)) {
    return FormatInto(p, value, Mask, decimalSeparator);
  } else {
    const std::optional<std::uint64_t> rounded = ScaledHalfAwayFromZero(value, kShape.decimals);
    if (!rounded) return nullptr;
    const std::uint64_t n = *rounded;
    if (std::signbit(value) && n != 0) *p++ = '-';
    constexpr std::uint64_t kScale = detail::IntegerPowerOfTen(kShape.decimals);
    const std::uint64_t whole = n / kScale;
    std::uint64_t fraction = n % kScale;
    // The integer part's digits (none for 0, at most 16 below the 1e15 that
    // ScaledHalfAwayFromZero admits), padded with zeros to the "0"
    // placeholders, are copied as one block of their largest count: a
    // library call for each count would cost more than the digits. The block
    // lies within the buffer and within the room after `p`.
    constexpr int kBlock = std::max(16, kShape.minIntDigits);
    std::array<char, 2 * kBlock> digits;  // not cleared: only the written part is read
    char* const end = digits.data() + kBlock;
    const char* const first = detail::WriteDigitsBackwards(end, whole, kShape.minIntDigits);
    std::memcpy(p, first, kBlock);
    p += end - first;
    if constexpr (kShape.decimals > 0) {
      *p++ = decimalSeparator;
      char* q = p + kShape.decimals;
      for (int left = kShape.decimals; left >= 2; left -= 2, fraction /= 100) {
        q = detail::WritePairBackwards(q, static_cast<unsigned>(fraction % 100));
      }
      if constexpr (kShape.decimals % 2 == 1) *--q = static_cast<char>('0' + fraction);
      p += kShape.decimals;
    }
    for (const char c : kShape.tail) {
      if (c != ',') *p++ = c;
    }
    return p;
  }
}

}  // namespace korvagrid
