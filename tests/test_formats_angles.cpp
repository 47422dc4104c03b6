// Packed degrees, decimal degrees and degree-minute-second text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "common/error.h"
#include "formats/angles.h"

namespace korvagrid {
namespace {

constexpr double kDegreesTolerance = 1e-12;  // degrees, ~4e-9"

struct DegreesRow {
  double packed;
  double degrees;
  const char* why;
};

const DegreesRow kDegreesRows[] = {
    {55.301234, 55.0 + 30.0 / 60 + 12.34 / 3600, "55°30'12.34\""},
    {-55.301234, -(55.0 + 30.0 / 60 + 12.34 / 3600), "negative in all its parts"},
    {55.3, 55.5, "whole minutes: 0.3·100 falls short of 30 by rounding only"},
    {55.2930, 55.0 + 29.0 / 60 + 30.0 / 3600, "29 minutes, not 30"},
    {0.0001, 1.0 / 3600, "one second"},
    {7.0512, 7.0 + 5.0 / 60 + 12.0 / 3600, "single-digit degrees and minutes"},
    {10.596, 11.0, "60 seconds written: counts as the next minute"},
};

TEST(PackedToDegrees, Table) {
  for (const DegreesRow& row : kDegreesRows) {
    EXPECT_NEAR(PackedToDegrees(row.packed), row.degrees, kDegreesTolerance) << row.why;
  }
}

struct DmsRow {
  double packed;
  char numP;
  std::string expected;
  const char* why;
};

const DmsRow kDmsRows[] = {
    {55.301234, '.', "55°30'12.34000", "plain angle"},
    {55.051234, '.', "55°05'12.34000", "minutes below 10 padded"},
    {7.0512, '.', "07°05'12.00000", "degrees below 10 padded"},
    {55.3, '.', "55°30'00.00000", "rounding noise in the seconds is written as zero"},
    {55.301234, ',', "55°30'12,34000", "decimal comma"},
    {137.595999, '.', "137°59'59.99000", "three-digit degrees"},
    // 60-second carry: seconds that round to 60.00000 move into the minutes.
    {55.295999999999, '.', "55°30'00.00000", "just below a whole minute"},
    {55.595999999999, '.', "56°00'00.00000", "just below a whole degree: minutes carry too"},
    {179.595999999999, '.', "180°00'00.00000", "carry to 180°"},
    {12.3459999999, '.', "12°35'00.00000", "s = 59.999999\""},
    {55.2959999995, '.', "55°29'59.99999", "s = 59.999995 - rounding noise: stays below 60"},
    {55.29599999949, '.', "55°29'59.99999", "s = 59.9999949: no carry"},
    {-55.295999999999, '.', "-55°-30'00.00000", "negative, carry into the minutes"},
    {-55.595999999999, '.', "-56°00'00.00000", "negative, carry into the degrees"},
    {-55.301234, '.', "-55°-30'-12.34000", "each part of a negative angle carries its sign"},
    {1e-12, '.', "00°00'00.00000", "noise around zero: no minus sign"},
    {-1e-12, '.', "00°00'00.00000", "negative noise around zero: no minus sign"},
};

TEST(PackedToDms, Table) {
  for (const DmsRow& row : kDmsRows) {
    EXPECT_EQ(PackedToDms(row.packed, row.numP), row.expected) << row.why << " (" << row.packed << ")";
  }
}

// Regression: seconds that round to 60 at five decimals used to be written
// as "60.00000".
TEST(PackedToDms, NeverWritesSixtySeconds) {
  for (int g = 0; g <= 180; g += 7) {
    for (int m = 0; m < 60; ++m) {
      const double packed = g + m / 100.0 + 59.9999991 / 10000;
      const std::string text = PackedToDms(packed, '.');
      EXPECT_EQ(text.find("'60"), std::string::npos) << text;
      EXPECT_EQ(text.find("°60"), std::string::npos) << text;
    }
  }
}

// Angles built from whole units of 1e-5" and an offset of under half a unit
// are written with exactly those units, whichever way the writer takes: near
// whole minutes, near rounding halves, with three-digit degrees.
TEST(PackedToDms, WritesTheUnitsAnAngleIsMadeOf) {
  const unsigned degrees[] = {0, 7, 55, 99, 100, 179, 999};
  const unsigned minutes[] = {0, 1, 30, 59};
  const unsigned units[] = {1, 99, 100, 101, 1234567, 3000000, 5999899, 5999900, 5999999};
  // Offsets on both sides of 0.001 of a unit from a half, where the writer of
  // common angles hands over to the general one; 0.0005 from a half is still
  // four times the error of building 999° from its parts.
  const double offsets[] = {0.0, 0.3, -0.3, 0.4985, -0.4985, 0.4995, -0.4995};
  for (const unsigned g : degrees) {
    for (const unsigned m : minutes) {
      for (const unsigned u : units) {
        for (const double offset : offsets) {
          const double packed = g + m / 100.0 + (u + offset) / 1e9;
          char expected[32];
          std::snprintf(expected, sizeof expected, "%02u\xC2\xB0%02u'%02u.%05u", g, m, u / 100000,
                        u % 100000);
          EXPECT_EQ(PackedToDms(packed, '.'), expected) << "offset " << offset;
        }
      }
    }
  }
}

struct ToPackedRow {
  double degrees;
  double packed;
  const char* why;
};

const ToPackedRow kToPackedRows[] = {
    {55.5, 55.3, "half a degree"},
    {-37.5, -37.3, "negative"},
    {55.0 + 30.0 / 60 + 12.34 / 3600, 55.301234, "15 significant digits remove the binary noise"},
    {0.0, 0.0, "zero"},
    // 60-second and 60-minute carries.
    {10.999999999999998, 11.0, "just below a whole degree: 59'59.99999999999\" is 11°"},
    {-10.999999999999998, -11.0, "the same, negative"},
    {55.0 + 0.9999999999999 / 60, 55.01, "just below a whole minute"},
    {55.99999999999999, 56.0, "seconds and minutes both carry"},
};

TEST(DegreesToPacked, Table) {
  for (const ToPackedRow& row : kToPackedRows) {
    EXPECT_EQ(DegreesToPacked(row.degrees), row.packed) << row.why;
  }
}

// Packed → degrees → packed returns the written angle (15 digits).
TEST(DegreesToPacked, RoundTripThroughDegrees) {
  const double packed[] = {55.301234, 37.365678901, 0.0001, 89.5959, 179.595999, 5.0005, -55.301234, 42.1};
  for (const double p : packed) {
    EXPECT_NEAR(DegreesToPacked(PackedToDegrees(p)), p, 1e-12) << p;  // packed units: 1e-8"
  }
}

TEST(Angles, NonFiniteAnglesAreFailures) {
  EXPECT_THROW(PackedToDegrees(std::nan("")), KorvagridError);
  EXPECT_THROW(PackedToDms(INFINITY, '.'), KorvagridError);
  EXPECT_THROW(DegreesToPacked(std::nan("")), KorvagridError);
}

}  // namespace
}  // namespace korvagrid
