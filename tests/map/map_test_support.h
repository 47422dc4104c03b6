#pragma once
// Helpers of the map's drawing tests: views centred on a place, and the
// pixels of a picture that have one colour or differ between two pictures.
#include <QColor>
#include <QImage>
#include <cmath>
#include <optional>

#include "map/map_view.h"

namespace korvagrid::testing {

inline MapView ViewOn(GeoPoint centre, double metresPerPixel, int width = 640, int height = 480) {
  const ViewProjection projection(centre.latitude);
  return MapView(width, height, projection, projection.project(centre), metresPerPixel);
}

inline bool SameRgb(QRgb pixel, const QColor& colour) {
  return qRed(pixel) == colour.red() && qGreen(pixel) == colour.green() &&
         qBlue(pixel) == colour.blue();
}

// The centre (continuous pixel position) of the pixels for which `select`
// holds; nothing when there is none.
template <typename Select>
std::optional<PixelPoint> Centroid(const QImage& image, Select select) {
  double sumX = 0, sumY = 0, count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!select(x, y)) continue;
      sumX += x + 0.5;
      sumY += y + 0.5;
      ++count;
    }
  }
  if (count == 0) return std::nullopt;
  return PixelPoint{sumX / count, sumY / count};
}

inline std::optional<PixelPoint> CentroidOfColour(const QImage& image, const QColor& colour) {
  return Centroid(image, [&](int x, int y) { return SameRgb(image.pixel(x, y), colour); });
}

inline std::optional<PixelPoint> CentroidOfDifference(const QImage& a, const QImage& b) {
  return Centroid(a, [&](int x, int y) { return a.pixel(x, y) != b.pixel(x, y); });
}

}  // namespace korvagrid::testing
