#include "map/map_grid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "map/gauss_kruger_zones.h"
#include "tasks/map_sheets.h"

namespace korvagrid {
namespace {

constexpr double kArcSecondsPerDegree = 3600.0;

// Any scale code but 200 and 100 makes MapSheetName give the name of the
// 1:1 000 000 sheet followed by "-".
constexpr std::int16_t kMillionScaleCode = 1000;

// The sheet grid's extent, whole arc seconds: rows "K" (from 40° N) to "S"
// (to 76° N), longitudes 0° to 180° E.
constexpr std::int64_t kSheetSouth = 40 * 3600;
constexpr std::int64_t kSheetNorth = 76 * 3600;
constexpr std::int64_t kSheetWest = 0;
constexpr std::int64_t kSheetEast = 180 * 3600;

struct SheetLevelSpec {
  SheetLevel level;
  GridLineKind kind;
  std::int64_t rowSeconds;     // latitude extent of a cell, arc seconds
  std::int64_t columnSeconds;  // longitude extent of a cell, arc seconds
  std::int16_t scaleCode;
};

// Coarsest first.
constexpr std::array<SheetLevelSpec, 3> kSheetLevels{{
    {SheetLevel::Million, GridLineKind::Sheet1M, 4 * 3600, 6 * 3600, kMillionScaleCode},
    {SheetLevel::Sheet200k, GridLineKind::Sheet200k, 40 * 60, 3600, kScale200},
    {SheetLevel::Sheet100k, GridLineKind::Sheet100k, 20 * 60, 30 * 60, kScale100},
}};

// Round graticule steps, arc seconds.
constexpr std::array<std::int64_t, 20> kGraticuleSteps{
    1,   2,    5,    10,   15,   30,    60,    120,   300,   600,
    900, 1200, 1800, 3600, 7200, 10800, 18000, 36000, 54000, 108000};

double Degrees(std::int64_t arcSeconds) {
  return static_cast<double>(arcSeconds) / kArcSecondsPerDegree;
}

// Indices k of the multiples k · step (arc seconds) within [from, to] degrees.
struct IndexRange {
  std::int64_t first;
  std::int64_t last;  // inclusive; below `first` when the range is empty
};
IndexRange MultiplesWithin(double from, double to, std::int64_t step) {
  const double s = static_cast<double>(step);
  return {static_cast<std::int64_t>(std::ceil(from * kArcSecondsPerDegree / s)),
          static_cast<std::int64_t>(std::floor(to * kArcSecondsPerDegree / s))};
}

std::int64_t GraticuleStep(double pixelsPerDegree) {
  for (const std::int64_t step : kGraticuleSteps) {
    if (Degrees(step) * pixelsPerDegree >= kMinGraticulePixels) return step;
  }
  return kGraticuleSteps.back();
}

void AddGraticule(const GeoBounds& view, double pixelsPerDegreeX, double pixelsPerDegreeY,
                  MapGrid& grid) {
  const std::int64_t latitudeStep = GraticuleStep(pixelsPerDegreeY);
  const IndexRange rows = MultiplesWithin(view.south, view.north, latitudeStep);
  for (std::int64_t k = rows.first; k <= rows.last; ++k) {
    const double at = Degrees(k * latitudeStep);
    grid.lines.push_back({GridLineKind::Graticule, false, at, view.west, view.east});
    grid.graticuleLabels.push_back({false, at, DegreesMinutesText(at)});
  }
  const std::int64_t longitudeStep = GraticuleStep(pixelsPerDegreeX);
  const IndexRange columns = MultiplesWithin(view.west, view.east, longitudeStep);
  for (std::int64_t k = columns.first; k <= columns.last; ++k) {
    const double at = Degrees(k * longitudeStep);
    grid.lines.push_back({GridLineKind::Graticule, true, at, view.south, view.north});
    grid.graticuleLabels.push_back({true, at, DegreesMinutesText(at)});
  }
}

void AddZones(const GeoBounds& view, MapGrid& grid) {
  constexpr double kWorldWest = -180.0;
  constexpr double kWorldEast = 180.0;
  const double west = std::max(view.west, kWorldWest);
  const double east = std::min(view.east, kWorldEast);
  if (west > east) return;
  const auto firstBoundary = static_cast<std::int64_t>(std::ceil(west / kZoneWidthDegrees));
  const auto lastBoundary = static_cast<std::int64_t>(std::floor(east / kZoneWidthDegrees));
  for (std::int64_t k = firstBoundary; k <= lastBoundary; ++k) {
    grid.lines.push_back({GridLineKind::ZoneBoundary, true,
                          static_cast<double>(k) * kZoneWidthDegrees, view.south, view.north});
  }
  // The zones the view shows a part of, each with that part.
  const auto firstZone = static_cast<std::int64_t>(std::floor(west / kZoneWidthDegrees));
  for (std::int64_t k = firstZone; static_cast<double>(k) * kZoneWidthDegrees < east; ++k) {
    const double zoneWest = static_cast<double>(k) * kZoneWidthDegrees;
    grid.zones.push_back({GaussKrugerZone(zoneWest + kZoneWidthDegrees / 2),
                          std::max(zoneWest, west), std::min(zoneWest + kZoneWidthDegrees, east)});
  }
}

std::string CellName(const SheetLevelSpec& sheet, GeoPoint centre) {
  std::string name = MapSheetName(sheet.scaleCode, centre.latitude, centre.longitude);
  if (sheet.level == SheetLevel::Million && !name.empty() && name.back() == '-') name.pop_back();
  return name;
}

}  // namespace

std::optional<SheetLevel> SheetLevelOfScaleCode(std::int16_t scaleCode) {
  if (scaleCode == kScale200) return SheetLevel::Sheet200k;
  if (scaleCode == kScale100) return SheetLevel::Sheet100k;
  return std::nullopt;
}

MapGrid BuildMapGrid(const MapView& view, SheetLevel finest) {
  MapGrid grid;
  const GeoBounds bounds = view.visibleBounds();
  const double pixelsPerDegreeX =
      view.projection().metresPerDegreeLongitude() / view.metresPerPixel();
  const double pixelsPerDegreeY =
      view.projection().metresPerDegreeLatitude() / view.metresPerPixel();

  AddGraticule(bounds, pixelsPerDegreeX, pixelsPerDegreeY, grid);
  AddZones(bounds, grid);

  // The part of the sheet grid in view, degrees.
  const double south = std::max(bounds.south, Degrees(kSheetSouth));
  const double north = std::min(bounds.north, Degrees(kSheetNorth));
  const double west = std::max(bounds.west, Degrees(kSheetWest));
  const double east = std::min(bounds.east, Degrees(kSheetEast));
  if (south > north || west > east) return grid;

  // Levels whose frames are drawn, coarsest first.
  std::vector<const SheetLevelSpec*> shown;
  for (const SheetLevelSpec& sheet : kSheetLevels) {
    if (sheet.level > finest) break;
    const double cellWidth = Degrees(sheet.columnSeconds) * pixelsPerDegreeX;
    const double cellHeight = Degrees(sheet.rowSeconds) * pixelsPerDegreeY;
    if (cellWidth < kMinFramePixels || cellHeight < kMinFramePixels) break;
    shown.push_back(&sheet);
    if (cellWidth < kMinNamedCellWidthPixels || cellHeight < kMinNamedCellHeightPixels) continue;
    const IndexRange rows = MultiplesWithin(south, north, sheet.rowSeconds);
    const IndexRange columns = MultiplesWithin(west, east, sheet.columnSeconds);
    // Cells reaching into the view: from the one below the first edge in view.
    for (std::int64_t i = rows.first - 1; i <= rows.last; ++i) {
      const std::int64_t cellSouth = i * sheet.rowSeconds;
      if (cellSouth < kSheetSouth || cellSouth >= kSheetNorth) continue;
      for (std::int64_t j = columns.first - 1; j <= columns.last; ++j) {
        const std::int64_t cellWest = j * sheet.columnSeconds;
        if (cellWest < kSheetWest || cellWest >= kSheetEast) continue;
        SheetCell cell;
        cell.level = sheet.level;
        cell.bounds = {Degrees(cellSouth), Degrees(cellWest), Degrees(cellSouth + sheet.rowSeconds),
                       Degrees(cellWest + sheet.columnSeconds)};
        if (cell.bounds.north <= south || cell.bounds.south >= north || cell.bounds.east <= west ||
            cell.bounds.west >= east) {
          continue;  // touches the view only along an edge
        }
        const GeoPoint centre{Degrees(2 * cellSouth + sheet.rowSeconds) / 2,
                              Degrees(2 * cellWest + sheet.columnSeconds) / 2};
        cell.name = CellName(sheet, centre);
        grid.cells.push_back(std::move(cell));
      }
    }
  }

  // Frames, finest level first; an edge shared with a coarser level shown
  // belongs to the coarser one.
  for (auto level = shown.rbegin(); level != shown.rend(); ++level) {
    const SheetLevelSpec& sheet = **level;
    const SheetLevelSpec* coarser = std::next(level) == shown.rend() ? nullptr : *std::next(level);
    const IndexRange rows = MultiplesWithin(south, north, sheet.rowSeconds);
    for (std::int64_t i = rows.first; i <= rows.last; ++i) {
      const std::int64_t at = i * sheet.rowSeconds;
      if (coarser != nullptr && at % coarser->rowSeconds == 0) continue;
      grid.lines.push_back({sheet.kind, false, Degrees(at), west, east});
    }
    const IndexRange columns = MultiplesWithin(west, east, sheet.columnSeconds);
    for (std::int64_t j = columns.first; j <= columns.last; ++j) {
      const std::int64_t at = j * sheet.columnSeconds;
      if (coarser != nullptr && at % coarser->columnSeconds == 0) continue;
      grid.lines.push_back({sheet.kind, true, Degrees(at), south, north});
    }
  }
  return grid;
}

}  // namespace korvagrid
