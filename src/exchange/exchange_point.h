#pragma once
// One point as it goes into and comes out of an exchange file.
#include <cstdint>
#include <optional>
#include <string>

namespace korvagrid {

// Coordinates are those of the file's coordinate reference system, in the
// order surveyors write them:
//  - plane systems: first = X, the northing, and second = Y, the easting, in
//    metres, as the system's definition has them: a Gauss–Krüger zone of
//    EPSG:28405..28407 carries its zone number in the millions of Y; a local
//    system (and the own system) has X in full, not written short, and Y
//    without a zone prefix;
//  - geographic systems: first = latitude and second = longitude, in decimal
//    degrees.
// Files hold them in the drawing's order (easting or longitude first); the
// writers and the reader turn one order into the other.
struct ExchangePoint {
  std::string name;             // UTF-8; may be empty
  double first = 0;             // X (northing) or latitude
  double second = 0;            // Y (easting) or longitude
  std::optional<double> height; // metres; none when the point has no height
  std::int64_t line = 0;        // the point's line in its list (1-based): the name of an unnamed point
};

}  // namespace korvagrid
