#include "formats/angles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "common/error.h"
#include "formats/digit_pairs.h"
#include "formats/number_format.h"
#include "geodesy/packed_angle.h"

namespace korvagrid {
namespace {

// Seconds of a packed value carry a rounding error of about 1e-8" for angles
// up to 180°. Seconds smaller than this are that error of an exact whole
// minute: they are written as zero, without a minus sign.
constexpr double kZeroSecondsTolerance = 1e-6;

constexpr int kSecondsDecimals = 5;              // decimals of the mask "0#.####0"
constexpr std::uint64_t kSecondsScale = 100000;  // 10^kSecondsDecimals
constexpr double kNearlySixtySeconds = 59.99999;

// An infinite or NaN angle comes only from a failed computation; it has no
// degrees to split.
void RequireFiniteAngle(double x) {
  if (!std::isfinite(x)) throw KorvagridError("недопустимый угол: " + std::to_string(x));
}

// Number of digits of the whole degrees (1 for 0).
int DegreeDigits(double g) {
  int digits = 1;
  for (double a = std::fabs(g); a >= 10; a /= 10) ++digits;
  return digits;
}

// Whole seconds of |s| after rounding to `decimals` decimals.
long WholeSecondsAt(double s, int decimals) {
  const RoundedDecimal r = RoundDecimal(std::fabs(s), decimals);
  if (r.integerDigits.size() > 6) return 999999;
  return r.integerDigits.empty() ? 0 : std::stol(r.integerDigits);
}

// A whole number below 1e15 in magnitude with the mask "0#" (at least two
// digits, a minus sign for a negative one), written at `p`: degrees and
// minutes of every angle text. Returns the end of what it wrote.
constexpr double kDirectLimit = 1e15;

// The digits of a magnitude from 100 on (degrees beyond 99) at `p`.
char* WriteThreeOrMoreDigits(char* p, unsigned long long magnitude) {
  std::array<char, 20> digits;  // not cleared: only the written part is read
  std::size_t count = 0;
  do {
    digits[digits.size() - 1 - count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  return std::copy(digits.end() - static_cast<std::ptrdiff_t>(count), digits.end(), p);
}

// Small enough to be inlined where it is called three times an angle: the
// longer numbers are written out of line.
inline char* WriteUnsignedTwoDigits(char* p, unsigned long long magnitude) {
  if (magnitude >= 100) return WriteThreeOrMoreDigits(p, magnitude);
  // Every minute and second, and degrees below 100.
  return detail::WritePair(p, static_cast<unsigned>(magnitude));
}

inline char* WriteTwoDigits(char* p, double whole) {
  const auto value = static_cast<long long>(whole);
  if (value < 0) *p++ = '-';
  return WriteUnsignedTwoDigits(p, value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value));
}

// Seconds given in 1e-5" units as the mask "0#.####0" writes their
// magnitude: at least two whole digits, the separator, five decimals (one
// digit and two pairs).
inline char* WriteSecondsDigits(char* p, std::uint64_t units, char decimalSeparator) {
  p = WriteUnsignedTwoDigits(p, units / kSecondsScale);
  *p++ = decimalSeparator;
  const auto decimals = static_cast<std::uint32_t>(units % kSecondsScale);
  *p++ = static_cast<char>('0' + decimals / 10000);
  p = detail::WritePair(p, decimals % 10000 / 100);
  return detail::WritePair(p, decimals % 100);
}

// The same appended to `text`; any size.
void AppendTwoDigits(std::string& text, double whole, char decimalSeparator) {
  if (!(std::fabs(whole) < kDirectLimit)) {
    FormatTo(text, whole, "0#", decimalSeparator);
    return;
  }
  std::array<char, 24> buffer;
  text.append(buffer.data(),
              static_cast<std::size_t>(WriteTwoDigits(buffer.data(), whole) - buffer.data()));
}

}  // namespace

double PackedToDegrees(double x) {
  RequireFiniteAngle(x);
  const PackedParts p = SplitPacked(x);
  return p.degrees + (p.seconds / 60 + p.minutes) / 60;
}

char* WriteCommonDms(char* p, double x, char decimalSeparator) {
  // x·1e9 rounded is the angle as one integer of 1e-5" units (ggg mm ss sssss).
  // Its product differs from the exact x·1e9 by at most 6.1e-5 of a unit below
  // 1000°, the seconds of the split (x − g − m/100)·10000 from the exact ones
  // by under 1e-7 of a unit; outside kHalfMargin of a half both round alike,
  // and away from whole minutes the split's tolerances (zero noise, whole
  // minutes, the 60-second carry) change nothing, so the text is the split's.
  constexpr double kUnitsPerPackedDegree = 1e9;  // 1e-5" in packed degrees
  constexpr double kHalfMargin = 1e-3;           // of a unit
  constexpr std::uint32_t kMarginUnits = 100;    // 0.001" from a whole minute
  constexpr std::uint32_t kUnitsPerMinute = 6000000;
  if (!(x > 0 && x < 1000)) return nullptr;  // NaN too
  const double scaled = x * kUnitsPerPackedDegree;
  const auto truncated = static_cast<std::int64_t>(scaled);
  const double fraction = scaled - static_cast<double>(truncated);
  if (std::fabs(fraction - 0.5) < kHalfMargin) return nullptr;
  const std::uint64_t units = static_cast<std::uint64_t>(truncated) + (fraction > 0.5 ? 1U : 0U);
  const auto degrees = static_cast<std::uint32_t>(units / 1000000000);
  const auto belowDegree = static_cast<std::uint32_t>(units % 1000000000);
  const std::uint32_t minutes = belowDegree / 10000000;
  const std::uint32_t seconds = belowDegree % 10000000;  // 1e-5"
  if (minutes >= 60 || seconds < kMarginUnits || seconds >= kUnitsPerMinute - kMarginUnits) {
    return nullptr;
  }
  p = WriteUnsignedTwoDigits(p, degrees);
  *p++ = '\xC2';
  *p++ = '\xB0';
  p = WriteUnsignedTwoDigits(p, minutes);
  *p++ = '\'';
  return WriteSecondsDigits(p, seconds, decimalSeparator);
}

std::string PackedToDms(double x, char decimalSeparator) {
  std::string text;
  PackedToDmsTo(text, x, decimalSeparator);
  return text;
}

void PackedToDmsTo(std::string& text, double x, char decimalSeparator) {
  std::array<char, kCommonDmsRoom> common;  // not cleared: only the written part is read
  if (const char* end = WriteCommonDms(common.data(), x, decimalSeparator)) {
    text.append(common.data(), static_cast<std::size_t>(end - common.data()));
    return;
  }
  RequireFiniteAngle(x);
  const PackedParts p = SplitPacked(x);
  double g = p.degrees;
  int m = p.minutes;
  double s = p.seconds;
  if (std::fabs(s) < kZeroSecondsTolerance) s = 0.0;

  // Seconds that the written precision shows as 60 belong to the next minute.
  // Only seconds from 59.999995 on can round there; the exact decimal
  // rounding decides for those.
  if (std::fabs(s) >= kNearlySixtySeconds) {
    const RoundedDecimal written = RoundDecimal(s, kSecondsDecimals);
    if (written.integerDigits == "60") {
      m += written.negative ? -1 : 1;
      s = 0.0;
    }
  }
  if (m >= 60) {
    g += 1;
    m -= 60;
  } else if (m <= -60) {
    g -= 1;
    m += 60;
  }
  const std::optional<std::uint64_t> seconds = ScaledHalfAwayFromZero(s, kSecondsDecimals);
  if (std::fabs(g) < kDirectLimit && seconds) {
    // The whole text put together and appended at once; the seconds as the
    // mask "0#.####0" writes them: a sign unless they round to zero, at least
    // two whole digits, the separator and five decimals.
    std::array<char, 64> buffer;  // not cleared: only the written part is read
    char* end = WriteTwoDigits(buffer.data(), g);
    *end++ = '\xC2';
    *end++ = '\xB0';
    end = WriteTwoDigits(end, m);
    *end++ = '\'';
    if (std::signbit(s) && *seconds != 0) *end++ = '-';
    end = WriteSecondsDigits(end, *seconds, decimalSeparator);
    text.append(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    return;
  }
  AppendTwoDigits(text, g, decimalSeparator);
  text += "\xC2\xB0";
  AppendTwoDigits(text, m, decimalSeparator);
  text += '\'';
  FormatTo(text, s, "0#.####0", decimalSeparator);
}

double DegreesToPacked(double x) {
  RequireFiniteAngle(x);
  double g = std::trunc(x);
  const double t = (x - g) * 60;
  int m = static_cast<int>(std::trunc(t));
  double s = (t - m) * 60;
  // The result keeps 15 significant digits, so the seconds keep
  // 15 - (degree digits) - 4 decimals. Seconds that reach 60 at that
  // precision are carried here; otherwise the rounding below would write
  // 60 seconds (10.999999999999998 would become 10.596, 10°59'60").
  if (WholeSecondsAt(s, 15 - DegreeDigits(g) - 4) >= 60) {
    if (s > 0) {
      s -= 60;
      m += 1;
    } else {
      s += 60;
      m -= 1;
    }
  }
  if (m >= 60) {
    g += 1;
    m -= 60;
  } else if (m <= -60) {
    g -= 1;
    m += 60;
  }
  return RoundToSignificant((g + static_cast<double>(m) / 100) + s / 10000, 15);
}

}  // namespace korvagrid
