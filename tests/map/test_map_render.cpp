// The picture of the map, checked by pixels where the geometry is known:
// markers on the pixels of their points, sheet corners on the crossings of
// the frames, the same geometry whether drawn through QPainter or written
// into an image.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <vector>

#include "map_renderer.h"
#include "map_style.h"
#include "map_test_support.h"

namespace korvagrid::map {
namespace {

using korvagrid::testing::CentroidOfColour;
using korvagrid::testing::SameRgb;
using korvagrid::testing::ViewOn;

constexpr double kOnePixel = 1.0;

MapPoint Point(GeoPoint p, std::int64_t line, MapPointStatus status = MapPointStatus::Ok) {
  MapPoint point;
  point.latitude = p.latitude;
  point.longitude = p.longitude;
  point.line = line;
  point.status = status;
  return point;
}

// Both ways of drawing: written into an image, and through a painter.
std::vector<QImage> BothPictures(const MapRenderer& renderer, const MapView& view) {
  QImage written;
  renderer.renderImage(written, view);
  QImage painted(view.width(), view.height(), QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&painted);
  renderer.render(painter, view);
  painter.end();
  return {written, painted};
}

struct MarkerCase {
  const char* why;
  GeoPoint point;
  GeoPoint centre;
  double metresPerPixel;
};

class MarkerPixel : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(MarkerPixel, IsAtTheComputedPixelToOnePixel) {
  const MarkerCase& c = GetParam();
  MapRenderer renderer;
  renderer.setPoints({Point(c.point, 1)});
  const MapView view = ViewOn(c.centre, c.metresPerPixel);
  const PixelPoint expected = view.toPixel(c.point);
  for (const QImage& picture : BothPictures(renderer, view)) {
    const std::optional<PixelPoint> marker = CentroidOfColour(picture, kPointColour);
    ASSERT_TRUE(marker) << c.why;
    EXPECT_NEAR(marker->x, expected.x, kOnePixel) << c.why;
    EXPECT_NEAR(marker->y, expected.y, kOnePixel) << c.why;
  }
}

// The same point at two zooms, and a point half off the picture's edge.
INSTANTIATE_TEST_SUITE_P(
    Table, MarkerPixel,
    ::testing::Values(
        MarkerCase{"1:100 000 zoom, north-east of the centre",
                   {55.7533967, 37.6176227},
                   {55.70, 37.50},
                   40},
        MarkerCase{"close zoom, 2 m per pixel", {55.7533967, 37.6176227}, {55.7530, 37.6150}, 2},
        MarkerCase{"whole region zoom", {55.7533967, 37.6176227}, {56.5, 35.0}, 900}));

struct CornerCase {
  const char* why;
  GeoPoint corner;
  GridLineKind frame;  // the frame drawn on top at that corner
};

class SheetCorner : public ::testing::TestWithParam<CornerCase> {};

// A point on a sheet corner: the frame lines run through its pixel both ways,
// outside its marker, in the colour of the coarsest level meeting there.
TEST_P(SheetCorner, LiesOnTheCrossingOfTheDrawnFrames) {
  const CornerCase& c = GetParam();
  MapRenderer renderer;
  renderer.setPoints({Point(c.corner, 1)});
  // The corner off the centre, so that nothing depends on the centre pixel.
  const MapView view = ViewOn({c.corner.latitude - 0.05, c.corner.longitude - 0.08}, 60);
  const PixelPoint at = view.toPixel(c.corner);
  const QColor colour = GridLineStyle(c.frame).colour;
  for (const QImage& picture : BothPictures(renderer, view)) {
    // Some pixel within one of (x, y) has the frame's colour.
    const auto frameNear = [&](double x, double y) {
      for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
          const QPoint p(static_cast<int>(std::floor(x)) + dx,
                         static_cast<int>(std::floor(y)) + dy);
          if (picture.rect().contains(p) && SameRgb(picture.pixel(p), colour)) return true;
        }
      }
      return false;
    };
    for (const double d : {10.0, 20.0, 40.0}) {
      EXPECT_TRUE(frameNear(at.x - d, at.y)) << c.why << " west " << d;
      EXPECT_TRUE(frameNear(at.x + d, at.y)) << c.why << " east " << d;
      EXPECT_TRUE(frameNear(at.x, at.y - d)) << c.why << " north " << d;
      EXPECT_TRUE(frameNear(at.x, at.y + d)) << c.why << " south " << d;
    }
    // And not off the crossing: 3 px beside a line there is no frame colour.
    EXPECT_FALSE(frameNear(at.x - 20, at.y + 4)) << c.why;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SheetCorner,
    ::testing::Values(
        CornerCase{"1:1 000 000 corner N-37/O-37/N-36/O-36", {56.0, 36.0}, GridLineKind::Sheet1M},
        CornerCase{
            "1:200 000 corner inside N-37", {55.0 + 20.0 / 60, 38.0}, GridLineKind::Sheet200k},
        CornerCase{"1:100 000 corner only", {55.0 + 40.0 / 60, 37.5}, GridLineKind::Sheet100k}));

TEST(Markers, WarningsAreDrawnOverOrdinaryPointsInTheWarningColour) {
  MapRenderer renderer;
  const GeoPoint p{55.75, 37.62};
  renderer.setPoints({Point(p, 1, MapPointStatus::OutsideZone), Point(p, 2)});
  const MapView view = ViewOn({55.74, 37.60}, 20);
  const PixelPoint expected = view.toPixel(p);
  for (const QImage& picture : BothPictures(renderer, view)) {
    const std::optional<PixelPoint> warning = CentroidOfColour(picture, kWarningColour);
    ASSERT_TRUE(warning);
    EXPECT_NEAR(warning->x, expected.x, kOnePixel);
    EXPECT_NEAR(warning->y, expected.y, kOnePixel);
    // The ordinary marker under it is covered: its fill colour shows at most
    // in the corners the diamond leaves.
    const QRgb centre = picture.pixel(static_cast<int>(expected.x), static_cast<int>(expected.y));
    EXPECT_TRUE(SameRgb(centre, kWarningColour));
  }
}

TEST(Markers, TheHighlightedPointGetsARing) {
  MapRenderer renderer;
  const GeoPoint p{55.75, 37.62};
  renderer.setPoints({Point(p, 7)});
  const MapView view = ViewOn({55.74, 37.60}, 20);
  QImage plain;
  renderer.renderImage(plain, view);
  EXPECT_FALSE(CentroidOfColour(plain, kHighlightColour));
  renderer.setHighlighted(0);
  QImage ringed;
  renderer.renderImage(ringed, view);
  const std::optional<PixelPoint> ring = CentroidOfColour(ringed, kHighlightColour);
  ASSERT_TRUE(ring);
  const PixelPoint expected = view.toPixel(p);
  EXPECT_NEAR(ring->x, expected.x, kOnePixel);
  EXPECT_NEAR(ring->y, expected.y, kOnePixel);
}

}  // namespace
}  // namespace korvagrid::map
