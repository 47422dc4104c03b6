// Our files read by independent programs: GPSBabel reads the GPX waypoints
// with their names and coordinates; ogrinfo finds EPSG:28406 in a GeoPackage
// and a Shapefile written for "42(zone6)". A missing program skips its test
// with a message.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "exchange/crs_description.h"
#include "exchange/point_file_writer.h"
#include "support/peer_programs.h"
#include "support/temp_dir.h"

namespace korvagrid {
namespace {

namespace fs = std::filesystem;
using testing::CaptureOutput;
using testing::ProgramInstalled;

// One CSV record: fields split at commas outside double quotes, "" inside
// quotes read as one double quote.
std::vector<std::string> SplitCsv(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  return fields;
}

double Number(const std::string& text) {
  double value = std::numeric_limits<double>::quiet_NaN();
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

void Write(const fs::path& file, ExchangeFormat format, const CrsDescription& crs,
           const std::vector<ExchangePoint>& points) {
  PointFileWriter writer(file, format, crs);
  for (const ExchangePoint& p : points) writer.add(p);
  writer.finish();
}

TEST(GpsBabel, ReadsOurGpxWaypoints) {
  if (!ProgramInstalled("gpsbabel")) GTEST_SKIP() << "gpsbabel is not installed: GPX not checked against it";
  // GPSBabel's unicsv writes 6 decimals of a degree and 1 decimal of a metre.
  constexpr double kPrintedDegrees = 5e-7;
  constexpr double kPrintedMetres = 0.05;
  const std::vector<ExchangePoint> points = {
      {"Пункт 1", 55.123456, 37.654321, 152.3, 1},
      {"A, \"b\" <c> & 'd'", 55.5, 37.25, std::nullopt, 2},
      {"", -33.456789, -70.654321, -12.5, 3},  // written with its line number
  };
  testing::TempDir dir;
  const fs::path gpx = dir / "points.gpx";
  Write(gpx, ExchangeFormat::Gpx, Wgs84Crs(), points);

  const std::string csv = CaptureOutput("gpsbabel -i gpx -f '" + gpx.string() + "' -o unicsv -F - 2>&1");
  std::vector<std::vector<std::string>> rows;
  std::size_t start = 0;
  while (start < csv.size()) {
    const std::size_t end = csv.find('\n', start);
    rows.push_back(SplitCsv(csv.substr(start, end == std::string::npos ? std::string::npos : end - start)));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  while (!rows.empty() && rows.back().size() == 1 && rows.back()[0].empty()) rows.pop_back();
  ASSERT_EQ(rows.size(), points.size() + 1) << csv;
  std::map<std::string, std::size_t> column;
  for (std::size_t i = 0; i < rows[0].size(); ++i) column[rows[0][i]] = i;
  ASSERT_TRUE(column.count("Name") && column.count("Latitude") && column.count("Longitude")) << csv;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::vector<std::string>& row = rows[i + 1];
    const std::string expectedName = points[i].name.empty() ? std::to_string(points[i].line) : points[i].name;
    EXPECT_EQ(row.at(column["Name"]), expectedName) << csv;
    EXPECT_NEAR(Number(row.at(column["Latitude"])), points[i].first, kPrintedDegrees) << csv;
    EXPECT_NEAR(Number(row.at(column["Longitude"])), points[i].second, kPrintedDegrees) << csv;
    if (points[i].height) {
      ASSERT_TRUE(column.count("Altitude")) << csv;
      EXPECT_NEAR(Number(row.at(column["Altitude"])), *points[i].height, kPrintedMetres) << csv;
    }
  }
}

TEST(OgrInfo, FindsTheZoneSixEpsgCodeInGeoPackageAndShapefile) {
  if (!ProgramInstalled("ogrinfo")) GTEST_SKIP() << "ogrinfo is not installed: EPSG codes not checked against it";
  const std::vector<ExchangePoint> points = {{"P1", 6012345.678, 6512345.678, 152.3, 1},
                                             {"P2", 6013345.678, 6513345.678, std::nullopt, 2}};
  testing::TempDir dir;
  for (const auto& [format, name] : {std::pair{ExchangeFormat::GeoPackage, "zone6.gpkg"},
                                     std::pair{ExchangeFormat::Shapefile, "zone6.shp"}}) {
    const fs::path file = dir / name;
    Write(file, format, GaussKrugerZoneCrs("42(zone6)", 6), points);
    const std::string info = CaptureOutput("ogrinfo -so -al '" + file.string() + "' 2>&1");
    EXPECT_NE(info.find("Pulkovo 1942 / Gauss-Kruger zone 6"), std::string::npos) << info;
    EXPECT_NE(info.find("ID[\"EPSG\",28406]]"), std::string::npos) << info;  // the closing ID of the system
    EXPECT_NE(info.find("Feature Count: 2"), std::string::npos) << info;
    // Easting first, as the file's axes go.
    EXPECT_NE(info.find("Extent: (6512345.678000, 6012345.678000) - (6513345.678000, 6013345.678000)"),
              std::string::npos)
        << info;
  }
}

}  // namespace
}  // namespace korvagrid
