#pragma once
// The points a view shows and the point under the mouse.
//
// Culling: only located points within the picture (and a margin for the
// part of a marker that reaches in from outside) are kept, and of points
// that fall into the same cell of 2 × 2 pixels only the first is kept: one
// marker, 9 pixels across, stands for all the points there. Points with a warning come after all
// others and are culled among themselves, so that a warning is never hidden
// under an ordinary marker. Within each of the two groups the markers come
// in bands of 16 pixel rows from the top, left to right within a band, so
// that drawing them walks the picture's memory in small steps (markers of one
// group look alike, so their order shows nowhere).
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "map/map_point.h"
#include "map/map_view.h"

namespace korvagrid {

struct ScreenPoint {
  std::uint32_t index;  // into the list of points
  float x;              // pixel position, continuous
  float y;
  bool warning;  // the point's status is not Ok
};

// The positions and warning marks of a list of points, packed for drawing:
// 17 bytes a point to read on every frame instead of a whole MapPoint with
// its name and reason.
struct PackedPositions {
  explicit PackedPositions(std::span<const MapPoint> points);
  std::vector<GeoPoint> positions;  // NaN where the point is not located
  std::vector<std::uint8_t> warnings;
};

// The markers to draw, in drawing order.
std::vector<ScreenPoint> CullPoints(const PackedPositions& points, const MapView& view,
                                    double marginPixels);
std::vector<ScreenPoint> CullPoints(std::span<const MapPoint> points, const MapView& view,
                                    double marginPixels);

// The located point nearest to `pixel` within `radiusPixels`, as an index
// into `points`. Of points at the same distance, the one whose marker is
// drawn wins: a warning point (drawn over the others), else the earliest
// (later points in the same pixel are culled).
std::optional<std::size_t> PointNear(std::span<const MapPoint> points, const MapView& view,
                                     PixelPoint pixel, double radiusPixels);

}  // namespace korvagrid
