// The points of a list for the map: statuses and reasons of every kind of
// line, the questions asked afresh for each doubtful point, and positions
// that are the sheet task's own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/catalogue.h"
#include "tasks/map_points.h"
#include "tasks/map_sheets.h"

namespace korvagrid {
namespace {

// "42(zone6)" X and Y (Y with its zone prefix 6) of points at 55° N, computed
// with PROJ's cs2cs from EPSG:4284 to EPSG:28406.
constexpr const char* kAt33 = "6097337.192 6500000.000";    // 33°00' E, the central meridian
constexpr const char* kAt3554 = "6101185.289 6685558.983";  // 35°54' E, inside the zone
constexpr const char* kAt3620 = "6102421.557 6713276.177";  // 36°20' E, in the 30' overlap
constexpr const char* kAt3730 = "6106605.550 6787877.046";  // 37°30' E, 1°30' beyond the zone

struct Expected {
  std::int64_t line;
  MapPointStatus status;
  const char* reason;  // a part of the reason; "" for none
  bool located;
};

struct ListCase {
  const char* why;
  const char* source;  // the list text of the source system
  InputAngles angles;
  RecordLayout layout;
  std::string text;
  std::vector<Expected> points;
};

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

MapPointList PointsOf(const ListCase& c) {
  ConversionSettings settings;
  settings.source = *FindFixedSystem(c.source);
  settings.inputAngles = c.angles;
  settings.inputLayout = c.layout;
  TextLineSource lines(PrepareRunText(c.text));
  return MapPointsOfList(lines, settings);
}

using S = MapPointStatus;
constexpr auto kPlane = InputAngles::Dms;
constexpr auto kXyh = RecordLayout::XYH;

TEST(MapPoints, StatusAndReasonOfEachLine) {
  const std::vector<ListCase> cases = {
      {"a zone list: in the zone, in the overlap, beyond it; blank lines are no points",
       "42(zone6)",
       kPlane,
       kXyh,
       Lines({kAt33, "", kAt3554, kAt3620, "", kAt3730}),
       {{1, S::Ok, "", true},
        {3, S::Ok, "", true},
        {4, S::Ok, "", true},
        {6, S::OutsideZone, "долгота 37°30' вне зоны 6 (30°00'–36°00')", true}}},
      {"a line that cannot be converted fails alone; the lines after it are converted",
       "42(zone6)",
       kPlane,
       kXyh,
       Lines({kAt33, "6100000 3000000000", kAt3554}),
       {{1, S::Ok, "", true}, {2, S::Failed, "переполнение: Y", false}, {3, S::Ok, "", true}}},
      {"a line without coordinates is a failed point",
       "42(zone6)",
       kPlane,
       kXyh,
       Lines({"X Y H", kAt33}),
       {{1, S::Failed, "не прочитаны координаты", false}, {2, S::Ok, "", true}}},
      // Regression: a Yes to the zone question silences it for the rest of a
      // run, which would leave the second doubtful point unmarked.
      {"every point with another zone's prefix is questioned, each one drawn as read",
       "42(zone6)",
       kPlane,
       kXyh,
       Lines({"6100000 5600000", kAt33, "6100000 5650000", kAt3554}),
       {{1, S::Questioned, "Надо 'UTM-27'.", true},
        {2, S::Ok, "", true},
        {3, S::Questioned, "Надо 'UTM-27'.", true},
        {4, S::Ok, "", true}}},
      {"an X with too few digits is questioned",
       "42(zone6)",
       kPlane,
       kXyh,
       Lines({"610000 6500000", kAt33}),
       {{1, S::Questioned, "мало знаков", true}, {2, S::Ok, "", true}}},
      {"an invalid angle fails with the part of the line and why; names are kept",
       "BLH(Kras)",
       InputAngles::Dms,
       RecordLayout::NameXYH,
       Lines(
           {"A 55°45'00\" 37°37'00\" 10", "B 55°75'00\" 37°37'00\" 10", "C 56°00'00\" 38°00'00\""}),
       {{1, S::Ok, "", true},
        {2, S::Failed, "Встречено недопустимое значение: ", false},
        {3, S::Ok, "", true}}},
      {"a geographic list has no zone to leave",
       "WGS-84",
       InputAngles::Decimal,
       kXyh,
       Lines({"55.5 20.0 0", "55.5 150.0 0"}),
       {{1, S::Ok, "", true}, {2, S::Ok, "", true}}},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.why);
    const MapPointList list = PointsOf(c);
    ASSERT_EQ(list.points.size(), c.points.size());
    for (std::size_t i = 0; i < c.points.size(); ++i) {
      const MapPoint& p = list.points[i];
      const Expected& e = c.points[i];
      EXPECT_EQ(p.line, e.line) << i;
      EXPECT_EQ(p.status, e.status) << "line " << e.line << ": " << p.reason;
      EXPECT_EQ(p.located(), e.located) << "line " << e.line;
      if (*e.reason == '\0') {
        EXPECT_EQ(p.reason, "") << "line " << e.line;
      } else {
        EXPECT_NE(p.reason.find(e.reason), std::string::npos)
            << "line " << e.line << ": " << p.reason;
      }
    }
  }
}

TEST(MapPoints, NamesAndPositionsAreThoseOfTheSheetTask) {
  const ListCase c{"",
                   "BLH(Kras)",
                   InputAngles::Dms,
                   RecordLayout::NameXYH,
                   Lines({"P1 55°45'12.3456\" 37°36'56.789\" 150.2", "",
                          "P2 56°00'00\" 36°00'00\" 1", "Пункт 52°20'00\" 41°30'00\""}),
                   {}};
  const MapPointList list = PointsOf(c);

  ConversionSettings settings;
  settings.source = *FindFixedSystem(c.source);
  settings.inputLayout = c.layout;
  TextLineSource lines(PrepareRunText(c.text));
  std::string text;
  StringSink sink(text);
  SheetPointCollector sheets;
  struct Silent final : Interaction {
    Answer askYesNo(std::string_view, std::string_view) override { return Answer::Yes; }
    void warn(std::string_view, std::string_view) override {}
  } silent;
  PlacementRandom random;
  ConversionRun(lines, sink, SheetRunSettings(settings), silent, random, &sheets);

  ASSERT_EQ(list.points.size(), sheets.points.size());
  const std::vector<std::int64_t> inputLines = {1, 3, 4};
  for (std::size_t i = 0; i < sheets.points.size(); ++i) {
    const MapPoint& p = list.points[i];
    EXPECT_EQ(p.line, inputLines[i]);
    EXPECT_EQ(p.name, sheets.points[i].name);
    // The same numbers, so the frame a point is drawn in is its sheet.
    EXPECT_EQ(p.latitude, sheets.points[i].latitude) << p.name;
    EXPECT_EQ(p.longitude, sheets.points[i].longitude) << p.name;
    EXPECT_EQ(MapSheetName(kScale100, p.latitude, p.longitude),
              MapSheetName(kScale100, sheets.points[i].latitude, sheets.points[i].longitude));
  }
  EXPECT_EQ(list.points[0].name, "P1");
  EXPECT_EQ(list.points[2].name, "Пункт");
  EXPECT_EQ(list.lines, 5);  // the prepared text's closing blank line included
  EXPECT_EQ(list.nonBlankLines, 3);
}

TEST(MapPoints, SummaryCountsWhatTheMapShowsAndNamesFailedLines) {
  const ListCase c{"",
                   "42(zone6)",
                   kPlane,
                   kXyh,
                   Lines({kAt33, kAt3730, "a", "b", "6100000 5600000", "c", "d", "e", "f"}),
                   {}};
  EXPECT_EQ(MapPointsSummary(PointsOf(c).points),
            "Точек на карте: 3; вне своей зоны: 1; под вопросом: 1; не прочитаны строки: 3, 4, "
            "6, 7, 8 и ещё 1");
  EXPECT_EQ(MapPointsSummary({}), "Точек на карте: 0");
}

}  // namespace
}  // namespace korvagrid
