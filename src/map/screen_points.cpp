#include "map/screen_points.h"

#include <algorithm>
#include <cmath>

namespace korvagrid {
namespace {

// Rows of pixels in one band of the drawing order.
constexpr std::size_t kBandRows = 16;
// Points within one cell of this many pixels square share one marker: a
// marker 9 pixels across hides the others there anyway.
constexpr std::size_t kShareCellPixels = 2;

// One bit per cell of kShareCellPixels × kShareCellPixels pixels of the
// picture and its margin: 50 KB for 1600 × 1000, which stays in the
// processor's cache while points land all over it.
class CellFlags {
 public:
  CellFlags(int width, int height, int margin)
      : margin_(margin),
        columns_(Cells(width + 2 * margin)),
        bits_((columns_ * Cells(height + 2 * margin) + 63) / 64, 0) {}

  // True the first time a cell is asked for, false after; the position must
  // lie within the picture and its margin.
  bool takeFirst(double x, double y) {
    const auto column =
        static_cast<std::size_t>(static_cast<int>(std::floor(x)) + margin_) / kShareCellPixels;
    const auto row =
        static_cast<std::size_t>(static_cast<int>(std::floor(y)) + margin_) / kShareCellPixels;
    const std::size_t cell = row * columns_ + column;
    std::uint64_t& word = bits_[cell / 64];
    const std::uint64_t bit = std::uint64_t{1} << (cell % 64);
    if ((word & bit) != 0) return false;
    word |= bit;
    return true;
  }

 private:
  // Cells that hold `pixels` pixels from the edge.
  static std::size_t Cells(int pixels) {
    return (static_cast<std::size_t>(pixels) + kShareCellPixels - 1) / kShareCellPixels;
  }

  int margin_;
  std::size_t columns_;
  std::vector<std::uint64_t> bits_;
};

}  // namespace

PackedPositions::PackedPositions(std::span<const MapPoint> points) {
  positions.reserve(points.size());
  warnings.reserve(points.size());
  for (const MapPoint& p : points) {
    positions.push_back({p.latitude, p.longitude});
    warnings.push_back(p.warning() ? 1 : 0);
  }
}

std::vector<ScreenPoint> CullPoints(std::span<const MapPoint> points, const MapView& view,
                                    double marginPixels) {
  return CullPoints(PackedPositions(points), view, marginPixels);
}

std::vector<ScreenPoint> CullPoints(const PackedPositions& points, const MapView& view,
                                    double marginPixels) {
  const int margin = static_cast<int>(std::ceil(std::max(marginPixels, 0.0)));
  const double left = -margin;
  const double top = -margin;
  const double right = view.width() + margin;
  const double bottom = view.height() + margin;
  const PixelTransform toPixel = view.pixelTransform();
  // One pass over the points; ordinary points and warnings each share
  // pixels only among themselves.
  std::vector<ScreenPoint> groups[2];
  CellFlags flags[2] = {CellFlags(view.width(), view.height(), margin),
                        CellFlags(view.width(), view.height(), margin)};
  for (std::size_t i = 0; i < points.positions.size(); ++i) {
    const PixelPoint px = toPixel(points.positions[i]);
    // NaN positions fail these comparisons too.
    if (!(px.x >= left && px.x < right && px.y >= top && px.y < bottom)) continue;
    const bool warning = points.warnings[i] != 0;
    if (!flags[warning].takeFirst(px.x, px.y)) continue;
    groups[warning].push_back({static_cast<std::uint32_t>(i), static_cast<float>(px.x),
                               static_cast<float>(px.y), warning});
  }
  // Each group in bands of rows from the top, left to right within a band,
  // so that drawing walks the picture's memory in small steps: two counting
  // sorts, by column and then (stable) by band.
  const auto columns = static_cast<std::size_t>(view.width() + 2 * margin);
  const auto bands = static_cast<std::size_t>(view.height() + 2 * margin) / kBandRows + 1;
  const auto columnOf = [margin](const ScreenPoint& s) {
    return static_cast<std::size_t>(static_cast<int>(std::floor(s.x)) + margin);
  };
  const auto bandOf = [margin](const ScreenPoint& s) {
    return static_cast<std::size_t>(static_cast<int>(std::floor(s.y)) + margin) / kBandRows;
  };
  const auto countingSort = [](const std::vector<ScreenPoint>& from, std::vector<ScreenPoint>& to,
                               std::size_t keys, auto keyOf) {
    std::vector<std::size_t> next(keys + 1, 0);
    for (const ScreenPoint& s : from) ++next[keyOf(s) + 1];
    for (std::size_t k = 0; k < keys; ++k) next[k + 1] += next[k];
    to.resize(from.size());
    for (const ScreenPoint& s : from) to[next[keyOf(s)]++] = s;
  };
  std::vector<ScreenPoint> shown;
  shown.reserve(groups[0].size() + groups[1].size());
  std::vector<ScreenPoint> byColumn;
  std::vector<ScreenPoint> byBand;
  for (const std::vector<ScreenPoint>& group : groups) {
    countingSort(group, byColumn, columns, columnOf);
    countingSort(byColumn, byBand, bands, bandOf);
    shown.insert(shown.end(), byBand.begin(), byBand.end());
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
