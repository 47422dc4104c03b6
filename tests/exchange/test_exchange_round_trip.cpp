// Every format written by PointFileWriter read back twice: with the OGR API
// directly (the peer: GDAL's own reading of each format, independent of our
// reader) and with ReadPointFile. Coordinates agree to 1e-9° or 1 mm, heights
// to 1 mm, names byte for byte; an unnamed point carries its line number.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "definitions/proj_definition.h"
#include "exchange/crs_description.h"
#include "exchange/point_file_reader.h"
#include "exchange/point_file_writer.h"
#include "support/temp_dir.h"

namespace korvagrid {
namespace {

// The datum shift of the local systems' definitions in these tests.
const std::string kClassicTowgs84 = ProjTowgs84(DatumShiftSetOf(DatumShiftKey::Classic));

namespace fs = std::filesystem;
using enum ExchangeFormat;

constexpr double kDegreeTolerance = 1e-9;  // degrees, about 0.1 mm on the ground
constexpr double kMetreTolerance = 0.001;  // metres

// 120 Cyrillic letters, 240 bytes: longer than a Shapefile's default text field.
std::string LongCyrillicName() {
  std::string name;
  for (int i = 0; i < 120; ++i) name += "ж";
  return name;
}

// Names that break naive writers: Cyrillic, separators of CSV and of the
// line reader, quotes, XML and JSON specials, repeated spaces, no name, and
// one longer than a Shapefile's default text field (80 bytes) except for DXF,
// whose labels do not carry it (see ExchangeDxf).
std::vector<ExchangePoint> Points(bool geographic, ExchangeFormat format) {
  const double a = geographic ? 55.123456789012 : 6012345.6789;
  const double b = geographic ? 37.987654321098 : 6512345.4321;
  const double step = geographic ? 0.001 : 10.0;
  const std::vector<std::string> names = {
      "Пункт 1", "A, \"b\" 'c'", "",
      "Ёлка;№5", "x  y <&> \\",  format == Dxf ? "P6" : LongCyrillicName(),
      "P7"};
  std::vector<ExchangePoint> points;
  for (std::size_t i = 0; i < names.size(); ++i) {
    ExchangePoint p;
    p.name = names[i];
    p.first = a + step * static_cast<double>(i);
    p.second = b - step * static_cast<double>(i);
    if (i % 3 != 1) p.height = 152.345 - 100.5 * static_cast<double>(i);  // every third has none
    p.line = static_cast<std::int64_t>(i) + 1;
    points.push_back(p);
  }
  if (geographic) {  // south and west of Greenwich and the equator
    points.back().first = -33.456789012345;
    points.back().second = -70.654321098765;
  }
  return points;
}

std::string ExpectedName(const ExchangePoint& p) {
  return p.name.empty() ? std::to_string(p.line) : p.name;
}

// --------------------------------------------------------- the OGR peer

struct PeerPoint {
  std::string name;
  double x = 0, y = 0;  // as the file holds them: easting/longitude, northing/latitude
  std::optional<double> height;
};

std::optional<double> OptionalField(const OGRFeature& f, const char* field) {
  const int index = f.GetFieldIndex(field);
  if (index < 0 || !f.IsFieldSetAndNotNull(index)) return std::nullopt;
  return f.GetFieldAsDouble(index);
}

// Reads the points of a written file with the OGR API and the layout each
// format has (field names, height in a field or as Z, CSV columns, DXF labels).
std::vector<PeerPoint> ReadWithOgr(const fs::path& file, ExchangeFormat format,
                                   const CrsDescription& crs) {
  GDALAllRegister();
  GDALDatasetUniquePtr ds(GDALDataset::Open(file.c_str(), GDAL_OF_VECTOR));
  if (!ds) return {};
  std::vector<PeerPoint> points;
  OGRLayer* layer = format == Gpx ? ds->GetLayerByName("waypoints") : ds->GetLayer(0);
  std::map<std::pair<double, double>, std::string> dxfNames;
  for (const OGRFeatureUniquePtr& f : *layer) {
    PeerPoint p;
    if (format == Csv) {
      p.name = f->GetFieldAsString("Name");
      p.y = f->GetFieldAsDouble(crs.firstAxisName.c_str());
      p.x = f->GetFieldAsDouble(crs.secondAxisName.c_str());
      if (*f->GetFieldAsString("H") != '\0') p.height = f->GetFieldAsDouble("H");
      points.push_back(p);
      continue;
    }
    const OGRPoint* g = f->GetGeometryRef()->toPoint();
    p.x = g->getX();
    p.y = g->getY();
    if (format == Dxf) {
      const std::string layerName = f->GetFieldAsString("Layer");
      if (layerName == "NAMES") dxfNames[{p.x, p.y}] = f->GetFieldAsString("Text");
      if (layerName != "POINTS") continue;
    }
    if (format == Gpx) {
      p.name = f->GetFieldAsString("name");
      p.height = OptionalField(*f, "ele");
    } else if (format == GeoPackage || format == Shapefile) {
      p.name = f->GetFieldAsString("name");
      p.height = OptionalField(*f, "height");
    } else if (format == Kml || format == GeoJson) {
      p.name = f->GetFieldAsString(format == Kml ? "Name" : "name");
      if (g->Is3D()) p.height = g->getZ();
    } else if (format == Dxf && g->Is3D()) {
      p.height = g->getZ();
    }
    points.push_back(p);
  }
  for (PeerPoint& p : points) {
    if (format == Dxf) p.name = dxfNames[{p.x, p.y}];
  }
  return points;
}

// ------------------------------------------------------------ the table

struct RoundTripCase {
  ExchangeFormat format;
  CrsDescription crs;
  const char* why;
};

std::string CaseName(const ::testing::TestParamInfo<RoundTripCase>& info) {
  return std::string(InfoOf(info.param.format).name) + "_" + std::to_string(info.index);
}

const CrsDescription kLocal =
    LocalTransverseMercatorCrs("  47(2)", 111420, 250000, 11057.63, kClassicTowgs84);

const RoundTripCase kCases[] = {
    {Gpx, Wgs84Crs(), "waypoints with name and ele"},
    {Kml, Wgs84Crs(), "placemarks, height as the third coordinate"},
    {GeoJson, Wgs84Crs(), "RFC 7946, coordinates beyond its 7 default decimals"},
    {Csv, Wgs84Crs(), "Lat, Long columns"},
    {Csv, GaussKrugerZoneCrs("42(zone6)", 6), "X, Y columns: X is the northing"},
    {GeoPackage, GaussKrugerZoneCrs("42(zone6)", 6), "an EPSG zone"},
    {GeoPackage, kLocal, "a local system given by its PROJ definition"},
    {GeoPackage, KrasovskyGeographicCrs("BLH(Kras)"), "Krasovsky latitude/longitude"},
    {Shapefile, GaussKrugerZoneCrs("42(zone6)", 6), "an EPSG zone"},
    {Shapefile, kLocal, "a local system: its .prj has no datum shift"},
    {Shapefile, Wgs84Crs(), "geographic Shapefile"},
    {Dxf, GaussKrugerZoneCrs("42(zone7)", 7), "drawing: POINTs with labels"},
    {Dxf, kLocal, "drawing of a local system"},
};

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {
 protected:
  fs::path Write(const std::vector<ExchangePoint>& points) {
    const RoundTripCase& c = GetParam();
    const fs::path file = dir_ / ("points" + std::string(InfoOf(c.format).extension));
    PointFileWriter writer(file, c.format, c.crs);
    for (const ExchangePoint& p : points) writer.add(p);
    writer.finish();
    EXPECT_EQ(writer.pointsWritten(), static_cast<std::int64_t>(points.size()));
    return file;
  }

  testing::TempDir dir_;
};

TEST_P(RoundTrip, OgrReadsTheSamePoints) {
  const RoundTripCase& c = GetParam();
  const std::vector<ExchangePoint> points = Points(c.crs.geographic, c.format);
  const fs::path file = Write(points);
  const std::vector<PeerPoint> back = ReadWithOgr(file, c.format, c.crs);
  ASSERT_EQ(back.size(), points.size()) << c.why;
  const double tolerance = c.crs.geographic ? kDegreeTolerance : kMetreTolerance;
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(back[i].name, ExpectedName(points[i])) << c.why << ", point " << i;
    EXPECT_NEAR(back[i].y, points[i].first, tolerance) << c.why << ", point " << i;
    EXPECT_NEAR(back[i].x, points[i].second, tolerance) << c.why << ", point " << i;
    ASSERT_EQ(back[i].height.has_value(), points[i].height.has_value()) << c.why << ", point " << i;
    if (points[i].height) {
      EXPECT_NEAR(*back[i].height, *points[i].height, kMetreTolerance) << c.why;
    }
  }
}

TEST_P(RoundTrip, ReadPointFileReadsTheSamePointsInTheSameSystem) {
  const RoundTripCase& c = GetParam();
  const std::vector<ExchangePoint> points = Points(c.crs.geographic, c.format);
  const PointFileContent back = ReadPointFile(Write(points), c.format);
  EXPECT_TRUE(back.messages.empty()) << c.why << ": " << back.messages.front();
  EXPECT_EQ(back.geographic, c.crs.geographic) << c.why;
  EXPECT_EQ(SourceMismatch(back, c.crs), std::nullopt) << c.why;
  if (back.crs) {
    EXPECT_TRUE(CrsMatches(*back.crs, c.crs)) << c.why << ": " << back.crs->label();
  }
  ASSERT_EQ(back.points.size(), points.size()) << c.why;
  const double tolerance = c.crs.geographic ? kDegreeTolerance : kMetreTolerance;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const ExchangePoint& p = back.points[i];
    EXPECT_EQ(p.name, ExpectedName(points[i])) << c.why << ", point " << i;
    EXPECT_NEAR(p.first, points[i].first, tolerance) << c.why << ", point " << i;
    EXPECT_NEAR(p.second, points[i].second, tolerance) << c.why << ", point " << i;
    ASSERT_EQ(p.height.has_value(), points[i].height.has_value()) << c.why << ", point " << i;
    if (p.height) {
      EXPECT_NEAR(*p.height, *points[i].height, kMetreTolerance) << c.why;
    }
    EXPECT_EQ(p.line, static_cast<std::int64_t>(i) + 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip, ::testing::ValuesIn(kCases), CaseName);

}  // namespace
}  // namespace korvagrid
