#pragma once
// One point of a list as the map shows it: its name, its position as
// Krasovsky latitude/longitude, the input line it came from, and whether it
// was converted without a problem (tasks/map_points.h makes them of a list).
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace korvagrid {

enum class MapPointStatus : std::uint8_t {
  Ok,
  Failed,       // the conversion of its line failed
  OutsideZone,  // converted, but it lies outside the zone of its system
  Questioned,   // converted as read, although its line draws a question about the source system
};

struct MapPoint {
  std::string name;  // UTF-8, may be empty
  // Krasovsky latitude and longitude, decimal degrees; NaN when the line gave
  // no position (such a point is listed but not drawn).
  double latitude = std::numeric_limits<double>::quiet_NaN();
  double longitude = std::numeric_limits<double>::quiet_NaN();
  std::int64_t line = 0;  // line of the input list, counted from 1
  MapPointStatus status = MapPointStatus::Ok;
  std::string reason;  // why the point is not Ok, in Russian; shown as its tool tip

  bool located() const { return std::isfinite(latitude) && std::isfinite(longitude); }
  bool warning() const { return status != MapPointStatus::Ok; }
};

}  // namespace korvagrid
