// The WKT of korvagrid_proj: what it names (EPSG codes, the datum shift) and
// what PROJ does with it, read back as a CRS and used to carry points to
// WGS 84 against Korvagrid's own routes.
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "conversion/routes.h"
#include "formats/angles.h"
#include "geodesy/constants.h"
#include "geodesy/kruger_zone.h"
#include "projdefs/proj_wkt.h"

namespace korvagrid {
namespace {

struct WktRow {
  const char* why;
  const char* name;
  DefinedSystem system;  // its yPrefix: the zone written in front of Y, 0 for Y written bare
  std::int16_t zone;     // the catalogue row's zone, which the route puts back in front of Y
  DatumShiftKey set;
  std::vector<std::string> mustName;  // pieces the WKT must carry
  double toleranceMetres;             // against Korvagrid's route (the family's method difference)
};

// The catalogue row of the system, as the route takes it.
CoordinateSystem RouteSystem(const WktRow& row) {
  CoordinateSystem s;
  s.name = row.name;
  s.kind = row.system.kind;
  s.falseNorth = row.system.falseNorth;
  s.centralMeridian = row.system.centralMeridian;
  s.zone = row.zone;
  s.falseEast = row.system.falseEast;
  s.xOffset = static_cast<std::int32_t>(row.system.xOffset);
  s.isWgs84 = row.system.isWgs84;
  return s;
}

const WktRow kRows[] = {
    {"an EPSG zone with Y prefixed, and an EPSG datum shift", "42(zone6)",
     {SystemKind::GaussKrugerZone, 118800, 0, 500000, 0, 6}, 6, DatumShiftKey::Gost2008,
     {"BOUNDCRS", "ID[\"EPSG\",28406]", "ID[\"EPSG\",5044]"}, 0.0015},
    {"an EPSG zone with Y bare, and the classic set built from its parameters", "42(zone6)",
     {SystemKind::GaussKrugerZone, 118800, 0, 500000, 0, 0}, 6, DatumShiftKey::Classic,
     {"BOUNDCRS", "ID[\"EPSG\",2496]", "Coordinate Frame rotation (geog2D domain)", "ID[\"EPSG\",9607]",
      "\"X-axis translation\",26.3", "\"Z-axis rotation\",-0.9"},
     0.0015},
    {"a local system on Pulkovo 1942 with its written form", "63 (C2)",
     {SystemKind::LocalPlane, 100620, 11057.626, 250000, 0, 2}, 2, DatumShiftKey::Classic,
     {"BOUNDCRS", "PROJCRS[\"63 (C2)\"", "\"False easting\",2250000", "\"False northing\",-11057.626",
      "\"Longitude of natural origin\",27.95", "ID[\"EPSG\",4284]", "AXIS[\"northing (X)\",north"},
     0.012},
    {"X written short", "47(1)", {SystemKind::LocalPlane, 100620, 11057.626, 250000, 6200000, 1}, 1,
     DatumShiftKey::Gost2001, {"\"False northing\",-6211057.626", "ID[\"EPSG\",1267]"}, 0.012},
    {"Krasovsky latitude and longitude", "BLH(Kras)", {SystemKind::Geographic}, 0, DatumShiftKey::Gost2001,
     {"BOUNDCRS", "ID[\"EPSG\",4284]", "ID[\"EPSG\",1267]"}, 0.0002},
};

struct ContextDeleter {
  void operator()(PJ_CONTEXT* c) const { proj_context_destroy(c); }
};
struct ObjectDeleter {
  void operator()(PJ* p) const { proj_destroy(p); }
};

TEST(ProjWkt, NamesTheSystemAndItsDatumShift) {
  for (const WktRow& row : kRows) {
    SCOPED_TRACE(row.why);
    const std::string wkt = WktOf(row.system, DatumShiftSetOf(row.set), row.name);
    for (const std::string& piece : row.mustName) EXPECT_NE(wkt.find(piece), std::string::npos) << piece << "\n" << wkt;
  }
  const std::string wgs84 = WktOf({SystemKind::Geographic, 0, 0, 0, 0, 0, true}, DatumShiftSetOf(DatumShiftKey::Classic),
                                  "WGS-84");
  EXPECT_EQ(wgs84.find("BOUNDCRS"), std::string::npos) << wgs84;
  EXPECT_NE(wgs84.find("ID[\"EPSG\",4326]"), std::string::npos) << wgs84;
}

TEST(ProjWkt, PointsCarriedByProjWithTheWktAgreeWithTheRoutes) {
  // 50 random points per row (latitudes 42° to 62°, up to 200 km from the
  // meridian), to WGS 84 by PROJ from the WKT and by Korvagrid's route;
  // horizontal difference within the method difference of the family.
  const std::unique_ptr<PJ_CONTEXT, ContextDeleter> context(proj_context_create());
  const CoordinateSystem wgs84{"WGS-84", SystemKind::Geographic, 0, 0, 0, 500000, 0, true};
  std::mt19937_64 rng(3);
  const auto uniform = [&](double lo, double hi) {
    return lo + (hi - lo) * (static_cast<double>(rng() >> 11) / 9007199254740992.0);
  };
  for (const WktRow& row : kRows) {
    SCOPED_TRACE(row.why);
    const CoordinateSystem s = RouteSystem(row);
    const std::string wkt = WktOf(row.system, DatumShiftSetOf(row.set), row.name);
    const std::unique_ptr<PJ, ObjectDeleter> operation(
        proj_create_crs_to_crs(context.get(), wkt.c_str(), "EPSG:4326", nullptr));
    ASSERT_NE(operation, nullptr) << wkt;
    RoutePair pair;
    pair.source = s;
    pair.target = wgs84;
    pair.wgsInvolved = true;
    pair.datumShift = row.set;
    const Route route = ChooseRoute(pair);
    for (int i = 0; i < 50; ++i) {
      const double b = uniform(42, 62);
      RouteInput in;
      PJ_COORD c{};
      if (s.kind == SystemKind::Geographic) {
        const double l = uniform(20, 60);
        in = {DegreesToPacked(b), DegreesToPacked(l), 0};
        c.v[0] = b;
        c.v[1] = l;
      } else {
        const double fullX = KrugerZone(6).Forward({b / kDegreesPerRadian, 33 / kDegreesPerRadian}).x - s.falseNorth;
        const double bareY = s.falseEast + uniform(-200000, 200000);
        in = {fullX, bareY, 0};
        c.v[0] = fullX - s.xOffset;
        c.v[1] = bareY + row.system.yPrefix * kMetresPerZonePrefix;
      }
      const PJ_COORD peer = proj_trans(operation.get(), PJ_FWD, c);
      const RouteOutput r = CarryPoint(route, pair, s.centralMeridian, in);
      const double dLatitude = (PackedToDegrees(r.x) - peer.v[0]) * 111320;
      const double dLongitude = (PackedToDegrees(r.y) - peer.v[1]) * 111320 * std::cos(b / kDegreesPerRadian);
      EXPECT_LE(std::hypot(dLatitude, dLongitude), row.toleranceMetres) << "point " << i;
    }
  }
}

}  // namespace
}  // namespace korvagrid
