// Number masks and the decimal helpers behind them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "common/error.h"
#include "formats/number_format.h"

namespace korvagrid {
namespace {

struct FormatRow {
  double value;
  const char* mask;
  char separator;
  std::string expected;
  const char* why;
};

const FormatRow kFormatRows[] = {
    // Every mask the system writes with.
    {6012345.6789, "0.##0", '.', "6012345.679", "plane X: three decimals, rounded"},
    {152.3, "0.##0 ", '.', "152.300 ", "plane Y and heights: the trailing space is written"},
    {5.5, "00.#####0", '.', "05.500000", "waypoint latitude: two integer digits at least"},
    {37.603428, "00.#####0 ,", '.', "37.603428 ", "waypoint longitude: the comma is not written"},
    {55.503427777777778, "00.######0", '.', "55.5034278", "decimal degrees, seven decimals"},
    {55.301234, "00.0000####0", '.', "55.301234000", "packed degrees, nine decimals"},
    {7, "0#", '.', "07", "degrees and minutes are padded to two digits"},
    {137, "0#", '.', "137", "more integer digits than placeholders are all written"},
    {12.34, "0#.####0", '.', "12.34000", "seconds"},
    {5.5, "0#.####0", '.', "05.50000", "seconds below 10"},
    {59.999996, "0#.####0", '.', "60.00000", "the mask itself never carries into minutes"},
    // Masks of the inverse problem and the own-system dialog.
    {3.4, "00", '.', "03", "integer mask without a point"},
    {3.45, "0#.0", '.', "03.5", "3.45 is a decimal half: rounds up"},
    {12.3456, "0##.000", '.', "012.346", "three integer places"},
    {1.23456, "0#.###0", '.', "01.2346", "four decimals"},
    {-0.5, "0#.##0", '.', "-00.500", "negative value below one"},
    // Rounding halves away from zero on the decimal value, not on the binary one.
    {2.5, "0", '.', "3", "exact half"},
    {-2.5, "0", '.', "-3", "negative half goes away from zero"},
    {0.0005, "0.##0", '.', "0.001", "0.0005 is stored just above or below: its decimal is a half"},
    {-0.0005, "0.##0", '.', "-0.001", "negative half that does not round to zero"},
    {1.0005, "0.##0", '.', "1.001", "the double is 1.000499999...; the decimal is a half"},
    {2.675, "0.#0", '.', "2.68", "the double is 2.67499999...; the decimal is a half"},
    {0.125, "0.#0", '.', "0.13", "binary-exact half"},
    {0.1 + 0.2, "0.##0", '.', "0.300", "0.30000000000000004"},
    {9.9995, "0.##0", '.', "10.000", "the carry runs into a new integer digit"},
    {0.99999999, "0.##0", '.', "1.000", "the carry turns 0 into 1"},
    // Extremes.
    {1e20, "0.##0", '.', "100000000000000000000.000", "beyond 64-bit integers"},
    {-1e20, "0", '.', "-100000000000000000000", "large negative"},
    {1e-300, "0.##0", '.', "0.000", "tiny value"},
    {4.9e-324, "00.######0", '.', "00.0000000", "smallest subnormal"},
    {0.0, "0.##0", '.', "0.000", "zero"},
    // "-0.000" is never written.
    {-0.0, "0#", '.', "00", "negative zero"},
    {-0.0004, "0.##0", '.', "0.000", "a negative value that rounds to zero"},
    {-1e-12, "0#.####0", '.', "00.00000", "seconds that are rounding noise below zero"},
    // Decimal separator.
    {6012.5, "0.##0", ',', "6012,500", "comma as decimal separator"},
    // Trailing "#" placeholders drop zeros; no separator without decimals.
    {1.5, "0.##", '.', "1.5", "trailing # drops the zero"},
    {2.0, "0.##", '.', "2", "no decimals left: no separator"},
    {0.5, "#.##0", '.', ".500", "no integer zero under #"},
};

TEST(Format, MaskTable) {
  for (const FormatRow& row : kFormatRows) {
    EXPECT_EQ(Format(row.value, row.mask, row.separator), row.expected)
        << row.why << " (value " << row.value << ", mask \"" << row.mask << "\")";
  }
}

TEST(Format, VeryLargeValueKeepsAllDigits) {
  const std::string text = Format(1e300, "0", '.');
  ASSERT_EQ(text.size(), 301u);
  EXPECT_EQ(text.substr(0, 1), "1");
  EXPECT_EQ(text.find_first_not_of('0', 1), std::string::npos);
}

TEST(Format, NonFiniteValuesAreFailures) {
  EXPECT_THROW(Format(std::nan(""), "0.##0", '.'), KorvagridError);
  EXPECT_THROW(Format(INFINITY, "0.##0", '.'), KorvagridError);
  EXPECT_THROW(Format(-INFINITY, "0", '.'), KorvagridError);
}

// Masks fixed when the program is built are written by FormatInto<Mask>
// with their counts as constants; the text must be FormatTo's, and no text
// where FormatInto writes none. Masks that write every decimal take the
// integer part and the fraction apart; the others go to FormatInto.
constexpr NumberMask kPlaneXMask("0.##0");
constexpr NumberMask kHeightMask("0.##0 ");
constexpr NumberMask kDecimalDegreesMask("00.######0");
constexpr NumberMask kPackedDegreesMask("00.0000####0");
constexpr NumberMask kIntegerMask("0");
constexpr NumberMask kPointOnlyMask("0.");
constexpr NumberMask kNoIntegerZeroMask("#.#0");
constexpr NumberMask kDroppedZerosMask("0.##");

template <const NumberMask& Mask>
void ExpectFixedMaskWritesFormatTo(double value) {
  std::array<char, kFormatIntoRoom> text{};
  const char* end = FormatInto<Mask>(text.data(), value, ',');
  const char* general = FormatInto(text.data(), value, Mask, ',');
  ASSERT_EQ(end == nullptr, general == nullptr) << "mask \"" << Mask.text() << "\", value " << value;
  if (end == nullptr) return;
  end = FormatInto<Mask>(text.data(), value, ',');
  std::string expected;
  FormatTo(expected, value, Mask, ',');
  EXPECT_EQ(std::string(static_cast<const char*>(text.data()), end), expected) << "mask \"" << Mask.text() << "\", value " << value;
}

TEST(Format, FixedMasksWriteTheTextOfTheGeneralWriter) {
  const double values[] = {
      6012345.6789,   // plane X
      7412345.0005,   // a decimal half: no text from either writer
      0.0,     -0.0,  // zero, and no "-" for it
      -0.0004,        // a negative value that rounds to zero
      -12.5,   0.5,   // negative; below one (no integer digit under "#")
      9.9995,         // the carry runs into the integer part
      0.99999999,     // and turns 0 into 1
      0.007,          // leading zeros of the fraction
      55.123456789,   // more decimals than any mask writes
      4294967296.25,  // an integer part beyond 32 bits
      999999999999.9, // the largest scaled values the fast route takes
      1e15,           // too large for it
      1e-300,
  };
  for (const double value : values) {
    ExpectFixedMaskWritesFormatTo<kPlaneXMask>(value);
    ExpectFixedMaskWritesFormatTo<kHeightMask>(value);
    ExpectFixedMaskWritesFormatTo<kDecimalDegreesMask>(value);
    ExpectFixedMaskWritesFormatTo<kPackedDegreesMask>(value);
    ExpectFixedMaskWritesFormatTo<kIntegerMask>(value);
    ExpectFixedMaskWritesFormatTo<kPointOnlyMask>(value);
    ExpectFixedMaskWritesFormatTo<kNoIntegerZeroMask>(value);
    ExpectFixedMaskWritesFormatTo<kDroppedZerosMask>(value);
  }
}

struct PlainRow {
  double value;
  std::string expected;
  const char* why;
};

const PlainRow kPlainRows[] = {
    {1e-8, "0.00000001", "never in exponent form"},
    {12.34, "12.34", "trailing zeros dropped"},
    {60, "60", "whole number: no point"},
    {0, "0", "zero"},
    {-5.5, "-5.5", "negative"},
    {12.345678901234567, "12.3456789012346", "15 significant digits, rounded"},
    {123456789012345678.0, "123456789012346000", "15 significant digits of a large number"},
    {1e20, "100000000000000000000", "large power of ten"},
    {0.1 + 0.2, "0.3", "binary noise beyond 15 digits disappears"},
    {59.99999999999999, "60", "rounds up to the next whole"},
};

TEST(PlainDecimal, FifteenSignificantDigits) {
  for (const PlainRow& row : kPlainRows) {
    EXPECT_EQ(PlainDecimal(row.value, 15), row.expected) << row.why;
  }
}

TEST(RoundToSignificant, FifteenDigits) {
  EXPECT_EQ(RoundToSignificant(10.59599999999999936, 15), 10.596);  // 60 seconds appear
  EXPECT_EQ(RoundToSignificant(55.301234000000001, 15), 55.301234);
  EXPECT_EQ(RoundToSignificant(0.0, 15), 0.0);
  EXPECT_EQ(RoundToSignificant(-37.3, 15), -37.3);
}

TEST(RoundDecimal, DigitsAndSign) {
  const RoundedDecimal r = RoundDecimal(-1234.5678, 2);
  EXPECT_TRUE(r.negative);
  EXPECT_EQ(r.integerDigits, "1234");
  EXPECT_EQ(r.fractionDigits, "57");
  const RoundedDecimal zero = RoundDecimal(-0.004, 2);
  EXPECT_FALSE(zero.negative);
  EXPECT_EQ(zero.integerDigits, "");
  EXPECT_EQ(zero.fractionDigits, "00");
}

}  // namespace
}  // namespace korvagrid
