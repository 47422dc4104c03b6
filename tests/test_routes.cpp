// Datum routes of the run: independently computed reference points through
// every chain, and every pair of catalogue systems checked against
// independent routes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "conversion/routes.h"
#include "formats/angles.h"
#include "support/run_helpers.h"

namespace korvagrid {
namespace {

using testing::Convert;
using testing::DmsTextToArcSeconds;
using testing::Number;
using testing::SettingsFor;
using testing::SplitFields;
using testing::SplitLines;

constexpr int kC2 = 0, kZone6 = 8, kZone7 = 9, kBlh = 10, kWgs = 11;
constexpr int kOwn = 18;  // the list place of the own system, after the fixed rows
constexpr int kEntries = kOwn + 1;

constexpr double Dms(double d, double m, double s) { return d * 3600 + m * 60 + s; }

struct GeoExpected {
  const char* why;
  int source;
  int target;
  const char* input;
  double b;  // arc seconds
  double l;
  double h;  // metres
};

// Geographic results: reference values computed independently to 0.0001"
// and 1 mm; the result text writes 0.00001" and 1 mm, so the comparison
// allows half a unit of the reference's last digit.
TEST(Routes, GeographicTargetsMatchIndependentReferencePoints) {
  const std::vector<GeoExpected> cases = {
      {"42(zone6) -> BLH(Kras): inverse Kruger series only", kZone6, kBlh, "6200000 6600000 150",
       Dms(55, 54, 42.2474), Dms(34, 35, 56.9677), 150.0},
      {"42(zone6) written without its prefix gives the same point", kZone6, kBlh, "6200000 600000 150",
       Dms(55, 54, 42.2474), Dms(34, 35, 56.9677), 150.0},
      {"42(zone6) -> WGS-84: series and datum shift", kZone6, kWgs,
       "6200000 6600000 150", Dms(55, 54, 42.1787), Dms(34, 35, 50.1255), 165.814},
      {"BLH(Kras) -> WGS-84 goes through the datum shift only", kBlh, kWgs, "55°45'00\" 37°37'00\" 150",
       Dms(55, 45, 0.1173), Dms(37, 36, 53.3479), 162.170},
      {"WGS-84 -> BLH(Kras) goes through the datum shift back", kWgs, kBlh,
       "55°45'00\" 37°37'00\" 150", Dms(55, 44, 59.8826), Dms(37, 37, 6.6520), 137.832},
  };
  for (const GeoExpected& e : cases) {
    const auto c = Convert(e.input, SettingsFor(e.source, e.target));
    ASSERT_EQ(c.outcome.end, RunEnd::Completed) << e.why << ": " << c.outcome.reason;
    const auto f = SplitFields(c.text);
    ASSERT_EQ(f.size(), 3u) << e.why << ": " << c.text;
    EXPECT_NEAR(DmsTextToArcSeconds(f[0]), e.b, 0.00006) << e.why;
    EXPECT_NEAR(DmsTextToArcSeconds(f[1]), e.l, 0.00006) << e.why;
    EXPECT_NEAR(Number(f[2]), e.h, 0.0006) << e.why;
  }
}

struct PlaneExpected {
  const char* why;
  int source;
  int target;
  const char* input;
  double x;
  double y;
  double h;
};

TEST(Routes, PlaneTargetsMatchIndependentReferencePoints) {
  const std::vector<PlaneExpected> cases = {
      {"BLH(Kras) -> 42(zone7): the zone holding the point", kBlh, kZone7, "55°45'00\" 37°37'00\" 150",
       6181703.260, 413135.322, 150.0},
      {"BLH(Kras) -> 42(zone6): a zone 7 point projected into zone 6, as its label says", kBlh,
       kZone6, "55°45'00\" 37°37'00\" 150", 6190495.564, 789793.024, 150.0},
      {"WGS-84 -> 42(zone7): datum shift, then the point's zone", kWgs, kZone7,
       "55°45'00\" 37°37'00\" 150", 6181697.317, 413251.271, 137.832},
  };
  for (const PlaneExpected& e : cases) {
    const auto c = Convert(e.input, SettingsFor(e.source, e.target));
    ASSERT_EQ(c.outcome.end, RunEnd::Completed) << e.why << ": " << c.outcome.reason;
    const auto f = SplitFields(c.text);
    ASSERT_EQ(f.size(), 3u) << e.why;
    EXPECT_NEAR(Number(f[0]), e.x, 0.0011) << e.why;
    EXPECT_NEAR(Number(f[1]), e.y, 0.0011) << e.why;
    EXPECT_NEAR(Number(f[2]), e.h, 0.0011) << e.why;
  }
}

// Regression: a point beyond the target zone's edge was projected into its
// own zone and written under the target's label, so converting it back
// landed hundreds of kilometres away. Geographic -> zone -> geographic now
// closes for points up to 1.5° beyond either edge of the zone.
TEST(Routes, GeographicToZoneAndBackClosesBeyondTheZoneEdges) {
  constexpr double kToleranceArcSeconds = 0.0002;  // about 6 mm
  constexpr double kToleranceMetres = 0.002;
  for (const int geographic : {kBlh, kWgs}) {
    for (const int zoneIndex : {7, kZone6, kZone7}) {
      const int zone = zoneIndex - 2;                // catalogue 7, 8, 9 are zones 5, 6, 7
      const double west = 6.0 * zone - 6;            // the zone's western edge, degrees
      for (const double offset : {-1.5, -0.5, 0.0, 3.0, 6.0, 6.5, 7.5}) {
        for (const double latitude : {45.0, 55.0, 62.0}) {
          ConversionSettings there = SettingsFor(geographic, zoneIndex);
          there.inputAngles = InputAngles::Decimal;
          there.outputPlane = PlaneStyle::Full;  // Y with its zone prefix
          char input[64];
          std::snprintf(input, sizeof input, "%.10f %.10f 100", latitude, west + offset);
          const auto zoneText = Convert(input, there);
          ASSERT_EQ(zoneText.outcome.end, RunEnd::Completed) << input;

          ConversionSettings back = SettingsFor(zoneIndex, geographic);
          back.outputAngles = OutputAngles::Packed;  // packed degrees, seconds to 0.00001"
          const auto returned = Convert(zoneText.text, back);
          ASSERT_EQ(returned.outcome.end, RunEnd::Completed) << zoneText.text;
          const auto f = SplitFields(returned.text);
          ASSERT_EQ(f.size(), 3u) << returned.text;
          const std::string why = std::string(input) + " via " + zoneText.text;
          EXPECT_NEAR(PackedToDegrees(Number(f[0])) * 3600, latitude * 3600, kToleranceArcSeconds) << why;
          EXPECT_NEAR(PackedToDegrees(Number(f[1])) * 3600, (west + offset) * 3600, kToleranceArcSeconds)
              << why;
          EXPECT_NEAR(Number(f[2]), 100, kToleranceMetres) << why;
        }
      }
    }
  }
}

TEST(Routes, DecimalDegreeInputReachesTheChainsAsPackedDegrees) {
  // 55.75, 37.616666667 decimal is 55°45', 37°37': the same result as packed input.
  ConversionSettings decimal = SettingsFor(kBlh, kWgs);
  decimal.inputAngles = InputAngles::Decimal;
  ConversionSettings packed = SettingsFor(kBlh, kWgs);
  packed.inputAngles = InputAngles::Packed;
  EXPECT_EQ(Convert("55.75 37.6166666666667 150", decimal).text, Convert("55.45 37.37 150", packed).text);
  // Decimal input read as decimal degrees by the route to a plane target.
  decimal.target = testing::SystemAt(kZone7);
  packed.target = testing::SystemAt(kZone7);
  EXPECT_EQ(Convert("55.75 37.6166666666667 150", decimal).text, Convert("55.45 37.37 150", packed).text);
}

TEST(Routes, ChoiceOfChain) {
  struct Case {
    int source;
    int target;
    Route route;
  };
  const std::vector<Case> cases = {
      {kC2, 12, Route::Identity},               // 63 (C2) and 47(1) share a meridian
      {4, 16, Route::Identity},                 // 63 (P1) and 53(2)
      {kC2, kZone6, Route::PlaneToPlane},
      {kC2, kBlh, Route::LocalToKrasovsky},
      {kC2, kWgs, Route::LocalToWgs84},
      {kZone6, kBlh, Route::ZoneToGeographic},
      {kZone6, kWgs, Route::ZoneToGeographic},
      {kBlh, kZone6, Route::GeographicToZone},
      {kWgs, kZone6, Route::GeographicToZone},
      {kBlh, kWgs, Route::KrasovskyToWgs84},
      {kWgs, kBlh, Route::Wgs84ToKrasovsky},
      {kBlh, kC2, Route::GeographicToLocal},
      {kWgs, 3, Route::GeographicToLocal},
      {kBlh, kBlh, Route::Identity},
  };
  for (const Case& c : cases) {
    RoutePair pair;
    pair.source = testing::SystemAt(c.source);
    pair.target = testing::SystemAt(c.target);
    pair.sameEntry = c.source == c.target;
    EXPECT_EQ(ChooseRoute(pair), c.route) << c.source << " -> " << c.target;
  }
}

// ---- Every pair of systems ----------------------------------------------------

// Meridian of an entry in degrees; geographic entries sit at 33°.
double MeridianDegrees(int index) {
  if (index == kOwn) return 32.45;
  const double cm = testing::SystemAt(index).centralMeridian;
  return cm == 0 ? 33.0 : cm / 3600;
}

std::string PackedDms(double degrees) {
  const double d = std::trunc(degrees);
  const double m = std::round((degrees - d) * 60);
  return std::to_string(static_cast<int>(d)) + "°" + std::to_string(static_cast<int>(m)) + "'00\"";
}

// The result of converting one point line.
std::string ConvertLine(const std::string& line, int from, int to) {
  const auto c = Convert(line, SettingsFor(from, to));
  EXPECT_EQ(c.outcome.end, RunEnd::Completed) << from << " -> " << to << ": " << c.outcome.reason;
  return c.text;
}

// Difference of two result lines of the same system: metres for plane values
// (X, Y), arc seconds turned into metres (1" of latitude is about 30.9 m)
// for geographic values.
double Difference(const std::string& a, const std::string& b, int system) {
  const auto fa = SplitFields(a);
  const auto fb = SplitFields(b);
  if (fa.size() < 2 || fb.size() < 2) return INFINITY;
  if (IsGeographic(testing::SystemAt(system))) {
    constexpr double kMetresPerArcSecond = 30.9;
    return kMetresPerArcSecond * std::max(std::fabs(DmsTextToArcSeconds(fa[0]) - DmsTextToArcSeconds(fb[0])),
                                          std::fabs(DmsTextToArcSeconds(fa[1]) - DmsTextToArcSeconds(fb[1])));
  }
  return std::max(std::fabs(Number(fa[0]) - Number(fb[0])), std::fabs(Number(fa[1]) - Number(fb[1])));
}

// The longitude of the test point of a pair: halfway between the two
// meridians, but inside the 6° zone of a Gauss–Krüger system, since
// geographic input goes into the zone that holds the point.
double TestLongitude(int a, int b) {
  const auto isZone = [](int i) { return i >= 7 && i <= 9; };
  const double ma = MeridianDegrees(a);
  const double mb = MeridianDegrees(b);
  if (isZone(a)) return ma + std::clamp(mb - ma, -2.5, 2.5);
  if (isZone(b)) return mb + std::clamp(ma - mb, -2.5, 2.5);
  return (ma + mb) / 2;
}

bool InZoneOf(int system, double longitude) {
  if (system < 7 || system > 9) return true;
  return std::fabs(longitude - MeridianDegrees(system)) < 3;
}

// For every source A and target B that share a region (a point at latitude
// 55°30' within 3.5° of both meridians and inside the 6° zone of a
// Gauss–Krüger system; farther out the local systems' eastings turn negative
// and their zone prefixes stop meaning anything):
//  - A -> B -> A returns the point. The plane series close to about a
//    millimetre near the meridian; the datum shift there and back is not the
//    exact inverse (its parameters are negated) and adds under 0.0001" (3 mm).
//  - A -> B agrees with A -> WGS-84 -> B: the classical series of the plane
//    transformation against the Krüger series of the datum chains.
// Both series are truncated and their error grows quickly with the distance
// from the meridian: the tolerance is 1 cm within 2° of both meridians and
// 3 cm out to 3.5° (measured at most 2.5 cm there).
TEST(Routes, EveryPairClosesAndAgreesWithTheRouteThroughWgs84) {
  int tested = 0;
  for (int a = 0; a < kEntries; ++a) {
    for (int b = 0; b < kEntries; ++b) {
      const double l = TestLongitude(a, b);
      const double reach = std::max(std::fabs(l - MeridianDegrees(a)), std::fabs(l - MeridianDegrees(b)));
      if (reach > 3.5 || !InZoneOf(a, l) || !InZoneOf(b, l)) continue;
      ++tested;
      const double tolerance = reach <= 2 ? 0.01 : 0.03;  // metres
      const std::string geographic = "55°30'00\" " + PackedDms(l) + " 150";
      const std::string inA = ConvertLine(geographic, kBlh, a);
      const std::string inB = ConvertLine(inA, a, b);
      const std::string back = ConvertLine(inB, b, a);
      EXPECT_LT(Difference(inA, back, a), tolerance)
          << a << " -> " << b << " -> " << a << ", " << reach << "° from a meridian\n"
          << inA << "\n" << inB << "\n" << back;
      const std::string viaWgs = ConvertLine(ConvertLine(inA, a, kWgs), kWgs, b);
      EXPECT_LT(Difference(inB, viaWgs, b), tolerance)
          << a << " -> " << b << " against the route through WGS-84, " << reach << "° from a meridian\n"
          << inB << "\n" << viaWgs;
    }
  }
  // All pairs but those of systems more than 7° apart.
  EXPECT_GE(tested, 280);
}

}  // namespace
}  // namespace korvagrid
