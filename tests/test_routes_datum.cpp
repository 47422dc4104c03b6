// The datum choices of the routes: the pair's parameter set and heights mode
// reach every route that crosses the datum, and no other route.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "conversion/routes.h"

namespace korvagrid {
namespace {

const CoordinateSystem k63C3{"63 (C3)", SystemKind::LocalPlane, 11057.63, 111420, 3, 250000, 0, false};
const CoordinateSystem kZone6{"42(zone6)", SystemKind::GaussKrugerZone, 0, 118800, 6, 500000, 0, false};
const CoordinateSystem kKrasovsky{"BLH(Kras)", SystemKind::Geographic, 0, 0, 0, 500000, 0, false};
const CoordinateSystem kWgs84{"WGS-84", SystemKind::Geographic, 0, 0, 0, 500000, 0, true};

struct RouteRow {
  const char* why;
  CoordinateSystem source;
  CoordinateSystem target;
  RouteInput in;  // as the run hands it over: X in full, Y bare, packed degrees
  bool crossesDatum;
};

const RouteRow kRows[] = {
    {"zone 6 to WGS-84", kZone6, kWgs84, {6200000, 600000, 150}, true},
    {"63 (C3) to WGS-84", k63C3, kWgs84, {6200000 - 11057.63, 310000, 150}, true},
    {"WGS-84 to zone 6", kWgs84, kZone6, {55.45, 33.3, 150}, true},
    {"Krasovsky to WGS-84", kKrasovsky, kWgs84, {55.45, 37.37, 150}, true},
    {"WGS-84 to Krasovsky", kWgs84, kKrasovsky, {55.45, 37.37, 150}, true},
    {"WGS-84 to 63 (C3)", kWgs84, k63C3, {55.45, 31.0, 150}, true},
    {"zone 6 to Krasovsky", kZone6, kKrasovsky, {6200000, 600000, 150}, false},
    {"63 (C3) to Krasovsky", k63C3, kKrasovsky, {6200000 - 11057.63, 310000, 150}, false},
    {"Krasovsky to zone 6", kKrasovsky, kZone6, {55.45, 33.3, 150}, false},
    {"Krasovsky to 63 (C3)", kKrasovsky, k63C3, {55.45, 31.0, 150}, false},
    {"63 (C3) to zone 6", k63C3, kZone6, {6200000 - 11057.63, 310000, 150}, false},
};

RouteOutput Carry(const RouteRow& row, DatumShiftKey set, HeightsMode heights) {
  RoutePair pair;
  pair.source = row.source;
  pair.target = row.target;
  pair.targetZone = row.target.zone;
  pair.wgsInvolved = row.source.isWgs84 || row.target.isWgs84;
  pair.datumShift = set;
  pair.heights = heights;
  return CarryPoint(ChooseRoute(pair), pair, row.source.centralMeridian - row.target.centralMeridian,
                    row.in);
}

// Horizontal distance of two results in metres (1" is about 31 m).
double Metres(const RouteRow& row, const RouteOutput& a, const RouteOutput& b) {
  const double scale = row.target.kind == SystemKind::Geographic ? 10000 * 31.0 : 1.0;  // packed 0.0001 is 1"
  return std::max(std::fabs(a.x - b.x), std::fabs(a.y - b.y)) * scale;
}

TEST(RoutesAcrossTheDatum, KeptHeightsComeThroughUnchangedAndPositionsDoNotMove) {
  // Keep: the height as it went in, the position bit for bit that of the
  // shifted height. Shift: across the datum the ellipsoidal height moves by
  // metres (here 5 to 20 m); elsewhere it stays.
  for (const RouteRow& row : kRows) {
    for (const DatumShiftSet& set : kDatumShiftSets) {
      SCOPED_TRACE(std::string(row.why) + ", " + std::string(set.keyText));
      const RouteOutput shifted = Carry(row, set.key, HeightsMode::Shift);
      const RouteOutput kept = Carry(row, set.key, HeightsMode::Keep);
      EXPECT_EQ(kept.x, shifted.x);
      EXPECT_EQ(kept.y, shifted.y);
      EXPECT_EQ(kept.h, row.in.h);
      if (row.crossesDatum) {
        EXPECT_GT(std::fabs(shifted.h - row.in.h), 1.0);
      } else {
        EXPECT_EQ(shifted.h, row.in.h);
      }
    }
  }
}

TEST(RoutesAcrossTheDatum, TheChosenSetReachesEveryRouteThatCrossesIt) {
  // The GOST sets move points by metres against the classic set (more than
  // 0.5 m here); routes that stay on SK-42 give the same bits whatever set.
  for (const RouteRow& row : kRows) {
    const RouteOutput classic = Carry(row, DatumShiftKey::Classic, HeightsMode::Shift);
    for (const DatumShiftKey key : {DatumShiftKey::Gost2008, DatumShiftKey::Gost2001}) {
      SCOPED_TRACE(std::string(row.why) + ", " + std::string(DatumShiftSetOf(key).keyText));
      const RouteOutput other = Carry(row, key, HeightsMode::Shift);
      if (row.crossesDatum) {
        EXPECT_GT(Metres(row, classic, other), 0.5);
      } else {
        EXPECT_EQ(other.x, classic.x);
        EXPECT_EQ(other.y, classic.y);
        EXPECT_EQ(other.h, classic.h);
      }
    }
  }
}

}  // namespace
}  // namespace korvagrid
