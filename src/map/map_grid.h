#pragma once
// The lines and names drawn over the map for the part of the world a view
// shows: the graticule, the boundaries of the 6° Gauss–Krüger zones with
// their numbers, and the frames of the 1:1 000 000, 1:200 000 and 1:100 000
// map sheets with their names.
//
// Sheet frames follow the international grid the map-sheet task names:
// 1:1 000 000 sheets are 4° of latitude by 6° of longitude from 40° N and
// 0° E, each split into 6 × 6 sheets of 40' × 1° at 1:200 000 and 12 × 12
// sheets of 20' × 30' at 1:100 000. Frames are drawn where the task gives
// full names, rows "K" to "S" (40° N to 76° N) and eastern longitudes. Each
// cell is named by MapSheetName at its centre, so a name on the map is the
// task's name for every point inside that cell.
//
// Edges are computed from whole arc seconds (20' is 1200"), so the edges of
// the three levels coincide exactly where they should; a line shared by two
// levels is listed once, as a line of the coarser one.
//
// What is listed depends on the zoom: a sheet level's frames appear once its
// cells are at least kMinFramePixels across, its names once its cells can
// hold a name, and the graticule step is the smallest round step at least
// kMinGraticulePixels apart. Only what lies in the view is listed.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "map/map_coordinates.h"
#include "map/map_view.h"

namespace korvagrid {

enum class SheetLevel : std::uint8_t { Million, Sheet200k, Sheet100k };

// The finest sheet level of a scale code of the map-sheet task: 200 gives
// 1:200 000, 100 gives 1:100 000; any other code gives nothing.
std::optional<SheetLevel> SheetLevelOfScaleCode(std::int16_t scaleCode);

enum class GridLineKind : std::uint8_t { Graticule, ZoneBoundary, Sheet1M, Sheet200k, Sheet100k };

// A meridian at longitude `at` from latitude `from` to `to`, or a parallel at
// latitude `at` from longitude `from` to `to`; decimal degrees.
struct GridLine {
  GridLineKind kind = GridLineKind::Graticule;
  bool meridian = false;
  double at = 0;
  double from = 0;
  double to = 0;
};

struct SheetCell {
  SheetLevel level = SheetLevel::Million;
  GeoBounds bounds;  // the whole cell, also where it reaches out of the view
  std::string name;  // "N-37", "N-37-II", "N-37-4"
};

// A zone number and the part of the zone the view shows, degrees east.
struct ZoneLabel {
  int zone = 0;
  double west = 0;
  double east = 0;
};

// The text of a graticule line, for the left edge (parallels) or the bottom
// edge (meridians) of the picture.
struct GraticuleLabel {
  bool meridian = false;
  double at = 0;
  std::string text;
};

struct MapGrid {
  // In drawing order: graticule, zone boundaries, then the sheet frames from
  // the finest level to the coarsest, so that coarser frames lie on top.
  std::vector<GridLine> lines;
  // Named cells, coarsest level first: their names take precedence where
  // labels would overlap.
  std::vector<SheetCell> cells;
  std::vector<ZoneLabel> zones;
  std::vector<GraticuleLabel> graticuleLabels;
};

// Zoom thresholds, in pixels of the view.
inline constexpr double kMinFramePixels = 12.0;            // a level's frames are drawn
inline constexpr double kMinNamedCellWidthPixels = 48.0;   // a level's cells are named
inline constexpr double kMinNamedCellHeightPixels = 16.0;  // ... when both are reached
inline constexpr double kMinGraticulePixels = 100.0;       // between graticule lines

// Frames of levels finer than `finest` are left out.
MapGrid BuildMapGrid(const MapView& view, SheetLevel finest);

}  // namespace korvagrid
