// korvagrid-cli with point files, end to end. Every file written is read
// back by GDAL (the OGR API, and ogrinfo for the EPSG code) and its points
// compared with the text results of the same run: names byte for byte,
// coordinates and heights to half the last digit of the text. The same file
// read back by korvagrid-cli into its own system gives the text again. Then
// a file written by GDAL itself read in; the refusals and their exit
// statuses; a stopped run and a failed writing.
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "formats/angles.h"
#include "support/cli_runner.h"
#include "support/peer_programs.h"

namespace korvagrid {
namespace {

namespace fs = std::filesystem;

// The text's last digit is 0.00001″ in packed degrees and 1 mm in metres: a
// file holds the unrounded value, within half of it.
constexpr double kDegreeTolerance = 0.000005 / 3600;  // degrees (0.000005″)
constexpr double kMetreTolerance = 0.0005;            // metres

constexpr const char* kNamedZone6 =
    "Пункт-1 6212345.678 6512345.678 162.310\r\n"
    "Ёлка№2 6198765.432 6487654.321 148.720\r\n"
    "\r\n"
    "A,\"b\"'c' 6231456.900 6601234.560 139.500\r\n";
constexpr const char* kUnnamedZone6 =
    "6200000.000 6600000.000 150.000\r\n"
    "\r\n"
    "6187000.150 6553210.000 171.040\r\n";
constexpr const char* kNamedC3 =
    "Rp12 6205311.420 3312450.118 154.220\r\n"
    "Т101 6206402.733 3313876.244 151.870\r\n";
constexpr const char* kNamedWgs84 =
    "P1 55°45'12.3456\" 37°36'56.789\" 150.2\r\n"
    "Пункт 55°44'58.1200\" 33°37'10.455\" 148.9\r\n";
constexpr const char* kOwnLocal =
    "--own-name Моя --own-meridian 33:00:00 --own-false-east 300000 --own-false-north 0";
constexpr const char* kOwnZone6 =
    "--own-name GK6 --own-type UTM-42 --own-meridian 33:00:00 --own-false-east 500000 "
    "--own-false-north 0";

struct PlainPoint {
  std::string name;
  double first = 0, second = 0;  // X, Y in metres or latitude, longitude in degrees
  double height = 0;
};

// Result lines "name X Y H" (or without the name, then named by the line):
// geographic values are packed degrees, turned into degrees.
std::vector<PlainPoint> ParseResults(const std::string& text, bool named, bool geographic) {
  std::vector<PlainPoint> points;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::istringstream fields(line);
    PlainPoint p;
    if (named && !(fields >> p.name)) continue;
    std::string a, b, h;
    if (!(fields >> a >> b >> h)) continue;
    if (!named) p.name = std::to_string(number);
    std::from_chars(a.data(), a.data() + a.size(), p.first);
    std::from_chars(b.data(), b.data() + b.size(), p.second);
    std::from_chars(h.data(), h.data() + h.size(), p.height);
    if (geographic) {
      p.first = PackedToDegrees(p.first);
      p.second = PackedToDegrees(p.second);
    }
    points.push_back(p);
  }
  return points;
}

// The points of a file as GDAL reads it, in the layout each format has:
// GPX waypoints with "ele", KML and GeoJSON with the height as Z, GeoPackage
// and Shapefile with a "height" field, CSV columns, DXF points and labels.
std::vector<PlainPoint> ReadWithOgr(const fs::path& file) {
  GDALAllRegister();
  GDALDatasetUniquePtr ds(GDALDataset::Open(file.c_str(), GDAL_OF_VECTOR));
  if (!ds) return {};
  const std::string extension = file.extension().string();
  OGRLayer* layer = extension == ".gpx" ? ds->GetLayerByName("waypoints") : ds->GetLayer(0);
  std::vector<PlainPoint> points;
  std::map<std::pair<double, double>, std::string> labels;
  for (const OGRFeatureUniquePtr& f : *layer) {
    PlainPoint p;
    if (extension == ".csv") {
      const bool geographic = f->GetFieldIndex("Lat") >= 0;
      p.name = f->GetFieldAsString("Name");
      p.first = f->GetFieldAsDouble(geographic ? "Lat" : "X");
      p.second = f->GetFieldAsDouble(geographic ? "Long" : "Y");
      p.height = f->GetFieldAsDouble("H");
      points.push_back(p);
      continue;
    }
    const OGRPoint* g = f->GetGeometryRef()->toPoint();
    p.first = g->getY();
    p.second = g->getX();
    if (extension == ".dxf") {
      const std::string layerName = f->GetFieldAsString("Layer");
      if (layerName == "NAMES") labels[{g->getX(), g->getY()}] = f->GetFieldAsString("Text");
      if (layerName != "POINTS") continue;
    }
    const int name = f->GetFieldIndex(extension == ".kml" ? "Name" : "name");
    if (name >= 0) p.name = f->GetFieldAsString(name);
    for (const char* field : {"ele", "height"}) {
      if (f->GetFieldIndex(field) >= 0) p.height = f->GetFieldAsDouble(field);
    }
    if (g->Is3D()) p.height = g->getZ();
    points.push_back(p);
  }
  for (PlainPoint& p : points) {
    if (extension == ".dxf") p.name = labels[{p.second, p.first}];
  }
  return points;
}

// The lines of a text that hold more than spaces, each ended by LF.
std::string Lines(const std::string& text) {
  std::string out;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.ends_with('\r')) line.pop_back();
    if (line.find_first_not_of(" \t") != std::string::npos) out += line + "\n";
  }
  return out;
}

// ------------------------------------------------------------ writing

struct WrittenCase {
  const char* file;  // its extension chooses the format
  const char* from;  // as the shell gets them
  const char* to;
  const char* input;  // the list
  bool named;         // the list names its points (--in-layout name)
  // Options giving the text results as the file's system counts them, and
  // what the text still writes differently: X short and Y larger by these
  // many metres (the 47 family's X short and Y with its zone number, which
  // the file holds in full and without; the own system's Y without the zone
  // number its EPSG zone has).
  const char* textFlags;
  double textXShort;
  double textYPrefix;
  std::optional<int> epsg;  // the code ogrinfo must find
  const char* why;
  const char* own = "";  // the own system's options, where it is the target
};

const WrittenCase kWritten[] = {
    {"out.gpx", "\"42(zone6)\"", "WGS-84", kNamedZone6, true, "--out-angles packed", 0, 0,
     std::nullopt, "Cyrillic, \" and ' in names, a blank line"},
    {"out.kml", "\"42(zone6)\"", "WGS-84", kUnnamedZone6, false, "--out-angles packed", 0, 0,
     std::nullopt, "unnamed points are named by their line"},
    {"out.geojson", "\"63 (C3)\"", "WGS-84", kNamedC3, true, "--out-angles packed", 0, 0,
     std::nullopt, "a local source, RFC 7946"},
    {"out.csv", "\"42(zone6)\"", "\"BLH(Kras)\"", kNamedZone6, true, "--out-angles packed", 0, 0,
     std::nullopt, "Lat and Long columns, a name with a comma and quotes"},
    {"out.csv", "\"63 (C3)\"", "\"  47(2)\"", kNamedC3, true, "", 6200000, 2000000, std::nullopt,
     "47(2): the text writes X short and Y with 2, the file X in full"},
    {"out.gpkg", "\"63 (C3)\"", "\"42(zone6)\"", kNamedC3, true, "--out-plane full", 0, 0, 28406,
     "EPSG zone: Y carries the zone number"},
    {"out.shp", "WGS-84", "\"42(zone6)\"", kNamedWgs84, true, "--out-plane full", 0, 0, 28406,
     "from degree-minute-second text"},
    {"out.shp", "\"42(zone6)\"", "\"63 (C3)\"", kNamedZone6, true, "", 0, 0, std::nullopt,
     "a local target: its definition in the .prj"},
    {"out.dxf", "\"42(zone6)\"", "\"42(zone7)\"", kNamedZone6, true, "--out-plane full", 0, 0,
     std::nullopt, "a drawing: points with their names as labels"},
    {"out.gpkg", "\"42(zone6)\"", "own", kNamedZone6, true, "", 0, 0, std::nullopt,
     "the own system, by its definition", kOwnLocal},
    {"out.gpkg", "\"42(zone6)\"", "own", kNamedZone6, true, "", 0, -6000000, 28406,
     "the own system on a zone's parameters is the EPSG zone, whose Y has the zone number the "
     "text's has not",
     kOwnZone6},
};

class CliPointFiles : public testing::CliRunner {};

std::string Systems(const WrittenCase& c, const std::string& from) {
  return "--from " + from + " --to " + c.to + " " + c.own;
}

TEST_F(CliPointFiles, WrittenFilesHoldTheResultsOfTheText) {
  for (const WrittenCase& c : kWritten) {
    SCOPED_TRACE(std::string(c.file) + ": " + c.why);
    const bool geographic = std::string(c.textFlags).find("angles") != std::string::npos;
    const std::string run =
        "convert " + Systems(c, c.from) + (c.named ? " --in-layout name " : " ");
    Write(dir_ / "list.txt", c.input);
    const std::string list = " '" + (dir_ / "list.txt").string() + "'";
    const fs::path file = dir_ / c.file;

    const Result written = Run(run + list + " -o '" + file.string() + "'");
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(written.err, "");
    const Result text = Run(run + c.textFlags + (c.named ? " --out-layout name" : "") + list);
    ASSERT_EQ(text.status, 0) << text.err;

    // GDAL reads the file's points as the text has them.
    const std::vector<PlainPoint> expected = ParseResults(text.out, c.named, geographic);
    const std::vector<PlainPoint> read = ReadWithOgr(file);
    ASSERT_EQ(read.size(), expected.size());
    const double tolerance = geographic ? kDegreeTolerance : kMetreTolerance;
    for (std::size_t i = 0; i < read.size(); ++i) {
      EXPECT_EQ(read[i].name, expected[i].name) << "point " << i;
      EXPECT_NEAR(read[i].first, expected[i].first + c.textXShort, tolerance) << "point " << i;
      EXPECT_NEAR(read[i].second, expected[i].second - c.textYPrefix, tolerance) << "point " << i;
      EXPECT_NEAR(read[i].height, expected[i].height, kMetreTolerance) << "point " << i;
    }

    // Read back into the target system, the file gives the same text.
    const Result back =
        Run("convert " + Systems(c, c.to) + " " + c.textFlags + " '" + file.string() + "'");
    ASSERT_EQ(back.status, 0) << back.err;
    const Result plain = Run(run + c.textFlags + list);
    EXPECT_EQ(Lines(back.out), Lines(plain.out));

    if (c.epsg) {
      const std::string info = testing::CaptureOutput("ogrinfo -so -al '" + file.string() + "' 2>&1");
      EXPECT_NE(info.find("ID[\"EPSG\"," + std::to_string(*c.epsg) + "]]"), std::string::npos)
          << info;
    }
  }
}

TEST_F(CliPointFiles, ALocalSystemsFileCarriesTheChosenDatumShift) {
  // +towgs84 as GDAL reads it from the file (position vector: metres, arc
  // seconds, ppm), as EPSG publishes the sets' rotations with their signs
  // flipped; a file of any set reads back into the same system under another.
  struct Row {
    const char* shift;
    double towgs84[7];
  };
  const Row rows[] = {
      {"classic", {26.3, -132.6, -76.3, 0.22, 0.4, 0.9, -0.12}},
      {"gost2008", {23.57, -140.95, -79.8, 0, 0.35, 0.79, -0.22}},
      {"gost2001", {23.92, -141.27, -80.9, 0, 0.35, 0.82, -0.12}},
  };
  Write(dir_ / "list.txt", kNamedZone6);
  const std::string list = " '" + (dir_ / "list.txt").string() + "'";
  GDALAllRegister();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.shift);
    const fs::path file = dir_ / (std::string(row.shift) + ".gpkg");
    const Result written =
        Run("convert --from \"42(zone6)\" --to \"63 (C3)\" --in-layout name --shift " +
            std::string(row.shift) + list + " -o '" + file.string() + "'");
    ASSERT_EQ(written.status, 0) << written.err;
    GDALDatasetUniquePtr ds(GDALDataset::Open(file.c_str(), GDAL_OF_VECTOR));
    ASSERT_TRUE(ds);
    const OGRSpatialReference* srs = ds->GetLayer(0)->GetSpatialRef();
    ASSERT_NE(srs, nullptr);
    double towgs84[7] = {};
    ASSERT_EQ(srs->GetTOWGS84(towgs84, 7), OGRERR_NONE);
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(towgs84[i], row.towgs84[i], 1e-9) << "parameter " << i;
    const Result back = Run("convert --from \"63 (C3)\" --to WGS-84 '" + file.string() + "'");
    EXPECT_EQ(back.status, 0) << back.err;
  }
}

// ------------------------------------------------------------ reading

// A GeoJSON file made by GDAL's own driver with the features given as WKT.
void MakeGeoJson(const fs::path& file,
                 const std::vector<std::pair<const char*, const char*>>& features) {
  GDALAllRegister();
  GDALDatasetUniquePtr ds(GetGDALDriverManager()->GetDriverByName("GeoJSON")->Create(
      file.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  ASSERT_TRUE(ds);
  OGRSpatialReference wgs84;
  wgs84.importFromEPSG(4326);
  OGRLayer* layer = ds->CreateLayer("points", &wgs84, wkbUnknown, nullptr);
  OGRFieldDefn name("name", OFTString);
  ASSERT_EQ(layer->CreateField(&name), OGRERR_NONE);
  for (const auto& [featureName, wkt] : features) {
    OGRFeature feature(layer->GetLayerDefn());
    feature.SetField("name", featureName);
    OGRGeometry* geometry = nullptr;
    ASSERT_EQ(OGRGeometryFactory::createFromWkt(wkt, nullptr, &geometry), OGRERR_NONE) << wkt;
    feature.SetGeometryDirectly(geometry);
    ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
  }
}

TEST_F(CliPointFiles, AFileWrittenByGdalIsReadAsNamedDecimalDegrees) {
  // Without any input option: the file's points are read with their names,
  // in decimal degrees; what is not a point is a warning naming it.
  MakeGeoJson(dir_ / "mixed.geojson", {{"Пункт А", "POINT Z (37.5 55.25 152.5)"},
                                       {"Родник", "POINT (37.75 55.125)"},
                                       {"Дорога", "LINESTRING (37 55,38 56)"},
                                       {"Группа", "MULTIPOINT ((37.1 55.1),(37.2 55.2))"}});
  const Result r = Run("convert --from WGS-84 --to WGS-84 --out-layout name --out-angles packed '" +
                       (dir_ / "mixed.geojson").string() + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("объект 3: линия LINESTRING — не точка, пропущен"), std::string::npos)
      << r.err;
  const std::vector<PlainPoint> points = ParseResults(r.out, true, true);
  const PlainPoint expected[] = {
      {"Пункт%20А", 55.25, 37.5, 152.5},  // the list escapes the space that would cut the name
      {"Родник", 55.125, 37.75, 0},       // no height: the run takes 0
      {"Группа", 55.1, 37.1, 0},          // each point of a MultiPoint, with its name
      {"Группа", 55.2, 37.2, 0},
  };
  ASSERT_EQ(points.size(), std::size(expected)) << r.out;
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_EQ(points[i].name, expected[i].name);
    EXPECT_NEAR(points[i].first, expected[i].first, kDegreeTolerance) << i;
    EXPECT_NEAR(points[i].second, expected[i].second, kDegreeTolerance) << i;
    EXPECT_NEAR(points[i].height, expected[i].height, kMetreTolerance) << i;
  }
  // Written to a file again, a name has its space back.
  const Result gpx = Run("convert --from WGS-84 --to WGS-84 '" + (dir_ / "mixed.geojson").string() +
                         "' -o '" + (dir_ / "again.gpx").string() + "'");
  ASSERT_EQ(gpx.status, 0) << gpx.err;
  const std::vector<PlainPoint> again = ReadWithOgr(dir_ / "again.gpx");
  ASSERT_EQ(again.size(), 4U);
  EXPECT_EQ(again[0].name, "Пункт А");
  // The map sheets of the same file, one line per point.
  const Result sheets =
      Run("sheets --scale 100 --from WGS-84 '" + (dir_ / "mixed.geojson").string() + "'");
  ASSERT_EQ(sheets.status, 0) << sheets.err;
  EXPECT_EQ(Lines(sheets.out), "N-37-28\nN-37-28\nN-37-27\nN-37-27\n");
}

// ------------------------------------------------------------ refusals

struct RefusalCase {
  std::string arguments;
  std::string input;  // standard input
  int status;
  std::vector<std::string> says;  // fragments of standard error
  const char* why;
};

TEST_F(CliPointFiles, RefusalsNameTheirReasonAndEndWithTheirStatus) {
  const auto at = [this](const char* name) { return " '" + (dir_ / name).string() + "' "; };
  Write(dir_ / "list.txt", kNamedZone6);
  const std::string zone6 = "convert --from \"42(zone6)\" --in-layout name" + at("list.txt");
  ASSERT_EQ(Run(zone6 + "--to WGS-84 -o" + at("points.gpx")).status, 0);
  ASSERT_EQ(Run(zone6 + "--to \"42(zone6)\" -o" + at("zone6.gpkg")).status, 0);
  MakeGeoJson(dir_ / "lines.geojson", {{"Дорога", "LINESTRING (37 55,38 56)"}});
  const std::string wgs84 = "convert --from WGS-84 --to WGS-84 ";
  const RefusalCase rows[] = {
      {zone6 + "--to \"BLH(Kras)\" -o" + at("k.gpx"),
       "",
       2,
       {"GPX", "WGS-84", "BLH(Kras)"},
       "GPX holds WGS-84 only"},
      {zone6 + "--to WGS-84 -o" + at("w.dxf"),
       "",
       2,
       {"DXF", "WGS-84"},
       "DXF holds plane coordinates only"},
      {"convert --from \"42(zone6)\" --to WGS-84" + at("points.gpx"),
       "",
       2,
       {"WGS 84 (EPSG:4326)", "42(zone6)"},
       "a file in another system: both named"},
      {"convert --from \"42(zone5)\" --to WGS-84" + at("zone6.gpkg"),
       "",
       2,
       {"EPSG:28406", "42(zone5)"},
       "a GeoPackage of the neighbouring zone"},
      {zone6 + "--to WGS-84 --out-format gpx",
       "",
       2,
       {"-o FILE"},
       "a point file is not written to standard output"},
      {zone6 + "--to WGS-84 --out-format GPKG",
       "",
       2,
       {"-o FILE"},
       "format names are taken in any case"},
      {zone6 + "--to WGS-84 -o" + at("w.gpx") + "--eol lf",
       "",
       2,
       {"--eol", "GPX"},
       "an option of text output"},
      {zone6 + "--to WGS-84 -o" + at("w.gpx") + "--out-layout name",
       "",
       2,
       {"--out-layout"},
       "another option of text output"},
      {wgs84 + "--in-angles decimal" + at("points.gpx"),
       "",
       2,
       {"--in-angles", "GPX"},
       "an option of text input"},
      {wgs84 + "--in-format gpx -", "", 2, {"standard input"}, "a point file is read by its name"},
      {wgs84 + "--in-format wpt" + at("list.txt"), "", 2, {"wpt"}, "waypoint files are not read"},
      {zone6 + "--to \"42(zone5)\" --out-format wpt",
       "",
       2,
       {"geographic"},
       "waypoints of a plane target"},
      {wgs84 + at("lines.geojson"), "", 1, {"не точка", "no point in"}, "a file without points"},
      {wgs84 + at("missing.gpx"), "", 2, {"missing.gpx"}, "a missing file"},
      {"sheets --scale 200 --from \"42(zone6)\"" + at("points.gpx"),
       "",
       2,
       {"WGS 84 (EPSG:4326)", "42(zone6)"},
       "sheets checks the system too"},
  };
  for (const RefusalCase& row : rows) {
    const Result r = Run(row.arguments, row.input);
    EXPECT_EQ(r.status, row.status) << row.why << "\n" << r.err;
    for (const std::string& fragment : row.says) {
      EXPECT_NE(r.err.find(fragment), std::string::npos)
          << row.why << ": no \"" << fragment << "\" in\n"
          << r.err;
    }
  }
  // Without its extras module the command line still converts text and
  // refuses point files naming the module.
  ::setenv("KORVAGRID_CLI_EXTRAS", (dir_ / "absent.so").c_str(), 1);
  const Result text = Run(zone6 + "--to WGS-84");
  const Result file = Run(zone6 + "--to WGS-84 -o" + at("x.gpx"));
  ::unsetenv("KORVAGRID_CLI_EXTRAS");
  EXPECT_EQ(text.status, 0) << text.err;
  EXPECT_EQ(file.status, 2) << file.err;
  EXPECT_NE(file.err.find("cannot load " + (dir_ / "absent.so").string()), std::string::npos)
      << file.err;
  // No refused writing left a file behind.
  for (const char* name : {"k.gpx", "w.dxf", "w.gpx", "x.gpx"})
    EXPECT_FALSE(fs::exists(dir_ / name)) << name;
}

TEST_F(CliPointFiles, AStoppedRunWritesThePointsBeforeAndAFailedWritingNothing) {
  const auto at = [this](const char* name) { return " '" + (dir_ / name).string() + "' "; };
  // The second point's X has too few digits: the question is answered No.
  Write(dir_ / "short_x.txt",
        "P1 6212345.678 6512345.678 162.31\r\nP2 12345.678 6512345.678 1\r\nP3 6212355 6512355 "
        "1\r\n");
  const Result stopped = Run("convert --from \"42(zone6)\" --to WGS-84 --in-layout name" +
                             at("short_x.txt") + "-o" + at("stopped.geojson"));
  EXPECT_EQ(stopped.status, 3) << stopped.err;
  EXPECT_NE(stopped.err.find("line 2"), std::string::npos) << stopped.err;
  const std::vector<PlainPoint> before = ReadWithOgr(dir_ / "stopped.geojson");
  ASSERT_EQ(before.size(), 1U);
  EXPECT_EQ(before[0].name, "P1");

  // A name of 260 bytes does not fit a Shapefile's text field (254 bytes).
  std::string longName;
  for (int i = 0; i < 130; ++i) longName += "ж";
  Write(dir_ / "long.txt", "P1 6212345.678 6512345.678 1\r\n" + longName +
                               " 6212355 6512355 1\r\nP3 6212365 6512365 1\r\n");
  const Result failed = Run("convert --from \"42(zone6)\" --to \"42(zone6)\" --in-layout name" +
                            at("long.txt") + "-o" + at("long.shp"));
  EXPECT_EQ(failed.status, 1) << failed.err;
  EXPECT_NE(failed.err.find("строке 2: точка в строке 2"), std::string::npos) << failed.err;
  EXPECT_NE(failed.err.find("254"), std::string::npos) << failed.err;
  EXPECT_NE(failed.err.find("was not written"), std::string::npos) << failed.err;
  EXPECT_FALSE(fs::exists(dir_ / "long.shp"));
  EXPECT_FALSE(fs::exists(dir_ / "long.dbf"));
}

}  // namespace
}  // namespace korvagrid
