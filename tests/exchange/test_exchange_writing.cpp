// How PointFileWriter fails and what it leaves behind: a refused or failed
// writing never touches an existing file and leaves no partial file; a
// finished one replaces the old file with all its companions; DXF labels
// that cannot show a name exactly are noted.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "common/error.h"
#include "exchange/crs_description.h"
#include "exchange/point_file_reader.h"
#include "exchange/point_file_writer.h"
#include "support/temp_dir.h"

namespace korvagrid {
namespace {

namespace fs = std::filesystem;
using enum ExchangeFormat;

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

const ExchangePoint kPoint{"P1", 6012345.5, 6512345.5, 150.0, 1};

TEST(PointFileWriting, FailuresLeaveTheOldFileAndNoPartialFile) {
  struct Row {
    const char* file;  // written in a folder that holds "old.gpkg" with the text "old"
    ExchangeFormat format;
    CrsDescription crs;
    std::function<void(PointFileWriter&)> write;  // the calls after opening
    const char* messagePart;
    const char* why;
  };
  const auto addPoint = [](ExchangePoint p) { return [p](PointFileWriter& w) { w.add(p); }; };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::string longName;
  for (int i = 0; i < 128; ++i) longName += "ж";  // 256 bytes
  const Row rows[] = {
      {"old.gpkg", Gpx, GaussKrugerZoneCrs("42(zone6)", 6), nullptr, "GPX хранит только координаты WGS-84",
       "a refused format creates nothing"},
      {"old.gpkg", GeoPackage, DefinedPlaneCrs("Моя", "+proj=nonsense"), nullptr, "«Моя» не задана",
       "a definition GDAL does not understand"},
      {"sub", GeoPackage, GaussKrugerZoneCrs("42(zone6)", 6), nullptr, "не обычный файл", "a folder as the file"},
      {"missing/p.gpkg", GeoPackage, GaussKrugerZoneCrs("42(zone6)", 6), nullptr, "папки", "a missing folder"},
      {"points.dbf", Shapefile, GaussKrugerZoneCrs("42(zone6)", 6), nullptr, "должно оканчиваться на .shp",
       "a Shapefile under another extension"},
      {"old.gpkg", GeoPackage, GaussKrugerZoneCrs("42(zone6)", 6), addPoint({"P", nan, 1, 1.0, 7}),
       "точка в строке 7: координата не число", "NaN in the middle of a writing"},
      {"p.shp", Shapefile, GaussKrugerZoneCrs("42(zone6)", 6), addPoint({longName, 1, 2, 3.0, 9}),
       "точка в строке 9: имя длиной 256 байт", "a name a Shapefile cannot hold"},
  };
  for (const Row& row : rows) {
    testing::TempDir dir;
    dir.write("old.gpkg", "old");
    fs::create_directory(dir / "sub");
    const std::vector<std::string> before = FilesIn(dir.path());
    try {
      PointFileWriter writer(dir / row.file, row.format, row.crs);
      if (row.write) row.write(writer);
      FAIL() << row.why << ": no failure";
    } catch (const KorvagridError& e) {
      EXPECT_NE(std::string(e.what()).find(row.messagePart), std::string::npos) << row.why << ": " << e.what();
    }
    EXPECT_EQ(FilesIn(dir.path()), before) << row.why;
    EXPECT_EQ(testing::ReadBytes(dir / "old.gpkg"), "old") << row.why;
  }
}

TEST(PointFileWriting, NothingIsAddedAfterFinish) {
  testing::TempDir dir;
  PointFileWriter writer(dir / "p.csv", Csv, Wgs84Crs());
  writer.finish();
  EXPECT_THROW(writer.add(kPoint), KorvagridError);
  EXPECT_THROW(writer.finish(), KorvagridError);
  EXPECT_EQ(testing::ReadBytes(dir / "p.csv"), "Name,Lat,Long,H\r\n");
}

TEST(PointFileWriting, AnUnfinishedWriterRemovesItsFiles) {
  testing::TempDir dir;
  {
    PointFileWriter writer(dir / "p.shp", Shapefile, GaussKrugerZoneCrs("42(zone6)", 6));
    writer.add(kPoint);
  }
  EXPECT_TRUE(FilesIn(dir.path()).empty());
}

TEST(PointFileWriting, AFinishedShapefileReplacesTheOldOneWithItsCompanions) {
  testing::TempDir dir;
  for (const char* old : {"p.shp", "p.shx", "p.dbf", "p.prj", "p.qix"}) dir.write(old, "stale");
  PointFileWriter writer(dir / "p.shp", Shapefile, GaussKrugerZoneCrs("42(zone6)", 6));
  writer.add(kPoint);
  writer.finish();
  // The stale spatial index is gone; the new files are complete.
  EXPECT_EQ(FilesIn(dir.path()), (std::vector<std::string>{"p.cpg", "p.dbf", "p.prj", "p.shp", "p.shx"}));
  const PointFileContent back = ReadPointFile(dir / "p.shp", Shapefile);
  ASSERT_EQ(back.points.size(), 1u);
  EXPECT_EQ(back.points[0].name, "P1");
  ASSERT_TRUE(back.crs);
  EXPECT_EQ(back.crs->epsg, 28406);
}

TEST(PointFileWriting, ASymbolicLinkIsFollowed) {
  testing::TempDir dir;
  dir.write("real.csv", "old");
  fs::create_symlink(dir / "real.csv", dir / "link.csv");
  PointFileWriter writer(dir / "link.csv", Csv, Wgs84Crs());
  writer.add({"P", 55.5, 37.25, std::nullopt, 1});
  writer.finish();
  EXPECT_TRUE(fs::is_symlink(dir / "link.csv"));
  EXPECT_EQ(testing::ReadBytes(dir / "real.csv"), "Name,Lat,Long,H\r\nP,55.5,37.25,\r\n");
}

TEST(PointFileWriting, DxfNotesNamesItsLabelsCannotShowExactly) {
  testing::TempDir dir;
  std::string longName;
  for (int i = 0; i < 40; ++i) longName += "ж";  // 280 characters once escaped
  PointFileWriter writer(dir / "p.dxf", Dxf, GaussKrugerZoneCrs("42(zone6)", 6));
  writer.add({"{A}", 1, 2, std::nullopt, 3});
  writer.add({"50%%d", 1, 3, std::nullopt, 4});
  writer.add({longName, 1, 4, std::nullopt, 5});
  writer.add({"Пункт 1, \"кв\"", 1, 5, std::nullopt, 6});  // shown exactly: no note
  writer.finish();
  ASSERT_EQ(writer.notes().size(), 3u);
  EXPECT_NE(writer.notes()[0].find("точка в строке 3: имя «{A}»"), std::string::npos) << writer.notes()[0];
  EXPECT_NE(writer.notes()[1].find("точка в строке 4"), std::string::npos) << writer.notes()[1];
  EXPECT_NE(writer.notes()[2].find("точка в строке 5"), std::string::npos) << writer.notes()[2];
  // The noted names do read back differently; the plain one exactly.
  const PointFileContent back = ReadPointFile(dir / "p.dxf", Dxf);
  ASSERT_EQ(back.points.size(), 4u);
  EXPECT_NE(back.points[0].name, "{A}");
  EXPECT_NE(back.points[2].name, longName);
  EXPECT_EQ(back.points[3].name, "Пункт 1, \"кв\"");
}

}  // namespace
}  // namespace korvagrid
