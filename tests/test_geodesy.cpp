// Packed-degree conversions and the closed Gauss–Krüger series of the plane
// systems (ClosedSeriesPlane).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include "common/error.h"
#include "geodesy/constants.h"
#include "conversion/routes.h"
#include "geodesy/closed_series_plane.h"
#include "geodesy/kruger_zone.h"
#include "geodesy/packed_angle.h"
#include "support/geodesy_angles.h"

namespace korvagrid {
namespace {

using testing::Dms;
using testing::PackedToArcSeconds;
using testing::RadToArcSeconds;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// ---------------------------------------------------------------------------
// Packed degrees

struct SplitRow {
  const char* why;
  double packed;
  double degrees;
  int minutes;
  double seconds;
};

TEST(SplitPacked, ReadsTheMinutesAndSecondsAsWritten) {
  // Seconds to 1e-6" (ten decimals of a packed value are 1e-6").
  const SplitRow rows[] = {
      {"55.30: (v-g)*100 falls just short of 30", 55.30, 55, 30, 0},
      {"55.2930: 29 minutes 30 seconds, not 30 minutes", 55.2930, 55, 29, 30},
      {"ten decimals just below a whole minute", 55.2959999999, 55, 29, 59.999999},
      {"ten decimals just above a whole minute", 55.3000000001, 55, 30, 0.000001},
      {"ten decimals with every digit used", 12.3456789012, 12, 34, 56.789012},
      {"whole degrees", 56.0, 56, 0, 0},
      {"negative: the sign covers all parts", -0.30, 0, -30, 0},
      {"negative with seconds", -37.3706651995, -37, -37, -6.651995},
      {"59 minutes 59.9999 seconds", 34.5959999900, 34, 59, 59.9999},
  };
  for (const SplitRow& row : rows) {
    SCOPED_TRACE(row.why);
    const PackedParts p = SplitPacked(row.packed);
    EXPECT_EQ(p.degrees, row.degrees);
    EXPECT_EQ(p.minutes, row.minutes);
    EXPECT_NEAR(p.seconds, row.seconds, 1e-6);
  }
}

struct AngleRow {
  const char* why;
  double packed;
  double degrees;
};

TEST(PackedToRad, ReadsPackedDegrees) {
  // Degrees to 1e-9° (0.0000036").
  const AngleRow rows[] = {
      {"55.30 is 55°30', not 55°29'100\"", 55.30, 55.5},
      {"55.2930 is 55°29'30\"", 55.2930, 55.0 + 29.5 / 60},
      {"whole degrees", 56.0, 56.0},
      {"ten decimals", 55.2959999999, 55.0 + 29.0 / 60 + 59.999999 / 3600},
      {"negative: the sign covers all parts", -0.30, -0.5},
  };
  for (const AngleRow& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_NEAR(PackedToRad(row.packed) * kDegreesPerRadian, row.degrees, 1e-9);
  }
}

TEST(RadToPacked, WritesPackedDegrees) {
  // Compared in arc seconds to 1e-6".
  const AngleRow rows[] = {
      {"55.5° is 55.30", 55.30, 55.5},
      {"-0.5° is -0.30", -0.30, -0.5},
      {"55.4916667° is 55°29'30\"", 55.2930, 55.0 + 29.5 / 60},
      {"whole degrees", 33.0, 33.0},
  };
  for (const AngleRow& row : rows) {
    SCOPED_TRACE(row.why);
    const double packed = RadToPacked(row.degrees / kDegreesPerRadian);
    EXPECT_NEAR(PackedToArcSeconds(packed), PackedToArcSeconds(row.packed), 1e-6);
  }
}

TEST(RadToPacked, RoundTripsTenDecimalPackedValues) {
  // Every packed value with ten decimals over a range of minutes and seconds
  // comes back to 1e-6" (its last written digit).
  for (double degrees : {0.0, 33.0, 55.0, 62.0}) {
    for (int minutes = 0; minutes < 60; minutes += 7) {
      for (double seconds : {0.0, 0.000001, 29.999999, 59.999999}) {
        const double packed = degrees + minutes / 100.0 + seconds / 10000;
        const double back = RadToPacked(PackedToRad(packed));
        EXPECT_NEAR(PackedToArcSeconds(back), Dms(degrees, minutes, seconds), 1e-6)
            << "packed " << packed;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Closed series: reference points

// A point of a plane system carried into another plane system
// (targetKind plane) or to Krasovsky latitude and longitude (Geographic;
// deltaL is then the source central meridian), as the routes do.
struct PlaneResult {
  double first, second;  // metres, or arc seconds for geographic output
};

PlaneResult CarryPlanePoint(double x, double y, double sourceFalseNorth, double targetFalseNorth,
                            double deltaL, double sourceFalseEast, double targetFalseEast,
                            SystemKind targetKind) {
  const ClosedSeriesPlane source(sourceFalseNorth, sourceFalseEast);
  if (targetKind == SystemKind::Geographic) {
    const LatitudeLongitude q = ToGeographic(source, deltaL, {x, y});
    return {RadToArcSeconds(q.latitude), RadToArcSeconds(q.longitude)};
  }
  const PlanePoint p =
      ToOtherPlane(source, ClosedSeriesPlane(targetFalseNorth, targetFalseEast), deltaL, {x, y});
  return {p.x, p.y};
}

struct ClosedSeriesRow {
  const char* why;
  double x, y, sourceFalseNorth, targetFalseNorth, deltaL, sourceFalseEast, targetFalseEast;
  SystemKind kind;
  double expected1, expected2;  // metres, or arc seconds for geographic output
  double tolerance;             // metres, or arc seconds
};

// Reference values computed independently to 0.001" and 1 mm; the tolerance
// is half a unit of their last digit.
TEST(ClosedSeriesPlane, MatchesIndependentReferencePoints) {
  const ClosedSeriesRow rows[] = {
      {"100 km east of 33°, to Krasovsky geographic (0.0005\": reference to 0.001\")", 6200000,
       100000, 0, 0, 118800, 0, 0, SystemKind::Geographic, Dms(55, 54, 42.247),
       Dms(34, 35, 56.968), 0.0005},
      {"reverse then forward into the same system closes to 1 mm (0.0005 m)", 6200000, 100000, 0,
       0, 0, 0, 0, SystemKind::LocalPlane, 6200000.001, 100000.000, 0.0005},
      {"into a system 1° further west (0.0005 m)", 6200000, 100000, 0, 0, 3600, 0, 0,
       SystemKind::LocalPlane, 6201897.867, 162520.049, 0.0005},
      {"false northing and easting of the source cancel the ones of the target (0.0005 m)",
       6200000 - 12900.563, 100000 + 250000, 12900.563, 12900.563, 3600, 250000, 250000,
       SystemKind::LocalPlane, 6201897.867 - 12900.563, 162520.049 + 250000, 0.0005},
      {"GaussKrugerZone target is plane output like LocalPlane (0.0005 m)", 6200000, 100000, 0, 0,
       3600, 0, 0, SystemKind::GaussKrugerZone, 6201897.867, 162520.049, 0.0005},
  };
  for (const ClosedSeriesRow& row : rows) {
    SCOPED_TRACE(row.why);
    const PlaneResult r = CarryPlanePoint(row.x, row.y, row.sourceFalseNorth, row.targetFalseNorth,
                                          row.deltaL, row.sourceFalseEast, row.targetFalseEast, row.kind);
    EXPECT_NEAR(r.first, row.expected1, row.tolerance);
    EXPECT_NEAR(r.second, row.expected2, row.tolerance);
  }
}

TEST(ClosedSeriesPlane, TargetFalseNorthingAndEastingDoNotTouchGeographicOutput) {
  // The route to "BLH(Kras)" from a local system: whatever false values the
  // geographic target carries, the packed result is the same.
  RoutePair pair;
  pair.source = {"63-like", SystemKind::LocalPlane, 0, 118800, 0, 0, 0, false};
  pair.target = {"BLH(Kras)", SystemKind::Geographic, 0, 0, 0, 0, 0, false};
  const RouteOutput plain = CarryPoint(Route::LocalToKrasovsky, pair, 0, {6200000, 100000, 0});
  pair.target.falseNorth = 6552810.0;
  pair.target.falseEast = 95942.17;
  const RouteOutput shifted = CarryPoint(Route::LocalToKrasovsky, pair, 0, {6200000, 100000, 0});
  EXPECT_EQ(plain.x, shifted.x);
  EXPECT_EQ(plain.y, shifted.y);
}

struct MeridianRow {
  const char* why;
  double falseNorth, centralMeridian, falseEast;  // metres, arc seconds, metres
  double fullX;                                   // metres
};

TEST(ClosedSeriesPlane, OnTheCentralMeridianGivesTheMeridianAndTheFootpointLatitude) {
  // y1 = 0 makes l = 0: the longitude is the meridian alone (1e-5": the
  // projection and degree constants differ by 7.5e-11), and B is the
  // footpoint latitude, which Krüger's series gives independently (0.0001").
  const MeridianRow rows[] = {
      {"zone 6, no false values", 0, 118800, 500000, 6200000},
      {"M64: large false northing, fractional false easting", 6552810.0, 108000, 95942.17, 6552810},
      {"63 (P3) in the far north", 12900.563, 138540, 250000, 6990000},
      {"63 (C2) in the south", 11057.626, 100620, 250000, 4430000},
  };
  for (const MeridianRow& row : rows) {
    SCOPED_TRACE(row.why);
    const LatitudeLongitude r = ToGeographic(ClosedSeriesPlane(row.falseNorth, row.falseEast),
                                             row.centralMeridian,
                                             {row.fullX - row.falseNorth, row.falseEast});
    EXPECT_NEAR(RadToArcSeconds(r.longitude), row.centralMeridian, 1e-5);
    const LatitudeLongitude kruger = KrugerZone(6).Reverse({row.fullX, 500000});
    EXPECT_NEAR(RadToArcSeconds(r.latitude), RadToArcSeconds(kruger.latitude), 0.0001);
  }
}

// ---------------------------------------------------------------------------
// Closed series against Krüger's series and against itself

TEST(ClosedSeriesPlane, AgreesWithKrugerSeries100KmFromTheMeridian) {
  // Latitudes 40° to 63°, 100 km either side of 33°: 0.0001".
  const ClosedSeriesPlane plane(0, 0);
  const KrugerZone zone(6);
  for (double x = 4430000; x <= 6990000; x += 20000) {
    for (double easting : {-100000.0, 100000.0}) {
      const LatitudeLongitude classical = ToGeographic(plane, 118800, {x, easting});
      const LatitudeLongitude kruger = zone.Reverse({x, 500000 + easting});
      EXPECT_NEAR(RadToArcSeconds(classical.latitude), RadToArcSeconds(kruger.latitude), 0.0001)
          << "x " << x << " easting " << easting;
      EXPECT_NEAR(RadToArcSeconds(classical.longitude), RadToArcSeconds(kruger.longitude), 0.0001)
          << "x " << x << " easting " << easting;
    }
  }
}

TEST(ClosedSeriesPlane, ReverseThenForwardIntoTheSameSystemClosesToOneMillimetre) {
  // Latitudes 40° to 63°, up to 100 km from the meridian; 1 mm.
  const ClosedSeriesPlane plane(0, 0);
  for (double x = 4430000; x <= 6990000; x += 40000) {
    for (double easting = -100000; easting <= 100000; easting += 20000) {
      const PlanePoint r = plane.Forward(plane.Reverse({x, easting}));
      EXPECT_NEAR(r.x, x, 0.001) << "x " << x << " easting " << easting;
      EXPECT_NEAR(r.y, easting, 0.001) << "x " << x << " easting " << easting;
    }
  }
}

// The plane systems of the catalogue: false northing (m), central meridian
// (arc seconds), false easting (m).
struct PlaneSystem {
  const char* name;
  double falseNorth;
  double centralMeridian;
  double falseEast;
};

constexpr PlaneSystem kPlaneSystems[] = {
    {"63 (C2)", 11057.626, 100620, 250000}, {"63 (C3)", 11057.63, 111420, 250000},
    {"63 (C4)", 11057.63, 122220, 250000},  {"M64", 6552810.0, 108000, 95942.17},
    {"63 (P1)", 12900.563, 116940, 250000}, {"63 (P2)", 12900.563, 127740, 250000},
    {"63 (P3)", 12900.563, 138540, 250000}, {"42(zone5)", 0, 97200, 500000},
    {"42(zone6)", 0, 118800, 500000},       {"42(zone7)", 0, 140400, 500000},
    {"  47(1)", 11057.626, 100620, 250000}, {"  47(2)", 11057.63, 111420, 250000},
    {"  47(3)", 11057.63, 122220, 250000},  {"  53(1)", 12900.563, 106140, 250000},
    {"  53(2)", 12900.563, 116940, 250000}, {"  53(3)", 12900.563, 127740, 250000},
};

// Closure of A → B → A against the largest distance of the point from the
// two central meridians. Every call carries a systematic +0.5 to +0.8 mm in
// x (see the same-system test), so two calls close to 2 mm near the
// meridians; beyond 3° the truncated series grows quickly, and between the
// zones 5 and 7 (12° apart) the closure is only metres.
struct ClosureBand {
  double maxDegreesFromMeridian;
  double toleranceMetres;
};

constexpr ClosureBand kClosureBands[] = {
    {1.5, 0.002}, {3.0, 0.004},  {4.5, 0.015}, {6.0, 0.075},
    {8.0, 0.5},   {10.0, 2.5},   {12.0, 8.0},  {15.0, 35.0},
};

double ClosureTolerance(double degreesFromMeridian) {
  for (const ClosureBand& band : kClosureBands) {
    if (degreesFromMeridian <= band.maxDegreesFromMeridian) return band.toleranceMetres;
  }
  ADD_FAILURE() << "point " << degreesFromMeridian << "° from a meridian";
  return 0;
}

TEST(ClosedSeriesPlane, PlaneToPlaneAndBackClosesForEveryPairOfPlaneSystems) {
  // Latitudes 42° to 62° (full x), up to 150 km either side of the source
  // meridian; tolerance by the band of the point (above).
  double worstNearMeridians = 0;
  for (const PlaneSystem& a : kPlaneSystems) {
    for (const PlaneSystem& b : kPlaneSystems) {
      for (double fullX = 4650000; fullX <= 6880000; fullX += 115000) {
        for (double easting = -150000; easting <= 150000; easting += 50000) {
          const double x = fullX - a.falseNorth;
          const double y = a.falseEast + easting;
          const ClosedSeriesPlane planeA(a.falseNorth, a.falseEast);
          const ClosedSeriesPlane planeB(b.falseNorth, b.falseEast);
          const PlanePoint there =
              ToOtherPlane(planeA, planeB, a.centralMeridian - b.centralMeridian, {x, y});
          const PlanePoint back =
              ToOtherPlane(planeB, planeA, b.centralMeridian - a.centralMeridian, there);
          const double longitude =
              RadToArcSeconds(ToGeographic(planeA, a.centralMeridian, {x, y}).longitude);
          const double degreesFromMeridian =
              std::max(std::fabs(longitude - a.centralMeridian),
                       std::fabs(longitude - b.centralMeridian)) /
              3600;
          const double closure = std::hypot(back.x - x, back.y - y);
          EXPECT_LE(closure, ClosureTolerance(degreesFromMeridian))
              << a.name << " -> " << b.name << " -> " << a.name << " at x " << fullX
              << " easting " << easting << ", " << degreesFromMeridian << "° from a meridian";
          if (degreesFromMeridian <= 1.5) worstNearMeridians = std::max(worstNearMeridians, closure);
        }
      }
    }
  }
  // The pairs on one meridian (e.g. "63 (C2)" and "  47(1)") were reached.
  EXPECT_GT(worstNearMeridians, 0.0);
}

// ---------------------------------------------------------------------------
// Closed series: arithmetic faults

struct FaultRow {
  const char* why;
  double x, y, sourceFalseNorth, targetFalseNorth, deltaL, sourceFalseEast, targetFalseEast;
  SystemKind kind;
};

TEST(ClosedSeriesPlane, ArithmeticFaultsThrow) {
  const FaultRow rows[] = {
      {"NaN x", kNaN, 100000, 0, 0, 0, 0, 0, SystemKind::LocalPlane},
      {"infinite y", 6200000, kInf, 0, 0, 0, 0, 0, SystemKind::LocalPlane},
      {"NaN deltaL, geographic output", 6200000, 100000, 0, 0, kNaN, 0, 0,
       SystemKind::Geographic},
      {"NaN source false northing, geographic output", 6200000, 100000, kNaN, 0, 0, 0, 0,
       SystemKind::Geographic},
      {"infinite target false easting, plane output", 6200000, 100000, 0, 0, 0, 0, kInf,
       SystemKind::LocalPlane},
      {"z² overflows: y of 1e200 m", 6200000, 1e200, 0, 0, 0, 0, 0, SystemKind::LocalPlane},
      {"z² overflows, geographic output", 6200000, 1e200, 0, 0, 0, 0, 0, SystemKind::Geographic},
  };
  for (const FaultRow& row : rows) {
    SCOPED_TRACE(row.why);
    try {
      CarryPlanePoint(row.x, row.y, row.sourceFalseNorth, row.targetFalseNorth, row.deltaL,
                      row.sourceFalseEast, row.targetFalseEast, row.kind);
      ADD_FAILURE() << "no error";
    } catch (const KorvagridError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("арифметическая ошибка: ClosedSeriesPlane", 0), 0u)
          << error.what();
    }
  }
}

}  // namespace
}  // namespace korvagrid
