// Format names and extensions, the refusals of the writers, the CRS of each
// catalogue entry, and the input lists made from points read back through
// the system's own line reader.
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/catalogue.h"
#include "exchange/crs_description.h"
#include "documents/exchange_format.h"
#include "exchange/input_list.h"
#include "exchange/point_file_writer.h"
#include "formats/angles.h"
#include "formats/radstr1.h"
#include "geodesy/closed_series_plane.h"
#include "geodesy/constants.h"
#include "formats/read_str.h"

namespace korvagrid {
namespace {

using enum ExchangeFormat;

TEST(ExchangeFormatNames, CommandLineNamesAndExtensions) {
  struct Row {
    const char* name;
    std::optional<ExchangeFormat> format;
  };
  for (const Row& row : {Row{"text", Text}, Row{"WPT", Wpt}, Row{"gpx", Gpx}, Row{"Kml", Kml},
                         Row{"geojson", GeoJson}, Row{"csv", Csv}, Row{"gpkg", GeoPackage}, Row{"shp", Shapefile},
                         Row{"dxf", Dxf}, Row{"json", std::nullopt}, Row{"", std::nullopt},
                         Row{"gpkg ", std::nullopt}}) {
    EXPECT_EQ(FormatFromName(row.name), row.format) << '"' << row.name << '"';
  }
  struct PathRow {
    const char* path;
    ExchangeFormat format;
  };
  for (const PathRow& row : {PathRow{"a.GPX", Gpx}, PathRow{"dir.v1/points.kml", Kml}, PathRow{"p.json", GeoJson},
                             PathRow{"p.geojson", GeoJson}, PathRow{"p.csv", Csv}, PathRow{"p.gpkg", GeoPackage},
                             PathRow{"p.Shp", Shapefile}, PathRow{"p.dxf", Dxf}, PathRow{"p.wpt", Wpt},
                             PathRow{"p.txt", Text}, PathRow{"p", Text}, PathRow{"gpx", Text},
                             PathRow{"p.gpx.bak", Text}}) {
    EXPECT_EQ(FormatFromPath(row.path), row.format) << row.path;
  }
}

TEST(ExchangeFormatNames, AChosenFilterDecidesWhereItNamesOnePointFormat) {
  struct Row {
    const char* path;
    const char* pattern;
    ExchangeFormat format;
    const char* why;
  };
  const Row rows[] = {
      {"/d/list.txt", "*.gpx", Gpx, "a point format's filter decides over the name"},
      {"/d/out", "*.GPKG", GeoPackage, "filters are compared without case"},
      {"/d/out.kml", "*.*", Kml, "all files: the extension"},
      {"/d/out.csv", "*.txt", Csv, "the text filter chooses no point format"},
      {"/d/out.wpt", "*.wpt", Wpt, "waypoints stay waypoints"},
      {"/d/out.dxf", "*.gpx;*.kml", Dxf, "several patterns choose none"},
      {"/d/out.json", "", GeoJson, "no filter known: the extension"},
      {"/d/out", "*.", Text, "an empty extension"},
  };
  for (const Row& row : rows) EXPECT_EQ(FormatOfChosenFile(row.path, row.pattern), row.format) << row.why;
  EXPECT_EQ(PointFormatsDialogFilter(),
            "GPX (*.gpx)|*.gpx|KML (*.kml)|*.kml|GeoJSON (*.geojson)|*.geojson|CSV (*.csv)|*.csv|"
            "GeoPackage (*.gpkg)|*.gpkg|Shapefile (*.shp)|*.shp|DXF (*.dxf)|*.dxf");
}

TEST(ExchangeFormatRefusals, WhichFormatHoldsWhichSystem) {
  const CrsDescription wgs = Wgs84Crs();
  const CrsDescription kras = KrasovskyGeographicCrs("BLH(Kras)");
  const CrsDescription zone = GaussKrugerZoneCrs("42(zone6)", 6);
  const CrsDescription local = LocalTransverseMercatorCrs("63 (C3)", 111420, 250000, 11057.63);
  struct Row {
    ExchangeFormat format;
    const CrsDescription& crs;
    const char* refusalPart;  // nullptr: written
  };
  const Row rows[] = {
      {Gpx, wgs, nullptr},
      {Gpx, kras, "GPX хранит только координаты WGS-84: система «BLH(Kras)»"},
      {Gpx, zone, "GPX хранит только координаты WGS-84: система «42(zone6)»"},
      {Kml, kras, "KML хранит только координаты WGS-84: система «BLH(Kras)»"},
      {Kml, wgs, nullptr},
      {GeoJson, local, "GeoJSON хранит только координаты WGS-84: система «63 (C3)»"},
      {GeoJson, wgs, nullptr},
      {Dxf, wgs, "DXF хранит только плоские координаты: географическая система «WGS-84»"},
      {Dxf, kras, "DXF хранит только плоские координаты: географическая система «BLH(Kras)»"},
      {Dxf, local, nullptr},
      {Csv, kras, nullptr},
      {GeoPackage, local, nullptr},
      {Shapefile, wgs, nullptr},
      {Text, wgs, "пишется текстом результатов"},
      {Wpt, wgs, "пишется текстом результатов"},
  };
  for (const Row& row : rows) {
    const std::optional<std::string> refusal = WriteRefusal(row.format, row.crs);
    if (row.refusalPart == nullptr) {
      EXPECT_FALSE(refusal) << InfoOf(row.format).name << " " << row.crs.displayName << ": " << *refusal;
    } else {
      ASSERT_TRUE(refusal) << InfoOf(row.format).name << " " << row.crs.displayName;
      EXPECT_NE(refusal->find(row.refusalPart), std::string::npos) << *refusal;
    }
  }
}

TEST(CatalogueCrs, EveryEntryHasItsReferenceSystem) {
  struct Row {
    int index;
    std::optional<int> epsg;
    const char* definitionPart;  // of the PROJ string when there is no EPSG code
    bool geographic;
    const char* displayName;
    const char* why;
  };
  const Row rows[] = {
      {0, std::nullopt, "+proj=tmerc +lat_0=0 +lon_0=27.95 +k=1 +x_0=250000 +y_0=-11057.626 +ellps=krass", false,
       "63 (C2)", "local system: meridian 27°57', its own false northing"},
      {3, std::nullopt, "+lon_0=30 +k=1 +x_0=95942.17 +y_0=-6552810 ", false, "M64",
       "M64: large false northing and odd false easting"},
      {7, 28405, "", false, "42(zone5)", "zone 5 is EPSG:28405"},
      {8, 28406, "", false, "42(zone6)", "zone 6 is EPSG:28406"},
      {9, 28407, "", false, "42(zone7)", "zone 7 is EPSG:28407"},
      {10, 4284, "", true, "BLH(Kras)", "Krasovsky latitude/longitude: Pulkovo 1942"},
      {11, 4326, "", true, "WGS-84", "WGS-84"},
      {13, std::nullopt, "+lon_0=30.95 +k=1 +x_0=250000 +y_0=-11057.63 ", false, "47(2)",
       "47 family: list text without its leading spaces"},
      {15, std::nullopt, "+lon_0=29.4833333333333", false, "53(1)", "53 family: meridian 29°29'"},
  };
  for (const Row& row : rows) {
    const CoordinateSystem& system = FixedSystems()[static_cast<std::size_t>(row.index)];
    const CrsDescription crs = DescribeCatalogueSystem(system.name, system);
    EXPECT_EQ(crs.epsg, row.epsg) << row.why;
    EXPECT_EQ(crs.geographic, row.geographic) << row.why;
    EXPECT_EQ(crs.displayName, row.displayName) << row.why;
    EXPECT_NE(crs.definition.find(row.definitionPart), std::string::npos) << row.why << ": " << crs.definition;
    EXPECT_EQ(crs.firstAxisName, row.geographic ? "Lat" : "X") << row.why;
    EXPECT_EQ(crs.secondAxisName, row.geographic ? "Long" : "Y") << row.why;
  }
  // A Gauss–Krüger system that is not an EPSG zone keeps its own parameters.
  CoordinateSystem shifted = FixedSystems()[8];
  shifted.falseEast = 300000;
  const CrsDescription own6 = DescribeCatalogueSystem("Моя", shifted);
  EXPECT_FALSE(own6.epsg);
  EXPECT_NE(own6.definition.find("+lon_0=33 +k=1 +x_0=300000 +y_0=0 "), std::string::npos) << own6.definition;
}

TEST(CatalogueCrs, LocalDefinitionsPlacePointsWhereTheClosedSeriesDoes) {
  // PROJ's transverse Mercator, from the definition to latitude/longitude on
  // the same ellipsoid and datum shift, against the closed series' reverse step (good
  // to 0.00004" within 100 km of the meridian): catches a wrong meridian,
  // false easting, or false northing sign.
  constexpr double kToleranceDegrees = 0.0001 / 3600;  // 0.0001"
  struct Row {
    int index;
    double x, y;  // X in full, Y without prefix, metres
    const char* why;
  };
  const Row rows[] = {
      {1, 5300000, 250000, "63 (C3) on its meridian"},
      {1, 5250000, 340000, "63 (C3) 90 km east"},
      {3, -1200000, 60000, "M64: X counted from its large false northing"},
      {15, 5400000, 170000, "53(1) 80 km west"},
  };
  OGRSpatialReference geographic;
  geographic.SetFromUserInput(("+proj=longlat +ellps=krass +towgs84=" + std::string(kKrasovskyToWgs84) + " +no_defs").c_str());
  geographic.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  for (const Row& row : rows) {
    const CoordinateSystem& system = FixedSystems()[static_cast<std::size_t>(row.index)];
    const CrsDescription crs = DescribeCatalogueSystem(system.name, system);
    OGRSpatialReference plane;
    ASSERT_EQ(plane.SetFromUserInput(crs.definition.c_str()), OGRERR_NONE) << crs.definition;
    plane.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::unique_ptr<OGRCoordinateTransformation> toGeographic(OGRCreateCoordinateTransformation(&plane, &geographic));
    ASSERT_TRUE(toGeographic) << row.why;
    double lon = row.y;
    double lat = row.x;
    ASSERT_TRUE(toGeographic->Transform(1, &lon, &lat)) << row.why;
    const LatitudeLongitude series = ToGeographic(ClosedSeriesPlane(system.falseNorth, system.falseEast),
                                                  system.centralMeridian, {row.x, row.y});
    EXPECT_NEAR(lat, series.latitude * kDegreesPerRadian, kToleranceDegrees) << row.why;
    EXPECT_NEAR(lon, series.longitude * kDegreesPerRadian, kToleranceDegrees) << row.why;
  }
}

// ------------------------------------------------------------ input lists

TEST(ListNames, EscapingIsLosslessAndSurvivesTheLineReader) {
  struct Row {
    std::string name;
    std::string listName;
    const char* why;
  };
  const Row rows[] = {
      {"P7", "P7", "plain names are unchanged"},
      {"Пункт-1", "Пункт-1", "Cyrillic is kept as it is"},
      {"A, \"b\" 'c'", "A,%20\"b\"%20'c'", "comma and quotes are kept, spaces escaped"},
      {"a;b", "a%3Bb", "the reader turns ';' into a space"},
      {"t\tab", "t%09ab", "TAB becomes two spaces in the run"},
      {"x\r\ny", "x%0D%0Ay", "line ends"},
      {"50%", "50%25", "the escape character itself"},
      {"%20", "%2520", "a name that looks escaped comes back as it was"},
      {"no\xC2\xA0" "break", "no%C2%A0break", "a text box makes a no-break space a space"},
      {"p\xE2\x80\xA8q", "p%E2%80%A8q", "a text box makes U+2028 a line end"},
      {"  ", "%20%20", "spaces only"},
  };
  for (const Row& row : rows) {
    const std::string encoded = EncodeListName(row.name);
    EXPECT_EQ(encoded, row.listName) << row.why;
    EXPECT_EQ(DecodeListName(encoded), row.name) << row.why;
  }
  // Text typed by a user with stray percent signs decodes to itself.
  for (const char* typed : {"100%", "%", "%4", "%G1", "a%zz"}) EXPECT_EQ(DecodeListName(typed), typed);
}

struct ReadBack {
  std::string name;
  double first, second, third;
};

// The lines of an input list as the conversion run reads them: ReadStr's
// lines, TABs made spaces, RadStr1 with the named layout.
std::vector<ReadBack> ReadWithLineReader(const std::string& text) {
  std::vector<ReadBack> records;
  TextLineSource lines(PrepareRunText(text));
  std::string line;
  while (lines.next(line)) {
    ReplaceTabsBySpaces(line);
    if (IsBlankLine(line)) continue;
    PointRecord record;
    RadStr1(line, record, true, '.', ',', InputList::kNamedLayout);
    records.push_back({record.name, record.first, record.second, record.third});
  }
  return records;
}

TEST(InputList, EveryPointReadsBackExactlyThroughTheRunsReader) {
  const std::vector<ExchangePoint> points = {
      {"Пункт 1; \"угол\"", 55.75, 37.625, 152.345, 1},
      {"", 55.123456789012345, -37.987654321098765, std::nullopt, 2},  // no name: its line number  // no name: its line number; tiny and negative values
      {"x\ty", 89.99999999999999, 179.99999999999997, -28.0001, 3},
      {"P4", 1e-7, 1e-20, 0.0, 4},  // no exponent form: the reader would cut at the "e"
      {"P5", 0.000001, -0.5, -0.0, 5},
  };
  const InputList list = MakeInputList(points, true);
  EXPECT_EQ(list.text.substr(0, list.text.find("\r\n")),
            "Пункт%201%3B%20\"угол\" 55.75 37.625 152.345");
  const std::vector<ReadBack> back = ReadWithLineReader(list.text);
  ASSERT_EQ(back.size(), points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    const std::string expectedName = points[i].name.empty() ? std::to_string(points[i].line) : points[i].name;
    EXPECT_EQ(DecodeListName(back[i].name), expectedName) << i;
    EXPECT_EQ(back[i].first, points[i].first) << i;    // exact: the shortest round-trip decimal
    EXPECT_EQ(back[i].second, points[i].second) << i;
    EXPECT_EQ(back[i].third, points[i].height.value_or(0)) << i;
  }
}

TEST(InputList, PlaneXIsWrittenShortBySystemsOffset) {
  struct Row {
    double x;
    double shortBy;
    const char* line;
    const char* why;
  };
  const Row rows[] = {
      {6212345.678, 6200000, "A 12345.678 1 2\r\n", "the full X's decimals, not the binary difference"},
      {6212345.678, 0, "A 6212345.678 1 2\r\n", "a system that writes X in full"},
      {6199999.5, 6200000, "A -0.5 1 2\r\n", "a point south of the offset"},
      {5912345.123456789, 5900000, "A 12345.123456789 1 2\r\n", "53 family, many decimals"},
  };
  for (const Row& row : rows) {
    const std::vector<ExchangePoint> points = {{"A", row.x, 1, 2, 1}};
    const InputList list = MakeInputList(points, false, row.shortBy);
    EXPECT_EQ(list.text, row.line) << row.why;
    // The run adds the offset back to what it reads: the full X again.
    EXPECT_EQ(ReadWithLineReader(list.text).at(0).first + row.shortBy, row.x) << row.why;
  }
  EXPECT_EQ(MakeInputList({}, false).text, "");
}

}  // namespace
}  // namespace korvagrid
