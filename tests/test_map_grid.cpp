// The map's grid for a view: sheet frames named as the map-sheet task names
// the points inside them, frames and names by zoom, zone boundaries and
// numbers, graticule steps; and the screen-space helpers (label thinning,
// culling, hit testing).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "map/gauss_kruger_zones.h"
#include "map/label_thinning.h"
#include "map/map_grid.h"
#include "map/screen_points.h"
#include "tasks/map_sheets.h"

namespace korvagrid {
namespace {

constexpr double kPixelTolerance = 1e-6;  // pixels

MapView ViewOn(GeoPoint centre, double metresPerPixel, int width = 1600, int height = 1000) {
  const ViewProjection projection(centre.latitude);
  return MapView(width, height, projection, projection.project(centre), metresPerPixel);
}

// The name the task gives a point at a level; the 1:1 000 000 name is the
// prefix of every other name without its last "-".
std::string TaskName(SheetLevel level, GeoPoint p) {
  switch (level) {
    case SheetLevel::Sheet200k:
      return MapSheetName(kScale200, p.latitude, p.longitude);
    case SheetLevel::Sheet100k:
      return MapSheetName(kScale100, p.latitude, p.longitude);
    case SheetLevel::Million: {
      const std::string name = MapSheetName(kScale100, p.latitude, p.longitude);
      return name.substr(0, name.rfind('-'));
    }
  }
  return {};
}

struct NamedPoint {
  const char* why;
  GeoPoint point;
};

class FramesNamedByTheTask : public ::testing::TestWithParam<NamedPoint> {};

// At a zoom where all three levels are named, the cells drawn around a point
// include the one the task names it by; a point off every edge lies in
// exactly one cell per level, and that cell has the task's name.
TEST_P(FramesNamedByTheTask, AtEveryLevel) {
  const NamedPoint& c = GetParam();
  const MapGrid grid = BuildMapGrid(ViewOn(c.point, 100), SheetLevel::Sheet100k);
  for (const SheetLevel level :
       {SheetLevel::Million, SheetLevel::Sheet200k, SheetLevel::Sheet100k}) {
    std::vector<std::string> holding;
    bool onEdge = false;
    for (const SheetCell& cell : grid.cells) {
      if (cell.level != level || !cell.bounds.contains(c.point)) continue;
      holding.push_back(cell.name);
      onEdge = onEdge || c.point.latitude == cell.bounds.south ||
               c.point.latitude == cell.bounds.north || c.point.longitude == cell.bounds.west ||
               c.point.longitude == cell.bounds.east;
    }
    const std::string expected = TaskName(level, c.point);
    EXPECT_NE(std::find(holding.begin(), holding.end(), expected), holding.end())
        << c.why << ": " << expected;
    if (!onEdge) {
      EXPECT_EQ(holding.size(), 1u) << c.why;
    }
  }
}

constexpr double kMinute = 1.0 / 60;

INSTANTIATE_TEST_SUITE_P(
    Table, FramesNamedByTheTask,
    ::testing::Values(NamedPoint{"55°45' N 37°37' E (N-37-II, N-37-4)", {55.75, 37 + 37 * kMinute}},
                      NamedPoint{"south-west corner of O-37: all levels meet", {56.0, 36.0}},
                      NamedPoint{"1:100 000 corner inside a 1:200 000 sheet",
                                 {55 + 40 * kMinute, 37.5}},
                      NamedPoint{"a hair inside the south-east cell of N-37", {52.0001, 41.9999}},
                      NamedPoint{"first row K at 40° N", {40.0 + 5 * kMinute, 30.2}},
                      NamedPoint{"north-west corner cell of S-60", {75.99, 174.01}}));

TEST(Frames, EveryNamedCellHasItsFourEdgesDrawn) {
  // Each edge of a cell inside the view is a line of the cell's level or of a
  // coarser one, at exactly that coordinate.
  const MapView view = ViewOn({55.9, 36.3}, 60, 1200, 900);
  const MapGrid grid = BuildMapGrid(view, SheetLevel::Sheet100k);
  const GeoBounds shown = view.visibleBounds();
  const auto drawn = [&](bool meridian, double at, SheetLevel level) {
    return std::any_of(grid.lines.begin(), grid.lines.end(), [&](const GridLine& l) {
      const bool sheetLine = l.kind >= GridLineKind::Sheet1M &&
                             static_cast<int>(l.kind) - static_cast<int>(GridLineKind::Sheet1M) <=
                                 static_cast<int>(level);
      return sheetLine && l.meridian == meridian && l.at == at;
    });
  };
  ASSERT_GT(grid.cells.size(), 10u);
  for (const SheetCell& cell : grid.cells) {
    for (const double lat : {cell.bounds.south, cell.bounds.north}) {
      if (lat > shown.south && lat < shown.north) {
        EXPECT_TRUE(drawn(false, lat, cell.level)) << cell.name << " parallel " << lat;
      }
    }
    for (const double lon : {cell.bounds.west, cell.bounds.east}) {
      if (lon > shown.west && lon < shown.east) {
        EXPECT_TRUE(drawn(true, lon, cell.level)) << cell.name << " meridian " << lon;
      }
    }
  }
  // A line shared by two levels is listed once.
  for (std::size_t i = 0; i < grid.lines.size(); ++i) {
    for (std::size_t j = i + 1; j < grid.lines.size(); ++j) {
      const GridLine& a = grid.lines[i];
      const GridLine& b = grid.lines[j];
      const bool bothSheets = a.kind >= GridLineKind::Sheet1M && b.kind >= GridLineKind::Sheet1M;
      EXPECT_FALSE(bothSheets && a.meridian == b.meridian && a.at == b.at) << a.at;
    }
  }
}

struct ZoomCase {
  const char* why;
  GeoPoint centre;
  double metresPerPixel;
  SheetLevel finest;
  int framedLevels;  // levels whose frames are listed, counted from 1:1 000 000
  int namedLevels;   // levels whose cells are named
};

class ZoomLevels : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(ZoomLevels, ShowFramesAndNamesOnlyWhenTheyFit) {
  const ZoomCase& c = GetParam();
  const MapGrid grid = BuildMapGrid(ViewOn(c.centre, c.metresPerPixel), c.finest);
  int framed = 0;
  int named = 0;
  for (int level = 0; level < 3; ++level) {
    const auto kind = static_cast<GridLineKind>(static_cast<int>(GridLineKind::Sheet1M) + level);
    if (std::any_of(grid.lines.begin(), grid.lines.end(),
                    [&](const GridLine& l) { return l.kind == kind; })) {
      framed = level + 1;
    }
    if (std::any_of(grid.cells.begin(), grid.cells.end(),
                    [&](const SheetCell& cell) { return static_cast<int>(cell.level) == level; })) {
      named = level + 1;
    }
  }
  EXPECT_EQ(framed, c.framedLevels) << c.why;
  EXPECT_EQ(named, c.namedLevels) << c.why;
  // The graticule is there at every zoom, its lines at least 100 px apart.
  std::vector<double> parallels;
  for (const GridLine& l : grid.lines) {
    if (l.kind == GridLineKind::Graticule && !l.meridian) parallels.push_back(l.at);
  }
  ASSERT_GE(parallels.size(), 2u) << c.why;
  const double step = (parallels[1] - parallels[0]) *
                      ViewProjection(c.centre.latitude).metresPerDegreeLatitude() /
                      c.metresPerPixel;
  EXPECT_GE(step, kMinGraticulePixels - kPixelTolerance) << c.why;
}

// Cell sizes at 56° N: 1:1 000 000 6° × 4° is 374 × 445 km, 1:200 000
// 1° × 40' is 62 × 74 km, 1:100 000 30' × 20' is 31 × 37 km.
INSTANTIATE_TEST_SUITE_P(
    Table, ZoomLevels,
    ::testing::Values(
        ZoomCase{"whole region: 1:1 000 000 only, 1:200 000 cells under 12 px",
                 {56, 37},
                 6000,
                 SheetLevel::Sheet100k,
                 1,
                 1},
        ZoomCase{"1:200 000 framed at 13 px wide, too small for names",
                 {56, 37},
                 4800,
                 SheetLevel::Sheet100k,
                 2,
                 1},
        ZoomCase{"1:200 000 named, 1:100 000 framed but not named",
                 {56, 37},
                 1000,
                 SheetLevel::Sheet100k,
                 3,
                 2},
        ZoomCase{"all levels named", {56, 37}, 100, SheetLevel::Sheet100k, 3, 3},
        ZoomCase{"scale code 200 leaves 1:100 000 out at any zoom",
                 {56, 37},
                 100,
                 SheetLevel::Sheet200k,
                 2,
                 2},
        ZoomCase{"south of 40° N: no sheet grid", {30, 37}, 100, SheetLevel::Sheet100k, 0, 0},
        ZoomCase{
            "western hemisphere: no sheet grid", {56, -37}, 100, SheetLevel::Sheet100k, 0, 0}));

TEST(Zones, BoundariesAndNumbersOfTheZonesInView) {
  // 33° to 39° E at 56° N (6° of longitude is 374 km): zones 6 and 7 meet at 36°.
  const MapView view = ViewOn({56, 36}, 374000.0 / 6 * 6 / 1500, 1500, 800);
  const MapGrid grid = BuildMapGrid(view, SheetLevel::Sheet100k);
  std::vector<double> boundaries;
  for (const GridLine& l : grid.lines) {
    if (l.kind == GridLineKind::ZoneBoundary) boundaries.push_back(l.at);
  }
  EXPECT_EQ(boundaries, std::vector<double>{36});
  ASSERT_EQ(grid.zones.size(), 2u);
  EXPECT_EQ(grid.zones[0].zone, 6);
  EXPECT_EQ(grid.zones[0].east, 36);
  EXPECT_EQ(grid.zones[1].zone, 7);
  EXPECT_EQ(grid.zones[1].west, 36);
}

struct ZoneCase {
  double longitude;
  int zone;
};

TEST(Zones, NumberedEastwardsFromGreenwichTheBoundaryGoingEast) {
  for (const ZoneCase c :
       {ZoneCase{0, 1}, ZoneCase{5.999, 1}, ZoneCase{6, 2}, ZoneCase{36, 7}, ZoneCase{179.9, 30},
        ZoneCase{180, 31}, ZoneCase{-0.1, 60}, ZoneCase{-180, 31}, ZoneCase{359.9, 60}}) {
    EXPECT_EQ(GaussKrugerZone(c.longitude), c.zone) << c.longitude;
  }
}

struct ReasonCase {
  int zone;
  double longitude;
  const char* reason;  // nullptr: inside the zone
  double overlap = 0;  // degrees beyond the boundaries still counted in
};

TEST(Zones, OutsideZoneReasonNamesTheLongitudeAndTheZone) {
  for (const ReasonCase c : {
           ReasonCase{6, 30, nullptr},  // both boundaries belong to the zone
           ReasonCase{6, 36, nullptr},
           ReasonCase{60, 0, nullptr},  // 360° is zone 60's eastern boundary
           ReasonCase{6, 36 + 10 * kMinute, "долгота 36°10' вне зоны 6 (30°00'–36°00')"},
           ReasonCase{7, 29.5, "долгота 29°30' вне зоны 7 (36°00'–42°00')"},
           // With the map's 30' overlap: its edges are in, beyond them out.
           ReasonCase{6, 36.5, nullptr, 0.5},
           ReasonCase{7, 35.5, nullptr, 0.5},
           ReasonCase{6, 36 + 31 * kMinute, "долгота 36°31' вне зоны 6 (30°00'–36°00')", 0.5},
           // The overlap reaches across 0°: zone 1 westwards, zone 60 eastwards.
           ReasonCase{1, -0.4, nullptr, 0.5},
           ReasonCase{60, 0.4, nullptr, 0.5},
           ReasonCase{1, 359, "долгота 359°00' вне зоны 1 (0°00'–6°00')", 0.5},
       }) {
    const std::optional<std::string> reason = OutsideZoneReason(c.zone, c.longitude, c.overlap);
    if (c.reason == nullptr) {
      EXPECT_FALSE(reason) << c.zone << " " << c.longitude << ": " << reason.value_or("");
    } else {
      EXPECT_EQ(reason.value_or("(inside)"), c.reason);
    }
  }
}

TEST(Zones, AngleTextRoundsToTheThousandthOfASecondFirst) {
  EXPECT_EQ(DegreesMinutesText(1.0 / 3), "0°20'");  // not 0°19'59"
  EXPECT_EQ(DegreesMinutesText(55 + 40.5 * kMinute), "55°40'30\"");
  EXPECT_EQ(DegreesMinutesText(-0.5), "-0°30'");
  EXPECT_EQ(DegreesMinutesText(37 + 7 * kMinute + 5.0 / 3600), "37°07'05\"");
}

struct ThinningCase {
  const char* why;
  std::vector<PixelRect> placed;
  PixelRect offered;
  bool accepted;
};

class Thinning : public ::testing::TestWithParam<ThinningCase> {};

TEST_P(Thinning, RefusesOverlapsAndLabelsCutOffAtTheEdge) {
  const ThinningCase& c = GetParam();
  LabelThinner thinner(200, 100, 4);
  for (const PixelRect& r : c.placed) ASSERT_TRUE(thinner.place(r)) << c.why;
  EXPECT_EQ(thinner.place(c.offered), c.accepted) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Thinning,
    ::testing::Values(
        ThinningCase{"empty picture", {}, {10, 10, 40, 12}, true},
        ThinningCase{"overlapping by one pixel", {{10, 10, 40, 12}}, {49, 20, 30, 12}, false},
        ThinningCase{"side by side on a cell boundary", {{8, 8, 40, 12}}, {48, 8, 30, 12}, true},
        ThinningCase{
            "one below the other on a cell boundary", {{8, 8, 40, 12}}, {8, 20, 40, 12}, true},
        ThinningCase{"a small label inside a large one", {{0, 0, 100, 50}}, {40, 20, 5, 5}, false},
        ThinningCase{"reaching past the right edge", {}, {180, 10, 40, 12}, false},
        ThinningCase{"starting above the top", {}, {10, -1, 40, 12}, false}));

MapPoint At(double latitude, double longitude, MapPointStatus status = MapPointStatus::Ok) {
  MapPoint p;
  p.latitude = latitude;
  p.longitude = longitude;
  p.status = status;
  return p;
}

TEST(Culling, KeepsOneMarkerPerCellAndDrawsWarningsLast) {
  // Cells of 2 × 2 pixels counted from the margin's edge (6 px): pixels 200
  // and 201 share a cell, 202 starts the next. Within a group, markers come
  // band by band from the top, left to right.
  const MapView view = ViewOn({56, 37}, 10, 400, 300);
  const GeoPoint centre = view.toGeo({200.5, 150.5});
  const GeoPoint sameCell = view.toGeo({201.9, 151.1});
  const GeoPoint nextCell = view.toGeo({202.1, 150.5});
  const GeoPoint inMargin = view.toGeo({-3, 150});
  const GeoPoint beyondMargin = view.toGeo({-9, 150});
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<MapPoint> points{
      At(centre.latitude, centre.longitude, MapPointStatus::Failed),           // 0
      At(centre.latitude, centre.longitude),                                   // 1
      At(sameCell.latitude, sameCell.longitude),                               // 2: culled
      At(inMargin.latitude, inMargin.longitude),                               // 3
      At(beyondMargin.latitude, beyondMargin.longitude),                       // 4: culled
      At(nan, nan),                                                            // 5: culled
      At(sameCell.latitude, sameCell.longitude, MapPointStatus::OutsideZone),  // 6: culled
      At(nextCell.latitude, nextCell.longitude),                               // 7
  };
  const std::vector<ScreenPoint> shown = CullPoints(points, view, 6);
  std::vector<std::uint32_t> order;
  for (const ScreenPoint& s : shown) order.push_back(s.index);
  EXPECT_EQ(order, (std::vector<std::uint32_t>{3, 1, 7, 0}));
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_NEAR(shown[1].x, 200.5, 1e-3);
  EXPECT_NEAR(shown[1].y, 150.5, 1e-3);
  EXPECT_TRUE(shown[3].warning);
}

struct HitCase {
  const char* why;
  PixelPoint click;
  std::optional<std::size_t> hit;
};

class HitTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(HitTest, FindsTheMarkerUnderTheClick) {
  const HitCase& c = GetParam();
  const MapView view = ViewOn({56, 37}, 10, 400, 300);
  const GeoPoint a = view.toGeo({100.5, 100.5});
  const GeoPoint b = view.toGeo({110.5, 100.5});
  const std::vector<MapPoint> points{At(a.latitude, a.longitude),                          // 0
                                     At(b.latitude, b.longitude),                          // 1
                                     At(b.latitude, b.longitude, MapPointStatus::Failed),  // 2
                                     At(a.latitude, a.longitude)};                         // 3
  EXPECT_EQ(PointNear(points, view, c.click, 6), c.hit) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HitTest,
    ::testing::Values(HitCase{"on a marker: the first of two there", {100.5, 100.5}, 0},
                      HitCase{"nearer the second place: the warning drawn on top", {107, 101}, 2},
                      HitCase{"exactly at the radius", {94.5, 100.5}, 0},
                      HitCase{"beyond the radius", {94, 100.5}, std::nullopt}));

}  // namespace
}  // namespace korvagrid
