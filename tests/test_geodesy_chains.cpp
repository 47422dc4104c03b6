// Krüger's series of the SK-42 zones (KrugerZone, SeriesTerms) and the routes
// that chain them with the datum shift between zone planes and geographic
// coordinates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>

#include "common/error.h"
#include "conversion/routes.h"
#include "geodesy/constants.h"
#include "geodesy/datum_shift.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/kruger_zone.h"
#include "geodesy/packed_angle.h"
#include "geodesy/series_terms.h"
#include "support/geodesy_angles.h"

namespace korvagrid {
namespace {

using testing::DegreesToPackedValue;
using testing::Dms;
using testing::PackedToArcSeconds;
using testing::RadToArcSeconds;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// ---------------------------------------------------------------------------
// SeriesTerms

TEST(SeriesTerms, MatchesTheHyperbolicFunctions) {
  struct Row {
    const char* why;
    double xi, eta;
    int k;
  };
  // Relative 1e-14: the two-exponential form against std::cosh/std::sinh.
  const Row rows[] = {
      {"order 2 at 55°N, 100 km east", 0.9737, 0.0157, 2},
      {"order 8, west of the meridian", 0.9737, -0.0236, 8},
      {"on the meridian: T vanishes", 0.75, 0.0, 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const SeriesTerm term = SeriesTerms(row.xi, row.eta, row.k);
    const double s = std::sin(row.k * row.xi) * std::cosh(row.k * row.eta);
    const double t = std::cos(row.k * row.xi) * std::sinh(row.k * row.eta);
    EXPECT_NEAR(term.s, s, 1e-14 * std::fabs(s));
    EXPECT_NEAR(term.t, t, 1e-14 * std::fabs(t) + 1e-300);
  }
}

TEST(SeriesTerms, AllOrdersAtOnceMatchOneByOne) {
  struct Row {
    const char* why;
    double xi, eta;
  };
  // Relative 1e-14 (plus 1e-300 where a term vanishes): powers of e^(2η) and
  // the multiple-angle recurrence against each order on its own.
  const Row rows[] = {
      {"55°N, 100 km east", 0.9737, 0.0157},
      {"62°N, 250 km west", 1.0821, -0.0393},
      {"on the meridian: the T terms vanish", 0.75, 0.0},
      {"far outside any zone", 0.2, 0.6},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const SeriesTermsOfOrders all = SeriesTermsUpTo8(row.xi, row.eta);
    const SeriesTerm got[] = {all.k2, all.k4, all.k6, all.k8};
    for (int i = 0; i < 4; ++i) {
      const SeriesTerm one = SeriesTerms(row.xi, row.eta, 2 * (i + 1));
      EXPECT_NEAR(got[i].s, one.s, 1e-14 * std::fabs(one.s) + 1e-300) << "order " << 2 * (i + 1);
      EXPECT_NEAR(got[i].t, one.t, 1e-14 * std::fabs(one.t) + 1e-300) << "order " << 2 * (i + 1);
    }
    // As the forward series takes them: e^(2η) as a square, 2ξ by tan ξ.
    // Relative 1e-13: the few last-place errors of tan ξ and e^η grow up
    // the recurrence to order 8 (3e-14 for the row far outside any zone).
    const double tanXi = std::tan(row.xi);
    const double tanSquared = tanXi * tanXi;
    const double expEta = std::exp(row.eta);
    const SeriesTermsOfOrders byTangent = SeriesTermsUpTo8From(
        expEta * expEta, 2 * tanXi / (1 + tanSquared), (1 - tanSquared) / (1 + tanSquared));
    const SeriesTerm gotByTangent[] = {byTangent.k2, byTangent.k4, byTangent.k6, byTangent.k8};
    for (int i = 0; i < 4; ++i) {
      const SeriesTerm one = SeriesTerms(row.xi, row.eta, 2 * (i + 1));
      EXPECT_NEAR(gotByTangent[i].s, one.s, 1e-13 * std::fabs(one.s) + 1e-300)
          << "order " << 2 * (i + 1);
      EXPECT_NEAR(gotByTangent[i].t, one.t, 1e-13 * std::fabs(one.t) + 1e-300)
          << "order " << 2 * (i + 1);
    }
  }
  EXPECT_THROW(SeriesTermsUpTo8(0.9, 100.0), KorvagridError);  // e^800 overflows
  EXPECT_THROW(SeriesTermsUpTo8(kNaN, 0.01), KorvagridError);
}

TEST(SeriesTerms, ExponentialOverflowThrows) {
  EXPECT_THROW(SeriesTerms(0.9, 400.0, 2), KorvagridError);  // e^800 overflows
  EXPECT_THROW(SeriesTerms(0.9, kNaN, 2), KorvagridError);
}

// ---------------------------------------------------------------------------
// KrugerZone

TEST(KrugerZone, OnTheCentralMeridianTheLongitudeIsTheMeridian) {
  struct Row {
    const char* why;
    double y;         // full Y, metres
    double meridian;  // arc seconds
  };
  // 1e-6": l = 0 leaves the central meridian alone.
  const Row rows[] = {
      {"zone 6", 6500000, Dms(33, 0, 0)},
      {"zone 5", 5500000, Dms(27, 0, 0)},
      {"zone 1", 1500000, Dms(3, 0, 0)},
      {"Y below 1 000 000 is zone 0, central meridian -3°", 500000, -Dms(3, 0, 0)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const KrugerZone zone = KrugerZone::OfPrefixedY(row.y);
    const LatitudeLongitude q = zone.Reverse({6200000, zone.WithoutPrefix(row.y)});
    EXPECT_NEAR(RadToArcSeconds(q.longitude), row.meridian, 1e-6);
  }
}

TEST(KrugerZone, ReverseSinesAreThoseOfReverse) {
  struct Row {
    const char* why;
    std::int16_t zone;
    double x, y;  // metres, y with the false easting
  };
  // The angle-sum formulas and the series of sin Δ, cos Δ against the sine
  // and cosine of Reverse's B and L: a few units in the last place.
  constexpr double kTolerance = 5e-16;
  const Row rows[] = {
      {"zone 6, near the meridian", 6, 6200000, 510000},
      {"zone 1, 1.5° beyond the east edge", 1, 4700000, 900000},
      {"zone 60, west of the meridian", 60, 5500000, 150000},
      {"high latitude, Δ small", 12, 8300000, 620000},
      {"low latitude, Δ near its largest", 7, 1000000, 400000},
      {"zone 0 (meridian -3°), computed rather than looked up", 0, 6000000, 450000},
      {"zone 61 (meridian 363°), computed rather than looked up", 61, 6000000, 550000},
      {"southern x", 6, -2000000, 480000},
      {"x beyond the pole (cos ξ' < 0)", 6, 10500000, 520000},
      {"x beyond the south pole", 6, -10500000, 470000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const KrugerZone zone(row.zone);
    const LatitudeLongitude q = zone.Reverse({row.x, row.y});
    const std::optional<SinesWithLatitude> r = zone.ReverseSines({row.x, row.y});
    ASSERT_TRUE(r.has_value());
    EXPECT_NEAR(r->latitude, q.latitude, kTolerance);
    const LatitudeLongitudeSines* s = &r->sines;
    EXPECT_NEAR(s->sinB, std::sin(q.latitude), kTolerance);
    EXPECT_NEAR(s->cosB, std::cos(q.latitude), kTolerance);
    EXPECT_NEAR(s->sinL, std::sin(q.longitude), kTolerance);
    EXPECT_NEAR(s->cosL, std::cos(q.longitude), kTolerance);
  }
  EXPECT_THROW((void)KrugerZone(6).ReverseSines({kNaN, 500000}), KorvagridError);
}

// tan χ by the isometric latitude against 2·arctan(q·tan(B/2 + 45°)) − 90°
// evaluated in long double with the same 45° and 90° (the degree constant's,
// 2.4e-13 and 4.8e-13 rad short of exact turns, which move tan χ by 1e-14
// and more): equal to a few units in the last place, both hemispheres, near
// the equator and the poles.
// More than 90° from the central meridian ξ' is still the arctangent of
// tan χ/cos l, so a point there lies opposite the point at 180° − l, across
// the false easting and the equator of the plane: x' = −x, y' − 500 km = −(y − 500 km).
TEST(KrugerZone, BeyondAQuarterTurnFromTheMeridianThePlaneIsMirrored) {
  // Far from the meridian, and near the singular point 90° from it on the
  // equator, the rounding of the two longitudes moves the points by up to
  // 1e-11 of their distance from the plane's origin.
  constexpr double kRelativeTolerance = 1e-10;
  constexpr double kFalseEasting = 500000;
  const KrugerZone zone(6);  // meridian 33°
  for (const double b : {-60.0, 0.5, 55.75, 89.0}) {
    for (const double l : {95.0, 120.0, 178.0}) {
      SCOPED_TRACE(std::to_string(b) + "° " + std::to_string(l) + "°");
      const PlanePoint beyond = zone.Forward({b / kDegreesPerRadian, (33 + l) / kDegreesPerRadian});
      const PlanePoint within =
          zone.Forward({b / kDegreesPerRadian, (33 + 180 - l) / kDegreesPerRadian});
      const double tolerance =
          kRelativeTolerance * std::hypot(within.x, within.y - kFalseEasting);
      EXPECT_NEAR(beyond.x, -within.x, tolerance);
      EXPECT_NEAR(beyond.y - kFalseEasting, -(within.y - kFalseEasting), tolerance);
    }
  }
}

TEST(KrugerZone, ConformalLatitudeTangentIsThatOfTheArctangents) {
  const long double e = kKrasovsky.e;
  const auto c45 = static_cast<long double>(45 / kDegreesPerRadian);
  const auto c90 = static_cast<long double>(90 / kDegreesPerRadian);
  for (const double degrees : {-89.9, -60.0, -0.5, 0.0, 1e-7, 30.0, 55.75, 80.0, 89.9}) {
    const double b = degrees / kDegreesPerRadian;
    const long double q = std::pow((1 - e * std::sin(static_cast<long double>(b))) /
                                       (1 + e * std::sin(static_cast<long double>(b))),
                                   e / 2);
    const long double expected =
        std::tan(2 * std::atan(q * std::tan(static_cast<long double>(b) / 2 + c45)) - c90);
    const double tanChi = KrugerZone::ConformalLatitudeTangent(std::sin(b), std::cos(b));
    EXPECT_NEAR(tanChi, static_cast<double>(expected), 1e-15 * std::max(1.0L, std::fabs(expected)))
        << degrees;
  }
}

TEST(KrugerZone, ForwardFromTheShiftsSinesIsForwardOfItsPoint) {
  struct Row {
    const char* why;
    std::int16_t zone;
    double b, l, h;  // WGS-84, degrees and metres
  };
  // sin B as the shift has it, and sin l, cos l by the angle-difference
  // formulas, against Forward of the shifted point: 1e-9 m apart.
  constexpr double kTolerance = 2e-8;  // metres
  const Row rows[] = {
      {"zone 6 at its meridian", 6, 55.75, 33.0, 150},
      {"zone 7, 1.5° west of its edge", 7, 48.2, 34.5, 0},
      {"zone 1, east of its meridian", 1, 61.9, 5.8, 2500},
      {"zone 60, west of its meridian", 60, 43.1, 355.2, -50},
      {"zone 61 (meridian 363°), computed rather than looked up", 61, 50, 2.5, 100},
      {"zone 0 (meridian -3°), computed rather than looked up", 0, 52, -1.0, 100},
  };
  const DatumShift& shift = DatumShiftOf(DatumShiftKey::Classic);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const GeodeticPoint wgs84{row.b / kDegreesPerRadian, row.l / kDegreesPerRadian, row.h};
    const KrugerZone zone(row.zone);
    const GeodeticPoint sk42 = shift.Reverse(wgs84);
    const PlanePoint expected = zone.Forward({sk42.b, sk42.l});
    const std::optional<GeodeticPointSines> sines = shift.ReverseSines(wgs84);
    ASSERT_TRUE(sines.has_value());
    EXPECT_NEAR(sines->sinB, std::sin(sk42.b), 1e-15);
    EXPECT_NEAR(sines->cosB, std::cos(sk42.b), 1e-15);
    EXPECT_EQ(sines->h, sk42.h);
    const PlanePoint p = zone.ForwardSines(*sines);
    EXPECT_NEAR(p.x, expected.x, kTolerance);
    EXPECT_NEAR(p.y, expected.y, kTolerance);
  }
  // So far out that the distance from the axis overflows: left to Reverse.
  EXPECT_FALSE(shift.ReverseSines({0.9, 0.6, 1e160}).has_value());
}

// The shift of a point given by its sines and its latitude takes the new
// latitude as the old one plus the series of a small arctangent: the same
// point as the shift of the angles, to a few units in the last place.
TEST(DatumShift, ForwardFromSinesWithLatitudeIsForwardOfItsPoint) {
  struct Row {
    const char* why;
    double b, l, h;  // SK-42, degrees and metres
  };
  const Row rows[] = {
      {"Moscow region", 55.75, 37.6, 150},
      {"southern hemisphere", -60, 20, 0},
      {"just north of the equator", 1e-7, 10, 100},
      {"near the pole", 89.99, 30, 2000},
      {"west of Greenwich, far east longitude", 45, -179.9999, -50},
      {"past the centre of the ellipsoid", 55.75, 37.6, -6364000},
      // Deep inside by the pole the Bowring denominator is negative and the
      // arctangent of tan B' lies south, though B' − B is small.
      {"deep inside by the pole", 89.949, 10, -6355852},
  };
  const DatumShift& shift = DatumShiftOf(DatumShiftKey::Classic);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const double b = row.b / kDegreesPerRadian;
    const double l = row.l / kDegreesPerRadian;
    const GeodeticPoint expected = shift.Forward(GeodeticPoint{b, l, row.h});
    const SinesWithLatitude sk42{{std::sin(b), std::cos(b), std::sin(l), std::cos(l)}, b};
    const GeodeticPoint got = shift.Forward(sk42, row.h);
    EXPECT_NEAR(got.b, expected.b, 1e-15);
    EXPECT_NEAR(got.l, expected.l, 1e-15);
    EXPECT_NEAR(got.h, expected.h, 1e-8);
  }
  EXPECT_THROW((void)shift.Forward(SinesWithLatitude{{0.8, 0.6, 0.5, kNaN}, 0.9}, 100),
               KorvagridError);
}

// ---------------------------------------------------------------------------
// Routes through Krüger's series and the datum shift

// A pair as the run sets it up; these routes read only these marks (the
// source zone is 0, so a Y is taken as the full Y it is).
RoutePair ChainPair(bool wgsInvolved, std::int16_t targetZone = 0, bool decimalInput = false) {
  RoutePair pair;
  pair.wgsInvolved = wgsInvolved;
  pair.targetZone = targetZone;
  pair.decimalInput = decimalInput;
  return pair;
}

struct ToGeographicRow {
  const char* why;
  Route route;
  double first, second, h;
  bool wgsInvolved;
  double b, l;       // arc seconds
  double h2;         // metres
  double angleTol;   // arc seconds
  double heightTol;  // metres
};

// Reference values computed independently to 0.0001" and 1 mm.
TEST(RoutesToGeographic, MatchIndependentReferencePoints) {
  const ToGeographicRow rows[] = {
      {"zone 6, 100 km east of 33°, Krasovsky; height unchanged", Route::ZoneToGeographic, 6200000,
       6600000, 150, false, Dms(55, 54, 42.2474), Dms(34, 35, 56.9677), 150, 0.00005, 0.0005},
      {"the same point carried to WGS-84", Route::ZoneToGeographic, 6200000, 6600000, 150, true,
       Dms(55, 54, 42.1787), Dms(34, 35, 50.1255), 165.814, 0.00005, 0.0005},
      {"Krasovsky geographic input to WGS-84", Route::KrasovskyToWgs84, 55.45, 37.37, 150, true,
       Dms(55, 45, 0.1173), Dms(37, 36, 53.3479), 162.170, 0.00005, 0.0005},
      {"Krasovsky to WGS-84 always shifts, whatever wgsInvolved says", Route::KrasovskyToWgs84,
       55.45, 37.37, 150, false, Dms(55, 45, 0.1173), Dms(37, 36, 53.3479), 162.170, 0.00005,
       0.0005},
  };
  for (const ToGeographicRow& row : rows) {
    SCOPED_TRACE(row.why);
    const RouteOutput r =
        CarryPoint(row.route, ChainPair(row.wgsInvolved), 0, {row.first, row.second, row.h});
    EXPECT_NEAR(PackedToArcSeconds(r.x), row.b, row.angleTol);
    EXPECT_NEAR(PackedToArcSeconds(r.y), row.l, row.angleTol);
    EXPECT_NEAR(r.h, row.h2, row.heightTol);
  }
}

TEST(RoutesToGeographic, GeographicInputReadsPackedMinutesAsWritten) {
  // 55.30 is 55°30'00"; read as 55°29' and 100" it would be 40" off. 0.0001".
  const RouteOutput r = CarryPoint(Route::KrasovskyToWgs84, ChainPair(true), 0, {55.30, 37.37, 150});
  const GeodeticPoint expected =
      DatumShiftOf(DatumShiftKey::Classic).Forward({55.5 / kDegreesPerRadian, PackedToRad(37.37), 150});
  EXPECT_NEAR(PackedToArcSeconds(r.x), RadToArcSeconds(expected.b), 0.0001);
  EXPECT_NEAR(PackedToArcSeconds(r.y), RadToArcSeconds(expected.l), 0.0001);
}

struct FromGeographicRow {
  const char* why;
  Route route;
  double b, l, h;
  bool wgsInvolved;
  std::int16_t zone;
  bool decimalInput;
  double out1, out2;  // metres, or arc seconds for geographic output
  double h2;          // metres
  double tolerance;   // metres, or arc seconds
};

// Reference values computed independently to 1 mm and 0.0001".
TEST(RoutesFromGeographic, MatchIndependentReferencePoints) {
  const FromGeographicRow rows[] = {
      {"Krasovsky 55°45' 37°37', zone 0 picks zone 7 (0.0005 m)", Route::GeographicToZone, 55.45,
       37.37, 150, false, 0, false, 6181703.260, 413135.322, 150, 0.0005},
      {"the same point as decimal degrees (0.0005 m)", Route::GeographicToZone, 55.75, 37.616666667,
       150, false, 0, true, 6181703.260, 413135.322, 150, 0.0005},
      {"the same point in zone 6, 4.6° from its meridian (0.0005 m)", Route::GeographicToZone, 55.45,
       37.37, 150, false, 6, false, 6190495.564, 789793.024, 150, 0.0005},
      {"WGS-84 to SK-42 latitude and longitude (0.00005\")", Route::Wgs84ToKrasovsky, 55.45, 37.37,
       150, true, 0, false, Dms(55, 44, 59.8826), Dms(37, 37, 6.6520), 137.832, 0.00005},
      {"WGS-84 to zone 7 plane (0.0005 m)", Route::GeographicToZone, 55.45, 37.37, 150, true, 7,
       false, 6181697.317, 413251.271, 137.832, 0.0005},
      {"Krasovsky input into zone 7 named explicitly (0.0005 m)", Route::GeographicToZone, 55.45,
       37.37, 150, false, 7, false, 6181703.260, 413135.322, 150, 0.0005},
  };
  for (const FromGeographicRow& row : rows) {
    SCOPED_TRACE(row.why);
    const RouteOutput r = CarryPoint(row.route, ChainPair(row.wgsInvolved, row.zone, row.decimalInput),
                                     0, {row.b, row.l, row.h});
    if (row.route == Route::Wgs84ToKrasovsky) {
      EXPECT_NEAR(PackedToArcSeconds(r.x), row.out1, row.tolerance);
      EXPECT_NEAR(PackedToArcSeconds(r.y), row.out2, row.tolerance);
    } else {
      EXPECT_NEAR(r.x, row.out1, row.tolerance);
      EXPECT_NEAR(r.y, row.out2, row.tolerance);
    }
    EXPECT_NEAR(r.h, row.h2, 0.0005);  // metres
  }
}

TEST(RoutesFromGeographic, ZoneZeroChoosesTheZoneFromTheLongitudeAsPassed) {
  struct Row {
    const char* why;
    double l;
    bool fromWgs, decimalInput;
    std::int16_t expectedZone;
  };
  const Row rows[] = {
      {"exactly 36° belongs to zone 7", 36.0, false, false, 7},
      {"35°59'59\" belongs to zone 6", 35.5959, false, false, 6},
      {"decimal 35.9999° belongs to zone 6", 35.9999, false, true, 6},
      {"WGS-84 35°59'55\" is 36°00'01.7\" on SK-42, but the zone comes from the input", 35.5955,
       true, false, 6},
      {"truncation toward zero: -1° gives 6·0 + 3 = 3°, zone 1", -1.0, false, false, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const RouteOutput automatic = CarryPoint(Route::GeographicToZone,
                                             ChainPair(row.fromWgs, 0, row.decimalInput), 0,
                                             {55.45, row.l, 150});
    const RouteOutput chosen = CarryPoint(Route::GeographicToZone,
                                          ChainPair(row.fromWgs, row.expectedZone, row.decimalInput),
                                          0, {55.45, row.l, 150});
    EXPECT_EQ(automatic.x, chosen.x);
    EXPECT_EQ(automatic.y, chosen.y);
  }
  // The WGS-84 row really crosses 36° in the shift (else it would prove nothing).
  EXPECT_GT(CarryPoint(Route::Wgs84ToKrasovsky, ChainPair(true), 0, {55.45, 35.5955, 150}).y, 36.0);
}

// ---------------------------------------------------------------------------
// Round trips

TEST(ZoneRoutes, ThereAndBackReturnsTheKrasovskyPoint) {
  // The reference point: zone 7 prefix added to Y. 0.0001".
  const RouteOutput plane = CarryPoint(Route::GeographicToZone, ChainPair(false), 0, {55.45, 37.37, 150});
  const RouteOutput back = CarryPoint(Route::ZoneToGeographic, ChainPair(false), 0,
                                      {plane.x, plane.y + 7000000, plane.h});
  EXPECT_NEAR(PackedToArcSeconds(back.x), Dms(55, 45, 0), 0.0001);
  EXPECT_NEAR(PackedToArcSeconds(back.y), Dms(37, 37, 0), 0.0001);
  EXPECT_EQ(back.h, 150);
}

TEST(ZoneRoutes, ThereAndBackReturnsThePointOverTheZones) {
  // Latitudes 42° to 62°, zones 5 to 7, up to 3° either side of the
  // meridian; Krasovsky and WGS-84 alike: 0.0001", height 1 mm.
  for (double latitude = 42; latitude <= 62; latitude += 1) {
    for (std::int16_t zone = 5; zone <= 7; ++zone) {
      for (double offset = -3; offset <= 3; offset += 0.75) {
        const double b = DegreesToPackedValue(latitude);
        const double l = DegreesToPackedValue(6.0 * zone - 3 + offset);
        for (bool wgs : {false, true}) {
          const RouteOutput plane = CarryPoint(Route::GeographicToZone, ChainPair(wgs, zone), 0, {b, l, 120});
          const RouteOutput back = CarryPoint(Route::ZoneToGeographic, ChainPair(wgs), 0,
                                              {plane.x, plane.y + zone * 1000000.0, plane.h});
          SCOPED_TRACE(::testing::Message() << "B " << latitude << " zone " << zone << " offset "
                                            << offset << (wgs ? " WGS-84" : " Krasovsky"));
          EXPECT_NEAR(PackedToArcSeconds(back.x), PackedToArcSeconds(b), 0.0001);
          EXPECT_NEAR(PackedToArcSeconds(back.y), PackedToArcSeconds(l), 0.0001);
          EXPECT_NEAR(back.h, 120, 0.001);
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Failures

struct FromGeographicFailureRow {
  const char* why;
  double b, l;
  std::int16_t zone;
  const char* messageStart;
};

TEST(RoutesFromGeographic, FailuresThrow) {
  const FromGeographicFailureRow rows[] = {
      {"6·5462 - 3 = 32769 leaves 16 bits", 55.45, 37.37, 5462, "переполнение: 32769"},
      {"6·32767 overflows 16 bits", 55.45, 37.37, 32767, "переполнение: 196599"},
      {"6·(-5461) - 3 = -32769 leaves 16 bits", 55.45, 37.37, -5461, "переполнение: -32769"},
      {"zone 0 from longitude 32766: 6·5461 + 3 = 32769", 55.45, 32766, 0, "переполнение: 32769"},
      {"zone 0 from longitude 1e6: L/6 leaves 16 bits", 55.45, 1e6, 0, "переполнение"},
      {"NaN latitude", kNaN, 37.37, 7, "арифметическая ошибка: GeographicToZone, B"},
      {"infinite longitude", 55.45, kInf, 0, "арифметическая ошибка: GeographicToZone, L"},
  };
  for (const FromGeographicFailureRow& row : rows) {
    SCOPED_TRACE(row.why);
    try {
      CarryPoint(Route::GeographicToZone, ChainPair(false, row.zone), 0, {row.b, row.l, 150});
      ADD_FAILURE() << "no error";
    } catch (const KorvagridError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(row.messageStart, 0), 0u) << error.what();
    }
  }
}

TEST(RoutesFromGeographic, LastZonesThatFitSixteenBitsDoNotOverflow) {
  // 6·5461 - 3 = 32763 and 6·(-5460) - 3 = -32763 fit.
  EXPECT_NO_THROW(CarryPoint(Route::GeographicToZone, ChainPair(false, 5461), 0, {55.45, 37.37, 150}));
  EXPECT_NO_THROW(CarryPoint(Route::GeographicToZone, ChainPair(false, -5460), 0, {55.45, 37.37, 150}));
}

TEST(RoutesFromGeographic, NonFiniteHeightThrowsWithWgsInputOrWithout) {
  EXPECT_THROW(CarryPoint(Route::GeographicToZone, ChainPair(true, 7), 0, {55.45, 37.37, kNaN}),
               KorvagridError);
  EXPECT_THROW(CarryPoint(Route::GeographicToZone, ChainPair(false, 7), 0, {55.45, 37.37, kInf}),
               KorvagridError);
}

struct ToGeographicFailureRow {
  const char* why;
  Route route;
  double first, second, h;
  const char* messageStart;
};

TEST(RoutesToGeographic, FailuresThrow) {
  const ToGeographicFailureRow rows[] = {
      {"zone 5462 from Y: (5462 - 1)·6 + 3 = 32769", Route::ZoneToGeographic, 6200000, 5462500000.0,
       0, "переполнение: 32769"},
      {"Y of 4e10: the zone number leaves 16 bits", Route::ZoneToGeographic, 6200000, 4e10, 0,
       "переполнение"},
      {"NaN X", Route::ZoneToGeographic, kNaN, 6600000, 0, "арифметическая ошибка: KrugerZone, X"},
      {"infinite Y", Route::ZoneToGeographic, 6200000, kInf, 0,
       "арифметическая ошибка: KrugerZone, Y"},
      {"NaN height", Route::ZoneToGeographic, 6200000, 6600000, kNaN,
       "арифметическая ошибка: ZoneToGeographic, H"},
      {"NaN packed latitude", Route::KrasovskyToWgs84, kNaN, 37.37, 0,
       "арифметическая ошибка: KrasovskyToWgs84, B"},
      {"infinite packed longitude", Route::KrasovskyToWgs84, 55.45, -kInf, 0,
       "арифметическая ошибка: KrasovskyToWgs84, L"},
  };
  for (const ToGeographicFailureRow& row : rows) {
    SCOPED_TRACE(row.why);
    try {
      CarryPoint(row.route, ChainPair(true), 0, {row.first, row.second, row.h});
      ADD_FAILURE() << "no error";
    } catch (const KorvagridError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(row.messageStart, 0), 0u) << error.what();
    }
  }
}

}  // namespace
}  // namespace korvagrid
