#pragma once
// The coordinate records of the map view: geographic positions on the
// Krasovsky ellipsoid, positions in the view projection's plane, and pixels.
//
// Pixels are continuous: pixel column i, row j covers [i, i + 1) × [j, j + 1),
// x grows to the right and y downwards, (0, 0) is the top-left corner of the
// picture.

namespace korvagrid {

// Krasovsky latitude and longitude, decimal degrees (north and east positive).
struct GeoPoint {
  double latitude = 0;
  double longitude = 0;
};

// A latitude/longitude rectangle, decimal degrees.
struct GeoBounds {
  double south = 0;
  double west = 0;
  double north = 0;
  double east = 0;

  bool contains(GeoPoint p) const {
    return p.latitude >= south && p.latitude <= north && p.longitude >= west && p.longitude <= east;
  }
};

// A position in the plane of the view projection, metres (x east, y north).
struct WorldPoint {
  double x = 0;
  double y = 0;
};

struct PixelPoint {
  double x = 0;
  double y = 0;
};

struct PixelRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

}  // namespace korvagrid
