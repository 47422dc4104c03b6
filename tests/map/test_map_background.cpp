// Backgrounds read with GDAL: the view's PROJ definition is the projection
// the view computes, its datum shift is the system's own, and a raster or a
// vector feature in WGS-84 is drawn where the view puts the same place.
#include <gtest/gtest.h>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "common/error.h"
#include "gdal_support.h"
#include "geodesy/constants.h"
#include "geodesy/datum_shift.h"
#include "map_background.h"
#include "map_renderer.h"
#include "map_test_support.h"
#include "support/temp_dir.h"

namespace korvagrid::map {
namespace {

using korvagrid::testing::CentroidOfDifference;
using korvagrid::testing::TempDir;
using korvagrid::testing::ViewOn;

constexpr double kMillimetre = 1e-3;       // metres
constexpr double kArcSecond = 1.0 / 3600;  // degrees
constexpr double kPlacement = 1.5;         // pixels: the centroid of a warped block

TEST(ViewProjectionInProj, IsTheProjectionTheViewComputes) {
  RegisterGdalOnce();
  for (const double parallel : {55.9, 43.0}) {
    const ViewProjection projection(parallel);
    const OGRSpatialReference from = KrasovskyGeographic();
    const OGRSpatialReference to = ViewReference(projection);
    TransformationPtr transform(OGRCreateCoordinateTransformation(&from, &to));
    ASSERT_TRUE(transform);
    for (const GeoPoint p : {GeoPoint{55.75, 37.62}, GeoPoint{41.2, 30.5}, GeoPoint{70.1, 160.9}}) {
      double x = p.longitude, y = p.latitude;
      ASSERT_TRUE(transform->Transform(1, &x, &y));
      const WorldPoint expected = projection.project(p);
      EXPECT_NEAR(x, expected.x, kMillimetre) << parallel;
      EXPECT_NEAR(y, expected.y, kMillimetre) << parallel;
    }
  }
}

// The system's shift of a WGS-84 point to SK-42, decimal degrees.
GeoPoint ToKrasovsky(GeoPoint wgs84) {
  const GeodeticPoint sk42 = DatumShiftOf(kDefaultDatumShift)
                                .Reverse({wgs84.latitude / kDegreesPerRadian, wgs84.longitude / kDegreesPerRadian, 0});
  return {sk42.b * kDegreesPerRadian, sk42.l * kDegreesPerRadian};
}

TEST(ViewProjectionInProj, ShiftsWgs84AsTheSystemDoes) {
  // A sign flipped in +towgs84 would move Moscow by some 10 m (0.4").
  RegisterGdalOnce();
  OGRSpatialReference wgs84;
  wgs84.SetWellKnownGeogCS("WGS84");
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const OGRSpatialReference krasovsky = KrasovskyGeographic();
  TransformationPtr transform(OGRCreateCoordinateTransformation(&wgs84, &krasovsky));
  ASSERT_TRUE(transform);
  for (const GeoPoint p : {GeoPoint{55.75, 37.62}, GeoPoint{44.6, 33.5}, GeoPoint{62.0, 129.7}}) {
    double x = p.longitude, y = p.latitude, z = 0;
    ASSERT_TRUE(transform->Transform(1, &x, &y, &z));
    const GeoPoint ours = ToKrasovsky(p);
    EXPECT_NEAR(y, ours.latitude, 0.001 * kArcSecond) << p.latitude;
    EXPECT_NEAR(x, ours.longitude, 0.001 * kArcSecond) << p.longitude;
  }
}

// A 200 × 200 WGS-84 GeoTIFF over 37.50°–37.70° E, 55.65°–55.85° N: grey,
// with a red 4 × 4 block centred on the pixel corner at `block`.
void WriteRaster(const std::filesystem::path& path, GeoPoint block) {
  RegisterGdalOnce();
  constexpr int kSize = 200;
  constexpr double kWest = 37.5, kNorth = 55.85, kStep = 0.001;
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
  GDALDataset* dataset = driver->Create(path.string().c_str(), kSize, kSize, 3, GDT_Byte, nullptr);
  ASSERT_NE(dataset, nullptr);
  std::array<double, 6> geo{kWest, kStep, 0, kNorth, 0, -kStep};
  dataset->SetGeoTransform(geo.data());
  OGRSpatialReference wgs84;
  wgs84.SetWellKnownGeogCS("WGS84");
  dataset->SetSpatialRef(&wgs84);
  const int column = static_cast<int>(std::lround((block.longitude - kWest) / kStep));
  const int row = static_cast<int>(std::lround((kNorth - block.latitude) / kStep));
  for (int band = 1; band <= 3; ++band) {
    std::vector<GByte> pixels(kSize * kSize, 128);
    for (int y = row - 2; y < row + 2; ++y) {
      for (int x = column - 2; x < column + 2; ++x) pixels[y * kSize + x] = band == 1 ? 255 : 0;
    }
    ASSERT_EQ(dataset->GetRasterBand(band)->RasterIO(GF_Write, 0, 0, kSize, kSize, pixels.data(),
                                                     kSize, kSize, GDT_Byte, 0, 0),
              CE_None);
  }
  GDALClose(dataset);
}

// The middle of the red block's pixels in the map drawn with the raster
// (the middle of their extent, so that grid lines drawn over the block do
// not pull it aside).
std::optional<PixelPoint> RedBlockAt(const MapRenderer& renderer, const MapView& view) {
  QImage picture;
  renderer.renderImage(picture, view);
  int left = picture.width(), right = -1, top = picture.height(), bottom = -1;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb pixel = picture.pixel(x, y);
      if (qRed(pixel) < 200 || qGreen(pixel) > 60) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return std::nullopt;
  return PixelPoint{(left + right + 1) / 2.0, (top + bottom + 1) / 2.0};
}

struct RasterCase {
  const char* why;
  double metresPerPixel;
  PixelPoint pan;  // applied after a first drawing, which the second reuses
};

class RasterPlacement : public ::testing::TestWithParam<RasterCase> {};

TEST_P(RasterPlacement, PutsAWgs84PixelWhereTheViewPutsItsSk42Position) {
  const RasterCase& c = GetParam();
  TempDir dir;
  const GeoPoint block{55.751, 37.62};  // a pixel corner of the raster, WGS-84
  WriteRaster(dir / "scan.tif", block);
  MapRenderer renderer;
  renderer.setBackground(OpenMapBackground(dir / "scan.tif"));
  // The block in the lower right quarter, clear of the sheet name in the
  // middle and the values along the edges.
  MapView view = ViewOn(block, c.metresPerPixel);
  view.panByPixels(160, 60);
  ASSERT_TRUE(RedBlockAt(renderer, view));
  view.panByPixels(c.pan.x, c.pan.y);
  const std::optional<PixelPoint> drawn = RedBlockAt(renderer, view);
  ASSERT_TRUE(drawn) << c.why;
  // SK-42 and WGS-84 differ by about 120 m here: tens of pixels at these scales.
  const PixelPoint expected = view.toPixel(ToKrasovsky(block));
  EXPECT_NEAR(drawn->x, expected.x, kPlacement) << c.why;
  EXPECT_NEAR(drawn->y, expected.y, kPlacement) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RasterPlacement,
    ::testing::Values(RasterCase{"warped once", 4, {0, 0}},
                      RasterCase{"panned within the kept warp", 4, {37, -21}},
                      RasterCase{"panned beyond it: warped again", 4, {-300, -150}},
                      RasterCase{"raster pixels larger than the view's", 1.5, {0, 0}}));

TEST(VectorBackground, DrawsAWgs84FeatureWhereTheViewPutsIt) {
  RegisterGdalOnce();
  TempDir dir;
  const GeoPoint place{55.7505, 37.6205};
  {
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    GdalDatasetPtr dataset(
        driver->Create((dir / "places.gpkg").string().c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    ASSERT_TRUE(dataset);
    OGRSpatialReference wgs84;
    wgs84.SetWellKnownGeogCS("WGS84");
    OGRLayer* layer = dataset->CreateLayer("places", &wgs84, wkbPoint, nullptr);
    ASSERT_NE(layer, nullptr);
    OGRFeature feature(layer->GetLayerDefn());
    OGRPoint point(place.longitude, place.latitude);
    feature.SetGeometry(&point);
    ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
  }
  MapRenderer renderer;
  const MapView view = ViewOn({55.745, 37.61}, 4);
  QImage without;
  renderer.renderImage(without, view);
  renderer.setBackground(OpenMapBackground(dir / "places.gpkg"));
  QImage with;
  renderer.renderImage(with, view);
  const std::optional<PixelPoint> drawn = CentroidOfDifference(with, without);
  ASSERT_TRUE(drawn);
  const PixelPoint expected = view.toPixel(ToKrasovsky(place));
  EXPECT_NEAR(drawn->x, expected.x, kPlacement);
  EXPECT_NEAR(drawn->y, expected.y, kPlacement);
}

TEST(OpenMapBackground, RefusesWhatItCannotPlace) {
  TempDir dir;
  const auto text = dir.write("points.txt", "55.75 37.62\n");
  const auto plain = dir / "plain.tif";
  {
    RegisterGdalOnce();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
    GdalDatasetPtr dataset(driver->Create(plain.string().c_str(), 8, 8, 1, GDT_Byte, nullptr));
    ASSERT_TRUE(dataset);
  }
  for (const auto& [path, reason] : std::vector<std::pair<std::filesystem::path, std::string>>{
           {dir / "missing.tif", "missing.tif"},
           {text, "points.txt"},
           {plain, "нет системы координат"}}) {
    try {
      OpenMapBackground(path);
      ADD_FAILURE() << path << " opened";
    } catch (const KorvagridError& error) {
      EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace korvagrid::map
