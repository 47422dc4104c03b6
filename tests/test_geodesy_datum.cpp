// The datum shift between SK-42 and WGS-84, its three steps and its parameter
// sets.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "common/error.h"
#include "geodesy/constants.h"
#include "geodesy/datum_shift.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/packed_angle.h"
#include "support/geodesy_angles.h"

namespace korvagrid {
namespace {

using testing::ArcSecondsToRad;
using testing::Dms;
using testing::RadToArcSeconds;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// 55°45'00", 37°37'00" (Moscow), radians.
const double kMoscowB = ArcSecondsToRad(Dms(55, 45, 0));
const double kMoscowL = ArcSecondsToRad(Dms(37, 37, 0));

const DatumShift& kClassic = DatumShiftOf(DatumShiftKey::Classic);

TEST(DatumShift, IntermediateGeocentricPointsMatchIndependentReference) {
  // Reference computed independently to 1 mm; metres to 0.0005 m.
  const GeocentricPoint krasovsky = GeodeticToGeocentric({kMoscowB, kMoscowL, 150}, kKrasovsky);
  EXPECT_NEAR(krasovsky.x, 2850042.223, 0.0005);
  EXPECT_NEAR(krasovsky.y, 2196148.994, 0.0005);
  EXPECT_NEAR(krasovsky.z, 5249043.073, 0.0005);
  const GeocentricPoint shifted = HelmertShift(krasovsky, kClassic.set().toWgs84);
  EXPECT_NEAR(shifted.x, 2850068.777, 0.0005);
  EXPECT_NEAR(shifted.y, 2196022.967, 0.0005);
  EXPECT_NEAR(shifted.z, 5248962.959, 0.0005);
}

struct ShiftRow {
  const char* why;
  double b, l, h;  // arc seconds, arc seconds, metres
  DatumDirection direction;
  double b2, l2, h2;  // arc seconds, arc seconds, metres
};

TEST(DatumShift, MatchesIndependentReferencePoints) {
  // Classic set. Reference values computed independently to 0.0001" and
  // 1 mm: 0.00005" and 0.0005 m.
  const ShiftRow rows[] = {
      {"SK-42 to WGS-84", Dms(55, 45, 0), Dms(37, 37, 0), 150, DatumDirection::Sk42ToWgs84,
       Dms(55, 45, 0.1173), Dms(37, 36, 53.3479), 162.170},
      {"WGS-84 to SK-42 with the negated set", Dms(55, 45, 0), Dms(37, 37, 0), 150,
       DatumDirection::Wgs84ToSk42, Dms(55, 44, 59.8826), Dms(37, 37, 6.6520), 137.832},
  };
  for (const ShiftRow& row : rows) {
    SCOPED_TRACE(row.why);
    const GeodeticPoint r =
        kClassic.Apply({ArcSecondsToRad(row.b), ArcSecondsToRad(row.l), row.h}, row.direction);
    EXPECT_NEAR(RadToArcSeconds(r.b), row.b2, 0.00005);
    EXPECT_NEAR(RadToArcSeconds(r.l), row.l2, 0.00005);
    EXPECT_NEAR(r.h, row.h2, 0.0005);
  }
}

TEST(DatumShift, HeightTakesPartInTheShift) {
  // The reference point at H = 0 instead of 150 m: H' = 12.170 m (0.0005 m).
  const GeodeticPoint r = kClassic.Forward({kMoscowB, kMoscowL, 0});
  EXPECT_NEAR(r.h, 12.170, 0.0005);
}

TEST(DatumShift, ThereAndBackReturnsThePoint) {
  // Latitudes 40° to 63°, longitudes 20° to 45°, heights -50 to 3000 m:
  // 0.0001" and 1 mm, both ways round.
  for (double latitude = 40; latitude <= 63; latitude += 1) {
    for (double longitude = 20; longitude <= 45; longitude += 2.5) {
      for (double h : {-50.0, 150.0, 3000.0}) {
        const GeodeticPoint p{latitude / kDegreesPerRadian, longitude / kDegreesPerRadian, h};
        SCOPED_TRACE(::testing::Message() << "B " << latitude << " L " << longitude << " H " << h);
        const GeodeticPoint viaWgs = kClassic.Reverse(kClassic.Forward(p));
        EXPECT_NEAR(RadToArcSeconds(viaWgs.b), RadToArcSeconds(p.b), 0.0001);
        EXPECT_NEAR(RadToArcSeconds(viaWgs.l), RadToArcSeconds(p.l), 0.0001);
        EXPECT_NEAR(viaWgs.h, h, 0.001);
        const GeodeticPoint viaSk42 = kClassic.Forward(kClassic.Reverse(p));
        EXPECT_NEAR(RadToArcSeconds(viaSk42.b), RadToArcSeconds(p.b), 0.0001);
        EXPECT_NEAR(RadToArcSeconds(viaSk42.l), RadToArcSeconds(p.l), 0.0001);
        EXPECT_NEAR(viaSk42.h, h, 0.001);
      }
    }
  }
}

TEST(DatumShift, GeodeticToGeocentricAndBackWithoutShiftIsExact) {
  // One Bowring step on either ellipsoid: 0.00001" and 0.1 mm for heights of
  // the Earth's surface.
  for (const Ellipsoid* ellipsoid : {&kKrasovsky, &kWgs84}) {
    for (double latitude = 40; latitude <= 63; latitude += 2.3) {
      for (double h : {-400.0, 0.0, 8000.0}) {
        const GeodeticPoint p{latitude / kDegreesPerRadian, 0.6, h};
        const GeodeticPoint back = GeocentricToGeodetic(GeodeticToGeocentric(p, *ellipsoid), *ellipsoid);
        EXPECT_NEAR(RadToArcSeconds(back.b), RadToArcSeconds(p.b), 0.00001) << latitude;
        EXPECT_NEAR(back.l, p.l, 1e-15) << latitude;
        EXPECT_NEAR(back.h, h, 0.0001) << latitude;
      }
    }
  }
}

// The height is that of the latitude returned, |B| < 90°, also for points so
// deep inside the ellipsoid that the Bowring step's denominator is negative
// (heights of minus several thousand kilometres): h = p·cos B + Z·sin B −
// a·√(1 − e²·sin²B) with the sine and cosine of the returned B.
TEST(DatumShift, HeightIsThatOfTheReturnedLatitude) {
  struct Row {
    const char* why;
    double latitude, h;  // degrees, metres
  };
  const Row rows[] = {
      {"on the surface", 55.75, 150},
      {"near the centre", 89.9999999, -6356000},
      {"past the centre", 55.75, -6364000},
      {"past the centre, south", -40, -6372000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const GeocentricPoint g =
        GeodeticToGeocentric({row.latitude / kDegreesPerRadian, 0.6, row.h}, kWgs84);
    const GeodeticPoint r = GeocentricToGeodetic(g, kWgs84);
    ASSERT_LT(std::fabs(r.b), 90 / kDegreesPerRadian);
    const double p = std::hypot(g.x, g.y);
    const double sinB = std::sin(r.b);
    const double expected =
        p * std::cos(r.b) + g.z * sinB - kWgs84.a * std::sqrt(1 - kWgs84.e2 * sinB * sinB);
    EXPECT_NEAR(r.h, expected, 1e-6);
  }
}

TEST(HelmertShift, RotationsFollowTheCoordinateFrameConvention) {
  // A pure rotation of 1" about one axis, applied to a point on another axis:
  // the coordinate-frame signs (position vector would give the opposite).
  // Metres to 1e-9 m.
  const double r = 6378137.0;
  const double arc = r / kArcSecondsPerRadianDatum;  // 1" of arc at radius r
  struct Row {
    const char* why;
    HelmertParameters parameters;
    GeocentricPoint in, out;
  };
  const Row rows[] = {
      {"ωz turns the X axis towards -Y", {0, 0, 0, 0, 0, 1, 0}, {r, 0, 0}, {r, -arc, 0}},
      {"ωz turns the Y axis towards +X", {0, 0, 0, 0, 0, 1, 0}, {0, r, 0}, {arc, r, 0}},
      {"ωy turns the X axis towards +Z", {0, 0, 0, 0, 1, 0, 0}, {r, 0, 0}, {r, 0, arc}},
      {"ωx turns the Z axis towards +Y", {0, 0, 0, 1, 0, 0, 0}, {0, 0, r}, {0, arc, r}},
      {"scale multiplies the coordinate, not the rotation terms", {0, 0, 0, 0, 0, 1e5, 1e-6},
       {r, 0, 0}, {r + r * 1e-6, -1e5 * arc, 0}},
      {"translations are added last", {26.3, -132.6, -76.3, 0, 0, 0, 0}, {r, 0, 0},
       {r + 26.3, -132.6, -76.3}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const GeocentricPoint p = HelmertShift(row.in, row.parameters);
    EXPECT_NEAR(p.x, row.out.x, 1e-9);
    EXPECT_NEAR(p.y, row.out.y, 1e-9);
    EXPECT_NEAR(p.z, row.out.z, 1e-9);
  }
}

TEST(HelmertShift, WayBackUsesTheNegatedSet) {
  const HelmertParameters& f = kClassic.set().toWgs84;
  const HelmertParameters b = Negated(f);
  EXPECT_EQ(b.dx, -f.dx);
  EXPECT_EQ(b.dy, -f.dy);
  EXPECT_EQ(b.dz, -f.dz);
  EXPECT_EQ(b.wx, -f.wx);
  EXPECT_EQ(b.wy, -f.wy);
  EXPECT_EQ(b.wz, -f.wz);
  EXPECT_EQ(b.m, -f.m);
}

// Regression: the longitude was arctan(Y'/X'), which is wrong outside
// -90°..90° and divides by zero at X' = 0.
TEST(DatumShift, LongitudeIsTrueInEveryQuadrant) {
  struct Row {
    const char* why;
    double longitude;  // degrees
  };
  // Within 10" of the input: the shift moves the longitude by a few seconds.
  const Row rows[] = {
      {"120°: arctan(Y'/X') gave -60°", 120},
      {"-120°: arctan(Y'/X') gave 60°", -120},
      {"179°", 179},
      {"-91°", -91},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    const GeodeticPoint p{55 / kDegreesPerRadian, row.longitude / kDegreesPerRadian, 150};
    const GeodeticPoint r = kClassic.Forward(p);
    EXPECT_NEAR(RadToArcSeconds(r.l), row.longitude * 3600, 10.0);
  }
}

TEST(DatumShift, PointWithXZeroHasLongitude90) {
  // X' = 0 exactly: longitude ±90° with no division by zero; latitude to
  // 0.00001" and height to 0.1 mm of the point it was made from.
  for (double sign : {1.0, -1.0}) {
    const GeodeticPoint p{55 / kDegreesPerRadian, sign * 90 / kDegreesPerRadian, 150};
    GeocentricPoint g = GeodeticToGeocentric(p, kWgs84);
    g.x = 0;
    const GeodeticPoint r = GeocentricToGeodetic(g, kWgs84);
    EXPECT_EQ(r.l, sign * std::acos(-1.0) / 2);
    EXPECT_NEAR(RadToArcSeconds(r.b), RadToArcSeconds(p.b), 0.00001);
    EXPECT_NEAR(r.h, 150, 0.0001);
  }
}

struct FailureRow {
  const char* why;
  double b, l, h;
};

TEST(DatumShift, NonFiniteInputsThrow) {
  const FailureRow rows[] = {
      {"NaN latitude", kNaN, kMoscowL, 150},
      {"infinite longitude", kMoscowB, kInf, 150},
      {"infinite height", kMoscowB, kMoscowL, -kInf},
  };
  for (const FailureRow& row : rows) {
    SCOPED_TRACE(row.why);
    for (DatumDirection direction : {DatumDirection::Sk42ToWgs84, DatumDirection::Wgs84ToSk42}) {
      try {
        kClassic.Apply({row.b, row.l, row.h}, direction);
        ADD_FAILURE() << "no error";
      } catch (const KorvagridError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("арифметическая ошибка: DatumShift", 0), 0u)
            << error.what();
      }
    }
  }
}

TEST(DatumShift, PointOnTheAxisIsADivisionByZero) {
  // p = 0 in arctan(Z'/p/√(1-e²)).
  EXPECT_THROW(GeocentricToGeodetic({0, 0, 6356863}, kKrasovsky), KorvagridError);
}

// ---------------------------------------------------------------------------
// Parameter sets

TEST(DatumShiftSets, AreFoundByTheirKeysOnly) {
  struct Row {
    const char* why;
    const char* key;
    const DatumShiftSet* expected;
  };
  const Row rows[] = {
      {"the default set", "classic", &DatumShiftSetOf(DatumShiftKey::Classic)},
      {"GOST R 51794-2008", "gost2008", &DatumShiftSetOf(DatumShiftKey::Gost2008)},
      {"GOST R 51794-2001", "gost2001", &DatumShiftSetOf(DatumShiftKey::Gost2001)},
      {"keys are lower case", "GOST2008", nullptr},
      {"no prefix matching", "gost", nullptr},
      {"the name is not a key", "GOST R 51794-2008", nullptr},
      {"empty", "", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(FindDatumShiftSet(row.key), row.expected);
  }
  // The table is in the order of the keys it is looked up by.
  for (const DatumShiftSet& set : kDatumShiftSets) EXPECT_EQ(&DatumShiftSetOf(set.key), &set) << set.keyText;
}

struct SetRow {
  const char* why;
  DatumShiftKey key;
  DatumDirection direction;
  double b, l, h;  // degrees, degrees, metres
};

TEST(DatumShift, EverySetMatchesReferencePointsComputedWithProj) {
  // 55°45'00", 37°37'00", 150 m through each set, both ways. Reference
  // values computed independently with PROJ 9.1.1's cct (cart, helmert with
  // convention=coordinate_frame, the way back with the negated set):
  // 1e-9° (0.1 mm) and 0.1 mm.
  const SetRow rows[] = {
      {"classic to WGS-84", DatumShiftKey::Classic, DatumDirection::Sk42ToWgs84, 55.750032573120,
       37.614818864803, 162.170342545956},
      {"GOST R 51794-2008 to WGS-84", DatumShiftKey::Gost2008, DatumDirection::Sk42ToWgs84,
       55.750042555224, 37.614792502684, 154.546334279701},
      {"GOST R 51794-2008 back with the negated set", DatumShiftKey::Gost2008,
       DatumDirection::Wgs84ToSk42, 55.749957415557, 37.618540800179, 145.455815090798},
      {"GOST R 51794-2001 to WGS-84", DatumShiftKey::Gost2001, DatumDirection::Sk42ToWgs84,
       55.750036368869, 37.614793397958, 154.319567840546},
      {"GOST R 51794-2001 back with the negated set", DatumShiftKey::Gost2001,
       DatumDirection::Wgs84ToSk42, 55.749963601834, 37.618539905544, 145.682589490898},
  };
  for (const SetRow& row : rows) {
    SCOPED_TRACE(row.why);
    const GeodeticPoint r = DatumShiftOf(row.key).Apply({kMoscowB, kMoscowL, 150}, row.direction);
    EXPECT_NEAR(r.b * kDegreesPerRadian, row.b, 1e-9);
    EXPECT_NEAR(r.l * kDegreesPerRadian, row.l, 1e-9);
    EXPECT_NEAR(r.h, row.h, 0.0001);
  }
}

}  // namespace
}  // namespace korvagrid
