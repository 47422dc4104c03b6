// Files written by GDAL itself (made here with the OGR API) read with
// ReadPointFile: Cyrillic names, points without height, MultiPoints, lines and
// polygons reported by number, a layer in another system, Windows-1251 names;
// then the refusals of files whose system is not the chosen source system.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <filesystem>
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

constexpr double kTolerance = 1e-9;  // degrees or metres: the values are copied, not computed

struct Feature {
  const char* name;  // nullptr: the field is not set
  const char* wkt;   // nullptr: no geometry
  std::optional<double> height;
};

// A file of `features` in one layer, made by GDAL's own driver.
void MakeWithOgr(const fs::path& file, const char* driverName, std::optional<int> epsg,
                 const std::vector<Feature>& features, const char* layerName = "points",
                 std::vector<const char*> layerOptions = {}) {
  GDALAllRegister();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
  ASSERT_NE(driver, nullptr) << driverName;
  GDALDatasetUniquePtr ds(GDALDataset::Open(file.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
  if (!ds) ds.reset(driver->Create(file.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  ASSERT_TRUE(ds) << file;
  OGRSpatialReference srs;
  if (epsg) {
    srs.importFromEPSG(*epsg);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  }
  layerOptions.push_back(nullptr);
  OGRLayer* layer = ds->CreateLayer(layerName, epsg ? &srs : nullptr, wkbUnknown,
                                    const_cast<char**>(layerOptions.data()));
  ASSERT_NE(layer, nullptr);
  OGRFieldDefn name("name", OFTString);
  OGRFieldDefn height("height", OFTReal);
  ASSERT_EQ(layer->CreateField(&name), OGRERR_NONE);
  ASSERT_EQ(layer->CreateField(&height), OGRERR_NONE);
  for (const Feature& f : features) {
    OGRFeature feature(layer->GetLayerDefn());
    if (f.name != nullptr) feature.SetField("name", f.name);
    if (f.height) feature.SetField("height", *f.height);
    if (f.wkt != nullptr) {
      OGRGeometry* geometry = nullptr;
      ASSERT_EQ(OGRGeometryFactory::createFromWkt(f.wkt, nullptr, &geometry), OGRERR_NONE) << f.wkt;
      feature.SetGeometryDirectly(geometry);
    }
    ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
  }
}

struct Expected {
  std::string name;
  double first, second;
  std::optional<double> height;
};

void ExpectPoints(const PointFileContent& content, const std::vector<Expected>& expected,
                  const char* why) {
  ASSERT_EQ(content.points.size(), expected.size()) << why;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ExchangePoint& p = content.points[i];
    EXPECT_EQ(p.name, expected[i].name) << why << ", point " << i;
    EXPECT_NEAR(p.first, expected[i].first, kTolerance) << why << ", point " << i;
    EXPECT_NEAR(p.second, expected[i].second, kTolerance) << why << ", point " << i;
    EXPECT_EQ(p.height.has_value(), expected[i].height.has_value()) << why << ", point " << i;
    if (p.height && expected[i].height) {
      EXPECT_NEAR(*p.height, *expected[i].height, kTolerance) << why;
    }
    EXPECT_EQ(p.line, static_cast<std::int64_t>(i) + 1) << why;
  }
}

// The features every geometry format gets: points with and without height
// (as Z and as a field), a MultiPoint, a line, a polygon, no geometry.
const std::vector<Feature> kMixed = {
    {"Пункт А", "POINT Z (37.5 55.25 152.5)", std::nullopt},
    {"Б без высоты", "POINT (37.75 55.125)", std::nullopt},
    {"Группа", "MULTIPOINT ((37.1 55.1),(37.2 55.2))", 10.5},
    {"Дорога", "LINESTRING (37 55,38 56)", std::nullopt},
    {"Поле", "POLYGON ((37 55,38 55,38 56,37 55))", std::nullopt},
    {"Пусто", nullptr, std::nullopt},
    {nullptr, "POINT (37.875 55.5)", std::nullopt},
};
const std::vector<Expected> kMixedPoints = {
    {"Пункт А", 55.25, 37.5, 152.5},
    {"Б без высоты", 55.125, 37.75, std::nullopt},
    {"Группа", 55.1, 37.1, 10.5},  // a MultiPoint's points carry its name and height field
    {"Группа", 55.2, 37.2, 10.5},
    {"", 55.5, 37.875, std::nullopt},  // no name: the input list names it by its line
};
const std::vector<std::string> kMixedMessages = {
    "объект 4: линия LINESTRING — не точка, пропущен",
    "объект 5: многоугольник POLYGON — не точка, пропущен",
    "объект 6: нет координат, пропущен",
};

TEST(ReadingGdalFiles, GeoJsonGeoPackageAndKmlWithEveryKindOfFeature) {
  testing::TempDir dir;
  for (const auto& [driver, file, format] :
       {std::tuple{"GeoJSON", "mixed.geojson", GeoJson},
        std::tuple{"GPKG", "mixed.gpkg", GeoPackage}, std::tuple{"KML", "mixed.kml", Kml}}) {
    MakeWithOgr(dir / file, driver, 4326, kMixed);
    const PointFileContent content = ReadPointFile(dir / file, format);
    ExpectPoints(content, kMixedPoints, driver);
    EXPECT_EQ(content.messages, kMixedMessages) << driver;
    ASSERT_TRUE(content.crs) << driver;
    EXPECT_EQ(content.crs->epsg, 4326) << driver;
    EXPECT_TRUE(content.geographic) << driver;
  }
}

TEST(ReadingGdalFiles, GpxWaypointsArePointsAndRoutesLines) {
  testing::TempDir dir;
  GDALAllRegister();
  {
    GDALDatasetUniquePtr ds(GetGDALDriverManager()->GetDriverByName("GPX")->Create(
        (dir / "trip.gpx").c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRSpatialReference wgs;
    wgs.importFromEPSG(4326);
    OGRLayer* waypoints = ds->CreateLayer("waypoints", &wgs, wkbPoint, nullptr);
    OGRFeature w(waypoints->GetLayerDefn());
    w.SetField("name", "Родник");
    w.SetField("ele", 210.25);
    w.SetGeometryDirectly(new OGRPoint(37.5, 55.25));
    ASSERT_EQ(waypoints->CreateFeature(&w), OGRERR_NONE);
    OGRLayer* routes = ds->CreateLayer("routes", &wgs, wkbLineString, nullptr);
    OGRFeature r(routes->GetLayerDefn());
    OGRLineString* line = new OGRLineString;
    line->addPoint(37, 55);
    line->addPoint(38, 56);
    r.SetGeometryDirectly(line);
    ASSERT_EQ(routes->CreateFeature(&r), OGRERR_NONE);
  }
  const PointFileContent gpx = ReadPointFile(dir / "trip.gpx", Gpx);
  ExpectPoints(gpx, {{"Родник", 55.25, 37.5, 210.25}}, "GPX");
  ASSERT_EQ(gpx.messages.size(), 1u);
  EXPECT_EQ(gpx.messages[0], "слой «routes», объект 1: линия LINESTRING — не точка, пропущен");
}

TEST(ReadingGdalFiles, AGeoPackageLayerInAnotherSystemIsSkipped) {
  testing::TempDir dir;
  const fs::path file = dir / "zones.gpkg";
  MakeWithOgr(file, "GPKG", 28406, {{"P6", "POINT (6512345.5 6012345.25)", 152.0}}, "zone6");
  MakeWithOgr(file, "GPKG", 28407, {{"P7", "POINT (7512345.5 6012345.25)", std::nullopt}}, "zone7");
  const PointFileContent content = ReadPointFile(file, GeoPackage);
  ExpectPoints(content, {{"P6", 6012345.25, 6512345.5, 152.0}}, "zone 6 layer");
  ASSERT_EQ(content.messages.size(), 1u);
  EXPECT_NE(content.messages[0].find("слой «zone7», в другой системе координат"), std::string::npos)
      << content.messages[0];
  EXPECT_NE(content.messages[0].find("EPSG:28407"), std::string::npos) << content.messages[0];
}

TEST(ReadingGdalFiles, ShapefileWithoutCodePageHasWindows1251Names) {
  testing::TempDir dir;
  // "Пункт" in Windows-1251, written as raw bytes with no .cpg.
  const char* cp1251 = "\xCF\xF3\xED\xEA\xF2";
  MakeWithOgr(dir / "old.shp", "ESRI Shapefile", 28406,
              {{cp1251, "POINT (6512345.5 6012345.25)", 1.5}}, "old", {"ENCODING=LDID/0"});
  ASSERT_FALSE(fs::exists(dir / "old.cpg"));
  ExpectPoints(ReadPointFile(dir / "old.shp", Shapefile), {{"Пункт", 6012345.25, 6512345.5, 1.5}},
               "cp1251");
}

TEST(ReadingGdalFiles, CsvWithSemicolonsDecimalCommasAndBadCells) {
  testing::TempDir dir;
  GDALAllRegister();
  {
    const char* options[] = {"SEPARATOR=SEMICOLON", nullptr};
    GDALDatasetUniquePtr ds(GetGDALDriverManager()->GetDriverByName("CSV")->Create(
        (dir / "list.csv").c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRLayer* layer = ds->CreateLayer("list", nullptr, wkbNone, const_cast<char**>(options));
    for (const char* column : {"Name", "Lat", "Long", "H"}) {
      OGRFieldDefn field(column, OFTString);
      ASSERT_EQ(layer->CreateField(&field), OGRERR_NONE);
    }
    const char* rows[][4] = {
        {"Пункт 1", "55,75", "37,625", "152,5"},  // decimal commas
        {"Без высоты", "55.5", "37.25", ""},
        {"Плохой", "55°30'", "37.25", "1"},  // not a decimal number
        {"Пустой", "", "37.25", "1"},
    };
    for (const auto& row : rows) {
      OGRFeature f(layer->GetLayerDefn());
      for (int i = 0; i < 4; ++i) f.SetField(i, row[i]);
      ASSERT_EQ(layer->CreateFeature(&f), OGRERR_NONE);
    }
  }
  const PointFileContent content = ReadPointFile(dir / "list.csv", Csv);
  ExpectPoints(content,
               {{"Пункт 1", 55.75, 37.625, 152.5}, {"Без высоты", 55.5, 37.25, std::nullopt}},
               "CSV");
  EXPECT_TRUE(content.geographic);
  EXPECT_FALSE(content.crs);
  EXPECT_EQ(content.messages,
            (std::vector<std::string>{"объект 3: «55°30'» в столбце Lat — не число, пропущен",
                                      "объект 4: нет значения в столбце Lat, пропущен"}));
}

TEST(ReadingGdalFiles, DxfPointsTakeTheirNamesFromLabelsAtThem) {
  testing::TempDir dir;
  GDALAllRegister();
  {
    GDALDatasetUniquePtr ds(GetGDALDriverManager()->GetDriverByName("DXF")->Create(
        (dir / "plan.dxf").c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRLayer* layer = ds->CreateLayer("entities", nullptr, wkbUnknown, nullptr);
    auto add = [&](const char* wkt, const char* layerName, const char* style) {
      OGRFeature f(layer->GetLayerDefn());
      f.SetField("Layer", layerName);
      if (style != nullptr) f.SetStyleString(style);
      OGRGeometry* g = nullptr;
      OGRGeometryFactory::createFromWkt(wkt, nullptr, &g);
      f.SetGeometryDirectly(g);
      ASSERT_EQ(layer->CreateFeature(&f), OGRERR_NONE);
    };
    add("POINT Z (512345.5 6012345.25 150.5)", "0", nullptr);
    add("POINT (512345.5 6012345.25)", "Подписи", "LABEL(f:\"Arial\",t:\"Репер 7\")");
    add("POINT (512345.5 6012345.25)", "HEIGHTS",
        "LABEL(f:\"Arial\",t:\"150.5\")");                                  // a height, not a name
    add("POINT (512400 6012400)", "0", nullptr);                            // unlabelled, 2D
    add("POINT (512500 6012500)", "0", "LABEL(f:\"Arial\",t:\"далеко\")");  // a label at no point
    add("LINESTRING (512345.5 6012345.25,512400 6012400)", "0", nullptr);
  }
  const PointFileContent content = ReadPointFile(dir / "plan.dxf", Dxf);
  ExpectPoints(content,
               {{"Репер 7", 6012345.25, 512345.5, 150.5}, {"", 6012400, 512400, std::nullopt}},
               "DXF");
  EXPECT_FALSE(content.geographic);
  ASSERT_EQ(content.messages.size(), 1u);
  EXPECT_NE(content.messages[0].find("объект 6: линия"), std::string::npos) << content.messages[0];
}

TEST(ReadingGdalFiles, ManySkippedFeaturesAreSummedUp) {
  testing::TempDir dir;
  std::vector<Feature> lines(150, Feature{"L", "LINESTRING (37 55,38 56)", std::nullopt});
  lines.push_back({"P", "POINT (37 55)", std::nullopt});
  MakeWithOgr(dir / "lines.geojson", "GeoJSON", 4326, lines);
  const PointFileContent content = ReadPointFile(dir / "lines.geojson", GeoJson);
  EXPECT_EQ(content.points.size(), 1u);
  ASSERT_EQ(content.messages.size(), 101u);
  EXPECT_EQ(content.messages.back(), "и ещё 50 объектов без точек пропущено");
}

TEST(ReadingGdalFiles, AFileThatIsNotOfItsFormatIsRefusedWithGdalsReason) {
  testing::TempDir dir;
  const fs::path text = dir.write("points.gpkg", "P1 1 2 3\r\n");
  try {
    ReadPointFile(text, GeoPackage);
    FAIL() << "a text read as GeoPackage";
  } catch (const KorvagridError& e) {
    EXPECT_NE(std::string(e.what()).find("не открывается как GPKG"), std::string::npos) << e.what();
  }
  EXPECT_THROW(ReadPointFile(dir / "missing.gpx", Gpx), KorvagridError);
  EXPECT_THROW(ReadPointFile(text, Text), KorvagridError);
}

// ------------------------------------------------ file against source system

TEST(SourceSystem, AFileInAnotherSystemIsRefusedNamingBoth) {
  testing::TempDir dir;
  MakeWithOgr(dir / "z6.gpkg", "GPKG", 28406, {{"P", "POINT (6512345 6012345)", std::nullopt}});
  MakeWithOgr(dir / "wgs3d.geojson", "GeoJSON", 4326, {{"P", "POINT Z (37 55 100)", std::nullopt}});
  const CrsDescription local =
      LocalTransverseMercatorCrs("63 (C3)", 111420, 250000, 11057.63, kClassicTowgs84);
  const CrsDescription otherLocal =
      LocalTransverseMercatorCrs("63 (C4)", 122220, 250000, 11057.63, kClassicTowgs84);
  {
    PointFileWriter writer(dir / "local.shp", Shapefile, local);
    writer.add({"P", 12345, 345678, std::nullopt, 1});
    writer.finish();
  }
  {
    PointFileWriter writer(dir / "list.csv", Csv, Wgs84Crs());
    writer.add({"P", 55, 37, std::nullopt, 1});
    writer.finish();
  }
  {
    PointFileWriter writer(dir / "plan.dxf", Dxf, local);
    writer.add({"P", 12345, 345678, std::nullopt, 1});
    writer.finish();
  }
  struct Row {
    const char* file;
    ExchangeFormat format;
    CrsDescription system;
    std::vector<std::string> parts;  // of the refusal; empty: accepted
    const char* why;
  };
  const Row rows[] = {
      {"z6.gpkg", GeoPackage, GaussKrugerZoneCrs("42(zone6)", 6), {}, "the same EPSG zone"},
      {"z6.gpkg",
       GeoPackage,
       GaussKrugerZoneCrs("42(zone5)", 5),
       {"«Pulkovo 1942 / Gauss-Kruger zone 6 (EPSG:28406)»", "«42(zone5)» (EPSG:28405)"},
       "the neighbouring zone"},
      {"wgs3d.geojson", GeoJson, Wgs84Crs(), {}, "WGS 84 3D is WGS-84"},
      {"wgs3d.geojson",
       GeoJson,
       KrasovskyGeographicCrs("BLH(Kras)"),
       {"WGS 84 (EPSG:4326)", "«BLH(Kras)» (EPSG:4284)"},
       "WGS-84 file for a Krasovsky source"},
      {"local.shp", Shapefile, local, {}, "our .prj of a local system, without its datum shift"},
      {"local.shp", Shapefile, otherLocal, {"«63 (C4)»"}, "a local system of another meridian"},
      {"list.csv", Csv, Wgs84Crs(), {}, "Lat/Long columns for a geographic source"},
      {"list.csv",
       Csv,
       GaussKrugerZoneCrs("42(zone6)", 6),
       {"в файле широты и долготы, а исходная система «42(zone6)» (EPSG:28406) плоская"},
       "no CRS: kinds differ"},
      {"plan.dxf",
       Dxf,
       Wgs84Crs(),
       {"в файле плоские координаты, а исходная система «WGS-84» (EPSG:4326) географическая"},
       "a drawing for a geographic source"},
  };
  for (const Row& row : rows) {
    const std::optional<std::string> refusal =
        SourceMismatch(ReadPointFile(dir / row.file, row.format), row.system);
    if (row.parts.empty()) {
      EXPECT_EQ(refusal, std::nullopt) << row.why;
      continue;
    }
    ASSERT_TRUE(refusal) << row.why;
    for (const std::string& part : row.parts)
      EXPECT_NE(refusal->find(part), std::string::npos) << row.why << ": " << *refusal;
  }
}

}  // namespace
}  // namespace korvagrid
