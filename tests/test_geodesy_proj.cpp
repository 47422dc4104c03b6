// Korvagrid's geodesy against PROJ as the peer: cct (proj-bin) runs the
// definitions that proj_definition.h writes, projinfo gives the EPSG
// dataset's parameter sets, and the series are measured against PROJ's
// exact transverse Mercator. Every check is skipped, with a message, where
// cct or projinfo is not installed. The measured figures are printed and
// recorded as test properties; the headers of the geodesy state them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "conversion/routes.h"
#include "formats/angles.h"
#include "geodesy/closed_series_plane.h"
#include "geodesy/constants.h"
#include "geodesy/datum_shift.h"
#include "geodesy/kruger_zone.h"
#include "definitions/proj_definition.h"
#include "support/peer_programs.h"
#include "support/temp_dir.h"

namespace korvagrid {
namespace {

using Triple = std::array<double, 3>;

constexpr double kMetresPerDegree = 111320;  // of latitude or of longitude on the equator, near enough

#define REQUIRE_PROGRAM(program)                                                           \
  if (!testing::ProgramInstalled(program)) {                                               \
    GTEST_SKIP() << program << " (proj-bin) is not installed: the PROJ peer check is SKIPPED"; \
  }

std::vector<double> Numbers(const std::string& line) {
  std::vector<double> values;
  std::istringstream in(line);
  std::string word;
  while (in >> word) {
    double v = 0;
    const auto r = std::from_chars(word.data(), word.data() + word.size(), v);
    if (r.ec == std::errc()) values.push_back(v);
  }
  return values;
}

// Runs cct with `operation` (inverted with -I when `inverse`) on the points;
// the first three columns of its output, one triple per point.
std::vector<Triple> Cct(const std::string& operation, const std::vector<Triple>& points,
                        bool inverse = false) {
  testing::TempDir dir;
  std::string input;
  char buffer[96];
  for (const Triple& p : points) {
    std::snprintf(buffer, sizeof buffer, "%.17g %.17g %.17g\n", p[0], p[1], p[2]);
    input += buffer;
  }
  const auto in = dir.write("in.txt", input);
  const auto out = dir / "out.txt";
  const std::string command = std::string("cct -d 12 ") + (inverse ? "-I " : "") + operation + " < " +
                              in.string() + " > " + out.string() + " 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::vector<Triple> result;
  std::istringstream lines(testing::ReadBytes(out));
  std::string line;
  while (std::getline(lines, line)) {
    const std::vector<double> v = Numbers(line);
    if (v.size() >= 3) result.push_back({v[0], v[1], v[2]});
  }
  EXPECT_EQ(result.size(), points.size()) << command << "\n" << testing::ReadBytes(out);
  return result;
}

// Uniform in [lo, hi].
double Uniform(std::mt19937_64& rng, double lo, double hi) {
  return lo + (hi - lo) * (static_cast<double>(rng() >> 11) / 9007199254740992.0);
}

double Radians(double degrees) { return degrees / kDegreesPerRadian; }
double Degrees(double radians) { return radians * kDegreesPerRadian; }

void Report(const std::string& what, double value, const char* unit) {
  std::cout << "measured: " << what << " " << value << " " << unit << "\n";
  ::testing::Test::RecordProperty(what, std::to_string(value) + " " + unit);
}

// ---------------------------------------------------------------------------
// The definitions as text (no PROJ needed)

TEST(ProjDefinition, EpsgCodesWhereTheSystemIsAnEpsgSystem) {
  using enum SystemKind;
  struct Row {
    const char* why;
    DefinedSystem system;
    std::optional<int> epsg;
  };
  const Row rows[] = {
      {"zone 6, Y with its prefix: false easting 6 500 000", {GaussKrugerZone, 118800, 0, 500000, 0, 6}, 28406},
      {"zone 5 with prefix", {GaussKrugerZone, 97200, 0, 500000, 0, 5}, 28405},
      {"zone 7 with prefix", {GaussKrugerZone, 140400, 0, 500000, 0, 7}, 28407},
      {"zone 6, Y bare: the CM 33E system", {GaussKrugerZone, 118800, 0, 500000, 0, 0}, 2496},
      {"zone 32 (meridian 189°, the last EPSG zone)", {GaussKrugerZone, 680400, 0, 500000, 0, 32}, 28432},
      {"zone 1 is not in EPSG", {GaussKrugerZone, 10800, 0, 500000, 0, 1}, std::nullopt},
      {"a prefix that is not the zone's", {GaussKrugerZone, 118800, 0, 500000, 0, 7}, std::nullopt},
      {"X written short", {GaussKrugerZone, 118800, 0, 500000, 6000000, 6}, std::nullopt},
      {"a meridian between zones", {GaussKrugerZone, 120600, 0, 500000, 0, 0}, std::nullopt},
      {"a local system", {LocalPlane, 100620, 11057.626, 250000, 0, 2}, std::nullopt},
      {"Krasovsky latitude and longitude", {Geographic}, 4284},
      {"WGS-84", {Geographic, 0, 0, 0, 0, 0, true}, 4326},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(EpsgCodeOf(row.system), row.epsg);
  }
}

TEST(ProjDefinition, CrsStringsCarryTheWrittenFormAndThePositionVectorSet) {
  using enum SystemKind;
  struct Row {
    const char* why;
    DefinedSystem system;
    DatumShiftKey set;
    const char* crs;
  };
  const Row rows[] = {
      {"zone 6 with prefix; +towgs84 flips the rotations; y_0 is 0, not -0",
       {GaussKrugerZone, 118800, 0, 500000, 0, 6}, DatumShiftKey::Classic,
       "+proj=tmerc +lat_0=0 +lon_0=33 +k=1 +x_0=6500000 +y_0=0 +ellps=krass "
       "+towgs84=26.3,-132.6,-76.3,0.22,0.4,0.9,-0.12 +units=m +no_defs +type=crs"},
      {"47(1): X written short by 6 200 000 m below the false northing, Y with prefix 1",
       {LocalPlane, 100620, 11057.626, 250000, 6200000, 1}, DatumShiftKey::Gost2008,
       "+proj=tmerc +lat_0=0 +lon_0=27.95 +k=1 +x_0=1250000 +y_0=-6211057.626 +ellps=krass "
       "+towgs84=23.57,-140.95,-79.8,0,0.35,0.79,-0.22 +units=m +no_defs +type=crs"},
      {"M64: Y bare, a meridian in whole degrees", {LocalPlane, 108000, 6552810.0, 95942.17, 0, 0},
       DatumShiftKey::Gost2001,
       "+proj=tmerc +lat_0=0 +lon_0=30 +k=1 +x_0=95942.17 +y_0=-6552810 +ellps=krass "
       "+towgs84=23.92,-141.27,-80.9,0,0.35,0.82,-0.12 +units=m +no_defs +type=crs"},
      {"Krasovsky latitude and longitude", {Geographic}, DatumShiftKey::Classic,
       "+proj=longlat +ellps=krass +towgs84=26.3,-132.6,-76.3,0.22,0.4,0.9,-0.12 +no_defs +type=crs"},
      {"WGS-84 has no shift", {Geographic, 0, 0, 0, 0, 0, true}, DatumShiftKey::Gost2008,
       "+proj=longlat +datum=WGS84 +no_defs +type=crs"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(DefineForProj(row.system, DatumShiftSetOf(row.set), HeightsMode::Shift).crs, row.crs);
  }
}

// ---------------------------------------------------------------------------
// The parameter sets against the EPSG dataset

TEST(ProjPeer, DatumShiftSetsAreThoseOfTheEpsgDataset) {
  REQUIRE_PROGRAM("projinfo");
  testing::TempDir dir;
  for (const DatumShiftSet& set : kDatumShiftSets) {
    if (!set.epsgOperation) continue;
    SCOPED_TRACE(std::string(set.keyText));
    const auto out = dir / "operation.txt";
    const std::string command = "projinfo -k operation EPSG:" + std::to_string(*set.epsgOperation) +
                                " -o PROJ,WKT2_2019 --single-line > " + out.string() + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string text = testing::ReadBytes(out);
    const HelmertParameters& p = set.toWgs84;
    char helmert[256];
    std::snprintf(helmert, sizeof helmert,
                  "+proj=helmert +x=%g +y=%g +z=%g +rx=%g +ry=%g +rz=%g +s=%g +convention=coordinate_frame",
                  p.dx, p.dy, p.dz, p.wx, p.wy, p.wz, p.m * 1e6);
    EXPECT_NE(text.find(helmert), std::string::npos) << helmert << "\n" << text;
    EXPECT_NE(text.find("OPERATIONACCURACY[" + std::to_string(static_cast<int>(*set.accuracy)) + ".0]"),
              std::string::npos) << text;
    EXPECT_NE(text.find("AREA[\"" + std::string(set.area) + ".\"]"), std::string::npos) << text;
    EXPECT_NE(text.find("COORDINATEOPERATION[\"" + std::string(set.epsgName) + "\""), std::string::npos)
        << text;
    EXPECT_NE(text.find("ID[\"EPSG\"," + std::to_string(set.epsgMethod) + "]"), std::string::npos) << text;
  }
}

// ---------------------------------------------------------------------------
// The datum shift against cct with the printed pipelines

TEST(ProjPeer, DatumShiftOfEverySetAgreesWithCct) {
  REQUIRE_PROGRAM("cct");
  // 1 000 random points over the region served; both directions against the
  // pipelines DefineForProj prints for Krasovsky latitude and longitude.
  // 1e-9° (0.1 mm) and 1 mm in height.
  constexpr double kDegreeTolerance = 1e-9;
  constexpr double kHeightTolerance = 0.001;
  const DefinedSystem krasovsky{SystemKind::Geographic};
  std::mt19937_64 rng(42);
  std::vector<Triple> points;
  for (int i = 0; i < 1000; ++i) {
    points.push_back({Uniform(rng, 42, 62), Uniform(rng, 20, 60), Uniform(rng, -50, 2500)});
  }
  double worstDegrees = 0;
  double worstHeight = 0;
  for (const DatumShiftSet& set : kDatumShiftSets) {
    SCOPED_TRACE(std::string(set.keyText));
    const ProjDefinition d = DefineForProj(krasovsky, set, HeightsMode::Shift);
    const DatumShift shift(set);
    for (const DatumDirection direction : {DatumDirection::Sk42ToWgs84, DatumDirection::Wgs84ToSk42}) {
      const bool forward = direction == DatumDirection::Sk42ToWgs84;
      const std::vector<Triple> peer = Cct(forward ? d.toWgs84 : d.fromWgs84, points);
      ASSERT_EQ(peer.size(), points.size());
      for (std::size_t i = 0; i < points.size(); ++i) {
        const GeodeticPoint r =
            shift.Apply({Radians(points[i][0]), Radians(points[i][1]), points[i][2]}, direction);
        const double dDegrees = std::max(std::fabs(Degrees(r.b) - peer[i][0]), std::fabs(Degrees(r.l) - peer[i][1]));
        const double dHeight = std::fabs(r.h - peer[i][2]);
        worstDegrees = std::max(worstDegrees, dDegrees);
        worstHeight = std::max(worstHeight, dHeight);
        EXPECT_LE(dDegrees, kDegreeTolerance) << (forward ? "to" : "from") << " WGS-84, point " << i;
        EXPECT_LE(dHeight, kHeightTolerance) << (forward ? "to" : "from") << " WGS-84, point " << i;
      }
    }
  }
  Report("datum shift against cct, latitude/longitude", worstDegrees, "degrees");
  Report("datum shift against cct, height", worstHeight, "m");
}

TEST(ProjPeer, KeptHeightsGoThroughUnchangedAsInCct) {
  REQUIRE_PROGRAM("cct");
  // The route from Krasovsky to WGS-84 with heights kept against the pipeline
  // with push/pop of the height: the same latitude and longitude as with the
  // height shifted (1e-9°), and the height as it went in.
  const DefinedSystem krasovsky{SystemKind::Geographic};
  RoutePair pair;
  pair.wgsInvolved = true;
  pair.heights = HeightsMode::Keep;
  pair.datumShift = DatumShiftKey::Gost2008;
  const std::vector<Triple> points = {{55.75, 37.6166666667, 150}, {43.1, 131.9, -40}, {61.5, 21.2, 2400}};
  const std::vector<Triple> peer =
      Cct(DefineForProj(krasovsky, DatumShiftSetOf(pair.datumShift), HeightsMode::Keep).toWgs84, points);
  ASSERT_EQ(peer.size(), points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    const RouteOutput r = CarryPoint(Route::KrasovskyToWgs84, pair, 0,
                                     {DegreesToPacked(points[i][0]), DegreesToPacked(points[i][1]), points[i][2]});
    EXPECT_NEAR(PackedToDegrees(r.x), peer[i][0], 1e-9) << i;
    EXPECT_NEAR(PackedToDegrees(r.y), peer[i][1], 1e-9) << i;
    EXPECT_EQ(peer[i][2], points[i][2]) << i;
    EXPECT_EQ(r.h, points[i][2]) << i;
  }
}

// ---------------------------------------------------------------------------
// Every catalogue system against its definition

struct SystemRow {
  const char* name;
  CoordinateSystem system;  // as the catalogue holds it
  double toleranceMetres;   // the method difference of its family (see below)
};

// Local systems: the closed series against the exact transverse Mercator,
// up to 250 km from the meridian. Zones: Krüger's series, up to 3° from the
// meridian. Krasovsky and WGS-84 latitude and longitude: no projection.
// Measured: local systems 9.4 mm (the closed reverse series, 14 mm at
// 250 km in the worst direction), zones 0.9 mm, geographic systems 0.03 mm.
constexpr double kLocalFamily = 0.012;
constexpr double kZoneFamily = 0.0015;
constexpr double kGeographicFamily = 0.0001;

const SystemRow kSystems[] = {
    {"63 (C2)", {"63 (C2)", SystemKind::LocalPlane, 11057.626, 100620, 2, 250000, 0, false}, kLocalFamily},
    {"63 (C3)", {"63 (C3)", SystemKind::LocalPlane, 11057.63, 111420, 3, 250000, 0, false}, kLocalFamily},
    {"63 (C4)", {"63 (C4)", SystemKind::LocalPlane, 11057.63, 122220, 4, 250000, 0, false}, kLocalFamily},
    {"M64", {"M64", SystemKind::LocalPlane, 6552810.0, 108000, 0, 95942.17, 0, false}, kLocalFamily},
    {"63 (P1)", {"63 (P1)", SystemKind::LocalPlane, 12900.563, 116940, 1, 250000, 0, false}, kLocalFamily},
    {"63 (P2)", {"63 (P2)", SystemKind::LocalPlane, 12900.563, 127740, 2, 250000, 0, false}, kLocalFamily},
    {"63 (P3)", {"63 (P3)", SystemKind::LocalPlane, 12900.563, 138540, 3, 250000, 0, false}, kLocalFamily},
    {"42(zone5)", {"42(zone5)", SystemKind::GaussKrugerZone, 0, 97200, 5, 500000, 0, false}, kZoneFamily},
    {"42(zone6)", {"42(zone6)", SystemKind::GaussKrugerZone, 0, 118800, 6, 500000, 0, false}, kZoneFamily},
    {"42(zone7)", {"42(zone7)", SystemKind::GaussKrugerZone, 0, 140400, 7, 500000, 0, false}, kZoneFamily},
    {"BLH(Kras)", {"BLH(Kras)", SystemKind::Geographic, 0, 0, 0, 500000, 0, false}, kGeographicFamily},
    {"WGS-84", {"WGS-84", SystemKind::Geographic, 0, 0, 0, 500000, 0, true}, kGeographicFamily},
    {"47(1)", {"47(1)", SystemKind::LocalPlane, 11057.626, 100620, 1, 250000, 6200000, false}, kLocalFamily},
    {"47(2)", {"47(2)", SystemKind::LocalPlane, 11057.63, 111420, 2, 250000, 6200000, false}, kLocalFamily},
    {"47(3)", {"47(3)", SystemKind::LocalPlane, 11057.63, 122220, 3, 250000, 6200000, false}, kLocalFamily},
    {"53(1)", {"53(1)", SystemKind::LocalPlane, 12900.563, 106140, 1, 250000, 5900000, false}, kLocalFamily},
    {"53(2)", {"53(2)", SystemKind::LocalPlane, 12900.563, 116940, 2, 250000, 5900000, false}, kLocalFamily},
    {"53(3)", {"53(3)", SystemKind::LocalPlane, 12900.563, 127740, 3, 250000, 5900000, false}, kLocalFamily},
};

DefinedSystem Defined(const CoordinateSystem& s) {
  return {s.kind, s.centralMeridian, s.falseNorth, s.falseEast, static_cast<double>(s.xOffset), s.zone, s.isWgs84};
}

TEST(ProjPeer, EverySystemAgreesWithItsDefinition) {
  REQUIRE_PROGRAM("cct");
  // 200 random points per system (latitudes 42° to 62°; plane systems up to
  // 250 km, zones up to 3° from the meridian), written with X short where
  // the system writes it so and Y with its prefix, to WGS-84 by Korvagrid's
  // route and by cct with the printed pipeline; the difference in metres
  // must stay within the method difference of the system's family.
  const CoordinateSystem wgs84{"WGS-84", SystemKind::Geographic, 0, 0, 0, 500000, 0, true};
  std::mt19937_64 rng(7);
  double worstLocal = 0;
  double worstZone = 0;
  double worstGeographic = 0;
  for (const SystemRow& row : kSystems) {
    SCOPED_TRACE(row.name);
    const CoordinateSystem& s = row.system;
    RoutePair pair;
    pair.sameEntry = s.isWgs84;  // WGS-84 to itself is the same entry
    pair.source = s;
    pair.target = wgs84;
    pair.targetZone = 0;
    pair.wgsInvolved = true;
    const Route route = ChooseRoute(pair);
    std::vector<Triple> written;
    std::vector<RouteInput> inputs;
    for (int i = 0; i < 200; ++i) {
      const double h = Uniform(rng, -50, 2500);
      if (s.kind == SystemKind::Geographic) {
        const double b = Uniform(rng, 42, 62);
        const double l = Uniform(rng, 20, 60);
        written.push_back({b, l, h});
        inputs.push_back({DegreesToPacked(b), DegreesToPacked(l), h});
        continue;
      }
      const double b = Uniform(rng, 42, 62);
      const double reach = s.kind == SystemKind::GaussKrugerZone ? 3 * std::cos(Radians(b)) * kMetresPerDegree
                                                                 : 250000;
      // The meridian arc of the latitude (on the meridian the zone's x is the
      // arc), less the false northing the conversion adds back.
      const double fullX = KrugerZone(6).Forward({Radians(b), Radians(33)}).x - s.falseNorth;
      const double bareY = s.falseEast + Uniform(rng, -reach, reach);
      written.push_back({fullX - s.xOffset, bareY + s.zone * kMetresPerZonePrefix, h});
      inputs.push_back({fullX, bareY, h});
    }
    const ProjDefinition d = DefineForProj(Defined(s), DatumShiftSetOf(kDefaultDatumShift), HeightsMode::Shift);
    const std::vector<Triple> peer = Cct(d.toWgs84, written);
    ASSERT_EQ(peer.size(), written.size());
    double worst = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      const double deltaL = s.centralMeridian - wgs84.centralMeridian;
      const RouteOutput r = CarryPoint(route, pair, deltaL, inputs[i]);
      const double b = PackedToDegrees(r.x);
      const double l = PackedToDegrees(r.y);
      const double metres =
          std::hypot((b - peer[i][0]) * kMetresPerDegree,
                     (l - peer[i][1]) * kMetresPerDegree * std::cos(Radians(b)));
      worst = std::max({worst, metres, std::fabs(r.h - peer[i][2])});
    }
    EXPECT_LE(worst, row.toleranceMetres);
    if (s.kind == SystemKind::LocalPlane) worstLocal = std::max(worstLocal, worst);
    if (s.kind == SystemKind::GaussKrugerZone) worstZone = std::max(worstZone, worst);
    if (s.kind == SystemKind::Geographic) worstGeographic = std::max(worstGeographic, worst);
  }
  Report("local systems against their definitions", worstLocal, "m");
  Report("zones against their definitions", worstZone, "m");
  Report("geographic systems against their definitions", worstGeographic, "m");
}

// ---------------------------------------------------------------------------
// The series against PROJ's exact transverse Mercator

// A tmerc on the Krasovsky ellipsoid with its meridian at 0, as cct takes it:
// longitude and latitude in degrees.
constexpr char kExactTmerc[] = "+proj=tmerc +lat_0=0 +lon_0=0 +k=1 +x_0=0 +y_0=0 +ellps=krass";

struct Band {
  double reach;           // metres from the meridian, or degrees for the zones
  double angleTolerance;  // arc seconds, reverse
  double metreTolerance;  // metres, forward
};

struct BandResult {
  double worstArcSeconds = 0;
  double worstMetres = 0;
};

// 400 random points of latitudes 42° to 62° whose longitude difference from
// the meridian is at most reachDegrees(B): their exact plane coordinates from
// cct, then the series forward (against those) and reverse (from those,
// against the points).
template <typename ReachFn, typename ReverseFn, typename ForwardFn>
BandResult MeasureBand(std::uint64_t seed, ReachFn reachDegrees, ReverseFn reverse, ForwardFn forward) {
  std::mt19937_64 rng(seed);
  std::vector<Triple> geographic;
  for (int i = 0; i < 400; ++i) {
    const double b = Uniform(rng, 42, 62);
    geographic.push_back({Uniform(rng, -1, 1) * reachDegrees(b), b, 0});
  }
  const std::vector<Triple> exact = Cct(kExactTmerc, geographic);
  BandResult result;
  if (exact.size() != geographic.size()) return result;
  for (std::size_t i = 0; i < exact.size(); ++i) {
    const PlanePoint p = forward(LatitudeLongitude{Radians(geographic[i][1]), Radians(geographic[i][0])});
    result.worstMetres =
        std::max({result.worstMetres, std::fabs(p.x - exact[i][1]), std::fabs(p.y - exact[i][0])});
    const LatitudeLongitude q = reverse(PlanePoint{exact[i][1], exact[i][0]});
    result.worstArcSeconds =
        std::max({result.worstArcSeconds, std::fabs(Degrees(q.latitude) - geographic[i][1]) * 3600,
                  std::fabs(Degrees(q.longitude) - geographic[i][0]) * 3600});
  }
  return result;
}

TEST(ProjPeer, ClosedSeriesAgainstExactTransverseMercator) {
  REQUIRE_PROGRAM("cct");
  const ClosedSeriesPlane plane(0, 0);
  const Band bands[] = {
      {100000, 0.00002, 0.0006},
      {150000, 0.00003, 0.0006},
      {200000, 0.00015, 0.0006},
      {250000, 0.0006, 0.0006},
  };
  for (const Band& band : bands) {
    SCOPED_TRACE(band.reach);
    const BandResult r = MeasureBand(
        11, [&](double b) { return band.reach / (kMetresPerDegree * std::cos(Radians(b))); },
        [&](PlanePoint p) { return plane.Reverse(p); }, [&](LatitudeLongitude q) { return plane.Forward(q); });
    EXPECT_LE(r.worstArcSeconds, band.angleTolerance);
    EXPECT_LE(r.worstMetres, band.metreTolerance);
    Report("closed series reverse within " + std::to_string(static_cast<int>(band.reach / 1000)) + " km",
           r.worstArcSeconds, "arc seconds");
    Report("closed series forward within " + std::to_string(static_cast<int>(band.reach / 1000)) + " km",
           r.worstMetres, "m");
  }
}

TEST(ProjPeer, KrugerSeriesAgainstExactTransverseMercator) {
  REQUIRE_PROGRAM("cct");
  // Zone 6 (meridian 33°) moved to the meridian 0 of the exact projection.
  const KrugerZone zone(6);
  const double meridian = Radians(33);
  const Band bands[] = {
      {3.0, 0.00004, 0.0015},  // the zone
      {4.5, 0.00004, 0.0015},  // up to 1.5° beyond its edges
  };
  for (const Band& band : bands) {
    SCOPED_TRACE(band.reach);
    const BandResult r = MeasureBand(
        12, [&](double) { return band.reach; },
        [&](PlanePoint p) {
          LatitudeLongitude q = zone.Reverse({p.x, p.y + kZoneFalseEastingMetres});
          q.longitude -= meridian;
          return q;
        },
        [&](LatitudeLongitude q) {
          PlanePoint p = zone.Forward({q.latitude, q.longitude + meridian});
          p.y -= kZoneFalseEastingMetres;
          return p;
        });
    EXPECT_LE(r.worstArcSeconds, band.angleTolerance);
    EXPECT_LE(r.worstMetres, band.metreTolerance);
    Report("Krüger series reverse within " + std::to_string(band.reach) + "°", r.worstArcSeconds,
           "arc seconds");
    Report("Krüger series forward within " + std::to_string(band.reach) + "°", r.worstMetres, "m");
  }
}

}  // namespace
}  // namespace korvagrid
