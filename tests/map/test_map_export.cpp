// The map written to files as the command line writes it: names as real text
// in the SVG, the sheet frames named as the map-sheet task names the points,
// PNG and PDF of the asked size, and the failures with their reasons.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <set>
#include <string>
#include <vector>

#include "common/error.h"
#include "map_export.h"
#include "support/temp_dir.h"
#include "tasks/map_sheets.h"

namespace korvagrid::map {
namespace {

using korvagrid::testing::ReadBytes;
using korvagrid::testing::TempDir;

MapPoint Point(std::string name, double latitude, double longitude, std::int64_t line) {
  MapPoint p;
  p.name = std::move(name);
  p.latitude = latitude;
  p.longitude = longitude;
  p.line = line;
  return p;
}

// Three points some 40 km apart in three 1:100 000 sheets; one name is
// Cyrillic, one holds the characters XML must escape.
const std::vector<MapPoint> kPoints{
    Point("Пункт 1", 55.7533967, 37.6176227, 1),
    Point("R&D <2>", 55.4322269, 36.1598572, 2),
    Point("Z1", 55.9117354, 36.7991577, 4),
};

// Every text element's content in an SVG document.
std::set<std::string> SvgTexts(const std::string& svg) {
  std::set<std::string> texts;
  QXmlStreamReader reader(QByteArray::fromStdString(svg));
  while (!reader.atEnd()) {
    if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"text") {
      texts.insert(
          reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toStdString());
    }
  }
  EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  return texts;
}

class SvgText : public ::testing::TestWithParam<std::int16_t> {};

TEST_P(SvgText, HoldsThePointNamesAndTheTasksSheetNames) {
  const std::int16_t scale = GetParam();
  TempDir dir;
  const auto path = dir / "map.svg";
  RenderMapFile(kPoints, scale, 1600, 1000, path);
  const std::set<std::string> texts = SvgTexts(ReadBytes(path));
  for (const MapPoint& p : kPoints) {
    EXPECT_TRUE(texts.count(p.name)) << p.name;
    const std::string sheet = MapSheetName(scale, p.latitude, p.longitude);
    EXPECT_TRUE(texts.count(sheet)) << p.name << " on " << sheet;
  }
  // 1:100 000 names appear only when asked for.
  const bool any100k = texts.count(MapSheetName(kScale100, 55.7533967, 37.6176227)) > 0;
  EXPECT_EQ(any100k, scale == kScale100);
}

INSTANTIATE_TEST_SUITE_P(Scales, SvgText, ::testing::Values(kScale200, kScale100));

TEST(MapFile, PngAndPdfHaveTheAskedSize) {
  TempDir dir;
  RenderMapFile(kPoints, kScale100, 640, 400, dir / "map.PNG");
  const QImage png(QString::fromStdString((dir / "map.PNG").string()));
  EXPECT_EQ(png.size(), QSize(640, 400));
  RenderMapFile(kPoints, kScale100, 640, 400, dir / "map.pdf");
  const std::string pdf = ReadBytes(dir / "map.pdf");
  EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
  // One point of the page per pixel.
  const QRegularExpressionMatch box =
      QRegularExpression(QStringLiteral(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])"))
          .match(QString::fromLatin1(pdf.data(), static_cast<qsizetype>(pdf.size())));
  ASSERT_TRUE(box.hasMatch());
  EXPECT_DOUBLE_EQ(box.captured(1).toDouble(), 640);
  EXPECT_DOUBLE_EQ(box.captured(2).toDouble(), 400);
}

struct FailureCase {
  const char* why;
  std::string file;
  std::int16_t scale;
  int width, height;
  std::string reason;  // a part of the message
};

class MapFileFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(MapFileFailure, IsReportedAndWritesNothing) {
  const FailureCase& c = GetParam();
  TempDir dir;
  const auto path = dir / c.file;
  try {
    RenderMapFile(kPoints, c.scale, c.width, c.height, path);
    ADD_FAILURE() << c.why << ": no error";
  } catch (const KorvagridError& error) {
    EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos)
        << c.why << ": " << error.what();
  }
  EXPECT_FALSE(std::filesystem::exists(path)) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MapFileFailure,
    ::testing::Values(
        FailureCase{"unknown extension", "map.jpg", kScale100, 640, 400, ".png, .svg или .pdf"},
        FailureCase{"no extension", "map", kScale100, 640, 400, ".png, .svg или .pdf"},
        FailureCase{"scale code of no sheet level", "map.svg", 50, 640, 400, "200 или 100"},
        FailureCase{"width below the least", "map.svg", kScale100, 15, 400, "от 16 до 10000"},
        FailureCase{"height above the most", "map.png", kScale100, 640, 10001, "от 16 до 10000"},
        FailureCase{"folder that does not exist", "no/such/map.png", kScale100, 640, 400,
                    "no/such"}));

}  // namespace
}  // namespace korvagrid::map
