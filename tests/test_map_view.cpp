// The map view's projection and view state: positions against PROJ, pixel
// round trips, panning, zooming about the cursor, fitting to points.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "map/map_view.h"
#include "map/view_projection.h"

namespace korvagrid {
namespace {

constexpr double kMillimetre = 1e-3;       // metres
constexpr double kDegreeTolerance = 1e-9;  // degrees, about 0.1 mm
constexpr double kPixelTolerance = 1e-6;   // pixels
const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct ProjectionCase {
  const char* why;
  double standardParallel, latitude, longitude;  // degrees
  double x, y;                                   // metres
};

class Projection : public ::testing::TestWithParam<ProjectionCase> {};

// Reference positions computed independently with PROJ's cs2cs from
// +proj=longlat +ellps=krass to +proj=eqc +lat_ts=φ0 +lat_0=0 +lon_0=0 +ellps=krass.
TEST_P(Projection, MatchesProjEqcToAMillimetre) {
  const ProjectionCase& c = GetParam();
  const ViewProjection projection(c.standardParallel);
  const WorldPoint w = projection.project({c.latitude, c.longitude});
  EXPECT_NEAR(w.x, c.x, kMillimetre) << c.why;
  EXPECT_NEAR(w.y, c.y, kMillimetre) << c.why;
  const GeoPoint back = projection.unproject(w);
  EXPECT_NEAR(back.latitude, c.latitude, kDegreeTolerance) << c.why;
  EXPECT_NEAR(back.longitude, c.longitude, kDegreeTolerance) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Projection,
    ::testing::Values(ProjectionCase{"Moscow region on its own parallel", 55, 55, 37,
                                     2362498.765694, 6122675.666188},
                      ProjectionCase{"far corner of the sheet grid", 60, 76, 180, 10018923.817398,
                                     8460424.556914},
                      ProjectionCase{"a standard parallel beyond 85° is held at 85°", 89, 56, 37,
                                     358984.995922, 6233997.041936},
                      ProjectionCase{"southern and western hemisphere, equator as parallel", 0,
                                     -33.5, -70.25, -7820326.646358, -3729266.087587}));

MapView OddView() {
  // An odd size puts the centre on half a pixel.
  return MapView(801, 599, ViewProjection(56), ViewProjection(56).project({56.1, 37.3}), 37.5);
}

TEST(MapView, PixelAndPositionRoundTrip) {
  const MapView view = OddView();
  for (const PixelPoint p : {PixelPoint{0, 0}, PixelPoint{400.5, 299.5}, PixelPoint{800.9, 598.1},
                             PixelPoint{-250, 1300}}) {
    const PixelPoint back = view.toPixel(view.toGeo(p));
    EXPECT_NEAR(back.x, p.x, kPixelTolerance);
    EXPECT_NEAR(back.y, p.y, kPixelTolerance);
    // The linear form used for many points gives the same pixel.
    const PixelPoint linear = view.pixelTransform()(view.toGeo(p));
    EXPECT_NEAR(linear.x, p.x, kPixelTolerance);
    EXPECT_NEAR(linear.y, p.y, kPixelTolerance);
  }
  // North is up, east is right.
  EXPECT_LT(view.toPixel({56.2, 37.3}).y, view.toPixel({56.1, 37.3}).y);
  EXPECT_GT(view.toPixel({56.1, 37.4}).x, view.toPixel({56.1, 37.3}).x);
  const GeoBounds bounds = view.visibleBounds();
  EXPECT_NEAR(view.toPixel({bounds.north, bounds.west}).x, 0, kPixelTolerance);
  EXPECT_NEAR(view.toPixel({bounds.south, bounds.east}).y, 599, kPixelTolerance);
}

struct ZoomCase {
  const char* why;
  PixelPoint cursor;
  double factor;
  double metresPerPixel;  // expected scale after the zoom
};

class ZoomAboutCursor : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(ZoomAboutCursor, KeepsThePositionUnderTheCursor) {
  const ZoomCase& c = GetParam();
  MapView view = OddView();
  const GeoPoint under = view.toGeo(c.cursor);
  view.zoomAbout(c.cursor, c.factor);
  EXPECT_DOUBLE_EQ(view.metresPerPixel(), c.metresPerPixel) << c.why;
  const PixelPoint after = view.toPixel(under);
  EXPECT_NEAR(after.x, c.cursor.x, kPixelTolerance) << c.why;
  EXPECT_NEAR(after.y, c.cursor.y, kPixelTolerance) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ZoomAboutCursor,
    ::testing::Values(ZoomCase{"in, about a corner", {0, 0}, 1.25, 30},
                      ZoomCase{"out, about a point off the centre", {700.25, 80.75}, 0.5, 75},
                      ZoomCase{"in beyond the limit stops at 0.25 m per pixel",
                               {123, 456},
                               1e6,
                               MapView::kMinMetresPerPixel},
                      ZoomCase{"out beyond the limit stops at 20 km per pixel",
                               {400, 300},
                               1e-6,
                               MapView::kMaxMetresPerPixel},
                      ZoomCase{
                          "a factor that is no number changes nothing", {10, 10}, kNaN, 37.5}));

TEST(MapView, PanMovesEveryPointByTheDrag) {
  MapView view = OddView();
  const GeoPoint p{56.05, 37.2};
  const PixelPoint before = view.toPixel(p);
  view.panByPixels(37.5, -12.25);
  const PixelPoint after = view.toPixel(p);
  EXPECT_NEAR(after.x - before.x, 37.5, kPixelTolerance);
  EXPECT_NEAR(after.y - before.y, -12.25, kPixelTolerance);
  // The projection stays, so a pan moves the picture rigidly.
  EXPECT_EQ(view.projection().standardParallel(), 56);
}

MapPoint At(double latitude, double longitude) {
  MapPoint p;
  p.latitude = latitude;
  p.longitude = longitude;
  return p;
}

struct FitCase {
  const char* why;
  std::vector<MapPoint> points;
  double standardParallel;
  double metresPerPixel;  // 0: the points' extent decides, checked by the margin
};

class Fit : public ::testing::TestWithParam<FitCase> {};

TEST_P(Fit, PutsEveryLocatedPointInsideTheMargin) {
  const FitCase& c = GetParam();
  constexpr double kMargin = 40;
  MapView view(1600, 1000, ViewProjection(0), {}, 100);
  ASSERT_TRUE(view.fitTo(c.points, kMargin)) << c.why;
  EXPECT_DOUBLE_EQ(view.projection().standardParallel(), c.standardParallel) << c.why;
  if (c.metresPerPixel > 0) {
    EXPECT_DOUBLE_EQ(view.metresPerPixel(), c.metresPerPixel) << c.why;
  }
  bool touchesMargin = false;
  for (const MapPoint& p : c.points) {
    if (!p.located()) continue;
    const PixelPoint px = view.toPixel({p.latitude, p.longitude});
    EXPECT_GE(px.x, kMargin - kPixelTolerance) << c.why;
    EXPECT_LE(px.x, 1600 - kMargin + kPixelTolerance) << c.why;
    EXPECT_GE(px.y, kMargin - kPixelTolerance) << c.why;
    EXPECT_LE(px.y, 1000 - kMargin + kPixelTolerance) << c.why;
    touchesMargin =
        touchesMargin || std::fabs(px.x - kMargin) < 1e-6 || std::fabs(px.y - kMargin) < 1e-6;
  }
  // A fit as tight as it can be has a point on the margin.
  if (c.metresPerPixel == 0) {
    EXPECT_TRUE(touchesMargin) << c.why;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Fit,
    ::testing::Values(FitCase{"wide spread east–west: the width decides",
                              {At(55.5, 33.0), At(56.5, 38.0)},
                              56.0,
                              0},
                      FitCase{"tall spread north–south: the height decides",
                              {At(50.0, 37.0), At(60.0, 37.5)},
                              55.0,
                              0},
                      FitCase{"points without a position are left out",
                              {At(kNaN, kNaN), At(55.5, 33.0), At(56.5, 38.0)},
                              56.0,
                              0},
                      FitCase{"a single point is shown with 5 km across the smaller side",
                              {At(55.75, 37.62)},
                              55.75,
                              MapView::kMinFittedSpanMetres / 1000}));

TEST(Fit, NothingLocatedLeavesTheViewAsItWas) {
  MapView view = OddView();
  const std::vector<MapPoint> none{MapPoint{}, At(kNaN, 37)};
  EXPECT_FALSE(view.fitTo(none, 40));
  EXPECT_EQ(view.metresPerPixel(), 37.5);
  EXPECT_EQ(view.projection().standardParallel(), 56);
}

}  // namespace
}  // namespace korvagrid
