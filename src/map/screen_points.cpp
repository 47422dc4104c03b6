#include "map/screen_points.h"

#include <cmath>

namespace korvagrid {
namespace {

// One flag per pixel of the picture and its margin.
class PixelFlags {
 public:
  PixelFlags(int width, int height, int margin)
      : margin_(margin),
        width_(width + 2 * margin),
        height_(height + 2 * margin),
        flags_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

  // True the first time a pixel is asked for, false after; the position must
  // lie within the picture and its margin.
  bool takeFirst(double x, double y) {
    const auto column = static_cast<std::size_t>(static_cast<int>(std::floor(x)) + margin_);
    const auto row = static_cast<std::size_t>(static_cast<int>(std::floor(y)) + margin_);
    std::uint8_t& flag = flags_[row * static_cast<std::size_t>(width_) + column];
    if (flag != 0) return false;
    flag = 1;
    return true;
  }

 private:
  int margin_;
  int width_;
  int height_;
  std::vector<std::uint8_t> flags_;
};

}  // namespace

std::vector<ScreenPoint> CullPoints(std::span<const MapPoint> points, const MapView& view,
                                    double marginPixels) {
  const int margin = static_cast<int>(std::ceil(std::max(marginPixels, 0.0)));
  const double left = -margin;
  const double top = -margin;
  const double right = view.width() + margin;
  const double bottom = view.height() + margin;
  const PixelTransform toPixel = view.pixelTransform();
  std::vector<ScreenPoint> shown;
  for (const bool warnings : {false, true}) {
    PixelFlags flags(view.width(), view.height(), margin);
    for (std::size_t i = 0; i < points.size(); ++i) {
      const MapPoint& p = points[i];
      if (p.warning() != warnings) continue;
      const PixelPoint px = toPixel({p.latitude, p.longitude});
      // NaN positions fail these comparisons too.
      if (!(px.x >= left && px.x < right && px.y >= top && px.y < bottom)) continue;
      if (!flags.takeFirst(px.x, px.y)) continue;
      shown.push_back(
          {static_cast<std::uint32_t>(i), static_cast<float>(px.x), static_cast<float>(px.y)});
    }
  }
  return shown;
}

std::optional<std::size_t> PointNear(std::span<const MapPoint> points, const MapView& view,
                                     PixelPoint pixel, double radiusPixels) {
  const PixelTransform toPixel = view.pixelTransform();
  std::optional<std::size_t> best;
  double bestDistance2 = radiusPixels * radiusPixels;
  bool bestWarning = false;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const MapPoint& p = points[i];
    if (!p.located()) continue;
    const PixelPoint px = toPixel({p.latitude, p.longitude});
    const double dx = px.x - pixel.x;
    const double dy = px.y - pixel.y;
    const double distance2 = dx * dx + dy * dy;
    if (distance2 > bestDistance2) continue;
    const bool onTop = distance2 < bestDistance2 || !best || (p.warning() && !bestWarning);
    if (!onTop) continue;
    best = i;
    bestDistance2 = distance2;
    bestWarning = p.warning();
  }
  return best;
}

}  // namespace korvagrid
