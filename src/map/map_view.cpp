#include "map/map_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace korvagrid {
namespace {

constexpr GeoPoint kMoscow{55.75, 37.62};
constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;
constexpr double kDefaultMetresPerPixel = 200.0;
constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 180.0;

double ClampScale(double metresPerPixel) {
  if (!std::isfinite(metresPerPixel)) return MapView::kMaxMetresPerPixel;
  return std::clamp(metresPerPixel, MapView::kMinMetresPerPixel, MapView::kMaxMetresPerPixel);
}

}  // namespace

MapView::MapView()
    : MapView(kDefaultWidth, kDefaultHeight, ViewProjection(kMoscow.latitude),
              ViewProjection(kMoscow.latitude).project(kMoscow), kDefaultMetresPerPixel) {}

MapView::MapView(int width, int height, ViewProjection projection, WorldPoint centre,
                 double metresPerPixel)
    : width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      projection_(projection),
      centre_(centre),
      metresPerPixel_(ClampScale(metresPerPixel)) {
  clampCentre();
}

PixelPoint MapView::worldToPixel(WorldPoint w) const {
  return {width_ / 2.0 + (w.x - centre_.x) / metresPerPixel_,
          height_ / 2.0 - (w.y - centre_.y) / metresPerPixel_};
}

WorldPoint MapView::pixelToWorld(PixelPoint p) const {
  return {centre_.x + (p.x - width_ / 2.0) * metresPerPixel_,
          centre_.y - (p.y - height_ / 2.0) * metresPerPixel_};
}

PixelTransform MapView::pixelTransform() const {
  PixelTransform t;
  t.kx = projection_.metresPerDegreeLongitude() / metresPerPixel_;
  t.x0 = width_ / 2.0 - centre_.x / metresPerPixel_;
  t.ky = -projection_.metresPerDegreeLatitude() / metresPerPixel_;
  t.y0 = height_ / 2.0 + centre_.y / metresPerPixel_;
  return t;
}

GeoBounds MapView::visibleBounds() const {
  const GeoPoint topLeft = toGeo({0, 0});
  const GeoPoint bottomRight = toGeo({static_cast<double>(width_), static_cast<double>(height_)});
  return {std::max(bottomRight.latitude, -kMaxLatitude), topLeft.longitude,
          std::min(topLeft.latitude, kMaxLatitude), bottomRight.longitude};
}

void MapView::resize(int width, int height) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
}

void MapView::setDatumShift(DatumShiftKey datumShift) {
  projection_ = ViewProjection(projection_.standardParallel(), datumShift);
}

void MapView::panByPixels(double dx, double dy) {
  centre_.x -= dx * metresPerPixel_;
  centre_.y += dy * metresPerPixel_;
  clampCentre();
}

void MapView::zoomAbout(PixelPoint pixel, double factor) {
  if (!(factor > 0) || !std::isfinite(factor)) return;
  const WorldPoint fixed = pixelToWorld(pixel);
  metresPerPixel_ = ClampScale(metresPerPixel_ / factor);
  // The centre that puts `fixed` back under `pixel` at the new scale.
  centre_.x = fixed.x - (pixel.x - width_ / 2.0) * metresPerPixel_;
  centre_.y = fixed.y + (pixel.y - height_ / 2.0) * metresPerPixel_;
  clampCentre();
}

void MapView::centreOn(GeoPoint p) {
  centre_ = projection_.project(p);
  clampCentre();
}

bool MapView::fitTo(std::span<const MapPoint> points, double marginPixels) {
  constexpr double kInf = std::numeric_limits<double>::infinity();
  GeoBounds box{kInf, kInf, -kInf, -kInf};
  bool any = false;
  for (const MapPoint& p : points) {
    if (!p.located()) continue;
    any = true;
    box.south = std::min(box.south, p.latitude);
    box.north = std::max(box.north, p.latitude);
    box.west = std::min(box.west, p.longitude);
    box.east = std::max(box.east, p.longitude);
  }
  if (!any) return false;
  projection_ = ViewProjection((box.south + box.north) / 2, projection_.datumShift());
  const WorldPoint sw = projection_.project({box.south, box.west});
  const WorldPoint ne = projection_.project({box.north, box.east});
  centre_ = {(sw.x + ne.x) / 2, (sw.y + ne.y) / 2};
  const double margin = std::max(marginPixels, 0.0);
  const double usableWidth = std::max(width_ - 2 * margin, 1.0);
  const double usableHeight = std::max(height_ - 2 * margin, 1.0);
  const double minimum = kMinFittedSpanMetres / std::min(width_, height_);
  metresPerPixel_ =
      ClampScale(std::max({(ne.x - sw.x) / usableWidth, (ne.y - sw.y) / usableHeight, minimum}));
  clampCentre();
  return true;
}

void MapView::clampCentre() {
  // The centre stays within the world: latitudes ±90°, longitudes ±180°.
  const double maxX = kMaxLongitude * projection_.metresPerDegreeLongitude();
  const double maxY = kMaxLatitude * projection_.metresPerDegreeLatitude();
  centre_.x = std::isfinite(centre_.x) ? std::clamp(centre_.x, -maxX, maxX) : 0.0;
  centre_.y = std::isfinite(centre_.y) ? std::clamp(centre_.y, -maxY, maxY) : 0.0;
}

}  // namespace korvagrid
